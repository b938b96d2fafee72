#include "solver/flow_field.h"

#include <algorithm>
#include <boost/numeric/odeint.hpp>
#include <cmath>
#include <cstddef>
#include <thread>

#include "base/run_error.h"
#include "solver/module_influcoeff.h"
#include "solver/panel_tree.h"

namespace velquin {

std::vector<double> CombinedStrengths(const FlowBases& bases, double cos_alfa, double sin_alfa) {
  std::vector<double> Q(bases.Q0.size());
  for (std::size_t j = 0; j < Q.size(); ++j)
    Q[j] = cos_alfa * bases.Q0[j] + sin_alfa * bases.Q90[j];
  return Q;
}

FlowPanels SeedFlowPanels(const Module_Common& C, VortexModel model) {
  FlowPanels panels;
  panels.setup = SeedSetup(C, model);
  panels.X1 = C.X.Row(1);
  panels.Y1 = C.Y.Row(1);
  return panels;
}

bool FarFieldSourceVelocity(const InfluenceSetup& s, int j, double x, double y, double& u,
                            double& v) {
  const PanelView& p = s.panels;
  const double middle = 0.5 * (p.Xi1[j] + p.Xi2[j]);
  const double h = 0.5 * (p.Xi2[j] - p.Xi1[j]);
  const double zx = x - middle;
  const double r2 = zx * zx + y * y;
  if (!(r2 > 36 * h * h)) {
    try {
      SourcePanelVelocity(s.k, x, y, p.Xi1[j], p.Xi2[j], u, v);
    } catch (const RunError&) {
      return false;
    }
    return true;
  }
  // t = h / z and a = t^2, then t (1 + a (1/3 + a (1/5 + a (1/7 + a / 9)))) by Horner.
  const double tr = h * zx / r2, ti = -h * y / r2;
  const double ar = tr * tr - ti * ti, ai = 2 * tr * ti;
  double pr = 1.0 / 7 + ar / 9, pi = ai / 9;
  double nr = 1.0 / 5 + (ar * pr - ai * pi), ni = ar * pi + ai * pr;
  pr = 1.0 / 3 + (ar * nr - ai * ni);
  pi = ar * ni + ai * nr;
  nr = 1 + (ar * pr - ai * pi);
  ni = ar * pi + ai * pr;
  const double wr = tr * nr - ti * ni, wi = tr * ni + ti * nr;
  u = wr / s.k.Pi;
  v = -wi / s.k.Pi;
  return true;
}

namespace {

// The velocity, global components, of unit source panel j at (x, y): into the panel's
// frame, the kernel (or its series far away), back.
template <bool kFar>
bool PanelVelocity(const InfluenceSetup& s, int j, double x, double y, double& U, double& V) {
  const PanelView& p = s.panels;
  const double dX = x - p.Xc[j];
  const double dY = y - p.Yc[j];
  const double xL = p.CosAx[j] * dX + p.CosBx[j] * dY;
  const double yL = p.CosAy[j] * dX + p.CosBy[j] * dY;
  double u = 0, v = 0;
  if constexpr (kFar) {
    if (!FarFieldSourceVelocity(s, j, xL, yL, u, v)) return false;
  } else {
    try {
      SourcePanelVelocity(s.k, xL, yL, p.Xi1[j], p.Xi2[j], u, v);
    } catch (const RunError&) {
      return false;  // on an end of panel j
    }
  }
  U = p.CosAx[j] * u + p.CosAy[j] * v;
  V = p.CosBx[j] * u + p.CosBy[j] * v;
  return true;
}

// A unit point vortex at (xv, yv), counter-clockwise positive, at (x, y).
bool PointVortexAt(const InfluenceSetup& s, double x, double y, double& U, double& V) {
  const double rx = s.Xv - x;
  const double ry = s.Yv - y;
  const double r = std::sqrt(rx * rx + ry * ry);
  if (r == 0) return false;
  U = ((1 / s.k.Pi2) / r) * ry / r;
  V = ((-1 / s.k.Pi2) / r) * rx / r;
  return true;
}

// Every panel summed with the exact kernel.
bool Velocities(const FlowPanels& panels, const FlowBases& bases, double x, double y,
                FlowVelocity& V0, FlowVelocity& V90) {
  const InfluenceSetup& s = panels.setup;
  const bool ground = s.ground_y.has_value();
  const double y_image = ground ? 2 * *s.ground_y - y : 0;
  // The free streams (1, 0) and (0, 1), then every element: its source panels, then its
  // vortex.
  double u0 = 1, v0 = 0, u90 = 0, v90 = 1;
  std::size_t vortex_index = static_cast<std::size_t>(s.panels.count);
  for (const ElementPanels& e : s.elements) {
    double sum_u = 0, sum_v = 0;      // the element's sources at unit strength
    double image_u = 0, image_v = 0;  // their images' fields at the mirror point
    for (int j = e.first; j <= e.last; ++j) {
      double U = 0, V = 0;
      if (!PanelVelocity<false>(s, j, x, y, U, V)) return false;
      sum_u = sum_u + U;
      sum_v = sum_v + V;
      if (ground) {
        double Ui = 0, Vi = 0;
        if (!PanelVelocity<false>(s, j, x, y_image, Ui, Vi)) return false;
        image_u = image_u + Ui;
        image_v = image_v + Vi;
        U = U + Ui;
        V = V - Vi;  // mirrored back
      }
      const double q0 = bases.Q0[static_cast<std::size_t>(j - 1)];
      const double q90 = bases.Q90[static_cast<std::size_t>(j - 1)];
      u0 = u0 + q0 * U;
      v0 = v0 + q0 * V;
      u90 = u90 + q90 * U;
      v90 = v90 + q90 * V;
    }
    if (e.vortex == VortexModel::kNone) continue;
    double U = 0, V = 0;  // the vortex at unit strength
    if (e.vortex == VortexModel::kConstantDistribution) {
      // The source field turned a quarter turn clockwise; its image, of the opposite
      // strength, is the mirrored images' field turned the other way: (image_v, image_u).
      U = sum_v;
      V = -sum_u;
      if (ground) {
        U = U + image_v;
        V = V + image_u;
      }
    } else {
      if (!PointVortexAt(s, x, y, U, V)) return false;
      if (ground) {
        double Ui = 0, Vi = 0;
        if (!PointVortexAt(s, x, y_image, Ui, Vi)) return false;
        U = U + Ui;
        V = V - Vi;
      }
    }
    const double g0 = bases.Q0[vortex_index];
    const double g90 = bases.Q90[vortex_index];
    ++vortex_index;
    u0 = u0 + g0 * U;
    v0 = v0 + g0 * V;
    u90 = u90 + g90 * U;
    v90 = v90 + g90 * V;
  }
  V0 = {u0, v0};
  V90 = {u90, v90};
  return true;
}

}  // namespace

bool UnitPanelVelocity(const InfluenceSetup& setup, int j, double x, double y, double& U,
                       double& V) {
  return PanelVelocity<true>(setup, j, x, y, U, V);
}

bool UnitPointVortexVelocity(const InfluenceSetup& setup, double x, double y, double& U,
                             double& V) {
  return PointVortexAt(setup, x, y, U, V);
}

bool BaseVelocities(const FlowPanels& panels, const FlowBases& bases, double x, double y,
                    FlowVelocity& V0, FlowVelocity& V90) {
  return Velocities(panels, bases, x, y, V0, V90);
}

bool BaseVelocities(const Module_Common& C, const FlowBases& bases, double x, double y,
                    FlowVelocity& V0, FlowVelocity& V90) {
  return BaseVelocities(SeedFlowPanels(C, bases.model), bases, x, y, V0, V90);
}

std::optional<FlowVelocity> VelocityAt(const FlowPanels& panels, const FlowBases& bases,
                                       double cos_alfa, double sin_alfa, double x, double y) {
  FlowVelocity V0, V90;
  if (!BaseVelocities(panels, bases, x, y, V0, V90)) return std::nullopt;
  return FlowVelocity{cos_alfa * V0.u + sin_alfa * V90.u, cos_alfa * V0.v + sin_alfa * V90.v};
}

std::optional<FlowVelocity> VelocityAt(const Module_Common& C, const FlowBases& bases,
                                       double cos_alfa, double sin_alfa, double x, double y) {
  return VelocityAt(SeedFlowPanels(C, bases.model), bases, cos_alfa, sin_alfa, x, y);
}

BaseSpeeds ComputeBaseSpeeds(const FlowPanels& panels, const FlowBases& bases) {
  const PanelView& p = panels.setup.panels;
  const int np = p.count;
  BaseSpeeds speeds;
  speeds.Vt0.assign(np, std::nan(""));
  speeds.Vt90.assign(np, std::nan(""));
  for (int i = 1; i <= np; ++i) {
    FlowVelocity V0, V90;
    if (!BaseVelocities(panels, bases, p.Xc[i], p.Yc[i], V0, V90)) continue;
    speeds.Vt0[i - 1] = p.CosAx[i] * V0.u + p.CosBx[i] * V0.v;
    speeds.Vt90[i - 1] = p.CosAx[i] * V90.u + p.CosBx[i] * V90.v;
  }
  return speeds;
}

BaseSpeeds ComputeBaseSpeeds(const Module_Common& C, const FlowBases& bases) {
  return ComputeBaseSpeeds(SeedFlowPanels(C, bases.model), bases);
}

std::vector<Contour> ElementContours(const FlowPanels& panels) {
  std::vector<Contour> contours;
  for (const ElementPanels& e : panels.setup.elements) {
    Contour contour;
    for (int i = e.first; i <= e.last; ++i) {
      contour.x.push_back(panels.X1[i]);
      contour.y.push_back(panels.Y1[i]);
    }
    contours.push_back(std::move(contour));
  }
  return contours;
}

bool ContoursContain(const std::vector<Contour>& contours, double x, double y) {
  for (const Contour& contour : contours) {
    if (ContourContains(contour, x, y)) return true;
  }
  return false;
}

Contour PanelContour(const Module_Common& C) {
  const int np = RealToIndex(C.NP);
  Contour contour;
  contour.x.reserve(np);
  contour.y.reserve(np);
  for (int i = 1; i <= np; ++i) {
    contour.x.push_back(C.X(1, i));
    contour.y.push_back(C.Y(1, i));
  }
  return contour;
}

bool ContourContains(const Contour& contour, double x, double y) {
  bool inside = false;
  const std::size_t n = contour.x.size();
  for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
    const double xi = contour.x[i], yi = contour.y[i];
    const double xj = contour.x[j], yj = contour.y[j];
    // Edge (j, i) crosses the horizontal line through the point to its right.
    if ((yi > y) != (yj > y) && x < xj + (y - yj) * (xi - xj) / (yi - yj)) inside = !inside;
  }
  return inside;
}

