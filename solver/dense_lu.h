// Dense LU factorisation with partial pivoting, P A = L U, for the general panel problem.
//
// Blocked, right-looking: a panel of kBlock columns is factored row by row, then the
// rows to its right are solved with the panel's unit lower triangle and the trailing
// matrix updated by one matrix product. The products hold nearly all of the n^3 / 3
// multiply-adds, and they are shared between two threads in a fixed way: the columns to
// the right of a panel are always cut into the same two halves, computed on one thread
// or on two. Every entry thus gets the same operations in the same order whatever the
// number of threads, and the factors are the same to the last bit.
//
// Pivoting: at each column the row with the largest magnitude below the diagonal is
// swapped in (whole rows are swapped), as in LAPACK's dgetrf.
#pragma once

#include <cstddef>
#include <vector>

namespace velquin {

class DenseLu {
 public:
  // Factors the n x n matrix whose row i starts at a + i * stride.
  DenseLu(const double* a, std::ptrdiff_t stride, int n);

  int Size() const { return n_; }

  // The smallest and largest magnitude on the diagonal of U: a vanishing ratio marks a
  // matrix that is singular to working precision.
  double SmallestPivot() const;
  double LargestPivot() const;

  // Solves A X = B in place for m right-hand sides held row-major: b[i * m + j] is row i
  // of column j.
  void Solve(double* b, int m) const;

 private:
  int n_;
  std::vector<double> lu_;   // row-major n x n: L below the diagonal (unit), U on and above
  std::vector<int> pivots_;  // row k was swapped with row pivots_[k]
};

}  // namespace velquin
