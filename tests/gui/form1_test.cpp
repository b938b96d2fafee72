// The main window driven as a user would: start state, vortex options, "Calculate"
// against the batch command, messages, the About window and saving the pictures.
#include "gui/form1.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <cmath>
#include <set>
#include <sstream>

#include "cli/batch_run.h"
#include "gui/form_about.h"
#include "gui/picture_widget.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

namespace velquin {
namespace {

using test_support::kReports;
using test_support::ReadFile;
using test_support::TempDir;
using Form1Test = test_support::WindowTest;
using Kind = Form1::MessageKind;

QImage LoadPng(const std::string& path) {
  return QImage(QString::fromStdString(path), "PNG").convertToFormat(QImage::Format_RGB32);
}

TEST_F(Form1Test, StartsWithTheDefaultsInTheirFramesAndNoVortexModelChosen) {
  form_.show();
  EXPECT_EQ(form_.windowTitle(), "Velquin2DS - Source panel method");
  EXPECT_EQ(form_.centralWidget()->size(), QSize(643, 490));
  // A sample of the layout at 15 twips a pixel: the parent groups the option buttons,
  // the default text or check is what the first run reads.
  const struct {
    const char *name, *parent;
    QRect rect;
    const char* text;
    bool checked;
  } controls[] = {
      {"Text_NP", "Frame1", {112, 16, 25, 19}, "8", false},
      {"Option_Circle", "Frame1", {16, 32, 57, 25}, "Circle", true},
      {"Label2", "Frame4", {16, 16, 17, 17}, "α =", false},
      {"Text_AlfaD", "Frame4", {40, 16, 25, 19}, "0", false},
      {"Check_Circulation", "Frame3", {8, 16, 73, 17}, "Circulation", false},
      {"Option_PointVortex", "Frame3", {8, 48, 81, 17}, "Point vortex", false},
      {"Option_ConstVortex", "Frame3", {8, 72, 161, 17}, "Constant vortex distribution", false},
      {"Frame2", "Frame3", {112, 16, 81, 49}, "", false},
      {"Text_Xv", "Frame2", {32, 8, 33, 19}, "0.5", false},
      {"Text_Yv", "Frame2", {32, 24, 33, 19}, "0", false},
      {"Picture_Pressure", "Client", {232, 240, 401, 233}, "", false},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.name);
    QWidget* widget = Control<QWidget>(c.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget()->objectName(), c.parent);
    EXPECT_EQ(widget->geometry(), c.rect);
    EXPECT_EQ(widget->property("text").toString(), QString::fromUtf8(c.text));
    EXPECT_EQ(widget->property("checked").toBool(), c.checked);
    EXPECT_TRUE(widget->isVisible());
  }
  // The status line lies beneath the client area, inside the window, empty.
  auto* status = Control<QLabel>("Label_Status");
  const int top = status->mapTo(&form_, QPoint()).y();
  EXPECT_GE(top, form_.centralWidget()->mapTo(&form_, QPoint()).y() + 490);
  EXPECT_LE(top + status->height(), form_.height());
  EXPECT_GE(status->width(), 600);
  EXPECT_TRUE(status->isVisible() && Status().isEmpty());
}

TEST_F(Form1Test, ChoosingAVortexModelHidesOrShowsThePositionInputs) {
  form_.show();
  Choose("Option_ConstVortex");
  EXPECT_FALSE(Control<QWidget>("Frame2")->isVisible());
  EXPECT_FALSE(Control<QWidget>("Text_Xv")->isVisible());
  Choose("Option_PointVortex");
  EXPECT_TRUE(Control<QWidget>("Text_Yv")->isVisible());
  EXPECT_FALSE(Control<QAbstractButton>("Option_ConstVortex")->isChecked());
  Choose("Option_NACA12");
  EXPECT_FALSE(Control<QAbstractButton>("Option_Circle")->isChecked());
  EXPECT_TRUE(Control<QAbstractButton>("Option_PointVortex")->isChecked()) << "another group";
  EXPECT_FALSE(form_.lastOutcome().has_value()) << "a choice alone runs nothing";
}

// The numbers of the status line that follow each label, true minus signs read.
std::vector<double> StatusNumbers(QString text, const std::vector<QString>& labels) {
  text.replace(QChar(0x2212), QLatin1Char('-'));
  std::vector<double> numbers;
  for (const QString& label : labels) {
    const int at = text.indexOf(label);
    QString rest = at < 0 ? QString() : text.mid(at + label.size()).section(' ', 0, 0);
    rest.remove(QLatin1Char(','));
    bool ok = false;
    const double value = rest.toDouble(&ok);
    numbers.push_back(ok ? value : std::nan(""));
  }
  return numbers;
}

// The values of the key=value line of the batch command, in order.
std::vector<double> PrintedNumbers(const std::string& line) {
  std::vector<double> numbers;
  for (const QString& pair : QString::fromStdString(line).trimmed().split(' ')) {
    numbers.push_back(pair.section('=', -1).toDouble());
  }
  return numbers;
}

TEST_F(Form1Test, CalculateWritesTheReportsAndShowsTheResultsOfTheBatchCommand) {
  const struct {
    const char *panels, *alpha, *xv;
    bool naca;
    const char* vortex;   // the batch command's name; null: no circulation
    std::size_t results;  // the circle with its centre vortex adds the deviation from exact
  } runs[] = {{"8", "0", "0.5", false, nullptr, 4},
              {"12", "5", "0.25", true, "point", 4},
              {"40", "5", "0.5", true, "constant", 4},
              {"8", "10", "0.5", false, "point", 5}};
  for (const auto& run : runs) {
    SCOPED_TRACE(std::string(run.panels) + " " + (run.vortex ? run.vortex : "-"));
    if (&run != runs) {  // the first run as the window starts
      SetText("Text_NP", run.panels);
      SetText("Text_AlfaD", run.alpha);
      SetText("Text_Xv", run.xv);
      Choose(run.naca ? "Option_NACA12" : "Option_Circle");
      Control<QAbstractButton>("Check_Circulation")->setChecked(run.vortex != nullptr);
      if (run.vortex) Choose(run.vortex[0] == 'p' ? "Option_PointVortex" : "Option_ConstVortex");
    }
    TempDir window_dir, batch_dir;
    ASSERT_EQ(CalculateIn(window_dir.path()), RunOutcome::kCompleted);

    std::vector<std::string> args = {"--batch", "--panels", run.panels, "--alpha",       run.alpha,
                                     "--xv",    run.xv,     "--out",    batch_dir.path()};
    if (run.naca) args.insert(args.end(), {"--body", "naca0012"});
    if (run.vortex) args.insert(args.end(), {"--circulation", "--vortex", run.vortex});
    std::ostringstream out, err;
    ASSERT_EQ(RunBatchCommand(args, out, err, form_.reportOptions().decimal_separator, {}), 0)
        << err.str();
    for (const char* report : kReports)
      EXPECT_EQ(ReadFile(window_dir.File(report)), ReadFile(batch_dir.File(report))) << report;

    // The status line names the inputs and holds the printed results to the digits that
    // mean something: Cl and Cm to four decimals, the source sum to two digits, noise 0.
    const QString status = Status();
    EXPECT_TRUE(status.startsWith(run.naca ? "NACA 0012, " : "Circle, ")) << status.toStdString();
    EXPECT_TRUE(status.contains(QString(run.panels) + " panels")) << status.toStdString();
    const auto shown =
        StatusNumbers(status, {"Cl ", "(\u0393) / ", "Cm\u00BC ", "\u03A3Q\u00B7S ", "Cp)| "});
    const auto printed = PrintedNumbers(out.str());
    ASSERT_EQ(printed.size(), run.results) << out.str();
    for (std::size_t k = 0; k < printed.size(); ++k) {
      const bool noise = std::fabs(printed[k]) < 1e-9;
      const double tolerance = noise ? 0 : k < 3 ? 5e-5 : 0.051 * std::fabs(printed[k]);
      EXPECT_NEAR(shown[k], noise ? 0 : printed[k], tolerance) << k << " " << status.toStdString();
    }
  }
  EXPECT_TRUE(messages_.empty());
}

// The window preset from the command line runs what --batch runs with the same options.
TEST_F(Form1Test, OptionsPresetTheWindowToRunWhatTheBatchCommandRuns) {
  const std::string options =
      "--body naca0012 --panels 24 --alpha 6 --circulation --vortex constant";
  form_.SetControls(ParseWindowCommand(test_support::Words(options)));
  EXPECT_FALSE(Control<QWidget>("Frame2")->isVisible()) << "no position for the distribution";
  TempDir window_dir, batch_dir;
  ASSERT_EQ(CalculateIn(window_dir.path()), RunOutcome::kCompleted);
  std::vector<std::string> args =
      test_support::Words("--batch " + options + " --out " + batch_dir.path());
  std::ostringstream out, err;
  ASSERT_EQ(RunBatchCommand(args, out, err, form_.reportOptions().decimal_separator, {}), 0);
  EXPECT_EQ(test_support::AllReports(window_dir.path()),
            test_support::AllReports(batch_dir.path()));
}

TEST_F(Form1Test, AZeroPivotShowsItsMessageOnceClearsTheStatusAndTheWindowGoesOn) {
  // Run errors of every kind are in form1_input_test.
  TempDir dir;
  ASSERT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
  const std::string earlier = ReadFile(dir.File("Output_InfCoeffs.txt"));
  Choose("Option_NACA12");
  SetText("Text_NP", "2");  // both panels on the chord: the system is singular
  // While the message is up, the new body stands and no curve of the last run, and the
  // coefficient report is complete: this run's coefficients.
  const auto blank = [this](const char* name) {
    const QImage& image = Control<PictureWidget>(name)->picture().image();
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != image.pixel(0, 0)) return false;
    return true;
  };
  bool pressure_blank = false, body_drawn = false;
  std::string while_the_box_is_up;
  form_.SetMessageHandler([&](Form1::MessageKind kind, const QString& text) {
    messages_.push_back({kind, text});
    pressure_blank = blank("Picture_Pressure");
    body_drawn = !blank("Picture_Airfoil");
    while_the_box_is_up = ReadFile(dir.File("Output_InfCoeffs.txt"));
  });
  EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kZeroPivot);
  EXPECT_TRUE(pressure_blank);
  EXPECT_TRUE(body_drawn);
  EXPECT_EQ(OnlyMessage(Kind::kMsgBox).toStdString(), " sıfır diyagonal elemanı");
  EXPECT_EQ(while_the_box_is_up, ReadFile(dir.File("Output_InfCoeffs.txt")));
  EXPECT_NE(while_the_box_is_up, earlier) << "the coefficients of 2 panels";
  EXPECT_NE(while_the_box_is_up.find("Tangetial velocities"), std::string::npos);
  EXPECT_TRUE(Status().isEmpty()) << "the last run's results are gone";
  SetText("Text_NP", "8");
  EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_FALSE(Status().isEmpty());
}

