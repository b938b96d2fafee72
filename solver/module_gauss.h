// Module_Gauss: Gaussian elimination without pivoting, then back substitution.
//
// A zero diagonal element is reported by the return value; the caller shows
// kZeroPivotMessage (after closing what it was writing), so that the solver itself
// never waits on a message box.
#pragma once

#include "base/module_common.h"

namespace velquin {

// The message shown for a zero diagonal element (Turkish, leading blank included).
inline constexpr const char* kZeroPivotMessage = " s\u0131f\u0131r diyagonal eleman\u0131";

// Solves the N equations held in rows and columns 1..N of A, column N + 1 the right-hand
// side, into Q(1..N), reducing A in place to upper-triangular form. Row operations only,
// no pivoting: A(i, j) = A(i, j) - f * (A(k, j) / A(k, k)), f = A(i, k).
// A zero diagonal element (any step, the last included) leaves Q untouched and returns
// false. N must be a whole number in 1..199 (else RunError).
bool Gauss_Solve(double N, Matrix& A, Vector& Q);

// The forward elimination of Gauss_Solve on rows 1..n, columns up to last_column (n + 1
// to carry the right-hand side along, n to leave it out). With keep_factors the factor
// f = A(i, k) of each step stays below the diagonal instead of the zero Gauss_Solve
// stores there. Returns false at a zero diagonal element (the last one included).
// n must already be checked (CheckedEquationCount).
bool Gauss_Eliminate(int n, int last_column, bool keep_factors, Matrix& A);

// Back substitution on the upper triangle of A (rows and columns 1..n) for `count`
// right-hand sides at once: x holds n rows of `count` values (right-hand side c of
// equation i at x[(i - 1) * count + c]), each column replaced by its solution. Bottom
// row first; each row's sum starts from zero and runs from j = k + 1 upwards.
void Gauss_BackSubstitute(int n, const Matrix& A, double* x, int count);

// N as an int when it is a whole number in 1..199, the sizes the arrays hold with the
// right-hand side in column N + 1; else throws RunError(kSubscriptOutOfRange).
int CheckedEquationCount(double N);

}  // namespace velquin
