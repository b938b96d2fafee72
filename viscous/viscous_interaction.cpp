#include "viscous/viscous_interaction.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace velquin {
namespace {

void AddSide(const SurfaceSplit& split, const SurfaceBoundaryLayer& layer,
             const InteractionOptions& options, std::vector<double>& vn) {
  const int m = static_cast<int>(layer.stations.size());
  if (m < 2 || static_cast<int>(split.panel.size()) != m) return;
  // The mass-flow defect ue delta* with the caps and the transition floor.
  std::vector<double> defect(m);
  for (int j = 0; j < m; ++j) {
    const BoundaryLayerStation& b = layer.stations[j];
    const double cap = b.turbulent ? options.turbulent_shape_cap : options.laminar_shape_cap;
    double dstar = b.theta * std::min(b.h, cap);
    if (b.turbulent) {
      // The floor is the laminar delta* at transition with the same cap as upstream:
      // where transition ends a bubble (H of 4 to 7) the uncapped value held the whole
      // turbulent layer behind it at the bubble's thickness, a jump up at transition and
      // a displacement that followed every flicker of the bubble (50 of the 61 XFOIL
      // points settled; capped, 60).
      const double floor =
          std::min(layer.transition_dstar, options.laminar_shape_cap * layer.transition_theta);
      dstar = std::max(dstar, floor);
    }
    defect[j] = b.ue * dstar;
  }
  for (int j = 0; j < m; ++j) {
    const int k = split.panel[j];
    if (k < 0 || k >= static_cast<int>(vn.size())) continue;
    const double s_left = j > 0 ? layer.stations[j - 1].s : 0;
    const double m_left = j > 0 ? defect[j - 1] : 0;
    const int right = std::min(j + 1, m - 1);
    const double ds = layer.stations[right].s - s_left;
    vn[k] = ds > 0 ? (defect[right] - m_left) / ds : 0;
  }
}

double SeparatedLength(const SurfaceBoundaryLayer& layer) {
  if (layer.stations.empty()) return 1;
  return layer.stations.back().x - layer.separation_x;
}

// Both marches sound and no separated region longer than kMaxSeparatedLength of the
// element's chord at either trailing edge.
bool Settled(const std::vector<SectionBoundaryLayer>& layers) {
  for (const SectionBoundaryLayer& l : layers) {
    if (l.upper.march_failed || l.lower.march_failed) return false;
    if (SeparatedLength(l.upper) > kMaxSeparatedLength) return false;
    if (SeparatedLength(l.lower) > kMaxSeparatedLength) return false;
  }
  return true;
}

// The panel lengths of the whole problem in reference lengths, in the problem's order.
std::vector<double> PanelLengths(const std::vector<InteractionElement>& elements, int n) {
  std::vector<double> lengths(std::max(n, 0), 0.0);
  for (const InteractionElement& e : elements) {
    for (std::size_t k = 0; k < e.panels.length.size(); ++k) {
      const std::size_t i = static_cast<std::size_t>(e.first) + k;
      if (i < lengths.size()) lengths[i] = e.panels.length[k] * e.chord;
    }
  }
  return lengths;
}

}  // namespace

std::vector<SectionBoundaryLayer> AnalyseElementLayers(
    const std::vector<InteractionElement>& elements, const std::vector<double>& signed_speed,
    const SectionOptions& options) {
  std::vector<SectionBoundaryLayer> layers;
  layers.reserve(elements.size());
  for (const InteractionElement& e : elements) {
    const std::size_t first = std::min(static_cast<std::size_t>(e.first), signed_speed.size());
    const std::size_t last = std::min(first + e.panels.xc.size(), signed_speed.size());
    const std::vector<double> speed(signed_speed.begin() + first, signed_speed.begin() + last);
    SectionOptions own = options;
    own.reynolds = options.reynolds * e.chord;
    layers.push_back(AnalyseSectionBoundaryLayers(e.panels, speed, own));
  }
  return layers;
}

std::vector<double> TranspirationVelocity(const std::vector<InteractionElement>& elements,
                                          const std::vector<SectionBoundaryLayer>& layers,
                                          int panel_count, const InteractionOptions& options) {
  std::vector<double> vn(std::max(panel_count, 0), 0.0);
  for (std::size_t e = 0; e < elements.size() && e < layers.size(); ++e) {
    const int count = static_cast<int>(elements[e].panels.xc.size());
    std::vector<double> own(count, 0.0);
    AddSide(layers[e].split.upper, layers[e].upper, options, own);
    AddSide(layers[e].split.lower, layers[e].lower, options, own);
    for (int k = 0; k < count; ++k) {
      const int i = elements[e].first + k;
      if (i >= 0 && i < panel_count) vn[i] = std::isfinite(own[k]) ? own[k] : 0;
    }
  }
  return vn;
}

