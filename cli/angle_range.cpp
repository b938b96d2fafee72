#include "cli/angle_range.h"

#include <cstdint>
#include <optional>

#include "base/text_number.h"

namespace velquin {
namespace {

constexpr int kFractionDigits = 9;  // the unit of the exact arithmetic: 1e-9 degrees
constexpr int kIntegerDigits = 7;
constexpr std::int64_t kUnitsPerDegree = 1000000000;

// A plain decimal in units of 1e-9, or nothing when the text is not one.
std::optional<std::int64_t> ParseDecimal(std::string_view text) {
  std::size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  std::int64_t whole = 0;
  int whole_digits = 0, digits = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, ++digits) {
    if (whole == 0 && text[at] == '0') continue;  // leading zeros
    if (++whole_digits > kIntegerDigits) return std::nullopt;
    whole = whole * 10 + (text[at] - '0');
  }
  std::int64_t fraction = 0;
  if (at < text.size() && text[at] == '.') {
    ++at;
    int fraction_digits = 0;
    int pending_zeros = 0;  // zeros count only when a non-zero digit follows them
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, ++digits) {
      if (text[at] == '0') {
        ++pending_zeros;
        continue;
      }
      fraction_digits += pending_zeros + 1;
      if (fraction_digits > kFractionDigits) return std::nullopt;
      for (; pending_zeros > 0; --pending_zeros) fraction *= 10;
      fraction = fraction * 10 + (text[at] - '0');
    }
    for (int k = fraction_digits; k < kFractionDigits; ++k) fraction *= 10;
  }
  if (at != text.size() || digits == 0) return std::nullopt;
  const std::int64_t units = whole * kUnitsPerDegree + fraction;
  return negative ? -units : units;
}

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
    parts[k] = ParseDecimal(part);
    if (!parts[k]) {
      range.error = "--sweep: " + QuotedArgument(part) +
                    " is not a plain decimal number of degrees (sign, at most 7 digits, a "
                    "point and at most 9 decimals)";
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