TEST_F(Form1Test, WithoutHandlersMessagesAreModalBoxesWithOneOkAndSavesAskForAPngFile) {
  form_.SetMessageHandler({});
  form_.SetSavePathChooser({});
  TempDir dir;
  QStringList seen;
  const auto answer = [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen << QStringLiteral("%1|%2|%3|%4")
                  .arg(box->windowTitle(), box->text())
                  .arg(box->icon())
                  .arg(box->buttons().size());
      box->button(QMessageBox::Ok)->click();
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      seen << QStringLiteral("%1|%2|%3")
                  .arg(dialog->acceptMode() == QFileDialog::AcceptSave ? "save" : "open",
                       dialog->defaultSuffix(), dialog->selectedFiles().value(0).section('/', -1));
      dialog->selectFile(QString::fromStdString(dir.File("chosen")));
      static_cast<QDialog*>(dialog)->accept();  // as the Save button does
    }
  };
  CalculationWindow& window = form_;
  QTimer::singleShot(0, answer);
  window.MsgBox(" sıfır");
  QTimer::singleShot(0, answer);
  window.ShowRunError("Division by zero: 8 / 0");
  QTimer::singleShot(0, answer);
  Control<PictureWidget>("Picture_Pressure")->saveAction()->trigger();
  EXPECT_EQ(
      seen,
      QStringList(
          {QString::fromUtf8("Velquin2DS| sıfır|%1|1").arg(QMessageBox::NoIcon),
           QStringLiteral("Velquin2DS|Division by zero: 8 / 0|%1|1").arg(QMessageBox::Warning),
           QStringLiteral("save|png|Picture_Pressure.png")}));
  EXPECT_EQ(LoadPng(dir.File("chosen.png")).size(), QSize(401, 233));
}

