#include "base/text_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "base/run_error.h"

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

// A whole number in base 2^bits_per_digit, rounded to the nearest double (ties to even)
// however many digits it has. Only the leading 64 bits are kept, plus one "sticky" flag
// for any 1 among the bits below them: the rounding of 64 bits to 53 needs nothing more.
class BinaryWholeNumber {
 public:
  explicit BinaryWholeNumber(int bits_per_digit) : bits_per_digit_(bits_per_digit) {}

  void AppendDigit(unsigned digit) {
    for (int k = bits_per_digit_ - 1; k >= 0; --k) AppendBit((digit >> k) & 1u);
  }
  // The value rounded to 53 significant bits; `length` becomes the length of the
  // rounded value (one more when it rounds up to the next power of two).
  double Rounded(std::uint64_t& length) const {
    length = length_;
    if (kept_ <= 53) return static_cast<double>(leading_);  // every bit kept: exact
    const int dropped = kept_ - 53;
    std::uint64_t mantissa = leading_ >> dropped;
    const std::uint64_t rest = leading_ & ((std::uint64_t{1} << dropped) - 1);
    const std::uint64_t half = std::uint64_t{1} << (dropped - 1);
    if (rest > half || (rest == half && (sticky_ || (mantissa & 1u) != 0))) ++mantissa;
    if (mantissa == (std::uint64_t{1} << 53)) ++length;
    // Far beyond 1024 the exponent only has to stay an int: the caller reports overflow.
    const int exponent = static_cast<int>(std::min<std::uint64_t>(length_ - 53, 2000));
    return std::ldexp(static_cast<double>(mantissa), exponent);
  }

 private:
  void AppendBit(unsigned bit) {
    if (length_ == 0 && bit == 0) return;  // leading zeros
    ++length_;
    if (kept_ < 64) {
      leading_ = (leading_ << 1) | bit;
      ++kept_;
    } else {
      sticky_ = sticky_ || bit != 0;
    }
  }

  int bits_per_digit_;
  std::uint64_t leading_ = 0;  // the first kept_ bits
  int kept_ = 0;
  std::uint64_t length_ = 0;
  bool sticky_ = false;
};

// "&H..." or "&O...": a whole number in base 16 or 8; digits that do not belong to the
// base end it. A value of 2^1024 or more, after rounding, is beyond the reals.
double ReadRadixNumber(BlankSkippingCursor& cursor, int base, std::string_view text) {
  BinaryWholeNumber number(base == 16 ? 4 : 3);
  for (;;) {
    const char c = cursor.Peek();
    int digit = -1;
    if (IsDigit(c)) digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0 || digit >= base) break;
    number.AppendDigit(static_cast<unsigned>(digit));
    cursor.Advance();
  }
  std::uint64_t length = 0;
  const double value = number.Rounded(length);
  if (length > 1024) ThrowOverflow(text);
  return value;
}

// A decimal number as 0.D x 10^Scale, D its significant digits: leading zeros dropped,
// and after kMaxDigits only a note whether any further digit was not 0. Every halfway
// point between two neighbouring doubles has at most 767 significant digits, so 800
// digits and that note round exactly as the whole text would, however long it is.
struct DecimalNumber {
  static constexpr std::size_t kMaxDigits = 800;
  bool negative = false;
  std::string digits;
  bool more_nonzero_digits = false;
  long long scale = 0;  // the decimal exponent of the digits' point, exponent included

  void AppendDigit(char c, bool after_point) {
    if (digits.empty() && c == '0') {
      if (after_point) --scale;  // 0.001: the first digit lies further right
      return;
    }
    if (!after_point) ++scale;
    if (digits.size() < kMaxDigits) {
      digits += c;
    } else if (c != '0') {
      more_nonzero_digits = true;
    }
  }
};

