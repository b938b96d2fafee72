// The flow explorer driven as a user would: opened from the command line's inputs and
// from the main window's menu, the angle moved from the keyboard, the views saved, and
// the headless pictures of --flow.
#include "gui/explorer/form_explorer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/batch_run.h"
#include "geometry/body_names.h"
#include "geometry/geometry_file.h"
#include "gui/explorer/explorer_charts.h"
#include "gui/explorer/flow_view.h"
#include "gui/explorer/numbers_view.h"
#include "gui/explorer/view_export.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

namespace velquin {
namespace {

using test_support::ReadFile;
using test_support::TempDir;

RunInputs Section(int NP) {
  RunInputs inputs;
  inputs.body = Naca0012Body();
  inputs.NP = NP;
  inputs.circulation = true;
  inputs.vortex = VortexModel::kConstantDistribution;
  return inputs;
}

// Page Up five times: five degrees, and every view follows: the flow, the pressure plot,
// the polar's marker and the numbers. The arrow keys move a tenth of a degree.
TEST(FormExplorer, OpensWithTheSliderFocusedAndEveryViewFollowsIt) {
  Form_Explorer explorer(Section(120));
  explorer.show();
  explorer.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&explorer));
  EXPECT_EQ(explorer.windowTitle(), "Velquin2DS - Flow explorer");
  EXPECT_EQ(QApplication::focusWidget(), explorer.angleSlider());
  EXPECT_EQ(explorer.Problem(), "");
  const std::vector<double> cp_before = explorer.frame().Cp;
  const std::vector<double> line_before = explorer.frame().streamlines.at(20).y;
  const QImage flow_before = explorer.flowView()->grab().toImage();

  for (int k = 0; k < 5; ++k) QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
  EXPECT_DOUBLE_EQ(explorer.Angle(), 5);
  EXPECT_NE(explorer.frame().Cp, cp_before);
  EXPECT_NE(explorer.frame().streamlines.at(20).y, line_before);
  EXPECT_NE(explorer.flowView()->grab().toImage(), flow_before);
  EXPECT_EQ(explorer.polarChart()->Marker().x(), 5);
  EXPECT_NEAR(explorer.polarChart()->Marker().y(), 0.6, 0.05);  // about 2 pi 1.1 alpha
  EXPECT_EQ(explorer.numbersView()->Value(QStringLiteral("\u03B1")), QStringLiteral("5.0\u00B0"));

  QTest::keyClick(explorer.angleSlider(), Qt::Key_Right);
  EXPECT_DOUBLE_EQ(explorer.Angle(), 5.1);
  QTest::keyClick(explorer.angleSlider(), Qt::Key_PageDown);
  EXPECT_DOUBLE_EQ(explorer.Angle(), 4.1);
}

// "Explorer", after "About", opens the explorer with the main window's inputs; the main
// window is otherwise as it was.
TEST(FormExplorer, MainWindowMenuOpensItWithTheMainWindowsInputs) {
  Form1 form;
  QStringList entries;
  for (QAction* action : form.menuBar()->actions()) entries << action->text();
  EXPECT_EQ(entries, QStringList({"About", "Explorer"}));

  form.findChild<QRadioButton*>("Option_NACA12")->click();
  form.findChild<QLineEdit*>("Text_NP")->setText("40");
  form.findChild<QLineEdit*>("Text_AlfaD")->setText("3.5");
  form.findChild<QCheckBox*>("Check_Circulation")->setChecked(true);
  form.findChild<QRadioButton*>("Option_PointVortex")->click();
  form.findChild<QLineEdit*>("Text_Xv")->setText("0.3");
  form.findChild<QAction*>("Mn_Explorer")->trigger();
  Form_Explorer* explorer = form.explorerWindow();
  ASSERT_NE(explorer, nullptr);
  EXPECT_TRUE(explorer->isVisible());
  const RunInputs inputs = explorer->Inputs();
  EXPECT_EQ(inputs.body, Naca0012Body());
  EXPECT_EQ(inputs.NP, 40);
  EXPECT_EQ(inputs.vortex, VortexModel::kPointVortex);
  EXPECT_EQ(inputs.Xv, 0.3);
  EXPECT_EQ(inputs.alpha_degrees, 3.5);
  EXPECT_EQ(explorer->Problem(), "");

  // Chosen again: the same window, with the inputs of the moment.
  form.findChild<QRadioButton*>("Option_Circle")->click();
  form.findChild<QLineEdit*>("Text_NP")->setText("9");
  form.findChild<QAction*>("Mn_Explorer")->trigger();
  EXPECT_EQ(form.explorerWindow(), explorer);
  EXPECT_EQ(explorer->Inputs().body, CircleBody());
  EXPECT_EQ(explorer->Inputs().NP, 9);
}

