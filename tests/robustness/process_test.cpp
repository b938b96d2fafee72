// The commands as processes, in the environments a shell or a system can make for them:
// standard streams closed, full or broken; a file size limit; no /proc; no display; two
// runs at once into one folder; runs killed while they write.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/run_helpers.h"
#include "support/temp_dir.h"

extern char** environ;

namespace velquin {
namespace {

using namespace test_support;

enum class Stream {
  kCapture,     // a pipe that the test reads
  kClosed,      // no descriptor at all
  kFull,        // /dev/full: every write fails with ENOSPC
  kBrokenPipe,  // a pipe whose reading end is closed before the program starts
  kTerminal,    // a pseudo-terminal that the test reads
};

struct Launch {
  explicit Launch(std::vector<std::string> program_and_arguments)
      : argv(std::move(program_and_arguments)) {}

  std::vector<std::string> argv;  // argv[0]: the program
  Stream in = Stream::kCapture, out = Stream::kCapture, err = Stream::kCapture;
  rlim_t file_size_limit = RLIM_INFINITY;
  bool without_proc = false;             // an empty /proc, in a mount namespace of its own
  std::vector<std::string> environment;  // NAME=VALUE added, NAME= removed
  std::string directory;                 // the working directory; empty: the test's
};

struct Finished {
  int status = -1;  // the exit status, or 128 + the signal that ended the process
  std::string out, err;
};

// The status a child gives when it could not be set up (no mount namespace allowed).
constexpr int kSetupFailed = 97;

std::vector<std::string> Environment(const std::vector<std::string>& changes) {
  std::vector<std::string> result;
  const auto changed = [&changes](const std::string& entry) {
    for (const std::string& change : changes) {
      const std::string name = change.substr(0, change.find('=') + 1);
      if (entry.rfind(name, 0) == 0) return true;
    }
    return false;
  };
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (!changed(*entry)) result.push_back(*entry);
  }
  for (const std::string& change : changes) {
    if (change.back() != '=') result.push_back(change);
  }
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

class Process {
 public:
  explicit Process(const Launch& launch) {
    std::vector<std::string> argv = launch.argv;
    std::vector<std::string> env = Environment(launch.environment);
    const std::vector<char*> argv_pointers = Pointers(argv);
    const std::vector<char*> env_pointers = Pointers(env);
    int child_end[3] = {-1, -1, -1};
    const Stream streams[3] = {launch.in, launch.out, launch.err};
    for (int fd = 0; fd < 3; ++fd) child_end[fd] = Prepare(streams[fd], fd, reading_[fd]);

    pid_ = fork();
    if (pid_ == 0) {
      // Descriptors 0-2 as asked; every other descriptor of the test is closed on exec.
      int moved[3];
      for (int fd = 0; fd < 3; ++fd) moved[fd] = child_end[fd] >= 0 ? dup(child_end[fd]) : -1;
      for (int fd = 0; fd < 3; ++fd) {
        if (moved[fd] >= 0) {
          dup2(moved[fd], fd);
          close(moved[fd]);
        } else {
          close(fd);
        }
      }
      if (launch.file_size_limit != RLIM_INFINITY) {
        const rlimit limit{launch.file_size_limit, launch.file_size_limit};
        setrlimit(RLIMIT_FSIZE, &limit);
      }
      // An ordinary user gets a mount namespace inside a user namespace of its own.
      const int namespaces = geteuid() == 0 ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS;
      if (launch.without_proc && (unshare(namespaces) != 0 ||
                                  mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                                  mount("tmpfs", "/proc", "tmpfs", 0, "size=4k") != 0)) {
        _exit(kSetupFailed);
      }
      if (!launch.directory.empty() && chdir(launch.directory.c_str()) != 0) _exit(kSetupFailed);
      execve(argv_pointers[0], argv_pointers.data(), env_pointers.data());
      _exit(kSetupFailed);
    }
    for (int fd = 0; fd < 3; ++fd) {
      if (child_end[fd] >= 0) close(child_end[fd]);
    }
  }

  void Kill(int signal) { kill(pid_, signal); }

