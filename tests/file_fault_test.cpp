// Report files that cannot be written: the run stops at the report that failed, with a
// message naming the file and the system's reason and exit status 1. Reports completed
// before it are complete; reports after it are left as they were.
//
// Tests run as root in CI, where permission bits stop nobody: there the immutable
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
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "shell/batch_command.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using testing::ReadFile;
using testing::TempDir;

const std::vector<std::string> kReports = {"Output_Panel.txt", "Output_InfCoeffs.txt",
                                           "Output_PressCoeffs.txt"};

struct Outcome {
  int status;
  std::string err;
};

Outcome Batch(const std::string& out_dir, std::vector<std::string> args = {}) {
  args.insert(args.begin(), {"--batch", "--out", out_dir});
  std::ostringstream out, err;
  const int status = RunBatchCommand(args, out, err, '.', {});
  return {status, err.str()};
}

// The reports in dir; what stands in place of a report is not read (/dev/full never ends).
std::vector<std::string> Reports(const std::string& dir) {
  std::vector<std::string> reports;
  for (const std::string& name : kReports) {
    struct stat status {};
    const bool regular = lstat((dir + "/" + name).c_str(), &status) == 0 && S_ISREG(status.st_mode);
    reports.push_back(regular ? ReadFile(dir + "/" + name) : "<no regular file>");
  }
  return reports;
}

// The reports the run with args writes into a healthy directory.
std::vector<std::string> HealthyReports(const std::vector<std::string>& args) {
  TempDir dir;
  const Outcome outcome = Batch(dir.path(), args);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  return Reports(dir.path());
}

// The message for report `name` in dir, e.g. File error: cannot create "d/x": reason.
std::string FileError(const std::string& dir, const std::string& name, const char* action,
                      const char* reason) {
  return "File error: cannot " + std::string(action) + " \"" + dir + "/" + name + "\": " + reason +
         ".\n";
}

// Makes a file or directory unwritable for this process until destroyed: the permission
// bits for an ordinary user, the immutable attribute for root. failure() says why
// neither is possible here.
class WriteProtection {
 public:
  WriteProtection(const std::string& path, mode_t read_only_mode) : path_(path) {
    struct stat status {};
    stat(path.c_str(), &status);
    if (geteuid() != 0) {
      old_mode_ = status.st_mode & 07777;
      if (chmod(path.c_str(), read_only_mode) == 0) return;
      failure_ = std::string("chmod: ") + std::strerror(errno);
      return;
    }
    fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    int flags = 0;
    if (fd_ < 0 || ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0) {
      failure_ = RootFailure();
      return;
    }
    flags |= FS_IMMUTABLE_FL;
    if (ioctl(fd_, FS_IOC_SETFLAGS, &flags) != 0) failure_ = RootFailure();
  }
  ~WriteProtection() {
    if (fd_ >= 0) {
      int flags = 0;
      if (ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_IMMUTABLE_FL) != 0) {
        flags &= ~FS_IMMUTABLE_FL;
        ioctl(fd_, FS_IOC_SETFLAGS, &flags);
      }
      close(fd_);
    } else if (geteuid() != 0) {
      chmod(path_.c_str(), old_mode_);
    }
  }
  WriteProtection(const WriteProtection&) = delete;
  WriteProtection& operator=(const WriteProtection&) = delete;

  const std::string& failure() const { return failure_; }

 private:
  static std::string RootFailure() {
    return std::string(
               "running as root, whom permission bits do not stop, and the immutable "
               "attribute is not available here: ") +
           std::strerror(errno);
  }
  std::string path_;
  mode_t old_mode_ = 0;
  int fd_ = -1;
  std::string failure_;
};

// A small tmpfs mounted on an empty directory until destroyed; failure() says why the
// mount was refused (it needs root and the right to mount).
class SmallFileSystem {
 public:
  SmallFileSystem(const std::string& dir, unsigned long flags, const char* options) : dir_(dir) {
    if (mount("tmpfs", dir.c_str(), "tmpfs", flags, options) == 0) {
      mounted_ = true;
    } else {
      failure_ = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
    }
  }
  ~SmallFileSystem() {
    if (mounted_) umount2(dir_.c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  const std::string& failure() const { return failure_; }

 private:
  std::string dir_;
  bool mounted_ = false;
  std::string failure_;
};

// Checks the reports after a run that failed at report `failed`: those before it are the
// complete reports of the run, those after it what was on disk before the run.
void ExpectStoppedAt(std::size_t failed, const std::vector<std::string>& on_disk,
                     const std::vector<std::string>& of_the_run,
                     const std::vector<std::string>& before) {
  for (std::size_t k = 0; k < kReports.size(); ++k) {
    if (k < failed) {
      EXPECT_EQ(on_disk[k], of_the_run[k]) << kReports[k] << " is not complete";
    } else if (k > failed) {
      EXPECT_EQ(on_disk[k], before[k]) << kReports[k] << " was touched";
    }
  }
}

const std::vector<std::string> kTenDegrees = {"--alpha", "10"};

TEST(FileFault, DirectoryInPlaceOfAReportStopsTheRunThere) {
  const std::vector<std::string> of_the_run = HealthyReports(kTenDegrees);
  for (std::size_t k = 0; k < kReports.size(); ++k) {
    TempDir dir;
    ASSERT_EQ(Batch(dir.path()).status, 0);
    const std::vector<std::string> before = Reports(dir.path());
    ASSERT_EQ(unlink(dir.File(kReports[k]).c_str()), 0);
    ASSERT_EQ(mkdir(dir.File(kReports[k]).c_str(), 0755), 0);

    const Outcome outcome = Batch(dir.path(), kTenDegrees);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, FileError(dir.path(), kReports[k], "create", "Is a directory"));
    ExpectStoppedAt(k, Reports(dir.path()), of_the_run, before);
  }
}

TEST(FileFault, OutputDirectoryUnderARegularFileIsNotADirectory) {
  TempDir dir;
  std::ofstream(dir.File("plain")) << "x";
  for (const std::string& out : {dir.File("plain"), dir.File("plain/sub")}) {
    const Outcome outcome = Batch(out);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, FileError(out, "Output_Panel.txt", "create", "Not a directory"));
  }
}

