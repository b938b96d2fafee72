#include "shell/report_writer.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "shell/run_error.h"

namespace velquin {
namespace {

constexpr std::uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

void AppendNonFinite(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "NaN";
  } else {
    out += value < 0 ? "-Infinity" : "Infinity";
  }
}

// |value| rounded to `decimals` places, ties away from zero, computed exactly: the
// double is m * 2^e with a 53-bit m; the whole part is m >> -e and the fraction bits
// times 10^decimals fit in 128 bits, so the rounding is exact integer arithmetic.
// Requires |value| < 2^53.
struct Rounded {
  std::uint64_t whole;
  std::uint64_t fraction;  // 0 <= fraction < 10^decimals
};

Rounded RoundToDecimals(double magnitude, int decimals) {
  std::uint64_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int biased_exponent = static_cast<int>((bits >> 52) & 0x7ff);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int exponent = -1074;  // subnormal
  if (biased_exponent != 0) {
    mantissa |= std::uint64_t{1} << 52;
    exponent = biased_exponent - 1075;
  }
  if (exponent >= 0) return {mantissa << exponent, 0};
  const int shift = -exponent;
  const std::uint64_t whole = shift < 64 ? mantissa >> shift : 0;
  const std::uint64_t fraction_bits = shift < 64 ? mantissa - (whole << shift) : mantissa;
  if (shift >= 127) return {whole, 0};  // far below half a unit of the last decimal

  using u128 = unsigned __int128;
  const u128 product = static_cast<u128>(fraction_bits) * kPowersOfTen[decimals];
  const u128 quotient = product >> shift;
  const u128 remainder = product - (quotient << shift);
  const u128 half = u128{1} << (shift - 1);
  const std::uint64_t fraction = static_cast<std::uint64_t>(quotient) + (remainder >= half);
  if (fraction == kPowersOfTen[decimals]) return {whole + 1, 0};
  return {whole, fraction};
}

// The reports hold tens of thousands of these numbers, so the usual case avoids the
// 128-bit arithmetic: s = |value| * 10^decimals rounded once in double differs from the
// exact product by at most 2^-52 s. Unless s lies that close to a half, rounding s
// gives the same whole number as rounding the exact product. Requires |value| < 1e9.
Rounded QuickRoundToDecimals(double magnitude, int decimals) {
  const std::uint64_t scale = kPowersOfTen[decimals];
  const double s = magnitude * static_cast<double>(scale);
  const std::uint64_t below = static_cast<std::uint64_t>(s);
  const double above_half = (s - static_cast<double>(below)) - 0.5;  // exact
  if (std::fabs(above_half) <= s * 0x1p-51) return RoundToDecimals(magnitude, decimals);
  const std::uint64_t rounded = below + (above_half > 0 ? 1 : 0);
  return {rounded / scale, rounded % scale};
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void AppendDigits(std::string& out, std::uint64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

// A report's path for a message: quoted, and shortened from the front when very long,
// so that the file name itself always shows.
std::string QuotedPath(const std::string& path) {
  constexpr std::size_t kMaxShown = 160;
  if (path.size() <= kMaxShown) return "\"" + path + "\"";
  std::size_t start = path.size() - kMaxShown;
  while (start < path.size() && (static_cast<unsigned char>(path[start]) & 0xC0) == 0x80) ++start;
  return "\"..." + path.substr(start) + "\"";
}

}  // namespace

std::size_t WriteFixed(char* out, double value, int decimals, char separator) {
  if (!std::isfinite(value)) {
    const char* word = std::isnan(value) ? "NaN" : (value < 0 ? "-Infinity" : "Infinity");
    std::memcpy(out, word, std::strlen(word));
    return std::strlen(word);
  }
  const bool negative = std::signbit(value) && value != 0;  // -0.0 is not negative
  const double magnitude = std::fabs(value);
  if (magnitude >= 0x1p53) {
    // Whole numbers only at this size: the digits are exact, the decimals zero.
    char* last = out;
    if (negative) *last++ = '-';
    last = std::to_chars(last, out + kMaxFixedChars, magnitude, std::chars_format::fixed, 0).ptr;
    *last++ = separator;
    for (int k = 0; k < decimals; ++k) *last++ = '0';
    return static_cast<std::size_t>(last - out);
  }
  const Rounded rounded = magnitude < 1e9 ? QuickRoundToDecimals(magnitude, decimals)
                                          : RoundToDecimals(magnitude, decimals);
  char* last = out;
  if (negative) *last++ = '-';
  last = std::to_chars(last, last + 20, rounded.whole).ptr;
  *last++ = separator;
  // Fraction digits two at a time, from the right.
  std::uint64_t fraction = rounded.fraction;
  for (int k = decimals - 2; k >= 0; k -= 2) {
    std::memcpy(last + k, kDigitPairs + 2 * (fraction % 100), 2);
    fraction /= 100;
  }
  return static_cast<std::size_t>(last + decimals - out);
}

void AppendFixed(std::string& out, double value, int decimals, char separator) {
  char buffer[kMaxFixedChars];
  out.append(buffer, WriteFixed(buffer, value, decimals, separator));
}

void AppendBare(std::string& out, double value, char separator) {
  if (value == 0) {  // also negative zero, which is not a negative value
    out += " 0 ";
    return;
  }
  if (!std::isfinite(value)) {
    out += ' ';
    AppendNonFinite(out, value);
    out += ' ';
    return;
  }
  // 15 significant digits, correctly rounded: "d.dddddddddddddde+XX".
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                    std::chars_format::scientific, 14);
  char* e = std::find(buffer, result.ptr, 'e');
  int exponent = 0;
  std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), result.ptr, exponent);
  std::string digits;
  digits += buffer[0];
  digits.append(buffer + 2, static_cast<std::size_t>(e - (buffer + 2)));
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  out += value < 0 ? '-' : ' ';
  if (exponent < -4 || exponent >= 15) {
    out += digits[0];
    if (digits.size() > 1) {
      out += separator;
      out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) out += '0';
    AppendDigits(out, static_cast<std::uint64_t>(magnitude));
  } else if (exponent >= 0) {
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out += digits;
      out.append(whole - digits.size(), '0');
    } else {
      out.append(digits, 0, whole);
      out += separator;
      out.append(digits, whole, std::string::npos);
    }
  } else {
    out += separator;
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out += digits;
  }
  out += ' ';
}

