#include "app/flow_explorer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/run_error.h"
#include "geometry/body_names.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace test_support;

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
    const auto geometry = MakeExplorerGeometry(c.inputs);
    ExplorerFrame frame;
    ComputeExplorerFrame(*geometry, c.alpha, frame);

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
      ComputeExplorerFrame(*geometry, p.alpha_degrees, frame);
      EXPECT_EQ(p.cl_circulation, frame.results.cl_circulation) << p.alpha_degrees;
      EXPECT_EQ(p.cm_quarter_chord, frame.results.cm_quarter_chord) << p.alpha_degrees;
    }
  }
}

// The symmetric section lifts from zero angle; the circle's frame carries the exact
// pressure where the body knows it; the CSV lists every control point once.
TEST(FlowExplorer, ZeroLiftAngleAndPressureTable) {
  const auto section =
      MakeExplorerGeometry(Inputs(Naca0012Body(), 120, VortexModel::kConstantDistribution));
  EXPECT_NEAR(section->zero_lift_alpha_degrees, 0, 1e-9);
  EXPECT_EQ(section->upper.size(), 60u);
  EXPECT_EQ(section->lower.size(), 60u);
  ExplorerFrame frame;
  ComputeExplorerFrame(*section, 4, frame);
  const std::string csv = ExplorerPressureCsv(*section, frame);
  // A comment line naming the inputs and the angle, the column names, one line a panel.
  EXPECT_EQ(csv.rfind("# NACA 0012, 120 panels, constant vortex distribution, alpha = 4 degrees\n"
                      "x,y,cp,side\n",
                      0),
            0u);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 122);
  EXPECT_EQ(csv.find('\r'), std::string::npos);
  EXPECT_NE(csv.find(",upper\n"), std::string::npos);
  EXPECT_NE(csv.find(",lower\n"), std::string::npos);
}

// A coarse section's sources leave a net outflow; its streamlines still run smoothly
// away from the body, without a step where the walk of psi round the body meets itself
// (at 20 panels every line above the body turned by 13 degrees on one segment at the
// trailing edge's x).
TEST(FlowExplorer, StreamlinesOfACoarseSectionHaveNoStep) {
  std::string error;
  const auto g = MakeExplorerGeometry(
      Inputs(BodyFromName("naca2412", error), 20, VortexModel::kConstantDistribution));
  ExplorerFrame frame;
  ComputeExplorerFrame(*g, 4, frame);
  ASSERT_GT(frame.streamlines.size(), 20u);
  double sharpest = 0;
  for (const Streamline& line : frame.streamlines) {
    for (std::size_t k = 1; k + 1 < line.x.size(); ++k) {
      // Behind the leading edge's curvature, away from the body and the wake.
      if (line.x[k] < 0.5 || std::fabs(line.y[k]) < 0.2) continue;
      const double a = std::atan2(line.y[k] - line.y[k - 1], line.x[k] - line.x[k - 1]);
      const double b = std::atan2(line.y[k + 1] - line.y[k], line.x[k + 1] - line.x[k]);
      sharpest = std::max(sharpest, std::fabs(std::remainder(b - a, 2 * M_PI)));
    }
  }
  EXPECT_LT(sharpest * 180 / M_PI, 5);
}

// Inputs the explorer refuses, each with a message that names the input.
TEST(FlowExplorer, RefusesPanelCountsOutsideItsRange) {
  const struct {
    RunInputs inputs;
    const char* says;
  } cases[] = {
      {Inputs(CircleBody(), 2, VortexModel::kNone), "at least 3 panels are needed"},
      {Inputs(CircleBody(), 199, VortexModel::kNone), "at most 198 panels"},
      {Inputs(Naca0012Body(), 41, VortexModel::kNone), "even number of panels"},
  };
  for (const auto& c : cases) {
    try {
      MakeExplorerGeometry(c.inputs);
      ADD_FAILURE() << "accepted " << c.inputs.NP << " panels";
    } catch (const RunError& error) {
      EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace velquin
