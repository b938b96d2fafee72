// The explorer with the boundary layers on, driven as a user would: a Reynolds number
// typed, the angle moved, every viscous view given finite data and the marks; a refused
// number named; every element of the general problem with its layers, the box off where
// they cannot start; the conditions kept in a session.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "geometry/body_names.h"
#include "gui/explorer/boundary_layer_view.h"
#include "gui/explorer/checked_spin_box.h"
#include "gui/explorer/drag_polar_view.h"
#include "gui/explorer/elements_box.h"
#include "gui/explorer/explorer_charts.h"
#include "gui/explorer/form_explorer.h"
#include "gui/explorer/numbers_view.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

namespace velquin {
namespace {

RunInputs Naca2412() {
  std::string error;
  RunInputs inputs;
  inputs.body = BodyFromName("naca2412", error);
  inputs.NP = 120;
  inputs.circulation = true;
  inputs.vortex = VortexModel::kConstantDistribution;
  return inputs;
}

void Type(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, text);
  QTest::keyClick(box, Qt::Key_Return);
}

TEST(ExplorerViscous, BoundaryLayersFollowTheAngle) {
  Form_Explorer explorer(Naca2412());
  explorer.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&explorer));
  EXPECT_FALSE(explorer.frame().viscous);  // inviscid by default
  EXPECT_FALSE(explorer.boundaryLayerView()->isVisibleTo(&explorer));

  Type(explorer.reynoldsBox(), QStringLiteral("1e6x"));
  EXPECT_TRUE(explorer.Problem().startsWith(QStringLiteral("The Reynolds number \"1e6x\"")));
  EXPECT_FALSE(explorer.frame().viscous);
  Type(explorer.reynoldsBox(), QStringLiteral("1e6"));
  EXPECT_EQ(explorer.Problem(), "");
  ASSERT_TRUE(explorer.frame().viscous);
  EXPECT_TRUE(explorer.boundaryLayerView()->isVisibleTo(&explorer));

  for (int step = 0; step < 4; ++step) {
    QTest::keyClick(explorer.angleSlider(), Qt::Key_PageUp);  // 1 degree a step
    const ExplorerFrame& f = explorer.frame();
    // With the frame, or soon after it on a busy machine.
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.viscous.has_value(); }, 10000));
    EXPECT_EQ(f.viscous->result.top.stations.empty(), false);
    EXPECT_DOUBLE_EQ(f.alpha_degrees, step + 1.0);
    BoundaryLayerView& layers = *explorer.boundaryLayerView();
    EXPECT_TRUE(layers.AllFinite());
    for (int q = 0; q < BoundaryLayerView::kQuantities; ++q) {
      const auto quantity = static_cast<BoundaryLayerView::Quantity>(q);
      EXPECT_EQ(layers.PointCount(quantity, true),
                static_cast<int>(f.viscous->result.top.stations.size()));
      EXPECT_GT(layers.PointCount(quantity, false), 10);
    }
    // Transition on the viscous Cp of every side that turns turbulent before the
    // trailing edge; the numbers say where.
    const int turbulent = (f.viscous->result.top.transition_index >= 0) +
                          (f.viscous->result.bottom.transition_index >= 0);
    EXPECT_GE(turbulent, 1);
    EXPECT_EQ(explorer.pressureChart()->TransitionMarks().size(), turbulent);
    for (const QPointF& p : explorer.pressureChart()->TransitionMarks()) {
      EXPECT_TRUE(std::isfinite(p.y()) && p.x() > 0 && p.x() < 1);
    }
    const QString xtr = explorer.numbersView()->Value(QStringLiteral("xtr top"));
    EXPECT_NEAR(xtr.toDouble(), f.viscous->result.xtr_top, 1e-4);
    EXPECT_EQ(explorer.dragPolarView()->Marker(),
              QPointF(f.viscous->result.cd, f.viscous->result.cl_viscous));
  }
  EXPECT_FALSE(explorer.numbersView()->Value(QStringLiteral("Cd")).isEmpty());

  // Beyond stall an angle may take longer than a frame: moved on at once, the window
  // ends with the layers of the angle it shows, never those of one it passed.
  explorer.SetAngle(15);
  explorer.SetAngle(16.5);
  ASSERT_TRUE(QTest::qWaitFor([&] { return explorer.frame().viscous.has_value(); }, 20000));
  QTest::qWait(50);
  const std::optional<ExplorerViscousFrame> own =
      ComputeExplorerViscous(*explorer.geometry(), 16.5, explorer.ViscousOptionsShown());
  ASSERT_TRUE(own);
  EXPECT_EQ(explorer.frame().viscous->result.cd, own->result.cd);
  explorer.SetAngle(4);
  ASSERT_TRUE(QTest::qWaitFor([&] { return explorer.frame().viscous.has_value(); }, 20000));

  // The polar in the background: finite and with its converged points, over the
  // explorer's angles, the slider free meanwhile.
  DragPolarView& polar = *explorer.dragPolarView();
  QTest::keyClick(explorer.angleSlider(), Qt::Key_Left);
  EXPECT_DOUBLE_EQ(explorer.Angle(), 3.9);
  for (int k = 0; k < 6000 && polar.Running(); ++k) QTest::qWait(10);
  ASSERT_FALSE(polar.Running());
  ASSERT_EQ(polar.Polar().size(), explorer.geometry()->polar.size());
  int converged = 0;
  for (const ViscousPolarPoint& p : polar.Polar()) {
    EXPECT_TRUE(std::isfinite(p.cd) && std::isfinite(p.cl_viscous));
    converged += p.converged;
  }
  EXPECT_GT(converged, 10);
  EXPECT_NE(polar.DataCsv().find("alpha,cl_viscous,cd,cl_cd,converged\n"), std::string::npos);

  // Kept in a session and read back.
  test_support::TempDir dir;
  const QString path = QString::fromStdString(dir.path() + "/s.ini");
  std::string error;
  ASSERT_TRUE(explorer.SaveSession(path, error)) << error;
  Form_Explorer other(Naca2412());
  ASSERT_TRUE(other.OpenSession(path, error)) << error;
  EXPECT_EQ(other.FlowConditions().reynolds, std::optional<double>(1e6));
  EXPECT_EQ(other.reynoldsBox()->text(), QStringLiteral("1e+06"));
  EXPECT_TRUE(other.frame().viscous);
}

