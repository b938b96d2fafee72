#include <gtest/gtest.h>

#include <cmath>

#include "base/run_error.h"
#include "solver/module_influcoeff.h"
#include "support/run_helpers.h"

namespace velquin {
namespace {

struct Velocity {
  double u, v;
};

class SourcePanel : public ::testing::Test {
 protected:
  // The unit panel from -0.5 to 0.5.
  Velocity At(double x, double y) {
    Velocity w{0, 0};
    InfluCoeff_SourcePanel(*C, x, y, -0.5, 0.5, w.u, w.v);
    return w;
  }
  std::unique_ptr<Module_Common> C = test_support::NewState();
};

TEST_F(SourcePanel, PointOnPanelGivesHalfNormalSpeed) {
  EXPECT_EQ(At(0, 0).u, 0);
  EXPECT_EQ(At(0, 0).v, 0.5);
  EXPECT_EQ(At(0.3, 0).v, 0.5);
  EXPECT_NEAR(At(0.3, 0).u, 0.220636, 1e-6);
}

TEST_F(SourcePanel, ListedFieldPoints) {
  EXPECT_EQ(At(0, 0.001).u, 0);
  EXPECT_NEAR(At(0, 0.001).v, 0.499363, 1e-6);
  EXPECT_EQ(At(2, 0).v, 0);
  EXPECT_NEAR(At(2, 0).u, 0.081300, 1e-6);
  EXPECT_NEAR(At(0, 10).v, 0.015902, 1e-6);
  EXPECT_NEAR(At(0.4, 0.1).u, 0.295517, 1e-6);
  EXPECT_NEAR(At(0.4, 0.1).v, 0.357388, 1e-6);
}

TEST_F(SourcePanel, MirrorPointGivesSameAlongAndOppositeNormalSpeed) {
  for (const auto& [x, y] : {std::pair{0.0, 0.001}, {0.0, 10.0}, {0.4, 0.1}, {-1.3, 0.7}}) {
    EXPECT_EQ(At(x, -y).u, At(x, y).u);
    EXPECT_EQ(At(x, -y).v, -At(x, y).v);
  }
}

TEST_F(SourcePanel, FarAwayItActsAsAPointSource) {
  const double x = 30, y = -40, d2 = x * x + y * y;
  // The panel's length over the distance, squared, bounds the relative difference.
  EXPECT_NEAR(At(x, y).u, x / (2 * M_PI * d2), 1e-6);
  EXPECT_NEAR(At(x, y).v, y / (2 * M_PI * d2), 1e-6);
}

TEST_F(SourcePanel, RightAngleCircleGivesTheLimitNotAStaleValue) {
  // (0, 0.5) sees the panel under a right angle exactly: den = 0.
  EXPECT_EQ(At(0, 0.5).u, 0);
  EXPECT_EQ(At(0, 0.5).v, 0.25);
  EXPECT_EQ(At(0, -0.5).v, -0.25);
}

TEST_F(SourcePanel, PointsWithinRoundingOfTheRightAngleCircleKeepTheRightBranch) {
  // On the circle with the panel as diameter the panel subtends a right angle; points
  // rounded to either side of it must not jump by half a turn.
  for (int k = 1; k < 200; ++k) {
    const double phi = M_PI * k / 200;
    const double x = 0.5 * std::cos(phi), y = 0.5 * std::sin(phi);
    EXPECT_NEAR(At(x, y).v, 0.25, 1e-9) << "phi " << phi;
    EXPECT_NEAR(At(x, -y).v, -0.25, 1e-9) << "phi " << phi;
  }
}

TEST_F(SourcePanel, PanelEndsAreARunError) {
  EXPECT_THROW(At(0.5, 0), RunError);
  EXPECT_THROW(At(-0.5, 0), RunError);
  try {
    At(0.5, 0);
  } catch (const RunError& error) {
    EXPECT_NE(std::string(error.what()).find("end of a panel"), std::string::npos);
  }
}

}  // namespace
}  // namespace velquin
