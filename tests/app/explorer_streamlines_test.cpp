// The explorer's streamlines as contours of the stream function, against closed forms:
// the uniform stream (psi = y cos a - x sin a) and the circle without circulation
// (psi = y' (1 - R^2 / r^2) in the frame of the stream); every line ends only at the
// edge, at the body or at a stagnation point, and a part of the plane seen closer gets
// as many lines as the whole.
#include "app/explorer_streamlines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "app/flow_explorer.h"
#include "base/module_common.h"

namespace velquin {
namespace {

FlowGrid UniformGrid() {
  FlowGrid grid;
  grid.domain = {-1, 1, -0.5, 0.5};
  grid.nx = 41;
  grid.ny = 21;
  grid.dx = 2.0 / 40;
  grid.dy = 1.0 / 20;
  const std::size_t nodes = static_cast<std::size_t>(grid.nx) * grid.ny;
  grid.inside.assign(nodes, 0);
  grid.blocked.assign(static_cast<std::size_t>(grid.nx - 1) * (grid.ny - 1), 0);
  grid.u0.assign(nodes, 1);
  grid.v0.assign(nodes, 0);
  grid.u90.assign(nodes, 0);
  grid.v90.assign(nodes, 1);
  return grid;
}

TEST(ExplorerStreamlines, UniformStreamIsStraightAndEvenlySpaced) {
  for (const double degrees : {0.0, 10.0, -35.0, 90.0}) {
    const double a = degrees * M_PI / 180;
    const FlowGrid grid = UniformGrid();
    FlowFrame field;
    CombineFlowGrid(grid, std::cos(a), std::sin(a), field);
    const std::vector<double> psi = StreamFunctionOnGrid(grid, field);
    const auto exact = [&](double x, double y) { return y * std::cos(a) - x * std::sin(a); };
    for (int j = 0; j < grid.ny; ++j) {
      for (int i = 0; i < grid.nx; ++i) {
        const double x = -1 + i * grid.dx, y = -0.5 + j * grid.dy;
        EXPECT_NEAR(psi[j * grid.nx + i] - psi[0], exact(x, y) - exact(-1, -0.5), 1e-12);
      }
    }
    const std::vector<Streamline> lines =
        ExplorerStreamlines(grid, psi, psi[0], std::cos(a), std::sin(a), {});
    // 40 levels across the flow through the domain, give or take the ends.
    EXPECT_GE(lines.size(), 39u) << degrees;
    EXPECT_LE(lines.size(), 41u) << degrees;
    for (const Streamline& line : lines) {
      EXPECT_EQ(line.end, StreamlineEnd::kDomainEdge) << degrees;
      const double dx = line.x.back() - line.x.front(), dy = line.y.back() - line.y.front();
      const double length = std::hypot(dx, dy);
      // Downstream and straight: along (cos a, sin a).
      EXPECT_NEAR((dx * std::cos(a) + dy * std::sin(a)) / length, 1, 1e-9) << degrees;
    }
  }
}

// A body with a net outflow Q (a source in a stream, the blocked cells round it): the
// walk round it comes back Q off, and the step must lie along the wake cut from the
// given rear point, never across the flow. Away from the wake line every step of psi is
// the closed form's, psi = y + Q theta / 2 pi.
TEST(ExplorerStreamlines, TheNetOutflowStepsAlongTheWakeOnly) {
  constexpr double kQ = 0.2, kRadius = 0.15;
  FlowGrid grid = UniformGrid();
  const auto at = [&grid](int i, int j) {
    return std::make_pair(-1 + i * grid.dx, -0.5 + j * grid.dy);
  };
  for (int j = 0; j < grid.ny; ++j) {
    for (int i = 0; i < grid.nx; ++i) {
      const auto [x, y] = at(i, j);
      const double r2 = x * x + y * y;
      const std::size_t k = static_cast<std::size_t>(j) * grid.nx + i;
      grid.inside[k] = r2 < kRadius * kRadius;
      grid.u0[k] = grid.inside[k] ? 0 : 1 + kQ / (2 * M_PI) * x / r2;
      grid.v0[k] = grid.inside[k] ? 0 : kQ / (2 * M_PI) * y / r2;
      if (i + 1 < grid.nx && j + 1 < grid.ny) {
        const double cx = x + grid.dx / 2, cy = y + grid.dy / 2;
        grid.blocked[static_cast<std::size_t>(j) * (grid.nx - 1) + i] =
            std::hypot(cx, cy) < kRadius + grid.dx;
      }
    }
  }
  FlowFrame field;
  CombineFlowGrid(grid, 1, 0, field);
  const std::vector<double> psi = StreamFunctionOnGrid(grid, field, {{kRadius, 0}}, 1, 0);
  const auto exact = [](double x, double y) { return y + kQ * std::atan2(y, x) / (2 * M_PI); };
  int checked = 0;
  for (int j = 0; j < grid.ny; ++j) {
    for (int i = 0; i < grid.nx; ++i) {
      const std::size_t k = static_cast<std::size_t>(j) * grid.nx + i;
      for (const auto& [di, dj] : {std::make_pair(1, 0), std::make_pair(0, 1)}) {
        if (i + di >= grid.nx || j + dj >= grid.ny) continue;
        const std::size_t n = static_cast<std::size_t>(j + dj) * grid.nx + i + di;
        const auto [x0, y0] = at(i, j);
        const auto [x1, y1] = at(i + di, j + dj);
        if (std::isnan(psi[k]) || std::isnan(psi[n]) ||
            std::min(std::fabs(y0), std::fabs(y1)) < 0.1)
          continue;
        EXPECT_NEAR(psi[n] - psi[k], exact(x1, y1) - exact(x0, y0), kQ / 20)
            << "(" << x0 << ", " << y0 << ") to (" << x1 << ", " << y1 << ")";
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 1000);
}

RunInputs Circle(int NP) {
  RunInputs inputs;
  inputs.body = CircleBody();
  inputs.NP = NP;
  return inputs;
}

// Distance from (x, y) to the polygon of the contour.
double DistanceToContour(const Contour& c, double x, double y) {
  double best = 1e300;
  const std::size_t n = c.x.size();
  for (std::size_t k = 0; k < n; ++k) {
    const double ax = c.x[k], ay = c.y[k], bx = c.x[(k + 1) % n], by = c.y[(k + 1) % n];
    const double t = std::clamp(((x - ax) * (bx - ax) + (y - ay) * (by - ay)) /
                                    ((bx - ax) * (bx - ax) + (by - ay) * (by - ay)),
                                0.0, 1.0);
    best = std::min(best, std::hypot(x - ax - t * (bx - ax), y - ay - t * (by - ay)));
  }
  return best;
}

TEST(ExplorerStreamlines, CircleFollowsTheExactStreamFunction) {
  const auto geometry = MakeExplorerGeometry(Circle(120));
  const double panel = M_PI / 120;  // the panels' length
  const struct {
    const char* what;
    std::optional<FlowDomain> zoom;
    std::size_t at_least;  // lines: the flow through a part blocked by the body is less
    int dividing;          // dividing streamlines
  } views[] = {
      {"whole domain", std::nullopt, 38, 2},
      {"above the circle, 4 times closer", FlowDomain{0.05, 0.95, 0.55, 1.0}, 38, 0},
      {"the front half, closer", FlowDomain{-0.3, 0.5, -0.25, 0.25}, 15, 1},
  };
  for (const double degrees : {0.0, 12.0}) {
    for (const auto& v : views) {
      const std::unique_ptr<FlowGrid> view_grid =
          v.zoom ? MakeExplorerViewGrid(*geometry, *v.zoom) : nullptr;
      const FlowGrid& grid = view_grid ? *view_grid : geometry->grid;
      ExplorerFrame frame;
      ComputeExplorerFrame(*geometry, degrees, frame, view_grid.get());
      const double a = degrees * M_PI / 180;
      // The cylinder of radius 1/2 about (1/2, 0) in a unit stream at angle a.
      const auto exact = [&](double x, double y) {
        const double dx = x - 0.5, dy = y;
        const double r2 = dx * dx + dy * dy;
        return (dy * std::cos(a) - dx * std::sin(a)) * (1 - 0.25 / r2);
      };
      const FlowDomain& D = grid.domain;
      const double step = ((D.ymax - D.ymin) * std::cos(a) + (D.xmax - D.xmin) * std::sin(a)) / 40;
      const double cell = std::max(grid.dx, grid.dy);
      int dividing = 0;
      const std::string where = std::string(v.what) + " at " + std::to_string(degrees);
      EXPECT_GE(frame.streamlines.size(), v.at_least) << where;
      for (const Streamline& line : frame.streamlines) {
        // One level of the exact stream function along the line, away from the panels'
        // own disturbance (three panel lengths).
        double low = 1e300, high = -1e300;
        for (std::size_t k = 0; k < line.x.size(); ++k) {
          if (DistanceToContour(geometry->contour, line.x[k], line.y[k]) < 3 * panel) continue;
          const double psi = exact(line.x[k], line.y[k]);
          low = std::min(low, psi);
          high = std::max(high, psi);
        }
        if (low <= high) {
          EXPECT_LT(high - low, 0.25 * step) << where << ", y " << line.y.front();
        }
        const bool divides = line.end == StreamlineEnd::kStagnation ||
                             std::any_of(frame.stagnation.begin(), frame.stagnation.end(),
                                         [&](const StagnationPoint& p) {
                                           return p.x == line.x.front() && p.y == line.y.front();
                                         });
        if (divides) {
          ++dividing;
          EXPECT_LT(std::fabs(low), 0.1 * step) << where;
        }
        // It ends at the edge, beside the body or at a stagnation point.
        const double x = line.x.back(), y = line.y.back();
        const bool at_edge = std::min({x - D.xmin, D.xmax - x, y - D.ymin, D.ymax - y}) < 1e-9;
        EXPECT_TRUE(at_edge || DistanceToContour(geometry->contour, x, y) < 2 * cell)
            << where << ": " << x << ", " << y;
      }
      EXPECT_EQ(dividing, v.dividing) << where;
    }
  }
}

}  // namespace
}  // namespace velquin
