// Karman-Tsien and the critical pressure coefficient against published figures.
#include "viscous/compressibility.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/run_error.h"

namespace velquin {
namespace {

// Cp* of air from the isentropic table (Anderson, Fundamentals of Aerodynamics, Table
// A.1, p0/p to four figures: 1.186, 1.276, 1.387, 1.524, 1.691 at M = 0.5 ... 0.9 and
// 1.893 at M = 1): Cp* = 2/(gamma M^2) ((p0/p)(M) / (p0/p)(1) - 1).
TEST(Compressibility, CriticalPressureCoefficient) {
  struct Row {
    double mach, p0_over_p;
  };
  for (const Row r :
       {Row{0.5, 1.186}, Row{0.6, 1.276}, Row{0.7, 1.387}, Row{0.8, 1.524}, Row{0.9, 1.691}}) {
    const double from_table = 2 / (1.4 * r.mach * r.mach) * (r.p0_over_p / 1.893 - 1);
    EXPECT_NEAR(CriticalCp(r.mach), from_table, 3e-3) << "M " << r.mach;
  }
  EXPECT_TRUE(std::isinf(CriticalCp(0)));
}

// Anderson's example (Fundamentals of Aerodynamics, ch. 11): NACA 0012 at zero lift,
// lowest Cp0 = -0.43 at low speed, critical at M = 0.74 with the Prandtl-Glauert rule;
// Karman-Tsien, which steepens the suction peaks, makes it critical earlier, but not
// below 0.70. And the small-disturbance limit of Karman-Tsien is Prandtl-Glauert:
// Cp -> Cp0 / sqrt(1 - M^2).
TEST(Compressibility, CriticalMachOfAndersonsExample) {
  auto critical_mach = [](auto&& cp_of_mach) {
    double lo = 0.5, hi = 0.95;
    for (int k = 0; k < 60; ++k) {
      const double m = (lo + hi) / 2;
      (cp_of_mach(m) < CriticalCp(m) ? hi : lo) = m;
    }
    return lo;
  };
  const double prandtl_glauert =
      critical_mach([](double m) { return -0.43 / std::sqrt(1 - m * m); });
  const double karman_tsien = critical_mach([](double m) { return KarmanTsienCp(-0.43, m); });
  EXPECT_NEAR(prandtl_glauert, 0.74, 0.005);
  EXPECT_LT(karman_tsien, prandtl_glauert - 0.005);
  EXPECT_GT(karman_tsien, 0.70);
  for (double m : {0.3, 0.6, 0.85}) {
    EXPECT_NEAR(KarmanTsienCp(1e-6, m) / 1e-6, 1 / std::sqrt(1 - m * m), 1e-4) << m;
  }
  EXPECT_EQ(KarmanTsienCp(-0.7, 0), -0.7);
}

// The flags: supersonic exactly where the corrected Cp lies below Cp*; never below the
// vacuum; a Mach number outside [0, 1) refused.
TEST(Compressibility, SupersonicFlagsAndLimits) {
  const CompressibleCp c = CorrectPressures({0.5, -0.2, -0.6, -3.0}, 0.7);
  ASSERT_EQ(c.cp.size(), 4u);
  EXPECT_EQ(c.supersonic, (std::vector<unsigned char>{0, 0, 1, 1}));
  EXPECT_GE(c.cp[3], -2 / (1.4 * 0.49) - 1e-12);
  EXPECT_THROW(KarmanTsienCp(-0.5, 1.0), RunError);
  EXPECT_THROW(CriticalCp(-0.1), RunError);
}

}  // namespace
}  // namespace velquin
