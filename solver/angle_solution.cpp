#include "solver/angle_solution.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "base/run_error.h"

namespace velquin {
namespace {

template <typename T>
T* RowOf(T* block, int i, int m) {
  return block + static_cast<std::ptrdiff_t>(i - 1) * m;
}

}  // namespace

void InfluCoeff_FreeStream(const Module_Common& C, bool circulation, const double* cos_alfa,
                           const double* sin_alfa, int m, double* rhs, double* tangential) {
  const int np = RealToIndex(C.NP);
  for (int i = 1; i <= np; ++i) {
    double* b = RowOf(rhs, i, m);
    double* t = RowOf(tangential, i, m);
    const double ay = C.CosAy(i), by = C.CosBy(i), ax = C.CosAx(i), bx = C.CosBx(i);
    for (int c = 0; c < m; ++c) {
      b[c] = -(ay * cos_alfa[c] + by * sin_alfa[c]);
      t[c] = ax * cos_alfa[c] + bx * sin_alfa[c];
    }
  }
  if (circulation) {
    // The flow leaves the first node with equal speed on both sides: the free stream's
    // share of the two tangential velocities moves to the right-hand side.
    double* b = RowOf(rhs, RealToIndex(C.NEq), m);
    const double* t_first = RowOf(tangential, 1, m);
    const double* t_last = RowOf(tangential, np, m);
    for (int c = 0; c < m; ++c) b[c] = -(t_first[c] + t_last[c]);
  }
}

void CheckFiniteStrengths(const double* q, int count) {
  for (int k = 0; k < count; ++k) {
    if (!std::isfinite(q[k])) {
      throw RunError(ErrorKind::kOverflow,
                     "the linear system is too close to singular: a strength is not a finite "
                     "number.");
    }
  }
}

void SurfaceSpeeds(const Module_Common& C, const double* q, int m, double* tangential) {
  const int np = RealToIndex(C.NP);
  const int neq = RealToIndex(C.NEq);
  std::array<double, kArraySize> s;
  for (int i = 1; i <= np; ++i) {
    double* t = RowOf(tangential, i, m);
    const double* row = C.At.Row(i);
    for (int c = 0; c < m; ++c) s[c] = t[c];
    for (int j = 1; j <= neq; ++j) {
      const double a = row[j];
      const double* q_j = RowOf(q, j, m);
      for (int c = 0; c < m; ++c) s[c] = s[c] + a * q_j[c];
    }
    for (int c = 0; c < m; ++c) t[c] = std::fabs(s[c]);
  }
}

}  // namespace velquin
