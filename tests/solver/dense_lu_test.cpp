// The blocked LU against systems with a known solution: sizes on both sides of the
// panel width and of the size from which a second thread helps, matrices that need row
// exchanges (a zero diagonal), and a singular matrix.
#include "solver/dense_lu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace velquin {
namespace {

// A random matrix with zeros on its diagonal, so that no step can do without a row
// exchange, and the right-hand sides of the solutions x_j(i) = 1 + i + j, summed in
// long double.
struct KnownSystem {
  std::vector<double> a, b, x;
};

KnownSystem MakeSystem(int n, int m) {
  std::mt19937 random(static_cast<unsigned>(n));
  std::uniform_real_distribution<double> entry(-1, 1);
  KnownSystem s;
  s.a.resize(static_cast<std::size_t>(n) * n);
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < n; ++k)
      s.a[static_cast<std::size_t>(i) * n + k] = i == k ? 0 : entry(random);
  }
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < m; ++j) s.x.push_back(1.0 + i + j);
  }
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < m; ++j) {
      long double sum = 0;
      for (int k = 0; k < n; ++k) {
        sum += static_cast<long double>(s.a[static_cast<std::size_t>(i) * n + k]) *
               s.x[static_cast<std::size_t>(k) * m + j];
      }
      s.b.push_back(static_cast<double>(sum));
    }
  }
  return s;
}

TEST(DenseLuTest, SolvesSystemsThatNeedRowExchanges) {
  for (const int n : {2, 9, 64, 65, 130, 300}) {
    for (const int m : {1, 2}) {
      KnownSystem s = MakeSystem(n, m);
      const DenseLu lu(s.a.data(), n, n);
      EXPECT_GT(lu.SmallestPivot(), 1e-8 * lu.LargestPivot()) << n;
      lu.Solve(s.b.data(), m);
      for (std::size_t k = 0; k < s.x.size(); ++k) {
        ASSERT_NEAR(s.b[k], s.x[k], 1e-9 * n * s.x[k]) << "n " << n << " entry " << k;
      }
    }
  }
}

TEST(DenseLuTest, ASingularMatrixLeavesAVanishingPivot) {
  // Rows 0 and 2 equal: rank n - 1.
  const int n = 70;
  KnownSystem s = MakeSystem(n, 1);
  for (int k = 0; k < n; ++k) s.a[2 * n + k] = s.a[k];
  const DenseLu lu(s.a.data(), n, n);
  EXPECT_LT(lu.SmallestPivot(), 1e-12 * lu.LargestPivot());
}

}  // namespace
}  // namespace velquin
