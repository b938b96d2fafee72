#include "geometry/karman_trefftz_section.h"

#include <algorithm>
#include <boost/math/tools/minima.hpp>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "base/text_number.h"

namespace velquin {
namespace {

using Complex = std::complex<double>;

constexpr double kPi = 3.14159265358979323846;
constexpr double kLargestCentre = 1000;

bool IsJoukowski(const KarmanTrefftzSection& s) {
  return s.parameters.TAU == 0;
}

Complex CirclePoint(const KarmanTrefftzSection& s, double theta) {
  return s.centre + Complex(s.R * std::cos(theta), s.R * std::sin(theta));
}

// The leading edge: the least x of the mapped circle, first among equal angle steps,
// then refined by Brent's method between the neighbours of the best step.
double LeastX(const KarmanTrefftzSection& s) {
  const auto x_at = [&s](double theta) {
    return KarmanTrefftzMap(s, CirclePoint(s, theta)).real();
  };
  constexpr int kSteps = 720;
  const double step = 2 * kPi / kSteps;
  int best = 0;
  double least = x_at(s.beta);
  for (int k = 1; k < kSteps; ++k) {
    const double x = x_at(s.beta - step * k);
    if (x < least) {
      least = x;
      best = k;
    }
  }
  const double middle = s.beta - step * best;
  std::uintmax_t iterations = 200;
  const auto refined = boost::math::tools::brent_find_minima(
      x_at, middle - step, middle + step, std::numeric_limits<double>::digits / 2, iterations);
  return std::min(least, refined.second);
}

// Nodes 0..NP of the contour at equal angle steps dTheta from the trailing edge; the
// first and the last are exactly (1, 0).
std::vector<ContourPoint> Nodes(const KarmanTrefftzSection& s, int NP, double dTheta) {
  std::vector<ContourPoint> nodes(static_cast<std::size_t>(NP) + 1, ContourPoint{1, 0});
  for (int k = 1; k < NP; ++k) nodes[k] = KarmanTrefftzPoint(s, s.beta - dTheta * k);
  return nodes;
}

// Whether two panels that are not neighbours cross: on a thin, cambered, cusped
// section, few panels can cut across the true contour near the edge.
bool PanelsCross(const std::vector<ContourPoint>& nodes) {
  const auto side = [](const ContourPoint& a, const ContourPoint& b, const ContourPoint& p) {
    const double s = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    return s > 0 ? 1 : (s < 0 ? -1 : 0);
  };
  const std::size_t panels = nodes.size() - 1;
  for (std::size_t i = 0; i < panels; ++i) {
    for (std::size_t j = i + 2; j < panels; ++j) {
      if (i == 0 && j + 1 == panels) continue;  // the two edge panels share the edge node
      const ContourPoint &a = nodes[i], &b = nodes[i + 1], &c = nodes[j], &d = nodes[j + 1];
      if (side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0) return true;
    }
  }
  return false;
}

// As XC nears 0 the section thins to a bent plate whose two sides' panels lie on one
// another: refused by the rule that refuses a coordinate file's contour (kNoAreaShare).
// Twice the area, the integral of x dy - y dx = Im(conj(z) dz) round the image of the
// circle, by the midpoint rule in theta: the integrand is periodic, so equal steps
// converge fast, and the area of a thin section comes out as its own rather than as the
// difference of two polygons inscribed in its sides. The steps keep half a step away
// from the trailing edge, where the derivative of the map is 0 / 0 for TAU > 0. The
// ratio to the squared reach does not depend on the scale: the map's own units serve.
bool EnclosesNoArea(const KarmanTrefftzSection& s) {
  constexpr int kSteps = 720;
  const double step = 2 * kPi / kSteps;
  double twice_area = 0, reach = 0;
  for (int k = 0; k < kSteps; ++k) {
    const double theta = s.beta + step * (k + 0.5);
    const Complex radius(s.R * std::cos(theta), s.R * std::sin(theta));
    const Complex z = KarmanTrefftzMap(s, s.centre + radius);
    const Complex dz = KarmanTrefftzMapDerivative(s, s.centre + radius) * Complex(0, 1) * radius;
    twice_area += std::imag(std::conj(z) * dz) * step;
    reach = std::max(reach, std::norm(z - s.n));
  }
  return !(std::fabs(twice_area) > kNoAreaShare * reach);
}

std::string Parameters(const KarmanTrefftzParameters& p) {
  std::string text = NumberText(p.XC) + ":" + NumberText(p.YC);
  if (p.TAU != 0) text += ":" + NumberText(p.TAU);
  return text;
}

class KarmanTrefftzBodyImpl : public Body {
 public:
  explicit KarmanTrefftzBodyImpl(const KarmanTrefftzParameters& parameters)
      : section_(MakeKarmanTrefftzSection(parameters)) {}

