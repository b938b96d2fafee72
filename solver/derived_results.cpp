#include "solver/derived_results.h"

#include <cmath>

namespace velquin {

namespace {

// The largest |Cu(i) - exact(i)| over the panels; a NaN is kept, not skipped.
double LargestDeviation(const Module_Common& C, const Vector& Cu,
                        const std::vector<double>& exact) {
  double deviation = 0;
  for (int i = 1; i <= C.NP; ++i) {
    const double d = std::fabs(Cu(i) - exact.at(static_cast<std::size_t>(i - 1)));
    if (!(d <= deviation)) deviation = d;
  }
  return deviation;
}

}  // namespace

DerivedResults ComputeDerivedResults(const Module_Common& C, const RunInputs& inputs) {
  return ComputeDerivedResults(C, inputs, C.CosAlfa, C.SinAlfa, C.Q, C.Cu);
}

DerivedResults ComputeDerivedResults(const Module_Common& C, const RunInputs& inputs,
                                     double cos_alfa, double sin_alfa, const Vector& Q,
                                     const Vector& Cu) {
  DerivedResults results;
  const VortexModel model = inputs.vortex;
  const double free_stream_speed = 1;  // all velocities are in units of it

  double perimeter = 0;
  for (int j = 1; j <= C.NP; ++j) {
    results.source_sum = results.source_sum + Q(j) * C.S(j);
    perimeter = perimeter + C.S(j);
  }

  // Total circulation, clockwise positive.
  double gamma = 0;
  if (model == VortexModel::kPointVortex) gamma = -Q.at(C.NEq);
  if (model == VortexModel::kConstantDistribution) gamma = Q.at(C.NEq) * perimeter;
  results.cl_circulation = 2 * gamma / (free_stream_speed * C.RefLength);

  // Pressure force and its moment about the quarter chord, panel by panel.
  const double x_ref = 0.25 * C.RefLength;
  const double y_ref = 0;
  double force_x = 0, force_y = 0, moment_ccw = 0;
  for (int i = 1; i <= C.NP; ++i) {
    const double cp = 1 - Cu(i);
    const double fx = -cp * C.S(i) * C.CosAy(i);
    const double fy = -cp * C.S(i) * C.CosBy(i);
    force_x = force_x + fx;
    force_y = force_y + fy;
    moment_ccw = moment_ccw + ((C.Xc(i) - x_ref) * fy - (C.Yc(i) - y_ref) * fx);
  }
  const double lift = force_y * cos_alfa - force_x * sin_alfa;
  results.cl_pressure = lift / C.RefLength;
  results.cm_quarter_chord = -moment_ccw / (C.RefLength * C.RefLength);  // nose-up positive

  const FlowConditions flow{cos_alfa, sin_alfa, model, C.Xv, C.Yv};
  if (const auto exact = inputs.body->Exact(C, flow)) {
    const double deviation = LargestDeviation(C, Cu, exact->one_minus_cp);
    if (exact->kind == ExactSolution::Kind::kDiscrete) {
      results.circle_deviation = deviation;
    } else {
      results.cl_exact = exact->cl;
      results.cm_exact = exact->cm;
      results.exact_deviation = deviation;
    }
  }
  return results;
}

}  // namespace velquin
