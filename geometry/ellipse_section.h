// The elliptic section of thickness ratio t: major axis 1 along x (the chord), from the
// leading edge (0, 0) to the rear point (1, 0), minor axis t. Its potential flow is known
// exactly: the ellipse is the Joukowski image z = zeta + k^2 / zeta of the circle of
// radius rho = (a + b) / 2 about the centre, a = 1/2 and b = t/2 the semi-axes, the point
// of eccentric angle theta, (1/2 + a cos theta, b sin theta), the image of the circle's
// point at the same angle (Milne-Thomson, Theoretical Hydrodynamics, the elliptic
// cylinder).
//
// Unit free stream at the angle alpha, circulation Gamma (clockwise) fixed by a
// Kutta-type condition at the rear point (theta = 0), or none:
//   surface speed q = (a + b) |sin(theta - alpha) + K sin(alpha)| /
//                     sqrt(a^2 sin^2 theta + b^2 cos^2 theta),  K = 1 with it, 0 without;
//   Gamma = 2 pi (a + b) sin(alpha) K, so Cl = 2 Gamma / 1 = 2 pi (1 + t) sin(alpha) K;
//   the moment about the centre, counter-clockwise, is -2 pi k^2 sin(2 alpha) with
//   k^2 = (a^2 - b^2) / 4 whatever the circulation (the Munk couple), and the lift acts
//   through the centre: about the quarter chord, nose-up,
//   Cm = (pi / 4)(1 - t^2) sin(2 alpha) - (Cl / 4) cos(alpha),
//   which with the Kutta circulation is -(pi / 4) t (1 + t) sin(2 alpha).
#pragma once

#include <string>
#include <vector>

#include "geometry/body.h"

namespace velquin {

// Why t makes no ellipse, empty when it does: 0 < t <= 1 (t = 1 is the circle of
// diameter 1) and at least 0.001, below which the two sides' panels lie closer than the
// rounding of the control points can tell apart.
std::string EllipseProblem(double t);

// The exact surface speed at the eccentric angle theta, the lift and quarter-chord
// moment coefficients (chord 1), with the rear-point Kutta circulation when `kutta` is
// set and without circulation otherwise.
double EllipseSurfaceSpeed(double t, double theta, double cos_alfa, double sin_alfa, bool kutta);
double EllipseLiftCoefficient(double t, double sin_alfa, bool kutta);
double EllipseMomentCoefficient(double t, double cos_alfa, double sin_alfa, bool kutta);

// The nodes 0..NP at equal steps of the eccentric angle, theta_k = -2 pi k / NP, from
// the rear point clockwise, lower side first; nodes 0 and NP exactly (1, 0).
std::vector<ContourPoint> Geometry_EllipseNodes(double t, int NP, double Pi);

// The body "ellipse:T". Its exact solution compares panel i with the point of the true
// contour at the mid-angle theta = -2 pi (i - 1/2) / NP, just outside the panel's midpoint;
// either vortex model asks for the Kutta circulation, none for the flow without.
BodyPtr EllipseBody(double t);

}  // namespace velquin
