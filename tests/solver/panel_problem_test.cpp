// The general panel problem against exact and independent answers: Williams' exact
// two-element aerofoil, the seed's run of the same single section, and a ground plane
// against the explicit mirror image.
#include "solver/panel_problem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "base/run_error.h"
#include "geometry/body_names.h"
#include "solver/flow_field.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

// The nodes of a Williams file, turned clockwise (the files run counter-clockwise).
std::vector<ContourPoint> WilliamsNodes(const std::string& file) {
  std::ifstream in(std::string(VELQUIN_SOURCE_DIR) + "/tests/data/williams/" + file);
  std::vector<ContourPoint> nodes;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    ContourPoint p;
    char comma = 0;
    if (fields >> p.x >> comma >> p.y) nodes.push_back(p);
  }
  std::reverse(nodes.begin(), nodes.end());
  return nodes;
}

PanelProblem Williams(int panels) {
  const std::string n = std::to_string(panels);
  PanelProblem problem;
  problem.elements = {
      {"main", WilliamsNodes("MainFoil_N=" + n + ".csv"), VortexModel::kConstantDistribution},
      {"flap", WilliamsNodes("FlapFoil_N=" + n + ".csv"), VortexModel::kConstantDistribution}};
  return problem;
}

// Williams (1973): exact lift 3.7386 at zero incidence. The constant-source method with a
// sheet and a Kutta-type row per element converges from below.
TEST(PanelProblem, WilliamsTwoElementLift) {
  constexpr double kExactLift = 3.7386;
  const struct {
    int panels;
    double circulation_tolerance, pressure_tolerance;  // relative
  } cases[] = {{100, 0.005, 0.015}, {200, 0.0025, 0.008}};
  for (const auto& c : cases) {
    const ProblemSolution s = SolvePanelProblem(Williams(c.panels), {0.0}).front();
    EXPECT_NEAR(s.cl_circulation / kExactLift - 1, 0, c.circulation_tolerance) << c.panels;
    EXPECT_NEAR(s.cl_pressure / kExactLift - 1, 0, c.pressure_tolerance) << c.panels;
    EXPECT_NEAR(s.element_cl_pressure[0] + s.element_cl_pressure[1], s.cl_pressure, 1e-12);
    EXPECT_GT(s.element_cl_circulation[1], 0);  // the flap lifts too
  }
}

// One section without a ground plane is the seed's problem: the general problem gives its
// lift and moment, solved by another factorisation, to rounding.
TEST(PanelProblem, OneSectionAgreesWithTheSeedsRun) {
  const struct {
    const char* body;
    const char* vortex;
    double alpha;
  } cases[] = {{"naca2412", "constant", 4}, {"naca0012", "point", 6}, {"circle", "", 10}};
  for (const auto& c : cases) {
    std::string error;
    const BodyPtr body = BodyFromName(c.body, error);
    ASSERT_TRUE(body) << error;
    const std::string vortex = c.vortex;
    const test_support::TempDir dir;
    const test_support::BatchOutcome seed = test_support::RunBatch(
        dir.path(),
        test_support::Words(std::string("--panels 120 --body ") + c.body + " --alpha " +
                            std::to_string(c.alpha) +
                            (vortex.empty() ? "" : " --circulation --vortex " + vortex)));
    ASSERT_EQ(seed.status, 0) << seed.err;
    PanelProblem problem;
    problem.Xv = 0.5;
    problem.elements = {{c.body, body->ContourNodes(120),
                         vortex.empty()      ? VortexModel::kNone
                         : vortex == "point" ? VortexModel::kPointVortex
                                             : VortexModel::kConstantDistribution}};
    const ProblemSolution s = SolvePanelProblem(problem, {c.alpha}).front();
    const auto value = [&](const std::string& key) {
      const std::size_t at = seed.out.find(key + "=");
      return std::stod(seed.out.substr(at + key.size() + 1));
    };
    EXPECT_NEAR(s.cl_circulation, value("cl_circulation"), 1e-10) << c.body;
    EXPECT_NEAR(s.cl_pressure, value("cl_pressure"), 1e-10) << c.body;
    EXPECT_NEAR(s.cm_quarter_chord, value("cm_quarter_chord"), 1e-10) << c.body;
  }
}

