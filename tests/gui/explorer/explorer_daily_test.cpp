// The explorer as a daily tool, driven as a user would: numbers typed into the boxes,
// the window on the screen, axes fitted to the data, a comparison and files laid over,
// sessions saved and opened, the guide and the shortcuts, the exports naming their inputs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCategoryAxis>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>

#include "geometry/body_names.h"
#include "geometry/element_layout.h"
#include "gui/explorer/explorer_charts.h"
#include "gui/explorer/explorer_text.h"
#include "gui/explorer/flow_view.h"
#include "gui/explorer/form_explorer.h"
#include "gui/explorer/numbers_view.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

namespace velquin {
namespace {

using test_support::ReadFile;
using test_support::TempDir;

const QString kXfoilPolar =
    QStringLiteral(VELQUIN_SOURCE_DIR "/tests/data/xfoil/naca2412_polar.txt");

BodyPtr BodyFromNameOrDie(const std::string& name) {
  std::string error;
  BodyPtr body = BodyFromName(name, error);
  EXPECT_TRUE(body) << error;
  return body;
}

RunInputs Section(BodyPtr body, int NP) {
  RunInputs inputs;
  inputs.body = std::move(body);
  inputs.NP = NP;
  inputs.circulation = true;
  inputs.vortex = VortexModel::kConstantDistribution;
  return inputs;
}

// Types the text into a box, key by key, and presses Return.
void Type(QAbstractSpinBox* box, const QString& text) {
  box->setFocus();
  QLineEdit* edit = box->findChild<QLineEdit*>();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

// Every box takes numbers as the command line does and says what it refuses, showing
// the value in use afterwards; a refusal is over once the box gives a value again.
TEST(ExplorerDaily, TypedNumbersAreTakenWhenCompleteAndOutOfRangeIsSaid) {
  Form_Explorer explorer(Section(Naca0012Body(), 60));
  explorer.show();
  auto* alpha = explorer.findChild<QDoubleSpinBox*>("Spin_Alpha");
  auto* panels = explorer.findChild<QSpinBox*>("Spin_NP");
  auto* ncrit = explorer.findChild<QDoubleSpinBox*>("Spin_Ncrit");
  auto* element_x = explorer.findChild<QDoubleSpinBox*>("Spin_ElementX");
  const struct {
    QAbstractSpinBox* box;
    const char* typed;
    double angle;         // the angle afterwards
    int NP;               // the panel count afterwards, in use and in its box
    const char* problem;  // a piece of the message, empty: none
  } cases[] = {
      {alpha, "7.3", 7.3, 60, ""},
      {alpha, "-3.5", -3.5, 60, ""},
      {alpha, "25", -3.5, 60,
       "The angle of attack 25 lies outside the range \u221220 to 20; it stays at "
       "\u22123.5\u00B0."},
      {alpha, "-20", -20, 60, ""},
      {panels, "500", -20, 60,
       "The panel count 500 lies outside the range 3 to 198; it stays at 60."},
      {panels, "124", -20, 124, ""},
      {panels, "61", -20, 124, "even number of panels"},
      {panels, "199", -20, 124, "it stays at 124."},
      {alpha, "12.25", 12.25, 124, ""},
      {alpha, "1e1", 10, 124, ""},
      {ncrit, "0.0001", 10, 124, "Ncrit 0.0001 lies outside the range 0.01 to 30; it stays at 9."},
      {ncrit, "-1", 10, 124, "Ncrit \u22121 lies outside"},
      {ncrit, "14", 10, 124, ""},
      {element_x, "1e9", 10, 124, "The element's x 1000000000 lies outside the range \u22125 to 5"},
  };
  for (const auto& c : cases) {
    Type(c.box, QString::fromUtf8(c.typed));
    EXPECT_DOUBLE_EQ(explorer.Angle(), c.angle) << c.typed;
    EXPECT_DOUBLE_EQ(explorer.frame().alpha_degrees, c.angle) << c.typed;
    EXPECT_EQ(explorer.geometry()->inputs.NP, c.NP) << c.typed;
    EXPECT_EQ(panels->value(), c.NP) << c.typed;
    const QString problem = QString::fromUtf8(c.problem);
    EXPECT_TRUE(problem.isEmpty() ? explorer.Problem().isEmpty()
                                  : explorer.Problem().contains(problem))
        << c.typed << ": " << explorer.Problem().toStdString();
  }
  EXPECT_DOUBLE_EQ(ncrit->value(), 14);
  EXPECT_DOUBLE_EQ(element_x->value(), 0);
  // The arrows step past the counts the section refuses.
  panels->setFocus();
  QTest::keyClick(panels, Qt::Key_Up);
  EXPECT_EQ(explorer.geometry()->inputs.NP, 126);
  // Keystrokes alone change nothing until the text is complete.
  alpha->setFocus();
  alpha->findChild<QLineEdit*>()->selectAll();
  QTest::keyClicks(alpha->findChild<QLineEdit*>(), QStringLiteral("1"));
  EXPECT_DOUBLE_EQ(explorer.Angle(), 10);
}

// An angle beyond the explorer's range from the command line is named, not cut silently.
TEST(ExplorerDaily, AnAngleBeyondTheRangeIsNamedAtTheStart) {
  RunInputs inputs = Section(Naca0012Body(), 40);
  inputs.alpha_degrees = 30;
  Form_Explorer explorer(inputs);
  EXPECT_DOUBLE_EQ(explorer.Angle(), 20);
  EXPECT_EQ(explorer.Problem(),
            QStringLiteral("The angle of attack 30\u00B0 lies outside the explorer's "
                           "range, \u221220\u00B0 to 20\u00B0: shown at 20\u00B0."));
}

TEST(ExplorerDaily, OpensInsideTheScreen) {
  const struct {
    QRect available;
    QRect window;
  } cases[] = {
      {QRect(0, 0, 1920, 1050), QRect(210, 50, 1500, 950)},  // the preferred size fits
      {QRect(0, 0, 1280, 800), QRect(26, 32, 1228, 736)},    // less a frame's margin
      {QRect(0, 30, 1280, 770), QRect(26, 61, 1228, 708)},   // a panel above
      {QRect(0, 0, 1024, 700), QRect(0, 0, 1024, 700)},      // the least it is laid out for
      {QRect(100, 0, 800, 600), QRect(100, 0, 800, 600)},    // a smaller screen: all of it
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExplorerWindowRect(c.available), c.window) << c.available.width();
    EXPECT_TRUE(c.available.contains(ExplorerWindowRect(c.available)));
  }
}

TEST(ExplorerDaily, LaysOutAt1024By700) {
  Form_Explorer explorer(Section(Naca0012Body(), 40));
  explorer.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&explorer));
  EXPECT_LE(explorer.minimumWidth(), 1024);
  EXPECT_LE(explorer.minimumHeight(), 700);
  explorer.resize(1024, 700);
  QApplication::processEvents();
  EXPECT_EQ(explorer.size(), QSize(1024, 700));
  for (ExplorerView* view : explorer.views()) {
    if (view->ExportName() == QStringLiteral("Numbers")) continue;  // in the scrolled panel
    EXPECT_GE(view->Widget()->height(), 150) << view->ExportName().toStdString();
    // Three charts share the row: the convergence view, a chart one runs now and then,
    // yields room to the two that follow the angle.
    const int least_width = view->ExportName() == QStringLiteral("Convergence") ? 160 : 250;
    EXPECT_GE(view->Widget()->width(), least_width) << view->ExportName().toStdString();
  }
  // The ticks of every axis across a chart fit its width, so none is elided to "...".
  QTest::qWait(50);  // the charts fit their axes once laid out
  for (QChartView* chart : explorer.findChildren<QChartView*>()) {
    if (!chart->isVisible()) continue;  // the boundary layers' row while inviscid
    for (QAbstractAxis* abstract : chart->chart()->axes(Qt::Horizontal)) {
      auto* axis = qobject_cast<QCategoryAxis*>(abstract);
      if (axis == nullptr || axis->categoriesLabels().isEmpty()) continue;
      const QFontMetrics metrics(axis->labelsFont());
      int widest = 0;
      for (const QString& label : axis->categoriesLabels()) {
        widest = std::max(widest, metrics.horizontalAdvance(label));
      }
      const int count = static_cast<int>(axis->categoriesLabels().size());
      EXPECT_LE((count - 1) * (widest + 4), chart->chart()->plotArea().width())
          << chart->objectName().toStdString() << " " << axis->titleText().toStdString();
    }
  }
}

