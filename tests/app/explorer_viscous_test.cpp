#include "app/explorer_viscous.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>

#include "app/flow_explorer.h"
#include "app/problem_run.h"
#include "support/viscous_helpers.h"

namespace velquin {
namespace {

using namespace test_support;

TEST(ExplorerViscous, TheReynoldsNumberAsTyped) {
  const struct {
    const char* text;
    std::optional<double> reynolds;
    bool refused;
  } cases[] = {
      {"", std::nullopt, false},     {"  ", std::nullopt, false}, {"1e6", 1e6, false},
      {"3000000", 3e6, false},       {"1E9", 1e9, false},         {" 2.5e5 ", 2.5e5, false},
      {"1e2", std::nullopt, true},   {"2e9", std::nullopt, true}, {"-1e6", std::nullopt, true},
      {"1,5e6", std::nullopt, true}, {"abc", std::nullopt, true}, {"1e6x", std::nullopt, true},
      {"1e999", std::nullopt, true},
  };
  for (const auto& c : cases) {
    const ReynoldsReading r = ReadExplorerReynolds(c.text);
    EXPECT_EQ(r.reynolds, c.reynolds) << c.text;
    EXPECT_EQ(r.refused, c.refused) << c.text;
    // A refusal names the text and says what to do instead.
    EXPECT_EQ(r.problem.find(c.text) != std::string::npos && !r.problem.empty(), c.refused)
        << r.problem;
  }
}

// The layers start from the lifting solution and leave from a trailing edge: none
// without circulation or with a circle among the elements, the general problem's
// elements otherwise.
TEST(ExplorerViscous, OnlyWithCirculationAndATrailingEdge) {
  RunInputs plain = SectionInputs("naca0012", 40);
  plain.circulation = false;
  plain.vortex = VortexModel::kNone;
  const auto two = [](const std::string& second, VortexModel vortex) {
    ProblemInputs inputs;
    inputs.elements.resize(2);
    inputs.elements[0].body = SectionInputs("naca0012", 40).body;
    inputs.elements[1].body = SectionInputs(second, 40).body;
    inputs.elements[1].placement = Placement{1.2, -0.1, 10, 0.3};
    inputs.panels = 40;
    inputs.vortex = vortex;
    return inputs;
  };
  const struct {
    std::shared_ptr<ExplorerGeometry> geometry;
    bool available;
  } cases[] = {
      {MakeExplorerGeometry(SectionInputs("circle", 40)), false},
      {MakeExplorerGeometry(plain), false},
      {MakeExplorerGeometry(two("circle", VortexModel::kConstantDistribution), 0), false},
      {MakeExplorerGeometry(two("naca0012", VortexModel::kNone), 0), false},
      {MakeExplorerGeometry(SectionInputs("naca2412", 40)), true},
      {MakeExplorerGeometry(two("naca0012", VortexModel::kConstantDistribution), 0), true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExplorerViscousUnavailable(*c.geometry).empty(), c.available) << c.geometry->label;
    EXPECT_EQ(ComputeExplorerViscous(*c.geometry, 2, ViscousOptions()).has_value(), c.available)
        << c.geometry->label;
  }
}

double DistanceToContour(const Contour& c, double x, double y) {
  double best = 1e300;
  for (std::size_t k = 0; k + 1 < c.x.size(); ++k) {
    const double dx = c.x[k + 1] - c.x[k], dy = c.y[k + 1] - c.y[k];
    const double t =
        std::clamp(((x - c.x[k]) * dx + (y - c.y[k]) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    best = std::min(best, std::hypot(x - c.x[k] - t * dx, y - c.y[k] - t * dy));
  }
  return best;
}

// Every geometry, the single section on the seed's matrix and the general problem on its
// own factors: the explorer's layers are the command line's (a matrix factored afresh
// from the same panels), element by element, and so is its drag polar's point; every
// element has its band, the displaced line outside the bodies at delta* from its own
// contour, and a mark wherever one of its layers turns turbulent or separates ahead of
// its trailing edge: on its contour, where the chord fractions say in its own frame, and
// on the viscous pressure curve of its side.
TEST(ExplorerViscous, TheLayersOfEveryGeometryAreTheCommandLines) {
  ViscousOptions options;
  options.reynolds = 1e6;
  const auto problem = [](const char* second, std::optional<Flap> flap,
                          std::optional<double> ground) {
    ProblemInputs inputs;
    inputs.elements.resize(second ? 2 : 1);
    inputs.elements[0].body = SectionInputs("naca2412", 100).body;
    inputs.elements[0].flap = flap;
    if (second) {
      inputs.elements[1].body = SectionInputs(second, 100).body;
      inputs.elements[1].placement = Placement{1.05, -0.08, 10, 0.3};
    }
    inputs.panels = 100;
    inputs.vortex = VortexModel::kConstantDistribution;
    inputs.ground_height = ground;
    return inputs;
  };
  const auto section = [&options](double alpha) {
    return std::make_pair(MakeExplorerGeometry(SectionInputs("naca4415", 160)),
                          SolveViscousAngle(FactoredSection("naca4415", 160), alpha, options));
  };
  const auto general = [&options](const ProblemInputs& inputs, double alpha) {
    return std::make_pair(MakeExplorerGeometry(inputs, alpha),
                          SolveViscousProblem(MakePanelProblem(inputs), {alpha}, options).front());
  };
  const struct {
    std::function<std::pair<std::unique_ptr<ExplorerGeometry>, ViscousResult>()> make;
    double alpha;
  } cases[] = {
      {[&] { return section(0); }, 0},
      {[&] { return section(8); }, 8},  // separates ahead of its trailing edge
      {[&] { return general(problem("naca0012", std::nullopt, std::nullopt), 4); }, 4},
      {[&] {
         return general(problem(nullptr, Flap{0.75, 10}, std::nullopt), 2);
       },
       2},
      {[&] { return general(problem("naca0012", std::nullopt, 0.4), 3); }, 3},
  };
  bool separation_seen = false;
  for (const auto& c : cases) {
    const auto [g, line] = c.make();
    const std::optional<ExplorerViscousFrame> v = ComputeExplorerViscous(*g, c.alpha, options);
    ASSERT_TRUE(v) << g->label;
    ASSERT_EQ(v->result.elements.size(), line.elements.size());
    ASSERT_EQ(v->elements.size(), line.elements.size());
    EXPECT_EQ(v->result.cd, line.cd) << g->label;
    EXPECT_EQ(v->result.cl_viscous, line.cl_viscous) << g->label;
    const std::vector<ViscousPolarPoint> polar =
        ComputeViscousPolar(ExplorerViscousPolarSource(*g), {c.alpha}, options, nullptr);
    ASSERT_EQ(polar.size(), 1u);
    EXPECT_EQ(polar[0].cd, line.cd) << g->label;
    for (std::size_t e = 0; e < v->elements.size(); ++e) {
      const ElementViscousResult& mine = v->result.elements[e];
      const ElementViscousResult& theirs = line.elements[e];
      EXPECT_EQ(mine.cd, theirs.cd) << g->label << " element " << e;
      EXPECT_EQ(mine.xtr_top, theirs.xtr_top) << g->label << " element " << e;
      EXPECT_EQ(mine.xtr_bottom, theirs.xtr_bottom) << g->label << " element " << e;
      for (const ExplorerLayerSide* side : {&v->elements[e].upper, &v->elements[e].lower}) {
        ASSERT_GT(side->dstar.size(), 20u);
        ASSERT_EQ(side->edge_x.size(), side->dstar.size());
        for (std::size_t k = 2; k + 2 < side->dstar.size(); ++k) {
          const double x = side->edge_x[k], y = side->edge_y[k];
          EXPECT_FALSE(ContoursContain(g->contours, x, y)) << g->label << " station " << k;
          EXPECT_NEAR(DistanceToContour(g->contours[e], x, y), side->dstar[k],
                      0.05 * side->dstar[k] + 1e-5)
              << g->label << " element " << e << " station " << k;
        }
      }
      const ViscousElement& frame = g->factored->Get()->elements[e];
      int expected = 0, marked = 0;
      for (const double at : {mine.xtr_top, mine.xtr_bottom, mine.xsep_top, mine.xsep_bottom}) {
        expected += at < 1;
      }
      for (const ExplorerLayerMark& m : v->marks) {
        if (m.element != static_cast<int>(e)) continue;
        ++marked;
        separation_seen = separation_seen || m.separation;
        EXPECT_LT(DistanceToContour(g->contours[e], m.x, m.y), 2e-3) << g->label;
        const double along =
            ((m.x - frame.x_le) * frame.cos_chord + (m.y - frame.y_le) * frame.sin_chord) /
            frame.section.chord;
        const double at = m.separation ? (m.upper ? mine.xsep_top : mine.xsep_bottom)
                                       : (m.upper ? mine.xtr_top : mine.xtr_bottom);
        EXPECT_NEAR(along, at, 0.01) << g->label << " element " << e;
        // Between the pressures of the control points either side.
        const ExplorerLayerSide& side = m.upper ? v->elements[e].upper : v->elements[e].lower;
        for (std::size_t k = 1; k < side.cp_x.size(); ++k) {
          if ((side.cp_x[k - 1] - m.x) * (side.cp_x[k] - m.x) > 0) continue;
          EXPECT_GE(m.cp, std::min(side.cp[k - 1], side.cp[k]) - 1e-12) << g->label;
          EXPECT_LE(m.cp, std::max(side.cp[k - 1], side.cp[k]) + 1e-12) << g->label;
          break;
        }
      }
      EXPECT_EQ(marked, expected) << g->label << " element " << e;
      EXPECT_GE(marked, 1) << g->label << " element " << e;
    }
  }
  EXPECT_TRUE(separation_seen);
}

TEST(ExplorerViscous, PolarStopsWhenAsked) {
  const FactoredPanelProblem problem = FactoredSection("naca0012", 100);
  ViscousOptions options;
  options.reynolds = 3e6;
  const std::vector<double> angles = {0, 2, 4};
  int calls = 0;
  const auto polar = ComputeViscousPolar(problem, angles, options, [&](int done, int total) {
    EXPECT_EQ(total, 3);
    EXPECT_EQ(done, ++calls);
    return done < 2;
  });
  ASSERT_EQ(polar.size(), 2u);
  // The points so far are the command line's polar of those angles.
  const std::vector<ViscousResult> batch = SolveViscousPolar(problem, {0, 2}, options);
  EXPECT_EQ(polar[1].cd, batch[1].cd);
  EXPECT_EQ(polar[0].cl_viscous, batch[0].cl_viscous);
}

}  // namespace
}  // namespace velquin
