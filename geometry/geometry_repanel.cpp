// Re-panelling a section: a spline through its nodes in arc length, new nodes spaced
// finely towards both edges.
//
// The spline is GSL's natural cubic spline (gsl_interp_cspline), one for x(s) and one
// for y(s), s the arc length of the polygon of the file's points. A cubic spline in arc
// length is what airfoil codes use for this (XFOIL among them): it is twice continuously
// differentiable, so the re-panelled contour has no kinks the file did not have, and
// GSL's is a well-kept implementation of the tridiagonal solve and of the evaluation.
// The spline runs from the trailing edge round to the trailing edge and is not periodic:
// the corner of a sharp trailing edge stays a corner.
#include <gsl/gsl_spline.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "geometry/geometry_file.h"

namespace velquin {
namespace {

struct SplineFree {
  void operator()(gsl_spline* spline) const { gsl_spline_free(spline); }
};
using Spline = std::unique_ptr<gsl_spline, SplineFree>;

// One coordinate of the contour as a function of arc length.
class ArcSpline {
 public:
  ArcSpline(const std::vector<double>& arc, const std::vector<double>& values)
      : spline_(gsl_spline_alloc(gsl_interp_cspline, arc.size())), end_(arc.back()) {
    gsl_spline_init(spline_.get(), arc.data(), values.data(), arc.size());
  }
  // The value at arc length s, clamped into the spline's range.
  double operator()(double s) const {
    double value = 0;
    gsl_spline_eval_e(spline_.get(), std::clamp(s, 0.0, end_), nullptr, &value);
    return value;
  }