namespace {

// Anderson's mixing of the last few passes (Anderson, J. ACM 12 (1965) 547; Walker & Ni,
// SIAM J. Numer. Anal. 49 (2011) 1715): the fixed point x = g(x) of "transpiration in,
// transpiration out", residual f = g(x) - x. With the differences dX, dF of the
// stored inputs and residuals, gamma minimises |f - dF gamma| and the next input is
//   x + beta f - (dX + beta dF) gamma,
// a multisecant step: where the passes oscillate (the sensitive layer near the trailing
// edge) the secant directions cancel the oscillation that plain relaxation only damps.
//
// The panel problem is linear in the transpiration, so the speeds of the next input
// follow from the same combination of the speeds s of x and the speed changes d its
// residual would bring (d = S(x + f) - S(x)): s + beta d - (dS + beta dD) gamma. A pass
// then needs one product with the response (for d), not two.
class AndersonMixing {
 public:
  static constexpr double kMaxStepRatio = 10;

  AndersonMixing(int depth, double beta) : depth_(depth), beta_(beta) {}

  void Reset() {
    history_.clear();
    have_last_ = false;
  }

  // The next input from the current input x, its residual f, its speeds s and the
  // speed change d of its residual; the speeds of the next input in `speeds`.
  std::vector<double> Next(const std::vector<double>& x, const std::vector<double>& f,
                           const std::vector<double>& s, const std::vector<double>& d,
                           std::vector<double>& speeds) {
    const int n = static_cast<int>(x.size());
    const int ns = static_cast<int>(s.size());
    if (have_last_) {
      Difference diff{std::vector<double>(n), std::vector<double>(n), std::vector<double>(ns),
                      std::vector<double>(ns)};
      for (int k = 0; k < n; ++k) {
        diff.x[k] = x[k] - last_.x[k];
        diff.f[k] = f[k] - last_.f[k];
      }
      for (int k = 0; k < ns; ++k) {
        diff.s[k] = s[k] - last_.s[k];
        diff.d[k] = d[k] - last_.d[k];
      }
      history_.push_back(std::move(diff));
      if (static_cast<int>(history_.size()) > depth_) history_.erase(history_.begin());
    }
    last_ = {x, f, s, d};
    have_last_ = true;
    std::vector<double> next(n);
    for (int k = 0; k < n; ++k) next[k] = x[k] + beta_ * f[k];
    speeds.resize(ns);
    for (int k = 0; k < ns; ++k) speeds[k] = s[k] + beta_ * d[k];
    const int m = static_cast<int>(history_.size());
    if (m == 0) return next;
    // Normal equations (dF^T dF) gamma = dF^T f, a few unknowns; a small multiple of the
    // diagonal keeps nearly parallel secants from giving a huge step.
    std::vector<double> a(m * m), b(m);
    for (int i = 0; i < m; ++i) {
      for (int j = 0; j <= i; ++j) {
        double sum = 0;
        for (int k = 0; k < n; ++k) sum += history_[i].f[k] * history_[j].f[k];
        a[i * m + j] = a[j * m + i] = sum;
      }
      double sum = 0;
      for (int k = 0; k < n; ++k) sum += history_[i].f[k] * f[k];
      b[i] = sum;
    }
    for (int i = 0; i < m; ++i) a[i * m + i] *= 1 + 1e-8;
    if (!SolveSmall(a, b, m)) return next;
    std::vector<double> mixed = next;
    for (int j = 0; j < m; ++j) {
      for (int k = 0; k < n; ++k) {
        mixed[k] -= b[j] * (history_[j].x[k] + beta_ * history_[j].f[k]);
      }
    }
    // Safeguard: a multisecant step many times longer than the relaxed one extrapolates
    // from secants that no longer describe the map; take the relaxed step and forget them.
    double relaxed = 0, step = 0;
    for (int k = 0; k < n; ++k) {
      relaxed += (next[k] - x[k]) * (next[k] - x[k]);
      step += (mixed[k] - x[k]) * (mixed[k] - x[k]);
    }
    if (!(step <= kMaxStepRatio * kMaxStepRatio * relaxed)) {
      history_.clear();
      return next;
    }
    for (int j = 0; j < m; ++j) {
      for (int k = 0; k < ns; ++k) {
        speeds[k] -= b[j] * (history_[j].s[k] + beta_ * history_[j].d[k]);
      }
    }
    return mixed;
  }

