#include "solver/derived_results.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/derived_text.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace test_support;

DerivedResults RunAndDerive(const ControlValues& controls) {
  TempDir dir;
  auto C = NewState();
  const auto run = RunIn(*C, controls, dir.path());
  EXPECT_EQ(run.outcome, RunOutcome::kCompleted) << run.messages;
  return ComputeDerivedResults(*C, ReadRunInputs(controls));
}

ControlValues NacaAt(int panels, const std::string& alpha) {
  return WithCirculation(Naca(CircleControls(std::to_string(panels), alpha)), false);
}

// The discrete circle with the point vortex at its centre, N panels at alpha: Kutta-
// Joukowski gives Cl = 4 pi sin(alpha) cos^2(pi / N); integrating the exact
// 1 - Cp = 4 (sin(theta - alpha) + sin(alpha) cos(pi / N))^2 gives Cl = 2 N sin(2 pi / N)
// sin(alpha) and no drag, so the resultant passes through the centre: Cm = -Cl cos(alpha) / 4.
TEST(DerivedResults, CentralVortexOnTheCircleMatchesTheClosedForms) {
  for (int n : {4, 8, 9, 36, 120, 198}) {
    for (double degrees : {10.0, -3.0}) {
      const double alpha = degrees * M_PI / 180;
      const DerivedResults r = RunAndDerive(
          WithCirculation(CircleControls(std::to_string(n), std::to_string(degrees)), true));
      const double cl_pressure = 2 * n * std::sin(2 * M_PI / n) * std::sin(alpha);
      EXPECT_NEAR(r.cl_circulation, 4 * M_PI * std::sin(alpha) * std::pow(std::cos(M_PI / n), 2),
                  1e-12)
          << "N " << n;
      EXPECT_NEAR(r.cl_pressure, cl_pressure, 1e-12) << "N " << n;
      EXPECT_NEAR(r.cm_quarter_chord, -cl_pressure * std::cos(alpha) / 4, 1e-12) << "N " << n;
      EXPECT_LT(r.circle_deviation.value_or(1), 1e-12) << "N " << n;
    }
  }
}

// NACA 0012, 198 panels, 5 degrees: near 0.6 with either model, the two lifts within 1 %
// with the vortex distribution; the symmetric section gives opposite lift and moment at
// -5 degrees, and thickness puts the centre of pressure a little behind the quarter chord.
TEST(DerivedResults, NacaLiftFromPressureAndCirculationAgree) {
  for (bool point_vortex : {false, true}) {
    const DerivedResults up = RunAndDerive(WithCirculation(NacaAt(198, "5"), point_vortex));
    const DerivedResults down = RunAndDerive(WithCirculation(NacaAt(198, "-5"), point_vortex));
    EXPECT_NEAR(up.cl_circulation, 0.6, 0.03) << point_vortex;
    EXPECT_NEAR(up.cl_pressure, 0.6, 0.03) << point_vortex;
    if (!point_vortex) {
      EXPECT_LT(std::fabs(up.cl_pressure - up.cl_circulation), 0.01 * up.cl_pressure);
    }
    EXPECT_NEAR(down.cl_circulation, -up.cl_circulation, 1e-12);
    EXPECT_NEAR(down.cl_pressure, -up.cl_pressure, 1e-12);
    EXPECT_NEAR(down.cm_quarter_chord, -up.cm_quarter_chord, 1e-12);
    EXPECT_LT(up.cm_quarter_chord, 0);
    EXPECT_GT(up.cm_quarter_chord, -0.02);
    EXPECT_FALSE(up.circle_deviation.has_value());
  }
}

// The body is closed: the source sum is a discretisation error on the NACA 0012 section,
// falling to about 1e-3 at 198 panels, as does the pressure lift without circulation
// (d'Alembert). On the circle every row of the source block is the same row turned, so
// the sum is zero to rounding when the vortex puts no net flux through the control points.
TEST(DerivedResults, ClosureErrorsFallWithThePanelCount) {
  double previous_sum = 1, previous_lift = 1;
  for (int n : {16, 32, 64, 128, 198}) {
    ControlValues plain = NacaAt(n, "5");
    plain.Check_Circulation = 0;
    const DerivedResults no_lift = RunAndDerive(plain), lifting = RunAndDerive(NacaAt(n, "5"));
    EXPECT_EQ(no_lift.cl_circulation, 0);
    EXPECT_LT(std::fabs(no_lift.cl_pressure), previous_lift) << n;
    EXPECT_GT(lifting.source_sum, 0);
    EXPECT_LT(lifting.source_sum, previous_sum) << n;
    previous_lift = std::fabs(no_lift.cl_pressure);
    previous_sum = lifting.source_sum;
  }
  EXPECT_NEAR(previous_sum, 1e-3, 2e-4);
  EXPECT_LT(previous_lift, 0.03);

  for (int n : {4, 7, 8, 50, 199}) {
    for (const char* alpha : {"0", "10", "-45"}) {
      const ControlValues plain = CircleControls(std::to_string(n), alpha);
      EXPECT_NEAR(RunAndDerive(plain).source_sum, 0, 1e-12) << n << " " << alpha;
      if (n == 199) continue;  // at most 198 panels with circulation
      for (bool point_vortex : {false, true}) {
        EXPECT_NEAR(RunAndDerive(WithCirculation(plain, point_vortex)).source_sum, 0, 1e-12)
            << n << " " << alpha << " " << point_vortex;
      }
    }
  }
}

