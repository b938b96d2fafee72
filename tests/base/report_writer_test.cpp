#include "base/report_writer.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/report_folder.h"
#include "base/run_error.h"
#include "base/user_locale.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

struct FormatCase {
  double value;
  const char* text;
};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(FixedFormat, RoundedToTheDecimalsWithAtLeastOneWholeDigit) {
  const FormatCase four_decimals[] = {
      // clang-format off
      {1.5, "1.5000"}, {-0.25, "-0.2500"}, {0, "0.0000"}, {0.92677669529663687, "0.9268"},
      {0.99996, "1.0000"}, {12345.678949, "12345.6789"}, {1e20, "100000000000000000000.0000"},
      // A negative value keeps its sign when it rounds to zero; negative zero has none.
      {-0.00001, "-0.0000"}, {-0.0, "0.0000"},
      // Exact ties round away from zero; 0.00004999999 lies below one.
      {0.03125, "0.0313"}, {-0.03125, "-0.0313"}, {0.00004999999, "0.0000"},
      {kNaN, "NaN"}, {-kInfinity, "-Infinity"},
      // clang-format on
  };
  for (const auto& c : four_decimals) {
    std::string out;
    AppendFixed(out, c.value, 4, '.');
    EXPECT_EQ(out, c.text) << c.value;
  }
  std::string out;
  AppendFixed(out, -2.1855571, 6, ',');
  AppendFixed(out, -1e-300, 6, '.');
  AppendFixed(out, 0.0000005, 6, '.');  // the double lies just below the tie
  EXPECT_EQ(out, "-2,185557-0.0000000.000000");
}

TEST(BareNumber, ShortestFormBetweenASignPlaceAndASpace) {
  const FormatCase cases[] = {
      // clang-format off
      {1, " 1 "}, {12, " 12 "}, {-0.5, "-.5 "}, {0, " 0 "}, {-0.0, " 0 "}, {123.25, " 123.25 "},
      {0.343210046579957, " .343210046579957 "}, {1.0 / 3, " .333333333333333 "},
      {2.0 / 3, " .666666666666667 "},
      // Exponent form below 1E-4 and from 1E+15 on.
      {0.0001, " .0001 "}, {0.00001, " 1E-05 "}, {-1.23456789012345e-17, "-1.23456789012345E-17 "},
      {123456789012345, " 123456789012345 "}, {1e15, " 1E+15 "}, {1.5e100, " 1.5E+100 "},
      {999999999999999.9, " 1E+15 "},  // rounding to 15 digits carries over
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string out;
    AppendBare(out, c.value, '.');
    EXPECT_EQ(out, c.text) << c.value;
  }
  std::string out;
  AppendBare(out, 0.5, ',');
  EXPECT_EQ(out, " ,5 ");
}

TEST(ReportFile, TakesTheReportsPlaceOnCloseAndKeepsPartialTextWhenAbandoned) {
  test_support::TempDir dir;
  const ReportOptions options{dir.path(), '.'};
  const auto names = [&dir] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  };
  {
    ReportFile file(options, "a.txt");
    file.out().Text("x").Fixed4(2).EndLine();
    file.Close();
  }
  EXPECT_EQ(test_support::ReadFile(dir.File("a.txt")), "x2.0000\r\n");
  {
    ReportFile file(options, "a.txt");
    file.out().Text("new");
    // Until Close the earlier report stands complete beside the temporary file.
    ASSERT_EQ(names().size(), 2u);
    EXPECT_TRUE(ReplacingFile::IsTemporaryName(names()[0], "a.txt")) << names()[0];
    EXPECT_EQ(test_support::ReadFile(dir.File("a.txt")), "x2.0000\r\n");
  }  // abandoned, as by a run error
  EXPECT_EQ(test_support::ReadFile(dir.File("a.txt")), "new");
  EXPECT_EQ(names(), std::vector<std::string>{"a.txt"});
}

// The lock of a run on its folder: a second run waits, and after its wait (10 s in a
// run, 0.1 s here) stops with a message naming the folder; other folders never wait.
TEST(ReportFolder, OneRunAtATimeInAFolderMadeOnlyWhenTheFirstReportComes) {
  test_support::TempDir dir;
  const std::string out = dir.File("new/out");
  std::optional<ReportFolder> first(std::in_place, out);
  EXPECT_FALSE(std::filesystem::exists(dir.File("new")));
  first->Enter();
  ASSERT_TRUE(std::filesystem::is_directory(out));
  std::ofstream(out + "/.Output_Panel.txt.Ab3xYz") << "left by a killed run";
  std::ofstream(out + "/.notes.txt.Ab3xYz") << "not ours";

  ReportFolder other(dir.path());
  const auto started = std::chrono::steady_clock::now();
  other.Enter();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(50));

  try {
    ReportFolder second(out, std::chrono::milliseconds(100));
    second.Enter();
    ADD_FAILURE() << "no wait";
  } catch (const RunError& error) {
    EXPECT_EQ(std::string(error.what()),
              "File error: another run is writing reports in \"" + out + "\".");
  }
  // A run that waits gets in when the first run ends, and clears the temporary reports
  // of killed runs; other files stay.
  std::thread end_of_first([&first] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    first.reset();
  });
  ReportFolder third(out);
  third.Enter();
  end_of_first.join();
  EXPECT_FALSE(std::filesystem::exists(out + "/.Output_Panel.txt.Ab3xYz"));
  EXPECT_TRUE(std::filesystem::exists(out + "/.notes.txt.Ab3xYz"));
}

TEST(ReportFile, AFileThatCannotBeCreatedIsAFileErrorNamingIt) {
  test_support::TempDir dir;
  try {
    ReportFile file(ReportOptions{dir.File("missing-folder"), '.'}, "b.txt");
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::kFileError);
    EXPECT_NE(std::string(error.what()).find("missing-folder/b.txt"), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("No such file or directory"), std::string::npos);
  }
}

TEST(ReportFile, AVeryLongPathIsShortenedInTheMessageButKeepsTheFileName) {
  try {
    ReportFile file(ReportOptions{"/nonexistent/" + std::string(1 << 20, 'd'), '.'}, "c.txt");
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_LT(std::string(error.what()).size(), 300u);
    EXPECT_NE(std::string(error.what()).find("c.txt\""), std::string::npos);
  }
}

TEST(UserDecimalSeparator, FollowsTheLocaleOfTheEnvironment) {
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(UserDecimalSeparator(), '.');
  setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);  // not installed: the C locale's point
  EXPECT_EQ(UserDecimalSeparator(), '.');
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  const locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", locale_t{});
  const bool german_installed = german != locale_t{};
  if (german_installed) {
    freelocale(german);
    EXPECT_EQ(UserDecimalSeparator(), ',');
  }
  unsetenv("LC_ALL");
  if (!german_installed) GTEST_SKIP() << "de_DE.UTF-8 not installed";
}

}  // namespace
}  // namespace velquin
