// Report files that cannot be written, and what must not be written: the run stops at the
// report that failed, with a message naming the file and the system's reason and exit
// status 1. Reports completed before it are complete; reports after it are left as they
// were. Links in place of a report are replaced, never followed.
//
// Permission bits stop nobody when the tests run as root (in CI): there the immutable
// attribute or a mounted file system stands in for them, and a test skips with its
// reason where neither is allowed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace test_support;

const std::vector<std::string> kTenDegrees = {"--alpha", "10"};

// The reports in dir; what stands in place of a report is not read (/dev/full never ends).
std::vector<std::string> Reports(const std::string& dir) {
  std::vector<std::string> reports;
  for (const std::string name : kReports) {
    struct stat status {};
    const bool regular = lstat((dir + "/" + name).c_str(), &status) == 0 && S_ISREG(status.st_mode);
    reports.push_back(regular ? ReadFile(dir + "/" + name) : "<no regular file>");
  }
  return reports;
}

// E.g. File error: cannot create "dir/name": reason.
std::string FileError(const std::string& dir, const std::string& name, const char* action,
                      const std::string& reason) {
  return "velquin2ds: File error: cannot " + std::string(action) + " \"" + dir + "/" + name +
         "\": " + reason + ".\n";
}

std::string PermissionDenied() {
  return geteuid() == 0 ? "Operation not permitted" : "Permission denied";
}

// A change to the file system, undone when destroyed; failure says why it was not made.
struct Change {
  std::string failure;
  std::function<void()> undo = [] {};
  ~Change() { undo(); }
};

// Makes path unwritable for this process: the permission bits for an ordinary user, the
// immutable attribute for root.
std::unique_ptr<Change> WriteProtect(const std::string& path, mode_t read_only_mode) {
  auto change = std::make_unique<Change>();
  struct stat status {};
  stat(path.c_str(), &status);
  if (geteuid() != 0) {
    if (chmod(path.c_str(), read_only_mode) != 0) change->failure = std::strerror(errno);
    change->undo = [path, mode = status.st_mode & 07777] { chmod(path.c_str(), mode); };
    return change;
  }
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  int flags = 0;
  const bool set = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                   (flags |= FS_IMMUTABLE_FL, ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
  if (!set) change->failure = std::string("root, no immutable attribute: ") + std::strerror(errno);
  change->undo = [fd, flags, set]() mutable {
    if (set) flags &= ~FS_IMMUTABLE_FL, ioctl(fd, FS_IOC_SETFLAGS, &flags);
    if (fd >= 0) close(fd);
  };
  return change;
}

// A 64 KiB tmpfs on an empty directory (it needs the right to mount).
std::unique_ptr<Change> MountSmallFileSystem(const std::string& dir, unsigned long flags) {
  auto change = std::make_unique<Change>();
  if (mount("tmpfs", dir.c_str(), "tmpfs", flags, "size=64k") == 0) {
    change->undo = [dir] { umount2(dir.c_str(), MNT_DETACH); };
  } else {
    change->failure = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
  }
  return change;
}

enum class Spoil { kDirectory, kReadOnly, kFifo, kSocket, kDevice };

// Puts what `spoil` names in place of path; returns why it could not.
std::string PutInPlace(Spoil spoil, const std::string& path) {
  if (unlink(path.c_str()) != 0) return std::strerror(errno);
  int made = -1;
  switch (spoil) {
    case Spoil::kDirectory:
      made = mkdir(path.c_str(), 0755);
      break;
    case Spoil::kFifo:
      made = mkfifo(path.c_str(), 0644);
      break;
    case Spoil::kSocket: {
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      if (path.size() >= sizeof address.sun_path) return "socket path too long";
      std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
      const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
      made = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
      close(fd);
      break;
    }
    case Spoil::kDevice:  // a node of the full device, as root may make one anywhere
      made = mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7));
      break;
    case Spoil::kReadOnly:
      break;
  }
  return made == 0 ? std::string() : std::string("cannot make it: ") + std::strerror(errno);
}

