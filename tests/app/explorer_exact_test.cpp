#include "app/explorer_exact.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "geometry/body_names.h"

namespace velquin {
namespace {

constexpr double kPi = 3.14159265358979323846;

RunInputs Inputs(const std::string& body_name, VortexModel vortex) {
  std::string error;
  RunInputs inputs;
  inputs.body = BodyFromName(body_name, error);
  EXPECT_TRUE(inputs.body) << error;
  inputs.NP = 80;
  inputs.vortex = vortex;
  inputs.circulation = vortex != VortexModel::kNone;
  return inputs;
}

// The exact coefficients against the textbook closed forms: the ellipse with the Kutta
// circulation lifts 2 pi (1 + t) sin(alpha) through its centre and carries the Munk
// couple, so that about the quarter chord Cm = -(pi / 4) t (1 + t) sin(2 alpha); without
// circulation only the couple (pi / 4)(1 - t^2) sin(2 alpha) is left. The circle lifts
// 4 pi sin(alpha) with circulation, through its centre: Cm = -(pi / 2) sin(2 alpha).
TEST(ExplorerExact, LiftAndMomentAreTheClosedForms) {
  const struct {
    const char* body;
    VortexModel vortex;
    double alpha, cl, cm;
  } cases[] = {
      {"ellipse:0.2", VortexModel::kConstantDistribution, 6,
       2 * kPi * 1.2 * std::sin(6 * kPi / 180), -kPi / 4 * 0.2 * 1.2 * std::sin(12 * kPi / 180)},
      {"ellipse:0.5", VortexModel::kPointVortex, -8, 2 * kPi * 1.5 * std::sin(-8 * kPi / 180),
       -kPi / 4 * 0.5 * 1.5 * std::sin(-16 * kPi / 180)},
      {"ellipse:0.3", VortexModel::kNone, 10, 0, kPi / 4 * (1 - 0.09) * std::sin(20 * kPi / 180)},
      {"circle", VortexModel::kPointVortex, 6, 4 * kPi * std::sin(6 * kPi / 180),
       -kPi / 2 * std::sin(12 * kPi / 180)},
      {"circle", VortexModel::kConstantDistribution, -12, 4 * kPi * std::sin(-12 * kPi / 180),
       -kPi / 2 * std::sin(-24 * kPi / 180)},
      {"circle", VortexModel::kNone, 15, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.body) + " at " + std::to_string(c.alpha));
    const auto geometry = MakeExplorerGeometry(Inputs(c.body, c.vortex));
    ExplorerFrame frame;
    ComputeExplorerFrame(*geometry, c.alpha, frame);
    const ExplorerExactCoefficients exact = ExplorerExactLiftAndMoment(*geometry, frame);
    ASSERT_TRUE(exact.cl && exact.cm);
    EXPECT_NEAR(*exact.cl, c.cl, 1e-13);
    EXPECT_NEAR(*exact.cm, c.cm, 1e-13);
  }
  const auto naca = MakeExplorerGeometry(Inputs("naca0012", VortexModel::kConstantDistribution));
  ExplorerFrame frame;
  ComputeExplorerFrame(*naca, 4, frame);
  EXPECT_FALSE(ExplorerExactLiftAndMoment(*naca, frame).cl);
}

// The smooth exact curve: at zero incidence without circulation the suction peak of the
// ellipse lies at mid-chord with speed 1 + t (the circle's 2), and with the Kutta
// circulation the curve starts at the rear stagnation point, Cp = 1. Each curve runs
// over the whole chord of the body.
TEST(ExplorerExact, SmoothCurvesHaveTheKnownPeaksAndStagnationPoints) {
  const struct {
    const char* body;
    VortexModel vortex;
    double alpha;
    double peak_cp;  // NaN: not checked
    double x_peak;
    bool rear_stagnation;
  } cases[] = {
      {"ellipse:0.2", VortexModel::kNone, 0, 1 - 1.2 * 1.2, 0.5, true},
      {"ellipse:0.6", VortexModel::kNone, 0, 1 - 1.6 * 1.6, 0.5, true},
      {"circle", VortexModel::kNone, 0, -3, 0.5, true},
      {"circle", VortexModel::kConstantDistribution, 5, NAN, 0, true},
      {"ellipse:0.25", VortexModel::kConstantDistribution, 6, NAN, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    const auto geometry = MakeExplorerGeometry(Inputs(c.body, c.vortex));
    ExplorerFrame frame;
    ComputeExplorerFrame(*geometry, c.alpha, frame);
    const ExplorerExactCurve curve = ExplorerExactPressure(*geometry, frame);
    ASSERT_GT(curve.x.size(), 300u);
    EXPECT_NEAR(*std::min_element(curve.x.begin(), curve.x.end()), 0, 1e-12);
    EXPECT_NEAR(*std::max_element(curve.x.begin(), curve.x.end()), 1, 1e-12);
    if (c.rear_stagnation) {
      EXPECT_NEAR(curve.cp.front(), 1, 1e-12);
    }
    if (!std::isnan(c.peak_cp)) {
      const auto peak = std::min_element(curve.cp.begin(), curve.cp.end());
      EXPECT_NEAR(*peak, c.peak_cp, 1e-12);
      EXPECT_NEAR(curve.x[static_cast<std::size_t>(peak - curve.cp.begin())], c.x_peak, 1e-12);
    }
  }
}

// The Karman-Trefftz section with a trailing-edge angle: nowhere in a potential flow of
// unit free stream does Cp exceed 1, the stagnation value, and the curve's suction peak
// is no weaker than the exact values at the control points it passes between.
TEST(ExplorerExact, MappedSectionCurveStaysBelowStagnation) {
  const auto geometry = MakeExplorerGeometry(
      Inputs("karman-trefftz:-0.1:0.1:10", VortexModel::kConstantDistribution));
  ExplorerFrame frame;
  ComputeExplorerFrame(*geometry, 4, frame);
  const ExplorerExactCurve curve = ExplorerExactPressure(*geometry, frame);
  ASSERT_GT(curve.cp.size(), 300u);
  EXPECT_LE(*std::max_element(curve.cp.begin(), curve.cp.end()), 1 + 1e-12);
  ASSERT_EQ(frame.exact_cp.size(), frame.Cp.size());
  EXPECT_LE(*std::min_element(curve.cp.begin(), curve.cp.end()),
            *std::min_element(frame.exact_cp.begin(), frame.exact_cp.end()));
}

}  // namespace
}  // namespace velquin