FlowDomain DomainAroundBody(const Contour& contour) {
  const auto [x0, x1] = std::minmax_element(contour.x.begin(), contour.x.end());
  const auto [y0, y1] = std::minmax_element(contour.y.begin(), contour.y.end());
  const double length = *x1 - *x0;
  const double height = std::max(length, (*y1 - *y0) + 0.8 * length);
  const double width = std::max(2 * length, 2 * height);
  const double xc = 0.5 * (*x0 + *x1);
  const double yc = 0.5 * (*y0 + *y1);
  return {xc - 0.5 * width, xc + 0.5 * width, yc - 0.25 * width, yc + 0.25 * width};
}

FlowDomain DomainAroundElements(const std::vector<Contour>& contours,
                                std::optional<double> ground_y) {
  Contour all;
  for (const Contour& c : contours) {
    all.x.insert(all.x.end(), c.x.begin(), c.x.end());
    all.y.insert(all.y.end(), c.y.begin(), c.y.end());
  }
  FlowDomain domain = DomainAroundBody(all);
  if (ground_y && *ground_y < domain.ymax) {
    // The ground in sight, with a strip of a twentieth of the height beneath it.
    const double height = domain.ymax - domain.ymin;
    const double bottom = *ground_y - 0.05 * height;
    if (bottom > domain.ymin) {
      domain.ymax = domain.ymax - (bottom - domain.ymin);
      domain.ymin = bottom;
      const double top = *std::max_element(all.y.begin(), all.y.end());
      if (domain.ymax < top + 0.25 * height) {
        domain.ymax = top + 0.25 * height;
      }
    }
  }
  return domain;
}

