// The bodies the command line can name, e.g. --body naca0012.
#pragma once

#include <string>
#include <string_view>

#include "geometry/body.h"

namespace velquin {

// The body named by `name`, case-insensitively ("circle", "naca0012", ...). For a name
// that is not known, or whose parameters are malformed, returns null and sets `error`
// to a one-line reason that quotes the name as the user gave it.
BodyPtr BodyFromName(std::string_view name, std::string& error);

// The accepted names, for the usage text: "circle|naca0012".
std::string BodyNamesSynopsis();

}  // namespace velquin