// Labels of an axis: none "-0" however the ticks fall.
void ExpectCleanLabels(QCategoryAxis* axis, const std::string& what) {
  for (const QString& label : axis->categoriesLabels()) {
    const QString digits = QString(label).remove(QChar(0x2212));
    const bool zero = digits.toDouble() == 0;
    EXPECT_FALSE(zero && label.startsWith(QChar(0x2212))) << what << ": " << label.toStdString();
  }
}

TEST(ExplorerDaily, ChartsFitTheirDataWithCleanLabels) {
  const struct {
    BodyPtr body;
    bool circulation;
    double alpha;
    bool thin_airfoil;
  } cases[] = {{Naca0012Body(), true, 0, true},  // Cp and Cl symmetric about zero
               {Naca0012Body(), true, 6.5, true},
               {CircleBody(), false, 0, false},
               {CircleBody(), false, -11.3, false}};
  for (const auto& c : cases) {
    RunInputs inputs = Section(c.body, 64);
    inputs.circulation = c.circulation;
    inputs.vortex = c.circulation ? VortexModel::kConstantDistribution : VortexModel::kNone;
    inputs.alpha_degrees = c.alpha;
    Form_Explorer explorer(inputs);
    const std::vector<double>& cp = explorer.frame().Cp;
    const auto [low, high] = std::minmax_element(cp.begin(), cp.end());
    QCategoryAxis* y = explorer.pressureChart()->yAxis();
    const double span = *high - *low;
    // The data inside, with no more than a tenth of the span to spare on either side
    // (the circle's exact curve reaches Cp = 1 and -3 between the control points).
    const double exact_low = c.body == CircleBody() ? -3 : *low;
    const double exact_high = c.body == CircleBody() ? 1 : *high;
    EXPECT_LE(y->min(), std::min(*low, exact_low));
    EXPECT_GE(y->max(), std::max(*high, exact_high));
    EXPECT_GT(y->min(), std::min(*low, exact_low) - 0.1 * span);
    EXPECT_LT(y->max(), std::max(*high, exact_high) + 0.1 * span);
    QCategoryAxis* x = explorer.pressureChart()->xAxis();
    EXPECT_GT(x->min(), -0.1);
    EXPECT_LT(x->max(), 1.1);
    ExpectCleanLabels(x, "x");
    ExpectCleanLabels(y, "cp");
    ExpectCleanLabels(explorer.polarChart()->alphaAxis(), "alpha");
    EXPECT_EQ(explorer.polarChart()->ThinAirfoilShown(), c.thin_airfoil);
    for (const char* row : {"Cl (circulation)", "Cl (pressure)", "Cm c/4"}) {
      EXPECT_FALSE(explorer.numbersView()
                       ->Value(QString::fromLatin1(row))
                       .startsWith(QChar(0x2212) + QStringLiteral("0.0000")))
          << row;
    }
    // The circle's exact curve: smooth, round the whole contour.
    if (c.body == CircleBody()) {
      EXPECT_EQ(explorer.frame().exact_curve_x.size(), 361u);
    }
  }
  // A short axis keeps at least two labels: H from 1 to 7.3 in about three ticks.
  QCategoryAxis shape;
  SetNiceAxis(&shape, 1, 7.3, 3);
  EXPECT_EQ(shape.categoriesLabels(), QStringList({"2", "4", "6"}));
}

