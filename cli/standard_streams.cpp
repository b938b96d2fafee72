#include "cli/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>
#include <utility>

namespace velquin {

void OccupyClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lower ones are open by now, so the lowest free descriptor is fd itself.
    int opened = open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
    if (opened < 0) opened = open("/", O_RDONLY | O_DIRECTORY);  // no /dev: any place holder
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

void IgnoreWriteSignals() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

SweepProgress::SweepProgress(std::ostream& err, std::size_t total, std::string what)
    : err_(err),
      total_(total),
      what_(std::move(what)),
      shown_(total > kQuietAngles && IsTerminalStderr(err)) {}

void SweepProgress::Done(std::size_t done) {
  if (!shown_ || finished_ || (done % 100 != 0 && done != total_)) return;
  err_ << "\rvelquin2ds: " + what_ + " angle " + std::to_string(done) + " of " +
              std::to_string(total_)
       << std::flush;
}

void SweepProgress::Finish() {
  if (shown_ && !finished_) err_ << '\n';
  finished_ = true;
}

bool IsTerminalStderr(const std::ostream& err) {
  return (err.rdbuf() == std::cerr.rdbuf() || err.rdbuf() == std::clog.rdbuf()) &&
         isatty(STDERR_FILENO) == 1;
}

bool WriteResults(std::ostream& out, std::string_view text, std::ostream& err) {
  errno = 0;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  if (out) return true;
  const int error = errno != 0 ? errno : EIO;
  err << "velquin2ds: cannot write the results: " << std::strerror(error) << '\n';
  return false;
}

}  // namespace velquin