namespace {

// Liang-Barsky: does the segment (x0, y0)-(x1, y1) meet the closed rectangle?
bool SegmentMeetsRectangle(double x0, double y0, double x1, double y1, double left, double bottom,
                           double right, double top) {
  double t_enter = 0, t_leave = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - left, right - x0, y0 - bottom, top - y0};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0) {
      if (q[k] < 0) return false;  // parallel to this side and beyond it
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0) {
      t_enter = std::max(t_enter, t);
    } else {
      t_leave = std::min(t_leave, t);
    }
  }
  return t_enter <= t_leave;
}

// Blocks every cell that an edge of the contour passes through.
void BlockCellsOnContour(const Contour& contour, FlowGrid& grid) {
  const int cx = grid.nx - 1, cy = grid.ny - 1;
  const std::size_t n = contour.x.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t next = (k + 1) % n;
    const double xa = contour.x[k], ya = contour.y[k];
    const double xb = contour.x[next], yb = contour.y[next];
    const auto cell_range = [](double a, double b, double origin, double step, int cells) {
      const int lo = static_cast<int>(std::floor((std::min(a, b) - origin) / step));
      const int hi = static_cast<int>(std::floor((std::max(a, b) - origin) / step));
      return std::pair<int, int>{std::max(lo, 0), std::min(hi, cells - 1)};
    };
    const auto [i0, i1] = cell_range(xa, xb, grid.domain.xmin, grid.dx, cx);
    const auto [j0, j1] = cell_range(ya, yb, grid.domain.ymin, grid.dy, cy);
    for (int j = j0; j <= j1; ++j) {
      for (int i = i0; i <= i1; ++i) {
        const double left = grid.domain.xmin + i * grid.dx;
        const double bottom = grid.domain.ymin + j * grid.dy;
        if (SegmentMeetsRectangle(xa, ya, xb, yb, left, bottom, left + grid.dx, bottom + grid.dy)) {
          grid.blocked[static_cast<std::size_t>(j) * cx + i] = 1;
        }
      }
    }
  }
}

