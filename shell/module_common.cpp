#include "shell/module_common.h"

#include <cmath>
#include <string>

#include "shell/run_error.h"
#include "shell/text_number.h"

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

void Form_Load(Module_Common& C) {
  C.Pi = 4 * std::atan(1.0);
  C.Pi2 = 2 * C.Pi;
  C.Pi4 = 4 * C.Pi;
}

}  // namespace velquin
