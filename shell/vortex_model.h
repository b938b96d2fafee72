// The vortex model that carries a run's circulation.
#pragma once

namespace velquin {

enum class VortexModel {
  kNone,                  // no circulation: the sources alone
  kConstantDistribution,  // one vortex strength per unit length, the same on every panel
  kPointVortex,           // one point vortex at (Xv, Yv)
};

}  // namespace velquin
