// Timings of one calculation run and of its parts, at the largest problem the arrays
// hold: 198 panels with circulation (constant vortex distribution), on the circle and
// on the NACA 0012 section, 5 degrees angle of attack.
//
// Every benchmark prepares its state outside the timed loop. The reports go into a new
// directory under $TMPDIR (else /tmp), removed at the end: the file system there decides
// what writing them costs.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "app/calculation_run.h"
#include "base/module_common.h"
#include "base/picture.h"
#include "base/report_folder.h"
#include "base/report_writer.h"
#include "cli/batch_window.h"
#include "display/matrix_plot.h"
#include "geometry/module_geometry.h"
#include "geometry/module_panel.h"
#include "solver/module_gauss.h"
#include "solver/module_influcoeff.h"

namespace velquin {
namespace {

constexpr int kPanels = 198;  // the most the arrays hold with circulation on
constexpr double kAlphaDegrees = 5;

enum class Shape { kCircle, kNaca0012 };

// Where the reports of the timed runs go; set by main.
std::string g_report_directory;

ReportOptions Reports() {
  ReportOptions options;
  options.directory = g_report_directory;
  options.decimal_separator = '.';
  return options;
}

ControlValues RunControls(Shape body) {
  ControlValues controls;
  controls.Text_NP = std::to_string(kPanels);
  controls.Text_AlfaD = "5";  // kAlphaDegrees
  controls.Check_Circulation = 1;
  controls.Option_Circle = body == Shape::kCircle;
  controls.Option_NACA12 = body == Shape::kNaca0012;
  controls.Option_ConstVortex = true;
  controls.Option_PointVortex = false;
  return controls;
}

// A window that draws nowhere and collects its messages.
struct NullWindow {
  std::ostringstream messages;
  BatchWindow window;