 private:
  struct Difference {
    std::vector<double> x, f, s, d;
  };

  // Gaussian elimination with partial pivoting on an m x m system; false when singular.
  static bool SolveSmall(std::vector<double>& a, std::vector<double>& b, int m) {
    for (int c = 0; c < m; ++c) {
      int p = c;
      for (int r = c + 1; r < m; ++r) {
        if (std::fabs(a[r * m + c]) > std::fabs(a[p * m + c])) p = r;
      }
      if (!(std::fabs(a[p * m + c]) > 0)) return false;
      if (p != c) {
        for (int j = 0; j < m; ++j) std::swap(a[c * m + j], a[p * m + j]);
        std::swap(b[c], b[p]);
      }
      for (int r = c + 1; r < m; ++r) {
        const double factor = a[r * m + c] / a[c * m + c];
        for (int j = c; j < m; ++j) a[r * m + j] -= factor * a[c * m + j];
        b[r] -= factor * b[c];
      }
    }
    for (int c = m - 1; c >= 0; --c) {
      double sum = b[c];
      for (int j = c + 1; j < m; ++j) sum -= a[c * m + j] * b[j];
      b[c] = sum / a[c * m + c];
      if (!std::isfinite(b[c])) return false;
    }
    return true;
  }

  int depth_;
  double beta_;
  std::vector<Difference> history_;
  Difference last_;
  bool have_last_ = false;
};

double RootMeanSquare(const std::vector<double>& v) {
  double sum = 0;
  for (double x : v) sum += x * x;
  return v.empty() ? 0 : std::sqrt(sum / static_cast<double>(v.size()));
}

// The circulation of a solution, the sum of signed speed times panel length around the
// contours: cl = 2 Gamma on the reference length, so its change measures the lift's.
double Circulation(const std::vector<double>& lengths, const std::vector<double>& signed_speed) {
  double gamma = 0;
  const std::size_t n = std::min(lengths.size(), signed_speed.size());
  for (std::size_t k = 0; k < n; ++k) gamma += signed_speed[k] * lengths[k];
  return gamma;
}

// The warm start: the speeds of the given transpiration in `out`; false (and `out`
// untouched) when there is none or it cannot be solved.
bool StartFrom(const std::vector<double>& vn, const TranspirationSolve& solve,
               InteractionResult& out) {
  if (vn.empty() || vn.size() != out.transpiration.size()) return false;
  std::vector<double> speed;
  if (!solve(vn, speed) || speed.size() != vn.size()) return false;
  for (double v : speed) {
    if (!std::isfinite(v)) return false;
  }
  out.transpiration = vn;
  out.signed_speed = std::move(speed);
  return true;
}

}  // namespace

