#include "solver/derived_results.h"

#include <cmath>

namespace velquin {

DerivedResults ComputeDerivedResults(const Module_Common& C, const ControlValues& controls) {
  return ComputeDerivedResults(C, controls, C.CosAlfa, C.SinAlfa, C.Q, C.Cu);
}

DerivedResults ComputeDerivedResults(const Module_Common& C, const ControlValues& controls,
                                     double cos_alfa, double sin_alfa, const Vector& Q,
                                     const Vector& Cu) {
  DerivedResults results;
  const VortexModel model = ChosenVortexModel(controls);
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

  const bool circle = controls.Option_Circle && !controls.Option_NACA12;
  const double x_centre = 0.5 * C.RefLength;
  if (circle && model == VortexModel::kPointVortex && C.Xv == x_centre && C.Yv == 0) {
    // sin(theta - alpha) from the control point's direction and the free stream's.
    const double vortex_term = sin_alfa * std::cos(C.Pi / C.NP);
    double deviation = 0;
    for (int i = 1; i <= C.NP; ++i) {
      const double dx = C.Xc(i) - x_centre;
      const double dy = C.Yc(i);
      const double r = std::sqrt(dx * dx + dy * dy);
      const double sin_theta_minus_alpha = (dy * cos_alfa - dx * sin_alfa) / r;
      const double half_speed = sin_theta_minus_alpha + vortex_term;
      const double d = std::fabs(Cu(i) - 4 * half_speed * half_speed);
      if (!(d <= deviation)) deviation = d;  // a NaN is kept, not skipped
    }
    results.circle_deviation = deviation;
  }
  return results;
}

}  // namespace velquin
