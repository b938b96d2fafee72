#include "app/explorer_streamlines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <deque>
#include <limits>
#include <optional>

namespace velquin {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool CellOpen(const FlowGrid& grid, int i, int j) {
  if (i < 0 || j < 0 || i >= grid.nx - 1 || j >= grid.ny - 1) return false;
  return !grid.blocked[static_cast<std::size_t>(j) * (grid.nx - 1) + i];
}

// An edge lies in the flow when a cell beside it is open (an open cell lies wholly
// outside the body).
bool HorizontalEdgeInFlow(const FlowGrid& grid, int i, int j) {
  return CellOpen(grid, i, j - 1) || CellOpen(grid, i, j);
}
bool VerticalEdgeInFlow(const FlowGrid& grid, int i, int j) {
  return CellOpen(grid, i - 1, j) || CellOpen(grid, i, j);
}

// The steps of the walk that a wake crosses, one flag per step: horizontal steps (i, j)
// to (i + 1, j) at j (nx - 1) + i, vertical steps (i, j) to (i, j + 1) at j nx + i.
struct CutSteps {
  std::vector<unsigned char> horizontal, vertical;
};

// Flags the steps that the segment from (px, py) to (qx, qy), shorter than a cell each
// way, crosses: a grid line x = x_i between two nodes of a column, or y = y_j between
// two nodes of a row.
void FlagCrossings(const FlowGrid& grid, double px, double py, double qx, double qy,
                   CutSteps& steps) {
  const FlowDomain& d = grid.domain;
  const int ip = static_cast<int>(std::floor((px - d.xmin) / grid.dx));
  const int iq = static_cast<int>(std::floor((qx - d.xmin) / grid.dx));
  if (ip != iq) {
    const int i = std::max(ip, iq);
    const double x = d.xmin + i * grid.dx;
    const double y = py + (x - px) / (qx - px) * (qy - py);
    const int j = static_cast<int>(std::floor((y - d.ymin) / grid.dy));
    if (i >= 0 && i < grid.nx && j >= 0 && j < grid.ny - 1) {
      steps.vertical[static_cast<std::size_t>(j) * grid.nx + i] = 1;
    }
  }
  const int jp = static_cast<int>(std::floor((py - d.ymin) / grid.dy));
  const int jq = static_cast<int>(std::floor((qy - d.ymin) / grid.dy));
  if (jp != jq) {
    const int j = std::max(jp, jq);
    const double y = d.ymin + j * grid.dy;
    const double x = px + (y - py) / (qy - py) * (qx - px);
    const int i = static_cast<int>(std::floor((x - d.xmin) / grid.dx));
    if (i >= 0 && i < grid.nx - 1 && j >= 0 && j < grid.ny) {
      steps.horizontal[static_cast<std::size_t>(j) * (grid.nx - 1) + i] = 1;
    }
  }
}

// The wake from a rear stagnation point, followed in half-cell steps along the grid's
// velocity (along the free stream where the velocity is not known: in the cells the
// contours pass, as right at the point) to the edge of the grid, its crossings flagged.
void FlagWake(const FlowGrid& grid, const FlowFrame& field, const StreamCut& from, double cos_alfa,
              double sin_alfa, CutSteps& steps) {
  const FlowDomain& d = grid.domain;
  const double h = 0.5 * std::min(grid.dx, grid.dy);
  const int most_steps = 8 * (grid.nx + grid.ny);
  double x = from.x, y = from.y;
  // The cut runs off the wake on its right, joined to the body by a first piece across:
  // along the wake itself the contour of the dividing streamline met the step in every
  // cell and was drawn notched.
  const double off = 0.75 * std::min(grid.dx, grid.dy);
  double cut_x = x + off * sin_alfa, cut_y = y - off * cos_alfa;
  FlagCrossings(grid, x, y, cut_x, cut_y, steps);
  for (int k = 0; k < most_steps; ++k) {
    double ux = cos_alfa, uy = sin_alfa;
    if (const std::optional<FlowVelocity> V = SampleFlowGrid(grid, field, x, y)) {
      const double speed = std::hypot(V->u, V->v);
      if (speed > 1e-9) {
        ux = V->u / speed;
        uy = V->v / speed;
      }
    }
    x += h * ux;
    y += h * uy;
    const double next_cut_x = x + off * uy, next_cut_y = y - off * ux;
    FlagCrossings(grid, cut_x, cut_y, next_cut_x, next_cut_y, steps);
    cut_x = next_cut_x;
    cut_y = next_cut_y;
    if (x < d.xmin || x > d.xmax || y < d.ymin || y > d.ymax) return;
  }
}

}  // namespace

