#include "base/report_writer.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "base/report_folder.h"
#include "base/run_error.h"
#include "base/text_number.h"

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

namespace {

constexpr const char* kNotRegular = "not a regular file";

std::string Reason(int error) {
  return std::strerror(error != 0 ? error : EIO);
}

// Six letters or digits for a temporary name. They need not be secret: the file is
// created exclusively and a name that is taken is simply drawn again.
std::string RandomLetters() {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t bits = 0;
  if (getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
    bits = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
           (static_cast<std::uint64_t>(getpid()) << 32) ^ (counter++ * 0x9E3779B97F4A7C15u);
  }
  std::string letters;
  for (int k = 0; k < 6; ++k, bits /= 62) letters += kLetters[bits % 62];
  return letters;
}

bool IsLetterOrDigit(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

bool ReplacingFile::IsTemporaryName(std::string_view candidate, std::string_view name) {
  if (candidate.size() != name.size() + 8 || candidate[0] != '.' ||
      candidate.substr(1, name.size()) != name || candidate[name.size() + 1] != '.') {
    return false;
  }
  const std::string_view letters = candidate.substr(name.size() + 2);
  return std::all_of(letters.begin(), letters.end(), IsLetterOrDigit);
}

ReplacingFile::~ReplacingFile() {
  Discard();
}

void ReplacingFile::Discard() {
  if (fd_ >= 0) close(fd_);
  if (!temporary_name_.empty()) unlinkat(directory_fd_, temporary_name_.c_str(), 0);
  if (directory_fd_ >= 0) close(directory_fd_);
  fd_ = -1;
  directory_fd_ = -1;
  temporary_name_.clear();
}

std::string ReplacingFile::Create(const std::string& directory, const std::string& name) {
  Discard();
  name_ = name;
  const auto refuse = [this](const std::string& reason) {
    Discard();
    return reason;
  };
  if (name.empty()) return refuse(Reason(EISDIR));
  // The folder as a handle of its own: every step below happens in this one folder,
  // whatever becomes of its path meanwhile. (A handle that only names it: the folder
  // need not be readable, only writable, as for creating a file by its path.)
  directory_fd_ =
      open(directory.empty() ? "." : directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (directory_fd_ < 0) return refuse(Reason(errno));

  // What stands at the name, not following a link. Nothing is opened: a FIFO opened for
  // writing waits for a reader, and opening a device can act on it.
  bool replaces_file = false;
  mode_t mode = 0;
  struct stat status {};
  if (fstatat(directory_fd_, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISDIR(status.st_mode)) return refuse(Reason(EISDIR));
    if (S_ISREG(status.st_mode)) {
      // A file that may not be written (read-only, immutable) stays as it is.
      if (faccessat(directory_fd_, name.c_str(), W_OK, AT_EACCESS) != 0) {
        return refuse(Reason(errno));
      }
      replaces_file = true;
      mode = status.st_mode & 0777;
    } else if (!S_ISLNK(status.st_mode)) {
      return refuse(kNotRegular);
    }
  } else if (errno != ENOENT) {
    return refuse(Reason(errno));
  }

  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporary_name_ = "." + name + "." + RandomLetters();
    fd_ = openat(directory_fd_, temporary_name_.c_str(),
                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd_ < 0) {
      const int error = errno;
      temporary_name_.clear();
      if (error != EEXIST) return refuse(Reason(error));
    }
  }
  if (fd_ < 0) return refuse(Reason(EEXIST));
  // A new file has 0666 less the umask from openat; a replaced one keeps its bits, where
  // the file system keeps any (FAT does not: the new file then has its default bits).
  if (replaces_file && fchmod(fd_, mode) != 0 && errno != EPERM && errno != EOPNOTSUPP) {
    return refuse(Reason(errno));
  }
  return {};
}

std::string ReplacingFile::Commit(std::string_view bytes) {
  if (fd_ < 0) return Reason(EBADF);
  const auto fail = [this](int error) {
    Discard();
    return Reason(error);
  };
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t written = write(fd_, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return fail(written < 0 ? errno : EIO);
    done += static_cast<std::size_t>(written);
  }
  const int closed = close(fd_);
  fd_ = -1;
  if (closed != 0 && errno != EINTR) return fail(errno);
  if (renameat(directory_fd_, temporary_name_.c_str(), directory_fd_, name_.c_str()) != 0) {
    return fail(errno);
  }
  temporary_name_.clear();
  Discard();
  return {};
}

std::string ReplacingFile::Replace(const std::string& path, std::string_view bytes) {
  const std::size_t slash = path.rfind('/');
  const std::string directory =
      slash == std::string::npos ? std::string() : (slash == 0 ? "/" : path.substr(0, slash));
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  ReplacingFile file;
  const std::string refusal = file.Create(directory, name);
  return refusal.empty() ? file.Commit(bytes) : refusal;
}

ReportFile::ReportFile(const ReportOptions& options, const char* name)
    : path_(options.directory.empty() ? std::string(name) : options.directory + "/" + name),
      text_(options.decimal_separator) {
  if (options.folder != nullptr) options.folder->Enter();
  const std::string refusal = file_.Create(options.directory, name);
  if (!refusal.empty()) {
    throw RunError(ErrorKind::kFileError,
                   "cannot create " + QuotedPath(path_) + ": " + refusal + ".");
  }
  if (options.folder != nullptr) options.folder->Begin(name);
}

ReportFile::~ReportFile() {
  // Abandoned by a run error: keep what the run had written, as the message says.
  if (!closed_) file_.Commit(text_.str());
}

void ReportFile::Close() {
  closed_ = true;
  const std::string failure = file_.Commit(text_.str());
  if (!failure.empty()) {
    throw RunError(ErrorKind::kFileError,
                   "cannot write " + QuotedPath(path_) + ": " + failure + ".");
  }
}

}  // namespace velquin
