// The 1 - Cp plot: one point per control point joined by red segments, red markers.
#pragma once

#include "base/module_common.h"
#include "base/picture.h"

namespace velquin {

// Draws Cu(1..NP) against DrawScale * X(i) into picture, DrawScale the body plot's
// factor (BodyDrawScale), so that the two pictures line up. The vertical scale runs
// from -0.1 m to 1.1 m, m the largest value (at least 0); with m = 0 (nothing above
// zero, or NP < 1) the frame and the vertical axis take a unit height instead. The curve
// is open and points 1..NP-1 carry markers. A value beyond single precision throws
// RunError(kOverflow).
void Show_Pressure(Picture& picture, double NP, const Vector& X, const Vector& Cu,
                   double DrawScale);

}  // namespace velquin