std::vector<double> StreamFunctionOnGrid(const FlowGrid& grid, const FlowFrame& field,
                                         const std::vector<StreamCut>& cuts, double cos_alfa,
                                         double sin_alfa) {
  const int nx = grid.nx, ny = grid.ny;
  const std::size_t nodes = static_cast<std::size_t>(nx) * ny;
  std::vector<double> psi(nodes, kNaN);
  std::vector<std::size_t> queue;
  queue.reserve(nodes);
  CutSteps steps;
  steps.horizontal.assign(static_cast<std::size_t>(nx - 1) * ny, 0);
  steps.vertical.assign(static_cast<std::size_t>(nx) * (ny - 1), 0);
  for (const StreamCut& c : cuts) FlagWake(grid, field, c, cos_alfa, sin_alfa, steps);
  // Steps between neighbours a and b (b = a + 1 or a + nx either way).
  const auto cut = [&](std::size_t a, std::size_t b) {
    const std::size_t low = std::min(a, b);
    if (std::max(a, b) - low == 1) {
      return steps.horizontal[low / nx * (nx - 1) + low % nx] != 0;
    }
    return steps.vertical[low] != 0;
  };
  const auto visit = [&](std::size_t from, int i, int j, bool in_flow, bool horizontal,
                         double sign) {
    if (!in_flow || i < 0 || j < 0 || i >= nx || j >= ny) return;
    const std::size_t to = static_cast<std::size_t>(j) * nx + i;
    if (!std::isnan(psi[to]) || cut(from, to)) return;
    // Across a horizontal edge the flow is -v dx, across a vertical one u dy.
    psi[to] = horizontal ? psi[from] - sign * 0.5 * (field.v[from] + field.v[to]) * grid.dx
                         : psi[from] + sign * 0.5 * (field.u[from] + field.u[to]) * grid.dy;
    queue.push_back(to);
  };
  for (std::size_t start = 0; start < nodes; ++start) {
    if (!std::isnan(psi[start]) || grid.inside[start]) continue;
    const int si = static_cast<int>(start % nx), sj = static_cast<int>(start / nx);
    const bool joined = HorizontalEdgeInFlow(grid, si, sj) ||
                        HorizontalEdgeInFlow(grid, si - 1, sj) ||
                        VerticalEdgeInFlow(grid, si, sj) || VerticalEdgeInFlow(grid, si, sj - 1);
    if (!joined) continue;
    psi[start] = 0;
    queue.assign(1, start);
    for (std::size_t head = 0; head < queue.size(); ++head) {
      const std::size_t k = queue[head];
      const int i = static_cast<int>(k % nx), j = static_cast<int>(k / nx);
      visit(k, i + 1, j, i + 1 < nx && HorizontalEdgeInFlow(grid, i, j), true, 1);
      visit(k, i - 1, j, i > 0 && HorizontalEdgeInFlow(grid, i - 1, j), true, -1);
      visit(k, i, j + 1, j + 1 < ny && VerticalEdgeInFlow(grid, i, j), false, 1);
      visit(k, i, j - 1, j > 0 && VerticalEdgeInFlow(grid, i, j - 1), false, -1);
    }
  }
  return psi;
}

