// velquin2ds: the program's command. Batch work (--batch, --help, --version) runs here,
// without loading Qt, so that a run or a sweep costs milliseconds rather than the tens of
// milliseconds the toolkit's libraries take to load. The window, and batch runs that
// export pictures (--images, --flow), and the flow explorer (--explore) are handed to
// velquin2ds-window, which lies beside this executable.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "base/text_number.h"
#include "base/user_locale.h"
#include "cli/batch_run.h"
#include "cli/standard_streams.h"

namespace {

// The path of this executable, from the kernel's link to it; none when it cannot be
// read (no /proc), with errno telling why. Any length.
std::optional<std::string> OwnPath() {
  std::string path(256, '\0');
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0) return std::nullopt;
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      return path;
    }
    path.resize(path.size() * 2);  // possibly cut short: read again with more room
  }
}

// Only the window program beside this executable is started: never one found through
// the current folder or PATH, which could be anybody's.
int StartWindowProgram(char* argv[]) {
  const std::optional<std::string> own = OwnPath();
  const int error = errno;
  if (!own || own->find('/') == std::string::npos) {
    std::cerr << "velquin2ds: cannot start the window program: the folder of velquin2ds is "
                 "unknown (/proc/self/exe: "
              << std::strerror(own ? ENOENT : error) << ")\n";
    return 1;
  }
  const std::string window = own->substr(0, own->rfind('/')) + "/velquin2ds-window";
  argv[0] = const_cast<char*>(window.c_str());
  execv(window.c_str(), argv);
  const int exec_error = errno;
  std::cerr << "velquin2ds: cannot start " << velquin::QuotedPath(window) << ": "
            << std::strerror(exec_error) << '\n';
  return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  velquin::OccupyClosedStandardDescriptors();
  velquin::IgnoreWriteSignals();
  const std::vector<std::string> args(argv + 1, argv + argc);
  // --verify draws Convergence.png: the window program saves it.
  const bool wants_images = std::find(args.begin(), args.end(), "--images") != args.end() ||
                            std::find(args.begin(), args.end(), "--flow") != args.end() ||
                            std::find(args.begin(), args.end(), "--verify") != args.end();
  if (!velquin::IsCommandLineMode(args) || wants_images) return StartWindowProgram(argv);
  return velquin::RunBatchCommand(args, std::cout, std::cerr, velquin::UserDecimalSeparator(), {});
}
