#include "shell/text_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "shell/run_error.h"

namespace velquin {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Walks a text character by character, skipping blanks wherever they stand.
class BlankSkippingCursor {
 public:
  explicit BlankSkippingCursor(std::string_view text) : text_(text) { SkipBlanks(); }
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  std::string_view Rest() const { return text_.substr(std::min(pos_, text_.size())); }
  // A position to come back to when what follows turns out not to belong to the number.
  std::size_t Mark() const { return pos_; }
  void Reset(std::size_t mark) { pos_ = mark; }
  void Advance() {
    ++pos_;
    SkipBlanks();
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

[[noreturn]] void ThrowOverflow(std::string_view text) {
  throw RunError(ErrorKind::kOverflow,
                 "the number in " + QuotedInput(text) + " is too large for a real number.");
}

// "&H..." or "&O...": a whole number in base 16 or 8; digits that do not belong to the
// base end it. Accumulated in double so that long inputs overflow to infinity, which is
// then reported, rather than wrapping around.
double ReadRadixNumber(BlankSkippingCursor& cursor, int base, std::string_view text) {
  double value = 0;
  for (;;) {
    const char c = cursor.Peek();
    int digit = -1;
    if (IsDigit(c)) digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0 || digit >= base) break;
    value = value * base + digit;
    cursor.Advance();
  }
  if (std::isinf(value)) ThrowOverflow(text);
  return value;
}

// Collects "[sign]digits[.digits]" into `number` (blanks removed). Returns the number of
// mantissa digits seen.
int CollectMantissa(BlankSkippingCursor& cursor, std::string& number) {
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    if (cursor.Peek() == '-') number += '-';
    cursor.Advance();
  }
  int digits = 0;
  bool seen_point = false;
  for (;;) {
    const char c = cursor.Peek();
    if (IsDigit(c)) {
      number += c;
      ++digits;
    } else if (c == '.' && !seen_point) {
      number += '.';
      seen_point = true;
    } else {
      break;
    }
    cursor.Advance();
  }
  return digits;
}

// Collects an exponent "E|D[sign]digits" when one follows; its value saturates far
// beyond the range of a double so that a long run of digits cannot overflow an int.
void CollectExponent(BlankSkippingCursor& cursor, std::string& number) {
  const char marker = cursor.Peek();
  if (marker != 'e' && marker != 'E' && marker != 'd' && marker != 'D') return;
  const std::size_t before_marker = cursor.Mark();
  cursor.Advance();
  bool negative = false;
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    negative = cursor.Peek() == '-';
    cursor.Advance();
  }
  long exponent = 0;
  bool any_digit = false;
  while (IsDigit(cursor.Peek())) {
    any_digit = true;
    if (exponent < 100000) exponent = exponent * 10 + (cursor.Peek() - '0');
    cursor.Advance();
  }
  if (!any_digit) {  // "1E" reads as 1; the marker is not part of the number
    cursor.Reset(before_marker);
    return;
  }
  number += 'e';
  if (negative) number += '-';
  number += std::to_string(exponent);
}

// The power of ten of the leading digit of a collected number ("123e4" gives 6, "0.05"
// gives -2), used only to tell an overflow from an underflow.
long DecimalMagnitude(const std::string& number) {
  const std::size_t e = number.find('e');
  const long exponent = e == std::string::npos ? 0 : std::stol(number.substr(e + 1));
  const std::string mantissa = number.substr(0, e);
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first_digit = mantissa.find_first_of("123456789");
  if (first_digit == std::string::npos) return 0;
  const long magnitude = first_digit < point ? static_cast<long>(point - first_digit) - 1
                                             : -static_cast<long>(first_digit - point);
  return magnitude + exponent;
}

}  // namespace

NumberReading ReadNumberPart(std::string_view text) {
  BlankSkippingCursor cursor(text);
  NumberReading reading;
  const auto finish = [&](double value, bool number) {
    reading.value = value;
    reading.began_with_number = number;
    reading.rest = number ? cursor.Rest() : BlankSkippingCursor(text).Rest();
    return reading;
  };
  if (cursor.Peek() == '&') {
    cursor.Advance();
    const char kind = cursor.Peek();
    if (kind == 'h' || kind == 'H' || kind == 'o' || kind == 'O') {
      cursor.Advance();
      return finish(ReadRadixNumber(cursor, (kind == 'h' || kind == 'H') ? 16 : 8, text), true);
    }
    return finish(0, false);
  }

  std::string number;
  if (CollectMantissa(cursor, number) == 0) return finish(0, false);  // no digit: not a number
  CollectExponent(cursor, number);

  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (DecimalMagnitude(number) > 0) ThrowOverflow(text);
    return finish(0, true);  // too small for a double: reads as zero
  }
  return finish(value, true);
}

double ReadNumber(std::string_view text) {
  return ReadNumberPart(text).value;
}

}  // namespace velquin

namespace velquin {

std::string NumberText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

namespace {

// Length of the valid UTF-8 sequence that starts text[at], or 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

std::string QuotedInput(std::string_view text) {
  // At most 40 bytes of the text, cut between characters; control characters and bytes
  // that are not UTF-8 are shown as '?', so a message never carries terminal escapes
  // or broken characters.
  constexpr std::size_t kMaxShown = 40;
  std::string quoted = "\"";
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t length = Utf8SequenceLength(text, at);
    if (at + std::max<std::size_t>(length, 1) > kMaxShown) break;
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (length == 0 || c < 0x20 || c == 0x7f) {
      quoted += '?';
      at += 1;
    } else {
      quoted.append(text.substr(at, length));
      at += length;
    }
  }
  if (at < text.size()) quoted += "...";
  quoted += '"';
  return quoted;
}

std::string QuotedArgument(std::string_view text) {
  std::string quoted = QuotedInput(text);
  quoted.front() = '\'';
  quoted.back() = '\'';
  return quoted;
}

}  // namespace velquin
