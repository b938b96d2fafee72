// Kármán–Trefftz sections, and Joukowski's as the case of a cusped trailing edge: the
// conformal image of a circle, so that the potential flow past them is known exactly.
//
// The circle of the zeta-plane has its centre at zc = (XC, YC) and passes through
// zeta = 1: radius R = |1 - zc|; zeta = 1 lies at the angle beta = arg(1 - zc) seen from
// the centre. The map
//
//   z = n ((zeta + 1)^n + (zeta - 1)^n) / ((zeta + 1)^n - (zeta - 1)^n),   n = 2 - tau / pi,
//
// evaluated as (z - n) / (z + n) = w^n with w = (zeta - 1) / (zeta + 1), turns the
// circle into a section whose trailing edge, the image of zeta = 1, lies at z = n and has
// the angle tau between its two sides (TAU = tau in degrees, so n = 2 - TAU / 180). With
// TAU = 0, n = 2 and the map is Joukowski's z = zeta + 1/zeta, with a cusp at z = 2.
// The circle must enclose zeta = -1, which is XC < 0: the image of the circle under
// w = (zeta - 1) / (zeta + 1) is then a circle through w = 0, seen from 0 within less than
// a half turn, and w^n (n < 2) keeps it a simple curve. Far from the body
// dz/dzeta -> 1, so the free stream of the zeta-plane is that of the z-plane, the same
// speed and the same angle.
//
// The section is then moved and scaled, not turned, so that the trailing edge lies at
// (1, 0) and the point of least x (the leading edge) at x = 0: chord c = n - x_min, the
// unit-chord section is (z - n) / c + 1. Scaling a flow leaves its velocities as they
// are; the circulation scales with c.
//
// Exact flow, unit free stream at the angle alpha: on the circle zeta = zc + R e^(i theta)
// the speed is |2 sin(theta - alpha) + Gamma / (2 pi R)|, Gamma the circulation counted
// clockwise; the Kutta condition puts the rear stagnation point at zeta = 1:
// Gamma = 4 pi R sin(alpha - beta). The speed on the section is the circle's divided by
// |dz/dzeta|, and the lift coefficient is Cl = 2 Gamma / c (Kutta–Joukowski).
#pragma once

#include <complex>
#include <optional>
#include <string>
#include <string_view>

#include "geometry/body.h"
#include "geometry/naca_contour.h"

namespace velquin {

struct KarmanTrefftzParameters {
  double XC = -0.1, YC = 0;  // centre of the circle in the zeta-plane
  double TAU = 0;            // trailing-edge angle, degrees: 0 <= TAU < 180
};

// Why these parameters make no section, empty when they do: XC must be negative (the
// circle must enclose zeta = -1, or the map folds the contour), 0 <= TAU < 180, every
// value finite, the centre within 1000 of the origin (further out the arithmetic of the
// map loses all its digits).
std::string KarmanTrefftzProblem(const KarmanTrefftzParameters& parameters);

// The section worked out once from valid parameters.
struct KarmanTrefftzSection {
  KarmanTrefftzParameters parameters;
  std::complex<double> centre;
  double R = 0;      // radius of the circle
  double beta = 0;   // angle of zeta = 1 seen from the centre
  double n = 2;      // exponent of the map
  double x_min = 0;  // least x of the mapped contour, before scaling
  double chord = 0;  // n - x_min
};
KarmanTrefftzSection MakeKarmanTrefftzSection(const KarmanTrefftzParameters& parameters);

// The map z(zeta) and its derivative dz/dzeta, before moving and scaling.
std::complex<double> KarmanTrefftzMap(const KarmanTrefftzSection& s, std::complex<double> zeta);
std::complex<double> KarmanTrefftzMapDerivative(const KarmanTrefftzSection& s,
                                                std::complex<double> zeta);

// The point of the unit-chord section that is the image of the circle's point at the
// angle theta (seen from the centre).
ContourPoint KarmanTrefftzPoint(const KarmanTrefftzSection& s, double theta);

// The Kutta circulation for the unit free stream (cos_alfa, sin_alfa) in the units of the
// zeta-plane, clockwise positive, and the exact lift coefficient 2 Gamma / c.
double KarmanTrefftzKuttaCirculation(const KarmanTrefftzSection& s, double cos_alfa,
                                     double sin_alfa);
double KarmanTrefftzLiftCoefficient(const KarmanTrefftzSection& s, double cos_alfa,
                                    double sin_alfa);

// The exact quarter-chord moment coefficient (about (0.25, 0) of the unit-chord section,
// nose-up positive) for the unit free stream and the clockwise circulation gamma
// (zeta-plane units). Blasius' theorem carried to the circle's plane and evaluated as the
// residue at infinity (as in Milne-Thomson, Theoretical Aerodynamics): with
// z = zeta + a1 / zeta + ... far out (a1 = (n^2 - 1) / 3 for this map, 1 for Joukowski's)
// the counter-clockwise moment about z = 0 is
//   M0 = rho Gamma Re(zc e^(-i alpha)) - 2 pi rho a1 sin(2 alpha),
// the lift rho Gamma acting through the circle's centre plus the circulation-free couple
// of the map (on the flat plate, zc = 0 and a1 = c^2 / 16, it puts the lift at the quarter
// chord). Moved to the quarter chord z = n - 0.75 c and divided by 1/2 rho c^2.
double KarmanTrefftzMomentCoefficient(const KarmanTrefftzSection& s, double cos_alfa,
                                      double sin_alfa, double gamma);

// The exact 1 - Cp = q^2 at the image of the circle's point at the angle theta, for the
// unit free stream and the clockwise circulation gamma (zeta-plane units).
double KarmanTrefftzOneMinusCp(const KarmanTrefftzSection& s, double theta, double cos_alfa,
                               double sin_alfa, double gamma);

// The contour procedure: RefLength = 1 and node k at the image of the circle's point at
// theta_k = beta - 2 pi k / NP, k = 0..NP: equal angle steps from the trailing edge,
// clockwise, lower side first; nodes 0 and NP are exactly (1, 0).
void Geometry_KarmanTrefftz(Module_Common& C, const KarmanTrefftzSection& s);

// The body. Its exact solution: the lift coefficient with the Kutta circulation (zero
// without circulation), and for panel i the exact 1 - Cp at the image of the circle's
// point at the mid-angle of the panel's two nodes, theta = beta - 2 pi (i - 1/2) / NP: a
// point of the true contour just outside the panel's midpoint.
BodyPtr KarmanTrefftzBody(const KarmanTrefftzParameters& parameters);

}  // namespace velquin