TEST_F(Form1Test, AboutTwiceShowsOneWindowThatDoesNotBlockTheMainWindow) {
  QAction* about = Control<QAction>("Mn_About");
  EXPECT_EQ(about->menu(), nullptr) << "an entry of the menu bar itself";
  about->trigger();
  Form_About* first = form_.aboutWindow();
  about->trigger();
  EXPECT_EQ(form_.aboutWindow(), first) << "the same window each time";
  int count = 0;
  for (QWidget* window : QApplication::topLevelWidgets())
    count += qobject_cast<Form_About*>(window) != nullptr;
  EXPECT_EQ(count, 1);
  ASSERT_NE(form_.aboutWindow(), nullptr);
  EXPECT_TRUE(form_.aboutWindow()->isVisible());
  EXPECT_EQ(form_.aboutWindow()->windowModality(), Qt::NonModal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

std::set<QRgb> Colours(const QImage& image) {
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
  return colours;
}

TEST_F(Form1Test, ARightClickSavesEachPictureAtItsSizeOrDoubleSizeAndNamesAFailure) {
  form_.show();
  TempDir dir;
  ASSERT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
  QStringList suggestions;
  QString answer;
  form_.SetSavePathChooser([&](const QString& suggestion) {
    suggestions << suggestion;
    return answer;
  });
  for (const auto& [name, size] : {std::pair{"Picture_Airfoil", QSize(400, 200)},
                                   {"Picture_Pressure", QSize(401, 233)},
                                   {"Picture_Matrix", QSize(200, 200)}}) {
    SCOPED_TRACE(name);
    auto* widget = Control<PictureWidget>(name);
    QStringList entries;  // of the menu that pops up; the second is chosen
    QTimer::singleShot(0, [&entries] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (QAction* action : menu->actions()) entries << action->text();
      menu->actions().value(1)->trigger();
      menu->close();
    });
    answer = QString::fromStdString(dir.File(std::string(name) + "-double.png"));
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                            widget->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(widget, &click);
    EXPECT_EQ(entries, QStringList({QString::fromUtf8("Save picture as…"),
                                    QString::fromUtf8("Save picture at double size…")}));
    const QImage shown = widget->picture().image();
    const QImage twice = LoadPng(answer.toStdString());
    EXPECT_EQ(twice.size(), size * 2);
    EXPECT_EQ(Colours(twice), Colours(shown)) << "drawn without smoothing";
    EXPECT_GT(Colours(shown).size(), 1u) << "drawn by the run";

    answer = QString::fromStdString(dir.File(std::string(name) + ".png"));
    widget->saveAction()->trigger();
    EXPECT_EQ(LoadPng(answer.toStdString()), shown);
    EXPECT_EQ(suggestions, QStringList({QDir::current().filePath(QString(name) + "_x2.png"),
                                        QDir::current().filePath(QString(name) + ".png")}));
    suggestions.clear();
  }
  EXPECT_TRUE(messages_.empty());

  auto* matrix = Control<PictureWidget>("Picture_Matrix");
  answer.clear();  // cancelled: nothing written, nothing said
  matrix->saveAction()->trigger();
  EXPECT_TRUE(messages_.empty());
  answer = QString::fromStdString(dir.File("no-such-folder/matrix.png"));
  matrix->saveDoubleAction()->trigger();
  const QString said = OnlyMessage(Kind::kSaveError);
  EXPECT_TRUE(said.contains(answer)) << said.toStdString();
  EXPECT_TRUE(said.contains("No such file or directory")) << said.toStdString();
  EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted) << "the window goes on";
}

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  return velquin::test_support::RunWindowTests(argc, argv);
}