// Collects "[sign]digits[.digits]". Returns whether there was a digit.
bool CollectMantissa(BlankSkippingCursor& cursor, DecimalNumber& number) {
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    number.negative = cursor.Peek() == '-';
    cursor.Advance();
  }
  bool seen_digit = false;
  bool seen_point = false;
  for (;;) {
    const char c = cursor.Peek();
    if (IsDigit(c)) {
      number.AppendDigit(c, seen_point);
      seen_digit = true;
    } else if (c == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
    cursor.Advance();
  }
  return seen_digit;
}

// Adds an exponent "E|D[sign]digits" when one follows. Its value saturates at a bound far
// beyond the range of a double, still far inside that of a long long whatever the length
// of the text: 10^400000000000000000 overflows, and 10^-400000000000000000 is zero, exactly
// as a number of that size would.
void CollectExponent(BlankSkippingCursor& cursor, DecimalNumber& number) {
  constexpr long long kSaturated = 400000000000000000;
  const char marker = cursor.Peek();
  if (marker != 'e' && marker != 'E' && marker != 'd' && marker != 'D') return;
  const std::size_t before_marker = cursor.Mark();
  cursor.Advance();
  bool negative = false;
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    negative = cursor.Peek() == '-';
    cursor.Advance();
  }
  long long exponent = 0;
  bool any_digit = false;
  while (IsDigit(cursor.Peek())) {
    any_digit = true;
    exponent = std::min(exponent * 10 + (cursor.Peek() - '0'), kSaturated);
    cursor.Advance();
  }
  if (!any_digit) {  // "1E" reads as 1; the marker is not part of the number
    cursor.Reset(before_marker);
    return;
  }
  number.scale += negative ? -exponent : exponent;
}

// The nearest double to 0.D x 10^Scale. Beyond 10^310 nothing is a double; below 10^-330
// everything rounds to zero (the smallest double is 4.9e-324).
double NearestDouble(const DecimalNumber& number, std::string_view text) {
  if (number.digits.empty()) return number.negative ? -0.0 : 0.0;
  if (number.scale < -330) return 0;  // too small for a double: reads as zero
  if (number.scale > 310) ThrowOverflow(text);
  std::string canonical = number.negative ? "-0." : "0.";
  canonical += number.digits;
  if (number.more_nonzero_digits) canonical += '1';
  canonical += 'e';
  canonical += std::to_string(number.scale);
  double value = 0;
  const auto result = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (number.scale > 0) ThrowOverflow(text);
    return 0;
  }
  return value;
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

  DecimalNumber number;
  if (!CollectMantissa(cursor, number)) return finish(0, false);  // no digit: not a number
  CollectExponent(cursor, number);
  return finish(NearestDouble(number, text), true);
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

// Appends the character of `length` bytes at text[at] (0: not UTF-8), or '?' for a
// control character or a byte that is not UTF-8, so that a message never carries
// terminal escapes or broken characters. Returns the number of bytes consumed.
std::size_t AppendShown(std::string& out, std::string_view text, std::size_t at,
                        std::size_t length) {
  const unsigned char c = static_cast<unsigned char>(text[at]);
  if (length == 0 || c < 0x20 || c == 0x7f) {
    out += '?';
    return 1;
  }
  out.append(text.substr(at, length));
  return length;
}

}  // namespace

std::string QuotedInput(std::string_view text) {
  // At most 40 bytes of the text, cut between characters.
  constexpr std::size_t kMaxShown = 40;
  std::string quoted = "\"";
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t length = Utf8SequenceLength(text, at);
    if (at + std::max<std::size_t>(length, 1) > kMaxShown) break;
    at += AppendShown(quoted, text, at, length);
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

std::string QuotedPath(std::string_view path) {
  // At most the last 160 bytes, cut between characters.
  constexpr std::size_t kMaxShown = 160;
  std::string quoted = "\"";
  std::size_t at = 0;
  if (path.size() > kMaxShown) {
    at = path.size() - kMaxShown;
    while (at < path.size() && (static_cast<unsigned char>(path[at]) & 0xC0) == 0x80) ++at;
    quoted += "...";
  }
  while (at < path.size()) at += AppendShown(quoted, path, at, Utf8SequenceLength(path, at));
  quoted += '"';
  return quoted;
}

}  // namespace velquin
