#include "solver/flow_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "geometry/module_geometry.h"
#include "geometry/module_panel.h"
#include "solver/flow_bases.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace test_support;

constexpr double kPi = 3.14159265358979323846;

struct Body {
  bool circle;
  int NP;
  VortexModel model;
  double Xv = 0.5, Yv = 0;
};

const char* Name(VortexModel model) {
  switch (model) {
    case VortexModel::kNone:
      return "no circulation";
    case VortexModel::kConstantDistribution:
      return "vortex distribution";
    case VortexModel::kPointVortex:
      return "point vortex";
  }
  return "";
}

std::string Describe(const Body& body) {
  return std::string(body.circle ? "circle" : "NACA 0012") + ", " + std::to_string(body.NP) +
         " panels, " + Name(body.model);
}

// The panels of a body and its two base solutions.
struct Solved {
  explicit Solved(const Body& body) : C(NewState()) {
    C->NP = body.NP;
    C->NEq = body.model == VortexModel::kNone ? body.NP : body.NP + 1;
    C->NRhs = C->NEq + 1;
    C->Xv = body.Xv;
    C->Yv = body.Yv;
    if (body.circle) {
      Geometry_Circle(*C);
    } else {
      Geometry_NACA0012(*C);
    }
    Panel_ComputeGeometry(*C);
    RunInputs inputs;
    inputs.body = body.circle ? CircleBody() : Naca0012Body();
    inputs.NP = body.NP;
    inputs.circulation = body.model != VortexModel::kNone;
    inputs.vortex = body.model;
    inputs.Xv = body.Xv;
    inputs.Yv = body.Yv;
    bases = *SolveFlowBases(*C, inputs);
  }
  std::unique_ptr<Module_Common> C;
  FlowBases bases;
};

ControlValues ControlsOf(const Body& body, double alpha_degrees) {
  ControlValues controls = CircleControls(std::to_string(body.NP), std::to_string(alpha_degrees));
  if (!body.circle) controls = Naca(controls);
  if (body.model != VortexModel::kNone) {
    controls = WithCirculation(controls, body.model == VortexModel::kPointVortex);
  }
  controls.Text_Xv = std::to_string(body.Xv);
  controls.Text_Yv = std::to_string(body.Yv);
  return controls;
}

// The strengths and surface speeds at an angle, combined from the two base solutions,
// against a calculation run at that angle.
TEST(FlowBases, CombinationEqualsADirectSolve) {
  const TempDir dir;
  const struct {
    Body body;
    double alpha;
  } cases[] = {
      {{false, 198, VortexModel::kConstantDistribution}, 7.3},
      {{false, 120, VortexModel::kPointVortex, 0.3, 0.01}, -12.5},
      {{false, 64, VortexModel::kNone}, 20},
      {{true, 198, VortexModel::kPointVortex}, 15},
      {{true, 31, VortexModel::kConstantDistribution}, -3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Describe(c.body) + ", alpha " + std::to_string(c.alpha));
    const Solved solved(c.body);
    auto run = NewState();
    ASSERT_EQ(RunIn(*run, ControlsOf(c.body, c.alpha), dir.path()).outcome, RunOutcome::kCompleted);

    const std::vector<double> Q = CombinedStrengths(solved.bases, run->CosAlfa, run->SinAlfa);
    ASSERT_EQ(Q.size(), static_cast<std::size_t>(run->NEq));
    for (int j = 1; j <= run->NEq; ++j) EXPECT_NEAR(Q[j - 1], run->Q(j), 1e-12) << "Q(" << j << ")";

    const BaseSpeeds speeds = ComputeBaseSpeeds(*solved.C, solved.bases);
    for (int i = 1; i <= run->NP; ++i) {
      const double Vt = run->CosAlfa * speeds.Vt0[i - 1] + run->SinAlfa * speeds.Vt90[i - 1];
      EXPECT_NEAR(std::fabs(Vt), run->Vt(i), 1e-12) << "Vt(" << i << ")";
    }
  }
}