double SampleStreamFunction(const FlowGrid& grid, const std::vector<double>& psi, double x,
                            double y) {
  const double fx = (x - grid.domain.xmin) / grid.dx;
  const double fy = (y - grid.domain.ymin) / grid.dy;
  if (!(fx >= 0 && fy >= 0 && fx <= grid.nx - 1 && fy <= grid.ny - 1)) return kNaN;
  const int i = std::min(static_cast<int>(fx), grid.nx - 2);
  const int j = std::min(static_cast<int>(fy), grid.ny - 2);
  const double tx = fx - i, ty = fy - j;
  const std::size_t k = static_cast<std::size_t>(j) * grid.nx + i;
  const std::size_t up = k + grid.nx;
  const double bottom = psi[k] + tx * (psi[k + 1] - psi[k]);
  const double top = psi[up] + tx * (psi[up + 1] - psi[up]);
  return bottom + ty * (top - bottom);
}

namespace {

// One piece of a contour inside a cell, from a crossing on one edge to one on another.
struct Segment {
  std::array<int, 2> edge;
  std::array<double, 2> x, y;
  int cell_i = 0, cell_j = 0;
};

// The segments of the level in one open cell (marching squares; a saddle cell is split
// the way its centre value says).
void CellSegments(const FlowGrid& grid, const std::vector<double>& psi, double level, int i, int j,
                  std::vector<Segment>& out) {
  const int nx = grid.nx;
  const std::size_t k = static_cast<std::size_t>(j) * nx + i;
  const double value[4] = {psi[k], psi[k + 1], psi[k + nx + 1], psi[k + nx]};
  const double x0 = grid.domain.xmin + i * grid.dx, y0 = grid.domain.ymin + j * grid.dy;
  const double cx[4] = {x0, x0 + grid.dx, x0 + grid.dx, x0};
  const double cy[4] = {y0, y0, y0 + grid.dy, y0 + grid.dy};
  const int nh = (nx - 1) * grid.ny;
  // Edge e runs from corner e to corner e + 1: bottom, right, top, left.
  const int edge_id[4] = {j * (nx - 1) + i, nh + j * nx + i + 1, (j + 1) * (nx - 1) + i,
                          nh + j * nx + i};
  bool above[4];
  for (int c = 0; c < 4; ++c) {
    if (std::isnan(value[c])) return;
    above[c] = value[c] >= level;
  }
  int crossed[4];
  int count = 0;
  for (int e = 0; e < 4; ++e) {
    if (above[e] != above[(e + 1) % 4]) crossed[count++] = e;
  }
  if (count == 0) return;
  const auto point = [&](int e, double& px, double& py) {
    const int a = e, b = (e + 1) % 4;
    const double t = (level - value[a]) / (value[b] - value[a]);
    px = cx[a] + t * (cx[b] - cx[a]);
    py = cy[a] + t * (cy[b] - cy[a]);
  };
  const auto add = [&](int e0, int e1) {
    Segment s;
    s.edge = {edge_id[e0], edge_id[e1]};
    point(e0, s.x[0], s.y[0]);
    point(e1, s.x[1], s.y[1]);
    s.cell_i = i;
    s.cell_j = j;
    out.push_back(s);
  };
  if (count == 2) {
    add(crossed[0], crossed[1]);
    return;
  }
  const bool centre_above = 0.25 * (value[0] + value[1] + value[2] + value[3]) >= level;
  if (centre_above == above[0]) {
    add(0, 1);  // corner 1 cut off
    add(2, 3);  // corner 3 cut off
  } else {
    add(3, 0);
    add(1, 2);
  }
}

bool OnGridBoundary(const FlowGrid& grid, int edge) {
  const int nx = grid.nx, ny = grid.ny;
  const int nh = (nx - 1) * ny;
  if (edge < nh) {
    const int j = edge / (nx - 1);
    return j == 0 || j == ny - 1;
  }
  const int i = (edge - nh) % nx;
  return i == 0 || i == nx - 1;
}

}  // namespace