  explicit NullWindow(Shape body) : window(RunControls(body), messages) {}
};

// The state as the run has it just before the assembly: sizes, contour, free stream and
// panels. The state is large (two 201 x 201 matrices), so it lives on the heap.
std::unique_ptr<Module_Common> PanelledState(Shape body) {
  auto C = std::make_unique<Module_Common>();
  Form_Load(*C);
  C->NP = kPanels;
  C->NEq = kPanels + 1;
  C->NRhs = kPanels + 2;
  if (body == Shape::kCircle) {
    Geometry_Circle(*C);
  } else {
    Geometry_NACA0012(*C);
  }
  const double alpha = kAlphaDegrees * C->Pi / 180;
  C->CosAlfa = std::cos(alpha);
  C->SinAlfa = std::sin(alpha);
  Panel_ComputeGeometry(*C);
  return C;
}

// The state just after the assembly arithmetic, before the elimination.
std::unique_ptr<Module_Common> AssembledState(Shape body) {
  auto C = PanelledState(body);
  InfluCoeff_Fill(*C, ReadRunInputs(RunControls(body)));
  return C;
}

// The kernel's arguments for every pair of a control point and another panel, in the
// order the assembly visits them: the control point in the other panel's frame.
struct FieldPoint {
  double x, y, x1, x2;
};

std::vector<FieldPoint> AssemblyFieldPoints(const Module_Common& C) {
  std::vector<FieldPoint> points;
  points.reserve(static_cast<std::size_t>(kPanels) * (kPanels - 1));
  for (int i = 1; i <= kPanels; ++i) {
    for (int j = 1; j <= kPanels; ++j) {
      if (j == i) continue;
      FieldPoint point{0, 0, C.Xi(1, j), C.Xi(2, j)};
      InfluCoeff_LocalPoint(C, i, j, point.x, point.y);
      points.push_back(point);
    }
  }
  return points;
}

// The text of "Output_InfCoeffs.txt" for an assembled and solved state, in the layout
// the run writes: both coefficient blocks, then the strengths.
void FormatInfCoeffs(const Module_Common& C, ReportText& out) {
  InfluCoeff_CoefficientText(C, out);
  InfluCoeff_StrengthText(C, /*circulation=*/true, out);
}

// The text of "Output_PressCoeffs.txt".

// The text of "Output_PressCoeffs.txt".
void FormatPressCoeffs(const Module_Common& C, ReportText& out) {
  PressureReportText(C, out);
}

// A state as a completed run leaves it: An as assembled (not reduced), Q, Vt and Cu from
// the solution. The report benchmarks format these values.
std::unique_ptr<Module_Common> SolvedState(Shape body) {
  auto C = std::make_unique<Module_Common>();
  Form_Load(*C);
  NullWindow null_window(body);
  if (Command1_Click(*C, null_window.window.Controls(), null_window.window, Reports()) !=
      RunOutcome::kCompleted)
    return nullptr;
  InfluCoeff_Fill(*C,
                  ReadRunInputs(RunControls(body)));  // back to the coefficients the report shows
  return C;
}

// ---------------------------------------------------------------------------------------
// The kernel, once per call, over the field points of a whole assembly.

void BM_SourcePanelKernel(benchmark::State& state, Shape body) {
  const auto C = PanelledState(body);
  const std::vector<FieldPoint> points = AssemblyFieldPoints(*C);
  for (auto _ : state) {
    for (const FieldPoint& p : points) {
      double u = 0, v = 0;
      InfluCoeff_SourcePanel(*C, p.x, p.y, p.x1, p.x2, u, v);
      benchmark::DoNotOptimize(u);
      benchmark::DoNotOptimize(v);
    }
  }
  const double calls = static_cast<double>(points.size());
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(points.size()));
  // Seconds per kernel call.
  state.counters["per_call"] = benchmark::Counter(
      calls, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// ---------------------------------------------------------------------------------------
// The assembly arithmetic: source columns, vortex column, free stream, Kutta row.

void BM_InfluCoeffFill(benchmark::State& state, Shape body) {
  const auto C = PanelledState(body);
  const RunInputs inputs = ReadRunInputs(RunControls(body));
  for (auto _ : state) {
    InfluCoeff_Fill(*C, inputs);
    benchmark::ClobberMemory();
  }
}

// ---------------------------------------------------------------------------------------
// The elimination. It reduces its matrix in place, so each iteration needs a fresh copy
// of the assembled matrix. The copy (one 201 x 201 matrix, 323 KB) is timed on its own;
// the elimination is copy-and-solve minus copy. The variant with paused timing is a
// cross-check of that difference.

void BM_MatrixCopy(benchmark::State& state, Shape body) {
  const auto C = AssembledState(body);
  auto work = std::make_unique<Matrix>();
  for (auto _ : state) {
    *work = C->An;
    benchmark::DoNotOptimize(work->Row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(sizeof(Matrix)));
}

void BM_CopyAndGaussSolve(benchmark::State& state, Shape body) {
  const auto C = AssembledState(body);
  NullWindow null_window(body);
  auto work = std::make_unique<Matrix>();
  Vector Q;
  for (auto _ : state) {
    *work = C->An;
    if (!Gauss_Solve(C->NEq, *work, Q)) {
      state.SkipWithError("zero pivot");
      break;
    }
    benchmark::DoNotOptimize(Q.data());
    benchmark::ClobberMemory();
  }
}

void BM_GaussSolvePaused(benchmark::State& state, Shape body) {
  const auto C = AssembledState(body);
  NullWindow null_window(body);
  auto work = std::make_unique<Matrix>();
  Vector Q;
  for (auto _ : state) {
    state.PauseTiming();
    *work = C->An;
    benchmark::ClobberMemory();
    state.ResumeTiming();
    if (!Gauss_Solve(C->NEq, *work, Q)) {
      state.SkipWithError("zero pivot");
      break;
    }
    benchmark::DoNotOptimize(Q.data());
    benchmark::ClobberMemory();
  }
}

// ---------------------------------------------------------------------------------------
// The reports. "Output_InfCoeffs.txt" is by far the largest (about 80 000 numbers at
// four decimals): formatted only, and formatted and written to a file. Then all three
// reports as one run writes them; the panel report through the panel procedure itself
// (panel arithmetic and a plot into nowhere included, both small).

void BM_ReportInfCoeffsFormat(benchmark::State& state, Shape body) {
  const auto C = SolvedState(body);
  if (!C) {
    state.SkipWithError("the run did not complete");
    return;
  }
  std::size_t bytes = 0;
  for (auto _ : state) {
    ReportText out('.');
    FormatInfCoeffs(*C, out);
    bytes = out.str().size();
    benchmark::DoNotOptimize(out.str().data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_ReportInfCoeffsWrite(benchmark::State& state, Shape body) {
  const auto C = SolvedState(body);
  if (!C) {
    state.SkipWithError("the run did not complete");
    return;
  }
  const ReportOptions reports = Reports();
  for (auto _ : state) {
    ReportFile file(reports, "Output_InfCoeffs.txt");
    FormatInfCoeffs(*C, file.out());
    file.Close();
  }
}

void BM_ReportsAll(benchmark::State& state, Shape body) {
  const auto C = SolvedState(body);
  if (!C) {
    state.SkipWithError("the run did not complete");
    return;
  }
  NullWindow null_window(body);
  const ReportOptions reports = Reports();
  const RunInputs inputs = ReadRunInputs(RunControls(body));
  for (auto _ : state) {
    Panel_Geometry(*C, *inputs.body, null_window.window, reports);
    {
      ReportFile file(reports, "Output_InfCoeffs.txt");
      FormatInfCoeffs(*C, file.out());
      file.Close();
    }
    ReportFile file(reports, "Output_PressCoeffs.txt");
    FormatPressCoeffs(*C, file.out());
    file.Close();
  }
}

// ---------------------------------------------------------------------------------------
// The coefficient-matrix plot into a picture that draws nowhere: what the run spends on
// it without pictures (the levels of 199 x 199 cells and one call per cell).

void BM_MatrixPlotNull(benchmark::State& state, Shape body) {
  const auto C = AssembledState(body);
  NullPicture picture;
  for (auto _ : state) {
    Show_CoefficientMatrix(picture, C->NEq, C->An);
    benchmark::ClobberMemory();
  }
}

// ---------------------------------------------------------------------------------------
// The assembly procedure as the run calls it (arithmetic, coefficient report, matrix plot
// into nowhere, elimination) and the whole run without pictures, the three reports
// written.

void BM_InfluCoeffAssemble(benchmark::State& state, Shape body) {
  const auto C = PanelledState(body);
  NullWindow null_window(body);
  const ReportOptions reports = Reports();
  const RunInputs inputs = ReadRunInputs(RunControls(body));
  for (auto _ : state) {
    if (!InfluCoeff_Assemble(*C, inputs, null_window.window, reports)) {
      state.SkipWithError("zero pivot");
      break;
    }
  }
}

void BM_WholeRun(benchmark::State& state, Shape body) {
  auto C = std::make_unique<Module_Common>();
  Form_Load(*C);
  NullWindow null_window(body);
  ReportOptions reports = Reports();
  for (auto _ : state) {
    ReportFolder folder(reports.directory);  // held for the run, as by the batch command
    reports.folder = &folder;
    if (Command1_Click(*C, null_window.window.Controls(), null_window.window, reports) !=
        RunOutcome::kCompleted) {
      state.SkipWithError(("the run did not complete: " + null_window.messages.str()).c_str());
      break;
    }
  }
}

// The whole run as a user meets it: now and then, not back to back. Each run is preceded
// by an untimed pause of the given number of milliseconds, so that it finds the previous
// run's reports as the file system has them some time after they were written. Replacing
// those reports (their blocks freed, the new ones allocated) is the part of a run that
// depends most on the disk.
void BM_WholeRunSpaced(benchmark::State& state, Shape body) {
  auto C = std::make_unique<Module_Common>();
  Form_Load(*C);
  NullWindow null_window(body);
  ReportOptions reports = Reports();
  const auto pause = std::chrono::milliseconds(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    std::this_thread::sleep_for(pause);
    state.ResumeTiming();
    ReportFolder folder(reports.directory);
    reports.folder = &folder;
    if (Command1_Click(*C, null_window.window.Controls(), null_window.window, reports) !=
        RunOutcome::kCompleted) {
      state.SkipWithError(("the run did not complete: " + null_window.messages.str()).c_str());
      break;
    }
  }
}

double Minimum(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

using BodyBenchmark = void (*)(benchmark::State&, Shape);

// Registers `function` for both bodies as "<name>/circle" and "<name>/naca0012". With
// --benchmark_repetitions the aggregates include the minimum, the figure least disturbed
// by other work on the machine.
std::vector<benchmark::internal::Benchmark*> Register(const char* name, BodyBenchmark function) {
  const struct {
    const char* suffix;
    Shape body;
  } bodies[] = {{"/circle", Shape::kCircle}, {"/naca0012", Shape::kNaca0012}};
  std::vector<benchmark::internal::Benchmark*> registered;
  for (const auto& b : bodies) {
    registered.push_back(
        benchmark::RegisterBenchmark((std::string(name) + b.suffix).c_str(), function, b.body)
            ->Unit(benchmark::kMicrosecond)
            ->ComputeStatistics("min", Minimum));
  }
  return registered;
}

void RegisterAll() {
  Register("BM_SourcePanelKernel", BM_SourcePanelKernel);
  Register("BM_InfluCoeffFill", BM_InfluCoeffFill);
  Register("BM_MatrixCopy", BM_MatrixCopy);
  Register("BM_CopyAndGaussSolve", BM_CopyAndGaussSolve);
  Register("BM_GaussSolvePaused", BM_GaussSolvePaused);
  Register("BM_ReportInfCoeffsFormat", BM_ReportInfCoeffsFormat);
  Register("BM_ReportInfCoeffsWrite", BM_ReportInfCoeffsWrite);
  Register("BM_ReportsAll", BM_ReportsAll);
  Register("BM_MatrixPlotNull", BM_MatrixPlotNull);
  Register("BM_InfluCoeffAssemble", BM_InfluCoeffAssemble);
  Register("BM_WholeRun", BM_WholeRun);
  // Pauses of 100 ms: 20 runs take 2 s whatever their own time, so the number of runs
  // and of repetitions is fixed here.
  for (benchmark::internal::Benchmark* b : Register("BM_WholeRunSpaced", BM_WholeRunSpaced)) {
    b->Arg(100)->Iterations(20)->Repetitions(3);
  }
}

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  std::string pattern = (std::filesystem::temp_directory_path() / "velquin-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("velquin_bench: cannot create a temporary directory");
    return 1;
  }
  velquin::g_report_directory = pattern;

  velquin::RegisterAll();
  benchmark::Initialize(&argc, argv);
  int status = 0;
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    status = 1;
  } else {
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  }
  std::error_code ignored;
  std::filesystem::remove_all(velquin::g_report_directory, ignored);
  return status;
}
