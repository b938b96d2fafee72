// The slotted flap the benchmarks time: NACA 23012 with a NACA 23012 flap of chord 0.3 at
// (0.95, -0.04), turned 25 degrees; `panels` in all, half on each element.
#pragma once

#include <string>

#include "app/problem_run.h"
#include "geometry/body_names.h"

namespace velquin {

inline ProblemInputs SlottedFlapInputs(int panels) {
  ProblemInputs inputs;
  std::string error;
  ElementInput main, flap;
  main.body = BodyFromName("naca23012", error);
  flap.body = main.body;
  flap.placement = Placement{0.95, -0.04, 25, 0.3};
  inputs.elements = {main, flap};
  inputs.panels = panels / 2;
  inputs.vortex = VortexModel::kConstantDistribution;
  return inputs;
}

}  // namespace velquin
