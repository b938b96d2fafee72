// The NACA 4- and 5-digit and the Kármán–Trefftz / Joukowski sections: their names, the
// conventions of their contours, their shapes against published values and thin-airfoil
// theory, and the exact flow of the mapped sections against the theorems it must obey.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "geometry/body_names.h"
#include "geometry/karman_trefftz_section.h"
#include "geometry/module_panel.h"
#include "geometry/naca4_section.h"
#include "geometry/naca5_section.h"
#include "support/run_helpers.h"

namespace velquin {
namespace {

using test_support::NewState;

BodyPtr Named(const std::string& name) {
  std::string error;
  BodyPtr body = BodyFromName(name, error);
  EXPECT_TRUE(body) << name << ": " << error;
  return body;
}

std::string Refusal(const std::string& name) {
  std::string error;
  EXPECT_FALSE(BodyFromName(name, error)) << name;
  return error;
}

TEST(SectionNames, FamiliesAreReadCaseInsensitivelyAndBadParametersRefused) {
  EXPECT_EQ(Named("NACA0012"), Naca0012Body());  // the seed's own section, not a 4-digit one
  const struct {
    const char* name;
    const char* shown;
  } good[] = {
      {"naca2412", "NACA 2412"},
      {"NACA4415", "NACA 4415"},
      {"naca0009", "NACA 0009"},
      {"naca23012", "NACA 23012"},
      {"Naca25112", "NACA 25112"},
      {"naca43012", "NACA 43012"},
      {"joukowski:-0.1:0", "Joukowski section -0.1:0"},
      {"Karman-Trefftz:-0.08:+0.05:1.5E1", "Karman-Trefftz section -0.08:0.05:15"},
      {"NACA 2412", "NACA 2412"},  // blanks are left out, as a window shows the name
      {" Joukowski : -0.1\t: 0 ", "Joukowski section -0.1:0"},
  };
  for (const auto& g : good) EXPECT_EQ(Named(g.name)->Name(), g.shown);

  const struct {
    const char* name;
    const char* reason;
  } bad[] = {
      {"naca241", "four digits (MPXX) or five (LPQXX)"},
      {"naca24120x", "four digits"},
      {"naca2400", "thickness XX"},
      {"naca2012", "position of its greatest camber"},
      {"naca0412", "P must be 0"},
      {"naca03012", "design lift digit L"},
      {"naca26012", "P must be 1 to 5"},
      {"naca23212", "0 (standard mean line) or 1 (reflex"},
      {"naca21112", "no reflex mean line is published for P = 1"},
      {"joukowski:0:0.1", "XC must be below 0"},
      {"joukowski:-0.1", "give joukowski:XC:YC"},
      {"karman-trefftz:-0.1:0", "give karman-trefftz:XC:YC:TAU"},
      {"karman-trefftz:-0.1:0:180", "TAU must be at least 0 and below 180"},
      {"karman-trefftz:-0.1:0:-1", "TAU must be at least 0"},
      {"karman-trefftz:-0.1:0:1,5", "TAU '1,5' is not a number"},
      {"joukowski:nan:0", "finite"},
      {"joukowski:-0.1:1e4", "between -1000 and 1000"},
      {"joukowski:-0.1:", "YC '' is not a number"},
  };
  for (const auto& b : bad) {
    const std::string error = Refusal(b.name);
    EXPECT_EQ(error.rfind(std::string("--body '") + b.name + "': ", 0), 0u) << error;
    EXPECT_NE(error.find(b.reason), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
  EXPECT_NE(Refusal("ellipse").find(BodyNamesSynopsis()), std::string::npos);
  EXPECT_EQ(BodyNamesSynopsis(),
            "circle|naca0012|nacaMPXX|nacaLPQXX|karman-trefftz:XC:YC:TAU|joukowski:XC:YC|"
            "ellipse:T");
}

// Every section starts and ends exactly at its trailing edge (1, 0), runs clockwise along
// the lower side first (below the upper side; on a cambered section the lower side may
// rise above y = 0 near the edge) and shares every node with its neighbour. The mapped
// sections reach x = 0 and no further; a cambered NACA nose reaches a little ahead of its
// leading edge (0, 0), where the thickness is laid off normal to a sloping mean line.
TEST(SectionContours, CloseAtTheTrailingEdgeAndRunClockwiseLowerSideFirst) {
  auto C = NewState();
  for (const char* name :
       {"naca2412", "naca6409", "naca0018", "naca23012", "naca25112", "karman-trefftz:-0.1:0.1:15",
        "karman-trefftz:-0.2:-0.05:60", "joukowski:-0.08:0.05"}) {
    const BodyPtr body = Named(name);
    for (int np : {8, 160, 198}) {
      ASSERT_EQ(body->PanelCountProblem(np), "") << name << " " << np;
      C->NP = np;
      body->Contour(*C);
      EXPECT_EQ(C->RefLength, 1);
      EXPECT_EQ(C->X(2, 0), 1);
      EXPECT_EQ(C->Y(2, 0), 0);
      EXPECT_EQ(C->X(2, np), 1) << name;
      EXPECT_EQ(C->Y(2, np), 0) << name;
      EXPECT_LT(C->Y(2, 1), C->Y(2, np - 1)) << name;  // lower side first
      double twice_area = 0, least_x = 1;
      for (int i = 1; i <= np; ++i) {
        EXPECT_EQ(C->X(1, i), C->X(2, i - 1));
        EXPECT_EQ(C->Y(1, i), C->Y(2, i - 1));
        twice_area += C->X(1, i) * C->Y(2, i) - C->X(2, i) * C->Y(1, i);
        least_x = std::fmin(least_x, C->X(2, i));
      }
      EXPECT_LT(twice_area, 0) << name << ": not clockwise";
      if (name[0] == 'n') {
        EXPECT_EQ(C->X(2, np / 2), 0) << name;
        EXPECT_EQ(C->Y(2, np / 2), 0) << name;
      } else {
        EXPECT_GE(least_x, -1e-12) << name;
        EXPECT_LT(least_x, np >= 160 ? 1e-3 : 0.2) << name;
      }
    }
  }
  EXPECT_NE(Named("naca2412")->PanelCountProblem(9), "");
  EXPECT_NE(Named("naca23012")->PanelCountProblem(161), "");
}

// Published NACA 0012 ordinates (Abbott and von Doenhoff, Theory of Wing Sections,
// percent of the chord) near the nose, where the closed-edge coefficient changes the
// thickness by less than 1e-5; the closed edge itself.
TEST(NacaSections, ThicknessMatchesThePublishedOrdinatesAndClosesTheEdge) {
  const double table[][2] = {{0.0125, 1.894}, {0.025, 2.615}, {0.05, 3.555},
                             {0.1, 4.683},    {0.2, 5.737},   {0.3, 6.002}};
  for (const auto& row : table) {
    EXPECT_NEAR(100 * NacaThickness(0.12, row[0]), row[1], 3e-3) << row[0];
  }
  EXPECT_NEAR(NacaThickness(0.12, 1), 0, 1e-15);
}

// The nodes sit on the cosine-spaced stations, upper node NP - i opposite lower node i:
// their midpoint is the mean line at the station, half their distance the thickness,
// and the line between them is normal to the mean line.
TEST(NacaSections, NodesLayTheThicknessOffNormalToTheMeanLine) {
  auto C = NewState();
  const Naca4Digits digits{4, 4, 15};
  C->NP = 160;
  Geometry_NACA4(*C, digits);
  for (int i = 1; i < 80; ++i) {
    const double x = (1 + std::cos(2 * M_PI * i / 160)) / 2;
    const MeanLineValue mean = Naca4MeanLine(digits, x);
    const double dx = C->X(2, 160 - i) - C->X(2, i), dy = C->Y(2, 160 - i) - C->Y(2, i);
    EXPECT_NEAR((C->X(2, i) + C->X(2, 160 - i)) / 2, x, 1e-12) << i;
    EXPECT_NEAR((C->Y(2, i) + C->Y(2, 160 - i)) / 2, mean.yc, 1e-12) << i;
    EXPECT_NEAR(std::hypot(dx, dy) / 2, NacaThickness(0.15, x), 1e-12) << i;
    EXPECT_NEAR(dx + mean.slope * dy, 0, 1e-12) << i;
  }
  EXPECT_NEAR(C->X(2, 80), 0, 1e-15);
  EXPECT_NEAR(C->Y(2, 80), 0, 1e-15);
}

// Thin-airfoil theory of the mean lines, x = (1 - cos theta) / 2: zero-lift angle
// -(1/pi) int y_c' (cos theta - 1), ideal lift coefficient pi A1 and Cm c/4 = pi/4 (A2 - A1)
// with A_n = (2/pi) int y_c' cos(n theta). References: NACA 2412 -2.077 degrees and
// -0.053 (Anderson, Fundamentals of Aerodynamics); the 5-digit lines were designed for
// the lift coefficient 0.15 L, the reflex ones for no moment about the quarter chord.
TEST(NacaSections, MeanLinesMeetThinAirfoilTheory) {
  struct Thin {
    double zero_lift_degrees, ideal_cl, cm;
  };
  const auto thin = [](const std::function<double(double)>& slope) {
    constexpr int kSteps = 20000;
    double a0 = 0, a1 = 0, a2 = 0;
    for (int k = 0; k < kSteps; ++k) {
      const double theta = (k + 0.5) * M_PI / kSteps;
      const double s = slope((1 - std::cos(theta)) / 2);
      a0 += s, a1 += s * std::cos(theta), a2 += s * std::cos(2 * theta);
    }
    a1 *= 2.0 / kSteps, a2 *= 2.0 / kSteps;
    const double zero_lift = -(a1 / 2 - a0 / kSteps);
    return Thin{zero_lift * 180 / M_PI, M_PI * a1, M_PI / 4 * (a2 - a1)};
  };
  const Thin naca2412 = thin([](double x) { return Naca4MeanLine({2, 4, 12}, x).slope; });
  EXPECT_NEAR(naca2412.zero_lift_degrees, -2.077, 0.002);
  EXPECT_NEAR(naca2412.cm, -0.053, 0.0005);
  // The tabulated constants of the lines nearest the nose are rounded the most: 210 and
  // 221 reach their lift coefficient within 3 and 2 %.
  const struct {
    Naca5Digits digits;
    double ideal_cl, tolerance;
  } lines[] = {{{2, 1, 0, 12}, 0.3, 0.03}, {{2, 2, 0, 12}, 0.3, 0.01}, {{2, 3, 0, 12}, 0.3, 0.01},
               {{2, 4, 0, 12}, 0.3, 0.01}, {{2, 5, 0, 12}, 0.3, 0.01}, {{2, 2, 1, 12}, 0.3, 0.02},
               {{2, 3, 1, 12}, 0.3, 0.01}, {{2, 4, 1, 12}, 0.3, 0.01}, {{2, 5, 1, 12}, 0.3, 0.01},
               {{4, 3, 0, 12}, 0.6, 0.01}};
  for (const auto& line : lines) {
    const Naca5Digits d = line.digits;
    const Thin t = thin([d](double x) { return Naca5MeanLine(d, x).slope; });
    const std::string name = std::to_string(d.L) + std::to_string(d.P) + std::to_string(d.Q);
    EXPECT_NEAR(t.ideal_cl, line.ideal_cl, line.tolerance * line.ideal_cl) << name;
    if (d.Q == 1) {
      EXPECT_NEAR(t.cm, 0, 0.002) << name;
    } else {
      EXPECT_LT(t.cm, -0.003) << name;
    }
  }
}

// The symmetric Joukowski section of the circle centred at (-m, 0): its leading edge is
// the image of zeta = -(1 + 2 m), so its chord is 2 + (1 + 2 m) + 1 / (1 + 2 m), and the
// exact lift is 8 pi (1 + m) sin(alpha) / chord. The trailing-edge angle of the panelled
// contour tends to TAU.
TEST(KarmanTrefftzSections, ChordLeadingEdgeAndTrailingEdgeAngleFollowTheMap) {
  auto C = NewState();
  const double m = 0.1, alpha = 5 * M_PI / 180;
  const double chord = 2 + (1 + 2 * m) + 1 / (1 + 2 * m);
  const BodyPtr joukowski = Named("joukowski:-0.1:0");
  C->NP = 8;
  joukowski->Contour(*C);
  EXPECT_NEAR(C->X(2, 4), 0, 1e-12);  // the leading edge, opposite the trailing edge
  EXPECT_NEAR(C->Y(2, 4), 0, 1e-15);
  for (int k = 1; k < 8; ++k) {  // the mirror image of itself
    EXPECT_NEAR(C->X(2, 8 - k), C->X(2, k), 1e-15);
    EXPECT_NEAR(C->Y(2, 8 - k), -C->Y(2, k), 1e-15);
  }
  Panel_ComputeGeometry(*C);
  const FlowConditions flow{std::cos(alpha), std::sin(alpha), VortexModel::kConstantDistribution};
  EXPECT_NEAR(*joukowski->Exact(*C, flow)->cl, 8 * M_PI * (1 + m) * std::sin(alpha) / chord, 1e-12);
  EXPECT_EQ(*joukowski->Exact(*C, FlowConditions{flow.cos_alfa, flow.sin_alfa})->cl, 0);

  for (const double tau : {0.0, 15.0, 30.0, 90.0}) {
    const std::string name = "karman-trefftz:-0.1:0.05:" + std::to_string(tau);
    C->NP = 198;
    Named(name)->Contour(*C);
    const double ax = C->X(2, 1) - 1, ay = C->Y(2, 1), bx = C->X(2, 197) - 1, by = C->Y(2, 197);
    const double angle = std::acos((ax * bx + ay * by) / std::hypot(ax, ay) / std::hypot(bx, by));
    EXPECT_NEAR(angle * 180 / M_PI, tau, 0.5) << name;
  }
}

// The exact surface pressure, integrated over the contour, must give the Kutta–Joukowski
// lift of the exact circulation and no drag (d'Alembert): two independent routes to
// the same force.
TEST(KarmanTrefftzSections, ExactPressureIntegratesToTheExactLiftAndNoDrag) {
  auto C = NewState();
  for (const char* name : {"karman-trefftz:-0.1:0:15", "karman-trefftz:-0.05:0.1:30",
                           "joukowski:-0.08:0.08", "karman-trefftz:-0.2:0:90"}) {
    const BodyPtr body = Named(name);
    C->NP = 198;
    body->Contour(*C);
    Panel_ComputeGeometry(*C);
    for (const double degrees : {0.0, 5.0}) {
      const double alpha = degrees * M_PI / 180;
      const FlowConditions flow{std::cos(alpha), std::sin(alpha), VortexModel::kPointVortex};
      const ExactSolution exact = *body->Exact(*C, flow);
      ASSERT_EQ(exact.one_minus_cp.size(), 198u);
      double fx = 0, fy = 0;
      for (int i = 1; i <= 198; ++i) {
        const double cp = 1 - exact.one_minus_cp[i - 1];
        fx -= cp * C->S(i) * C->CosAy(i);
        fy -= cp * C->S(i) * C->CosBy(i);
      }
      const double lift = fy * flow.cos_alfa - fx * flow.sin_alfa;
      const double drag = fx * flow.cos_alfa + fy * flow.sin_alfa;
      EXPECT_NEAR(lift, *exact.cl, 2e-4 * std::fabs(*exact.cl) + 1e-12) << name << " " << degrees;
      EXPECT_NEAR(drag, 0, 1e-4) << name << " " << degrees;
    }
  }
}

// A thin, strongly cambered, cusped section: with few panels the polygon cuts across
// itself near the edge, and the count is refused; with enough it is not.
TEST(KarmanTrefftzSections, PanelsThatWouldCrossAreRefused) {
  const BodyPtr thin = Named("joukowski:-0.001:0.3");
  EXPECT_NE(thin->PanelCountProblem(16).find("cross each other with 16 panels"), std::string::npos);
  EXPECT_EQ(thin->PanelCountProblem(198), "");
}

}  // namespace
}  // namespace velquin
