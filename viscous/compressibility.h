// The Karman-Tsien compressibility correction of the pressure coefficient, the critical
// pressure coefficient and where the corrected flow turns supersonic (air, gamma = 1.4).
//
// Karman-Tsien (von Karman, J. Aero. Sci. 8 (1941) 337; Tsien, J. Aero. Sci. 6 (1939)
// 399): with beta = sqrt(1 - M^2),
//   Cp = Cp0 / (beta + M^2/(1 + beta) Cp0/2),
// Cp0 the incompressible value at the same geometry and angle. The correction is bounded
// below by the vacuum value -2/(gamma M^2), where its denominator would vanish.
//
// Critical Cp, where the local Mach number is 1 (isentropic flow):
//   Cp* = 2/(gamma M^2) [((2 + (gamma - 1) M^2)/(gamma + 1))^(gamma/(gamma - 1)) - 1].
#pragma once

#include <vector>

namespace velquin {

inline constexpr double kGammaAir = 1.4;

// Throws RunError(kInvalidArgument) unless 0 <= mach < 1.
void CheckSubsonicMach(double mach);

double KarmanTsienCp(double cp_incompressible, double mach);

// Cp* for 0 < M < 1; at M = 0 no finite pressure makes the flow sonic: -infinity.
double CriticalCp(double mach);

// The corrected Cp of every point and whether it lies below Cp* (supersonic).
struct CompressibleCp {
  std::vector<double> cp;
  std::vector<unsigned char> supersonic;
  double critical = 0;
};
CompressibleCp CorrectPressures(const std::vector<double>& cp_incompressible, double mach);

}  // namespace velquin