// Far from the body only the free stream is left: the sources add up to nothing and the
// vortex's velocity falls off as 1/r.
TEST(FlowField, FarFieldIsTheFreeStream) {
  for (const Body& body :
       {Body{true, 40, VortexModel::kNone}, Body{false, 198, VortexModel::kPointVortex},
        Body{false, 100, VortexModel::kConstantDistribution}}) {
    SCOPED_TRACE(Describe(body));
    const Solved solved(body);
    for (double alpha : {0.0, 10.0, -20.0}) {
      const double a = alpha * kPi / 180;
      for (double direction = 0; direction < 360; direction += 45) {
        const double d = direction * kPi / 180;
        const double r = 2000;
        const auto V = VelocityAt(*solved.C, solved.bases, std::cos(a), std::sin(a),
                                  0.5 + r * std::cos(d), r * std::sin(d));
        ASSERT_TRUE(V);
        EXPECT_NEAR(V->u, std::cos(a), 2e-4) << "alpha " << alpha << ", direction " << direction;
        EXPECT_NEAR(V->v, std::sin(a), 2e-4) << "alpha " << alpha << ", direction " << direction;
      }
    }
  }
}

// The circle of radius a = 1/2 with the point vortex at its centre, against the flow past
// a cylinder with circulation: V_r = (1 - a^2/r^2) cos(t - alpha),
// V_t = -(1 + a^2/r^2) sin(t - alpha) - Gamma / (2 pi r), Gamma clockwise. The Kutta-type
// condition of NP panels gives Gamma = 4 pi a sin(alpha) cos(pi / NP), which puts the
// surface speed of the discrete problem at 2 sin(t_i - alpha) + 2 sin(alpha) cos(pi / NP)
// on every control point (exact up to rounding). Off the surface the field approaches
// the cylinder's as 1/NP: the discrete sources' dipole is too strong by about 1.4/NP,
// which leaves an error of that size times a^2/r^2.
TEST(FlowField, CircleWithCentredVortexFollowsTheCylinderWithCirculation) {
  const double a = 0.5;
  for (int NP : {64, 198}) {
    const Solved solved({true, NP, VortexModel::kPointVortex});
    const Module_Common& C = *solved.C;
    for (double alpha_degrees : {0.0, 8.0, -17.0}) {
      SCOPED_TRACE(std::to_string(NP) + " panels, alpha " + std::to_string(alpha_degrees));
      const double alpha = alpha_degrees * kPi / 180;
      const double ca = std::cos(alpha), sa = std::sin(alpha);
      const double gamma = 4 * kPi * a * sa * std::cos(kPi / NP);

      const BaseSpeeds speeds = ComputeBaseSpeeds(C, solved.bases);
      for (int i = 1; i <= NP; ++i) {
        const double t = std::atan2(C.Yc(i), C.Xc(i) - 0.5);
        const double exact = 2 * std::sin(t - alpha) + 2 * sa * std::cos(kPi / NP);
        EXPECT_NEAR(ca * speeds.Vt0[i - 1] + sa * speeds.Vt90[i - 1], exact, 1e-12) << i;
      }

      for (double r : {0.6, 0.8, 1.5, 4.0}) {
        for (double t_degrees = 5; t_degrees < 360; t_degrees += 30) {
          const double t = t_degrees * kPi / 180;
          const double ratio = (a * a) / (r * r);
          const double tolerance = 2 * ratio / NP;
          const double Vr = (1 - ratio) * std::cos(t - alpha);
          const double Vt = -(1 + ratio) * std::sin(t - alpha) - gamma / (2 * kPi * r);
          const auto V =
              VelocityAt(C, solved.bases, ca, sa, 0.5 + r * std::cos(t), r * std::sin(t));
          ASSERT_TRUE(V);
          EXPECT_NEAR(V->u, Vr * std::cos(t) - Vt * std::sin(t), tolerance) << r << ", " << t;
          EXPECT_NEAR(V->v, Vr * std::sin(t) + Vt * std::cos(t), tolerance) << r << ", " << t;
        }
      }

      // The stagnation points of the surface: where 2 sin(t - alpha) = -2 sin(alpha)
      // cos(pi / NP): t = 0 (rear, the first node) and t = pi + 2 alpha (front), nearly.
      const auto points = FindSurfaceStagnationPoints(C, [&] {
        std::vector<double> Vt(NP);
        for (int i = 0; i < NP; ++i) Vt[i] = ca * speeds.Vt0[i] + sa * speeds.Vt90[i];
        return Vt;
      }());
      ASSERT_EQ(points.size(), 2u);
      for (const StagnationPoint& p : points) {
        const double t = std::atan2(p.y, p.x - 0.5);
        const double expected = p.attachment ? kPi + 2 * alpha : 0;
        EXPECT_NEAR(std::remainder(t - expected, 2 * kPi), 0, 2 * kPi / NP)
            << (p.attachment ? "front" : "rear");
      }
    }
  }
}

