#include "app/status_text.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "base/text_number.h"

namespace velquin {
namespace {

constexpr double kNoise = 1e-9;
constexpr const char* kMinus = "\u2212";

// printf's text with a true minus sign and a short exponent: "-9.70e-04" -> "−9.7e−4".
std::string Typeset(std::string text) {
  const std::size_t e = text.find('e');
  if (e != std::string::npos) {
    std::string mantissa = text.substr(0, e);
    std::string exponent = text.substr(e + 1);
    const bool negative = exponent[0] == '-';
    exponent.erase(0, exponent.find_first_not_of("+-0"));
    if (exponent.empty()) exponent = "0";
    text = mantissa + "e" + (negative ? "-" : "") + exponent;
  }
  std::string typeset;
  for (char c : text) typeset += c == '-' ? std::string(kMinus) : std::string(1, c);
  return typeset;
}

std::string Formatted(const char* format, double value) {
  if (std::fabs(value) < kNoise) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return Typeset(buffer);
}

std::string FourDecimals(double value) {
  return Formatted("%.4f", value);
}
std::string TwoDigits(double value) {
  return Formatted("%.1e", value);
}

std::string VortexText(const RunInputs& inputs) {
  switch (inputs.vortex) {
    case VortexModel::kNone:
      return "no circulation";
    case VortexModel::kConstantDistribution:
      return "constant vortex";
    case VortexModel::kPointVortex:
      return "point vortex at (" + Typeset(NumberText(inputs.Xv)) + ", " +
             Typeset(NumberText(inputs.Yv)) + ")";
  }
  return {};
}

}  // namespace

std::string StatusLineText(const RunInputs& inputs, const DerivedResults& results) {
  std::string text =
      inputs.body->Name() + ", " + NumberText(inputs.NP) + (inputs.NP == 1 ? " panel" : " panels") +
      ", \u03B1 " + Typeset(NumberText(inputs.alpha_degrees)) + "\u00B0, " + VortexText(inputs) +
      ": Cl " + FourDecimals(results.cl_circulation) + " (\u0393) / " +
      FourDecimals(results.cl_pressure) + " (p), Cm\u00BC " +
      FourDecimals(results.cm_quarter_chord) + ", \u03A3Q\u00B7S " + TwoDigits(results.source_sum);
  if (results.cl_exact) text += ", Cl exact " + FourDecimals(*results.cl_exact);
  const auto& deviation =
      results.circle_deviation ? results.circle_deviation : results.exact_deviation;
  if (deviation) text += ", max |\u0394(1\u2212Cp)| " + TwoDigits(*deviation);
  return text;
}

std::string StatusLineText(const RunRecord& run) {
  std::string status;
  if (run.outcome == RunOutcome::kCompleted) status = StatusLineText(*run.inputs, *run.results);
  std::vector<std::string> notes = run.notes;
  notes.insert(notes.end(), run.warnings.begin(), run.warnings.end());
  for (auto note = notes.rbegin(); note != notes.rend(); ++note) {
    status.insert(0, "Note: " + *note + (status.empty() ? "." : ".   "));
  }
  return status;
}

}  // namespace velquin
