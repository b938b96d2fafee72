#include "app/calculation_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "solver/module_gauss.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using test_support::CircleControls;
using test_support::kReports;
using test_support::Naca;
using test_support::NewState;
using test_support::ReadFile;
using test_support::RunIn;
using test_support::TempDir;
using test_support::WithCirculation;

// Column 4 (1 - Cp) of the pressure report.
std::vector<std::string> PressureColumn(const std::string& report) {
  std::vector<std::string> column;
  std::size_t line_start = report.find("\r\n \r\n") + 5;
  while (line_start < report.size()) {
    const std::size_t line_end = report.find("\r\n", line_start);
    const std::string line = report.substr(line_start, line_end - line_start);
    column.push_back(line.substr(line.rfind("  ") + 2));
    line_start = line_end + 2;
  }
  return column;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
    end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

TEST(CalculationRun, DefaultCircleWritesTheTenLinePressureReport) {
  TempDir dir;
  auto C = NewState();
  const auto result = RunIn(*C, ControlValues{}, dir.path());
  ASSERT_EQ(result.outcome, RunOutcome::kCompleted) << result.messages;
  EXPECT_EQ(C->NP, 8);
  EXPECT_EQ(C->NEq, 8);
  EXPECT_EQ(C->NRhs, 9);
  EXPECT_EQ(C->CosAlfa, 1);
  EXPECT_EQ(C->SinAlfa, 0);
  EXPECT_EQ(ReadFile(dir.File("Output_PressCoeffs.txt")),
            " i     x        y      1-Cp\r\n"
            " \r\n"
            " 1   0.9268  -0.1768  0.5858\r\n"
            " 2   0.6768  -0.4268  3.4142\r\n"
            " 3   0.3232  -0.4268  3.4142\r\n"
            " 4   0.0732  -0.1768  0.5858\r\n"
            " 5   0.0732  0.1768  0.5858\r\n"
            " 6   0.3232  0.4268  3.4142\r\n"
            " 7   0.6768  0.4268  3.4142\r\n"
            " 8   0.9268  0.1768  0.5858\r\n");
}

TEST(CalculationRun, DefaultCircleCoefficientReport) {
  TempDir dir;
  auto C = NewState();
  ASSERT_EQ(RunIn(*C, ControlValues{}, dir.path()).outcome, RunOutcome::kCompleted);
  const auto lines = Lines(ReadFile(dir.File("Output_InfCoeffs.txt")));
  ASSERT_EQ(lines.size(), 2 + 8 + 1 + 2 + 8 + 3 + 8u);  // no vortex line without circulation
  EXPECT_EQ(lines[0], " Normal velocities");
  EXPECT_EQ(lines[1], " ");
  EXPECT_EQ(lines[2], "1 0.5000 0.0562 0.0639 0.0648 0.0650 0.0648 0.0639 0.0562 -0.9239");
  EXPECT_EQ(lines[5], "4 0.0648 0.0639 0.0562 0.5000 0.0562 0.0639 0.0648 0.0650 0.9239");
  EXPECT_EQ(lines[10], "");
  EXPECT_EQ(lines[11], " Tangetial velocities");
  EXPECT_EQ(lines[13].substr(0, 31), " 0.0000 -0.1754 -0.0677 -0.0277");
  EXPECT_EQ(lines[22], "Source strengths");
  const char* const strengths[] = {"-2.185557", "-0.905287", "0.905287",  "2.185557",
                                   "2.185557",  "0.905287",  "-0.905287", "-2.185557"};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(lines[24 + i], " " + std::to_string(i + 1) + "   " + strengths[i]);
  }
}

