// The arithmetic that depends on the angle of attack, for a block of m angles at once:
// the free stream, the right-hand sides, the check of the strengths and the surface
// speeds. A calculation run calls it with one angle, the angle sweep with blocks of
// many; both thus give every angle the very same bits.
//
// Blocks are stored by rows: the value of row i (1-based) for angle c (0-based) is
// block[(i - 1) * m + c], so that every row operation runs over contiguous memory.
#pragma once

#include "base/module_common.h"

namespace velquin {

// The free-stream terms of m angles with directions (cos_alfa[c], sin_alfa[c]) at the
// control points of panels 1..NP of C:
//   tangential (NP rows): the free stream's component along each panel's tangent;
//   rhs (NEq rows): minus its component along each panel's normal, and with
//   circulation, in row NEq, minus its share of the Kutta-type row, -(t(1) + t(NP)).
void InfluCoeff_FreeStream(const Module_Common& C, bool circulation, const double* cos_alfa,
                           const double* sin_alfa, int m, double* rhs, double* tangential);

// Throws RunError(kOverflow) unless all `count` strengths are finite numbers: a system
// that is singular up to rounding gives infinities or NaNs without a zero pivot.
void CheckFiniteStrengths(const double* q, int count);

// Surface speeds of m solutions: for every panel i, the free stream's tangential part
// plus every singularity's, j = 1..NEq in increasing order (the vortex last), and the
// absolute value of that sum. q holds NEq rows of m strengths; `tangential` holds the
// free-stream terms on entry and the speeds on return.
void SurfaceSpeeds(const Module_Common& C, const double* q, int m, double* tangential);

}  // namespace velquin
