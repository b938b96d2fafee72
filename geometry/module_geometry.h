// Module_Geometry: the contour nodes of the body, NP straight panels joined end to end,
// clockwise from (RefLength, 0) along the lower side first, so that the left-hand normal
// of every panel points out of the body.
#pragma once

#include "base/module_common.h"

namespace velquin {

// Circle of diameter RefLength = 1 centred at (0.5, 0); node i at angle -i * 2 pi / NP
// seen from the centre.
void Geometry_Circle(Module_Common& C);

// NACA 0012 section of chord RefLength = 1, cosine-spaced: panels 1..NP/2 on the lower
// side from the trailing to the leading edge, panel NP + 1 - i the mirror of panel i.
void Geometry_NACA0012(Module_Common& C);

}  // namespace velquin