// A refused input names itself and keeps the last geometry on show.
TEST(FormExplorer, RefusedInputKeepsTheLastGeometry) {
  Form_Explorer explorer(Section(60));
  const ExplorerGeometry* shown = explorer.geometry();
  explorer.findChild<QSpinBox*>("Spin_NP")->setValue(61);
  EXPECT_NE(explorer.Problem().indexOf("even number of panels"), -1)
      << explorer.Problem().toStdString();
  EXPECT_EQ(explorer.geometry(), shown);
  explorer.findChild<QSpinBox*>("Spin_NP")->setValue(62);
  EXPECT_EQ(explorer.Problem(), "");
  EXPECT_EQ(explorer.geometry()->inputs.NP, 62);
}

// Any body the command line names can be typed in; a coordinate file comes through the
// file button and is re-panelled to the panel count; a malformed name is named.
TEST(FormExplorer, BodiesByNameAndFromACoordinateFile) {
  Form_Explorer explorer(Section(60));
  auto* body = explorer.findChild<QComboBox*>("Combo_Body");
  body->setEditText(QStringLiteral("naca2412"));
  emit body->lineEdit()->editingFinished();
  EXPECT_EQ(explorer.Problem(), "");
  EXPECT_EQ(explorer.geometry()->inputs.body->Name(), "NACA 2412");
  EXPECT_GT(explorer.geometry()->zero_lift_alpha_degrees, -3);  // about -2 degrees
  EXPECT_LT(explorer.geometry()->zero_lift_alpha_degrees, -1.5);

  body->setEditText(QStringLiteral("naca99999"));
  emit body->lineEdit()->editingFinished();
  EXPECT_NE(explorer.Problem().indexOf("naca99999"), -1) << explorer.Problem().toStdString();
  EXPECT_EQ(explorer.geometry()->inputs.body->Name(), "NACA 2412");

  // Blanks and capitals as the command line takes them; an unknown name answered in
  // plain words, cut to the label's width, the whole message in its tooltip.
  body->setEditText(QStringLiteral("Naca 4412"));
  emit body->lineEdit()->editingFinished();
  EXPECT_EQ(explorer.Problem(), "");
  EXPECT_EQ(explorer.geometry()->inputs.body->Name(), "NACA 4412");
  body->setEditText(QString(60, QLatin1Char('W')));
  emit body->lineEdit()->editingFinished();
  EXPECT_TRUE(explorer.Problem().startsWith("There is no body called \"WWW"))
      << explorer.Problem().toStdString();
  EXPECT_EQ(explorer.Problem().indexOf("--"), -1) << explorer.Problem().toStdString();
  const auto* label = explorer.findChild<QLabel*>("Label_Problem");
  EXPECT_EQ(label->toolTip(), explorer.Problem());
  for (const QString& word : label->text().split(QLatin1Char(' '))) {
    EXPECT_LE(label->fontMetrics().horizontalAdvance(word), label->width()) << word.toStdString();
  }

  explorer.SetOpenPathChooser(
      [] { return QStringLiteral(VELQUIN_SOURCE_DIR "/examples/naca2412.dat"); });
  explorer.findChild<QPushButton*>("Command_File")->click();
  EXPECT_EQ(explorer.Problem(), "");
  EXPECT_EQ(explorer.geometry()->inputs.NP, 160);  // the file's own points
  EXPECT_TRUE(explorer.findChild<QRadioButton*>("Option_FilePoints")->isChecked());
  EXPECT_FALSE(explorer.findChild<QSpinBox*>("Spin_NP")->isEnabled());
  explorer.findChild<QRadioButton*>("Option_Spline")->click();
  explorer.findChild<QSpinBox*>("Spin_NP")->setValue(90);
  EXPECT_EQ(explorer.Problem(), "");
  EXPECT_EQ(explorer.geometry()->C->NP, 90);  // re-panelled

  // The command line's general problem with a file as its first element keeps the file.
  std::string error;
  ElementInput from_file, behind;
  from_file.section = *ReadSectionFile(VELQUIN_SOURCE_DIR "/examples/naca2412.dat", error);
  behind.body = BodyFromName("naca0012", error);
  behind.placement = Placement{1.1, 0, 0, 0.3};
  ProblemInputs problem;
  problem.elements = {from_file, behind};
  problem.vortex = VortexModel::kConstantDistribution;
  Form_Explorer opened(Section(60));
  opened.ShowProblemInputs(problem);
  EXPECT_EQ(opened.Problem(), "");
  ASSERT_EQ(opened.geometry()->element_names.size(), 2u);
  EXPECT_NE(opened.geometry()->element_names[0].find("NACA 2412"), std::string::npos)
      << opened.geometry()->element_names[0];
}

