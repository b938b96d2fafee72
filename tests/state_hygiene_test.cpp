// One solver state serves every run of a session, as the window keeps it. Whatever an
// earlier run left in it (a larger problem, an error half-way, a zero pivot), a run
// gives exactly the messages and reports it gives in a fresh state.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "shell/batch_window.h"
#include "shell/calculation_run.h"
#include "shell/module_common.h"
#include "shell/text_number.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using testing::ReadFile;
using testing::TempDir;

struct RunResult {
  RunOutcome outcome;
  std::string messages;
  std::string reports;  // the three files, concatenated
};

RunResult RunIn(Module_Common& C, const ControlValues& controls) {
  TempDir dir;
  NullPicture airfoil, pressure, matrix;
  std::ostringstream messages;
  BatchWindow window(C, controls, airfoil, pressure, matrix, messages);
  const RunOutcome outcome = Command1_Click(C, window, ReportOptions{dir.path(), '.'});
  return {outcome, messages.str(),
          ReadFile(dir.File("Output_Panel.txt")) + ReadFile(dir.File("Output_InfCoeffs.txt")) +
              ReadFile(dir.File("Output_PressCoeffs.txt"))};
}

std::unique_ptr<Module_Common> FreshState() {
  auto C = std::make_unique<Module_Common>();
  Form_Load(*C);
  return C;
}

ControlValues Controls(const std::string& panels, const std::string& alpha, int circulation,
                       bool naca, bool point_vortex, bool constant_vortex) {
  ControlValues controls;
  controls.Text_NP = panels;
  controls.Text_AlfaD = alpha;
  controls.Check_Circulation = circulation;
  controls.Option_Circle = !naca;
  controls.Option_NACA12 = naca;
  controls.Option_PointVortex = point_vortex;
  controls.Option_ConstVortex = constant_vortex;
  return controls;
}

// Small runs of every kind, each to be compared after other runs with a fresh state.
std::vector<ControlValues> SmallRuns() {
  return {Controls("8", "10", 1, false, true, false), Controls("8", "10", 1, false, false, true),
          Controls("8", "0", 0, false, false, false), Controls("8", "4", 1, true, false, true),
          Controls("3", "-7", 1, false, true, false)};
}

void ExpectAsInAFreshState(Module_Common& C, const ControlValues& controls,
                           const std::string& after) {
  const RunResult fresh = RunIn(*FreshState(), controls);
  ASSERT_EQ(fresh.outcome, RunOutcome::kCompleted) << fresh.messages;
  const RunResult reused = RunIn(C, controls);
  EXPECT_EQ(reused.outcome, fresh.outcome) << after;
  EXPECT_EQ(reused.messages, fresh.messages) << after;
  EXPECT_EQ(reused.reports, fresh.reports) << controls.Text_NP << " panels after " << after;
}

TEST(StateHygiene, SmallRunAfterALargeOneGivesTheFreshReports) {
  const ControlValues large_runs[] = {
      Controls("198", "5", 1, false, true, false), Controls("198", "5", 1, false, false, true),
      Controls("199", "-3", 0, false, false, false), Controls("198", "2", 1, true, false, true)};
  for (const ControlValues& small : SmallRuns()) {
    auto C = FreshState();
    for (const ControlValues& large : large_runs) {
      ASSERT_EQ(RunIn(*C, large).outcome, RunOutcome::kCompleted);
      ExpectAsInAFreshState(*C, small, large.Text_NP + " panels");
    }
  }
}

TEST(StateHygiene, RunAfterAnErrorRunGivesTheFreshReports) {
  // The vortex exactly on the control point of panel 1 of the default circle: the run
  // stops with a division by zero half-way through the assembly.
  auto probe = FreshState();
  ASSERT_EQ(RunIn(*probe, ControlValues{}).outcome, RunOutcome::kCompleted);
  ControlValues vortex_on_panel = Controls("8", "10", 1, false, true, false);
  vortex_on_panel.Text_Xv = NumberText(probe->Xc(1));
  vortex_on_panel.Text_Yv = NumberText(probe->Yc(1));

  ControlValues angle_overflow = Controls("198", "1e308", 1, false, true, false);
  const std::pair<ControlValues, const char*> error_runs[] = {
      {vortex_on_panel, "Division by zero: "},
      {Controls("2", "0", 1, true, false, true), " s\u0131f\u0131r diyagonal"},  // zero pivot
      {angle_overflow, "Overflow: "},
      {Controls("199", "0", 1, false, true, false), "Subscript out of range: "},
      {Controls("1e400", "0", 0, false, false, false), "Overflow: "}};
  for (const ControlValues& small : SmallRuns()) {
    auto C = FreshState();
    for (const auto& [error_run, message] : error_runs) {
      const RunResult failed = RunIn(*C, error_run);
      ASSERT_NE(failed.outcome, RunOutcome::kCompleted) << message;
      ASSERT_EQ(failed.messages.rfind(message, 0), 0u) << failed.messages;
      ExpectAsInAFreshState(*C, small, message);
    }
  }
}

}  // namespace
}  // namespace velquin
