#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "base/run_error.h"
#include "base/text_number.h"
#include "cli/angle_range.h"
#include "solver/angle_sweep.h"
#include "solver/gauss_multi.h"
#include "solver/module_gauss.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace test_support;

std::uint64_t Bits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::vector<std::uint64_t> Bits(const Vector& v, int n) {
  std::vector<std::uint64_t> bits;
  for (int i = 1; i <= n; ++i) bits.push_back(Bits(v(i)));
  return bits;
}

std::vector<std::uint64_t> Bits(const DerivedResults& r) {
  return {Bits(r.cl_circulation), Bits(r.cl_pressure), Bits(r.cm_quarter_chord), Bits(r.source_sum),
          Bits(r.circle_deviation.value_or(-1))};
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A state in a batch window that collects the messages.
struct Session {
  explicit Session(const ControlValues& controls = {}) : controls(controls) {}
  ControlValues controls;
  std::unique_ptr<Module_Common> C = NewState();
  std::ostringstream messages;
};

// Gauss_Factor's own zero pivots (a sweep factors only matrices its run has solved).
TEST(GaussFactored, ZeroPivotsAreReportedLikeGaussSolve) {
  Session s;
  int zero_pivots = 0;
  // A zero first pivot, and a singular matrix whose last diagonal element ends as 0.
  for (const auto& row : {std::vector<double>{0, 1, 1, 1}, std::vector<double>{1, 2, 2, 4}}) {
    s.C->An(1, 1) = row[0], s.C->An(1, 2) = row[1], s.C->An(2, 1) = row[2], s.C->An(2, 2) = row[3];
    zero_pivots += Gauss_Factor(2, s.C->An) ? 0 : 1;
  }
  EXPECT_EQ(zero_pivots, 2);
}

// Q, Vt, Cu and the derived results of every angle have the bits of a separate run, for
// both bodies, both vortex models and none, the smallest and largest matrices, more than one
// block of 64 angles; the state of the run the sweep starts from is left untouched.
TEST(Sweep, EveryAngleHasTheBitsOfASeparateRun) {
  ControlValues off_centre = WithCirculation(Naca(CircleControls("40")), true);
  off_centre.Text_Xv = "0.3";
  off_centre.Text_Yv = "0.01";
  std::vector<double> long_sweep;
  for (int k = 0; k < 70; ++k) long_sweep.push_back(-17.5 + 0.5 * k);
  struct Case {
    ControlValues controls;
    std::vector<double> angles;
  };
  const std::vector<Case> cases = {
      {WithCirculation(Naca(CircleControls("198", "3")), false), {-10, -2.5, 0, 3.75, 10}},
      {off_centre, {-7, 12}},
      {CircleControls("9"), {0, 33.3, 90, -180}},
      {CircleControls("199", "1"), {-1, 0.5}},
      {CircleControls("1"), {0, 30}},
      {WithCirculation(CircleControls("12"), true), long_sweep}};
  TempDir dir;
  for (const Case& c : cases) {
    const ControlValues& controls = c.controls;
    const std::vector<double>& angles = c.angles;
    Session swept(controls);
    ASSERT_EQ(RunIn(*swept.C, controls, dir.path()).outcome, RunOutcome::kCompleted);
    const auto before = std::make_unique<Module_Common>(*swept.C);
    std::size_t observed = 0;
    const auto results = SweepAngles(
        *swept.C, ReadRunInputs(controls), angles,
        [&](std::size_t index, const AngleSolution& solution) {
          ControlValues single = controls;
          single.Text_AlfaD = NumberText(angles[index]);
          const std::string where = single.Text_NP + " panels at " + single.Text_AlfaD;
          auto C = NewState();
          ASSERT_EQ(RunIn(*C, single, dir.path()).outcome, RunOutcome::kCompleted);
          ASSERT_EQ(index, observed++);
          EXPECT_EQ(solution.alpha_degrees, angles[index]);
          EXPECT_EQ(Bits(solution.CosAlfa), Bits(C->CosAlfa)) << where;
          EXPECT_EQ(Bits(solution.SinAlfa), Bits(C->SinAlfa)) << where;
          EXPECT_EQ(Bits(solution.Q, C->NEq), Bits(C->Q, C->NEq)) << where;
          EXPECT_EQ(Bits(solution.Vt, C->NP), Bits(C->Vt, C->NP)) << where;
          EXPECT_EQ(Bits(solution.Cu, C->NP), Bits(C->Cu, C->NP)) << where;
          EXPECT_EQ(Bits(solution.results), Bits(ComputeDerivedResults(*C, ReadRunInputs(single))))
              << where;
        });
    ASSERT_TRUE(results.has_value());
    EXPECT_EQ(results->size(), angles.size());
    EXPECT_EQ(observed, angles.size());
    EXPECT_EQ(swept.messages.str(), "");
    EXPECT_EQ(std::memcmp(before.get(), swept.C.get(), sizeof(Module_Common)), 0);
  }
}

// An angle whose radians are not a number (the command line cannot give one) makes the
// strengths NaN: the sweep stops with an overflow instead of reporting NaN results.
TEST(Sweep, AnAngleBeyondTheRangeOfRadiansIsAnOverflow) {
  TempDir dir;
  const ControlValues controls = WithCirculation(CircleControls("8"), false);
  auto C = NewState();
  ASSERT_EQ(RunIn(*C, controls, dir.path()).outcome, RunOutcome::kCompleted);
  try {
    SweepAngles(*C, ReadRunInputs(controls), {0, 1e308});
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::kOverflow) << error.what();
  }
}

