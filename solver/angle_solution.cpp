#include "solver/angle_solution.h"

#include <cmath>
#include <cstddef>

#include "base/run_error.h"
#include "solver/influence.h"

namespace velquin {
void InfluCoeff_FreeStream(const Module_Common& C, bool circulation, const double* cos_alfa,
                           const double* sin_alfa, int m, double* rhs, double* tangential) {
  const VortexModel any = circulation ? VortexModel::kConstantDistribution : VortexModel::kNone;
  FreeStreamTerms(SeedSetup(C, any), cos_alfa, sin_alfa, m, rhs, tangential);
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
  SignedSurfaceSpeeds(np, RealToIndex(C.NEq), ViewOf(C.At), q, m, tangential);
  for (int i = 1; i <= np; ++i) {
    double* t = tangential + static_cast<std::ptrdiff_t>(i - 1) * m;
    for (int c = 0; c < m; ++c) t[c] = std::fabs(t[c]);
  }
}

}  // namespace velquin
