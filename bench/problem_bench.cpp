// The general panel problem: assembly and factorisation of a two-element problem, and
// one angle solved on a factored system.
#include <benchmark/benchmark.h>

#include <string>

#include "app/problem_run.h"
#include "bench/slotted_flap.h"
#include "geometry/body_names.h"
#include "solver/panel_problem.h"

namespace velquin {
namespace {

PanelProblem SlottedFlap(int panels) {
  return MakePanelProblem(SlottedFlapInputs(panels));
}

void BM_GeneralProblem(benchmark::State& state) {
  const PanelProblem problem = SlottedFlap(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    PanelSystem system(problem, 4.0);
    benchmark::DoNotOptimize(system.EquationCount());
  }
}
BENCHMARK(BM_GeneralProblem)
    ->Arg(200)
    ->Arg(400)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond);

void BM_GeneralProblemAngle(benchmark::State& state) {
  const PanelProblem problem = SlottedFlap(static_cast<int>(state.range(0)));
  const PanelSystem system(problem, 4.0);
  for (auto _ : state) benchmark::DoNotOptimize(system.Solve(4.0).cl_pressure);
}
BENCHMARK(BM_GeneralProblemAngle)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velquin
