#include "geometry/body_names.h"

#include <cctype>

#include "shell/text_number.h"

namespace velquin {
namespace {

std::string Lowercase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// A body name with its factory. A name's parameters, if any, follow it after a colon.
struct NamedBody {
  const char* name;
  BodyPtr (*make)();
};
const NamedBody kBodies[] = {
    {"circle", CircleBody},
    {"naca0012", Naca0012Body},
};

}  // namespace

BodyPtr BodyFromName(std::string_view name, std::string& error) {
  const std::string key = Lowercase(name);
  for (const NamedBody& body : kBodies) {
    if (key == body.name) return body.make();
  }
  error = "--body must be one of " + BodyNamesSynopsis() + ", not " + QuotedArgument(name);
  return nullptr;
}

std::string BodyNamesSynopsis() {
  std::string names;
  for (const NamedBody& body : kBodies) {
    if (!names.empty()) names += '|';
    names += body.name;
  }
  return names;
}

}  // namespace velquin
