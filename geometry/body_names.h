// The bodies the command line can name, e.g. --body naca0012.
#pragma once

#include <string>
#include <string_view>

#include "geometry/body.h"

namespace velquin {

// One rule for body names, wherever they are given (the command line, the explorer's
// body boxes, session files, the Python module): case does not matter and blanks
// (spaces, tabs) are left out, so "NACA 2412", "Naca2412" and "naca2412" name one body,
// as do "joukowski: -0.1 : 0.1" and "joukowski:-0.1:0.1".

// The name as the table of bodies knows it: lower case, without blanks.
std::string BodyNameKey(std::string_view name);

// The body named by `name` ("circle", "naca0012", ...). For a name that is not known, or
// whose parameters are malformed, returns null and sets `error` to the command line's
// one-line reason, which quotes the name as the user gave it: "--body must be one of
// ..., not 'wing'" or "--body 'naca2400': the thickness XX ...".
BodyPtr BodyFromName(std::string_view name, std::string& error);

// BodyFromName for a name typed into a window, where no option was given: the problem
// says in plain words what to change, e.g. `There is no body called "wing". Type circle,
// naca0012, ...; capitals and blanks do not matter.`
BodyPtr BodyFromTypedName(std::string_view name, std::string& problem);

// The accepted names, for the usage text: "circle|naca0012".
std::string BodyNamesSynopsis();

}  // namespace velquin