  // Reads what the program writes until it ends.
  Finished Wait() {
    Finished finished;
    std::string* texts[3] = {nullptr, &finished.out, &finished.err};
    for (;;) {
      std::vector<pollfd> open;
      for (int fd = 1; fd < 3; ++fd) {
        if (reading_[fd] >= 0) open.push_back({reading_[fd], POLLIN, 0});
      }
      if (open.empty()) break;
      poll(open.data(), open.size(), -1);
      for (int fd = 1; fd < 3; ++fd) {
        if (reading_[fd] < 0) continue;
        char buffer[4096];
        pollfd probe{reading_[fd], POLLIN, 0};
        if (poll(&probe, 1, 0) <= 0) continue;
        const ssize_t n = read(reading_[fd], buffer, sizeof buffer);
        if (n > 0) {
          texts[fd]->append(buffer, static_cast<std::size_t>(n));
        } else {  // end of file, or EIO once a terminal's last writer is gone
          close(reading_[fd]);
          reading_[fd] = -1;
        }
      }
    }
    int status = 0;
    waitpid(pid_, &status, 0);
    finished.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (reading_[0] >= 0) close(reading_[0]);
    return finished;
  }

 private:
  // The child's end of stream fd; the test's end, if it has one, goes to `ours`.
  static int Prepare(Stream stream, int fd, int& ours) {
    ours = -1;
    int ends[2];
    switch (stream) {
      case Stream::kCapture:
        if (pipe2(ends, O_CLOEXEC) != 0) return -1;
        ours = fd == 0 ? ends[1] : ends[0];
        return fd == 0 ? ends[0] : ends[1];
      case Stream::kClosed:
        return -1;
      case Stream::kFull:
        return open("/dev/full", O_WRONLY | O_CLOEXEC);
      case Stream::kBrokenPipe:
        if (pipe2(ends, O_CLOEXEC) != 0) return -1;
        close(ends[0]);
        return ends[1];
      case Stream::kTerminal: {
        int master = -1, slave = -1;
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return -1;
        fcntl(master, F_SETFD, FD_CLOEXEC);
        fcntl(slave, F_SETFD, FD_CLOEXEC);
        ours = master;
        return slave;
      }
    }
    return -1;
  }

