// The explorer on the general problem, against independent references: the batch
// command's own results line for the same command-line options, the exact (closed-form
// kernel) velocity at the grid's nodes, the elements' contours for the streamlines, and
// the explicit mirror image for the ground.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/flow_explorer.h"
#include "cli/command_line.h"
#include "cli/problem_batch.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

std::vector<std::string> Split(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// The key=value pairs of the batch command's results line.
std::map<std::string, double> BatchResults(const std::string& options, const std::string& out) {
  std::vector<std::string> args = Split("--batch " + options + " --out " + out);
  const BatchRequest request = ParseBatchCommand(args);
  std::ostringstream stdout_text, stderr_text;
  EXPECT_EQ(RunProblemRequest(request, stdout_text, stderr_text, '.'), 0) << stderr_text.str();
  std::map<std::string, double> values;
  for (const std::string& pair : Split(stdout_text.str())) {
    const std::size_t eq = pair.find('=');
    values[pair.substr(0, eq)] = std::stod(pair.substr(eq + 1));
  }
  return values;
}

std::unique_ptr<ExplorerGeometry> ExplorerOf(const std::string& options, double alpha) {
  const ExplorerCommand command = ParseExplorerCommand(Split("--explore " + options));
  EXPECT_TRUE(command.error.empty()) << command.error;
  EXPECT_TRUE(command.problem.has_value());
  return MakeExplorerGeometry(*command.problem, alpha);
}

const char* const kSlottedFlap =
    "--body naca23012 --body naca23012 --place 0.95:-0.04:25:0.3 --panels 80 --circulation "
    "--vortex constant";

struct Case {
  const char* options;
  double alpha;
};
const Case kCases[] = {
    {kSlottedFlap, 4},
    {kSlottedFlap, -6.5},
    {"--body naca2412 --flap 0.7:20 --panels 90 --circulation --vortex constant", 3},
    {"--body naca0012 --panels 70 --circulation --vortex constant --ground 0.3", 5},
    {"--body naca4412 --body naca0012 --place 1.1:-0.1:15:0.4 --panels 50 --circulation "
     "--vortex constant --ground 0.5",
     2},
};

// Per-element lift, total lift and moment of the explorer's frame equal the numbers the
// batch command prints for the same options.
TEST(ExplorerProblem, ElementLiftEqualsTheBatchCommand) {
  test_support::TempDir dir;
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.options) + " alpha " + std::to_string(c.alpha));
    const std::string alpha = std::to_string(c.alpha);
    const std::map<std::string, double> batch =
        BatchResults(std::string(c.options) + " --alpha " + alpha, dir.path());
    const auto g = ExplorerOf(c.options, c.alpha);
    ExplorerFrame f;
    ComputeExplorerFrame(*g, c.alpha, f);
    ASSERT_EQ(f.element_lift.size(), g->problem->elements.size());
    const auto near = [](double a, double b) {
      return std::fabs(a - b) <= 1e-11 * (1 + std::fabs(b));
    };
    for (std::size_t e = 0; e < f.element_lift.size(); ++e) {
      const std::string k = std::to_string(e + 1);
      EXPECT_PRED2(near, f.element_lift[e].cl_pressure, batch.at("cl_pressure_" + k));
      EXPECT_PRED2(near, f.element_lift[e].cl_circulation, batch.at("cl_circulation_" + k));
    }
    EXPECT_PRED2(near, f.results.cl_pressure, batch.at("cl_pressure"));
    EXPECT_PRED2(near, f.results.cm_quarter_chord, batch.at("cm_quarter_chord"));
  }
}

// Titles name the panel count, also the count the problem chose where none was given.
TEST(ExplorerProblem, LabelNamesThePanels) {
  EXPECT_NE(ExplorerOf(kSlottedFlap, 4)->label.find(", 2 x 80 panels,"), std::string::npos);
  const auto flap = ExplorerOf("--body naca4412 --flap 0.7:15 --circulation --vortex constant", 4);
  EXPECT_NE(flap->label.find(", 160 panels,"), std::string::npos) << flap->label;
}

