#include "cli/angle_range.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

#include "app/input_notes.h"
#include "base/run_error.h"
#include "base/text_number.h"

namespace velquin {
namespace {

constexpr int kFractionDigits = 9;  // the unit of the exact arithmetic: 1e-9 degrees
constexpr std::int64_t kUnitsPerDegree = 1000000000;
constexpr double kLargestDegrees = 1e7;  // exclusive; 7 digits before the point

// The shortest decimal text of a value in units of 1e-9: "-9.75", "0", "10".
std::string DecimalText(std::int64_t units) {
  std::string text = units < 0 ? "-" : "";
  const std::uint64_t magnitude =
      units < 0 ? static_cast<std::uint64_t>(-units) : static_cast<std::uint64_t>(units);
  text += std::to_string(magnitude / kUnitsPerDegree);
  std::uint64_t fraction = magnitude % kUnitsPerDegree;
  if (fraction != 0) {
    std::string digits = std::to_string(fraction);
    digits.insert(0, kFractionDigits - digits.size(), '0');
    digits.erase(digits.find_last_not_of('0') + 1);
    text += '.';
    text += digits;
  }
  return text;
}

// The angle in units of 1e-9 degrees, or nothing when it is not a whole number of them
// within kLargestDegrees. Whole degrees and the fraction are taken apart first: the
// fraction is exact, and scaling it alone keeps the rounding below a unit. The decimal
// of the units must read back as the very angle, so a text with a tenth decimal that
// matters (0.0000000001) is refused rather than rounded away.
std::optional<std::int64_t> UnitsOf(double degrees) {
  if (!(std::fabs(degrees) < kLargestDegrees)) return std::nullopt;
  const double whole = std::trunc(degrees);
  const std::int64_t units = static_cast<std::int64_t>(whole) * kUnitsPerDegree +
                             std::llround((degrees - whole) * kUnitsPerDegree);
  if (ReadNumber(DecimalText(units)) != degrees) return std::nullopt;
  return units;
}

}  // namespace

AngleRange ParseAngleRange(std::string_view text) {
  AngleRange range;
  std::optional<std::int64_t> parts[3];
  std::size_t start = 0;
  for (int k = 0; k < 3; ++k) {
    const std::size_t colon = text.find(':', start);
    const bool last = k == 2;
    if (last != (colon == std::string_view::npos)) {
      range.error = "--sweep needs FROM:TO:STEP (three numbers), not " + QuotedArgument(text);
      return range;
    }
    const std::string_view part = text.substr(start, last ? text.npos : colon - start);
    static const char* const kNames[] = {"FROM", "TO", "STEP"};
    try {
      const NumberReading reading = ReadNumberPart(part);
      parts[k] = UnitsOf(reading.value);
      if (auto note = ReadingNote(std::string("sweep ") + kNames[k], part, reading)) {
        range.notes.push_back(std::move(*note));
      }
    } catch (const RunError&) {
      parts[k].reset();  // beyond the range of a double: beyond the range of angles too
    }
    if (!parts[k]) {
      range.error = "--sweep: " + std::string(kNames[k]) + " " + QuotedArgument(part) +
                    " must be a number of degrees with at most 7 digits before the point "
                    "and 9 after it";
      return range;
    }
    start = colon + 1;
  }
  const std::int64_t from = *parts[0], to = *parts[1], step = *parts[2];
  if (step == 0) {
    range.error = "--sweep: STEP must not be zero";
    return range;
  }
  if ((to > from && step < 0) || (to < from && step > 0)) {
    range.error = std::string("--sweep: STEP must be ") + (to > from ? "positive" : "negative") +
                  " to go from FROM to TO";
    return range;
  }
  const std::int64_t steps = (to - from) / step;  // both the same sign: rounds down
  if (steps >= static_cast<std::int64_t>(kMaxSweepAngles)) {
    range.error = "--sweep: at most " + std::to_string(kMaxSweepAngles) + " angles, not " +
                  std::to_string(steps + 1);
    return range;
  }
  for (std::int64_t k = 0; k <= steps; ++k) range.angles.push_back(DecimalText(from + k * step));
  return range;
}

}  // namespace velquin