TEST(ExplorerDaily, FixedTextHasNoNegativeZero) {
  const struct {
    double value;
    int decimals;
    const char* text;
  } cases[] = {{-1e-17, 2, "0.00"},     {-0.0, 1, "0.0"},
               {-0.00004, 4, "0.0000"}, {-0.00005, 4, "\u22120.0001"},
               {-1.5, 1, "\u22121.5"},  {12, 0, "12"},
               {0.125, 3, "0.125"}};
  for (const auto& c : cases)
    EXPECT_EQ(FixedText(c.value, c.decimals), QString::fromUtf8(c.text)) << c.value;
}

TEST(ExplorerDaily, ComparisonAndFilesInTheCharts) {
  Form_Explorer explorer(Section(BodyFromNameOrDie("naca2412"), 80));
  ASSERT_TRUE(explorer.AddOverlay(kXfoilPolar, OverlayKind::kPolar));
  EXPECT_FALSE(explorer.AddOverlay(QStringLiteral("/nonexistent/p.txt"), OverlayKind::kPolar));
  EXPECT_EQ(explorer.Problem(),
            QStringLiteral(
                "polar file \"/nonexistent/p.txt\": cannot be read: No such file or directory"));
  EXPECT_EQ(explorer.overlays().size(), 1u);
  explorer.findChild<QComboBox*>("Combo_CompareBody")->setEditText(QStringLiteral("naca0012"));
  explorer.findChild<QCheckBox*>("Check_Compare")->setChecked(true);
  ASSERT_NE(explorer.secondGeometry(), nullptr);
  EXPECT_EQ(explorer.secondGeometry()->inputs.body->Name(), "NACA 0012");
  EXPECT_EQ(explorer.secondGeometry()->inputs.NP, 160);  // twice the panels to start with
  EXPECT_NE(explorer.pressureChart()->chart()->title().indexOf("dashed: NACA 0012, 160 panels"),
            -1);
  QStringList names;
  for (QAbstractSeries* series : explorer.polarChart()->chart()->series()) {
    if (series->isVisible()) names << series->name();
  }
  EXPECT_TRUE(names.contains(QStringLiteral("NACA 2412 Cl, Cm"))) << names.join(",").toStdString();
  EXPECT_TRUE(names.contains(QStringLiteral("Dashed: Cl, Cm")));
  EXPECT_TRUE(names.contains(QStringLiteral("NACA 2412 Cm")));
  // The polar's axes hold the file's points too.
  EXPECT_LE(explorer.polarChart()->alphaAxis()->min(), -4);
}