// The general problem has the layers of every element, as a single section has its
// own; above a ground the drag polar is computed once for all the angles' geometries.
// The box is off, with the reason as its tip, where the layers cannot start.
TEST(ExplorerViscous, TheBoundaryLayersOfEveryElement) {
  const auto two = [](bool circulation, const char* second, std::optional<double> ground) {
    std::string error;
    ProblemInputs inputs;
    inputs.elements.resize(2);
    inputs.elements[0].body = Naca2412().body;
    inputs.elements[1].body = BodyFromName(second, error);
    inputs.elements[1].placement = Placement{1.05, -0.08, 10, 0.3};
    inputs.panels = 80;
    inputs.vortex = circulation ? VortexModel::kConstantDistribution : VortexModel::kNone;
    inputs.ground_height = ground;
    return inputs;
  };
  const struct {
    ProblemInputs inputs;
    const char* off;  // a word of the tip when the box is off
  } cases[] = {
      {two(true, "naca0012", std::nullopt), nullptr},
      {two(true, "naca0012", 0.5), nullptr},
      {two(false, "naca0012", std::nullopt), "Circulation"},
      {two(true, "circle", std::nullopt), "circle"},
  };
  Form_Explorer explorer(Naca2412());
  explorer.SetFlowConditions({1e6, 9});
  explorer.SetAngle(4);
  DragPolarView& polar = *explorer.dragPolarView();
  for (const auto& c : cases) {
    explorer.ShowProblemInputs(c.inputs);
    const QString label = QString::fromStdString(explorer.geometry()->label);
    EXPECT_EQ(explorer.reynoldsBox()->isEnabled(), c.off == nullptr) << label.toStdString();
    if (c.off) {
      EXPECT_TRUE(explorer.reynoldsBox()->toolTip().contains(QString::fromLatin1(c.off)));
      EXPECT_FALSE(explorer.frame().viscous);
      EXPECT_FALSE(explorer.boundaryLayerView()->isVisibleTo(&explorer));
      continue;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return explorer.frame().viscous.has_value(); }, 20000));
    const ExplorerViscousFrame& v = *explorer.frame().viscous;
    ASSERT_EQ(v.elements.size(), 2u);
    EXPECT_TRUE(explorer.boundaryLayerView()->isVisibleTo(&explorer));
    // The second element's layers on choosing it; its numbers and marks shown.
    QComboBox* element = explorer.boundaryLayerView()->elementBox();
    EXPECT_TRUE(element->isVisibleTo(&explorer));
    element->setCurrentIndex(1);
    EXPECT_EQ(explorer.boundaryLayerView()->PointCount(BoundaryLayerView::kShape, true),
              static_cast<int>(v.elements[1].upper.x.size()));
    EXPECT_TRUE(explorer.boundaryLayerView()->AllFinite());
    EXPECT_FALSE(explorer.numbersView()->Value(QStringLiteral("Cl / Cd element 2")).isEmpty());
    const auto transitions = std::count_if(
        v.marks.begin(), v.marks.end(), [](const ExplorerLayerMark& m) { return !m.separation; });
    EXPECT_EQ(explorer.pressureChart()->TransitionMarks().size(), transitions);
    EXPECT_TRUE(std::any_of(v.marks.begin(), v.marks.end(),
                            [](const ExplorerLayerMark& m) { return m.element == 1; }));
    // The drag polar in the background; above a ground a new angle (a new geometry) does
    // not start it again.
    for (int k = 0; k < 12000 && polar.Running(); ++k) QTest::qWait(10);
    ASSERT_FALSE(polar.Running());
    EXPECT_GT(polar.Polar().size(), 20u) << label.toStdString();
    if (c.inputs.ground_height) {
      explorer.SetAngle(5);
      EXPECT_FALSE(polar.Running());
      ASSERT_TRUE(QTest::qWaitFor([&] { return explorer.frame().viscous.has_value(); }, 20000));
      EXPECT_DOUBLE_EQ(explorer.geometry()->built_alpha_degrees, 5);
    }
  }
}

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  return velquin::test_support::RunWindowTests(argc, argv);
}
