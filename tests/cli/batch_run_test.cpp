#include "cli/batch_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using Outcome = test_support::BatchOutcome;
constexpr auto& Batch = test_support::RunCommand;

TEST(BatchCommand, DefaultsWriteTheThreeReports) {
  test_support::TempDir dir;
  const Outcome outcome = Batch({"--batch", "--out", dir.path()});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  EXPECT_NE(test_support::ReadFile(dir.File("Output_Panel.txt")), "<missing>");
  EXPECT_NE(test_support::ReadFile(dir.File("Output_InfCoeffs.txt")), "<missing>");
  EXPECT_EQ(test_support::ReadFile(dir.File("Output_PressCoeffs.txt")).substr(32, 30),
            " 1   0.9268  -0.1768  0.5858\r\n");
}

TEST(BatchCommand, OptionsSetTheControlsAndTextsReadLikeTheWindow) {
  test_support::TempDir dir;
  const Outcome outcome =
      Batch({"--batch", "--panels", "12 panels", "--body=naca0012", "--alpha", "-5",
             "--circulation", "--vortex", "constant", "--out", dir.path()});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  const std::string report = test_support::ReadFile(dir.File("Output_PressCoeffs.txt"));
  EXPECT_NE(report.find("\r\n 12   "), std::string::npos);
  EXPECT_NE(test_support::ReadFile(dir.File("Output_InfCoeffs.txt")).find("Vortex strength ="),
            std::string::npos);
}

// A run that stops never leaves a set of reports from two runs: refused before its first
// report, it leaves the earlier set whole; stopped by a zero pivot after two, it takes
// the earlier pressure report and polar away.
TEST(BatchCommand, RunErrorsAndZeroPivotsExitWithOneAndAMessage) {
  test_support::TempDir dir;
  const auto present = [&dir](const char* name) {
    return test_support::ReadFile(dir.File(name)) != "<missing>";
  };
  ASSERT_EQ(Batch({"--batch", "--sweep", "0:2:2", "--out", dir.path()}).status, 0);
  Outcome outcome = Batch({"--batch", "--panels", "300", "--out", dir.path()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("Subscript out of range"), std::string::npos);
  EXPECT_TRUE(present("Output_PressCoeffs.txt"));
  outcome = Batch({"--batch", "--panels", "1", "--circulation", "--vortex", "point", "--xv", "1",
                   "--yv", "0.3", "--sweep", "0:2:2", "--out", dir.path()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("diyagonal"), std::string::npos);
  EXPECT_NE(outcome.err.find("of the 2 equations of 1 panel;"), std::string::npos) << outcome.err;
  EXPECT_TRUE(present("Output_Panel.txt") && present("Output_InfCoeffs.txt"));
  EXPECT_FALSE(present("Output_PressCoeffs.txt"));
  EXPECT_FALSE(present("polar.csv"));
  std::ofstream(dir.File("plain")) << "a file, not a folder";
  outcome = Batch({"--batch", "--out", dir.File("plain/sub")});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("plain/sub/Output_Panel.txt\": Not a directory"), std::string::npos);
}

TEST(BatchCommand, AMissingOutputFolderIsMadeOnlyForTheFirstReport) {
  test_support::TempDir dir;
  // Refused input writes nothing, so it makes no folder either.
  for (const char* refused : {"0", "8.5", "1e999"}) {
    EXPECT_EQ(Batch({"--batch", "--panels", refused, "--out", dir.File("new/a/b")}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("new"))) << refused;
  }
  const Outcome outcome = Batch({"--batch", "--out", dir.File("new/folder")});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(test_support::ReadFile(dir.File("new/folder/Output_PressCoeffs.txt")), "<missing>");
}

TEST(BatchCommand, MalformedCommandLinesExitWithTwoAndTheUsage) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--batch", "--wings", "2"},
                                             {"--batch", "--panels"},
                                             {"--batch", "--body", "square"},
                                             {"--batch", "--place", "0:0:0:1", "--body", "circle"},
                                             {"--batch", "--vortex", ""},
                                             {"--batch", "--panels", "8", "--panels", "9"},
                                             {"--batch", "--circulation=yes"},
                                             {"--batch", "--images"},
                                             {"--panels", "8"}}) {
    const Outcome outcome = Batch(args);
    EXPECT_EQ(outcome.status, 2) << args.back();
    EXPECT_NE(outcome.err.find("Try 'velquin2ds --help'."), std::string::npos);
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 3) << outcome.err;
  }
}

TEST(BatchCommand, HelpAndVersionGoToStandardOutput) {
  EXPECT_EQ(Batch({"--help"}).status, 0);
  EXPECT_NE(Batch({"--help"}).out.find("--circulation"), std::string::npos);
  EXPECT_EQ(Batch({"--version"}).out.rfind("velquin2ds ", 0), 0u);
  EXPECT_TRUE(IsCommandLineMode({"--batch"}));
  EXPECT_FALSE(IsCommandLineMode({}));
}

}  // namespace
}  // namespace velquin