TEST(CalculationRun, CircleAtTenDegreesWithEitherVortexModel) {
  const char* const expected_cu[] = {"0.5681", "2.6625", "1.8657", "0.0125",
                                     "1.9473", "5.1686", "4.0306", "0.5681"};
  for (bool point : {false, true}) {
    TempDir dir;
    auto C = NewState();
    ASSERT_EQ(RunIn(*C, WithCirculation(CircleControls("8", "10"), point), dir.path()).outcome,
              RunOutcome::kCompleted);
    EXPECT_EQ(C->NEq, 9);
    EXPECT_EQ(C->NRhs, 10);
    const auto cu = PressureColumn(ReadFile(dir.File("Output_PressCoeffs.txt")));
    ASSERT_EQ(cu.size(), 8u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(cu[i], expected_cu[i]) << i;

    const auto lines = Lines(ReadFile(dir.File("Output_InfCoeffs.txt")));
    EXPECT_EQ(lines[10], std::string("9 -0.1754 -0.2431 -0.0954 -0.0277 0.0277 0.0954 0.2431 "
                                     "0.1754 ") +
                             (point ? "-0.6891" : "1.8698") + " 0.3209");
    EXPECT_EQ(lines[14].substr(lines[14].rfind(' ') + 1), point ? "-0.3445" : "0.9349");
    const char* const sources[] = {"-1.995152", "-0.512016", "1.271052",  "2.309555",
                                   "1.995152",  "0.512016",  "-1.271052", "-2.309555"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(lines[26 + i].substr(5), sources[i]);
    const std::string vortex = lines.back();
    EXPECT_EQ(vortex.substr(0, point ? 21 : 20),
              point ? "Vortex strength =-.93" : "Vortex strength = .3");
    EXPECT_EQ(vortex.back(), ' ');
  }
}

TEST(CalculationRun, NacaSectionWithEightPanels) {
  TempDir dir;
  auto C = NewState();
  ASSERT_EQ(RunIn(*C, Naca(CircleControls("8")), dir.path()).outcome, RunOutcome::kCompleted);
  const auto cu = PressureColumn(ReadFile(dir.File("Output_PressCoeffs.txt")));
  const char* const expected[] = {"0.9379", "1.1237", "1.2893", "1.0972",
                                  "1.0972", "1.2893", "1.1237", "0.9379"};
  ASSERT_EQ(cu.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(cu[i], expected[i]);
  EXPECT_NEAR(C->Yc(1), -0.0096, 5e-5);
  EXPECT_NEAR(C->Yc(3), -0.0529, 5e-5);
}

// With the point vortex at the centre, the discrete circle has the closed-form answer
// 1 - Cp = 4 (sin(theta - alpha) + sin(alpha) cos(pi / N))^2 at every control point.
TEST(CalculationRun, CircleWithCentralVortexMatchesTheClosedForm) {
  TempDir dir;
  for (int n : {3, 4, 9, 36, 120, 198}) {
    for (double alpha_degrees : {0.0, 7.5, -20.0, 60.0}) {
      auto C = NewState();
      ControlValues controls = WithCirculation(CircleControls(std::to_string(n)), true);
      controls.Text_AlfaD = std::to_string(alpha_degrees);
      ASSERT_EQ(RunIn(*C, controls, dir.path()).outcome, RunOutcome::kCompleted);
      const double alpha = alpha_degrees * M_PI / 180;
      for (int i = 1; i <= n; ++i) {
        const double theta = std::atan2(C->Yc(i), C->Xc(i) - 0.5);
        const double exact =
            4 * std::pow(std::sin(theta - alpha) + std::sin(alpha) * std::cos(M_PI / n), 2);
        ASSERT_NEAR(C->Cu(i), exact, 1e-12) << "N " << n << " alpha " << alpha_degrees;
      }
    }
  }
}

class RefusedRun : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kReports) std::ofstream(dir.File(name)) << "earlier " << name;
  }
  // Runs, expects a refusal whose message holds `words`, and no report touched.
  void ExpectRefused(const ControlValues& controls, const std::string& words) {
    auto C = NewState();
    const auto result = RunIn(*C, controls, dir.path());
    EXPECT_EQ(result.outcome, RunOutcome::kFailed);
    EXPECT_NE(result.messages.find(words), std::string::npos) << result.messages;
    for (const char* name : kReports) {
      EXPECT_EQ(ReadFile(dir.File(name)), std::string("earlier ") + name);
    }
  }
  TempDir dir;
};

TEST_F(RefusedRun, PanelCountsOutsideTheRules) {
  ExpectRefused(CircleControls("8.5"), "must be a whole number");
  ExpectRefused(CircleControls("0"), "Division by zero");
  ExpectRefused(CircleControls("abc"), "at least 1 panel");
  ExpectRefused(CircleControls("-4"), "at least 1 panel");
  ExpectRefused(Naca(CircleControls("9")), "even number of panels");
  ExpectRefused(CircleControls("200"),
                "Subscript out of range: at most 199 panels without circulation");
  ExpectRefused(WithCirculation(CircleControls("199"), false),
                "Subscript out of range: at most 198 panels with circulation");
}

