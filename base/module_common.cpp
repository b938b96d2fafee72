#include "base/module_common.h"

#include <cmath>
#include <string>

#include "base/run_error.h"
#include "base/text_number.h"

namespace velquin {

void ThrowSubscriptOutOfRange(int i, int limit) {
  throw RunError(ErrorKind::kSubscriptOutOfRange,
                 "index " + std::to_string(i) + " lies outside 0.." + std::to_string(limit) + ".");
}

int RealToIndex(double r, int limit) {
  // nearbyint rounds in the default mode, to nearest with ties to even.
  const double rounded = std::nearbyint(r);
  if (!(rounded >= 0 && rounded <= limit)) {
    throw RunError(ErrorKind::kSubscriptOutOfRange,
                   "index " + NumberText(r) + " lies outside 0.." + std::to_string(limit) + ".");
  }
  return static_cast<int>(rounded);
}

namespace {
const double kPi = 4 * std::atan(1.0);  // the value Form_Load gives Pi
}  // namespace

void Form_Load(Module_Common& C) {
  C.Pi = kPi;
  C.Pi2 = 2 * C.Pi;
  C.Pi4 = 4 * C.Pi;
}

double PiConstant() {
  return kPi;
}

double AlphaRadians(double alpha_degrees) {
  return (alpha_degrees * kPi) / 180;
}

}  // namespace velquin