// Every view saves itself as PNG and SVG, the pressure also as CSV; a file that cannot be
// written is named.
TEST(FormExplorer, ViewsSaveAsPngSvgAndCsv) {
  const TempDir dir;
  Form_Explorer explorer(Section(80));
  explorer.resize(1500, 950);
  explorer.show();
  QString path;
  explorer.SetSavePathChooser([&](const QString&, const QString&) { return path; });
  const auto save = [&](QWidget* view, int entry, const std::string& name) {
    path = QString::fromStdString(dir.File(name));
    QTimer::singleShot(0, [entry] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu) menu->actions().value(entry)->trigger();
      if (menu) menu->close();
    });
    emit view->customContextMenuRequested(QPoint(10, 10));
  };
  save(explorer.flowView(), 0, "flow.png");
  save(explorer.polarChart(), 1, "polar.svg");
  save(explorer.pressureChart(), 2, "cp.csv");
  save(explorer.numbersView(), 0, "numbers.png");
  EXPECT_EQ(explorer.Problem(), "");

  EXPECT_EQ(QImage(QString::fromStdString(dir.File("flow.png"))).size(),
            explorer.flowView()->size());
  EXPECT_FALSE(QImage(QString::fromStdString(dir.File("numbers.png"))).isNull());
  QSvgRenderer svg(QString::fromStdString(dir.File("polar.svg")));
  EXPECT_TRUE(svg.isValid());
  const std::string csv = ReadFile(dir.File("cp.csv"));
  EXPECT_EQ(csv, ExplorerPressureCsv(*explorer.geometry(), explorer.frame()));

  save(explorer.flowView(), 1, dir.File("missing") + "/flow.svg");
  EXPECT_NE(explorer.Problem().indexOf("missing/flow.svg"), -1) << explorer.Problem().toStdString();
}

// Hovering the pressure plot names the nearest point.
TEST(FormExplorer, HoverShowsTheNearestPoint) {
  Form_Explorer explorer(Section(40));
  explorer.show();
  PressureChart* chart = explorer.pressureChart();
  const ExplorerGeometry& g = *explorer.geometry();
  const int i = g.upper.at(5);
  const QPointF at = chart->chart()->mapToPosition(QPointF(g.C->Xc(i), explorer.frame().Cp[i - 1]));
  chart->ShowNearest(at + QPointF(1, 1));
  EXPECT_EQ(chart->HoverText(), QStringLiteral("Upper surface: x = %1, Cp = %2")
                                    .arg(g.C->Xc(i), 0, 'f', 4)
                                    .arg(explorer.frame().Cp[i - 1], 0, 'f', 4)
                                    .replace(QLatin1Char('-'), QChar(0x2212)));
}

