#include "solver/angle_sweep.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "solver/angle_solution.h"
#include "solver/gauss_multi.h"
#include "solver/module_influcoeff.h"

namespace velquin {
namespace {

// Angles solved together: their right-hand sides sit side by side in memory, so that
// every row operation runs over one contiguous block.
constexpr int kBlock = 64;

// The state of one angle of a block, as a run at that angle leaves it.
struct SingleAngle {
  Vector Q, Vt, Cu;
};

void CopyAngle(const double* q, const double* speeds, int m, int c, int neq, int np,
               SingleAngle& out) {
  for (int j = 1; j <= neq; ++j) out.Q(j) = q[(j - 1) * m + c];
  for (int i = 1; i <= np; ++i) {
    const double speed = speeds[(i - 1) * m + c];
    out.Vt(i) = speed;
    out.Cu(i) = speed * speed;
  }
}

}  // namespace

std::optional<std::vector<DerivedResults>> SweepAngles(const Module_Common& C,
                                                       const RunInputs& inputs,
                                                       const std::vector<double>& alpha_degrees,
                                                       const AngleObserver& observe) {
  // The matrices are assembled and eliminated in a copy of the state (two 201 x 201
  // matrices: on the heap), so that the caller's state stays as its run left it.
  auto copy = std::make_unique<Module_Common>(C);
  Module_Common& W = *copy;
  InfluCoeff_Fill(W, inputs);  // its free-stream column is replaced angle by angle
  if (!Gauss_Factor(W.NEq, W.An)) return std::nullopt;

  const int np = RealToIndex(W.NP);
  const int neq = RealToIndex(W.NEq);
  const std::size_t total = alpha_degrees.size();
  std::vector<double> q(static_cast<std::size_t>(neq) * kBlock);      // rhs, then Q
  std::vector<double> speeds(static_cast<std::size_t>(np) * kBlock);  // t, then Vt
  double cos_alfa[kBlock], sin_alfa[kBlock];
  std::vector<DerivedResults> results;
  results.reserve(total);
  auto single = std::make_unique<SingleAngle>();

  for (std::size_t first = 0; first < total; first += kBlock) {
    const int m = static_cast<int>(std::min<std::size_t>(kBlock, total - first));
    for (int c = 0; c < m; ++c) {
      const double alpha = AlphaRadians(alpha_degrees[first + c]);
      cos_alfa[c] = std::cos(alpha);
      sin_alfa[c] = std::sin(alpha);
    }
    InfluCoeff_FreeStream(W, inputs.circulation, cos_alfa, sin_alfa, m, q.data(), speeds.data());
    Gauss_SolveFactored(W.NEq, W.An, q.data(), m);
    CheckFiniteStrengths(q.data(), neq * m);
    SurfaceSpeeds(W, q.data(), m, speeds.data());

    for (int c = 0; c < m; ++c) {
      CopyAngle(q.data(), speeds.data(), m, c, neq, np, *single);
      results.push_back(
          ComputeDerivedResults(W, inputs, cos_alfa[c], sin_alfa[c], single->Q, single->Cu));
      if (observe) {
        observe(first + c, AngleSolution{alpha_degrees[first + c], cos_alfa[c], sin_alfa[c],
                                         single->Q, single->Vt, single->Cu, results.back()});
      }
    }
  }
  return results;
}

}  // namespace velquin