  std::string Name() const override {
    return (IsJoukowski(section_) ? "Joukowski section " : "Karman-Trefftz section ") +
           Parameters(section_.parameters);
  }

  std::string PanelCountProblem(double NP) const override {
    const int count = static_cast<int>(NP);
    if (count < 3 || !PanelsCross(Nodes(section_, count, (2 * kPi) / NP))) return {};
    return "the panels of the " + Name() + " cross each other with " + NumberText(NP) +
           " panels: the section is too thin for them near its edge; give more panels or a "
           "thicker section (XC further below 0)";
  }

  void Contour(Module_Common& C) const override { Geometry_KarmanTrefftz(C, section_); }
  std::vector<ContourPoint> ContourNodes(double NP) const override {
    return Nodes(section_, static_cast<int>(NP), (2 * PiConstant()) / NP);
  }

  double PlotScale() const override {
    constexpr int kSteps = 720;
    double largest_x = 1, largest_ordinate = 0;
    for (int k = 0; k < kSteps; ++k) {
      const ContourPoint p = KarmanTrefftzPoint(section_, section_.beta - 2 * kPi * k / kSteps);
      largest_x = std::max(largest_x, p.x);
      largest_ordinate = std::max(largest_ordinate, std::fabs(p.y));
    }
    return PlotScaleForExtent(largest_x, largest_ordinate);
  }

  std::optional<ExactSolution> Exact(const Module_Common& C,
                                     const FlowConditions& flow) const override {
    ExactSolution exact;
    exact.kind = ExactSolution::Kind::kContinuous;
    // Without circulation the panel method solves the flow without any; with either
    // vortex model the Kutta-type row asks for the flow that leaves the edge smoothly.
    const double gamma =
        flow.vortex == VortexModel::kNone
            ? 0
            : KarmanTrefftzKuttaCirculation(section_, flow.cos_alfa, flow.sin_alfa);
    exact.cl = 2 * gamma / section_.chord;
    exact.cm = KarmanTrefftzMomentCoefficient(section_, flow.cos_alfa, flow.sin_alfa, gamma);
    const double dTheta = (2 * C.Pi) / C.NP;
    for (int i = 1; i <= C.NP; ++i) {
      const double theta = section_.beta - dTheta * (i - 0.5);
      exact.one_minus_cp.push_back(
          KarmanTrefftzOneMinusCp(section_, theta, flow.cos_alfa, flow.sin_alfa, gamma));
    }
    return exact;
  }

  // At the mid-angles of equal steps round the circle: the trailing edge itself, where
  // the speed is 0 / 0 on the circle's side of the map, is never evaluated.
  std::vector<ExactSurfacePoint> ExactSurface(const FlowConditions& flow,
                                              int points) const override {
    const double gamma =
        flow.vortex == VortexModel::kNone
            ? 0
            : KarmanTrefftzKuttaCirculation(section_, flow.cos_alfa, flow.sin_alfa);
    std::vector<ExactSurfacePoint> curve;
    for (int k = 0; k < points; ++k) {
      const double theta = section_.beta + 2 * kPi * (k + 0.5) / points;
      const ContourPoint p = KarmanTrefftzPoint(section_, theta);
      curve.push_back(
          {p.x, p.y,
           1 - KarmanTrefftzOneMinusCp(section_, theta, flow.cos_alfa, flow.sin_alfa, gamma)});
    }
    return curve;
  }