ReportText& ReportText::Whole(int value) {
  char buffer[16];
  return Text(
      std::string_view(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer));
}

void ReportText::Grow(std::size_t capacity) {
  std::unique_ptr<char[]> larger(new char[capacity]);
  if (size_ != 0) std::memcpy(larger.get(), buffer_.get(), size_);
  buffer_ = std::move(larger);
  capacity_ = capacity;
}

ReportText& ReportText::Bare(double value) {
  std::string text;
  AppendBare(text, value, separator_);
  return Text(text);
}

ReportFile::ReportFile(const ReportOptions& options, const char* name)
    : path_(options.directory.empty() ? std::string(name) : options.directory + "/" + name),
      text_(options.decimal_separator) {
  file_ = std::fopen(path_.c_str(), "wb");
  if (file_ == nullptr) {
    throw RunError(ErrorKind::kFileError,
                   "cannot create " + QuotedPath(path_) + ": " + std::strerror(errno) + ".");
  }
}

ReportFile::~ReportFile() {
  if (file_ == nullptr) return;
  // Abandoned by a run error: keep what the run had written, as the message says.
  std::fwrite(text_.str().data(), 1, text_.str().size(), file_);
  std::fclose(file_);
}

void ReportFile::Close() {
  std::FILE* file = file_;
  file_ = nullptr;
  const std::string_view text = text_.str();
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const int write_errno = errno;
  const bool flushed = std::fflush(file) == 0;
  const int flush_errno = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !flushed || !closed) {
    const int reason = !written ? write_errno : (!flushed ? flush_errno : errno);
    throw RunError(ErrorKind::kFileError, "cannot write " + QuotedPath(path_) + ": " +
                                              std::strerror(reason != 0 ? reason : EIO) + ".");
  }
}

}  // namespace velquin
