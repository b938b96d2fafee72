// velquin2ds: the program's command. Batch work (--batch, --help, --version) runs here,
// without loading Qt, so that a run or a sweep costs milliseconds rather than the tens of
// milliseconds the toolkit's libraries take to load. The window, and batch runs that
// export pictures (--images, --flow), and the flow explorer (--explore) are handed to
// velquin2ds-window, which lies beside this executable.
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "shell/batch_command.h"
#include "shell/user_locale.h"

namespace {

// The directory of this executable, from the kernel's link to it.
std::string OwnDirectory() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  const std::string exe(path, static_cast<std::size_t>(length));
  return exe.substr(0, exe.rfind('/'));
}

int StartWindowProgram(char* argv[]) {
  const std::string window = OwnDirectory() + "/velquin2ds-window";
  argv[0] = const_cast<char*>(window.c_str());
  execv(window.c_str(), argv);
  std::cerr << "velquin2ds: cannot start \"" << window << "\": " << std::strerror(errno) << '\n';
  return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const bool wants_images = std::find(args.begin(), args.end(), "--images") != args.end() ||
                            std::find(args.begin(), args.end(), "--flow") != args.end();
  if (!velquin::IsCommandLineMode(args) || wants_images) return StartWindowProgram(argv);
  return velquin::RunBatchCommand(args, std::cout, std::cerr, velquin::UserDecimalSeparator(), {});
}
