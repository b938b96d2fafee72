#include "geometry/body.h"

#include <cmath>

#include "base/run_error.h"
#include "geometry/module_geometry.h"

namespace velquin {
namespace {

class Circle : public Body {
 public:
  std::string Name() const override { return "Circle"; }
  void Contour(Module_Common& C) const override { Geometry_Circle(C); }
  std::vector<ContourPoint> ContourNodes(double NP) const override {
    return Geometry_CircleNodes(NP, PiConstant());
  }
  // The circle's diameter is its reference length: at half size it fits the frame.
  double PlotScale() const override { return 0.5; }
  std::optional<ExactSolution> Exact(const Module_Common& C,
                                     const FlowConditions& flow) const override;
  std::vector<ExactSurfacePoint> ExactSurface(const FlowConditions& flow,
                                              int points) const override;
};

// With the point vortex exactly at the centre (0.5 RefLength, 0) the discrete problem
// has a closed-form answer: on the regular polygon the constant-source panels give the
// circle's surface speed 2 sin(theta - alpha) at every control point, theta its angle
// seen from the centre, and the Kutta-type condition, which makes the speeds at the
// control points at theta = -pi / NP and +pi / NP on either side of the first node
// equal, adds the vortex's 2 sin(alpha) cos(pi / NP). So 1 - Cp is
// 4 (sin(theta - alpha) + sin(alpha) cos(pi / NP))^2.
std::optional<ExactSolution> Circle::Exact(const Module_Common& C,
                                           const FlowConditions& flow) const {
  const double x_centre = 0.5 * C.RefLength;
  if (flow.vortex != VortexModel::kPointVortex || flow.Xv != x_centre || flow.Yv != 0) {
    return std::nullopt;
  }
  ExactSolution exact;
  exact.kind = ExactSolution::Kind::kDiscrete;
  const double vortex_term = flow.sin_alfa * std::cos(C.Pi / C.NP);
  for (int i = 1; i <= C.NP; ++i) {
    const double dx = C.Xc(i) - x_centre;
    const double dy = C.Yc(i);
    const double r = std::sqrt(dx * dx + dy * dy);
    // sin(theta - alpha) from the control point's direction and the free stream's.
    const double sin_theta_minus_alpha = (dy * flow.cos_alfa - dx * flow.sin_alfa) / r;
    const double half_speed = sin_theta_minus_alpha + vortex_term;
    exact.one_minus_cp.push_back(4 * half_speed * half_speed);
  }
  return exact;
}

// The continuous flow past the circle of diameter 1: q = 2 |sin(theta - alpha) + K sin(alpha)|,
// K = 1 with the circulation that puts the rear stagnation point on the trailing edge
// (theta = 0), 0 without.
std::vector<ExactSurfacePoint> Circle::ExactSurface(const FlowConditions& flow, int points) const {
  const double kutta_term = flow.vortex == VortexModel::kNone ? 0.0 : flow.sin_alfa;
  std::vector<ExactSurfacePoint> curve;
  for (int k = 0; k <= points; ++k) {
    const double theta = 2 * PiConstant() * k / points;
    const double half_speed =
        std::sin(theta) * flow.cos_alfa - std::cos(theta) * flow.sin_alfa + kutta_term;
    curve.push_back(
        {0.5 + 0.5 * std::cos(theta), 0.5 * std::sin(theta), 1 - 4 * half_speed * half_speed});
  }
  return curve;
}

class Naca0012 : public Body {
 public:
  std::string Name() const override { return "NACA 0012"; }
  std::string PanelCountProblem(double NP) const override {
    return EvenPanelCountProblem(Name(), NP);
  }
  void Contour(Module_Common& C) const override { Geometry_NACA0012(C); }
  std::vector<ContourPoint> ContourNodes(double NP) const override {
    return Geometry_NACA0012Nodes(NP, PiConstant());
  }
};

}  // namespace

BodyPtr CircleBody() {
  static const BodyPtr circle = std::make_shared<Circle>();
  return circle;
}

BodyPtr Naca0012Body() {
  static const BodyPtr section = std::make_shared<Naca0012>();
  return section;
}

std::string EvenPanelCountProblem(const std::string& section_name, double NP) {
  if (std::fmod(NP, 2) == 0) return {};
  return "the " + section_name + " section needs an even number of panels (one half on each side)";
}

double BodyDrawScale(const Body& body, double RefLength) {
  if (RefLength == 0) {
    throw RunError(ErrorKind::kDivisionByZero, "the reference length of the body is zero.");
  }
  return body.PlotScale() / RefLength;
}

double PlotScaleForExtent(double largest_x, double largest_ordinate) {
  constexpr double kHalfHeight = 0.25, kRightEnd = 1.05;
  double scale = 1;
  if (largest_ordinate * scale > kHalfHeight) scale = kHalfHeight / largest_ordinate;
  if (largest_x * scale > kRightEnd) scale = kRightEnd / largest_x;
  return scale;
}

}  // namespace velquin