// The texts a chart's legend shows; Qt Charts cuts a label that does not fit to "...".
QStringList LegendTexts(QChart* chart) {
  QStringList texts;
  std::function<void(QGraphicsItem*)> walk = [&](QGraphicsItem* item) {
    const auto* text = dynamic_cast<QGraphicsTextItem*>(item);
    if (text && text->isVisible()) texts << text->toPlainText();
    for (QGraphicsItem* child : item->childItems()) walk(child);
  };
  walk(chart->legend());
  return texts;
}

TEST(ExplorerDaily, TheBusiestPressureChartReadsInFull) {
  // Boundary layers and a second set at once, in the window of the README's screenshots.
  Form_Explorer explorer(Section(BodyFromNameOrDie("naca2412"), 100));
  explorer.resize(1500, 920);
  explorer.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&explorer));
  explorer.SetFlowConditions({1e6, 9});
  explorer.findChild<QCheckBox*>("Check_Compare")->setChecked(true);
  explorer.SetAngle(4);
  ASSERT_TRUE(QTest::qWaitFor([&] { return explorer.frame().viscous.has_value(); }, 20000));
  QApplication::processEvents();
  PressureChart& chart = *explorer.pressureChart();
  EXPECT_EQ(LegendTexts(chart.chart()).join(QStringLiteral(", ")).toStdString(),
            "Upper, Lower, Dashed, Viscous, Transition, Separation");
  // The axis title is never cut: whole where the plot is tall enough, else the bare symbol.
  const QString title = chart.yAxis()->titleText();
  EXPECT_TRUE(title == QStringLiteral("Cp") || title.endsWith(QStringLiteral("upwards)")))
      << title.toStdString();
  EXPECT_GE(chart.chart()->plotArea().height(),
            QFontMetrics(chart.yAxis()->titleFont()).horizontalAdvance(title));
}

