#include "geometry/ellipse_section.h"

#include <cmath>
#include <memory>

#include "base/text_number.h"

namespace velquin {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kThinnest = 0.001;

class EllipseBodyImpl : public Body {
 public:
  explicit EllipseBodyImpl(double t) : t_(t) {}

  std::string Name() const override { return "Ellipse " + NumberText(t_); }

  void Contour(Module_Common& C) const override {
    C.RefLength = 1;
    const int NP = RealToIndex(C.NP);
    const std::vector<ContourPoint> nodes = Geometry_EllipseNodes(t_, NP, C.Pi);
    for (int k = 0; k <= NP; ++k) {
      C.X(2, k) = C.RefLength * nodes[k].x;
      C.Y(2, k) = C.RefLength * nodes[k].y;
    }
    for (int i = 1; i <= NP; ++i) {
      C.X(1, i) = C.X(2, i - 1);
      C.Y(1, i) = C.Y(2, i - 1);
    }
  }

  std::vector<ContourPoint> ContourNodes(double NP) const override {
    return Geometry_EllipseNodes(t_, static_cast<int>(NP), PiConstant());
  }

  double PlotScale() const override { return PlotScaleForExtent(1, t_ / 2); }

  std::optional<ExactSolution> Exact(const Module_Common& C,
                                     const FlowConditions& flow) const override {
    const bool kutta = flow.vortex != VortexModel::kNone;
    ExactSolution exact;
    exact.kind = ExactSolution::Kind::kContinuous;
    exact.cl = EllipseLiftCoefficient(t_, flow.sin_alfa, kutta);
    exact.cm = EllipseMomentCoefficient(t_, flow.cos_alfa, flow.sin_alfa, kutta);
    const double dTheta = (2 * C.Pi) / C.NP;
    for (int i = 1; i <= C.NP; ++i) {
      const double q =
          EllipseSurfaceSpeed(t_, -dTheta * (i - 0.5), flow.cos_alfa, flow.sin_alfa, kutta);
      exact.one_minus_cp.push_back(q * q);
    }
    return exact;
  }

  // Equal steps of the eccentric angle, which crowd the points round the two ends where
  // the pressure changes fastest.
  std::vector<ExactSurfacePoint> ExactSurface(const FlowConditions& flow,
                                              int points) const override {
    const bool kutta = flow.vortex != VortexModel::kNone;
    std::vector<ExactSurfacePoint> curve;
    for (int k = 0; k <= points; ++k) {
      const double theta = 2 * kPi * k / points;
      const double q = EllipseSurfaceSpeed(t_, theta, flow.cos_alfa, flow.sin_alfa, kutta);
      curve.push_back({0.5 + 0.5 * std::cos(theta), 0.5 * t_ * std::sin(theta), 1 - q * q});
    }
    return curve;
  }

 private:
  double t_;
};

}  // namespace

std::string EllipseProblem(double t) {
  if (!std::isfinite(t) || !(t > 0) || t > 1) {
    return "the thickness ratio T must be above 0 and at most 1 (the major axis is the chord)";
  }
  if (t < kThinnest) {
    return "the ellipse is too thin: T must be at least 0.001, or its two sides' panels "
           "cannot be told apart";
  }
  return {};
}

double EllipseSurfaceSpeed(double t, double theta, double cos_alfa, double sin_alfa, bool kutta) {
  const double a = 0.5, b = 0.5 * t;
  const double sin_theta = std::sin(theta), cos_theta = std::cos(theta);
  const double sin_theta_minus_alpha = sin_theta * cos_alfa - cos_theta * sin_alfa;
  const double circle = sin_theta_minus_alpha + (kutta ? sin_alfa : 0.0);
  const double stretch = std::sqrt(a * a * sin_theta * sin_theta + b * b * cos_theta * cos_theta);
  return (a + b) * std::fabs(circle) / stretch;
}

double EllipseLiftCoefficient(double t, double sin_alfa, bool kutta) {
  return kutta ? 2 * kPi * (1 + t) * sin_alfa : 0.0;
}

double EllipseMomentCoefficient(double t, double cos_alfa, double sin_alfa, bool kutta) {
  const double sin_2alpha = 2 * sin_alfa * cos_alfa;
  const double munk = 0.25 * kPi * (1 - t * t) * sin_2alpha;
  return munk - 0.25 * EllipseLiftCoefficient(t, sin_alfa, kutta) * cos_alfa;
}

std::vector<ContourPoint> Geometry_EllipseNodes(double t, int NP, double Pi) {
  std::vector<ContourPoint> nodes(static_cast<std::size_t>(NP) + 1, ContourPoint{1, 0});
  const double dTheta = (2 * Pi) / NP;
  for (int k = 1; k < NP; ++k) {
    const double theta = -dTheta * k;
    nodes[k] = {0.5 + 0.5 * std::cos(theta), 0.5 * t * std::sin(theta)};
  }
  return nodes;
}

BodyPtr EllipseBody(double t) {
  return std::make_shared<EllipseBodyImpl>(t);
}

}  // namespace velquin
