// Timings of the flow explorer at 198 panels with the constant vortex distribution, on
// the NACA 0012 section and on the circle, on the default grid (kFlowGridNx x
// kFlowGridNy nodes) with the default number of streamlines.
//
//  - BM_ExplorerGeometry: a change of body or panel count: panels, assembly, one
//    elimination for both base solutions, both base fields on the grid, the polar.
//  - BM_ExplorerFrame: a change of angle to a fully repainted window: the frame
//    (strengths, surface pressure, the field's combination, the streamlines, stagnation
//    points, numbers), the views brought up to date, and each of the four views
//    (flow, pressure, polar, numbers) painted into an offscreen image of its size in the
//    window of 1500 x 950 pixels. The angle moves by 0.1 degrees a frame, as the arrow
//    keys move it, back and forth across the slider's range.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <array>
#include <chrono>
#include <memory>

#include "bench/slotted_flap.h"
#include "geometry/body_names.h"
#include "gui/explorer/explorer_charts.h"
#include "gui/explorer/flow_view.h"
#include "gui/explorer/form_explorer.h"
#include "gui/explorer/numbers_view.h"

namespace velquin {
namespace {

constexpr int kPanels = 198;

RunInputs Inputs(bool circle) {
  RunInputs inputs;
  inputs.body = circle ? CircleBody() : Naca0012Body();
  inputs.NP = kPanels;
  inputs.circulation = true;
  inputs.vortex = VortexModel::kConstantDistribution;
  return inputs;
}

// Arg 0 and 1: the seed's NACA 0012 and circle at 198 panels; larger: the slotted flap
// with that many panels in all.
void BM_ExplorerGeometry(benchmark::State& state) {
  const int arg = static_cast<int>(state.range(0));
  const RunInputs inputs = Inputs(arg == 1);
  for (auto _ : state) {
    std::unique_ptr<ExplorerGeometry> geometry =
        arg > 1 ? MakeExplorerGeometry(SlottedFlapInputs(arg), 4.0) : MakeExplorerGeometry(inputs);
    benchmark::DoNotOptimize(geometry->grid.u0.data());
  }
  state.SetLabel(arg > 1 ? "slotted flap" : arg == 1 ? "circle" : "naca0012");
}

void Paint(QWidget& view, QImage& image) {
  if (image.size() != view.size()) image = QImage(view.size(), QImage::Format_RGB32);
  QPainter painter(&image);
  view.render(&painter);
}

void BM_ExplorerFrame(benchmark::State& state) {
  const int arg = static_cast<int>(state.range(0));
  Form_Explorer explorer(Inputs(arg == 1));
  if (arg > 1) explorer.ShowProblemInputs(SlottedFlapInputs(arg));
  explorer.resize(1500, 950);
  explorer.show();
  QApplication::processEvents();
  QImage flow, pressure, polar, numbers;
  int tenths = 0, step = 1;
  std::size_t streamlines = 0;
  // Milliseconds per frame of each part, as counters beside the whole.
  std::array<double, 5> part_seconds{};
  const auto timed = [&part_seconds](std::size_t part, const auto& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    part_seconds[part] +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  for (auto _ : state) {
    if (tenths + step > 200 || tenths + step < -200) step = -step;
    tenths += step;
    timed(0, [&] { explorer.SetAngle(tenths / 10.0); });
    timed(1, [&] { Paint(*explorer.flowView(), flow); });
    timed(2, [&] { Paint(*explorer.pressureChart(), pressure); });
    timed(3, [&] { Paint(*explorer.polarChart(), polar); });
    timed(4, [&] { Paint(*explorer.numbersView(), numbers); });
    streamlines = explorer.frame().streamlines.size();
  }
  const char* part_names[] = {"angle_ms", "flow_ms", "cp_ms", "polar_ms", "numbers_ms"};
  for (std::size_t k = 0; k < part_seconds.size(); ++k) {
    state.counters[part_names[k]] = 1e3 * part_seconds[k] / static_cast<double>(state.iterations());
  }
  state.counters["streamlines"] = static_cast<double>(streamlines);
  state.counters["grid_nodes"] = kFlowGridNx * kFlowGridNy;
  state.SetLabel(arg > 1 ? "slotted flap" : arg == 1 ? "circle" : "naca0012");
}

BENCHMARK(BM_ExplorerGeometry)->Arg(0)->Arg(1)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplorerFrame)->Arg(0)->Arg(1)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
