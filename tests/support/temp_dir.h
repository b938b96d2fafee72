// A temporary directory for tests that write reports; removed with its contents.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace velquin::test_support {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velquin-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The three reports a run writes, in the order it writes them.
inline const char* const kReports[] = {"Output_Panel.txt", "Output_InfCoeffs.txt",
                                       "Output_PressCoeffs.txt"};

// The whole content of a file, or "<missing>" when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The three reports in dir, concatenated.
inline std::string AllReports(const std::string& dir) {
  return ReadFile(dir + "/" + kReports[0]) + ReadFile(dir + "/" + kReports[1]) +
         ReadFile(dir + "/" + kReports[2]);
}

}  // namespace velquin::test_support
