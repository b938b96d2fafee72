#include "solver/module_gauss.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "base/run_error.h"

namespace velquin {

int CheckedEquationCount(double N) {
  if (!(N >= 1 && N <= kMaxIndex - 1) || N != std::floor(N)) {
    throw RunError(ErrorKind::kSubscriptOutOfRange,
                   "the number of equations must be a whole number from 1 to 199.");
  }
  return static_cast<int>(N);
}

bool Gauss_Eliminate(int n, int last_column, bool keep_factors, Matrix& A) {
  // In step k every row i below uses the same quotients A(k, j) / A(k, k); they are
  // formed once per step, which gives the very same bits as forming them for every row.
  // Without kept factors column k is updated too: A(i, k) - f * 1 stores an exact zero.
  std::array<double, kArraySize> quotient;
  for (int k = 1; k < n; ++k) {
    const double* pivot_row = A.Row(k);
    const double pivot = pivot_row[k];
    if (pivot == 0) return false;
    const int first_column = keep_factors ? k + 1 : k;
    for (int j = first_column; j <= last_column; ++j) quotient[j] = pivot_row[j] / pivot;
    for (int i = k + 1; i <= n; ++i) {
      double* row = A.Row(i);
      const double f = row[k];
      for (int j = first_column; j <= last_column; ++j) row[j] = row[j] - f * quotient[j];
    }
  }
  // The last diagonal element is no pivot of the elimination, but back substitution
  // divides by it all the same.
  return A(n, n) != 0;
}

void Gauss_BackSubstitute(int n, const Matrix& A, double* x, int count) {
  const auto row_of = [&](int i) { return x + static_cast<std::ptrdiff_t>(i - 1) * count; };
  double* x_n = row_of(n);
  const double last_pivot = A(n, n);
  for (int c = 0; c < count; ++c) x_n[c] = x_n[c] / last_pivot;
  std::array<double, kArraySize> s;
  for (int k = n - 1; k >= 1; --k) {
    const double* row = A.Row(k);
    double* x_k = row_of(k);
    for (int c = 0; c < count; ++c) s[c] = 0;
    for (int j = k + 1; j <= n; ++j) {
      const double a = row[j];
      const double* x_j = row_of(j);
      for (int c = 0; c < count; ++c) s[c] = s[c] + x_j[c] * a;
    }
    // Row k of x is read for the last time here, when its solution is formed.
    for (int c = 0; c < count; ++c) x_k[c] = (x_k[c] - s[c]) / row[k];
  }
}

bool Gauss_Solve(double N, Matrix& A, Vector& Q) {
  const int n = CheckedEquationCount(N);
  const int rhs = n + 1;
  // Forward elimination, no pivoting, the right-hand side column included.
  if (!Gauss_Eliminate(n, rhs, /*keep_factors=*/false, A)) return false;
  for (int i = 1; i <= n; ++i) Q(i) = A(i, rhs);
  Gauss_BackSubstitute(n, A, Q.data() + 1, 1);
  return true;
}

}  // namespace velquin