TEST(AngleRange, AnglesAreTheExactDecimalsOfTheRange) {
  using Angles = std::vector<std::string>;
  const std::vector<std::pair<const char*, Angles>> cases = {
      {"-10:10:5", {"-10", "-5", "0", "5", "10"}},
      {"0:1:0.3", {"0", "0.3", "0.6", "0.9"}},
      {"1:-1:-.5", {"1", "0.5", "0", "-0.5", "-1"}},
      {"-0.8:-0.6:0.1", {"-0.8", "-0.7", "-0.6"}},
      {"5:5:-1", {"5"}},
      {"+007.50000000000:8.:0.25", {"7.5", "7.75", "8"}},
      {"-0:0.000000001:0.000000001", {"0", "0.000000001"}}};
  for (const auto& [text, angles] : cases) EXPECT_EQ(ParseAngleRange(text).angles, angles) << text;
  EXPECT_EQ(ParseAngleRange("0:10000:1").angles.size(), 10001u);
}

// Each number reads as the angle field reads its text (--alpha), with the same note when
// only part of it was the number.
TEST(AngleRange, NumbersReadAsTheAngleFieldWithItsNotes) {
  using Angles = std::vector<std::string>;
  const struct {
    const char* text;
    Angles angles;
    const char* note;  // the one note, or none
  } cases[] = {
      {"1,5:2:1", {"1", "2"}, "sweep FROM \"1,5\" read as 1 (the decimal separator is a point)"},
      {"a:1:1", {"0", "1"}, "sweep FROM \"a\" read as 0 (it does not begin with a number)"},
      {"0x1:2:1", {"0", "1", "2"}, "sweep FROM \"0x1\" read as 0 (the rest, \"x1\", is ignored)"},
      {"0:3deg:1",
       {"0", "1", "2", "3"},
       "sweep TO \"3deg\" read as 3 (the rest, \"deg\", is ignored)"},
      {"-:1:1", {"0", "1"}, "sweep FROM \"-\" read as 0 (it does not begin with a number)"},
      {" 1:2:1 ", {"1", "2"}, nullptr},
      {"-2:1e1:2.5D0", {"-2", "0.5", "3", "5.5", "8"}, nullptr},
      {"&H10:16:1", {"16"}, nullptr},
  };
  for (const auto& c : cases) {
    const AngleRange range = ParseAngleRange(c.text);
    EXPECT_EQ(range.error, "") << c.text;
    EXPECT_EQ(range.angles, c.angles) << c.text;
    EXPECT_EQ(range.notes, c.note ? std::vector<std::string>{c.note} : std::vector<std::string>{})
        << c.text;
  }
}

TEST(AngleRange, MalformedRangesSayWhy) {
  for (const char* text : {"", "1:2", "1:2:3:4", "1:2:0", "2:1:1", "1:2:-1", "1e1:2:1", "0:10001:1",
                           "0:1:0.0000000001", "12345678:0:-1", "1e400:0:-1", "1:2:+-1"}) {
    const AngleRange range = ParseAngleRange(text);
    EXPECT_TRUE(range.angles.empty()) << text;
    EXPECT_NE(range.error.find("--sweep"), std::string::npos) << text;
  }
  EXPECT_NE(ParseAngleRange("0:10001:1").error.find("at most 10001 angles"), std::string::npos);
}

