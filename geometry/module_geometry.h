// Module_Geometry: the contour nodes of the body, NP straight panels joined end to end,
// clockwise from (RefLength, 0) along the lower side first, so that the left-hand normal
// of every panel points out of the body.
#pragma once

#include <vector>

#include "base/module_common.h"
#include "geometry/body.h"

namespace velquin {

// Circle of diameter RefLength = 1 centred at (0.5, 0); node i at angle -i * 2 pi / NP
// seen from the centre.
void Geometry_Circle(Module_Common& C);

// NACA 0012 section of chord RefLength = 1, cosine-spaced: panels 1..NP/2 on the lower
// side from the trailing to the leading edge, panel NP + 1 - i the mirror of panel i.
void Geometry_NACA0012(Module_Common& C);

// Their nodes 0..NP at any panel count (Body::ContourNodes), with the given Pi.
std::vector<ContourPoint> Geometry_CircleNodes(double NP, double Pi);
std::vector<ContourPoint> Geometry_NACA0012Nodes(double NP, double Pi);

// Sets the nodes of panels 1..NP from the contour's nodes 0..NP: X(2, k) = RefLength
// times node k, and each panel's start node the end node of the one before.
void Geometry_SetNodes(Module_Common& C, const std::vector<ContourPoint>& nodes);

}  // namespace velquin