// The grid's base fields (the kernel's series far from a panel) equal the exact kernel
// at every 37th node in the flow.
TEST(ExplorerProblem, GridVelocityEqualsDirectEvaluation) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.options);
    const auto g = ExplorerOf(c.options, c.alpha);
    const FlowGrid& grid = g->grid;
    int checked = 0;
    for (std::size_t k = 0; k < grid.inside.size(); k += 37) {
      if (grid.inside[k]) continue;
      const double x = grid.domain.xmin + static_cast<double>(k % grid.nx) * grid.dx;
      const double y = grid.domain.ymin + static_cast<double>(k / grid.nx) * grid.dy;
      FlowVelocity V0, V90;
      ASSERT_TRUE(BaseVelocities(g->panels, g->bases, x, y, V0, V90));
      EXPECT_NEAR(grid.u0[k], V0.u, 1e-8);
      EXPECT_NEAR(grid.v0[k], V0.v, 1e-8);
      EXPECT_NEAR(grid.u90[k], V90.u, 1e-8);
      EXPECT_NEAR(grid.v90[k], V90.v, 1e-8);
      ++checked;
    }
    EXPECT_GT(checked, 200);
  }
}

bool SegmentsCross(double ax, double ay, double bx, double by, double cx, double cy, double dx,
                   double dy) {
  const auto cross = [](double ox, double oy, double px, double py, double qx, double qy) {
    return (px - ox) * (qy - oy) - (py - oy) * (qx - ox);
  };
  const double d1 = cross(cx, cy, dx, dy, ax, ay), d2 = cross(cx, cy, dx, dy, bx, by);
  const double d3 = cross(ax, ay, bx, by, cx, cy), d4 = cross(ax, ay, bx, by, dx, dy);
  return ((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0)) && d1 != 0 && d2 != 0;
}

// No streamline enters or crosses an element, and some run through the slot between the
// main section and the flap: between the main section's trailing edge and the flap.
TEST(ExplorerProblem, StreamlinesNeverCrossAnElement) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.options);
    const auto g = ExplorerOf(c.options, c.alpha);
    ExplorerFrame f;
    ComputeExplorerFrame(*g, c.alpha, f);
    ASSERT_GT(f.streamlines.size(), 20u);
    // The dividing streamline's last step joins the surface at a stagnation point.
    const auto at_stagnation = [&](double x, double y) {
      return std::any_of(f.stagnation.begin(), f.stagnation.end(), [&](const StagnationPoint& p) {
        return std::hypot(p.x - x, p.y - y) < 1e-9;
      });
    };
    for (const Streamline& line : f.streamlines) {
      for (std::size_t k = 1; k < line.x.size(); ++k) {
        if (at_stagnation(line.x[k], line.y[k]) || at_stagnation(line.x[k - 1], line.y[k - 1])) {
          continue;
        }
        for (const Contour& contour : g->contours) {
          const std::size_t n = contour.x.size();
          for (std::size_t e = 0; e < n; ++e) {
            const std::size_t next = (e + 1) % n;
            ASSERT_FALSE(SegmentsCross(line.x[k - 1], line.y[k - 1], line.x[k], line.y[k],
                                       contour.x[e], contour.y[e], contour.x[next],
                                       contour.y[next]))
                << "at (" << line.x[k] << ", " << line.y[k] << ")";
          }
        }
      }
    }
  }
  // The slot of the slotted flap: a streamline passes over the flap's nose and under the
  // main section's trailing part, x in 0.93..0.97.
  const auto g = ExplorerOf(kSlottedFlap, 4);
  ExplorerFrame f;
  ComputeExplorerFrame(*g, 4, f);
  const Contour& flap = g->contours[1];
  const double flap_top = *std::max_element(flap.y.begin(), flap.y.end());
  int in_slot = 0;
  for (const Streamline& line : f.streamlines) {
    for (std::size_t k = 0; k < line.x.size(); ++k) {
      if (line.x[k] > 0.95 && line.x[k] < 0.97 && line.y[k] > flap_top - 0.03 && line.y[k] < 0.0 &&
          !ContoursContain(g->contours, line.x[k], line.y[k])) {
        ++in_slot;
      }
    }
  }
  EXPECT_GT(in_slot, 0);
}

