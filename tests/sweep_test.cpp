#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "shell/angle_range.h"
#include "shell/batch_command.h"
#include "shell/derived_text.h"
#include "shell/text_number.h"
#include "solver/angle_sweep.h"
#include "solver/gauss_multi.h"
#include "solver/module_gauss.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using testing::CircleControls;
using testing::kReports;
using testing::Naca;
using testing::NewState;
using testing::ReadFile;
using testing::RunIn;
using testing::TempDir;
using testing::WithCirculation;

std::uint64_t Bits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

void ExpectSameBits(const DerivedResults& a, const DerivedResults& b, const std::string& where) {
  EXPECT_EQ(Bits(a.cl_circulation), Bits(b.cl_circulation)) << where;
  EXPECT_EQ(Bits(a.cl_pressure), Bits(b.cl_pressure)) << where;
  EXPECT_EQ(Bits(a.cm_quarter_chord), Bits(b.cm_quarter_chord)) << where;
  EXPECT_EQ(Bits(a.source_sum), Bits(b.source_sum)) << where;
  ASSERT_EQ(a.circle_deviation.has_value(), b.circle_deviation.has_value()) << where;
  if (a.circle_deviation) {
    EXPECT_EQ(Bits(*a.circle_deviation), Bits(*b.circle_deviation)) << where;
  }
}

class GaussFactored : public ::testing::Test {
 protected:
  // A random system that needs no pivoting (a dominant diagonal).
  void Fill(int n, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> value(-1, 1);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) assembled->An(i, j) = value(random) + (i == j ? n : 0);
    }
  }
  std::unique_ptr<Module_Common> assembled = NewState();
  std::unique_ptr<Module_Common> work = NewState();
  NullPicture picture;
  std::ostringstream messages;
  BatchWindow window{*work, ControlValues{}, picture, picture, picture, messages};
};

// The factored elimination applies Gauss_Solve's row operations to every right-hand
// side: each solution must be bit for bit Gauss_Solve's, and the upper triangle too.
// 250 right-hand sides are more than one block of the solver's work arrays.
TEST_F(GaussFactored, EverySolutionHasTheBitsOfGaussSolve) {
  struct Case {
    int n, count;
  };
  for (const Case& c : {Case{1, 3}, Case{2, 1}, Case{7, 5}, Case{30, 250}, Case{199, 3}}) {
    Fill(c.n, 11 + c.n);
    std::mt19937_64 random(c.n);
    std::uniform_real_distribution<double> value(-2, 2);
    std::vector<double> rhs(static_cast<std::size_t>(c.n) * c.count);
    for (double& b : rhs) b = value(random);

    work->An = assembled->An;
    ASSERT_TRUE(Gauss_Factor(c.n, work->An, window));
    const Matrix factored = work->An;
    std::vector<double> solutions = rhs;
    Gauss_SolveFactored(c.n, factored, solutions.data(), c.count);

    for (int column = 0; column < c.count; ++column) {
      work->An = assembled->An;
      for (int i = 1; i <= c.n; ++i) work->An(i, c.n + 1) = rhs[(i - 1) * c.count + column];
      ASSERT_TRUE(Gauss_Solve(c.n, work->An, work->Q, window));
      for (int i = 1; i <= c.n; ++i) {
        ASSERT_EQ(Bits(solutions[(i - 1) * c.count + column]), Bits(work->Q(i)))
            << "n " << c.n << " rhs " << column << " row " << i;
        for (int j = i; j <= c.n; ++j) ASSERT_EQ(Bits(factored(i, j)), Bits(work->An(i, j)));
      }
    }
  }
  EXPECT_EQ(messages.str(), "");
}

TEST_F(GaussFactored, ZeroPivotsAreReportedLikeGaussSolve) {
  work->An(1, 1) = 0;
  work->An(1, 2) = 1;
  work->An(2, 1) = 1;
  work->An(2, 2) = 1;
  EXPECT_FALSE(Gauss_Factor(2, work->An, window));
  work->An(1, 1) = 1;
  work->An(1, 2) = 2;
  work->An(2, 1) = 2;
  work->An(2, 2) = 4;  // singular: the last diagonal element ends as 0
  EXPECT_FALSE(Gauss_Factor(2, work->An, window));
  EXPECT_EQ(messages.str(), std::string(kZeroPivotMessage) + "\n" + kZeroPivotMessage + "\n");
}

