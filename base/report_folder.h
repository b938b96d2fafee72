// The hold of one run on its output folder, so that the reports of a folder always come
// from one run: the head of one run's report never meets the tail of another's, and the
// three reports, polar.csv and the pictures of a folder belong together.
//
// From its first file to the end of the run, a run holds an exclusive advisory lock
// (flock) on the folder itself; no lock file appears in it. A second run into the same
// folder, from this process or any other, waits for the first; runs into different
// folders never wait for each other. The lock goes with the process: a run that is
// killed leaves no lock behind.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace velquin {

class ReportFolder {
 public:
  // How long a run waits for another run that writes into the same folder.
  static constexpr std::chrono::milliseconds kWait{10000};

  // Nothing happens on disk until Enter(): a run that refuses its input leaves no
  // folder behind. directory empty: the current working directory.
  explicit ReportFolder(std::string directory, std::chrono::milliseconds wait = kWait);
  ~ReportFolder();  // releases the lock
  ReportFolder(const ReportFolder&) = delete;
  ReportFolder& operator=(const ReportFolder&) = delete;

  // Before the first file of the run (ReportFile calls it; later calls return at once):
  // makes the folder, with its parents, when it is missing, takes the lock, waiting up to
  // `wait`, and removes the temporary report files that a killed run left behind. Throws
  // RunError(kFileError) "another run is writing reports in "DIR"." when the wait is over.
  // A folder that cannot be made or opened is not locked: its first file meets the fault
  // and names it. On a file system without locks the run goes on without one.
  void Enter();

  // Records that the run has begun the file `name` (ReportFile calls it once the file may
  // be written).
  void Begin(const char* name);
  // After a run that stopped part-way: removes the files of `set` (the files of one run,
  // in the order it writes them) that the run did not begin, so that the folder never
  // holds the reports of two runs side by side. Nothing when it began none of them: the
  // earlier set then stands whole. Only regular files and links are removed.
  void RemoveRestOfSet(const std::vector<std::string>& set) const;

 private:
  void RemoveLeftovers() const;

  std::string directory_;
  std::chrono::milliseconds wait_;
  bool entered_ = false;
  std::vector<std::string> begun_;
  int fd_ = -1;
};

}  // namespace velquin