void BlockCellsWithInsideNodes(FlowGrid& grid) {
  const int cx = grid.nx - 1, cy = grid.ny - 1;
  for (int j = 0; j < cy; ++j) {
    for (int i = 0; i < cx; ++i) {
      const std::size_t k = static_cast<std::size_t>(j) * grid.nx + i;
      if (grid.inside[k] || grid.inside[k + 1] || grid.inside[k + grid.nx] ||
          grid.inside[k + grid.nx + 1]) {
        grid.blocked[static_cast<std::size_t>(j) * cx + i] = 1;
      }
    }
  }
}

// The base fields along row j of the grid; the nodes inside an element, below the
// ground (or singular) are marked. The polygon test runs only within each element's
// bounding box.
struct Box {
  double x0, x1, y0, y1;
};

void ComputeBaseRow(const FlowPanels& panels, const FlowBases& bases, const PanelTree& tree,
                    const std::vector<Contour>& contours, const std::vector<Box>& boxes, int j,
                    FlowGrid& grid) {
  const double y = grid.domain.ymin + j * grid.dy;
  const std::optional<double>& ground_y = panels.setup.ground_y;
  for (int i = 0; i < grid.nx; ++i) {
    const double x = grid.domain.xmin + i * grid.dx;
    const std::size_t k = static_cast<std::size_t>(j) * grid.nx + i;
    bool inside = ground_y && y < *ground_y;
    for (std::size_t e = 0; e < contours.size() && !inside; ++e) {
      const Box& b = boxes[e];
      inside =
          x >= b.x0 && x <= b.x1 && y >= b.y0 && y <= b.y1 && ContourContains(contours[e], x, y);
    }
    FlowVelocity V0, V90;
    if (inside || !TreeVelocities(tree, panels, bases, x, y, V0, V90)) {
      grid.inside[k] = 1;
      continue;
    }
    grid.u0[k] = V0.u;
    grid.v0[k] = V0.v;
    grid.u90[k] = V90.u;
    grid.v90[k] = V90.v;
  }
}

}  // namespace