// The sweep against separate runs, angle by angle: Q, Vt, Cu and the derived results
// with the very same bits, for both bodies, both vortex models and none, and a sweep
// longer than one block of angles solved together.
TEST(Sweep, EveryAngleHasTheBitsOfASeparateRun) {
  struct Case {
    ControlValues controls;
    std::vector<double> angles;
  };
  ControlValues off_centre = WithCirculation(Naca(CircleControls("40")), true);
  off_centre.Text_Xv = "0.3";
  off_centre.Text_Yv = "0.01";
  std::vector<double> long_sweep;
  for (int k = 0; k < 70; ++k) long_sweep.push_back(-17.5 + 0.5 * k);
  const std::vector<Case> cases = {
      {WithCirculation(Naca(CircleControls("198")), false), {-10, -2.5, 0, 3.75, 10}},
      {off_centre, {-7, 12}},
      {CircleControls("9"), {0, 33.3, 90, -180}},
      {WithCirculation(CircleControls("12"), true), long_sweep}};

  TempDir dir;
  for (const Case& c : cases) {
    auto swept = NewState();
    ASSERT_EQ(RunIn(*swept, c.controls, dir.path()).outcome, RunOutcome::kCompleted);
    NullPicture picture;
    std::ostringstream messages;
    BatchWindow window(*swept, c.controls, picture, picture, picture, messages);
    std::vector<std::unique_ptr<Module_Common>> separate;
    const auto results = Sweep_Angles(
        *swept, c.controls, c.angles, window,
        [&](std::size_t index, const AngleSolution& solution) {
          ControlValues controls = c.controls;
          controls.Text_AlfaD = NumberText(c.angles[index]);
          auto C = NewState();
          ASSERT_EQ(RunIn(*C, controls, dir.path()).outcome, RunOutcome::kCompleted);
          const std::string where = controls.Text_NP + " panels at " + controls.Text_AlfaD;
          ASSERT_EQ(solution.alpha_degrees, c.angles[index]);
          EXPECT_EQ(Bits(solution.CosAlfa), Bits(C->CosAlfa)) << where;
          EXPECT_EQ(Bits(solution.SinAlfa), Bits(C->SinAlfa)) << where;
          for (int j = 1; j <= C->NEq; ++j) {
            ASSERT_EQ(Bits(solution.Q(j)), Bits(C->Q(j))) << where << ", Q(" << j << ")";
          }
          for (int i = 1; i <= C->NP; ++i) {
            ASSERT_EQ(Bits(solution.Vt(i)), Bits(C->Vt(i))) << where << ", Vt(" << i << ")";
            ASSERT_EQ(Bits(solution.Cu(i)), Bits(C->Cu(i))) << where << ", Cu(" << i << ")";
          }
          ExpectSameBits(solution.results, ComputeDerivedResults(*C, controls), where);
          separate.push_back(std::move(C));
        });
    ASSERT_TRUE(results.has_value());
    ASSERT_EQ(results->size(), c.angles.size());
    EXPECT_EQ(separate.size(), c.angles.size());
    EXPECT_EQ(messages.str(), "");
  }
}

// The sweep works on a copy: the state stays exactly as the run left it.
TEST(Sweep, LeavesTheStateOfItsRunUntouched) {
  TempDir dir;
  const ControlValues controls = WithCirculation(Naca(CircleControls("24", "3")), false);
  auto C = NewState();
  ASSERT_EQ(RunIn(*C, controls, dir.path()).outcome, RunOutcome::kCompleted);
  const auto before = std::make_unique<Module_Common>(*C);
  NullPicture picture;
  std::ostringstream messages;
  BatchWindow window(*C, controls, picture, picture, picture, messages);
  ASSERT_TRUE(Sweep_Angles(*C, controls, {-4, 8}, window).has_value());
  EXPECT_EQ(std::memcmp(before.get(), C.get(), sizeof(Module_Common)), 0);
}

TEST(AngleRange, AnglesAreTheExactDecimalsOfTheRange) {
  using Angles = std::vector<std::string>;
  EXPECT_EQ(ParseAngleRange("-10:10:5").angles, (Angles{"-10", "-5", "0", "5", "10"}));
  EXPECT_EQ(ParseAngleRange("0:1:0.3").angles, (Angles{"0", "0.3", "0.6", "0.9"}));
  EXPECT_EQ(ParseAngleRange("1:-1:-.5").angles, (Angles{"1", "0.5", "0", "-0.5", "-1"}));
  EXPECT_EQ(ParseAngleRange("-0.8:-0.6:0.1").angles, (Angles{"-0.8", "-0.7", "-0.6"}));
  EXPECT_EQ(ParseAngleRange("5:5:-1").angles, (Angles{"5"}));
  EXPECT_EQ(ParseAngleRange("+007.50000000000:8.:0.25").angles, (Angles{"7.5", "7.75", "8"}));
  EXPECT_EQ(ParseAngleRange("-0:0.000000001:0.000000001").angles, (Angles{"0", "0.000000001"}));
}

