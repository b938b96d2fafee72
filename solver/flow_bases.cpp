#include "solver/flow_bases.h"

#include <memory>
#include <vector>

#include "solver/angle_solution.h"
#include "solver/gauss_multi.h"
#include "solver/module_influcoeff.h"

namespace velquin {

std::optional<FlowBases> SolveFlowBases(const Module_Common& C, const RunInputs& inputs) {
  auto copy = std::make_unique<Module_Common>(C);  // two 201 x 201 matrices: on the heap
  Module_Common& W = *copy;
  InfluCoeff_Fill(W, inputs);  // its free-stream column is not used
  if (!Gauss_Factor(W.NEq, W.An)) return std::nullopt;
  return SolveFactoredFlowBases(W, inputs);
}

FlowBases SolveFactoredFlowBases(const Module_Common& W, const RunInputs& inputs) {
  // The two free streams side by side: row i holds (b0(i), b90(i)).
  constexpr int kBases = 2;
  const double cos_alfa[kBases] = {1, 0};
  const double sin_alfa[kBases] = {0, 1};
  const int np = RealToIndex(W.NP);
  const int neq = RealToIndex(W.NEq);
  std::vector<double> rhs(static_cast<std::size_t>(neq) * kBases);
  std::vector<double> tangential(static_cast<std::size_t>(np) * kBases);
  InfluCoeff_FreeStream(W, inputs.circulation, cos_alfa, sin_alfa, kBases, rhs.data(),
                        tangential.data());
  Gauss_SolveFactored(W.NEq, W.An, rhs.data(), kBases);
  CheckFiniteStrengths(rhs.data(), neq * kBases);

  FlowBases bases;
  bases.model = inputs.vortex;
  bases.Q0.resize(neq);
  bases.Q90.resize(neq);
  for (int j = 1; j <= neq; ++j) {
    bases.Q0[j - 1] = rhs[(j - 1) * kBases];
    bases.Q90[j - 1] = rhs[(j - 1) * kBases + 1];
  }
  return bases;
}

}  // namespace velquin