InteractionResult RunViscousInteraction(const std::vector<InteractionElement>& elements,
                                        const std::vector<double>& inviscid_signed_speed,
                                        const TranspirationSolve& solve,
                                        const InteractionOptions& options) {
  InteractionResult out;
  const int n = static_cast<int>(inviscid_signed_speed.size());
  out.signed_speed = inviscid_signed_speed;
  out.transpiration.assign(n, 0.0);
  bool settled = false;
  std::vector<double> next(n), residual(n), demanded(n), brought(n), predicted;
  bool warm = StartFrom(options.initial_transpiration, solve, out);
  AndersonMixing mixing(options.mixing_depth, options.relaxation);
  double last_residual = std::numeric_limits<double>::infinity();
  const std::vector<double> lengths = PanelLengths(elements, n);
  std::vector<SectionBoundaryLayer> layers =
      AnalyseElementLayers(elements, out.signed_speed, options.section);
  // A warm start that does not settle leaves the cold start all of max_passes.
  const int last_pass = options.max_passes + (warm ? options.warm_start_passes : 0);
  for (int pass = 1; pass <= last_pass; ++pass) {
    out.passes = pass;
    if (warm && pass > options.warm_start_passes) {
      // The warm start did not settle: the cold start, from the inviscid flow.
      warm = false;
      out.signed_speed = inviscid_signed_speed;
      out.transpiration.assign(n, 0.0);
      mixing.Reset();
      last_residual = std::numeric_limits<double>::infinity();
      layers = AnalyseElementLayers(elements, out.signed_speed, options.section);
    }
    const std::vector<double> target = TranspirationVelocity(elements, layers, n, options);
    for (int k = 0; k < n; ++k) residual[k] = target[k] - out.transpiration[k];
    // Converged when the transpiration the layers ask for would hardly move the outer
    // flow: the speeds it would give differ from the present ones by less than the
    // tolerances, and the lift by less than lift_tolerance. (The change between passes
    // is no test: a small relaxed or mixed step can stall far from the fixed point.)
    const bool have_demand = solve(target, demanded) && static_cast<int>(demanded.size()) == n;
    if (have_demand) {
      // The rms over the arc length, as the loads feel it: a flicker of the few short
      // panels next to the trailing edge, where a separation moves by a station between
      // passes, counts for their length, not their number.
      double change = 0, sum_squares = 0, perimeter = 0;
      for (int k = 0; k < n; ++k) {
        const double c = std::fabs(std::fabs(demanded[k]) - std::fabs(out.signed_speed[k]));
        const double w = lengths[k];
        sum_squares += c * c * w;
        perimeter += w;
        change = std::max(change, c);
      }
      const double rms = perimeter > 0 ? std::sqrt(sum_squares / perimeter) : 0;
      const double lift_change =
          2 * std::fabs(Circulation(lengths, demanded) - Circulation(lengths, out.signed_speed));
      out.last_change = change;
      if (std::isfinite(rms) && rms < options.tolerance && change < options.max_change &&
          lift_change < options.lift_tolerance) {
        settled = true;
        break;
      }
    }
    if (pass == last_pass) break;
    // A pass whose residual grew several-fold left the region where the secants describe
    // the map (transition or separation jumped): start the history again from here.
    const double size = RootMeanSquare(residual);
    if (size > options.restart_growth * last_residual) mixing.Reset();
    last_residual = size;
    for (int k = 0; k < n; ++k) {
      brought[k] = have_demand ? demanded[k] - out.signed_speed[k] : 0;
    }
    std::vector<double> input =
        mixing.Next(out.transpiration, residual, out.signed_speed, brought, predicted);
    bool bounded = false;
    for (double& v : input) {
      const double w = std::isfinite(v) ? std::clamp(v, -kMaxTranspiration, kMaxTranspiration) : 0;
      bounded = bounded || w != v;
      v = w;
    }
    // The combined speeds hold while the input is the mixing's own; a bounded input, or a
    // pass without the demanded speeds, is solved.
    if (have_demand && !bounded) {
      next = predicted;
    } else if (!solve(input, next) || static_cast<int>(next.size()) != n) {
      break;
    }
    bool finite = true;
    for (int k = 0; k < n; ++k) finite = finite && std::isfinite(next[k]);
    if (!finite) break;
    out.transpiration = std::move(input);
    out.signed_speed = next;
    layers = AnalyseElementLayers(elements, out.signed_speed, options.section);
  }
  out.layers = std::move(layers);
  out.converged = settled && Settled(out.layers);
  return out;
}

std::vector<double> PolarWarmStart::StartFor(double alpha) const {
  if (last_.empty()) return {};
  const Settled& a = last_.back();
  if (last_.size() < 2) return a.vn;
  const Settled& b = last_.front();
  const double step = a.alpha - b.alpha;
  // Linear in the angle, at most one of their steps ahead: beyond it the extrapolation of
  // the sensitive stations near the trailing edge is not to be trusted.
  const double t = step != 0 ? std::clamp((alpha - a.alpha) / step, 0.0, 1.0) : 0.0;
  std::vector<double> vn(a.vn.size());
  for (std::size_t k = 0; k < vn.size(); ++k) vn[k] = a.vn[k] + t * (a.vn[k] - b.vn[k]);
  return vn;
}

void PolarWarmStart::Record(double alpha, bool converged,
                            const std::vector<double>& transpiration) {
  if (!converged || (!last_.empty() && last_.back().vn.size() != transpiration.size())) {
    last_.clear();
    if (!converged) return;
  }
  last_.push_back({alpha, transpiration});
  if (last_.size() > 2) last_.erase(last_.begin());
}

}  // namespace velquin
