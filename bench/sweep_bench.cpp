// Timings of the angle sweep: 81 angles (-10 to 10 degrees in steps of 0.25) at 198
// panels with circulation (constant vortex distribution), on the circle and on the
// NACA 0012 section.
//
//  - BM_SweepAngles: the sweep proper on the state of a completed run: one assembly, one
//    elimination, then for all 81 angles the right-hand sides, the solutions, the
//    surface speeds and the derived results.
//  - BM_SweepCommand: the whole batch command in the process, as
//    `velquin2ds --batch --sweep -10:10:0.25 --panels 198 --circulation
//    --vortex constant --out DIR` runs it: the run at the last angle with its three
//    reports, the sweep, polar.csv and the line on stdout.
//  - BM_SweepBySeparateRuns: what the sweep replaces, 81 complete runs one after the
//    other (reports included), for comparison.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "app/calculation_run.h"
#include "base/module_common.h"
#include "base/text_number.h"
#include "cli/batch_run.h"
#include "cli/batch_window.h"
#include "solver/angle_sweep.h"

namespace velquin {
namespace {

constexpr int kSweepPanels = 198;

// A directory for the reports of the timed runs, removed when the program ends.
class SweepReportDirectory {
 public:
  SweepReportDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "velquin-sweep-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~SweepReportDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const std::string& SweepDirectory() {
  static const SweepReportDirectory directory;
  return directory.path();
}

std::vector<double> SweepAngles() {
  std::vector<double> angles;
  for (int k = 0; k <= 80; ++k) angles.push_back(-10 + 0.25 * k);
  return angles;
}

ControlValues SweepControls(bool naca) {
  ControlValues controls;
  controls.Text_NP = std::to_string(kSweepPanels);
  controls.Text_AlfaD = "10";
  controls.Check_Circulation = 1;
  controls.Option_Circle = !naca;
  controls.Option_NACA12 = naca;
  controls.Option_ConstVortex = true;
  return controls;
}

void BM_SweepAngles(benchmark::State& state, bool naca) {
  const ControlValues controls = SweepControls(naca);
  auto C = std::make_unique<Module_Common>();
  Form_Load(*C);
  std::ostringstream messages;
  BatchWindow window(controls, messages);
  if (SweepDirectory().empty() ||
      Command1_Click(*C, window.Controls(), window, ReportOptions{SweepDirectory(), '.'}) !=
          RunOutcome::kCompleted) {
    state.SkipWithError("the run did not complete");
    return;
  }
  const std::vector<double> angles = SweepAngles();
  for (auto _ : state) {
    const auto results = SweepAngles(*C, ReadRunInputs(controls), angles);
    if (!results) {
      state.SkipWithError("zero pivot");
      break;
    }
    benchmark::DoNotOptimize(results->data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(angles.size()));
}

void BM_SweepCommand(benchmark::State& state, bool naca) {
  std::vector<std::string> args = {"--batch",        "--sweep",  "-10:10:0.25",
                                   "--panels",       "198",      "--circulation",
                                   "--vortex",       "constant", "--out",
                                   SweepDirectory(), "--body",   naca ? "naca0012" : "circle"};
  for (auto _ : state) {
    std::ostringstream out, err;
    if (SweepDirectory().empty() || RunBatchCommand(args, out, err, '.', {}) != 0) {
      state.SkipWithError(("the sweep did not complete: " + err.str()).c_str());
      break;
    }
  }
}

void BM_SweepBySeparateRuns(benchmark::State& state, bool naca) {
  ControlValues controls = SweepControls(naca);
  auto C = std::make_unique<Module_Common>();
  Form_Load(*C);
  std::ostringstream messages;
  BatchWindow window(controls, messages);
  const std::vector<double> angles = SweepAngles();
  for (auto _ : state) {
    for (const double angle : angles) {
      controls.Text_AlfaD = NumberText(angle);
      window.SetControls(controls);
      if (Command1_Click(*C, window.Controls(), window, ReportOptions{SweepDirectory(), '.'}) !=
          RunOutcome::kCompleted) {
        state.SkipWithError("a run did not complete");
        return;
      }
    }
  }
}

// With --benchmark_repetitions the aggregates include the minimum, the figure least
// disturbed by other work on the machine.
double Minimum(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

BENCHMARK_CAPTURE(BM_SweepAngles, circle, false)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", Minimum);
BENCHMARK_CAPTURE(BM_SweepAngles, naca0012, true)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", Minimum);
BENCHMARK_CAPTURE(BM_SweepCommand, circle, false)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", Minimum);
BENCHMARK_CAPTURE(BM_SweepCommand, naca0012, true)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", Minimum);
BENCHMARK_CAPTURE(BM_SweepBySeparateRuns, naca0012, true)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Minimum);

}  // namespace
}  // namespace velquin