// A section above the ground equals the same section with its mirror image given as a
// second element (turned by alpha about the quarter chord, free stream along the ground).
TEST(PanelProblem, GroundPlaneEqualsTheExplicitMirrorImage) {
  std::string error;
  const BodyPtr body = BodyFromName("naca4412", error);
  const std::vector<ContourPoint> nodes = body->ContourNodes(160);
  for (const double alpha : {2.0, 6.0}) {
    for (const double height : {0.2, 0.5}) {
      PanelProblem ground;
      ground.elements = {{"wing", nodes, VortexModel::kConstantDistribution}};
      ground.ground_height = height;
      const ProblemSolution with_ground = SolvePanelProblem(ground, {alpha}).front();

      const double a = alpha * std::acos(-1.0) / 180;
      PanelProblem mirrored;
      std::vector<ContourPoint> wing, image;
      for (const ContourPoint& p : nodes) {
        const double dx = p.x - 0.25;
        wing.push_back(
            {0.25 + std::cos(a) * dx + std::sin(a) * p.y, -std::sin(a) * dx + std::cos(a) * p.y});
      }
      // The mirror turns the contour's sense: read backwards, it runs clockwise again.
      for (auto p = wing.rbegin(); p != wing.rend(); ++p)
        image.push_back({p->x, -2 * height - p->y});
      mirrored.elements = {{"wing", wing, VortexModel::kConstantDistribution},
                           {"image", image, VortexModel::kConstantDistribution}};
      const ProblemSolution explicit_image = SolvePanelProblem(mirrored, {0.0}).front();
      const double lift = explicit_image.element_cl_pressure[0];
      EXPECT_NEAR(with_ground.cl_pressure, lift, 1e-9 * std::fabs(lift)) << alpha << " " << height;
      EXPECT_NEAR(with_ground.element_cl_circulation[0], explicit_image.element_cl_circulation[0],
                  1e-9 * std::fabs(lift));
    }
  }
}

TEST(PanelProblem, RefusesWhatCannotBeSolved) {
  std::string error;
  const std::vector<ContourPoint> section = BodyFromName("naca0012", error)->ContourNodes(40);
  std::vector<ContourPoint> shifted;
  for (const ContourPoint& p : section) shifted.push_back({p.x + 0.5, p.y + 0.01});
  std::vector<ContourPoint> inside;
  for (const ContourPoint& p : section) inside.push_back({0.3 + 0.2 * p.x, 0.2 * p.y});
  const VortexModel sheet = VortexModel::kConstantDistribution;
  const struct {
    PanelProblem problem;
    const char* says;
  } cases[] = {
      {{{{"a", section, sheet}, {"b", shifted, sheet}}, std::nullopt}, "cross each other"},
      {{{{"a", section, sheet}, {"b", inside, sheet}}, std::nullopt}, "lies inside the other"},
      {{{{"a", section, sheet}}, 0.01}, "cuts element \"a\""},
      {{{{"a", BodyFromName("circle", error)->ContourNodes(2001), sheet}}, std::nullopt},
       "at most 2000 panels"},
      {{{{"a", section, VortexModel::kPointVortex}, {"b", inside, sheet}}, std::nullopt},
       "point vortex"},
  };
  for (const auto& c : cases) {
    try {
      SolvePanelProblem(c.problem, {8.0});
      ADD_FAILURE() << "accepted: " << c.says;
    } catch (const RunError& e) {
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
  }
}

// The flow field on a grid sums the panels through a tree of cluster expansions: at every
// node it must agree with the panels summed one by one with the exact kernel, for sheets
// on two elements, their images above a ground, and a point vortex.
TEST(PanelProblem, GridFieldAgreesWithThePanelsSummedOneByOne) {
  PanelProblem point_vortex = Williams(100);
  point_vortex.elements.resize(1);
  point_vortex.elements[0].vortex = VortexModel::kPointVortex;
  PanelProblem ground = Williams(100);
  ground.ground_height = 0.4;
  const struct {
    const char* name;
    PanelProblem problem;
  } cases[] = {{"two sheets", Williams(200)}, {"ground", ground}, {"point vortex", point_vortex}};
  for (const auto& c : cases) {
    const PanelSystem system(c.problem, 6.0);
    const ProblemBases solved = system.SolveBases();
    FlowBases bases;
    bases.Q0 = solved.Q0;
    bases.Q90 = solved.Q90;
    FlowPanels panels;
    panels.setup = system.Setup();
    panels.X1 = system.Panels().X1.data();
    panels.Y1 = system.Panels().Y1.data();
    const std::vector<Contour> contours = ElementContours(panels);
    const FlowGrid grid = MakeFlowGrid(
        panels, bases, contours, DomainAroundElements(contours, panels.setup.ground_y), 81, 41);
    double largest = 0;
    for (int j = 0; j < grid.ny; ++j) {
      for (int i = 0; i < grid.nx; ++i) {
        const std::size_t k = static_cast<std::size_t>(j) * grid.nx + i;
        FlowVelocity V0, V90;
        if (grid.inside[k] || !BaseVelocities(panels, bases, grid.domain.xmin + i * grid.dx,
                                              grid.domain.ymin + j * grid.dy, V0, V90)) {
          continue;
        }
        largest = std::max({largest, std::abs(grid.u0[k] - V0.u), std::abs(grid.v0[k] - V0.v),
                            std::abs(grid.u90[k] - V90.u), std::abs(grid.v90[k] - V90.v)});
      }
    }
    EXPECT_LT(largest, 1e-8) << c.name;
  }
}

}  // namespace
}  // namespace velquin
