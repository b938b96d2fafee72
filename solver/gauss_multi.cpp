#include "solver/gauss_multi.h"

#include <array>
#include <cstddef>
#include <string>

#include "base/run_error.h"
#include "solver/module_gauss.h"

namespace velquin {

bool Gauss_Factor(double N, Matrix& A) {
  const int n = CheckedEquationCount(N);
  return Gauss_Eliminate(n, n, /*keep_factors=*/true, A);
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
  std::array<double, kArraySize> quotient;
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
  Gauss_BackSubstitute(n, A, rhs, count);
}

}  // namespace velquin