// For each report k: the reports of the default run with report k spoilt, then the run
// at ten degrees, which must stop at report k.
void ExpectTheRunToStopAtEachSpoiltReport(Spoil spoil, const char* action,
                                          const std::string& reason) {
  TempDir healthy;
  ASSERT_EQ(RunBatch(healthy.path(), kTenDegrees).status, 0);
  const std::vector<std::string> of_the_run = Reports(healthy.path());
  for (std::size_t k = 0; k < 3; ++k) {
    TempDir dir;
    ASSERT_EQ(RunBatch(dir.path(), {}).status, 0);
    const std::string report = dir.File(kReports[k]);
    std::unique_ptr<Change> protection;
    if (spoil == Spoil::kReadOnly) {
      protection = WriteProtect(report, 0444);
      if (!protection->failure.empty()) GTEST_SKIP() << protection->failure;
    } else {
      const std::string failure = PutInPlace(spoil, report);
      if (!failure.empty()) GTEST_SKIP() << failure;
    }
    const std::vector<std::string> before = Reports(dir.path());

    const BatchOutcome outcome = RunBatch(dir.path(), kTenDegrees);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, FileError(dir.path(), kReports[k], action, reason));
    const std::vector<std::string> after = Reports(dir.path());
    for (std::size_t j = 0; j < 3; ++j) {
      EXPECT_EQ(after[j], j < k ? of_the_run[j] : before[j])
          << kReports[j] << (j < k ? " is not complete" : " was touched") << ", " << kReports[k]
          << " spoilt";
    }
  }
}

TEST(FileFault, DirectoryInPlaceOfAReportStopsTheRunThere) {
  ExpectTheRunToStopAtEachSpoiltReport(Spoil::kDirectory, "create", "Is a directory");
}

TEST(FileFault, ReadOnlyReportIsLeftCompleteAndNamed) {
  ExpectTheRunToStopAtEachSpoiltReport(Spoil::kReadOnly, "create", PermissionDenied());
}

// Nothing is opened that could wait for a partner or act on a device: the run stops at
// once with the message, whatever kind of file stands in the report's place.
TEST(FileFault, WhatIsNotARegularFileIsRefusedWithoutOpeningIt) {
  for (const Spoil spoil : {Spoil::kFifo, Spoil::kSocket}) {
    ExpectTheRunToStopAtEachSpoiltReport(spoil, "create", "not a regular file");
  }
  if (geteuid() != 0) GTEST_SKIP() << "only root makes device nodes";
  ExpectTheRunToStopAtEachSpoiltReport(Spoil::kDevice, "create", "not a regular file");
}

// A link in place of a report is replaced by the report; what it points to is never
// written or created: a file of another folder, a name that does not exist, a device,
// a file only root may read, linked from a shared folder with the sticky bit.
TEST(FileFault, ALinkInPlaceOfAReportIsReplacedAndItsTargetStaysUntouched) {
  TempDir healthy, elsewhere;
  ASSERT_EQ(RunBatch(healthy.path(), kTenDegrees).status, 0);
  const std::vector<std::string> of_the_run = Reports(healthy.path());
  std::ofstream(elsewhere.File("target")) << "target";
  std::ofstream(elsewhere.File("secret")) << "secret";
  chmod(elsewhere.File("secret").c_str(), 0600);
  const struct {
    std::string target;
    bool sticky_folder;
  } cases[] = {{elsewhere.File("target"), false},
               {elsewhere.File("created"), false},
               {"/dev/full", false},
               {elsewhere.File("secret"), true}};
  for (const auto& c : cases) {
    for (std::size_t k = 0; k < 3; ++k) {
      SCOPED_TRACE(c.target + " in place of " + kReports[k]);
      TempDir dir;
      ASSERT_EQ(RunBatch(dir.path(), {}).status, 0);
      if (c.sticky_folder) chmod(dir.path().c_str(), 01777);
      const std::string report = dir.File(kReports[k]);
      ASSERT_EQ(unlink(report.c_str()), 0);
      ASSERT_EQ(symlink(c.target.c_str(), report.c_str()), 0);

      const BatchOutcome outcome = RunBatch(dir.path(), kTenDegrees);
      EXPECT_EQ(outcome.status, 0) << outcome.err;
      EXPECT_EQ(Reports(dir.path()), of_the_run);
      EXPECT_EQ(ReadFile(elsewhere.File("target")), "target");
      EXPECT_EQ(ReadFile(elsewhere.File("secret")), "secret");
      EXPECT_FALSE(std::filesystem::exists(elsewhere.File("created")));
    }
  }
}