TEST(AngleRange, MalformedRangesSayWhy) {
  for (const char* text : {"", "1:2", "1:2:3:4", "1:2:0", "2:1:1", "1:2:-1", "a:1:1", "1e1:2:1",
                           " 1:2:1", "1:2:1 ", "1,5:2:1", "0:10001:1", "0:1:0.0000000001",
                           "12345678:0:-1", "-:1:1", ".:1:1", "1:2:+-1", "0x1:2:1"}) {
    const AngleRange range = ParseAngleRange(text);
    EXPECT_TRUE(range.angles.empty()) << text;
    EXPECT_NE(range.error.find("--sweep"), std::string::npos) << text;
  }
  EXPECT_NE(ParseAngleRange("0:10001:1").error.find("at most 10001 angles"), std::string::npos);
  EXPECT_EQ(ParseAngleRange("0:10000:1").angles.size(), 10001u);
}

struct Outcome {
  int status;
  std::string out, err;
};

Outcome Batch(std::vector<std::string> args, const TempDir& dir) {
  args.insert(args.end(), {"--out", dir.path()});
  std::ostringstream out, err;
  const int status = RunBatchCommand(args, out, err, '.', {});
  return {status, out.str(), err.str()};
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The four values of a key=value line, as a polar row after the angle.
std::string ValuesOfLine(const std::string& line) {
  std::string values;
  std::istringstream in(line);
  for (std::string pair; in >> pair;) {
    if (pair.rfind("circle_deviation=", 0) == 0) continue;
    values += "," + pair.substr(pair.find('=') + 1);
  }
  return values;
}

TEST(SweepBatch, ThreeAnglesWriteAFourLinePolarAndTheReportsOfTheLastAngle) {
  const std::vector<std::string> inputs = {"--batch", "--body",        "naca0012", "--panels",
                                           "24",      "--circulation", "--vortex", "constant"};
  TempDir swept_dir, single_dir;
  std::vector<std::string> sweep_args = inputs, single_args = inputs;
  sweep_args.insert(sweep_args.end(), {"--sweep", "-5:5:5"});
  single_args.insert(single_args.end(), {"--alpha", "5"});
  const Outcome swept = Batch(sweep_args, swept_dir);
  const Outcome single = Batch(single_args, single_dir);
  ASSERT_EQ(swept.status, 0) << swept.err;
  ASSERT_EQ(single.status, 0) << single.err;
  EXPECT_EQ(swept.err, "");  // no progress for a handful of angles

  const std::string polar = ReadFile(swept_dir.File("polar.csv"));
  EXPECT_EQ(polar.find('\r'), std::string::npos);
  const std::vector<std::string> rows = SplitLines(polar);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], "alpha_deg,cl_circulation,cl_pressure,cm_quarter_chord,source_sum");
  EXPECT_EQ(rows[1].substr(0, 3), "-5,");
  EXPECT_EQ(rows[2].substr(0, 2), "0,");
  EXPECT_EQ(rows[3], "5" + ValuesOfLine(single.out));
  EXPECT_EQ(swept.out, single.out);
  ASSERT_EQ(SplitLines(single.out).size(), 1u);
  for (const char* report : kReports) {
    EXPECT_EQ(ReadFile(swept_dir.File(report)), ReadFile(single_dir.File(report))) << report;
  }
}