namespace {

// The contour of one level through the given open cells (in increasing cell order).
// `ends` has a slot pair for every edge of the grid, all {-1, -1}; the slots this level
// fills are cleared again before returning, so that one buffer serves every level.
std::vector<Streamline> ContoursThroughCells(const FlowGrid& grid, const std::vector<double>& psi,
                                             double level, const std::vector<int>& cells,
                                             std::vector<std::array<int, 2>>& ends) {
  std::vector<Segment> segments;
  for (const int cell : cells) {
    CellSegments(grid, psi, level, cell % (grid.nx - 1), cell / (grid.nx - 1), segments);
  }
  // Each crossing is shared by the segments of the two cells beside its edge.
  struct ClearEnds {
    const std::vector<Segment>& segments;
    std::vector<std::array<int, 2>>& ends;
    ~ClearEnds() {
      for (const Segment& s : segments) {
        for (const int edge : s.edge) ends[static_cast<std::size_t>(edge)] = {-1, -1};
      }
    }
  } clear_ends{segments, ends};
  for (int s = 0; s < static_cast<int>(segments.size()); ++s) {
    for (int side = 0; side < 2; ++side) {
      std::array<int, 2>& slot = ends[static_cast<std::size_t>(segments[s].edge[side])];
      (slot[0] < 0 ? slot[0] : slot[1]) = 2 * s + side;
    }
  }
  std::vector<unsigned char> used(segments.size(), 0);
  std::vector<Streamline> lines;
  for (int first = 0; first < static_cast<int>(segments.size()); ++first) {
    if (used[first]) continue;
    used[first] = 1;
    // The flow along the line: (dpsi/dy, -dpsi/dx) in each segment's cell, summed over
    // the segments as the line runs (a single cell beside the body can point wrong).
    double along = 0;
    const auto flow_along = [&](int segment, bool forwards) {
      const Segment& g = segments[segment];
      const std::size_t c = static_cast<std::size_t>(g.cell_j) * grid.nx + g.cell_i;
      const double a = psi[c], b = psi[c + 1], e = psi[c + grid.nx + 1], d = psi[c + grid.nx];
      const double gx = ((b - a) + (e - d)) / (2 * grid.dx);
      const double gy = ((d - a) + (e - b)) / (2 * grid.dy);
      const double dot = (g.x[1] - g.x[0]) * gy - (g.y[1] - g.y[0]) * gx;
      along += forwards ? dot : -dot;
    };
    flow_along(first, true);
    std::deque<double> xs = {segments[first].x[0], segments[first].x[1]};
    std::deque<double> ys = {segments[first].y[0], segments[first].y[1]};
    bool closed = false;
    int end_edges[2] = {segments[first].edge[0], segments[first].edge[1]};
    // Onwards from end 1, then backwards from end 0.
    for (int direction = 1; direction >= 0 && !closed; --direction) {
      int s = first, side = direction;
      for (;;) {
        const int edge = segments[s].edge[side];
        const std::array<int, 2>& slot = ends[static_cast<std::size_t>(edge)];
        const int here = 2 * s + side;
        const int other = slot[0] == here ? slot[1] : slot[0];
        end_edges[direction] = edge;
        if (other < 0) break;
        const int next = other / 2;
        if (next == first) {
          closed = true;
          break;
        }
        if (used[next]) break;
        used[next] = 1;
        side = 1 - other % 2;  // leave the next segment by its far end
        s = next;
        // Onwards the line runs from the segment's end 1 - side to its end side; the
        // segment's own direction is from end 0 to end 1.
        flow_along(s, (direction == 1) == (side == 1));
        if (direction == 1) {
          xs.push_back(segments[s].x[side]);
          ys.push_back(segments[s].y[side]);
        } else {
          xs.push_front(segments[s].x[side]);
          ys.push_front(segments[s].y[side]);
        }
      }
    }
    Streamline line;
    line.x.assign(xs.begin(), xs.end());
    line.y.assign(ys.begin(), ys.end());
    if (closed) {
      line.x.push_back(line.x.front());
      line.y.push_back(line.y.front());
      line.end = StreamlineEnd::kBody;
    } else {
      line.end =
          OnGridBoundary(grid, end_edges[1]) ? StreamlineEnd::kDomainEdge : StreamlineEnd::kBody;
    }
    // Downstream.
    if (along < 0) {
      std::reverse(line.x.begin(), line.x.end());
      std::reverse(line.y.begin(), line.y.end());
      if (!closed) {
        line.end =
            OnGridBoundary(grid, end_edges[0]) ? StreamlineEnd::kDomainEdge : StreamlineEnd::kBody;
      }
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<std::array<int, 2>> EmptyEnds(const FlowGrid& grid) {
  const int edges = (grid.nx - 1) * grid.ny + grid.nx * (grid.ny - 1);
  return std::vector<std::array<int, 2>>(static_cast<std::size_t>(edges), {-1, -1});
}

}  // namespace

std::vector<Streamline> StreamFunctionContours(const FlowGrid& grid, const std::vector<double>& psi,
                                               double level) {
  std::vector<int> cells;
  for (int j = 0; j < grid.ny - 1; ++j) {
    for (int i = 0; i < grid.nx - 1; ++i) {
      if (CellOpen(grid, i, j)) cells.push_back(j * (grid.nx - 1) + i);
    }
  }
  std::vector<std::array<int, 2>> ends = EmptyEnds(grid);
  return ContoursThroughCells(grid, psi, level, cells, ends);
}

namespace {

// A piece that begins and ends beside the body within `cells` cells: where psi differs
// from the body's value by less than the walk's rounding, a level grazes the blocked
// cells along the surface. No streamline of the flow looks like that (only the body's
// own level meets the body, and it runs on to a stagnation point), so it is left out.
bool OnDomainEdge(const FlowGrid& grid, double x, double y) {
  const FlowDomain& D = grid.domain;
  const double tolerance = 1e-9 * (D.xmax - D.xmin + D.ymax - D.ymin);
  return x - D.xmin < tolerance || D.xmax - x < tolerance || y - D.ymin < tolerance ||
         D.ymax - y < tolerance;
}

bool IsShortFragment(const FlowGrid& grid, const Streamline& line, double cells) {
  if (line.end != StreamlineEnd::kBody || line.x.size() < 2) return false;
  if (OnDomainEdge(grid, line.x.front(), line.y.front())) return false;  // it comes in
  const bool closed = line.x.front() == line.x.back() && line.y.front() == line.y.back();
  double length = 0;
  for (std::size_t k = 1; k < line.x.size(); ++k) {
    length += std::hypot(line.x[k] - line.x[k - 1], line.y[k] - line.y[k - 1]);
  }
  const double cell = std::max(grid.dx, grid.dy);
  return length < (closed ? 1.5 : 1.0) * cells * cell;
}

}  // namespace

std::vector<Streamline> ExplorerStreamlines(const FlowGrid& grid, const std::vector<double>& psi,
                                            double psi_body, double cos_alfa, double sin_alfa,
                                            const std::vector<StagnationPoint>& stagnation,
                                            const ExplorerStreamlineOptions& options) {
  // The flow of the undisturbed stream across the domain: its corners projected on the
  // normal (-sin a, cos a) of the free stream.
  const FlowDomain& D = grid.domain;
  double p_lo = 1e300, p_hi = -1e300;
  for (const double x : {D.xmin, D.xmax}) {
    for (const double y : {D.ymin, D.ymax}) {
      const double p = -sin_alfa * x + cos_alfa * y;
      p_lo = std::min(p_lo, p);
      p_hi = std::max(p_hi, p);
    }
  }
  const double step = (p_hi - p_lo) / std::max(options.count, 1);
  double low = 1e300, high = -1e300;
  for (const double v : psi) {
    if (std::isnan(v)) continue;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  std::vector<Streamline> lines;
  if (!(low <= high) || !(step > 0)) return lines;
  const double base = std::isnan(psi_body) ? 0.5 * (low + high) : psi_body;
  const long first = static_cast<long>(std::ceil((low - base) / step));
  const long last = static_cast<long>(std::floor((high - base) / step));
  // Far beyond the domain's own flow (a view grid whose psi jumps) nothing more is drawn.
  const long limit = 4L * options.count;
  const long k_first = std::max(first, -limit), k_last = std::min(last, limit);
  // Every open cell, once, in the list of each level its corner values span: a level
  // then visits only the cells it crosses, in the order a full sweep would.
  std::vector<std::vector<int>> cells_of_level(
      static_cast<std::size_t>(std::max(0L, k_last - k_first + 1)));
  for (int j = 0; j < grid.ny - 1; ++j) {
    for (int i = 0; i < grid.nx - 1; ++i) {
      if (!CellOpen(grid, i, j)) continue;
      const std::size_t c = static_cast<std::size_t>(j) * grid.nx + i;
      const double corners[4] = {psi[c], psi[c + 1], psi[c + grid.nx + 1], psi[c + grid.nx]};
      double lo = corners[0], hi = corners[0];
      bool defined = true;
      for (const double v : corners) {
        defined = defined && !std::isnan(v);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
      if (!defined) continue;
      // The levels base + k step within [lo, hi], widened by one either way: the test
      // of the corners against a level decides, not this division's rounding.
      const long k_lo = std::max(k_first, static_cast<long>(std::floor((lo - base) / step)) - 1);
      const long k_hi = std::min(k_last, static_cast<long>(std::ceil((hi - base) / step)) + 1);
      for (long k = k_lo; k <= k_hi; ++k) {
        cells_of_level[static_cast<std::size_t>(k - k_first)].push_back(j * (grid.nx - 1) + i);
      }
    }
  }
  std::vector<std::array<int, 2>> ends = EmptyEnds(grid);
  for (long k = k_first; k <= k_last; ++k) {
    std::vector<Streamline> contour = ContoursThroughCells(
        grid, psi, base + k * step, cells_of_level[static_cast<std::size_t>(k - k_first)], ends);
    for (Streamline& line : contour) {
      if (k == 0 && !std::isnan(psi_body)) {
        // The body's own level: a dividing streamline comes in over the edge of the grid
        // or leaves over it, and runs on to the stagnation point it comes near. Its other
        // pieces only trace the walk's rounding along the surface.
        const bool from_edge = OnDomainEdge(grid, line.x.front(), line.y.front());
        const bool to_edge = line.end == StreamlineEnd::kDomainEdge;
        if (!from_edge && !to_edge) continue;
        // Where it passes the stagnation point it divides the flow at, it is cut and
        // run on to the point: beyond, the level follows the surface, where the panels'
        // own disturbance decides which side of the contour it takes.
        const double reach = 3 * std::max(grid.dx, grid.dy);
        for (const StagnationPoint& p : stagnation) {
          std::size_t nearest = 0;
          double best = 1e300;
          for (std::size_t m = 0; m < line.x.size(); ++m) {
            const double d = std::hypot(line.x[m] - p.x, line.y[m] - p.y);
            if (d < best) {
              best = d;
              nearest = m;
            }
          }
          if (best >= reach) continue;
          if (!to_edge) {
            line.x.resize(nearest + 1);
            line.y.resize(nearest + 1);
            line.x.push_back(p.x);
            line.y.push_back(p.y);
            line.end = StreamlineEnd::kStagnation;
          } else if (!from_edge) {
            line.x.erase(line.x.begin(), line.x.begin() + static_cast<std::ptrdiff_t>(nearest));
            line.y.erase(line.y.begin(), line.y.begin() + static_cast<std::ptrdiff_t>(nearest));
            line.x.insert(line.x.begin(), p.x);
            line.y.insert(line.y.begin(), p.y);
          }
          break;
        }
      }
      if (!IsShortFragment(grid, line, 4)) lines.push_back(std::move(line));
    }
  }
  return lines;
}

}  // namespace velquin