// The NACA 0012 section without circulation at zero angle: the flow divides at the
// leading edge and meets again at the trailing edge.
TEST(FlowField, SymmetricSectionStagnatesAtItsEdges) {
  const Solved solved({false, 120, VortexModel::kConstantDistribution});
  const BaseSpeeds speeds = ComputeBaseSpeeds(*solved.C, solved.bases);
  const auto points = FindSurfaceStagnationPoints(*solved.C, speeds.Vt0);
  ASSERT_EQ(points.size(), 2u);
  for (const StagnationPoint& p : points) {
    EXPECT_NEAR(p.x, p.attachment ? 0 : 1, 1e-3);
    EXPECT_NEAR(p.y, 0, 1e-9);
  }
}

bool SegmentsCross(double ax, double ay, double bx, double by, double cx, double cy, double dx,
                   double dy) {
  const auto side = [](double px, double py, double qx, double qy, double rx, double ry) {
    return (qx - px) * (ry - py) - (qy - py) * (rx - px);
  };
  return side(ax, ay, bx, by, cx, cy) * side(ax, ay, bx, by, dx, dy) < 0 &&
         side(cx, cy, dx, dy, ax, ay) * side(cx, cy, dx, dy, bx, by) < 0;
}

// No point and no segment of any streamline lies inside the body or crosses its
// contour; the lines cover the domain and most of them run through it.
TEST(FlowGrid, NoStreamlineEntersTheBody) {
  const struct {
    Body body;
    double alpha;
  } cases[] = {
      {{false, 120, VortexModel::kConstantDistribution}, 0},
      {{false, 198, VortexModel::kConstantDistribution}, 12},
      {{false, 60, VortexModel::kNone}, -20},
      {{true, 48, VortexModel::kPointVortex}, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Describe(c.body) + ", alpha " + std::to_string(c.alpha));
    const Solved solved(c.body);
    const Contour contour = PanelContour(*solved.C);
    const FlowGrid grid =
        MakeFlowGrid(*solved.C, solved.bases, contour, DomainAroundBody(contour), 121, 61);
    const double alpha = c.alpha * kPi / 180;
    FlowFrame frame;
    CombineFlowGrid(grid, std::cos(alpha), std::sin(alpha), frame);
    const auto lines = TraceStreamlines(grid, frame, std::cos(alpha), std::sin(alpha));
    EXPECT_GE(lines.size(), 30u);
    int through = 0;
    for (const Streamline& line : lines) {
      through += line.end == StreamlineEnd::kDomainEdge;
      for (std::size_t k = 0; k < line.x.size(); ++k) {
        ASSERT_FALSE(ContourContains(contour, line.x[k], line.y[k]));
        if (k == 0) continue;
        for (std::size_t e = 0; e < contour.x.size(); ++e) {
          const std::size_t f = (e + 1) % contour.x.size();
          ASSERT_FALSE(SegmentsCross(line.x[k - 1], line.y[k - 1], line.x[k], line.y[k],
                                     contour.x[e], contour.y[e], contour.x[f], contour.y[f]));
        }
      }
    }
    EXPECT_GE(through, static_cast<int>(lines.size()) - 4);
  }
}

}  // namespace
}  // namespace velquin
