#include "app/explorer_exact.h"

#include <cmath>

namespace velquin {
namespace {

// Points of the smooth curve: fine enough that the suction peak of a thin ellipse or a
// sharp leading edge is drawn without corners at any chart size.
constexpr int kCurvePoints = 720;

FlowConditions FlowOf(const ExplorerGeometry& g, const ExplorerFrame& f) {
  return {f.cos_alfa, f.sin_alfa, g.inputs.circulation ? g.inputs.vortex : VortexModel::kNone,
          g.C->Xv, g.C->Yv};
}

}  // namespace

ExplorerExactCoefficients ExplorerExactLiftAndMoment(const ExplorerGeometry& g,
                                                     const ExplorerFrame& f) {
  ExplorerExactCoefficients exact;
  // The exact flows are those of a single body; a configuration of the general problem
  // (placed elements, flaps, a ground) has none.
  if (g.problem_inputs) return exact;
  if (g.inputs.body == CircleBody()) {
    const double cl = g.inputs.circulation ? 4 * PiConstant() * f.sin_alfa : 0.0;
    exact.cl = cl;
    exact.cm = -0.25 * cl * f.cos_alfa;
    return exact;
  }
  exact.cl = f.results.cl_exact;
  exact.cm = f.results.cm_exact;
  return exact;
}

ExplorerExactCurve ExplorerExactPressure(const ExplorerGeometry& g, const ExplorerFrame& f) {
  ExplorerExactCurve curve;
  if (g.problem_inputs) return curve;
  if (!f.exact_curve_x.empty()) {
    curve.x = f.exact_curve_x;
    curve.cp = f.exact_curve_cp;
    return curve;
  }
  for (const ExactSurfacePoint& p : g.inputs.body->ExactSurface(FlowOf(g, f), kCurvePoints)) {
    curve.x.push_back(g.C->RefLength * p.x);
    curve.cp.push_back(p.cp);
  }
  return curve;
}

}  // namespace velquin
