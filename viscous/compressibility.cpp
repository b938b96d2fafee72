#include "viscous/compressibility.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/run_error.h"

namespace velquin {

void CheckSubsonicMach(double mach) {
  if (!(mach >= 0 && mach < 1)) {
    throw RunError(ErrorKind::kInvalidArgument,
                   "the Mach number must lie in 0 <= M < 1 for the Karman-Tsien correction.");
  }
}

double KarmanTsienCp(double cp0, double mach) {
  CheckSubsonicMach(mach);
  if (mach == 0) return cp0;
  const double m2 = mach * mach;
  const double beta = std::sqrt(1 - m2);
  const double vacuum = -2 / (kGammaAir * m2);
  const double den = beta + m2 / (1 + beta) * cp0 / 2;
  if (den <= 0) return vacuum;
  return std::max(cp0 / den, vacuum);
}

double CriticalCp(double mach) {
  CheckSubsonicMach(mach);
  if (mach == 0) return -std::numeric_limits<double>::infinity();
  const double g = kGammaAir;
  const double m2 = mach * mach;
  return 2 / (g * m2) * (std::pow((2 + (g - 1) * m2) / (g + 1), g / (g - 1)) - 1);
}

CompressibleCp CorrectPressures(const std::vector<double>& cp0, double mach) {
  CompressibleCp out;
  out.critical = CriticalCp(mach);
  out.cp.reserve(cp0.size());
  out.supersonic.reserve(cp0.size());
  for (double c : cp0) {
    const double cp = KarmanTsienCp(c, mach);
    out.cp.push_back(cp);
    out.supersonic.push_back(cp < out.critical ? 1 : 0);
  }
  return out;
}

}  // namespace velquin
