#include "viscous/viscous_interaction.h"

#include <algorithm>
#include <cmath>

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
    if (b.turbulent) dstar = std::max(dstar, layer.transition_dstar);
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

bool Sound(const SectionBoundaryLayer& layers) {
  return !layers.upper.march_failed && !layers.lower.march_failed;
}

double SeparatedLength(const SurfaceBoundaryLayer& layer) {
  if (layer.stations.empty()) return 1;
  return layer.stations.back().x - layer.separation_x;
}

}  // namespace

std::vector<double> TranspirationVelocity(const SectionBoundaryLayer& layers, int panel_count,
                                          const InteractionOptions& options) {
  std::vector<double> vn(std::max(panel_count, 0), 0.0);
  AddSide(layers.split.upper, layers.upper, options, vn);
  AddSide(layers.split.lower, layers.lower, options, vn);
  for (double& v : vn) {
    if (!std::isfinite(v)) v = 0;
  }
  return vn;
}

InteractionResult RunViscousInteraction(const SectionPanels& panels,
                                        const std::vector<double>& inviscid_signed_speed,
                                        const TranspirationSolve& solve,
                                        const InteractionOptions& options) {
  InteractionResult out;
  const int n = static_cast<int>(inviscid_signed_speed.size());
  out.signed_speed = inviscid_signed_speed;
  out.transpiration.assign(n, 0.0);
  bool settled = false;
  std::vector<double> next(n);
  for (int pass = 1; pass <= options.max_passes; ++pass) {
    out.passes = pass;
    const SectionBoundaryLayer layers =
        AnalyseSectionBoundaryLayers(panels, out.signed_speed, options.section);
    const std::vector<double> target = TranspirationVelocity(layers, n, options);
    for (int k = 0; k < n; ++k) {
      out.transpiration[k] += options.relaxation * (target[k] - out.transpiration[k]);
    }
    if (!solve(out.transpiration, next) || static_cast<int>(next.size()) != n) break;
    double change = 0, sum_squares = 0;
    bool finite = true;
    for (int k = 0; k < n; ++k) {
      if (!std::isfinite(next[k])) finite = false;
      const double c = std::fabs(std::fabs(next[k]) - std::fabs(out.signed_speed[k]));
      sum_squares += c * c;
      change = std::max(change, c);
    }
    if (!finite) break;
    out.signed_speed = next;
    out.last_change = change;
    if (std::sqrt(sum_squares / n) < options.tolerance && change < options.max_change) {
      settled = true;
      break;
    }
  }
  out.layers = AnalyseSectionBoundaryLayers(panels, out.signed_speed, options.section);
  out.converged = settled && Sound(out.layers) &&
                  SeparatedLength(out.layers.upper) <= kMaxSeparatedLength &&
                  SeparatedLength(out.layers.lower) <= kMaxSeparatedLength;
  return out;
}

}  // namespace velquin