// Above a ground: the strengths and the flow equal those of the explicit mirror image,
// the turned configuration and its reflection in the ground, without a ground.
TEST(ExplorerProblem, GroundEqualsTheMirrorImage) {
  for (const char* options : {"--body naca0012 --panels 60 --circulation --ground 0.25",
                              "--body naca4412 --panels 80 --circulation --ground 0.6"}) {
    SCOPED_TRACE(options);
    const double alpha = 6;
    const auto g = ExplorerOf(options, alpha);
    const ProblemPanels& p = g->system->Panels();
    const double ground_y = *g->panels.setup.ground_y;
    PanelProblem mirror;
    ProblemElement real{"real", {}, VortexModel::kConstantDistribution};
    for (int i = 1; i <= p.count; ++i) real.nodes.push_back({p.X1[i], p.Y1[i]});
    real.nodes.push_back(real.nodes.front());
    // The reflection runs the other way round: reversed, so that it is clockwise again
    // and still starts at its trailing edge.
    ProblemElement image{"image", {}, VortexModel::kConstantDistribution};
    for (auto it = real.nodes.rbegin(); it != real.nodes.rend(); ++it) {
      image.nodes.push_back({it->x, 2 * ground_y - it->y});
    }
    mirror.elements = {real, image};
    const PanelSystem explicit_system(mirror, 0);
    FlowPanels explicit_panels;
    explicit_panels.setup = explicit_system.Setup();
    explicit_panels.X1 = explicit_system.Panels().X1.data();
    explicit_panels.Y1 = explicit_system.Panels().Y1.data();
    const ProblemBases bases = explicit_system.SolveBases();
    const int n = p.count;
    for (int i = 0; i < n; ++i) {
      EXPECT_NEAR(g->bases.Q0[i], bases.Q0[i], 1e-9) << "source " << i + 1;
      EXPECT_NEAR(g->bases.Q0[i], bases.Q0[2 * n - 1 - i], 1e-9) << "image of " << i + 1;
    }
    EXPECT_NEAR(g->bases.Q0[n], bases.Q0[2 * n], 1e-9);       // the real sheet
    EXPECT_NEAR(g->bases.Q0[n], -bases.Q0[2 * n + 1], 1e-9);  // the image turns the other way
    FlowBases explicit_bases;
    explicit_bases.Q0 = bases.Q0;
    explicit_bases.Q90 = bases.Q90;
    for (const auto& [x, y] : std::vector<std::pair<double, double>>{
             {-0.4, 0.1}, {0.5, 0.3}, {1.6, ground_y + 0.05}, {0.3, ground_y + 0.01}}) {
      const auto a = VelocityAt(g->panels, g->bases, 1, 0, x, y);
      const auto b = VelocityAt(explicit_panels, explicit_bases, 1, 0, x, y);
      ASSERT_TRUE(a && b);
      EXPECT_NEAR(a->u, b->u, 1e-9) << x << ", " << y;
      EXPECT_NEAR(a->v, b->v, 1e-9) << x << ", " << y;
    }
    // On the ground itself the flow runs along it.
    const auto on_ground = VelocityAt(g->panels, g->bases, 1, 0, 0.4, ground_y);
    ASSERT_TRUE(on_ground);
    EXPECT_NEAR(on_ground->v, 0, 1e-12);
  }
}

}  // namespace
}  // namespace velquin
