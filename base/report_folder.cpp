#include "base/report_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <thread>
#include <utility>

#include "base/report_writer.h"
#include "base/run_error.h"
#include "base/text_number.h"

namespace velquin {
namespace {

// The files only a run that holds the folder writes; a temporary file of theirs that is
// found by the run holding the folder was left by a run that was killed.
constexpr const char* kRunFiles[] = {"Output_Panel.txt", "Output_InfCoeffs.txt",
                                     "Output_PressCoeffs.txt", "polar.csv"};

}  // namespace

ReportFolder::ReportFolder(std::string directory, std::chrono::milliseconds wait)
    : directory_(std::move(directory)), wait_(wait) {}

ReportFolder::~ReportFolder() {
  if (fd_ >= 0) close(fd_);  // releases the lock
}

void ReportFolder::Enter() {
  if (entered_) return;
  if (!directory_.empty()) {
    std::error_code ignored;  // where this fails, the first file names the fault
    std::filesystem::create_directories(directory_, ignored);
  }
  const char* folder = directory_.empty() ? "." : directory_.c_str();
  fd_ = open(folder, O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) {
    entered_ = true;
    return;
  }
  // Polled rather than blocking, so that the wait has an end: from 1 ms, doubling to 50 ms.
  const auto deadline = std::chrono::steady_clock::now() + wait_;
  std::chrono::milliseconds pause{1};
  while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {  // no locks on this file system
      entered_ = true;
      return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      close(fd_);
      fd_ = -1;
      throw RunError(ErrorKind::kFileError,
                     "another run is writing reports in " + QuotedPath(folder) + ".");
    }
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds{50});
  }
  entered_ = true;
  RemoveLeftovers();
}

void ReportFolder::Begin(const char* name) {
  begun_.emplace_back(name);
}

void ReportFolder::RemoveRestOfSet(const std::vector<std::string>& set) const {
  const auto begun = [this](const std::string& name) {
    return std::find(begun_.begin(), begun_.end(), name) != begun_.end();
  };
  if (std::none_of(set.begin(), set.end(), begun)) return;
  for (const std::string& name : set) {
    if (begun(name)) continue;
    const std::string path = directory_.empty() ? std::string(name) : directory_ + "/" + name;
    struct stat status {};
    if (lstat(path.c_str(), &status) == 0 && (S_ISREG(status.st_mode) || S_ISLNK(status.st_mode))) {
      unlink(path.c_str());
    }
  }
}

void ReportFolder::RemoveLeftovers() const {
  const int listing_fd = openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing_fd < 0) return;
  DIR* listing = fdopendir(listing_fd);
  if (listing == nullptr) {
    close(listing_fd);
    return;
  }
  while (const dirent* entry = readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name.empty() || name[0] != '.') continue;
    const bool leftover = std::any_of(
        std::begin(kRunFiles), std::end(kRunFiles),
        [name](const char* file) { return ReplacingFile::IsTemporaryName(name, file); });
    struct stat status {};
    if (leftover && fstatat(fd_, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(status.st_mode)) {
      unlinkat(fd_, entry->d_name, 0);
    }
  }
  closedir(listing);
}

}  // namespace velquin
