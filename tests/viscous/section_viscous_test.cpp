// The viscous analysis of NACA sections against XFOIL 6.99 (tests/data/xfoil_viscous.csv,
// made by docs/xfoil_viscous_reference.sh: closed trailing edges, 160 panels, Ncrit 9,
// Re 1e6 and 3e6, 0 to 6 degrees), its independence of the panel count, and a sweep
// far beyond stall that must end in flagged numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "support/viscous_helpers.h"

namespace velquin {
namespace {

using namespace test_support;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Every XFOIL point: the drag within 8 % at the median and 20 % at every point,
// transition within 0.04 chord at the median; lift within 8 % at the median (the layers
// see the deceleration at the trailing edge, which carries most of the viscous lift
// loss: docs/method.md); at least 95 % of the points converged, by the test on what the
// layers ask for (viscous_interaction.h).
TEST(SectionViscous, MatchesXfoil) {
  const std::vector<XfoilPoint> points = ReadXfoilViscous();
  ASSERT_GT(points.size(), 50u);
  std::map<std::string, FactoredPanelProblem> sections;
  std::vector<double> cd_error, cl_error, xtr_error;
  int converged = 0;
  for (const XfoilPoint& p : points) {
    auto it = sections.find(p.section);
    if (it == sections.end()) {
      it = sections.emplace(p.section, FactoredSection("naca" + p.section, 160)).first;
    }
    ViscousOptions options;
    options.reynolds = p.re;
    const ViscousResult r = SolveViscousAngle(it->second, p.alpha, options);
    const std::string where =
        p.section + " Re " + std::to_string(p.re) + " alpha " + std::to_string(p.alpha);
    EXPECT_NEAR(r.cd, p.cd, 0.2 * p.cd) << where;
    EXPECT_NEAR(r.xtr_top, p.xtr_top, 0.16) << where;
    EXPECT_NEAR(r.xtr_bottom, p.xtr_bottom, 0.16) << where;
    cd_error.push_back(std::fabs(r.cd - p.cd) / p.cd);
    cl_error.push_back(std::fabs(r.cl_viscous - p.cl) / std::max(std::fabs(p.cl), 0.1));
    xtr_error.push_back(std::fabs(r.xtr_top - p.xtr_top));
    xtr_error.push_back(std::fabs(r.xtr_bottom - p.xtr_bottom));
    converged += r.converged;
  }
  EXPECT_LT(Median(cd_error), 0.08);
  EXPECT_LT(Median(xtr_error), 0.04);
  EXPECT_LT(Median(cl_error), 0.08);
  EXPECT_GE(converged, static_cast<int>(0.95 * points.size()));
}

// The trailing-edge treatment: drag and transition do not follow the panel count from
// 100 to 300 panels (beyond 198, the most the single-section arrays hold with the
// vortex, as the general problem), to 1 % at Re 3e6; at Re 1e6 transition sits on a
// laminar bubble that moves by a station or two, to 6 %; the lift to 2 %.
TEST(SectionViscous, DragDoesNotDependOnThePanelCount) {
  struct Case {
    const char* body;
    double re, alpha, tolerance;
  };
  for (const Case c : {Case{"naca0012", 3e6, 2, 0.01}, Case{"naca2412", 3e6, 4, 0.01},
                       Case{"naca4415", 3e6, 0, 0.01}, Case{"naca23012", 3e6, 2, 0.01},
                       Case{"naca4415", 1e6, 0, 0.06}, Case{"naca2412", 1e6, 0, 0.06}}) {
    ViscousOptions options;
    options.reynolds = c.re;
    const ViscousResult reference =
        SolveViscousAngle(FactoredSection(c.body, 160), c.alpha, options);
    for (int panels : {100, 130, 198, 300}) {
      const ViscousResult r = SolveViscousAngle(
          panels > 198 ? FactoredGeneralSection(c.body, panels) : FactoredSection(c.body, panels),
          c.alpha, options);
      EXPECT_NEAR(r.cd, reference.cd, c.tolerance * reference.cd) << c.body << " " << panels;
      EXPECT_NEAR(r.cl_viscous, reference.cl_viscous, 0.02 * std::fabs(reference.cl_viscous) + 1e-3)
          << c.body << " " << panels;
    }
  }
}

// A trip moves transition to it on its side only, and a turbulent layer from further
// forward gives more drag.
TEST(SectionViscous, ForcedTransitionTrips) {
  const FactoredPanelProblem section = FactoredSection("naca0012", 160);
  ViscousOptions options;
  options.reynolds = 3e6;
  const ViscousResult free = SolveViscousAngle(section, 2, options);
  options.xtr_top = 0.1;
  const ViscousResult tripped = SolveViscousAngle(section, 2, options);
  EXPECT_NEAR(tripped.xtr_top, 0.1, 0.005);
  EXPECT_NEAR(tripped.xtr_bottom, free.xtr_bottom, 0.02);
  EXPECT_GT(tripped.cd, free.cd * 1.1);
  EXPECT_TRUE(tripped.top.transition_forced);
}

// NACA 2412 at Re 1e6 with the passes started from the given transpiration.
ViscousResult SolveFrom(const FactoredPanelProblem& p, double alpha_degrees,
                        const std::vector<double>& start) {
  ViscousOptions options;
  options.reynolds = 1e6;
  options.initial_transpiration = start;
  return SolveViscousAngle(p, alpha_degrees, options);
}

// A polar run in order may start each angle from the transpiration of the ones before
// (PolarWarmStart): it settles in fewer passes on the cold start's solution (NACA 2412 at
// 7 degrees after 6 and 6.5: 6 passes against 16), and a start from far off (the
// separated layers of 14 degrees used at 2) on that solution too.
TEST(SectionViscous, WarmStartSettlesOnTheColdSolution) {
  const FactoredPanelProblem section = FactoredSection("naca2412", 160);
  PolarWarmStart starts;
  for (double alpha : {6.0, 6.5}) {
    const ViscousResult r = SolveFrom(section, alpha, starts.StartFor(alpha));
    starts.Record(alpha, r.converged, r.transpiration);
  }
  const ViscousResult cold = SolveFrom(section, 7, {});
  const ViscousResult warm = SolveFrom(section, 7, starts.StartFor(7));
  ASSERT_TRUE(cold.converged && warm.converged);
  EXPECT_LT(warm.passes, cold.passes);
  EXPECT_NEAR(warm.cl_viscous, cold.cl_viscous, 0.005 * cold.cl_viscous);
  EXPECT_NEAR(warm.cd, cold.cd, 0.01 * cold.cd);

  const ViscousResult stalled = SolveFrom(section, 14, {});
  const ViscousResult low = SolveFrom(section, 2, {});
  const ViscousResult far = SolveFrom(section, 2, stalled.transpiration);
  ASSERT_TRUE(low.converged && far.converged);
  EXPECT_NEAR(far.cl_viscous, low.cl_viscous, 0.005 * low.cl_viscous);
  EXPECT_NEAR(far.cd, low.cd, 0.01 * low.cd);
}

bool Finite(const ViscousResult& r) {
  for (double v :
       {r.cl_viscous, r.cm_viscous, r.cd, r.xtr_top, r.xtr_bottom, r.xsep_top, r.xsep_bottom}) {
    if (!std::isfinite(v)) return false;
  }
  for (const SurfaceBoundaryLayer* side : {&r.top, &r.bottom}) {
    for (const BoundaryLayerStation& b : side->stations) {
      for (double v : {b.s, b.x, b.y, b.ue, b.dstar, b.theta, b.h, b.cf, b.n}) {
        if (!std::isfinite(v)) return false;
      }
    }
  }
  for (double v : r.cp.cp) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

// -20 to 20 degrees on three sections at three Reynolds numbers: every point finite and of
// the order of one (a separated layer running into a second stagnation point once gave a
// drag of 1e15, and a diverging interaction 1e138), and beyond stall flagged: at 18 and 20
// degrees either way the suction side separates well ahead of the trailing edge (a
// separated turbulent layer once "reattached" in the direct march and hid the stall).
TEST(SectionViscous, SweepBeyondStallEndsInFlaggedPoints) {
  for (const char* body : {"naca0012", "naca4412", "naca23015"}) {
    const FactoredPanelProblem section = FactoredSection(body, 160);
    for (double re : {2e5, 1e6, 1e7}) {
      for (int alpha = -20; alpha <= 20; alpha += 2) {
        ViscousOptions options;
        options.reynolds = re;
        const ViscousResult r = SolveViscousAngle(section, alpha, options);
        EXPECT_TRUE(Finite(r)) << body << " Re " << re << " alpha " << alpha;
        EXPECT_LT(r.cd, 1) << body << " Re " << re << " alpha " << alpha;
        EXPECT_LT(std::fabs(r.cl_viscous), 5) << body << " Re " << re << " alpha " << alpha;
        if (std::abs(alpha) >= 18) {
          const double suction_xsep = alpha > 0 ? r.xsep_top : r.xsep_bottom;
          // At Re 2e5 the laminar layer separates at the leading edge and the passes do not
          // settle; the last pass may close a bubble near the edge, so only the flag counts.
          if (re >= 1e6 || r.converged) {
            EXPECT_LT(suction_xsep, 0.9) << body << " Re " << re << " alpha " << alpha;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace velquin
