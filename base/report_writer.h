// The text reports: CR LF line ends, one byte per character, items written one after
// another with nothing between them. Numbers are written with the decimal separator
// handed in (the user's locale's), never through the C locale.
#pragma once

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace velquin {

class ReportFolder;

// Where the reports go and how their numbers look.
struct ReportOptions {
  std::string directory;  // empty: the current working directory
  char decimal_separator = '.';
  // The run's hold on `directory` (base/report_folder.h), entered before the first file
  // is written; none: the files are written without it.
  ReportFolder* folder = nullptr;
};

// Appends value rounded to `decimals` places (ties away from zero), with exactly that
// many decimals and at least one digit before the separator: the patterns "#0.###0"
// (4) and "#0.#####0" (6). A negative value keeps its minus sign when it rounds to zero
// (-0.0000); negative zero is not negative and is written 0.0000.
void AppendFixed(std::string& out, double value, int decimals, char separator);

// Appends a bare number: a space (or the minus sign), the shortest general form with up
// to 15 significant digits and no zero before the separator (".5", "-.25", "12",
// "1.5E-05", "1E+15"), then a space. Exponent form when the decimal exponent is below
// -4 or at least 15.
void AppendBare(std::string& out, double value, char separator);

// The longest text AppendFixed can produce (the largest double has 309 whole digits).
inline constexpr std::size_t kMaxFixedChars = 330;
// AppendFixed into a buffer of at least kMaxFixedChars; returns the number of chars.
std::size_t WriteFixed(char* buffer, double value, int decimals, char separator);

// Builds the text of one report. The reports hold tens of thousands of numbers, so the
// text is written straight into a growing buffer, without a library call per item.
class ReportText {
 public:
  explicit ReportText(char separator) : separator_(separator) {}

  ReportText& Text(std::string_view text) {
    std::memcpy(Room(text.size()), text.data(), text.size());
    size_ += text.size();
    return *this;
  }
  ReportText& Fixed4(double value) {  // "#0.###0"
    size_ += WriteFixed(Room(kMaxFixedChars), value, 4, separator_);
    return *this;
  }
  ReportText& Fixed6(double value) {  // "#0.#####0"
    size_ += WriteFixed(Room(kMaxFixedChars), value, 6, separator_);
    return *this;
  }
  ReportText& Whole(int value);  // "##" and "###": plain digits
  ReportText& Bare(double value);
  ReportText& EndLine() { return Text("\r\n"); }

  std::string_view str() const { return std::string_view(buffer_.get(), size_); }
  void Reserve(std::size_t bytes) {
    if (capacity_ < bytes) Grow(bytes);
  }

 private:
  // Space for n more chars at the end of the text.
  char* Room(std::size_t n) {
    if (capacity_ - size_ < n) Grow(2 * capacity_ + n);
    return buffer_.get() + size_;
  }
  void Grow(std::size_t capacity);

  std::unique_ptr<char[]> buffer_;  // not zero-filled: only [0, size_) is ever read
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  char separator_;
};

// A file that takes the place of directory/name only once it is complete, so that at
// every moment the name holds either its earlier complete content or the new one.
//
// Create() looks at what stands at the name without opening it, and refuses what must not
// be replaced: a directory ("Is a directory"), a FIFO, socket or device ("not a regular
// file"; nothing is opened that could wait for a partner), and an existing regular file
// this process may not write (read-only, immutable: the system's reason). A symbolic link
// is replaced like a file; its target is never opened, written or created. It then
// creates the temporary file ".NAME.XXXXXX" beside the name, exclusively and without
// following links, with the permission bits of the file it replaces (a new name gets
// 0666 less the umask). Commit() writes the bytes into it and renames it over the name.
// Both return the reason of a failure, empty on success; a temporary file that is not
// committed is removed.
//
// The data are not forced to the disk (no fsync): rename makes the replacement atomic for
// every process, and a process that is killed leaves the earlier content or the new one.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  std::string Create(const std::string& directory, const std::string& name);
  std::string Commit(std::string_view bytes);
  // Create and Commit for a whole path ("dir/name", "name", "/name"): the bytes in one go.
  static std::string Replace(const std::string& path, std::string_view bytes);

  // The names of the temporary files of `name`: ".NAME." and 6 letters or digits.
  static bool IsTemporaryName(std::string_view candidate, std::string_view name);

 private:
  void Discard();

  int directory_fd_ = -1;
  int fd_ = -1;
  std::string name_;
  std::string temporary_name_;
};

// One report file. The constructor checks that the report can be replaced and creates
// its temporary file (ReplacingFile), as the report's procedure opens it; the text is
// collected in memory and Close() writes it and puts it in the report's place in one
// go. Until then an earlier report stays complete. If the run is abandoned by an error
// before Close(), the destructor still puts in place what the run had produced, as the
// message of the error says the run stopped there.
// Errors throw RunError(kFileError) naming the file and the system's reason.
class ReportFile {
 public:
  ReportFile(const ReportOptions& options, const char* name);
  ~ReportFile();
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;

  ReportText& out() { return text_; }
  void Close();

 private:
  std::string path_;
  ReplacingFile file_;
  bool closed_ = false;
  ReportText text_;
};

}  // namespace velquin
