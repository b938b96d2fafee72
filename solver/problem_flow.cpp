#include "solver/problem_flow.h"

#include <cmath>
#include <cstddef>

#include "base/module_common.h"
#include "base/run_error.h"

namespace velquin {
namespace {

// The field of every singularity of the solution at (x, y), without the free stream.
// False on an end of a panel or on the point vortex.
bool InducedVelocity(const InfluenceSetup& s, const std::vector<double>& q, double x, double y,
                     FlowVelocity& V) {
  const PanelView& p = s.panels;
  double u_sum = 0, v_sum = 0;
  int sheet = p.count;  // index into q of the next vortex unknown
  for (const ElementPanels& e : s.elements) {
    double u_unit = 0, v_unit = 0;  // the element's sources at unit strength
    for (int j = e.first; j <= e.last; ++j) {
      const double dX = x - p.Xc[j];
      const double dY = y - p.Yc[j];
      const double xL = p.CosAx[j] * dX + p.CosBx[j] * dY;
      const double yL = p.CosAy[j] * dX + p.CosBy[j] * dY;
      double u = 0, v = 0;
      try {
        SourcePanelVelocity(s.k, xL, yL, p.Xi1[j], p.Xi2[j], u, v);
      } catch (const RunError&) {
        return false;
      }
      const double U = p.CosAx[j] * u + p.CosAy[j] * v;
      const double W = p.CosBx[j] * u + p.CosBy[j] * v;
      const double strength = q[static_cast<std::size_t>(j - 1)];
      u_sum += strength * U;
      v_sum += strength * W;
      u_unit += U;
      v_unit += W;
    }
    if (e.vortex == VortexModel::kNone) continue;
    const double gamma = q[static_cast<std::size_t>(sheet)];
    ++sheet;
    if (e.vortex == VortexModel::kConstantDistribution) {
      u_sum += gamma * v_unit;
      v_sum -= gamma * u_unit;
    } else {
      const double rx = s.Xv - x;
      const double ry = s.Yv - y;
      const double r = std::sqrt(rx * rx + ry * ry);
      if (r == 0) return false;
      u_sum += gamma * (((1 / s.k.Pi2) / r) * ry / r);
      v_sum += gamma * (((-1 / s.k.Pi2) / r) * rx / r);
    }
  }
  V = {u_sum, v_sum};
  return true;
}

}  // namespace

std::optional<FlowVelocity> ProblemVelocityAt(const PanelSystem& system,
                                              const ProblemSolution& solution, double x, double y) {
  const InfluenceSetup& s = system.Setup();
  FlowVelocity V;
  if (!InducedVelocity(s, solution.q, x, y, V)) return std::nullopt;
  double cos_a = 1, sin_a = 0;  // above a ground the free stream runs along it
  if (s.ground_y) {
    FlowVelocity image;
    if (!InducedVelocity(s, solution.q, x, 2 * *s.ground_y - y, image)) return std::nullopt;
    V.u += image.u;
    V.v -= image.v;
  } else {
    const double a = AlphaRadians(solution.alpha_degrees);
    cos_a = std::cos(a);
    sin_a = std::sin(a);
  }
  return FlowVelocity{cos_a + V.u, sin_a + V.v};
}

std::vector<Contour> ProblemContours(const ProblemPanels& panels) {
  std::vector<Contour> contours;
  for (const ElementPanels& e : panels.elements) {
    Contour c;
    for (int i = e.first; i <= e.last; ++i) {
      c.x.push_back(panels.X1[static_cast<std::size_t>(i)]);
      c.y.push_back(panels.Y1[static_cast<std::size_t>(i)]);
    }
    contours.push_back(std::move(c));
  }
  return contours;
}

}  // namespace velquin
