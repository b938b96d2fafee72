// What the flow explorer shows of the exact potential flow past the body on show, beside
// the panel solution: the exact lift and quarter-chord moment coefficients and the exact
// pressure coefficient as a smooth curve round the true contour.
#pragma once

#include <optional>
#include <vector>

#include "app/flow_explorer.h"

namespace velquin {

// The exact coefficients of the continuous flow at the frame's angle, each where it is
// known: the body's own (the ellipse and the mapped sections, Body::Exact) and, for
// the circle, Cl = 4 pi sin(alpha) with circulation (the Kutta condition puts the rear
// stagnation point on the trailing edge whatever carries the circulation inside), 0
// without, and the lift acting through the centre, Cm = -(Cl / 4) cos(alpha) about the
// quarter chord, nose-up positive.
struct ExplorerExactCoefficients {
  std::optional<double> cl, cm;
};
ExplorerExactCoefficients ExplorerExactLiftAndMoment(const ExplorerGeometry& geometry,
                                                     const ExplorerFrame& frame);

// The exact Cp round the contour as (x, cp), from the trailing edge over the upper
// surface and back along the lower: the frame's own curve where it has one (the circle's
// discrete answer), otherwise the body's continuous flow (Body::ExactSurface) scaled by
// RefLength; empty where none is known.
struct ExplorerExactCurve {
  std::vector<double> x, cp;
};
ExplorerExactCurve ExplorerExactPressure(const ExplorerGeometry& geometry,
                                         const ExplorerFrame& frame);

}  // namespace velquin
