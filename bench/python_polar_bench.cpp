// The computation of velquin.polar("naca0012", panels=160, alpha=81 angles) in C++, for
// bench/python_polar_bench.py: the inputs read as the batch command reads them, the
// panels laid, then the sweep (one assembly and elimination, 81 right-hand sides and
// the derived results). Prints the best and the median time of N repetitions in
// microseconds: "best_us=... median_us=...".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/calculation_run.h"
#include "base/module_common.h"
#include "geometry/body_names.h"
#include "geometry/module_panel.h"
#include "solver/angle_sweep.h"

namespace velquin {
namespace {

double SweepOnce(const std::vector<double>& angles) {
  ControlValues controls;
  controls.source = ControlValues::Source::kCommandLine;
  controls.Text_NP = "160";
  controls.Check_Circulation = 1;
  controls.Option_ConstVortex = true;
  controls.Option_Circle = false;
  controls.Option_NACA12 = true;
  const RunInputs inputs = ReadRunInputs(controls);
  auto C = std::make_unique<Module_Common>();
  Form_Load(*C);
  SetUpProblem(*C, inputs);
  Panel_ComputeGeometry(*C);
  const auto results = SweepAngles(*C, inputs, angles);
  return results ? results->back().cl_circulation : 0;
}

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::atoi(argv[1]) : 200;
  std::vector<double> angles;
  for (int k = 0; k <= 80; ++k) angles.push_back(-10 + 0.25 * k);
  std::vector<double> micros;
  double sink = 0;
  for (int r = 0; r < std::max(repetitions, 1); ++r) {
    const auto start = std::chrono::steady_clock::now();
    sink += velquin::SweepOnce(angles);
    const auto stop = std::chrono::steady_clock::now();
    micros.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
  }
  std::sort(micros.begin(), micros.end());
  std::printf("best_us=%.1f median_us=%.1f check=%.6f\n", micros.front(), micros[micros.size() / 2],
              sink / static_cast<double>(micros.size()));
  return 0;
}
