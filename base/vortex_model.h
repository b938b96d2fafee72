// The vortex model that carries a run's circulation.
#pragma once

namespace velquin {

enum class VortexModel {
  kNone,                  // no circulation: the sources alone
  kConstantDistribution,  // one vortex strength per unit length, the same on every panel
  kPointVortex,           // one point vortex at (Xv, Yv)
};

// The model a set of controls chooses: none without circulation, else the constant
// distribution when it is chosen, else the point vortex when it is chosen, else
// `unchosen` (a run then refuses to go on; the explorer takes the constant distribution).
constexpr VortexModel ChooseVortexModel(bool circulation, bool constant, bool point,
                                        VortexModel unchosen) {
  if (!circulation) return VortexModel::kNone;
  if (constant) return VortexModel::kConstantDistribution;
  if (point) return VortexModel::kPointVortex;
  return unchosen;
}

}  // namespace velquin
