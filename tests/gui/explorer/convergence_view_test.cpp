// The explorer's convergence view and the exact numbers beside the computed ones: the
// background run gives the bench's own numbers, cancelling or leaving the case stops it
// soon and safely, and the exact Cl and Cm shown are the closed forms.
#include "gui/explorer/convergence_view.h"

#include <gtest/gtest.h>

#include <QChart>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cmath>
#include <memory>

#include "geometry/body_names.h"
#include "gui/explorer/explorer_text.h"
#include "gui/explorer/numbers_view.h"
#include "support/window_driver.h"

namespace velquin {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Shown {
  std::unique_ptr<ExplorerGeometry> geometry;
  ExplorerFrame frame;
  ExplorerScene scene;
};

std::unique_ptr<Shown> Show(const std::string& body_name, VortexModel vortex, double alpha = 4) {
  std::string error;
  RunInputs inputs;
  inputs.body = BodyFromName(body_name, error);
  EXPECT_TRUE(inputs.body) << error;
  inputs.NP = 40;
  inputs.vortex = vortex;
  inputs.circulation = vortex != VortexModel::kNone;
  auto shown = std::make_unique<Shown>();
  shown->geometry = MakeExplorerGeometry(inputs);
  ComputeExplorerFrame(*shown->geometry, alpha, shown->frame);
  shown->scene.geometry = shown->geometry.get();
  shown->scene.frame = &shown->frame;
  return shown;
}

// Lets the window's thread take what the run hands over until the run ends; false when
// it has not ended within `ms`.
bool WaitUntilDone(const ConvergenceView& view, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (view.Running() && timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return !view.Running();
}

TEST(ConvergenceView, RunsTheBenchCaseOfTheBodyFamilyInTheBackground) {
  const struct {
    const char* body;
    VortexModel vortex;
    const char* case_name;  // empty: none
  } cases[] = {
      {"circle", VortexModel::kPointVortex, "circle-vortex"},
      {"ellipse:0.2", VortexModel::kConstantDistribution, "ellipse-kutta"},
      {"ellipse:0.2", VortexModel::kNone, "ellipse-plain"},
      {"karman-trefftz:-0.2:0.05:5", VortexModel::kConstantDistribution, "karman-trefftz"},
      {"joukowski:-0.1:0.1", VortexModel::kConstantDistribution, "joukowski"},
      {"naca0012", VortexModel::kConstantDistribution, ""},
  };
  const std::vector<int> counts = {16, 32, 64};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    const auto shown = Show(c.body, c.vortex);
    ConvergenceView view;
    view.SetCounts(counts);
    view.SetGeometry(shown->scene);
    if (*c.case_name == '\0') {
      EXPECT_EQ(view.Case(), nullptr);
      view.Start();
      EXPECT_FALSE(view.Running());
      continue;
    }
    ASSERT_NE(view.Case(), nullptr);
    EXPECT_EQ(view.Case()->name, c.case_name);
    view.Start();
    ASSERT_TRUE(WaitUntilDone(view, 30000));
    ASSERT_NE(view.Result(), nullptr);
    // The same bits as the bench called directly on this thread.
    const ConvergenceCaseResult direct = RunConvergenceCase(*view.Case(), counts);
    ASSERT_EQ(view.Result()->rows.size(), direct.rows.size());
    EXPECT_FALSE(view.Result()->cancelled);
    for (std::size_t k = 0; k < direct.rows.size(); ++k) {
      EXPECT_EQ(view.Result()->rows[k].quantity, direct.rows[k].quantity);
      EXPECT_EQ(view.Result()->rows[k].panels, direct.rows[k].panels);
      EXPECT_EQ(view.Result()->rows[k].error, direct.rows[k].error);
      EXPECT_EQ(view.Result()->rows[k].computed, direct.rows[k].computed);
    }
    // One line per quantity on the chart, with its marks.
    EXPECT_EQ(view.Chart()->series().size(), 2 * static_cast<int>(view.Case()->quantities.size()));
  }
}

TEST(ConvergenceView, CancellingOrLeavingTheCaseStopsTheRunSoon) {
  // Many large counts, so that the run would take far longer than a cancelled one may.
  const std::vector<int> counts(100, 1024);
  const auto ellipse = Show("ellipse:0.2", VortexModel::kConstantDistribution);
  const auto circle = Show("circle", VortexModel::kPointVortex);
  {
    ConvergenceView view;
    view.SetCounts(counts);
    view.SetGeometry(ellipse->scene);
    view.Start();
    QElapsedTimer timer;
    timer.start();
    while (view.Result() == nullptr && view.Running() && timer.elapsed() < 200) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    view.Cancel();
    timer.restart();
    ASSERT_TRUE(WaitUntilDone(view, 5000));
    EXPECT_LT(timer.elapsed(), 3000);
    ASSERT_NE(view.Result(), nullptr);
    EXPECT_TRUE(view.Result()->cancelled);
    EXPECT_LT(view.Result()->rows.size(), counts.size() * view.Case()->quantities.size());
    EXPECT_TRUE(view.Message().contains(QStringLiteral("Cancelled")));
  }
  {
    // The body changes while it runs: the old run is dropped, the new case is free to run.
    ConvergenceView view;
    view.SetCounts(counts);
    view.SetGeometry(ellipse->scene);
    view.Start();
    view.SetGeometry(circle->scene);
    EXPECT_FALSE(view.Running());
    EXPECT_EQ(view.Case()->name, "circle-vortex");
    view.SetCounts({16, 32});
    view.Start();
    ASSERT_TRUE(WaitUntilDone(view, 10000));
    ASSERT_NE(view.Result(), nullptr);
    EXPECT_EQ(view.Result()->name, "circle-vortex");
    // Back on the ellipse: the abandoned run left nothing behind.
    view.SetGeometry(ellipse->scene);
    for (int k = 0; k < 20; ++k) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(view.Result(), nullptr);
    // And the view goes away while a run is under way.
    view.Start();
  }
}

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  return velquin::test_support::RunWindowTests(argc, argv);
}
