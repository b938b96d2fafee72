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
//    Arg 2: NACA 2412 with the boundary layers on (Re 1e6, Ncrit 9): the frame adds one
//    viscous analysis with its interaction passes on the geometry's factored matrix, the
//    band and marks, and the boundary-layer and drag-polar views painted too (the
//    background polar is left to finish first, so that it does not share the cores); the
//    angle sweeps -4 to 8 degrees.
//  - BM_ExplorerFrameLayers/N/G/L: the slotted flap of N panels in all, with G = 1 a
//    ground 0.5 below (every frame a new geometry, the panels turning with the angle,
//    whose layers are factored afresh on the second thread), with L = 1 the boundary
//    layers on (Re 1e6, Ncrit 9), the angle sweeping -4 to 8 degrees either way.
//  - BM_ExplorerLayersFactoring/N: what the first Reynolds number costs a general
//    problem of N panels (on the layers' thread): the two base solutions and the
//    response to the transpiration on the geometry's LU factors.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QThread>
#include <chrono>
#include <memory>

#include "bench/slotted_flap.h"
#include "geometry/body_names.h"
#include "gui/explorer/boundary_layer_view.h"
#include "gui/explorer/drag_polar_view.h"
#include "gui/explorer/explorer_charts.h"
#include "gui/explorer/flow_view.h"
#include "gui/explorer/form_explorer.h"
#include "gui/explorer/numbers_view.h"

namespace velquin {
namespace {

constexpr int kPanels = 198;
constexpr int kViscous = 2;

RunInputs Inputs(bool circle, bool viscous = false) {
  RunInputs inputs;
  std::string ignored;
  inputs.body = circle    ? CircleBody()
                : viscous ? BodyFromName("naca2412", ignored)
                          : Naca0012Body();
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

// The frames of an explorer shown, the angle moving as the arrow keys move it: over the
// whole slider, or (narrow) over the range of the drag polar worth reading.
void RunFrames(benchmark::State& state, Form_Explorer& explorer, bool viscous, bool narrow);

void BM_ExplorerFrame(benchmark::State& state) {
  const int arg = static_cast<int>(state.range(0));
  const bool viscous = arg == kViscous;
  Form_Explorer explorer(Inputs(arg == 1, viscous));
  if (arg > kViscous) explorer.ShowProblemInputs(SlottedFlapInputs(arg));
  RunFrames(state, explorer, viscous, viscous);
  state.SetLabel(arg > kViscous ? "slotted flap"
                 : viscous      ? "naca2412 Re 1e6"
                 : arg == 1     ? "circle"
                                : "naca0012");
}

void BM_ExplorerFrameLayers(benchmark::State& state) {
  ProblemInputs inputs = SlottedFlapInputs(static_cast<int>(state.range(0)));
  if (state.range(1) == 1) inputs.ground_height = 0.5;
  const bool layers = state.range(2) == 1;
  Form_Explorer explorer(Inputs(false, true));
  explorer.ShowProblemInputs(inputs);
  RunFrames(state, explorer, layers, true);
  state.SetLabel(std::string("slotted flap") + (state.range(1) == 1 ? ", ground" : "") +
                 (layers ? ", Re 1e6" : ", inviscid"));
}

void BM_ExplorerLayersFactoring(benchmark::State& state) {
  const std::unique_ptr<ExplorerGeometry> geometry =
      MakeExplorerGeometry(SlottedFlapInputs(static_cast<int>(state.range(0))), 4.0);
  for (auto _ : state) {
    const LazyFactoredProblem factored(geometry->system, 4.0);
    benchmark::DoNotOptimize(factored.Get()->speed_x.data());
  }
  state.SetLabel("slotted flap");
}

void RunFrames(benchmark::State& state, Form_Explorer& explorer, bool viscous, bool narrow) {
  explorer.resize(1500, 950);
  explorer.show();
  if (viscous) {
    explorer.SetFlowConditions({1e6, 9});
    while (explorer.dragPolarView()->Running()) {
      QApplication::processEvents();
      QThread::msleep(5);
    }
  }
  QApplication::processEvents();
  QImage flow, pressure, polar, numbers, layers, drag;
  int converged = 0, with_layers = 0, frames = 0;
  double compute_ms = 0, paint_ms = 0;
  // The whole slider; with the boundary layers the range of the drag polar worth reading,
  // -4 to 8 degrees (beyond it the interaction runs all its passes and only flags stall).
  const int low = narrow ? -40 : -200, high = narrow ? 80 : 200;
  int tenths = 0, step = 1;
  std::size_t streamlines = 0;
  for (auto _ : state) {
    if (tenths + step > high || tenths + step < low) step = -step;
    tenths += step;
    const auto start = std::chrono::steady_clock::now();
    explorer.SetAngle(tenths / 10.0);
    const auto computed = std::chrono::steady_clock::now();
    Paint(*explorer.flowView(), flow);
    Paint(*explorer.pressureChart(), pressure);
    Paint(*explorer.polarChart(), polar);
    Paint(*explorer.numbersView(), numbers);
    if (viscous) {
      Paint(*explorer.boundaryLayerView(), layers);
      Paint(*explorer.dragPolarView(), drag);
      converged += explorer.frame().viscous && explorer.frame().viscous->result.converged;
      with_layers += explorer.frame().viscous.has_value();
    }
    ++frames;
    streamlines = explorer.frame().streamlines.size();
    const auto painted = std::chrono::steady_clock::now();
    compute_ms += std::chrono::duration<double, std::milli>(computed - start).count();
    paint_ms += std::chrono::duration<double, std::milli>(painted - computed).count();
  }
  // The frame's two halves, wall time: the computation with the views brought up to
  // date, and the painting.
  state.counters["compute_ms"] = compute_ms / frames;
  state.counters["paint_ms"] = paint_ms / frames;
  if (viscous) {
    // The frames whose layers were ready when they were shown, and converged.
    state.counters["layers_share"] = static_cast<double>(with_layers) / frames;
    state.counters["converged_share"] = static_cast<double>(converged) / frames;
  }
  state.counters["streamlines"] = static_cast<double>(streamlines);
  state.counters["grid_nodes"] = kFlowGridNx * kFlowGridNy;
}

BENCHMARK(BM_ExplorerGeometry)->Arg(0)->Arg(1)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplorerFrame)
    ->Arg(0)
    ->Arg(1)
    ->Arg(kViscous)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplorerFrameLayers)
    ->Args({200, 0, 0})
    ->Args({200, 0, 1})
    ->Args({1000, 0, 1})
    ->Args({200, 1, 0})
    ->Args({200, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplorerLayersFactoring)->Arg(200)->Arg(600)->Arg(1000)->Unit(benchmark::kMillisecond);

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
