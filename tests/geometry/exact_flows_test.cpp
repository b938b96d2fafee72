// The closed forms of the verification bench against independent answers: the ellipse's
// speed against the classical values, its lift and moment and the mapped sections'
// moment against the exact surface pressure integrated round the true contour, and
// Williams' data built into the program against the files.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "geometry/body_names.h"
#include "geometry/ellipse_section.h"
#include "geometry/karman_trefftz_section.h"
#include "geometry/williams_sections.h"

namespace velquin {
namespace {

const double kPi = std::acos(-1.0);

// Lift and nose-up quarter-chord moment of the pressure 1 - q^2 on a closed contour
// z(theta), theta from 0 to 2 pi clockwise: the midpoint rule on `steps` equal steps.
struct Forces {
  double cl = 0, cm = 0;
};
template <typename Point, typename Speed>
Forces IntegratePressure(const Point& point, const Speed& speed, double alpha, int steps) {
  double fx = 0, fy = 0, moment_ccw = 0;
  const double h = 2 * kPi / steps;
  for (int k = 0; k < steps; ++k) {
    const double t0 = -h * k, t1 = -h * (k + 1), tm = -h * (k + 0.5);
    const auto [x0, y0] = point(t0);
    const auto [x1, y1] = point(t1);
    const auto [xm, ym] = point(tm);
    const double q = speed(tm);
    const double cp = 1 - q * q;
    // Clockwise, the outward normal times the panel length is (-dy, dx), the left-hand one.
    const double nx = -(y1 - y0), ny = x1 - x0;
    fx += -cp * nx;
    fy += -cp * ny;
    moment_ccw += (xm - 0.25) * (-cp * ny) - ym * (-cp * nx);
  }
  return {fy * std::cos(alpha) - fx * std::sin(alpha), -moment_ccw};
}

TEST(ExactFlows, EllipseSpeedTakesItsClassicalValues) {
  const double a = 5 * kPi / 180;
  // The circle (t = 1): 2 |sin(theta - alpha)|; the ellipse's crest at zero incidence:
  // 1 + t (Milne-Thomson); the nose and tail without circulation: stagnation at alpha 0.
  const struct {
    double t, theta, alpha;
    bool kutta;
    double speed;
  } cases[] = {
      {1, 1.0, a, false, 2 * std::fabs(std::sin(1.0 - a))},
      {1, -2.0, a, true, 2 * std::fabs(std::sin(-2.0 - a) + std::sin(a))},
      {0.25, kPi / 2, 0, false, 1.25},
      {0.1, -kPi / 2, 0, true, 1.1},
      {0.6, 0, 0, false, 0},
      {0.6, 0, a, true, 0},  // the Kutta-type condition: the rear point is a stagnation point
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(EllipseSurfaceSpeed(c.t, c.theta, std::cos(c.alpha), std::sin(c.alpha), c.kutta),
                c.speed, 1e-14)
        << c.t << " " << c.theta;
  }
}

// Lift and moment of the ellipse and of the mapped sections from the exact pressure,
// integrated round the true contour: an answer reached without Blasius' theorem.
TEST(ExactFlows, LiftAndMomentEqualTheIntegratedExactPressure) {
  for (const double t : {0.1, 0.25, 0.6}) {
    for (const bool kutta : {false, true}) {
      const double alpha = 7 * kPi / 180, ca = std::cos(alpha), sa = std::sin(alpha);
      const Forces f = IntegratePressure(
          [t](double th) {
            return std::pair{0.5 + 0.5 * std::cos(th), 0.5 * t * std::sin(th)};
          },
          [&](double th) { return EllipseSurfaceSpeed(t, th, ca, sa, kutta); }, alpha, 20000);
      EXPECT_NEAR(EllipseLiftCoefficient(t, sa, kutta), f.cl, 1e-7) << t << kutta;
      EXPECT_NEAR(EllipseMomentCoefficient(t, ca, sa, kutta), f.cm, 1e-7) << t << kutta;
    }
  }
  // The flat-plate values with the Kutta circulation: 2 pi (1 + t) sin(alpha) and
  // -(pi / 4) t (1 + t) sin(2 alpha).
  EXPECT_NEAR(EllipseLiftCoefficient(0.3, std::sin(0.1), true), 2 * kPi * 1.3 * std::sin(0.1),
              1e-15);
  EXPECT_NEAR(EllipseMomentCoefficient(0.3, std::cos(0.1), std::sin(0.1), true),
              -kPi / 4 * 0.3 * 1.3 * std::sin(0.2), 1e-15);

  const KarmanTrefftzParameters sections[] = {
      {-0.1, 0.1, 10}, {-0.1, 0.1, 0}, {-0.08, 0, 0}, {-0.15, 0.05, 25}};
  for (const KarmanTrefftzParameters& p : sections) {
    const KarmanTrefftzSection s = MakeKarmanTrefftzSection(p);
    const double alpha = 4 * kPi / 180, ca = std::cos(alpha), sa = std::sin(alpha);
    const double gamma = KarmanTrefftzKuttaCirculation(s, ca, sa);
    // The edge's point is a corner: the midpoint rule converges algebraically there.
    const Forces f = IntegratePressure(
        [&s](double th) {
          const ContourPoint c = KarmanTrefftzPoint(s, s.beta + th);
          return std::pair{c.x, c.y};
        },
        [&](double th) {
          return std::sqrt(KarmanTrefftzOneMinusCp(s, s.beta + th, ca, sa, gamma));
        },
        alpha, 400000);
    EXPECT_NEAR(KarmanTrefftzLiftCoefficient(s, ca, sa), f.cl, 2e-5) << p.XC << " " << p.TAU;
    EXPECT_NEAR(KarmanTrefftzMomentCoefficient(s, ca, sa, gamma), f.cm, 2e-5)
        << p.XC << " " << p.TAU;
  }
}

TEST(ExactFlows, EllipseIsABodyByName) {
  std::string error;
  const BodyPtr body = BodyFromName("Ellipse:0.25", error);
  ASSERT_TRUE(body) << error;
  EXPECT_EQ(body->Name(), "Ellipse 0.25");
  const std::vector<ContourPoint> nodes = body->ContourNodes(8);
  EXPECT_EQ(nodes.front().x, 1);
  EXPECT_EQ(nodes.back().x, 1);
  EXPECT_NEAR(nodes[2].y, -0.125, 1e-15);  // the lowest point, a quarter turn clockwise
  EXPECT_NEAR(nodes[4].x, 0, 1e-15);
  for (const char* refused :
       {"ellipse:0", "ellipse:1.5", "ellipse:-0.2", "ellipse:x", "ellipse:", "ellipse:0.0001"}) {
    error.clear();
    EXPECT_FALSE(BodyFromName(refused, error)) << refused;
    EXPECT_NE(error.find("--body"), std::string::npos) << error;
  }
}

// The numbers built into the program are the files', bit for bit.
std::vector<ContourPoint> FilePoints(const std::string& name) {
  std::ifstream in(std::string(VELQUIN_SOURCE_DIR) + "/tests/data/williams/" + name);
  std::vector<ContourPoint> points;
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t comma = line.find(',');
    if (comma == std::string::npos) continue;
    points.push_back({std::stod(line.substr(0, comma)), std::stod(line.substr(comma + 1))});
  }
  return points;
}

TEST(ExactFlows, WilliamsDataEqualTheFiles) {
  const auto same = [](const std::vector<ContourPoint>& a, const std::vector<ContourPoint>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
      if (a[k].x != b[k].x || a[k].y != b[k].y) return false;
    }
    return !a.empty();
  };
  for (const int n : kWilliamsPanelCounts) {
    const std::string count = std::to_string(n);
    EXPECT_TRUE(same(WilliamsFileNodes(WilliamsElement::kMain, n),
                     FilePoints("MainFoil_N=" + count + ".csv")));
    EXPECT_TRUE(same(WilliamsFileNodes(WilliamsElement::kFlap, n),
                     FilePoints("FlapFoil_N=" + count + ".csv")));
  }
  EXPECT_TRUE(same(WilliamsExactCp(WilliamsElement::kMain), FilePoints("Cp_Main_theoretical.csv")));
  EXPECT_TRUE(same(WilliamsExactCp(WilliamsElement::kFlap), FilePoints("Cp_Flap_theoretical.csv")));
  EXPECT_TRUE(WilliamsFileNodes(WilliamsElement::kMain, 64).empty());
}

}  // namespace
}  // namespace velquin