FlowGrid MakeFlowGrid(const FlowPanels& panels, const FlowBases& bases,
                      const std::vector<Contour>& contours, const FlowDomain& domain, int nx,
                      int ny, const PanelTree* given_tree) {
  if (nx < 2 || ny < 2) {
    throw RunError(ErrorKind::kInvalidArgument, "a flow grid needs at least 2 x 2 nodes.");
  }
  FlowGrid grid;
  grid.domain = domain;
  grid.nx = nx;
  grid.ny = ny;
  grid.dx = (domain.xmax - domain.xmin) / (nx - 1);
  grid.dy = (domain.ymax - domain.ymin) / (ny - 1);
  const std::size_t nodes = static_cast<std::size_t>(nx) * ny;
  grid.inside.assign(nodes, 0);
  grid.blocked.assign(static_cast<std::size_t>(nx - 1) * (ny - 1), 0);
  grid.u0.assign(nodes, 0);
  grid.v0.assign(nodes, 0);
  grid.u90.assign(nodes, 0);
  grid.v90.assign(nodes, 0);
  std::vector<Box> boxes;
  for (const Contour& c : contours) {
    const auto [x0, x1] = std::minmax_element(c.x.begin(), c.x.end());
    const auto [y0, y1] = std::minmax_element(c.y.begin(), c.y.end());
    boxes.push_back({*x0, *x1, *y0, *y1});
  }
  const PanelTree tree = given_tree ? PanelTree{} : BuildPanelTree(panels, bases);
  const PanelTree& used_tree = given_tree ? *given_tree : tree;
  // The rows are independent: shared out between threads, each writing its own rows.
  const auto compute_rows = [&](int first, int step) {
    for (int j = first; j < ny; j += step) {
      ComputeBaseRow(panels, bases, used_tree, contours, boxes, j, grid);
    }
  };
  const unsigned hardware = std::thread::hardware_concurrency();
  const int threads = static_cast<int>(std::clamp(hardware, 1u, 4u));
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads; ++t) helpers.emplace_back(compute_rows, t, threads);
  compute_rows(0, threads);
  for (std::thread& helper : helpers) helper.join();
  BlockCellsWithInsideNodes(grid);
  for (const Contour& contour : contours) BlockCellsOnContour(contour, grid);
  return grid;
}

FlowGrid MakeFlowGrid(const Module_Common& C, const FlowBases& bases, const Contour& contour,
                      const FlowDomain& domain, int nx, int ny) {
  return MakeFlowGrid(SeedFlowPanels(C, bases.model), bases, std::vector<Contour>{contour}, domain,
                      nx, ny);
}

void CombineFlowGrid(const FlowGrid& grid, double cos_alfa, double sin_alfa, FlowFrame& frame) {
  const std::size_t nodes = grid.inside.size();
  frame.u.resize(nodes);
  frame.v.resize(nodes);
  frame.cp.resize(nodes);
  for (std::size_t k = 0; k < nodes; ++k) {
    const double u = cos_alfa * grid.u0[k] + sin_alfa * grid.u90[k];
    const double v = cos_alfa * grid.v0[k] + sin_alfa * grid.v90[k];
    frame.u[k] = u;
    frame.v[k] = v;
    frame.cp[k] = grid.inside[k] ? 0 : 1 - (u * u + v * v);
  }
}

std::optional<FlowVelocity> SampleFlowGrid(const FlowGrid& grid, const FlowFrame& frame, double x,
                                           double y) {
  const double fx = (x - grid.domain.xmin) / grid.dx;
  const double fy = (y - grid.domain.ymin) / grid.dy;
  // Negated comparisons: a NaN position is outside too.
  if (!(fx >= 0 && fy >= 0 && fx <= grid.nx - 1 && fy <= grid.ny - 1)) return std::nullopt;
  const int i = std::min(static_cast<int>(fx), grid.nx - 2);
  const int j = std::min(static_cast<int>(fy), grid.ny - 2);
  if (grid.blocked[static_cast<std::size_t>(j) * (grid.nx - 1) + i]) return std::nullopt;
  const double tx = fx - i, ty = fy - j;
  const std::size_t k = static_cast<std::size_t>(j) * grid.nx + i;
  const std::size_t up = k + grid.nx;
  const auto mix = [&](const std::vector<double>& f) {
    const double bottom = f[k] + tx * (f[k + 1] - f[k]);
    const double top = f[up] + tx * (f[up + 1] - f[up]);
    return bottom + ty * (top - bottom);
  };
  return FlowVelocity{mix(frame.u), mix(frame.v)};
}

