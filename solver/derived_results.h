// Results derived from a completed calculation run: the lift from the circulation and
// from the surface pressure, the pitching moment, and two checks of the solution.
//
// Conventions. Lengths are in units of RefLength, velocities in units of the free
// stream, which flows from left to right at the angle of attack alpha:
// V = (CosAlfa, SinAlfa), |V| = 1. Coefficients are forces per unit span divided by the
// dynamic pressure 1/2 rho |V|^2 and RefLength (moments by RefLength^2).
//
//  - cl_circulation: Kutta-Joukowski, Cl = 2 Gamma / (|V| RefLength), Gamma the total
//    circulation counted clockwise (the sense that lifts a body in a flow from left to
//    right). The point vortex's strength Q(NEq) turns counter-clockwise, so
//    Gamma = -Q(NEq); the constant vortex distribution's strength per unit length turns
//    clockwise on every panel, so Gamma = Q(NEq) * (S(1) + ... + S(NP)). Without
//    circulation Cl = 0.
//  - cl_pressure: Cp = 1 - Cu at every control point, taken as constant over its panel;
//    the force on the body is F = -sum Cp(i) S(i) n(i), n(i) = (CosAy(i), CosBy(i)) the
//    outward normal, and the lift is its component along (-SinAlfa, CosAlfa),
//    perpendicular to the free stream.
//  - cm_quarter_chord: the moment of the same panel forces, each acting at its control
//    point, about (0.25 RefLength, 0), positive nose-up (clockwise in the x-y plane,
//    with the nose at x = 0 pointing upstream).
//  - source_sum: sum Q(j) S(j), the net output of all sources. The body is closed and
//    nothing flows through it, so this is zero in exact arithmetic; its size measures
//    how far the discrete solution is from closing (a discretisation error on the NACA
//    0012 section, rounding on the circle).
//  - circle_deviation: only for the circle with the point vortex exactly at its centre
//    (0.5 RefLength, 0): max over i of |Cu(i) - exact(i)|, exact(i) the exact answer of
//    the discrete problem (geometry/body.cpp). A deviation of more than rounding means
//    the solution is not sound.
//  - cl_exact, cm_exact and exact_deviation: for bodies whose exact potential flow is
//    known in closed form (Body::Exact, kind kContinuous): the exact lift coefficient,
//    the exact quarter-chord moment (nose-up positive, where the body gives it: the
//    ellipse and the mapped sections), and max over i of |Cu(i) - exact 1 - Cp(i)| at the
//    comparison points the body defines.
//
// Every sum runs over the panels in increasing order, so the results are the same bits
// on every build.
#pragma once

#include <optional>

#include "base/module_common.h"
#include "solver/run_inputs.h"

namespace velquin {

struct DerivedResults {
  double cl_circulation = 0;
  double cl_pressure = 0;
  double cm_quarter_chord = 0;
  double source_sum = 0;
  std::optional<double> circle_deviation;
  std::optional<double> cl_exact;
  std::optional<double> cm_exact;
  std::optional<double> exact_deviation;
};

// From the shared state after a completed run with these inputs: the panels (Xc, Yc,
// S, the normals), the free stream, Q and Cu.
DerivedResults ComputeDerivedResults(const Module_Common& C, const RunInputs& inputs);

// The same from the panels of C and a solution given apart from the state: the free
// stream (cos_alfa, sin_alfa), the strengths Q(1..NEq) and Cu(1..NP). The angle sweep
// uses it for every angle.
DerivedResults ComputeDerivedResults(const Module_Common& C, const RunInputs& inputs,
                                     double cos_alfa, double sin_alfa, const Vector& Q,
                                     const Vector& Cu);

}  // namespace velquin
