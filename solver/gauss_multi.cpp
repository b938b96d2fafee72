#include "solver/gauss_multi.h"

#include <string>

#include "shell/run_error.h"
#include "solver/module_gauss.h"

namespace velquin {

bool Gauss_Factor(double N, Matrix& A, CalculationWindow& window) {
  const int n = CheckedEquationCount(N);
  return Gauss_Eliminate(n, n, /*keep_factors=*/true, A, window);
}

void Gauss_SolveFactored(double N, const Matrix& A, double* rhs, int count) {
  const int n = CheckedEquationCount(N);
  if (count < 1 || count > kArraySize) {
    throw RunError(ErrorKind::kSubscriptOutOfRange,
                   "at most " + std::to_string(kArraySize) + " right-hand sides at once.");
  }
  const auto rhs_row = [&](int i) { return rhs + static_cast<std::ptrdiff_t>(i - 1) * count; };

  // Forward: in step k, every right-hand side c of row i becomes
  // b(i) - f * (b(k) / A(k, k)), as column N + 1 does in Gauss_Solve.
  double quotient[kArraySize];
  for (int k = 1; k < n; ++k) {
    const double pivot = A(k, k);
    const double* b_k = rhs_row(k);
    for (int c = 0; c < count; ++c) quotient[c] = b_k[c] / pivot;
    for (int i = k + 1; i <= n; ++i) {
      const double f = A(i, k);
      double* b_i = rhs_row(i);
      for (int c = 0; c < count; ++c) b_i[c] = b_i[c] - f * quotient[c];
    }
  }

  // Back solving, bottom row first; each sum starts from zero and runs from j = k + 1
  // upwards, as in Gauss_Solve. The solution overwrites the right-hand side row by row
  // (row k is read for the last time when Q(k) is formed).
  double* b_n = rhs_row(n);
  const double last_pivot = A(n, n);
  for (int c = 0; c < count; ++c) b_n[c] = b_n[c] / last_pivot;
  double s[kArraySize];
  for (int k = n - 1; k >= 1; --k) {
    const double* row = A.Row(k);
    double* b_k = rhs_row(k);
    for (int c = 0; c < count; ++c) s[c] = 0;
    for (int j = k + 1; j <= n; ++j) {
      const double a = row[j];
      const double* q_j = rhs_row(j);
      for (int c = 0; c < count; ++c) s[c] = s[c] + q_j[c] * a;
    }
    for (int c = 0; c < count; ++c) b_k[c] = (b_k[c] - s[c]) / row[k];
  }
}

}  // namespace velquin