// The run at the last angle prints the one line of a single run and writes its reports.
TEST(SweepBatch, ThreeAnglesWriteAFourLinePolarAndTheReportsOfTheLastAngle) {
  const std::string naca = "--body naca0012 --panels 24 --circulation --vortex constant";
  TempDir swept_dir, single_dir;
  const BatchOutcome swept = RunBatch(swept_dir.path(), Words(naca + " --sweep -5:5:5"));
  const BatchOutcome single = RunBatch(single_dir.path(), Words(naca + " --alpha 5"));
  ASSERT_EQ(swept.status, 0) << swept.err;
  EXPECT_EQ(swept.err, "");  // no progress for a handful of angles
  EXPECT_EQ(swept.out, single.out);
  ASSERT_EQ(SplitLines(single.out).size(), 1u);
  EXPECT_EQ(AllReports(swept_dir.path()), AllReports(single_dir.path()));

  // The line "cl_circulation=a cl_pressure=b ..." as the row "5,a,b,...".
  std::string last_row = "5";
  std::istringstream pairs(single.out);
  for (std::string pair; pairs >> pair;) last_row += "," + pair.substr(pair.find('=') + 1);
  const std::string polar = ReadFile(swept_dir.File("polar.csv"));
  const std::vector<std::string> rows = SplitLines(polar);
  EXPECT_EQ(polar.find('\r'), std::string::npos);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], "alpha_deg,cl_circulation,cl_pressure,cm_quarter_chord,source_sum");
  EXPECT_EQ(rows[1].substr(0, 3), "-5,");
  EXPECT_EQ(rows[2].substr(0, 2), "0,");
  EXPECT_EQ(rows[3], last_row);
}

// An FNV-1a hash of the three reports, byte-identical to those of the program before
// the derived results and the sweep (commit de09ade); a sweep ending on the same angle
// writes the same bytes.
TEST(SweepBatch, ReportsKeepTheirBytes) {
  struct Case {
    std::string args, alpha;
    std::uint64_t hash;
  };
  const Case cases[] = {
      {"", "0", 0x467d5f424db16c45ull},
      {"--circulation --vortex point", "10", 0x129bb15e4d6ddc48ull},
      {"--body naca0012 --panels 12 --circulation --vortex constant", "-5", 0xb7c4b9a97e6adc4dull},
      {"--body naca0012 --panels 198 --circulation --vortex constant", "5", 0x866b9a44b93e1832ull}};
  for (const Case& c : cases) {
    for (const std::string& angles : {" --alpha " + c.alpha, " --sweep -15:" + c.alpha + ":2.5"}) {
      const std::vector<std::string> args = Words(c.args + angles);
      TempDir dir;
      const BatchOutcome outcome = RunBatch(dir.path(), args);
      ASSERT_EQ(outcome.status, 0) << outcome.err;
      std::uint64_t h = 14695981039346656037ull;
      for (const unsigned char byte : AllReports(dir.path())) h = (h ^ byte) * 1099511628211ull;
      EXPECT_EQ(h, c.hash) << std::hex << h << " " << args.back();
    }
  }
}

TEST(SweepBatch, MalformedSweepsExitWithTwoAndWriteNothing) {
  // The ranges themselves are checked by AngleRange.MalformedRangesSayWhy.
  for (const char* line : {"--sweep 0:20:ten", "--sweep 0:10:-1", "--sweep 0:1000000:0.001",
                           "--sweep", "--alpha 3 --sweep 0:10:5"}) {
    const std::vector<std::string> args = Words(line);
    TempDir dir;
    const BatchOutcome outcome = RunBatch(dir.path(), args);
    EXPECT_EQ(outcome.status, 2) << args.back();
    EXPECT_EQ(outcome.err.rfind("velquin2ds: ", 0), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find("Try 'velquin2ds --help'."), std::string::npos);
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << args.back();
  }
}

// A sweep whose first run stops, or whose polar.csv cannot be written, exits with 1 and
// prints no results.
TEST(SweepBatch, ZeroPivotsAndFileErrorsExitWithOneAndNoPolar) {
  for (bool polar_is_a_directory : {false, true}) {
    TempDir dir;
    if (polar_is_a_directory) std::filesystem::create_directory(dir.File("polar.csv"));
    // One panel with the vortex on its normal line: a zero Kutta row.
    const BatchOutcome outcome = RunBatch(
        dir.path(),
        Words(polar_is_a_directory
                  ? "--sweep 0:4:1"
                  : "--panels 1 --circulation --vortex point --xv 1 --yv 0.3 --sweep 0:4:1"));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find(polar_is_a_directory ? "polar.csv" : "diyagonal"), std::string::npos)
        << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_FALSE(std::filesystem::is_regular_file(dir.File("polar.csv")));
  }
}

// The progress line is for a terminal (tests/process_test.cpp); a stream gets none.
TEST(SweepBatch, ProgressCountsOnOneLineForMoreThanTenAnglesOnATerminalOnly) {
  TempDir dir;
  EXPECT_EQ(RunBatch(dir.path(), {"--sweep", "1:10:1"}).err, "");
  const BatchOutcome outcome = RunBatch(dir.path(), {"--sweep", "0:10:1"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(SplitLines(ReadFile(dir.File("polar.csv"))).size(), 12u);
}

}  // namespace
}  // namespace velquin