TEST(ExplorerDaily, SessionsSaveAndOpenAndDamagedOnesAreRefused) {
  const TempDir dir;
  Form_Explorer first(Section(BodyFromNameOrDie("naca2412"), 80));
  first.findChild<QRadioButton*>("Option_PointVortex")->click();
  first.SetAngle(4.5);
  ASSERT_TRUE(first.AddOverlay(kXfoilPolar, OverlayKind::kPolar));
  first.findChild<QComboBox*>("Combo_CompareBody")->setEditText(QStringLiteral("naca0012"));
  first.findChild<QCheckBox*>("Check_Compare")->setChecked(true);
  std::string error;
  const QString path = QString::fromStdString(dir.File("s.ini"));
  ASSERT_TRUE(first.SaveSession(path, error)) << error;

  Form_Explorer second(Section(CircleBody(), 8));
  ASSERT_TRUE(second.OpenSession(path, error)) << error;
  EXPECT_TRUE(second.Session() == first.Session()) << ReadFile(dir.File("s.ini"));
  EXPECT_EQ(second.geometry()->inputs.body->Name(), "NACA 2412");
  EXPECT_DOUBLE_EQ(second.frame().alpha_degrees, 4.5);
  ASSERT_NE(second.secondGeometry(), nullptr);
  EXPECT_EQ(second.overlays().size(), 1u);

  // The general problem whole: the first body placed and flapped above a ground, an
  // element by name with a flap of its own and the second element of a file of two.
  {
    std::ofstream both(dir.File("both.dat"));
    const std::string williams = VELQUIN_SOURCE_DIR "/tests/data/williams/";
    both << ReadFile(williams + "MainFoil_N=200.csv") << "999 999\n"
         << ReadFile(williams + "FlapFoil_N=200.csv");
  }
  const auto sections = ReadElementFile(dir.File("both.dat"), error);
  ASSERT_TRUE(sections) << error;
  ProblemInputs layout;
  layout.elements.resize(3);
  layout.elements[0].body = BodyFromNameOrDie("naca4412");
  layout.elements[0].placement = Placement{0, 0, -3, 1};
  layout.elements[0].flap = Flap{0.8, 10};
  layout.elements[1].body = BodyFromNameOrDie("naca0012");
  layout.elements[1].placement = Placement{-0.3, 0.1, 0, 0.2};
  layout.elements[1].flap = Flap{0.75, 10};
  layout.elements[2].section = (*sections)[1];
  layout.elements[2].file = dir.File("both.dat");
  layout.elements[2].file_element = 2;
  layout.elements[2].placement = Placement{1.1, -0.1, 15, 0.3};
  layout.panels = 60;
  layout.vortex = VortexModel::kConstantDistribution;
  layout.ground_height = 0.8;
  Form_Explorer general(Section(CircleBody(), 8));
  general.ShowProblemInputs(layout);
  ASSERT_EQ(general.geometry()->problem->elements.size(), 3u) << general.Problem().toStdString();
  ASSERT_TRUE(general.SaveSession(path, error)) << error;
  Form_Explorer reopened(Section(CircleBody(), 8));
  ASSERT_TRUE(reopened.OpenSession(path, error)) << error;
  EXPECT_TRUE(reopened.Session() == general.Session()) << ReadFile(dir.File("s.ini"));
  EXPECT_EQ(reopened.geometry()->label, general.geometry()->label);
  EXPECT_EQ(reopened.geometry()->problem->PanelCount(), general.geometry()->problem->PanelCount());

  // Damaged: the message names the file and the line; the window keeps what it had.
  std::ofstream(dir.File("bad.ini"))
      << "[explorer]\nversion = 1\n[shown]\nbody = naca99999\npanels = 8\n";
  std::ofstream(dir.File("foreign.ini")) << "[General]\nsize=@Size(1 2)\n";
  const ExplorerGeometry* shown = second.geometry();
  for (const char* name : {"bad.ini", "foreign.ini", "missing.ini"}) {
    EXPECT_FALSE(second.OpenSession(QString::fromStdString(dir.File(name)), error)) << name;
    EXPECT_NE(error.find(dir.File(name)), std::string::npos) << error;
    EXPECT_EQ(second.Problem().toStdString(), error);
    EXPECT_EQ(second.geometry(), shown) << name;
    EXPECT_TRUE(second.Session() == first.Session()) << name;
  }
  EXPECT_NE(error.find("cannot be read"), std::string::npos);
}