std::uint64_t Fnv1a(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

// The reports do not change with the derived results and the sweep: FNV-1a hashes (and
// sizes) of the three reports of a few runs, recorded with the program as it was before
// either existed (commit de09ade). A sweep that ends on the same angle writes the same.
TEST(SweepBatch, ReportsKeepTheirBytes) {
  struct Case {
    std::vector<std::string> args;
    std::uint64_t hash[3];
    std::size_t size[3];
  };
  const std::vector<Case> cases = {
      {{"--batch"},
       {0x6dc5f10111d6bc11ull, 0x50828bdd7e06b7c0ull, 0x03261bf748e806dcull},
       {812, 1221, 268}},
      {{"--batch", "--alpha", "10", "--circulation", "--vortex", "point"},
       {0x6dc5f10111d6bc11ull, 0x9f73af85fdbedac8ull, 0x56c61d76bcb1f0a5ull},
       {812, 1525, 268}},
      {{"--batch", "--body", "naca0012", "--panels", "12", "--alpha", "-5", "--circulation",
        "--vortex", "constant"},
       {0xba3b21d07fdb5f0full, 0x139f3b82ee89cbadull, 0x0c5c3bc9095b4ddfull},
       {1171, 2910, 389}},
      {{"--batch", "--body", "naca0012", "--panels", "198", "--alpha", "5", "--circulation",
        "--vortex", "constant"},
       {0xb15039b16f28f10full, 0xa3c177f73f049253ull, 0x1be769a0edf692a6ull},
       {18010, 580369, 6161}}};
  for (const Case& c : cases) {
    for (bool sweep : {false, true}) {
      std::vector<std::string> args = c.args;
      if (sweep) {
        const auto alpha = std::find(args.begin(), args.end(), "--alpha");
        const std::string last = alpha == args.end() ? "0" : *(alpha + 1);
        if (alpha != args.end()) args.erase(alpha, alpha + 2);
        args.insert(args.end(), {"--sweep", "-15:" + last + ":2.5"});
      }
      TempDir dir;
      const Outcome outcome = Batch(args, dir);
      ASSERT_EQ(outcome.status, 0) << outcome.err;
      for (int k = 0; k < 3; ++k) {
        const std::string report = ReadFile(dir.File(kReports[k]));
        EXPECT_EQ(report.size(), c.size[k]) << c.args.back() << " " << kReports[k];
        EXPECT_EQ(Fnv1a(report), c.hash[k]) << c.args.back() << " " << kReports[k];
      }
    }
  }
}

TEST(SweepBatch, MalformedSweepsExitWithTwoAndWriteNothing) {
  // The ranges themselves are checked by AngleRange.MalformedRangesSayWhy.
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--batch", "--sweep", "0:10:-1"},
                                             {"--batch", "--sweep", "0:20000:1"},
                                             {"--batch", "--sweep"},
                                             {"--batch", "--alpha", "3", "--sweep", "0:10:5"}}) {
    TempDir dir;
    const Outcome outcome = Batch(args, dir);
    EXPECT_EQ(outcome.status, 2) << args.back();
    EXPECT_NE(outcome.err.find("usage: velquin2ds --batch"), std::string::npos);
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << args.back();
  }
}

TEST(SweepBatch, RunErrorsZeroPivotsAndFileErrorsExitWithOne) {
  TempDir dir;
  Outcome outcome = Batch({"--batch", "--panels", "300", "--sweep", "0:4:1"}, dir);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("Subscript out of range"), std::string::npos);
  outcome = Batch({"--batch", "--panels", "1", "--circulation", "--vortex", "point", "--xv", "1",
                   "--yv", "0.3", "--sweep", "0:4:1"},
                  dir);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("diyagonal"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("polar.csv")), "<missing>");
  EXPECT_EQ(outcome.out, "");

  std::filesystem::create_directory(dir.File("polar.csv"));  // not a file to write
  outcome = Batch({"--batch", "--sweep", "0:4:1"}, dir);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("polar.csv"), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.out, "");
}

TEST(SweepBatch, ProgressCountsOnOneLineForMoreThanTenAngles) {
  TempDir dir;
  EXPECT_EQ(Batch({"--batch", "--sweep", "1:10:1"}, dir).err, "");
  const Outcome outcome = Batch({"--batch", "--sweep", "0:10:1"}, dir);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.err, "\rvelquin2ds: sweep angle 11 of 11\n");
  EXPECT_EQ(SplitLines(ReadFile(dir.File("polar.csv"))).size(), 12u);
}

// A single run prints its line too; the closed-form check joins it on the circle with
// the centred point vortex.
TEST(SweepBatch, EveryCompletedRunPrintsOneLineOfDerivedResults) {
  TempDir dir;
  Outcome outcome = Batch({"--batch"}, dir);
  EXPECT_EQ(outcome.out.rfind("cl_circulation=0 cl_pressure=", 0), 0u) << outcome.out;
  EXPECT_EQ(outcome.out.find("circle_deviation"), std::string::npos);
  EXPECT_EQ(SplitLines(outcome.out).size(), 1u);
  outcome = Batch({"--batch", "--alpha", "10", "--circulation", "--vortex", "point"}, dir);
  EXPECT_EQ(outcome.out.rfind("cl_circulation=1.86256220433406", 0), 0u) << outcome.out;
  EXPECT_NE(outcome.out.find(" circle_deviation="), std::string::npos);
  EXPECT_EQ(outcome.out.back(), '\n');
}

}  // namespace
}  // namespace velquin
