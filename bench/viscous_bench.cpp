// The viscous analysis of one angle: NACA 2412 at 160 panels with the constant vortex
// distribution, Re 3e6, Ncrit 9, 4 degrees; the factored matrix given (it is made once
// per geometry), the angle's interaction passes timed: both boundary layers marched and
// the panel problem solved with the transpiration, pass after pass, and the final layers.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/calculation_run.h"
#include "geometry/body_names.h"
#include "geometry/module_panel.h"
#include "viscous/panel_viscous.h"

namespace velquin {
namespace {

void BM_ViscousAngle(benchmark::State& state) {
  std::string error;
  RunInputs inputs;
  inputs.body = BodyFromName("naca2412", error);
  inputs.NP = 160;
  inputs.circulation = true;
  inputs.vortex = VortexModel::kConstantDistribution;
  auto C = std::make_unique<Module_Common>();
  Form_Load(*C);
  SetUpProblem(*C, inputs);
  Panel_ComputeGeometry(*C);
  const FactoredPanelProblem problem = *FactorPanelProblem(*C, inputs);
  ViscousOptions options;
  options.reynolds = 3e6;
  int passes = 0;
  for (auto _ : state) {
    const ViscousResult r = SolveViscousAngle(problem, 4, options);
    benchmark::DoNotOptimize(r.cd);
    passes = r.passes;
  }
  state.counters["passes"] = passes;
}

BENCHMARK(BM_ViscousAngle)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velquin