TEST(FileFault, UnwritableOutputDirectoryGetsNoReport) {
  TempDir dir;
  const std::string out = dir.File("out");
  ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
  WriteProtection protection(out, 0555);
  std::string reason = geteuid() == 0 ? "Operation not permitted" : "Permission denied";
  std::unique_ptr<SmallFileSystem> read_only;
  if (!protection.failure().empty()) {
    // Root without the immutable attribute: a read-only file system stops root too.
    read_only = std::make_unique<SmallFileSystem>(out, MS_RDONLY, "size=64k");
    if (!read_only->failure().empty()) {
      GTEST_SKIP() << protection.failure() << "; " << read_only->failure();
    }
    reason = "Read-only file system";
  }
  const Outcome outcome = Batch(out);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, FileError(out, "Output_Panel.txt", "create", reason.c_str()));
  EXPECT_EQ(Reports(out), std::vector<std::string>(3, "<no regular file>"));
}

TEST(FileFault, ReadOnlyReportIsLeftCompleteAndNamed) {
  const std::vector<std::string> of_the_run = HealthyReports(kTenDegrees);
  for (std::size_t k = 0; k < kReports.size(); ++k) {
    TempDir dir;
    ASSERT_EQ(Batch(dir.path()).status, 0);
    const std::vector<std::string> before = Reports(dir.path());
    WriteProtection protection(dir.File(kReports[k]), 0444);
    if (!protection.failure().empty()) GTEST_SKIP() << protection.failure();

    const Outcome outcome = Batch(dir.path(), kTenDegrees);
    EXPECT_EQ(outcome.status, 1);
    const char* reason = geteuid() == 0 ? "Operation not permitted" : "Permission denied";
    EXPECT_EQ(outcome.err, FileError(dir.path(), kReports[k], "create", reason));
    const std::vector<std::string> on_disk = Reports(dir.path());
    EXPECT_EQ(on_disk[k], before[k]);
    ExpectStoppedAt(k, on_disk, of_the_run, before);
  }
}

TEST(FileFault, FullDeviceInPlaceOfAReportIsNoSpaceLeft) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no writable /dev/full here";
  const std::vector<std::string> of_the_run = HealthyReports(kTenDegrees);
  for (std::size_t k = 0; k < kReports.size(); ++k) {
    TempDir dir;
    ASSERT_EQ(Batch(dir.path()).status, 0);
    const std::vector<std::string> before = Reports(dir.path());
    ASSERT_EQ(unlink(dir.File(kReports[k]).c_str()), 0);
    ASSERT_EQ(symlink("/dev/full", dir.File(kReports[k]).c_str()), 0);

    const Outcome outcome = Batch(dir.path(), kTenDegrees);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, FileError(dir.path(), kReports[k], "write", "No space left on device"));
    ExpectStoppedAt(k, Reports(dir.path()), of_the_run, before);
  }
}

TEST(FileFault, FullFileSystemNamesTheReportThatDidNotFit) {
  // The panel report of 198 panels fits into 64 KiB; the coefficient report does not.
  const std::vector<std::string> large = {"--panels", "198", "--circulation", "--vortex", "point"};
  const std::vector<std::string> of_the_run = HealthyReports(large);
  ASSERT_LT(of_the_run[0].size(), 40000u);
  ASSERT_GT(of_the_run[1].size(), 100000u);

  TempDir dir;
  const std::string disk = dir.File("disk");
  ASSERT_EQ(mkdir(disk.c_str(), 0755), 0);
  SmallFileSystem file_system(disk, 0, "size=64k");
  if (!file_system.failure().empty()) GTEST_SKIP() << file_system.failure();
  ASSERT_EQ(Batch(disk).status, 0);
  const std::vector<std::string> before = Reports(disk);

  const Outcome outcome = Batch(disk, large);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            FileError(disk, "Output_InfCoeffs.txt", "write", "No space left on device"));
  ExpectStoppedAt(1, Reports(disk), of_the_run, before);
}

}  // namespace
}  // namespace velquin