namespace {

using StreamState = std::array<double, 2>;

// Where the line through p n + t d (n the normal of the direction d) enters the domain,
// or nothing when it misses it.
std::optional<StreamState> EntryPoint(const FlowDomain& domain, double p, double cos_alfa,
                                      double sin_alfa) {
  const double x0 = -p * sin_alfa, y0 = p * cos_alfa;  // p n
  double t_enter = -1e300, t_leave = 1e300;
  const double d[2] = {cos_alfa, sin_alfa};
  const double o[2] = {x0, y0};
  const double lo[2] = {domain.xmin, domain.ymin};
  const double hi[2] = {domain.xmax, domain.ymax};
  for (int a = 0; a < 2; ++a) {
    if (d[a] == 0) {
      if (o[a] < lo[a] || o[a] > hi[a]) return std::nullopt;
      continue;
    }
    double t0 = (lo[a] - o[a]) / d[a];
    double t1 = (hi[a] - o[a]) / d[a];
    if (t0 > t1) std::swap(t0, t1);
    t_enter = std::max(t_enter, t0);
    t_leave = std::min(t_leave, t1);
  }
  if (!(t_enter < t_leave)) return std::nullopt;
  // A hair inside, so that rounding does not put the seed outside.
  const double t = t_enter + 1e-9 * (t_leave - t_enter);
  return StreamState{x0 + t * cos_alfa, y0 + t * sin_alfa};
}

Streamline Trace(const FlowGrid& grid, const FlowFrame& frame, StreamState x,
                 const StreamlineOptions& options) {
  namespace odeint = boost::numeric::odeint;
  Streamline line;
  line.x.push_back(x[0]);
  line.y.push_back(x[1]);
  const double cell = std::min(grid.dx, grid.dy);
  const double output_interval = 0.5 * cell;
  // The field is only piecewise bilinear, its slope jumps from cell to cell: steps of
  // at most a few cells keep the error control honest there. (Accuracy beyond a tenth
  // of a pixel buys nothing on the screen.)
  auto stepper =
      odeint::make_dense_output(1e-4, 1e-4, 3 * cell, odeint::runge_kutta_dopri5<StreamState>());
  const auto system = [&](const StreamState& p, StreamState& dpdt, double) {
    const std::optional<FlowVelocity> V = SampleFlowGrid(grid, frame, p[0], p[1]);
    dpdt[0] = V ? V->u : 0;
    dpdt[1] = V ? V->v : 0;
  };
  // Every point is checked; every other one is kept (a line of a cell a segment reads
  // as smooth, and drawing costs by the segment), and the last one checked.
  StreamState last = x;
  bool last_kept = true;
  const auto end = [&](StreamlineEnd reason) {
    if (!last_kept) {
      line.x.push_back(last[0]);
      line.y.push_back(last[1]);
    }
    line.end = reason;
    return line;
  };
  stepper.initialize(x, 0.0, output_interval);
  double next_output = output_interval;
  for (int step = 0; step < options.max_steps; ++step) {
    const auto [t_begin, t_end] = stepper.do_step(system);
    (void)t_begin;
    for (; next_output <= t_end; next_output += output_interval) {
      stepper.calc_state(next_output, x);
      const std::optional<FlowVelocity> V = SampleFlowGrid(grid, frame, x[0], x[1]);
      if (!V) {
        const bool in_domain = x[0] >= grid.domain.xmin && x[0] <= grid.domain.xmax &&
                               x[1] >= grid.domain.ymin && x[1] <= grid.domain.ymax;
        return end(in_domain ? StreamlineEnd::kBody : StreamlineEnd::kDomainEdge);
      }
      last = x;
      last_kept = !last_kept;
      if (last_kept) {
        line.x.push_back(x[0]);
        line.y.push_back(x[1]);
      }
      if (std::sqrt(V->u * V->u + V->v * V->v) < options.stagnation_speed) {
        return end(StreamlineEnd::kStagnation);
      }
    }
  }
  return end(StreamlineEnd::kStepLimit);
}

}  // namespace

