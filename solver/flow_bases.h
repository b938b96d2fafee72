// The two base solutions of a geometry: the strengths for the free streams (1, 0) and
// (0, 1). The matrix is assembled and eliminated once and solved for both right-hand
// sides, as an angle sweep solves its block of angles (solver/angle_solution.h); the
// strengths at any angle are then cos a Q0 + sin a Q90 (solver/flow_field.h).
#pragma once

#include <optional>

#include "base/module_common.h"
#include "solver/flow_field.h"
#include "solver/run_inputs.h"

namespace velquin {

// From the panels of C (Panel_ComputeGeometry done; NP, NEq, NRhs, Xv and Yv set for
// the inputs), which it does not change. Returns nothing after a zero pivot. Throws
// RunError where a run would: a control point on an end of another panel, the point
// vortex on a control point, strengths that are not finite.
std::optional<FlowBases> SolveFlowBases(const Module_Common& C, const RunInputs& inputs);

// The same from a state whose matrix is already assembled and eliminated for the inputs
// (InfluCoeff_Fill, Gauss_Factor), so that a caller who keeps the factored matrix for
// further right-hand sides (the boundary layers' transpiration) eliminates only once.
FlowBases SolveFactoredFlowBases(const Module_Common& factored, const RunInputs& inputs);

}  // namespace velquin
