// A sweep over angles of attack with the body, the panels and the vortex model fixed.
//
// Only the free stream depends on the angle: the influence coefficients, the vortex
// column and the left-hand side of the Kutta-type row do not. The sweep therefore
// assembles the matrix once, eliminates it once (Gauss_Factor) and then, for blocks of
// angles, forms the free-stream terms, solves, and computes the surface speeds and the
// derived results, with the very functions a calculation run uses for its one angle
// (solver/angle_solution.h): each angle gets the bits a separate run would give.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "base/module_common.h"
#include "solver/derived_results.h"
#include "solver/run_inputs.h"

namespace velquin {

// The solution at one angle of a sweep, as a run at that angle leaves it in the state.
// The references are valid during the call of the observer only.
struct AngleSolution {
  double alpha_degrees;
  double CosAlfa, SinAlfa;
  const Vector& Q;   // Q(1..NEq)
  const Vector& Vt;  // Vt(1..NP)
  const Vector& Cu;  // Cu(1..NP)
  const DerivedResults& results;
};
using AngleObserver = std::function<void(std::size_t index, const AngleSolution&)>;

// Sweeps the angles (in degrees, turned into radians as the run turns its input) on the
// panels of C, which must hold a completed run with these inputs (the angle of that run
// does not matter). C is not changed. Calls observe, when given, for every angle in
// order. Returns the derived results of every angle, or nothing after a zero pivot (the
// caller shows kZeroPivotMessage). Throws RunError as a run would: a kernel or vortex
// error of the assembly, or a solution that is not finite.
std::optional<std::vector<DerivedResults>> SweepAngles(const Module_Common& C,
                                                       const RunInputs& inputs,
                                                       const std::vector<double>& alpha_degrees,
                                                       const AngleObserver& observe = {});

}  // namespace velquin
