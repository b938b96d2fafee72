#include "geometry/body_names.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

#include "base/text_number.h"
#include "geometry/ellipse_section.h"
#include "geometry/geometry_file.h"
#include "geometry/karman_trefftz_section.h"
#include "geometry/naca4_section.h"
#include "geometry/naca5_section.h"

namespace velquin {
namespace {

// "naca" and four digits MPXX or five digits LPQXX.
BodyPtr NacaFromDigits(std::string_view digits, std::string& reason) {
  const bool all_digits = !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
  if (!all_digits || (digits.size() != 4 && digits.size() != 5)) {
    reason = "a NACA section has four digits (MPXX) or five (LPQXX)";
    return nullptr;
  }
  if (digits.size() == 4) {
    const std::optional<Naca4Digits> section = ParseNaca4Digits(digits, reason);
    return section ? Naca4Body(*section) : nullptr;
  }
  const std::optional<Naca5Digits> section = ParseNaca5Digits(digits, reason);
  return section ? Naca5Body(*section) : nullptr;
}

// A plain decimal number, "-0.1", "2.5e-2", read whatever the locale.
std::optional<double> PlainNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, status] = std::from_chars(text.data(), end, value);
  if (text.empty() || status != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::vector<std::string_view> SplitAtColons(std::string_view text) {
  std::vector<std::string_view> fields;
  for (std::size_t colon = text.find(':'); colon != std::string_view::npos;
       colon = text.find(':')) {
    fields.push_back(text.substr(0, colon));
    text.remove_prefix(colon + 1);
  }
  fields.push_back(text);
  return fields;
}

// XC:YC:TAU after "karman-trefftz:", XC:YC after "joukowski:".
BodyPtr KarmanTrefftzFromFields(std::string_view text, bool joukowski, std::string& reason) {
  static const char* const kNames[] = {"XC", "YC", "TAU"};
  const std::vector<std::string_view> fields = SplitAtColons(text);
  if (fields.size() != (joukowski ? 2u : 3u)) {
    reason = joukowski ? "give joukowski:XC:YC, the centre of the circle"
                       : "give karman-trefftz:XC:YC:TAU, the centre of the circle and the "
                         "trailing-edge angle in degrees";
    return nullptr;
  }
  double values[3] = {0, 0, 0};
  for (std::size_t k = 0; k < fields.size(); ++k) {
    const std::optional<double> value = PlainNumber(fields[k]);
    if (!value) {
      // A number too small for a double is refused, as in coordinate files, rather than
      // read as 0: XC = -1e-400 would otherwise be refused as "not below 0".
      reason = std::string(kNames[k]) + " " + QuotedArgument(fields[k]) +
               (UnderflowsDouble(fields[k]) ? " is a number too small for a double: it underflows"
                                            : " is not a number");
      return nullptr;
    }
    values[k] = *value;
  }
  const KarmanTrefftzParameters parameters{values[0], values[1], values[2]};
  reason = KarmanTrefftzProblem(parameters);
  return reason.empty() ? KarmanTrefftzBody(parameters) : nullptr;
}

BodyPtr KarmanTrefftzFromText(std::string_view text, std::string& reason) {
  return KarmanTrefftzFromFields(text, false, reason);
}

BodyPtr JoukowskiFromText(std::string_view text, std::string& reason) {
  return KarmanTrefftzFromFields(text, true, reason);
}

// T after "ellipse:", the thickness ratio.
BodyPtr EllipseFromText(std::string_view text, std::string& reason) {
  const std::optional<double> t = PlainNumber(text);
  if (!t) {
    reason = "give ellipse:T, T the thickness ratio, not " + QuotedArgument(text);
    return nullptr;
  }
  reason = EllipseProblem(*t);
  return reason.empty() ? EllipseBody(*t) : nullptr;
}

// A body name with its factory.
struct NamedBody {
  const char* name;
  BodyPtr (*make)();
};
const NamedBody kBodies[] = {
    {"circle", CircleBody},
    {"naca0012", Naca0012Body},
};

// A family of bodies: a prefix, the parameters that follow it, and the factory that
// reads them (null and a one-line reason when they make no body). `synopsis` is the
// usage text's form, `plain` the same for a window, in words.
struct BodyFamily {
  const char* prefix;
  const char* synopsis;
  const char* plain;
  BodyPtr (*make)(std::string_view parameters, std::string& reason);
};
const BodyFamily kFamilies[] = {
    {"naca", "nacaMPXX|nacaLPQXX", "naca and four or five digits (naca2412, naca23012)",
     NacaFromDigits},
    {"karman-trefftz:", "karman-trefftz:XC:YC:TAU", "karman-trefftz:XC:YC:TAU",
     KarmanTrefftzFromText},
    {"joukowski:", "joukowski:XC:YC", "joukowski:XC:YC", JoukowskiFromText},
    {"ellipse:", "ellipse:T", "ellipse:T", EllipseFromText},
};

// The body of a name; else null, with `unknown` when no body or family has the name and
// otherwise the family's `reason`.
BodyPtr FindBody(std::string_view name, bool& unknown, std::string& reason) {
  const std::string key = BodyNameKey(name);
  unknown = false;
  for (const NamedBody& body : kBodies) {
    if (key == body.name) return body.make();
  }
  for (const BodyFamily& family : kFamilies) {
    const std::string_view prefix = family.prefix;
    if (key.compare(0, prefix.size(), prefix) != 0) continue;
    return family.make(std::string_view(key).substr(prefix.size()), reason);
  }
  unknown = true;
  return nullptr;
}

}  // namespace

std::string BodyNameKey(std::string_view name) {
  std::string key;
  for (const char c : name) {
    if (c == ' ' || c == '\t') continue;
    key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return key;
}

BodyPtr BodyFromName(std::string_view name, std::string& error) {
  bool unknown = false;
  std::string reason;
  BodyPtr body = FindBody(name, unknown, reason);
  if (body) return body;
  error = unknown ? "--body must be one of " + BodyNamesSynopsis() + ", not " + QuotedArgument(name)
                  : "--body " + QuotedArgument(name) + ": " + reason;
  return nullptr;
}

BodyPtr BodyFromTypedName(std::string_view name, std::string& problem) {
  bool unknown = false;
  std::string reason;
  BodyPtr body = FindBody(name, unknown, reason);
  if (body) return body;
  if (!unknown) {
    problem = "The body " + QuotedInput(name) + " cannot be made: " + reason + ".";
    return nullptr;
  }
  std::vector<std::string> forms;
  for (const NamedBody& named : kBodies) forms.emplace_back(named.name);
  for (const BodyFamily& family : kFamilies) forms.emplace_back(family.plain);
  problem = "There is no body called " + QuotedInput(name) + ". Type ";
  for (std::size_t k = 0; k < forms.size(); ++k) {
    problem += (k == 0 ? "" : k + 1 == forms.size() ? " or " : ", ") + forms[k];
  }
  problem += "; capitals and blanks do not matter.";
  return nullptr;
}

std::string BodyNamesSynopsis() {
  std::string names;
  for (const NamedBody& body : kBodies) {
    if (!names.empty()) names += '|';
    names += body.name;
  }
  for (const BodyFamily& family : kFamilies) names += std::string("|") + family.synopsis;
  return names;
}

}  // namespace velquin