  pid_t pid_ = -1;
  int reading_[3] = {-1, -1, -1};
};

Finished RunProcess(const Launch& launch) {
  return Process(launch).Wait();
}

std::vector<std::string> Batch(const std::string& dir, const std::string& options) {
  std::vector<std::string> argv = {VELQUIN2DS_PATH, "--batch", "--out", dir};
  for (const std::string& word : Words(options)) argv.push_back(word);
  return argv;
}

// The three reports in dir, in the order a run writes them.
std::vector<std::string> ReportsIn(const std::string& dir) {
  std::vector<std::string> reports;
  for (const char* report : kReports) reports.push_back(ReadFile(dir + "/" + report));
  return reports;
}

// Under the sanitizers a run takes some 20 times as long: the stress tests below then
// run a tenth of their rounds, their kills spread over the longer runs.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kRounds = 6, kSlowdown = 20;
#else
constexpr int kRounds = 60, kSlowdown = 1;
#endif

const std::string kLarge = "--panels 198 --circulation --vortex constant --body naca0012";
const std::string kZeroPivot = "--panels 1 --circulation --vortex point --xv 1 --yv 0.3";

TEST(Process, TheResultLineCountsWhereverStdoutGoes) {
  TempDir dir;
  const struct {
    Stream out;
    const char* reason;
  } streams[] = {{Stream::kFull, "No space left on device"},
                 {Stream::kClosed, "Bad file descriptor"},
                 {Stream::kBrokenPipe, "Broken pipe"}};
  const std::vector<std::vector<std::string>> commands = {
      Batch(dir.path(), ""), {VELQUIN2DS_PATH, "--help"}, {VELQUIN2DS_PATH, "--version"}};
  for (const auto& argv : commands) {
    EXPECT_EQ(RunProcess(Launch(argv)).status, 0) << argv[1];
    for (const auto& s : streams) {
      SCOPED_TRACE(argv[1] + std::string(" with stdout ") + s.reason);
      Launch launch(argv);
      launch.out = s.out;
      const Finished finished = RunProcess(launch);
      EXPECT_EQ(finished.status, 1);
      EXPECT_EQ(finished.err,
                std::string("velquin2ds: cannot write the results: ") + s.reason + "\n");
    }
  }
}

// A write that fails ends in the message of the file error, never in a signal; a
// report never takes the place of a closed standard descriptor; progress is for a
// terminal only.
TEST(Process, SignalsAndClosedDescriptorsTakeTheFileErrorPath) {
  TempDir large, zero_pivot, sweep;
  ASSERT_EQ(RunBatch(large.path(), Words(kLarge)).status, 0);
  ASSERT_EQ(RunBatch(zero_pivot.path(), {}).status, 0);  // as in each case's folder
  ASSERT_EQ(RunBatch(zero_pivot.path(), Words(kZeroPivot)).status, 1);
  const std::vector<std::string> of_the_large_run = ReportsIn(large.path());
  const std::vector<std::string> of_the_zero_pivot = ReportsIn(zero_pivot.path());
  enum class Expect { kLargeStopsAtTheCoefficients, kZeroPivotReports, kPolar };
  const struct {
    const char* what;
    std::string options;
    Stream in, err;
    rlim_t file_size_limit;
    int status;
    std::string err_text;  // where the test reads stderr: the whole text, or a part of it
    Expect expect;
  } cases[] = {
      {"a file size limit of 100 KiB", kLarge, Stream::kCapture, Stream::kCapture, 100 << 10, 1,
       "velquin2ds: File error: cannot write \"DIR/Output_InfCoeffs.txt\": File too large.\n",
       Expect::kLargeStopsAtTheCoefficients},
      {"stderr closed, a zero pivot", kZeroPivot, Stream::kCapture, Stream::kClosed, RLIM_INFINITY,
       1, "", Expect::kZeroPivotReports},
      {"a sweep whose stderr nobody reads", "--sweep 0:20:1", Stream::kCapture, Stream::kBrokenPipe,
       RLIM_INFINITY, 0, "", Expect::kPolar},
      {"a sweep on a terminal", "--sweep 0:20:1", Stream::kCapture, Stream::kTerminal,
       RLIM_INFINITY, 0, "velquin2ds: sweep angle 21 of 21", Expect::kPolar},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    ASSERT_EQ(RunBatch(dir.path(), {}).status, 0);
    const std::vector<std::string> before = ReportsIn(dir.path());
    Launch launch(Batch(dir.path(), c.options));
    launch.in = c.in;
    launch.err = c.err;
    launch.file_size_limit = c.file_size_limit;
    const Finished finished = RunProcess(launch);
    EXPECT_EQ(finished.status, c.status) << finished.err;
    std::string err_text = c.err_text;
    if (const std::size_t at = err_text.find("DIR"); at != std::string::npos)
      err_text.replace(at, 3, dir.path());
    if (c.err == Stream::kTerminal) {
      EXPECT_NE(finished.err.find(err_text), std::string::npos) << finished.err;
    } else if (c.err == Stream::kCapture) {
      EXPECT_EQ(finished.err, err_text);
    }
    const std::vector<std::string> after = ReportsIn(dir.path());
    switch (c.expect) {
      case Expect::kLargeStopsAtTheCoefficients:
        EXPECT_EQ(after[0], of_the_large_run[0]);
        EXPECT_EQ(after[1], before[1]);
        EXPECT_EQ(after[2], before[2]);
        break;
      case Expect::kZeroPivotReports:
        EXPECT_EQ(after, of_the_zero_pivot);
        break;
      case Expect::kPolar:
        EXPECT_EQ(std::count(after.begin(), after.end(), "<missing>"), 0);
        const std::string polar = ReadFile(dir.File("polar.csv"));
        EXPECT_EQ(std::count(polar.begin(), polar.end(), '\n'), 22);
        break;
    }
  }
}

TEST(Process, TheWindowProgramIsOnlyItsOwnAndWithoutADisplayItSaysSo) {
  const std::string no_display =
      "velquin2ds: cannot open the window: no display. Use --batch for runs without a window "
      "(see --help).\n";
  const std::vector<std::string> without_display = {
      "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "XDG_SESSION_TYPE="};
  std::vector<std::string> unreachable_display = without_display;
  unreachable_display.push_back("DISPLAY=:98765");
  // A program of the same name in the current folder and on PATH must never start.
  TempDir impostor;
  const std::string marker = impostor.File("started");
  std::ofstream(impostor.File("velquin2ds-window")) << "#!/bin/sh\ntouch " << marker << "\n";
  chmod(impostor.File("velquin2ds-window").c_str(), 0755);
  std::vector<std::string> with_impostor = without_display;
  with_impostor.push_back("PATH=" + impostor.path() + ":/usr/bin:/bin");

  const struct {
    const char* what;
    std::string program;
    bool without_proc;
    std::vector<std::string> environment;
    int status;
    std::string err;
  } cases[] = {
      {"the command without /proc", VELQUIN2DS_PATH, true, with_impostor, 1,
       "velquin2ds: cannot start the window program: the folder of velquin2ds is unknown "
       "(/proc/self/exe: No such file or directory)\n"},
      {"the command without a display", VELQUIN2DS_PATH, false, with_impostor, 2, no_display},
      {"the window program without a display", VELQUIN2DS_WINDOW_PATH, false, without_display, 2,
       no_display},
      {"a display that cannot be reached", VELQUIN2DS_WINDOW_PATH, false, unreachable_display, 2,
       no_display},
  };
  std::string skipped;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
#if defined(__SANITIZE_ADDRESS__)
    if (c.without_proc) continue;  // the sanitizer's runtime itself needs /proc
#endif
    // Built without the window: the command has nothing to start.
    if (std::string(VELQUIN2DS_WINDOW_PATH).empty() && c.status == 2) continue;
    Launch launch({c.program});
    launch.without_proc = c.without_proc;
    launch.environment = c.environment;
    launch.directory = impostor.path();
    const Finished finished = RunProcess(launch);
    if (finished.status == kSetupFailed && c.without_proc) {
      skipped = "no mount namespace for an empty /proc here";
      continue;
    }
    EXPECT_EQ(finished.status, c.status) << finished.err;
    EXPECT_EQ(finished.err, c.err);
    EXPECT_FALSE(std::filesystem::exists(marker));
  }
  if (!skipped.empty()) GTEST_SKIP() << skipped;
}

// Sixty pairs of runs at once into one folder, one large and one small: each folder ends
// with the three reports of one of the two, both runs complete.
TEST(Process, RunsAtOnceIntoOneFolderLeaveTheReportsOfOneRun) {
  const std::string small = "--panels 8 --alpha 3";
  TempDir reference_large, reference_small, pairs;
  ASSERT_EQ(RunBatch(reference_large.path(), Words(kLarge)).status, 0);
  ASSERT_EQ(RunBatch(reference_small.path(), Words(small)).status, 0);
  const std::vector<std::string> of_the_large = ReportsIn(reference_large.path());
  const std::vector<std::string> of_the_small = ReportsIn(reference_small.path());
  std::mt19937 random(9);
  int large_last = 0;
  for (int pair = 0; pair < kRounds; ++pair) {
    const std::string dir = pairs.File(std::to_string(pair));
    Launch first(Batch(dir, pair % 2 ? kLarge : small));
    Launch second(Batch(dir, pair % 2 ? small : kLarge));
    Process one(first);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % (3000 * kSlowdown)));
    Process other(second);
    EXPECT_EQ(one.Wait().status, 0);
    EXPECT_EQ(other.Wait().status, 0);
    const std::vector<std::string> reports = ReportsIn(dir);
    EXPECT_TRUE(reports == of_the_large || reports == of_the_small) << "pair " << pair;
    large_last += reports == of_the_large;
  }
  std::cout << "the large run wrote last in " << large_last << " of " << kRounds << " folders\n";
}

