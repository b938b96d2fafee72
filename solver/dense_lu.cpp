#include "solver/dense_lu.h"

#include <Eigen/Dense>
#include <algorithm>
#include <thread>

namespace velquin {
namespace {

using RowMatrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;
using MatrixMap = Eigen::Map<RowMatrix>;

// Columns per panel: wide enough that the trailing products run near the machine's
// peak, narrow enough that the row-by-row panel work stays a small share.
constexpr int kBlock = 64;
// From this size on the second half of every trailing update runs on a second thread.
constexpr int kParallelSize = 256;

// Factors columns k0 .. k0 + kb - 1 of the rows k0 .. n - 1 one column at a time,
// swapping whole rows.
void FactorColumns(MatrixMap& a, int k0, int kb, std::vector<int>& pivots) {
  const int n = static_cast<int>(a.rows());
  for (int j = k0; j < k0 + kb; ++j) {
    Eigen::Index largest = 0;
    a.col(j).segment(j, n - j).cwiseAbs().maxCoeff(&largest);
    const int p = j + static_cast<int>(largest);
    pivots[static_cast<std::size_t>(j)] = p;
    if (p != j) a.row(j).swap(a.row(p));
    const int below = n - j - 1;
    // A zero pivot has only zeros below it: the column is left as it is, and the zero
    // on the diagonal tells the caller.
    if (below == 0 || a(j, j) == 0) continue;
    a.col(j).segment(j + 1, below) /= a(j, j);
    const int right = k0 + kb - j - 1;
    if (right > 0) {
      a.block(j + 1, j + 1, below, right).noalias() -=
          a.col(j).segment(j + 1, below) * a.row(j).segment(j + 1, right);
    }
  }
}

// Columns c0 .. c1 - 1 to the right of the factored columns k0 .. k0 + kb - 1: their rows
// k0 .. k0 + kb - 1 solved with the unit lower triangle, the rows below updated by the
// product.
void UpdateColumns(MatrixMap& a, int k0, int kb, int c0, int c1) {
  if (c1 <= c0) return;
  const int n = static_cast<int>(a.rows());
  auto top = a.block(k0, c0, kb, c1 - c0);
  a.block(k0, k0, kb, kb).triangularView<Eigen::UnitLower>().solveInPlace(top);
  const int below = n - k0 - kb;
  if (below > 0) {
    a.block(k0 + kb, c0, below, c1 - c0).noalias() -= a.block(k0 + kb, k0, below, kb) * top;
  }
}

// A panel factored by halves (left half, its update of the right half, right half), so
// that most of the panel's work, too, is matrix products rather than column sweeps
// across the row-major storage.
void FactorPanel(MatrixMap& a, int k0, int kb, std::vector<int>& pivots) {
  constexpr int kColumnsByHand = 8;
  if (kb <= kColumnsByHand) {
    FactorColumns(a, k0, kb, pivots);
    return;
  }
  const int left = kb / 2;
  FactorPanel(a, k0, left, pivots);
  UpdateColumns(a, k0, left, k0 + left, k0 + kb);
  FactorPanel(a, k0 + left, kb - left, pivots);
}

}  // namespace

DenseLu::DenseLu(const double* a, std::ptrdiff_t stride, int n)
    : n_(n),
      lu_(static_cast<std::size_t>(n) * static_cast<std::size_t>(n)),
      pivots_(static_cast<std::size_t>(n)) {
  for (int i = 0; i < n; ++i) {
    std::copy(a + i * stride, a + i * stride + n, lu_.begin() + static_cast<std::ptrdiff_t>(i) * n);
  }
  MatrixMap m(lu_.data(), n, n);
  for (int k0 = 0; k0 < n; k0 += kBlock) {
    const int kb = std::min(kBlock, n - k0);
    FactorPanel(m, k0, kb, pivots_);
    const int first = k0 + kb;
    // The cut depends on the sizes only, never on how many threads there are.
    const int middle = first + (n - first) / 2;
    if (n >= kParallelSize) {
      std::thread second([&] { UpdateColumns(m, k0, kb, middle, n); });
      UpdateColumns(m, k0, kb, first, middle);
      second.join();
    } else {
      UpdateColumns(m, k0, kb, first, middle);
      UpdateColumns(m, k0, kb, middle, n);
    }
  }
}

double DenseLu::SmallestPivot() const {
  const Eigen::Map<const RowMatrix> m(lu_.data(), n_, n_);
  return n_ == 0 ? 0.0 : m.diagonal().cwiseAbs().minCoeff();
}

double DenseLu::LargestPivot() const {
  const Eigen::Map<const RowMatrix> m(lu_.data(), n_, n_);
  return n_ == 0 ? 0.0 : m.diagonal().cwiseAbs().maxCoeff();
}

void DenseLu::Solve(double* b, int m) const {
  MatrixMap x(b, n_, m);
  for (int k = 0; k < n_; ++k) {
    const int p = pivots_[static_cast<std::size_t>(k)];
    if (p != k) x.row(k).swap(x.row(p));
  }
  const Eigen::Map<const RowMatrix> lu(lu_.data(), n_, n_);
  lu.triangularView<Eigen::UnitLower>().solveInPlace(x);
  lu.triangularView<Eigen::Upper>().solveInPlace(x);
}

}  // namespace velquin
