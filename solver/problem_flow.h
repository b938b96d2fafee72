// The flow field of a solved general panel problem (solver/panel_problem.h): the
// velocity at any point of the plane, in the frame of the problem's panels (above a
// ground plane: the turned configuration, the free stream (1, 0) along the ground).
//
//   V(p) = free stream + sum_j q_j Vs_j(p) + sum_e vortex_e(p) + images,
// Vs_j the field of source panel j at unit strength (the panel kernel), an element's
// constant vortex sheet the field of its source panels at unit strength turned a quarter
// turn clockwise, the point vortex of a single element counter-clockwise positive. Above
// a ground plane y = g every singularity has its mirror image, whose field at p is
// M W(M p) with M the mirror in the ground (the mirror turns a vortex's sense).
#pragma once

#include <optional>
#include <vector>

#include "solver/flow_field.h"
#include "solver/panel_problem.h"

namespace velquin {

// The velocity at (x, y) for the solution; nothing where the point is singular (on an
// end of a panel or on the point vortex). The solution must be one of `system`.
std::optional<FlowVelocity> ProblemVelocityAt(const PanelSystem& system,
                                              const ProblemSolution& solution, double x, double y);

// The elements' contours as closed polygons, node k - 1 the start of the element's panel k.
std::vector<Contour> ProblemContours(const ProblemPanels& panels);

}  // namespace velquin