TEST_F(RefusedRun, CirculationWithoutAVortexModel) {
  ControlValues controls = CircleControls("8");
  controls.Check_Circulation = 1;
  ExpectRefused(controls, "\"Point vortex\" or \"Constant vortex distribution\"");
}

TEST(CalculationRun, LargestCountsRunToTheEnd) {
  TempDir dir;
  auto C = NewState();
  EXPECT_EQ(RunIn(*C, CircleControls("199"), dir.path()).outcome, RunOutcome::kCompleted);
  EXPECT_EQ(RunIn(*C, WithCirculation(Naca(CircleControls("198")), false), dir.path()).outcome,
            RunOutcome::kCompleted);
  EXPECT_EQ(RunIn(*C, CircleControls("12 panels"), dir.path()).outcome, RunOutcome::kCompleted);
  EXPECT_EQ(C->NP, 12);
}

TEST(CalculationRun, PointVortexOnAControlPointStopsAfterThePanelReport) {
  TempDir dir;
  std::ofstream(dir.File("Output_InfCoeffs.txt")) << "earlier";
  auto C = NewState();
  ControlValues controls = WithCirculation(CircleControls("4"), true);
  controls.Text_Xv = "0.75";  // the control point of panel 1
  controls.Text_Yv = "-0.25";
  const auto result = RunIn(*C, controls, dir.path());
  EXPECT_EQ(result.outcome, RunOutcome::kFailed);
  EXPECT_NE(result.messages.find("Division by zero"), std::string::npos);
  EXPECT_NE(result.messages.find("panel 1"), std::string::npos);
  EXPECT_NE(ReadFile(dir.File("Output_Panel.txt")).find("CosBy"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("Output_InfCoeffs.txt")), "earlier");
  EXPECT_EQ(ReadFile(dir.File("Output_PressCoeffs.txt")), "<missing>");
}

TEST(CalculationRun, ZeroPivotStopsWithoutStrengthsSpeedsOrPressureReport) {
  TempDir dir;
  std::ofstream(dir.File("Output_PressCoeffs.txt")) << "earlier";
  auto C = NewState();
  // One panel with the vortex on its normal line: the vortex gives no tangential
  // velocity, so the Kutta row is all zero.
  ControlValues controls = WithCirculation(CircleControls("1"), true);
  controls.Text_Xv = "1";
  controls.Text_Yv = "0.3";
  C->Q(1) = 11;
  const auto result = RunIn(*C, controls, dir.path());
  EXPECT_EQ(result.outcome, RunOutcome::kZeroPivot);
  EXPECT_EQ(result.messages, "velquin2ds:" + std::string(kZeroPivotMessage) + "\n");
  EXPECT_EQ(C->Q(1), 11);
  const std::string coefficients = ReadFile(dir.File("Output_InfCoeffs.txt"));
  EXPECT_NE(coefficients.find("Tangetial velocities"), std::string::npos);
  EXPECT_EQ(coefficients.find("Source strengths"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("Output_PressCoeffs.txt")), "earlier");
}

TEST(CalculationRun, ConditionRowOfTheTangentialBlockIsZeroAfterALargerRun) {
  TempDir dir;
  auto C = NewState();
  ASSERT_EQ(RunIn(*C, WithCirculation(CircleControls("20"), false), dir.path()).outcome,
            RunOutcome::kCompleted);
  ASSERT_EQ(RunIn(*C, WithCirculation(CircleControls("8"), false), dir.path()).outcome,
            RunOutcome::kCompleted);
  const auto lines = Lines(ReadFile(dir.File("Output_InfCoeffs.txt")));
  EXPECT_EQ(lines[14 + 8], " 0.0000 0.0000 0.0000 0.0000 0.0000 0.0000 0.0000 0.0000 0.0000");
}

TEST(CalculationRun, AngleTooLargeForRadiansIsAnOverflowBeforeAnyReport) {
  TempDir dir;
  auto C = NewState();
  const auto result = RunIn(*C, CircleControls("8", "1e308"), dir.path());
  EXPECT_EQ(result.outcome, RunOutcome::kFailed);
  EXPECT_NE(result.messages.find("Overflow: the angle of attack \"1e308\""), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("Output_Panel.txt")), "<missing>");
}

}  // namespace
}  // namespace velquin