 private:
  Spline spline_;
  double end_;
};

// The arc length of the point furthest forward: the least x of the spline, found by a
// golden-section search between the neighbours of the node furthest forward.
double LeadingEdgeArc(const ArcSpline& x, const std::vector<double>& arc,
                      const std::vector<double>& xs) {
  const auto nearest = std::min_element(xs.begin() + 1, xs.end() - 1) - xs.begin();
  double lo = arc[nearest - 1], hi = arc[nearest + 1];
  const double ratio = (std::sqrt(5.0) - 1) / 2;
  double a = hi - ratio * (hi - lo), b = lo + ratio * (hi - lo);
  double xa = x(a), xb = x(b);
  for (int step = 0; step < 200 && hi - lo > 1e-14 * arc.back(); ++step) {
    if (xa < xb) {
      hi = b;
      b = a;
      xb = xa;
      a = hi - ratio * (hi - lo);
      xa = x(a);
    } else {
      lo = a;
      a = b;
      xa = xb;
      b = lo + ratio * (hi - lo);
      xb = x(b);
    }
  }
  return (lo + hi) / 2;
}

// The new panels must follow the file's contour, not merely pass through some points of
// it. A smooth contour strays from the chord of one panel by a fraction of the panel's
// length (a quarter of it for a quarter circle, half for a semicircle); a spline that
// strays further between two new nodes swings through wiggles of the file (a zigzag, a
// ragged digitisation) finer than the panels can follow, and a contour through the
// points where the nodes happen to fall is not the file's section. Strays below 0.1 %
// of the chord are let through whatever the panel's length: the rounding of a file's
// last digit near the tiny panels at the edges is no wiggle the flow would notice.
constexpr double kLeastStray = 1e-3;

// The first of the file's nodes (the spline's knots: arc length arc[k], at xs[k], ys[k])
// that lies further from the new panel over it than both the panel's length and
// kLeastStray; -1 when none does. New node j lies at arc length at[j] and at
// (nx[j], ny[j]); the last panel runs from the last node back to node 0.
int StrayNode(const std::vector<double>& arc, const std::vector<double>& xs,
              const std::vector<double>& ys, const std::vector<double>& at,
              const std::vector<double>& nx, const std::vector<double>& ny) {
  const std::size_t nodes = nx.size();
  std::size_t j = 0;  // the panel over knot k
  for (std::size_t k = 0; k < arc.size(); ++k) {
    while (j + 1 < nodes && at[j + 1] < arc[k]) ++j;
    const std::size_t next = (j + 1) % nodes;
    const double dx = nx[next] - nx[j], dy = ny[next] - ny[j];
    const double length = std::hypot(dx, dy);
    // The distance from knot k to the panel: along it clamped to its ends, then across.
    const double along =
        std::clamp(((xs[k] - nx[j]) * dx + (ys[k] - ny[j]) * dy) / (length * length), 0.0, 1.0);
    const double stray = std::hypot(xs[k] - nx[j] - along * dx, ys[k] - ny[j] - along * dy);
    if (stray > std::max(length, kLeastStray)) return static_cast<int>(k);
  }
  return -1;
}

// Cosine spacing from 0 to 1 at step k of `steps`: fine at both ends.
double CosineStep(int k, int steps) {
  return (1 - std::cos(3.14159265358979323846 * k / steps)) / 2;
}

}  // namespace

std::optional<SectionPoints> RepanelSection(const SectionPoints& section, int NP,
                                            std::string& error) {
  // The closed polygon: nodes 0..n-1 and node 0 again, in arc length.
  const int n = section.NodeCount();
  std::vector<double> arc(n + 1, 0), xs(n + 1), ys(n + 1);
  for (int k = 0; k <= n; ++k) {
    xs[k] = section.x[k % n];
    ys[k] = section.y[k % n];
    if (k > 0) arc[k] = arc[k - 1] + std::hypot(xs[k] - xs[k - 1], ys[k] - ys[k - 1]);
    // The spline needs arc lengths that grow: points closer than the rounding of the
    // arc length so far cannot be told apart along it.
    if (k > 0 && !(arc[k] > arc[k - 1])) {
      error = section.source + ", line " + std::to_string(section.line[k - 1]) +
              ": the points from this line on lie too close together to be re-panelled";
      return std::nullopt;
    }
  }
  const ArcSpline x(arc, xs), y(arc, ys);
  const double total = arc.back();
  const double leading = LeadingEdgeArc(x, arc, xs);

  SectionPoints out;
  out.name = section.name;
  out.source = section.source;
  out.file_points = section.file_points;
  std::vector<double> at = {0};  // the arc length of each new node
  auto add = [&](double s) {
    out.x.push_back(x(s));
    out.y.push_back(y(s));
    out.line.push_back(0);
    at.push_back(s);
  };
  out.x.push_back(section.x[0]);  // the trailing edge exactly
  out.y.push_back(section.y[0]);
  out.line.push_back(section.line[0]);
  const int lower = NP / 2, upper = NP - lower;
  for (int k = 1; k <= lower; ++k) add(leading * CosineStep(k, lower));
  for (int k = 1; k < upper; ++k) add(leading + (total - leading) * CosineStep(k, upper));
  const int stray = StrayNode(arc, xs, ys, at, out.x, out.y);
  if (stray >= 0) {
    error = section.source + ", line " + std::to_string(section.line[stray % n]) +
            ": the point lies further from the " + std::to_string(NP) +
            "-panel contour than the panel over it is long: the contour wiggles finer than the "
            "panels can follow";
    return std::nullopt;
  }

  // The spline's leading edge lies a little ahead of the file's: back to x = 0.
  const double x_te = out.x[0];
  const double x_le = *std::min_element(out.x.begin(), out.x.end());
  const double chord = x_te - x_le;
  for (int k = 0; k < NP; ++k) {
    out.x[k] = 1 + (out.x[k] - x_te) / chord;
    out.y[k] = out.y[k] / chord;
  }
  // A spline through points of wildly different spacing can overflow; and the new
  // nodes must make panels of their own length that do not cross.
  bool unusable = false;
  for (int k = 0; k < NP; ++k) {
    const int next = (k + 1) % NP;
    unusable = unusable || !std::isfinite(out.x[k]) || !std::isfinite(out.y[k]) ||
               (out.x[k] == out.x[next] && out.y[k] == out.y[next]);
  }
  if (unusable) {
    error = section.source + ": the spline through its points cannot be re-panelled with " +
            std::to_string(NP) + " panels";
    return std::nullopt;
  }
  if (SectionCrossing(out)) {
    error = section.source + ": the spline through its points crosses itself with " +
            std::to_string(NP) + " panels";
    return std::nullopt;
  }
  return out;
}

}  // namespace velquin