std::vector<Streamline> TraceStreamlines(const FlowGrid& grid, const FlowFrame& frame,
                                         double cos_alfa, double sin_alfa,
                                         const StreamlineOptions& options) {
  // The spread of the domain across the stream: its corners projected on the normal
  // n = (-sin a, cos a) of the free-stream direction.
  const FlowDomain& D = grid.domain;
  const double corners[4][2] = {
      {D.xmin, D.ymin}, {D.xmax, D.ymin}, {D.xmin, D.ymax}, {D.xmax, D.ymax}};
  double p_lo = 1e300, p_hi = -1e300;
  for (const auto& corner : corners) {
    const double p = -sin_alfa * corner[0] + cos_alfa * corner[1];
    p_lo = std::min(p_lo, p);
    p_hi = std::max(p_hi, p);
  }
  std::vector<Streamline> lines;
  lines.reserve(options.count);
  for (int k = 0; k < options.count; ++k) {
    const double p = p_lo + (k + 0.5) * (p_hi - p_lo) / options.count;
    const std::optional<StreamState> seed = EntryPoint(D, p, cos_alfa, sin_alfa);
    if (!seed || !SampleFlowGrid(grid, frame, (*seed)[0], (*seed)[1])) continue;
    lines.push_back(Trace(grid, frame, *seed, options));
  }
  return lines;
}

std::vector<StagnationPoint> FindSurfaceStagnationPoints(const FlowPanels& panels,
                                                         const std::vector<double>& Vt) {
  const PanelView& p = panels.setup.panels;
  std::vector<StagnationPoint> points;
  int element = 0;
  for (const ElementPanels& e : panels.setup.elements) {
    for (int i = e.first; i <= e.last; ++i) {
      const int next = i == e.last ? e.first : i + 1;
      const double a = Vt[i - 1], b = Vt[next - 1];
      if (!(a * b < 0 || (b == 0 && a != 0))) continue;
      // Along the contour from control point i over the end node of panel i to control
      // point next: half of each panel.
      const double half_i = 0.5 * p.S[i], half_next = 0.5 * p.S[next];
      const double d = (a / (a - b)) * (half_i + half_next);
      StagnationPoint point;
      if (d <= half_i) {
        point.x = p.Xc[i] + d * p.CosAx[i];
        point.y = p.Yc[i] + d * p.CosBx[i];
      } else {
        point.x = panels.X1[next] + (d - half_i) * p.CosAx[next];
        point.y = panels.Y1[next] + (d - half_i) * p.CosBx[next];
      }
      // Negative before, positive after: the flow runs away from the point on both sides.
      point.attachment = a < 0;
      point.element = element;
      points.push_back(point);
    }
    ++element;
  }
  return points;
}

std::vector<StagnationPoint> FindSurfaceStagnationPoints(const Module_Common& C,
                                                         const std::vector<double>& Vt) {
  return FindSurfaceStagnationPoints(SeedFlowPanels(C, VortexModel::kNone), Vt);
}

Streamline TraceStreamline(const FlowGrid& grid, const FlowFrame& frame, double x, double y,
                           const StreamlineOptions& options) {
  if (!SampleFlowGrid(grid, frame, x, y)) {
    Streamline line;
    line.x.push_back(x);
    line.y.push_back(y);
    const FlowDomain& D = grid.domain;
    const bool in_domain = x >= D.xmin && x <= D.xmax && y >= D.ymin && y <= D.ymax;
    line.end = in_domain ? StreamlineEnd::kBody : StreamlineEnd::kDomainEdge;
    return line;
  }
  return Trace(grid, frame, StreamState{x, y}, options);
}

}  // namespace velquin
