// Report files that cannot be written: the run stops at the report that failed, with a
// message naming the file and the system's reason and exit status 1. Reports completed
// before it are complete; reports after it are left as they were.
//
// Permission bits stop nobody when the tests run as root (in CI): there the immutable
// attribute or a mounted file system stands in for them, and a test skips with its
// reason where neither is allowed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace testing;

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
  return "File error: cannot " + std::string(action) + " \"" + dir + "/" + name + "\": " + reason +
         ".\n";
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

enum class Spoil { kDirectory, kReadOnly, kFullDevice };

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
      ASSERT_EQ(unlink(report.c_str()), 0);
      ASSERT_EQ(spoil == Spoil::kDirectory ? mkdir(report.c_str(), 0755)
                                           : symlink("/dev/full", report.c_str()),
                0);
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

TEST(FileFault, FullDeviceInPlaceOfAReportIsNoSpaceLeft) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no writable /dev/full here";
  ExpectTheRunToStopAtEachSpoiltReport(Spoil::kFullDevice, "write", "No space left on device");
}

TEST(FileFault, UnwritableOutputDirectoryGetsNoReport) {
  TempDir dir;
  std::ofstream(dir.File("plain")) << "x";
  const std::string out = dir.File("out");
  ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
  std::vector<std::pair<std::string, std::string>> cases = {
      {dir.File("plain"), "Not a directory"}, {dir.File("plain/sub"), "Not a directory"}};
  const auto protection = WriteProtect(out, 0555);
  std::unique_ptr<Change> read_only;
  if (protection->failure.empty()) {
    cases.push_back({out, PermissionDenied()});
  } else {  // a read-only file system stops root too
    read_only = MountSmallFileSystem(out, MS_RDONLY);
    if (read_only->failure.empty()) cases.push_back({out, "Read-only file system"});
  }
  for (const auto& [out_dir, reason] : cases) {
    const BatchOutcome outcome = RunBatch(out_dir, {});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, FileError(out_dir, kReports[0], "create", reason));
  }
  EXPECT_EQ(Reports(out), std::vector<std::string>(3, "<no regular file>"));
  if (cases.size() < 3) GTEST_SKIP() << protection->failure << "; " << read_only->failure;
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
