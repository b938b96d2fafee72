// The process's standard streams, made safe before anything else happens, and the
// result output of the command, checked as the standard command-line tools check it.
#pragma once

#include <ostream>
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

// Writes `text` to `out` and flushes it. When that fails (a full disk, a closed stdout,
// a pipe without reader), writes "velquin2ds: cannot write the results: <reason>" to
// err and returns false.
bool WriteResults(std::ostream& out, std::string_view text, std::ostream& err);

}  // namespace velquin
