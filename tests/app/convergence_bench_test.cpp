// The verification bench: its exact values against closed forms and Williams' published
// lift, its computed values against the batch command's at the same inputs, the observed
// order, thread independence and the --verify command.
#include "app/convergence_bench.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/derived_text.h"
#include "cli/verify_command.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

const double kPi = std::acos(-1.0);

const ConvergenceCase& Case(const std::string& name) {
  for (const ConvergenceCase& c : VerificationCases()) {
    if (c.name == name) return c;
  }
  throw std::runtime_error("no case " + name);
}

const ConvergenceRow& RowOf(const std::vector<ConvergenceRow>& rows, const std::string& quantity) {
  for (const ConvergenceRow& row : rows) {
    if (row.quantity == quantity) return row;
  }
  throw std::runtime_error("no quantity " + quantity);
}

TEST(ConvergenceBench, ObservedOrderIsTheSlopeOverTheThreeFinestCounts) {
  const std::vector<int> n = {16, 32, 64, 128};
  const struct {
    std::vector<double> errors;
    double order;
  } cases[] = {
      {{9, 1.0 / 32, 1.0 / 64, 1.0 / 128}, 1},  // the coarsest count takes no part
      {{1, 3.0 / 1024, 3.0 / 4096, 3.0 / 16384}, 2},
      {{1, 1, 1, 1}, 0},
  };
  for (const auto& c : cases) EXPECT_NEAR(ObservedOrder(n, c.errors), c.order, 1e-12);
  EXPECT_TRUE(std::isnan(ObservedOrder({16, 32}, {1, 0.5})));
  EXPECT_TRUE(std::isnan(ObservedOrder(n, {1, 1, 0, 1})));
}

// The exact column, each against a closed form written out here, or Williams' figure.
TEST(ConvergenceBench, ExactValuesAreTheClosedForms) {
  const double a6 = 6 * kPi / 180, t = 0.25;
  const struct {
    const char* case_name;
    const char* quantity;
    int panels;
    double exact;
  } cases[] = {
      {"circle-vortex", "cl_circulation", 32,
       4 * kPi * std::sin(a6) * std::pow(std::cos(kPi / 32), 2)},
      {"circle-vortex", "cl_continuous", 32, 4 * kPi * std::sin(a6)},
      {"ellipse-plain", "cm_quarter_chord", 64, kPi / 4 * (1 - t * t) * std::sin(2 * a6)},
      {"ellipse-kutta", "cl_circulation", 64, 2 * kPi * (1 + t) * std::sin(a6)},
      {"ellipse-kutta", "cl_pressure", 64, 2 * kPi * (1 + t) * std::sin(a6)},
      {"ellipse-kutta", "cm_quarter_chord", 64, -kPi / 4 * t * (1 + t) * std::sin(2 * a6)},
      {"williams", "cl_circulation", 100, 3.7386},
      {"williams", "cl_pressure", 200, 3.7386},
  };
  for (const auto& c : cases) {
    const std::vector<ConvergenceRow> rows = RunConvergencePoint(Case(c.case_name), c.panels);
    const ConvergenceRow& row = RowOf(rows, c.quantity);
    EXPECT_NEAR(row.exact, c.exact, 1e-14) << c.case_name << " " << c.quantity;
    EXPECT_EQ(row.error, std::fabs(row.computed - row.exact));
  }
}

// Every computed value is what the batch command prints for the same inputs.
TEST(ConvergenceBench, ComputedValuesAreTheBatchCommands) {
  const struct {
    const char* case_name;
    int panels;
    const char* args;
  } cases[] = {
      {"circle-vortex", 32, "--general --body circle --alpha 6 --circulation --vortex point"},
      {"ellipse-plain", 64, "--general --body ellipse:0.25 --alpha 6"},
      {"ellipse-kutta", 128,
       "--general --body ellipse:0.25 --alpha 6 --circulation --vortex constant"},
      {"karman-trefftz", 64,
       "--general --body karman-trefftz:-0.1:0.1:10 --alpha 4 --circulation --vortex constant"},
      {"joukowski", 32,
       "--general --body joukowski:-0.1:0.1 --alpha 4 --circulation --vortex constant"},
      {"ground", 48, "--body naca4412 --ground 0.25 --alpha 4 --circulation --vortex constant"},
  };
  for (const auto& c : cases) {
    const test_support::TempDir dir;
    const test_support::BatchOutcome batch = test_support::RunBatch(
        dir.path(),
        test_support::Words(std::string(c.args) + " --panels " + std::to_string(c.panels)));
    ASSERT_EQ(batch.status, 0) << batch.err;
    for (const ConvergenceRow& row : RunConvergencePoint(Case(c.case_name), c.panels)) {
      std::string key = row.quantity;
      if (key == "cl_continuous") key = "cl_circulation";
      if (key.rfind("cp_", 0) == 0) continue;  // per-panel values: surface.csv, not the line
      std::string expected = " " + key + "=";
      AppendShortestNumber(expected, row.computed);
      EXPECT_NE((" " + batch.out).find(expected + " "), std::string::npos)
          << c.case_name << ": " << expected << " in " << batch.out;
    }
  }
}

