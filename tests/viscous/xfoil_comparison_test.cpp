#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "support/viscous_helpers.h"

namespace velquin {
namespace {

using namespace test_support;

TEST(XfoilComparison, Table) {
  const std::vector<XfoilPoint> points = ReadXfoilViscous();
  ASSERT_GT(points.size(), 50u);
  std::map<std::string, FactoredPanelProblem> sections;
  std::vector<double> ecd, ecl, etr;
  int conv = 0;
  for (const XfoilPoint& p : points) {
    auto it = sections.find(p.section);
    if (it == sections.end()) {
      it = sections.emplace(p.section, FactoredSection("naca" + p.section, 160)).first;
    }
    ViscousOptions options;
    options.reynolds = p.re;
    if (const char* e = std::getenv("VP")) options.max_passes = std::atoi(e);
    if (const char* e = std::getenv("VW")) options.relaxation = std::atof(e);
    const ViscousResult r = SolveViscousAngle(it->second, p.alpha, options);
    std::printf(
        "%s %.0e %2.0f | cl %.4f %.4f (%+.1f%%) | cd %.5f %.5f (%+.1f%%) | xtr %.3f %.3f  %.3f "
        "%.3f | conv %d %d sep %.3f %.3f\n",
        p.section.c_str(), p.re, p.alpha, r.cl_viscous, p.cl,
        100 * (r.cl_viscous - p.cl) / std::max(std::fabs(p.cl), 1e-9), r.cd, p.cd,
        100 * (r.cd - p.cd) / p.cd, r.xtr_top, p.xtr_top, r.xtr_bottom, p.xtr_bottom, r.converged,
        r.passes, r.xsep_top, r.xsep_bottom);
    ecd.push_back(std::fabs(r.cd - p.cd) / p.cd);
    ecl.push_back(std::fabs(r.cl_viscous - p.cl) / std::max(std::fabs(p.cl), 0.1));
    etr.push_back(std::fabs(r.xtr_top - p.xtr_top));
    etr.push_back(std::fabs(r.xtr_bottom - p.xtr_bottom));
    conv += r.converged;
  }
  auto med = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  auto mx = [](std::vector<double> v) { return *std::max_element(v.begin(), v.end()); };
  std::printf(
      "cd median %.3f max %.3f | cl median %.3f max %.3f | xtr median %.3f max %.3f | converged "
      "%d/%zu\n",
      med(ecd), mx(ecd), med(ecl), mx(ecl), med(etr), mx(etr), conv, ecd.size());
}

}  // namespace
}  // namespace velquin
