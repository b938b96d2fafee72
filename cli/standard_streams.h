// The process's standard streams, made safe before anything else happens, and the
// result output of the command, checked as the standard command-line tools check it.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace velquin {

// At the start of main. Standard descriptors 0-2 that are closed are opened on
// /dev/null, so that no report file can take their number (and a message meant for
// stderr never lands in a report). They are opened for the other direction (0 for
// writing, 1 and 2 for reading), so a write to them fails with EBADF just as it did while
// they were closed: a closed stdout still tells the command that its results went nowhere.
void OccupyClosedStandardDescriptors();

// At the start of main. A write to a pipe without reader (SIGPIPE) or beyond the file
// size limit (SIGXFSZ) then fails with EPIPE or EFBIG and takes the path of every other
// write error, a message naming the file and the reason, instead of ending the process
// without a word.
void IgnoreWriteSignals();

// True when `err` writes to this process's stderr and that is a terminal: progress lines
// are for a person watching, and a pipe or file that nobody reads gets none.
bool IsTerminalStderr(const std::ostream& err);

// The progress of a long sweep: one line "velquin2ds: WHAT angle N of M" on `err`,
// rewritten in place every 100 angles and at the last, when there are more than
// kQuietAngles angles and stderr is a terminal (IsTerminalStderr). Finish ends the line,
// so that a message after it starts a line of its own; the destructor finishes too
// (an exception on the way out).
class SweepProgress {
 public:
  static constexpr std::size_t kQuietAngles = 10;

  SweepProgress(std::ostream& err, std::size_t total, std::string what);
  ~SweepProgress() { Finish(); }
  SweepProgress(const SweepProgress&) = delete;
  SweepProgress& operator=(const SweepProgress&) = delete;

  bool Shown() const { return shown_; }
  void Done(std::size_t done);  // the angles finished so far
  void Finish();

 private:
  std::ostream& err_;
  std::size_t total_;
  std::string what_;
  bool shown_;
  bool finished_ = false;
};

// Writes `text` to `out` and flushes it. When that fails (a full disk, a closed stdout,
// a pipe without reader), writes "velquin2ds: cannot write the results: <reason>" to
// err and returns false.
bool WriteResults(std::ostream& out, std::string_view text, std::ostream& err);

}  // namespace velquin