// Sixty runs killed 1 to 15 ms after their start (on a busy machine, where a whole run
// takes longer, up to its length): every report is the complete text of the run before
// or of the killed run, never a mixture or a part.
TEST(Process, ARunKilledWhileItWritesLeavesEveryReportOldOrNew) {
  const std::string runs[2] = {kLarge, "--panels 198 --circulation --vortex point --alpha 4"};
  TempDir reference[2], dir;
  std::vector<std::string> of_run[2];
  for (int k = 0; k < 2; ++k) {
    ASSERT_EQ(RunBatch(reference[k].path(), Words(runs[k])).status, 0);
    of_run[k] = ReportsIn(reference[k].path());
  }
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(RunProcess(Launch(Batch(dir.path(), runs[0]))).status, 0);
  const auto run_length = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - started)
                              .count();
  const long latest = std::max<long>(15000 * kSlowdown, run_length);
  std::mt19937 random(15);
  int killed = 0, half_way = 0;  // half way: some reports of the killed run, not all
  for (int attempt = 0; attempt < kRounds; ++attempt) {
    const std::vector<std::string> before = ReportsIn(dir.path());
    Process run(Launch(Batch(dir.path(), runs[(attempt + 1) % 2])));
    std::this_thread::sleep_for(std::chrono::microseconds(1000 + random() % (latest - 999)));
    run.Kill(attempt % 2 ? SIGKILL : SIGTERM);
    killed += run.Wait().status != 0;
    const std::vector<std::string> reports = ReportsIn(dir.path());
    for (std::size_t k = 0; k < 3; ++k) {
      EXPECT_TRUE(reports[k] == of_run[0][k] || reports[k] == of_run[1][k])
          << kReports[k] << " after kill " << attempt << ": " << reports[k].size() << " bytes";
    }
    half_way += reports != before && reports != of_run[(attempt + 1) % 2];
  }
  std::cout << killed << " of " << kRounds << " runs were killed before they ended, " << half_way
            << " of them after some of their reports\n";
}

}  // namespace
}  // namespace velquin