// A replaced report keeps its permission bits; a new one gets 0666 less the umask.
TEST(FileFault, ReportsKeepTheirPermissionBits) {
  const auto mode = [](const std::string& path) {
    struct stat status {};
    stat(path.c_str(), &status);
    return status.st_mode & 07777;
  };
  const struct {
    mode_t earlier;  // 0: no earlier report
    mode_t umask;
    mode_t after;
  } cases[] = {{0640, 022, 0640}, {0604, 077, 0604}, {0, 027, 0640}, {0, 0, 0666}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.earlier);
    TempDir dir;
    if (c.earlier != 0) {
      ASSERT_EQ(RunBatch(dir.path(), {}).status, 0);
      for (const char* report : kReports) chmod(dir.File(report).c_str(), c.earlier);
    }
    const mode_t previous = umask(c.umask);
    const BatchOutcome outcome = RunBatch(dir.path(), kTenDegrees);
    umask(previous);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    for (const char* report : kReports) EXPECT_EQ(mode(dir.File(report)), c.after) << report;
  }
}

TEST(FileFault, UnwritableOutputDirectoryGetsNoReport) {
  TempDir dir;
  std::ofstream(dir.File("plain")) << "x";
  const std::string out = dir.File("out");
  ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
  struct Case {
    std::string out_dir, shown, reason;
  };
  // Control characters of the path reach the message as '?', never the terminal.
  std::vector<Case> cases = {
      {dir.File("plain"), dir.File("plain"), "Not a directory"},
      {dir.File("plain/sub"), dir.File("plain/sub"), "Not a directory"},
      {dir.File("plain/\x1b]0;title\a\xff"), dir.File("plain/?]0;title??"), "Not a directory"}};
  const auto protection = WriteProtect(out, 0555);
  std::unique_ptr<Change> read_only;
  if (protection->failure.empty()) {
    cases.push_back({out, out, PermissionDenied()});
  } else {  // a read-only file system stops root too
    read_only = MountSmallFileSystem(out, MS_RDONLY);
    if (read_only->failure.empty()) cases.push_back({out, out, "Read-only file system"});
  }
  for (const Case& c : cases) {
    const BatchOutcome outcome = RunBatch(c.out_dir, {});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, FileError(c.shown, kReports[0], "create", c.reason));
  }
  EXPECT_EQ(Reports(out), std::vector<std::string>(3, "<no regular file>"));
  if (cases.size() < 4) GTEST_SKIP() << protection->failure << "; " << read_only->failure;
}

TEST(FileFault, FullFileSystemNamesTheReportThatDidNotFit) {
  // The panel report of 198 panels fits into 64 KiB; the coefficient report does not.
  const std::vector<std::string> large = {"--panels", "198", "--circulation", "--vortex", "point"};
  TempDir healthy, dir;
  ASSERT_EQ(RunBatch(healthy.path(), large).status, 0);
  const std::vector<std::string> of_the_run = Reports(healthy.path());
  ASSERT_LT(of_the_run[0].size(), 40000u);
  ASSERT_GT(of_the_run[1].size(), 100000u);

  const std::string disk = dir.File("disk");
  ASSERT_EQ(mkdir(disk.c_str(), 0755), 0);
  const auto file_system = MountSmallFileSystem(disk, 0);
  if (!file_system->failure.empty()) GTEST_SKIP() << file_system->failure;
  ASSERT_EQ(RunBatch(disk, {}).status, 0);
  const std::vector<std::string> before = Reports(disk);

  const BatchOutcome outcome = RunBatch(disk, large);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, FileError(disk, kReports[1], "write", "No space left on device"));
  const std::vector<std::string> after = Reports(disk);
  EXPECT_EQ(after[0], of_the_run[0]);
  EXPECT_EQ(after[2], before[2]);
}

}  // namespace
}  // namespace velquin
