#include "shell/flow_explorer.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/run_error.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace testing;

RunInputs Inputs(BodyPtr body, int NP, VortexModel vortex, double Xv = 0.5, double Yv = 0) {
  RunInputs inputs;
  inputs.body = std::move(body);
  inputs.NP = NP;
  inputs.vortex = vortex;
  inputs.circulation = vortex != VortexModel::kNone;
  inputs.Xv = Xv;
  inputs.Yv = Yv;
  return inputs;
}

ControlValues ControlsOf(const RunInputs& inputs, double alpha) {
  ControlValues controls = CircleControls(std::to_string(static_cast<int>(inputs.NP)));
  controls.Text_AlfaD = std::to_string(alpha);
  if (inputs.body != CircleBody()) controls = Naca(controls);
  if (inputs.circulation) {
    controls = WithCirculation(controls, inputs.vortex == VortexModel::kPointVortex);
  }
  controls.Text_Xv = std::to_string(inputs.Xv);
  controls.Text_Yv = std::to_string(inputs.Yv);
  return controls;
}

// The numbers of a frame agree with a calculation run at the same angle, and the polar's
// points with the frames at their angles.
TEST(FlowExplorer, NumbersAgreeWithARunAtTheSameAngle) {
  const TempDir dir;
  const struct {
    RunInputs inputs;
    double alpha;
  } cases[] = {
      {Inputs(Naca0012Body(), 198, VortexModel::kConstantDistribution), 6.4},
      {Inputs(Naca0012Body(), 40, VortexModel::kPointVortex, 0.25, 0.01), -11},
      {Inputs(CircleBody(), 33, VortexModel::kPointVortex), 20},
      {Inputs(CircleBody(), 8, VortexModel::kNone), -4.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.inputs.body->Name() + ", alpha " + std::to_string(c.alpha));
    const auto geometry = Explorer_Geometry(c.inputs);
    ExplorerFrame frame;
    Explorer_Frame(*geometry, c.alpha, frame);

    auto run = NewState();
    const ControlValues controls = ControlsOf(c.inputs, c.alpha);
    ASSERT_EQ(RunIn(*run, controls, dir.path()).outcome, RunOutcome::kCompleted);
    const DerivedResults expected = ComputeDerivedResults(*run, ReadRunInputs(controls));
    EXPECT_NEAR(frame.results.cl_circulation, expected.cl_circulation, 1e-12);
    EXPECT_NEAR(frame.results.cl_pressure, expected.cl_pressure, 1e-12);
    EXPECT_NEAR(frame.results.cm_quarter_chord, expected.cm_quarter_chord, 1e-12);
    EXPECT_NEAR(frame.results.source_sum, expected.source_sum, 1e-12);
    for (int i = 1; i <= run->NP; ++i) EXPECT_NEAR(frame.Cp[i - 1], 1 - run->Cu(i), 1e-12);

    ASSERT_EQ(geometry->polar.size(), 81u);
    for (const PolarPoint& p : {geometry->polar.front(), geometry->polar[50]}) {
      Explorer_Frame(*geometry, p.alpha_degrees, frame);
      EXPECT_EQ(p.cl_circulation, frame.results.cl_circulation) << p.alpha_degrees;
      EXPECT_EQ(p.cm_quarter_chord, frame.results.cm_quarter_chord) << p.alpha_degrees;
    }
  }
}

// The symmetric section lifts from zero angle; the circle's frame carries the exact
// pressure where the body knows it; the CSV lists every control point once.
TEST(FlowExplorer, ZeroLiftAngleAndPressureTable) {
  const auto section =
      Explorer_Geometry(Inputs(Naca0012Body(), 120, VortexModel::kConstantDistribution));
  EXPECT_NEAR(section->zero_lift_alpha_degrees, 0, 1e-9);
  EXPECT_EQ(section->upper.size(), 60u);
  EXPECT_EQ(section->lower.size(), 60u);
  ExplorerFrame frame;
  Explorer_Frame(*section, 4, frame);
  const std::string csv = Explorer_PressureCsv(*section, frame);
  EXPECT_EQ(csv.rfind("x,y,cp,side\n", 0), 0u);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 121);
  EXPECT_EQ(csv.find('\r'), std::string::npos);
  EXPECT_NE(csv.find(",upper\n"), std::string::npos);
  EXPECT_NE(csv.find(",lower\n"), std::string::npos);
}

