// The viscous analysis of one angle: NACA 2412 at 160 panels with the constant vortex
// distribution, Re 3e6, Ncrit 9, 4 degrees; the factored matrix given (it is made once
// per geometry), the angle's interaction passes timed: both boundary layers marched and
// the panel problem solved with the transpiration, pass after pass, and the final layers.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/calculation_run.h"
#include "app/problem_run.h"
#include "geometry/body_names.h"
#include "geometry/module_panel.h"
#include "viscous/panel_viscous.h"

namespace velquin {
namespace {

// Times one angle at the Reynolds number on the factored problem; the passes it takes
// as a counter.
void TimeViscousAngle(benchmark::State& state, const FactoredPanelProblem& problem,
                      double reynolds) {
  ViscousOptions options;
  options.reynolds = reynolds;
  int passes = 0;
  for (auto _ : state) {
    const ViscousResult r = SolveViscousAngle(problem, 4, options);
    benchmark::DoNotOptimize(r.cd);
    passes = r.passes;
  }
  state.counters["passes"] = passes;
}

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
  TimeViscousAngle(state, *FactorPanelProblem(*C, inputs), 3e6);
}

BENCHMARK(BM_ViscousAngle)->Unit(benchmark::kMicrosecond);

// The same angle on a main section with a flap of 30 % chord in its slot (NACA 2412 and
// NACA 0012 placed at (1.05, -0.08), turned 10 degrees), 160 panels each: the general
// problem's factors and response matrix made once (BM_ViscousTwoElementsFactor), then
// one angle with both elements' layers and the passes (BM_ViscousTwoElementsAngle).
PanelProblem SlottedFlap() {
  ProblemInputs inputs;
  std::string error;
  ElementInput main, flap;
  main.body = BodyFromName("naca2412", error);
  flap.body = BodyFromName("naca0012", error);
  flap.placement = Placement{1.05, -0.08, 10, 0.3};
  inputs.elements = {main, flap};
  inputs.panels = 160;
  inputs.vortex = VortexModel::kConstantDistribution;
  return MakePanelProblem(inputs);
}

void BM_ViscousTwoElementsFactor(benchmark::State& state) {
  const PanelProblem problem = SlottedFlap();
  for (auto _ : state) {
    const FactoredPanelProblem factored =
        FactorPanelProblem(std::make_shared<const PanelSystem>(problem, 4.0), 4.0);
    benchmark::DoNotOptimize(factored.response.data());
  }
}

void BM_ViscousTwoElementsAngle(benchmark::State& state) {
  TimeViscousAngle(
      state, FactorPanelProblem(std::make_shared<const PanelSystem>(SlottedFlap(), 4.0), 4.0), 1e6);
}

BENCHMARK(BM_ViscousTwoElementsFactor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViscousTwoElementsAngle)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velquin