// --batch ... --flow: the explorer's pictures beside the reports (or surface.csv for a
// slotted flap above a ground), at least 1200 x 800, with Polar.png only for a sweep.
// They are written as the reports are: a link in place of one is replaced, never
// followed, and a FIFO is refused without waiting. With --re they show the boundary
// layers as the explorer does: transition marked (green diamonds) on the body and on the
// viscous pressure; without, nothing green.
TEST(FormExplorer, BatchFlowWritesThePictures) {
  const auto green_pixels = [](const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == qRgb(0, 190, 60);
    }
    return count;
  };
  const TempDir elsewhere;
  std::ofstream(elsewhere.File("target")) << "target";
  for (const bool general : {false, true}) {
    for (const bool sweep : {false, true}) {
      const TempDir dir;
      std::vector<std::string> args = {"--batch", "--body",        "naca0012", "--panels",
                                       "60",      "--circulation", "--vortex", "constant",
                                       "--flow",  "--out",         dir.path()};
      if (general) {
        args.insert(args.end(),
                    {"--body", "naca0012", "--place", "0.95:-0.04:25:0.3", "--ground", "0.4"});
      }
      const bool viscous = !sweep;
      if (sweep) args.insert(args.end(), {"--sweep", "0:4:2"});
      if (viscous) args.insert(args.end(), {"--re", "1e6"});
      std::filesystem::create_symlink(elsewhere.File("target"), dir.File("Flow.png"));
      std::ostringstream out, err;
      ASSERT_EQ(RunBatchCommand(args, out, err, '.', {}, WriteFlowPictures), 0) << err.str();
      for (const char* name : {"Flow.png", "Cp.png", "Polar.png"}) {
        const QImage image(QString::fromStdString(dir.File(name)));
        if (std::string(name) == "Polar.png" && !sweep) {
          EXPECT_TRUE(image.isNull()) << name;
          continue;
        }
        EXPECT_GE(image.width(), 1200) << name;
        EXPECT_GE(image.height(), 800) << name;
        if (std::string(name) == "Polar.png") continue;
        if (std::string(name) == "Flow.png") {
          // The colours fill the plot, also where the picture's shape widens the domain
          // (above the ground): none of the grey of the plane outside every grid.
          const QRgb top = image.pixel(image.width() * 45 / 100, image.height() * 8 / 100);
          EXPECT_NE(top, qRgb(235, 235, 235)) << (general ? "general" : "section");
        }
        if (viscous) {
          EXPECT_GT(green_pixels(image), 20) << name << (general ? " general" : "");
        } else {
          EXPECT_EQ(green_pixels(image), 0) << name << (general ? " general" : "");
        }
      }
      EXPECT_FALSE(ReadFile(dir.File(general ? "surface.csv" : "Output_PressCoeffs.txt")).empty());
      EXPECT_EQ(ReadFile(elsewhere.File("target")), "target");

      std::filesystem::remove(dir.File("Cp.png"));
      ASSERT_EQ(mkfifo(dir.File("Cp.png").c_str(), 0644), 0);
      std::ostringstream out2, err2;
      EXPECT_EQ(RunBatchCommand(args, out2, err2, '.', {}, WriteFlowPictures), 1);
      EXPECT_EQ(err2.str().substr(err2.str().find("velquin2ds: File")),
                "velquin2ds: File error: cannot write \"" + dir.File("Cp.png") +
                    "\": not a regular file.\n");
    }
  }
}

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  return velquin::test_support::RunWindowTests(argc, argv);
}
