#include "solver/angle_sweep.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "shell/run_error.h"
#include "solver/gauss_multi.h"
#include "solver/module_influcoeff.h"

namespace velquin {
namespace {

// Angles solved together: their right-hand sides sit side by side in memory, so that
// every row operation runs over one contiguous block.
constexpr int kBlock = 64;

}  // namespace

std::optional<std::vector<DerivedResults>> Sweep_Angles(const Module_Common& C,
                                                        const ControlValues& controls,
                                                        const std::vector<double>& alpha_degrees,
                                                        CalculationWindow& window,
                                                        const AngleObserver& observe) {
  // The matrices are assembled and eliminated in a copy of the state (two 201 x 201
  // matrices: on the heap), so that the caller's state stays as its run left it.
  auto copy = std::make_unique<Module_Common>(C);
  Module_Common& W = *copy;
  InfluCoeff_Fill(W, controls);  // its free-stream column is replaced angle by angle
  if (!Gauss_Factor(W.NEq, W.An, window)) return std::nullopt;

  const int np = RealToIndex(W.NP);
  const int neq = RealToIndex(W.NEq);
  const bool circulation = controls.Check_Circulation == 1;
  const std::size_t total = alpha_degrees.size();

  std::vector<double> rhs(static_cast<std::size_t>(neq) * kBlock);        // then Q
  std::vector<double> tangential(static_cast<std::size_t>(np) * kBlock);  // then Vt
  double cos_alfa[kBlock], sin_alfa[kBlock], s[kBlock];
  std::vector<DerivedResults> results;
  results.reserve(total);
  auto Q = std::make_unique<Vector>();
  auto Vt = std::make_unique<Vector>();
  auto Cu = std::make_unique<Vector>();

  for (std::size_t first = 0; first < total; first += kBlock) {
    const int m = static_cast<int>(std::min<std::size_t>(kBlock, total - first));
    const auto at = [m](std::vector<double>& v, int i) { return v.data() + (i - 1) * m; };

    // The free stream of every angle, as the run sets it.
    for (int c = 0; c < m; ++c) {
      const double alpha = (alpha_degrees[first + c] * W.Pi) / 180;
      if (!std::isfinite(alpha)) {
        throw RunError(ErrorKind::kOverflow,
                       "an angle of the sweep is too large to turn into radians.");
      }
      cos_alfa[c] = std::cos(alpha);
      sin_alfa[c] = std::sin(alpha);
    }
    // Right-hand sides: minus the free stream's normal component at every control
    // point; with circulation, minus the free stream's share of the Kutta-type row.
    for (int i = 1; i <= np; ++i) {
      double* b = at(rhs, i);
      double* t = at(tangential, i);
      const double ay = W.CosAy(i), by = W.CosBy(i), ax = W.CosAx(i), bx = W.CosBx(i);
      for (int c = 0; c < m; ++c) {
        b[c] = -(ay * cos_alfa[c] + by * sin_alfa[c]);
        t[c] = ax * cos_alfa[c] + bx * sin_alfa[c];
      }
    }
    if (circulation) {
      double* b = at(rhs, neq);
      const double* t_first = at(tangential, 1);
      const double* t_last = at(tangential, np);
      for (int c = 0; c < m; ++c) b[c] = -(t_first[c] + t_last[c]);
    }

    Gauss_SolveFactored(W.NEq, W.An, rhs.data(), m);
    for (int j = 1; j <= neq; ++j) {
      const double* q = at(rhs, j);
      for (int c = 0; c < m; ++c) {
        if (!std::isfinite(q[c])) {
          throw RunError(ErrorKind::kOverflow,
                         "the linear system is too close to singular: a strength is not a "
                         "finite number.");
        }
      }
    }

    // Surface speeds: the free stream's tangential part, then every singularity's in
    // increasing order, the vortex last. The tangential rows become the speeds.
    for (int i = 1; i <= np; ++i) {
      double* t = at(tangential, i);
      const double* row = W.At.Row(i);
      for (int c = 0; c < m; ++c) s[c] = t[c];
      for (int j = 1; j <= neq; ++j) {
        const double a = row[j];
        const double* q = at(rhs, j);
        for (int c = 0; c < m; ++c) s[c] = s[c] + a * q[c];
      }
      for (int c = 0; c < m; ++c) t[c] = std::fabs(s[c]);
    }

    for (int c = 0; c < m; ++c) {
      for (int j = 1; j <= neq; ++j) (*Q)(j) = at(rhs, j)[c];
      for (int i = 1; i <= np; ++i) {
        const double speed = at(tangential, i)[c];
        (*Vt)(i) = speed;
        (*Cu)(i) = speed * speed;
      }
      results.push_back(ComputeDerivedResults(W, controls, cos_alfa[c], sin_alfa[c], *Q, *Cu));
      if (observe) {
        observe(first + c, AngleSolution{alpha_degrees[first + c], cos_alfa[c], sin_alfa[c], *Q,
                                         *Vt, *Cu, results.back()});
      }
    }
  }
  return results;
}

}  // namespace velquin
