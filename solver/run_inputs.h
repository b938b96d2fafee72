// The typed description of one calculation run: what the run reads from the window's
// controls (or the command line), read once and checked, and all that geometry/,
// solver/ and display/ get to see of the inputs.
#pragma once

#include "base/vortex_model.h"
#include "geometry/body.h"

namespace velquin {

struct RunInputs {
  double NP = 8;             // panels, a whole number within the capacity of the arrays
  bool circulation = false;  // one more unknown, the vortex strength, and the Kutta row
  double Xv = 0.5, Yv = 0;   // point-vortex position (read on every run, used by kPointVortex)
  BodyPtr body;              // never null
  VortexModel vortex = VortexModel::kNone;  // kNone exactly when !circulation
  double alpha_degrees = 0;

  // NEq and NRhs of the state: the unknowns, and the column of the right-hand side.
  double NEq() const { return circulation ? NP + 1 : NP; }
  double NRhs() const { return NEq() + 1; }
};

}  // namespace velquin
