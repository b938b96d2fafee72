#include "solver/module_gauss.h"

#include <array>
#include <cmath>

#include "shell/run_error.h"

namespace velquin {

int CheckedEquationCount(double N) {
  if (!(N >= 1 && N <= kMaxIndex - 1) || N != std::floor(N)) {
    throw RunError(ErrorKind::kSubscriptOutOfRange,
                   "the number of equations must be a whole number from 1 to 199.");
  }
  return static_cast<int>(N);
}

bool Gauss_Eliminate(int n, int last_column, bool keep_factors, Matrix& A,
                     CalculationWindow& window) {
  // In step k every row i below uses the same quotients A(k, j) / A(k, k); they are
  // formed once per step, which gives the very same bits as forming them for every row.
  // Without kept factors column k is updated too: A(i, k) - f * 1 stores an exact zero.
  std::array<double, kArraySize> quotient;
  for (int k = 1; k < n; ++k) {
    const double* pivot_row = A.Row(k);
    const double pivot = pivot_row[k];
    if (pivot == 0) {
      window.MsgBox(kZeroPivotMessage);
      return false;
    }
    const int first_column = keep_factors ? k + 1 : k;
    for (int j = first_column; j <= last_column; ++j) quotient[j] = pivot_row[j] / pivot;
    for (int i = k + 1; i <= n; ++i) {
      double* row = A.Row(i);
      const double f = row[k];
      for (int j = first_column; j <= last_column; ++j) row[j] = row[j] - f * quotient[j];
    }
  }
  // The last diagonal element is no pivot of the elimination, but back solving divides
  // by it all the same.
  if (A(n, n) == 0) {
    window.MsgBox(kZeroPivotMessage);
    return false;
  }
  return true;
}

bool Gauss_Solve(double N, Matrix& A, Vector& Q, CalculationWindow& window) {
  const int n = CheckedEquationCount(N);
  const int rhs = n + 1;
  // Forward elimination, no pivoting, the right-hand side column included.
  if (!Gauss_Eliminate(n, rhs, /*keep_factors=*/false, A, window)) return false;

  // Back solving, bottom row first; each sum runs from j = k + 1 upwards.
  Q(n) = A(n, rhs) / A(n, n);
  for (int k = n - 1; k >= 1; --k) {
    const double* row = A.Row(k);
    double s = 0;
    for (int j = k + 1; j <= n; ++j) s = s + Q(j) * row[j];
    Q(k) = (row[rhs] - s) / row[k];
  }
  return true;
}

}  // namespace velquin