// Inputs the explorer refuses, each with a message that names the input.
TEST(FlowExplorer, RefusesPanelCountsOutsideItsRange) {
  const struct {
    RunInputs inputs;
    const char* says;
  } cases[] = {
      {Inputs(CircleBody(), 2, VortexModel::kNone), "from 3 to 198"},
      {Inputs(CircleBody(), 199, VortexModel::kNone), "from 3 to 198"},
      {Inputs(Naca0012Body(), 41, VortexModel::kNone), "even number of panels"},
  };
  for (const auto& c : cases) {
    try {
      Explorer_Geometry(c.inputs);
      ADD_FAILURE() << "accepted " << c.inputs.NP << " panels";
    } catch (const RunError& error) {
      EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
    }
  }
}

// --explore reads the batch command's input options; a section lifts by default, the
// circle does not; options that are not inputs are refused with the usage.
TEST(FlowExplorer, CommandLine) {
  const struct {
    const char* args;
    BodyPtr body;
    double NP, alpha;
    VortexModel vortex;
  } accepted[] = {
      {"--explore", CircleBody(), 8, 0, VortexModel::kNone},
      {"--explore --body naca0012 --panels 120", Naca0012Body(), 120, 0,
       VortexModel::kConstantDistribution},
      {"--explore --body NACA0012 --vortex point --alpha 4.5", Naca0012Body(), 8, 4.5,
       VortexModel::kPointVortex},
      {"--explore --circulation --panels=30", CircleBody(), 30, 0,
       VortexModel::kConstantDistribution},
  };
  const ExplorerCommand file = ParseExplorerCommand(
      {"--explore", "--body-file", VELQUIN_SOURCE_DIR "/examples/naca2412.dat", "--panels", "80"});
  EXPECT_EQ(file.error, "");
  ASSERT_TRUE(file.section.has_value());
  EXPECT_EQ(file.inputs.NP, 80);
  EXPECT_EQ(file.inputs.vortex, VortexModel::kConstantDistribution);
  for (const auto& c : accepted) {
    const ExplorerCommand command = ParseExplorerCommand(Words(c.args));
    EXPECT_EQ(command.error, "") << c.args;
    EXPECT_EQ(command.inputs.body, c.body) << c.args;
    EXPECT_EQ(command.inputs.NP, c.NP) << c.args;
    EXPECT_EQ(command.inputs.alpha_degrees, c.alpha) << c.args;
    EXPECT_EQ(command.inputs.vortex, c.vortex) << c.args;
    EXPECT_EQ(command.inputs.circulation, c.vortex != VortexModel::kNone) << c.args;
  }
  // A malformed command line shows the usage; inputs a run refuses, the run's message.
  const struct {
    const char* args;
    const char* says;
    bool usage;
  } refused[] = {
      {"--explore --body wing", "--body must be one of", true},
      {"--explore --out /tmp", "'--out' is not for the explorer", true},
      {"--explore --vortex strong", "--vortex must be 'point' or 'constant'", true},
      {"--explore --alpha 1e999", "angle of attack", false},
      {"--explore --body naca0012 --panels 7", "even number of panels", false},
      {"--explore --body-file /nonexistent.dat", "nonexistent.dat", false},
  };
  for (const auto& c : refused) {
    const std::string error = ParseExplorerCommand(Words(c.args)).error;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.args << ": " << error;
    EXPECT_EQ(error.find("usage:") != std::string::npos, c.usage) << c.args;
  }
  EXPECT_TRUE(IsExplorerMode(Words("--explore --panels 12")));
  EXPECT_FALSE(IsExplorerMode(Words("--batch --explore")));
  const TempDir dir;
  const BatchOutcome flow = RunBatch(dir.path(), Words("--flow"));
  EXPECT_EQ(flow.status, 2);
  EXPECT_NE(flow.err.find("--flow is not available in this build"), std::string::npos);
}

}  // namespace
}  // namespace velquin
