#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "base/run_error.h"
#include "solver/module_gauss.h"
#include "support/run_helpers.h"

namespace velquin {
namespace {

class GaussSolve : public ::testing::Test {
 protected:
  bool Solve(int n) { return Gauss_Solve(n, C->An, C->Q); }
  void SetRow(int i, std::initializer_list<double> values) {
    int j = 1;
    for (double value : values) C->An(i, j++) = value;
  }

  std::unique_ptr<Module_Common> C = test_support::NewState();
};

TEST_F(GaussSolve, TwoByTwoExampleLeavesAnUpperTriangle) {
  SetRow(1, {2, 1, 3});
  SetRow(2, {4, 3, 7});
  C->Q(3) = 42;
  ASSERT_TRUE(Solve(2));
  EXPECT_EQ(C->Q(1), 1);
  EXPECT_EQ(C->Q(2), 1);
  EXPECT_EQ(C->Q(3), 42);  // beyond N: untouched
  EXPECT_EQ(C->An(2, 1), 0);
  EXPECT_EQ(C->An(2, 2), 1);
  EXPECT_EQ(C->An(2, 3), 1);
}

TEST_F(GaussSolve, OneEquationIsADivision) {
  SetRow(1, {4, 3});
  ASSERT_TRUE(Solve(1));
  EXPECT_EQ(C->Q(1), 0.75);
}

TEST_F(GaussSolve, ZeroFirstPivotIsReportedAndChangesNothing) {
  SetRow(1, {0, 1, 1});
  SetRow(2, {1, 1, 2});
  C->Q(1) = 7;
  C->Q(2) = 8;
  EXPECT_FALSE(Solve(2));
  EXPECT_EQ(C->Q(1), 7);
  EXPECT_EQ(C->Q(2), 8);
  EXPECT_EQ(C->An(2, 1), 1);
}

TEST_F(GaussSolve, ZeroPivotArisingInTheEliminationIsCaughtInItsStep) {
  SetRow(1, {1, 2, 3, 1});
  SetRow(2, {2, 4, 1, 1});  // A(2, 2) becomes 0 in step 1
  SetRow(3, {1, 1, 1, 1});
  EXPECT_FALSE(Solve(3));
  EXPECT_EQ(C->Q(1), 0);
}

TEST_F(GaussSolve, ZeroLastDiagonalElementIsAZeroPivotToo) {
  SetRow(1, {0, 5});
  EXPECT_FALSE(Solve(1));
  SetRow(1, {1, 2, 3});
  SetRow(2, {2, 4, 5});  // singular: A(2, 2) ends as 0
  EXPECT_FALSE(Solve(2));
  EXPECT_EQ(C->Q(1), 0);
  EXPECT_EQ(C->Q(2), 0);
}

// The elimination forms each step's quotients once; the result must be bit for bit that
// of forming A(k, j) / A(k, k) inside every row update.
TEST_F(GaussSolve, SameBitsAsTheQuotientInsideEveryUpdate) {
  const int n = 60;
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> value(-1, 1);
  std::vector<std::vector<double>> a(n + 2, std::vector<double>(n + 2));
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n + 1; ++j) {
      a[i][j] = value(random) + (i == j ? n : 0);
      C->An(i, j) = a[i][j];
    }
  }
  for (int k = 1; k <= n; ++k) {
    for (int i = k + 1; i <= n; ++i) {
      const double f = a[i][k];
      for (int j = k; j <= n + 1; ++j) a[i][j] = a[i][j] - f * (a[k][j] / a[k][k]);
    }
  }
  std::vector<double> q(n + 1);
  q[n] = a[n][n + 1] / a[n][n];
  for (int k = n - 1; k >= 1; --k) {
    double s = 0;
    for (int j = k + 1; j <= n; ++j) s = s + q[j] * a[k][j];
    q[k] = (a[k][n + 1] - s) / a[k][k];
  }
  ASSERT_TRUE(Solve(n));
  for (int i = 1; i <= n; ++i) {
    EXPECT_EQ(C->Q(i), q[i]) << i;
    for (int j = 1; j <= n + 1; ++j) ASSERT_EQ(C->An(i, j), a[i][j]) << i << "," << j;
  }
}

TEST_F(GaussSolve, CountsOutsideOneTo199AreRefused) {
  EXPECT_THROW(Solve(0), RunError);
  EXPECT_THROW(Solve(200), RunError);
  EXPECT_THROW(Gauss_Solve(2.5, C->An, C->Q), RunError);
}

}  // namespace
}  // namespace velquin
