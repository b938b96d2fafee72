#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "geometry/module_geometry.h"
#include "geometry/module_panel.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using test_support::NewState;

TEST(CircleContour, NodesRunClockwiseFromTheTrailingPointAndCloseWithinRounding) {
  auto C = NewState();
  C->NP = 8;
  Geometry_Circle(*C);
  EXPECT_EQ(C->RefLength, 1);
  EXPECT_EQ(C->X(1, 1), 1);
  EXPECT_EQ(C->Y(1, 1), 0);
  EXPECT_NEAR(C->X(2, 1), 0.853553, 1e-6);
  EXPECT_NEAR(C->Y(2, 1), -0.353553, 1e-6);
  EXPECT_NEAR(C->X(2, 2), 0.5, 1e-15);
  EXPECT_NEAR(C->Y(2, 2), -0.5, 1e-15);
  EXPECT_NEAR(C->X(2, 4), 0, 1e-15);
  EXPECT_NEAR(C->Y(2, 4), 0, 1e-15);
  EXPECT_NEAR(C->Y(2, 6), 0.5, 1e-15);
  EXPECT_NEAR(C->Y(2, 8), 0, 1e-15);
  for (int i = 2; i <= 8; ++i) {  // neighbours share their node exactly
    EXPECT_EQ(C->X(1, i), C->X(2, i - 1));
    EXPECT_EQ(C->Y(1, i), C->Y(2, i - 1));
  }
}

TEST(NacaContour, LowerSideThenItsMirrorImageClosingExactly) {
  auto C = NewState();
  C->NP = 8;
  Geometry_NACA0012(*C);
  const double lower[4][2] = {
      {0.853553, -0.019204}, {0.5, -0.052656}, {0.146447, -0.053220}, {0, 0}};
  for (int i = 1; i <= 4; ++i) {
    EXPECT_NEAR(C->X(2, i), lower[i - 1][0], 1e-6) << i;
    EXPECT_NEAR(C->Y(2, i), lower[i - 1][1], 1e-6) << i;
    EXPECT_EQ(C->X(1, 9 - i), C->X(2, i));
    EXPECT_EQ(C->Y(1, 9 - i), -C->Y(2, i));
  }
  EXPECT_EQ(C->X(2, 8), 1);
  EXPECT_EQ(C->Y(2, 8), 0);

  C->NP = 2;  // one panel to the leading edge and back along it
  Geometry_NACA0012(*C);
  EXPECT_EQ(C->X(1, 1), 1);
  EXPECT_NEAR(C->X(2, 1), 0, 1e-15);
  EXPECT_EQ(C->X(1, 2), C->X(2, 1));
  EXPECT_EQ(C->X(2, 2), 1);
}

TEST(PanelGeometry, FirstCirclePanelHasOutwardNormalAndProjectedEnds) {
  auto C = NewState();
  C->NP = 8;
  Geometry_Circle(*C);
  Panel_ComputeGeometry(*C);
  EXPECT_NEAR(C->Xc(1), 0.92677670, 1e-8);
  EXPECT_NEAR(C->Yc(1), -0.17677670, 1e-8);
  EXPECT_NEAR(C->S(1), 0.38268343, 1e-8);
  EXPECT_NEAR(C->CosAx(1), -0.38268343, 1e-8);
  EXPECT_NEAR(C->CosBx(1), -0.92387953, 1e-8);
  EXPECT_NEAR(C->Xi(1, 1), -0.19134172, 1e-8);
  EXPECT_NEAR(C->Xi(2, 1), 0.19134172, 1e-8);
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(C->CosAy(i), -C->CosBx(i));
    EXPECT_EQ(C->CosBy(i), C->CosAx(i));
    // Outward: the normal points away from the centre (0.5, 0).
    EXPECT_GT(C->CosAy(i) * (C->Xc(i) - 0.5) + C->CosBy(i) * C->Yc(i), 0);
  }
}

TEST(PanelReport, HeaderLayoutAndIndexFieldWidths) {
  test_support::TempDir dir;
  auto C = NewState();
  test_support::RunIn(*C, test_support::CircleControls("120"), dir.path());
  const std::string report = test_support::ReadFile(dir.File("Output_Panel.txt"));
  const std::string header =
      "   I    X       Y       Xi       Yi       Xc      Yc   CosAx    CosBx   CosAy    CosBy";
  ASSERT_EQ(report.substr(0, 2 + header.size() + 4), "\r\n" + header + "\r\n\r\n");
  EXPECT_NE(report.find("\r\n   1  1.0000  0.0000  -0.0131  0.0131  "), std::string::npos);
  EXPECT_NE(report.find("\r\n   9  "), std::string::npos);
  EXPECT_NE(report.find("\r\n  10  "), std::string::npos);
  EXPECT_NE(report.find("\r\n  99  "), std::string::npos);
  EXPECT_NE(report.find("\r\n  100  "), std::string::npos);
  EXPECT_NE(report.find("\r\n  120  "), std::string::npos);
}

}  // namespace
}  // namespace velquin