 private:
  KarmanTrefftzSection section_;
};

}  // namespace

std::string KarmanTrefftzProblem(const KarmanTrefftzParameters& p) {
  if (!std::isfinite(p.XC) || !std::isfinite(p.YC) || !std::isfinite(p.TAU)) {
    return "XC, YC and TAU must be finite numbers";
  }
  if (!(p.XC < 0)) {
    return "XC must be below 0: the circle through zeta = 1 must enclose zeta = -1, or the "
           "map folds the contour";
  }
  if (std::fabs(p.XC) > kLargestCentre || std::fabs(p.YC) > kLargestCentre) {
    return "XC and YC must lie between -1000 and 1000";
  }
  if (!(p.TAU >= 0 && p.TAU < 180)) {
    return "the trailing-edge angle TAU must be at least 0 and below 180 degrees";
  }
  if (EnclosesNoArea(MakeKarmanTrefftzSection(p))) {
    return "the section is too thin: its contour encloses almost no area; take XC further "
           "below 0";
  }
  return {};
}

KarmanTrefftzSection MakeKarmanTrefftzSection(const KarmanTrefftzParameters& parameters) {
  KarmanTrefftzSection s;
  s.parameters = parameters;
  s.centre = Complex(parameters.XC, parameters.YC);
  const Complex to_edge = Complex(1, 0) - s.centre;
  s.R = std::abs(to_edge);
  s.beta = std::arg(to_edge);
  s.n = 2 - parameters.TAU / 180;
  s.x_min = LeastX(s);
  s.chord = s.n - s.x_min;
  return s;
}

Complex KarmanTrefftzMap(const KarmanTrefftzSection& s, Complex zeta) {
  if (IsJoukowski(s)) return zeta + 1.0 / zeta;
  // w lies in the half-plane of the image circle: its argument stays within (-pi, pi),
  // so the principal power is continuous round the contour.
  const Complex w = (zeta - 1.0) / (zeta + 1.0);
  const Complex W = std::pow(w, s.n);
  return s.n * (1.0 + W) / (1.0 - W);
}

Complex KarmanTrefftzMapDerivative(const KarmanTrefftzSection& s, Complex zeta) {
  if (IsJoukowski(s)) return 1.0 - 1.0 / (zeta * zeta);
  // dz/dW = 2 n / (1 - W)^2, dW/dw = n W / w, dw/dzeta = 2 / (zeta + 1)^2, and
  // w (zeta + 1)^2 = zeta^2 - 1.
  const Complex w = (zeta - 1.0) / (zeta + 1.0);
  const Complex W = std::pow(w, s.n);
  const Complex one_minus_W = 1.0 - W;
  return (4 * s.n * s.n) * W / (one_minus_W * one_minus_W * (zeta * zeta - 1.0));
}

ContourPoint KarmanTrefftzPoint(const KarmanTrefftzSection& s, double theta) {
  const Complex z = KarmanTrefftzMap(s, CirclePoint(s, theta));
  return {(z.real() - s.n) / s.chord + 1, z.imag() / s.chord};
}

double KarmanTrefftzKuttaCirculation(const KarmanTrefftzSection& s, double cos_alfa,
                                     double sin_alfa) {
  // sin(alpha - beta)
  const double sin_alpha_minus_beta = sin_alfa * std::cos(s.beta) - cos_alfa * std::sin(s.beta);
  return 4 * kPi * s.R * sin_alpha_minus_beta;
}

double KarmanTrefftzLiftCoefficient(const KarmanTrefftzSection& s, double cos_alfa,
                                    double sin_alfa) {
  return 2 * KarmanTrefftzKuttaCirculation(s, cos_alfa, sin_alfa) / s.chord;
}

double KarmanTrefftzMomentCoefficient(const KarmanTrefftzSection& s, double cos_alfa,
                                      double sin_alfa, double gamma) {
  const double a1 = (s.n * s.n - 1) / 3;
  const double sin_2alpha = 2 * sin_alfa * cos_alfa;
  // Re(zc e^(-i alpha)): the lever of the lift, which acts through the circle's centre.
  const double lever = s.centre.real() * cos_alfa + s.centre.imag() * sin_alfa;
  const double moment_origin_ccw = gamma * lever - 2 * kPi * a1 * sin_2alpha;
  // The lift gamma (rho = 1) acts across the stream, (-sin a, cos a); about the quarter
  // chord its lever arm along x changes by -x_qc.
  const double x_quarter = s.n - 0.75 * s.chord;
  const double moment_quarter_ccw = moment_origin_ccw - x_quarter * gamma * cos_alfa;
  return -2 * moment_quarter_ccw / (s.chord * s.chord);  // nose-up positive
}

double KarmanTrefftzOneMinusCp(const KarmanTrefftzSection& s, double theta, double cos_alfa,
                               double sin_alfa, double gamma) {
  const double sin_theta_minus_alpha = std::sin(theta) * cos_alfa - std::cos(theta) * sin_alfa;
  const double circle_speed = std::fabs(2 * sin_theta_minus_alpha + gamma / (2 * kPi * s.R));
  const double speed =
      circle_speed / std::abs(KarmanTrefftzMapDerivative(s, CirclePoint(s, theta)));
  return speed * speed;
}

void Geometry_KarmanTrefftz(Module_Common& C, const KarmanTrefftzSection& s) {
  C.RefLength = 1;
  const int NP = RealToIndex(C.NP);
  const std::vector<ContourPoint> nodes = Nodes(s, NP, (2 * C.Pi) / C.NP);
  for (int k = 0; k <= NP; ++k) {
    C.X(2, k) = C.RefLength * nodes[k].x;
    C.Y(2, k) = C.RefLength * nodes[k].y;
  }
  for (int i = 1; i <= NP; ++i) {
    C.X(1, i) = C.X(2, i - 1);
    C.Y(1, i) = C.Y(2, i - 1);
  }
}

BodyPtr KarmanTrefftzBody(const KarmanTrefftzParameters& parameters) {
  return std::make_shared<KarmanTrefftzBodyImpl>(parameters);
}

}  // namespace velquin