TEST(ExplorerDaily, GuideShortcutsAndTips) {
  const TempDir dir;
  Form_Explorer explorer(Section(Naca0012Body(), 40));
  explorer.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&explorer));
  QStringList asked;
  std::string folder = dir.path();
  explorer.SetSavePathChooser([&](const QString&, const QString& kind) {
    asked << kind;
    return kind == QStringLiteral("Folder") ? QString::fromStdString(folder)
                                            : QString::fromStdString(dir.File("s.ini"));
  });
  int opened = 0;
  explorer.SetOpenPathChooser([&] {
    ++opened;
    return QString();
  });
  QTest::keyClick(&explorer, Qt::Key_F1);
  ASSERT_NE(explorer.guide(), nullptr);
  EXPECT_TRUE(explorer.guide()->isVisible());
  explorer.activateWindow();
  QTest::keyClick(&explorer, Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(&explorer, Qt::Key_E, Qt::ControlModifier);
  QTest::keyClick(&explorer, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(asked, QStringList({"Session", "Folder"}));
  EXPECT_EQ(opened, 1);
  EXPECT_NE(ReadFile(dir.File("s.ini")).find("[shown]\nbody = naca0012\npanels = 40\n"),
            std::string::npos);
  for (const char* name : {"Flow.png", "Cp.png", "Polar.png", "Numbers.png"}) {
    EXPECT_FALSE(QImage(QString::fromStdString(dir.File(name))).isNull()) << name;
  }
  EXPECT_EQ(ReadFile(dir.File("Polar.csv"))
                .rfind("# NACA 0012, 40 panels, constant vortex distribution\n"
                       "alpha,cl_circulation,cl_pressure,cm_quarter_chord\n-20,",
                       0),
            0u);
  EXPECT_EQ(ReadFile(dir.File("Cp.csv"))
                .rfind("# NACA 0012, 40 panels, constant vortex distribution, "
                       "alpha = 0 degrees\n",
                       0),
            0u);
  // An export that meets a fault says what it wrote before it.
  folder = dir.File("spoilt");
  std::filesystem::create_directories(dir.File("spoilt/Cp.png"));
  QTest::keyClick(&explorer, Qt::Key_E, Qt::ControlModifier);
  EXPECT_TRUE(explorer.Problem().contains("Cp.png")) << explorer.Problem().toStdString();
  EXPECT_TRUE(explorer.Problem().endsWith(" Exported before it: Flow.png."))
      << explorer.Problem().toStdString();
  // Every input says what it is for.
  for (QWidget* input : explorer.findChildren<QWidget*>()) {
    const bool is_input = qobject_cast<QAbstractSpinBox*>(input) ||
                          qobject_cast<QComboBox*>(input) ||
                          qobject_cast<QAbstractButton*>(input) || qobject_cast<QSlider*>(input);
    if (is_input && !input->objectName().isEmpty() &&
        input->objectName().startsWith(QLatin1String("qt_")) == false) {
      EXPECT_FALSE(input->toolTip().isEmpty()) << input->objectName().toStdString();
    }
  }
}

// The sweep's Polar.png: the swept range on the axis, the swept angles marked, the
// inputs and the range in the title.
TEST(ExplorerDaily, SweptPolarSpansTheSweep) {
  const auto geometry = MakeExplorerGeometry(Section(Naca0012Body(), 60));
  ExplorerFrame frame;
  ComputeExplorerFrame(*geometry, 2, frame);
  ExplorerScene scene;
  scene.geometry = geometry.get();
  scene.frame = &frame;
  std::vector<PolarPoint> polar;
  for (double a = -3; a <= 7.01; a += 0.5) polar.push_back(ExplorerPolarPoint(*geometry, a));
  for (double a : {-3.0, 2.0, 7.0}) scene.marked.push_back(ExplorerPolarPoint(*geometry, a));
  scene.polar = &polar;
  PolarChart chart;
  chart.SetGeometry(scene);
  chart.SetFrame(scene);
  EXPECT_EQ(chart.MarkedCount(), 3);
  EXPECT_DOUBLE_EQ(chart.alphaAxis()->min(), -3);
  EXPECT_DOUBLE_EQ(chart.alphaAxis()->max(), 7);
  EXPECT_NE(chart.chart()->title().indexOf(QStringLiteral(
                "NACA 0012, 60 panels, constant vortex distribution<br>swept \u03B1 = "
                "\u22123.0\u00B0 to 7.0\u00B0 (3 angles)")),
            -1)
      << chart.chart()->title().toStdString();
}

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  return velquin::test_support::RunWindowTests(argc, argv);
}