TEST(ConvergenceBench, ResultsDoNotDependOnTheThreads) {
  const std::vector<ConvergenceCaseResult> one = RunVerificationBench(1);
  const std::vector<ConvergenceCaseResult> three = RunVerificationBench(3);
  EXPECT_EQ(VerificationCsv(one), VerificationCsv(three));
  for (const ConvergenceVerdict& v : JudgeConvergence(one)) {
    EXPECT_TRUE(v.passed) << v.case_name << " " << v.quantity << ": " << v.reason;
  }
}

TEST(ConvergenceBench, CancelStopsBeforeTheNextCount) {
  std::atomic<bool> cancel{false};
  int calls = 0;
  const ConvergenceCaseResult r = RunConvergenceCase(
      Case("ellipse-kutta"), {16, 32, 64},
      [&](int done, int total) {
        ++calls;
        EXPECT_EQ(total, 3);
        if (done == 2) cancel = true;
      },
      &cancel);
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(r.rows.back().panels, 32);
}

// The seed's run line gains cm_exact after cl_exact for the ellipse and the mapped
// sections, the closed form's value; other bodies keep their line.
TEST(ConvergenceBench, RunLineGainsTheExactMoment) {
  const test_support::TempDir dir;
  const test_support::BatchOutcome ellipse = test_support::RunBatch(
      dir.path(), test_support::Words(
                      "--body ellipse:0.25 --panels 40 --alpha 6 --circulation --vortex constant"));
  ASSERT_EQ(ellipse.status, 0) << ellipse.err;
  std::string cm = " cm_exact=";
  AppendShortestNumber(cm, -kPi / 4 * 0.25 * 1.25 * std::sin(12 * kPi / 180));
  const std::size_t at = ellipse.out.find(" cl_exact=");
  ASSERT_NE(at, std::string::npos) << ellipse.out;
  EXPECT_EQ(ellipse.out.find(cm.substr(0, 10)), ellipse.out.find(' ', at + 1));
  const double value = std::stod(ellipse.out.substr(ellipse.out.find(" cm_exact=") + 10));
  EXPECT_NEAR(value, -kPi / 4 * 0.25 * 1.25 * std::sin(12 * kPi / 180), 1e-15);
  const test_support::BatchOutcome naca =
      test_support::RunBatch(dir.path(), test_support::Words("--body naca2412 --panels 40"));
  EXPECT_EQ(naca.out.find("cm_exact"), std::string::npos);
  const test_support::BatchOutcome kt = test_support::RunBatch(
      dir.path(), test_support::Words("--body joukowski:-0.1:0.1 --panels 40 --alpha 4"));
  EXPECT_NE(kt.out.find(" cm_exact="), std::string::npos) << kt.out;
}

TEST(ConvergenceBench, VerifyCommandWritesItsFiles) {
  const test_support::TempDir dir;
  int drawn = 0;
  const PictureFileWriter writer = [&](int width, int height, Colour, const auto& draw,
                                       const std::string& path) {
    NullPicture nowhere;
    draw(nowhere);
    ++drawn;
    EXPECT_GT(width, height);
    std::ofstream(path) << "png";
    return std::string();
  };
  std::ostringstream out, err;
  EXPECT_EQ(RunVerifyCommand({"--verify", "--out", dir.path()}, out, err, writer, 2), 0)
      << err.str();
  EXPECT_EQ(drawn, 1);
  for (const char* file : {"verification.csv", "verification.md", "Convergence.png"}) {
    EXPECT_TRUE(std::filesystem::exists(dir.path() + "/" + file)) << file;
  }
  std::ifstream csv(dir.path() + "/verification.csv");
  std::string header;
  std::getline(csv, header);
  EXPECT_EQ(header, "case,panels,quantity,computed,exact,error");
  EXPECT_NE(out.str().find("ellipse-kutta   cl_circulation"), std::string::npos) << out.str();
  std::ostringstream out2, err2;
  EXPECT_EQ(RunVerifyCommand({"--verify", "--panels", "8"}, out2, err2, writer, 1), 2);
  EXPECT_NE(err2.str().find("--panels"), std::string::npos);
}

}  // namespace
}  // namespace velquin
