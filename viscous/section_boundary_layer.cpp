#include "viscous/section_boundary_layer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace velquin {
namespace {

void Append(SurfaceSplit& side, double s, double x, double y, double ue, int panel) {
  side.stations.s.push_back(s);
  side.stations.x.push_back(x);
  side.stations.y.push_back(y);
  side.stations.ue.push_back(ue);
  side.panel.push_back(panel);
}

}  // namespace

StagnationSplit SplitAtStagnation(const SectionPanels& panels,
                                  const std::vector<double>& signed_speed) {
  StagnationSplit out;
  const int n = static_cast<int>(std::min(panels.xc.size(), signed_speed.size()));
  if (n < 2) return out;
  // Arc length of each control point from the trailing edge, along the contour.
  std::vector<double> arc(n);
  double perimeter = 0;
  for (int k = 0; k < n; ++k) {
    arc[k] = perimeter + panels.length[k] / 2;
    perimeter += panels.length[k];
  }

  int k_split = -1;
  double c_split = 0, best_x = 0;
  for (int k = 0; k + 1 < n; ++k) {
    const double v0 = signed_speed[k], v1 = signed_speed[k + 1];
    if (!(v0 < 0 && v1 >= 0)) continue;
    const double f = -v0 / (v1 - v0);
    const double x = panels.xc[k] + f * (panels.xc[k + 1] - panels.xc[k]);
    if (k_split < 0 || x < best_x) {
      k_split = k;
      best_x = x;
      c_split = arc[k] + f * (arc[k + 1] - arc[k]);
      out.x = x;
      out.y = panels.yc[k] + f * (panels.yc[k + 1] - panels.yc[k]);
    }
  }
  int first_upper = k_split + 1;
  out.found = k_split >= 0;
  if (!out.found) {
    // No attachment line: split at the forward-most control point, which belongs to neither.
    const int k = static_cast<int>(std::min_element(panels.xc.begin(), panels.xc.begin() + n) -
                                   panels.xc.begin());
    k_split = k - 1;
    first_upper = k + 1;
    c_split = arc[k];
    out.x = panels.xc[k];
    out.y = panels.yc[k];
  }

  for (int k = first_upper; k < n; ++k) {
    Append(out.upper, arc[k] - c_split, panels.xc[k], panels.yc[k], std::fabs(signed_speed[k]), k);
  }
  Append(out.upper, perimeter - c_split, panels.x_te, panels.y_te, std::fabs(signed_speed[n - 1]),
         -1);
  for (int k = k_split; k >= 0; --k) {
    Append(out.lower, c_split - arc[k], panels.xc[k], panels.yc[k], std::fabs(signed_speed[k]), k);
  }
  Append(out.lower, c_split, panels.x_te, panels.y_te, std::fabs(signed_speed[0]), -1);
  return out;
}

void SmoothTrailingEdgeSpeed(SurfaceStations& st) {
  const int n = static_cast<int>(st.s.size());
  // The fitting window: the stations between the two chord fractions, the last of them
  // the last station inside the window.
  double sum_s = 0, sum_u = 0, sum_ss = 0, sum_su = 0;
  int count = 0, last = -1;
  for (int j = 0; j < n; ++j) {
    if (st.x[j] >= kTrailingEdgeFitStart && st.x[j] <= kTrailingEdgeFitEnd) {
      sum_s += st.s[j];
      sum_u += st.ue[j];
      sum_ss += st.s[j] * st.s[j];
      sum_su += st.s[j] * st.ue[j];
      ++count;
      last = j;
    }
  }
  if (count < 3) return;
  const double mean_s = sum_s / count, mean_u = sum_u / count;
  const double var = sum_ss / count - mean_s * mean_s;
  const double cov = sum_su / count - mean_s * mean_u;
  const double slope = var > 0 ? cov / var : 0;
  const double floor = kTrailingEdgeMinRatio * (mean_u + slope * (st.s[last] - mean_s));
  for (int j = last + 1; j < n; ++j) {
    st.ue[j] = std::max(mean_u + slope * (st.s[j] - mean_s), floor);
  }
}

double SquireYoungDrag(const BoundaryLayerStation& te) {
  const double h = std::min(te.h, kSquireYoungMaxShape);
  return 2 * te.theta * std::pow(std::max(te.ue, 0.0), (h + 5) / 2);
}

SectionBoundaryLayer AnalyseSectionBoundaryLayers(const SectionPanels& panels,
                                                  const std::vector<double>& signed_speed,
                                                  const SectionOptions& options) {
  SectionBoundaryLayer out;
  out.split = SplitAtStagnation(panels, signed_speed);
  SmoothTrailingEdgeSpeed(out.split.upper.stations);
  SmoothTrailingEdgeSpeed(out.split.lower.stations);
  BoundaryLayerOptions upper{options.reynolds, options.ncrit, options.xtr_upper};
  BoundaryLayerOptions lower{options.reynolds, options.ncrit, options.xtr_lower};
  out.upper = MarchBoundaryLayer(out.split.upper.stations, upper);
  out.lower = MarchBoundaryLayer(out.split.lower.stations, lower);
  out.cd = 0;
  if (!out.upper.stations.empty()) out.cd += SquireYoungDrag(out.upper.stations.back());
  if (!out.lower.stations.empty()) out.cd += SquireYoungDrag(out.lower.stations.back());
  return out;
}

}  // namespace velquin
