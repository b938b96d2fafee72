// Gaussian elimination of one matrix for many right-hand sides.
//
// Gauss_Solve eliminates the augmented matrix [A | b] in place. The row operations of
// step k, A(i, j) = A(i, j) - f * (A(k, j) / A(k, k)) with f = A(i, k), depend on the
// coefficient block alone; the right-hand side only follows them. So the block can be
// eliminated once, keeping the factors f, and the same operations applied later to any
// number of right-hand sides, in the same order and with the same rounding: every
// solution has the very bits that Gauss_Solve would give for its right-hand side.
#pragma once

#include "base/module_common.h"

namespace velquin {

// Eliminates rows and columns 1..N of A exactly as Gauss_Solve does (column N + 1 is
// neither read nor written), but keeps below the diagonal the factor f = A(i, k) of
// each step instead of the zero that Gauss_Solve stores there. Returns false at a zero
// diagonal element (the last one included), A then partly eliminated. N must be a whole
// number in 1..199 (else RunError).
bool Gauss_Factor(double N, Matrix& A);

// Solves the N equations factored by Gauss_Factor for `count` right-hand sides at once.
// rhs holds N rows of `count` values each (right-hand side c of equation i at
// rhs[(i - 1) * count + c]); each column is replaced by its solution. count is 1..201
// (else RunError); longer sweeps go in blocks.
void Gauss_SolveFactored(double N, const Matrix& A, double* rhs, int count);

}  // namespace velquin