// The closed form is known only for the circle with the point vortex exactly at its centre.
TEST(DerivedResults, CircleDeviationOnlyWithTheCentredPointVortex) {
  ControlValues off_centre = WithCirculation(CircleControls("8", "10"), true);
  off_centre.Text_Xv = "0.5000001";
  ControlValues both = WithCirculation(CircleControls("8", "10"), true);
  both.Option_ConstVortex = true;  // the assembly takes the distribution first
  EXPECT_EQ(ChosenVortexModel(both), VortexModel::kConstantDistribution);
  for (const ControlValues& controls : {off_centre, CircleControls("8", "10"), both,
                                        WithCirculation(Naca(CircleControls("8", "10")), true)}) {
    EXPECT_FALSE(RunAndDerive(controls).circle_deviation.has_value());
  }
}

// Sign conventions on a hand-worked state: the unit square [0, 1] x [-0.5, 0.5] panelled
// bottom, left, top, right, with Cp = 1 - Cu constant on each side.
TEST(DerivedResults, PanelForcesAndMomentFollowTheirSignConventions) {
  auto C = NewState();
  C->RefLength = 1, C->NP = 4, C->NEq = 5;
  const double xc[] = {0.5, 0, 0.5, 1}, yc[] = {-0.5, 0, 0.5, 0};
  const double nx[] = {0, -1, 0, 1}, ny[] = {-1, 0, 1, 0}, cu[] = {3, 1, 0, 1};
  for (int i = 1; i <= 4; ++i) {
    C->Xc(i) = xc[i - 1], C->Yc(i) = yc[i - 1], C->CosAy(i) = nx[i - 1], C->CosBy(i) = ny[i - 1];
    C->S(i) = 1, C->Q(i) = 0.25 * i, C->Cu(i) = cu[i - 1];
  }
  C->Q(5) = -0.75;
  RunInputs inputs = ReadRunInputs(WithCirculation(CircleControls("4"), true));
  const DerivedResults r = ComputeDerivedResults(*C, inputs, 1, 0, C->Q, C->Cu);
  // Suction below (Cp = -2) and pressure above (Cp = 1): a force -3 at x = 0.5, a
  // quarter chord behind the reference, pitching nose up.
  EXPECT_EQ(r.cl_pressure, -3);
  EXPECT_EQ(r.cm_quarter_chord, 0.75);
  EXPECT_EQ(r.source_sum, 2.5);
  EXPECT_EQ(r.cl_circulation, 1.5);                    // point vortex: Gamma = -Q(NEq)
  inputs.vortex = VortexModel::kConstantDistribution;  // Gamma = Q(NEq) times the perimeter
  EXPECT_EQ(ComputeDerivedResults(*C, inputs, 1, 0, C->Q, C->Cu).cl_circulation, -6);
  C->Cu(4) = 2;  // Cp = -1 on the right: +1 along x, which is lift -1 at 90 degrees
  EXPECT_EQ(ComputeDerivedResults(*C, inputs, 0, 1, C->Q, C->Cu).cl_pressure, -1);
}

// Every number reads back as the same double; the line names each result once.
TEST(DerivedText, LineAndPolarRowHoldRoundTripNumbers) {
  DerivedResults r{0.1 + 0.2,    -0.0,         -1.5e-300,    2.0 / 3,
                   std::nullopt, std::nullopt, std::nullopt, std::nullopt};
  EXPECT_EQ(DerivedResultsLine(r),
            "cl_circulation=0.30000000000000004 cl_pressure=0 cm_quarter_chord=-1.5e-300 "
            "source_sum=0.6666666666666666");
  EXPECT_EQ(PolarRow("-9.75", r), "-9.75,0.30000000000000004,0,-1.5e-300,0.6666666666666666");
  r.circle_deviation = 4e-15;
  EXPECT_EQ(DerivedResultsLine(r).substr(DerivedResultsLine(r).rfind(' ')),
            " circle_deviation=4e-15");
}

}  // namespace
}  // namespace velquin
