// The main window driven as a user would: its start state, the vortex options, a run
// started with "Calculate", the status line of its results, the About window, the
// kinds of message, and saving the pictures from their context menus.
#include "shell/form1.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "shell/batch_command.h"
#include "shell/form_about.h"
#include "shell/picture_widget.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

namespace velquin {
namespace {

using velquin::testing::kReports;
using velquin::testing::ReadFile;
using velquin::testing::TempDir;

using Form1Test = velquin::testing::WindowTest;

TEST_F(Form1Test, StartsWithTheDefaultInputsAndNoVortexModelChosen) {
  form_.show();
  EXPECT_EQ(form_.windowTitle(), "Velquin2DS - Source panel method");
  EXPECT_EQ(form_.centralWidget()->size(), QSize(643, 490));

  EXPECT_EQ(Text("Text_NP"), "8");
  EXPECT_EQ(Text("Text_AlfaD"), "0");
  EXPECT_EQ(Text("Text_Xv"), "0.5");
  EXPECT_EQ(Text("Text_Yv"), "0");
  EXPECT_EQ(Control<QLabel>("Label2")->text(), QString::fromUtf8("α ="));
  EXPECT_TRUE(Control<QRadioButton>("Option_Circle")->isChecked());
  EXPECT_FALSE(Control<QRadioButton>("Option_NACA12")->isChecked());
  EXPECT_FALSE(Control<QRadioButton>("Option_PointVortex")->isChecked());
  EXPECT_FALSE(Control<QRadioButton>("Option_ConstVortex")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>("Check_Circulation")->isChecked());
  EXPECT_TRUE(Control<QFrame>("Frame2")->isVisible());
  // Twip positions at 15 to a pixel, relative to the containing frame.
  EXPECT_EQ(Control<QWidget>("Text_Yv")->parentWidget()->objectName(), "Frame2");
  EXPECT_EQ(Control<QWidget>("Text_Yv")->geometry(), QRect(32, 24, 33, 19));
  EXPECT_EQ(Control<QWidget>("Picture_Pressure")->geometry(), QRect(232, 240, 401, 233));

  // The status line lies beneath the client area, empty before the first run.
  QLabel* status = Control<QLabel>("Label_Status");
  EXPECT_TRUE(status->isVisible());
  EXPECT_TRUE(status->text().isEmpty());
  const QRect client(form_.centralWidget()->mapTo(&form_, QPoint(0, 0)), QSize(643, 490));
  const QRect line(status->mapTo(&form_, QPoint(0, 0)), status->size());
  EXPECT_GE(line.top(), client.bottom() + 1);
  EXPECT_LE(line.bottom(), form_.rect().bottom());
  EXPECT_GE(line.width(), 600);
}

TEST_F(Form1Test, ChoosingAVortexModelHidesOrShowsThePositionInputs) {
  form_.show();
  Choose("Option_ConstVortex");
  EXPECT_FALSE(Control<QLineEdit>("Text_Xv")->isVisible());
  EXPECT_FALSE(Control<QFrame>("Frame2")->isVisible());

  Choose("Option_PointVortex");
  EXPECT_TRUE(Control<QLineEdit>("Text_Yv")->isVisible());
  EXPECT_FALSE(Control<QRadioButton>("Option_ConstVortex")->isChecked());

  Choose("Option_NACA12");
  EXPECT_FALSE(Control<QRadioButton>("Option_Circle")->isChecked());
  // A choice alone runs nothing.
  EXPECT_FALSE(form_.lastOutcome().has_value());
}

TEST_F(Form1Test, CalculateWritesTheReportsOfTheBatchCommandForTheSameInputs) {
  // The defaults, then the NACA 0012 section with a point vortex.
  const std::vector<std::string> defaults = {"--batch"};
  const std::vector<std::string> naca = {"--batch",  "--panels", "12",   "--body",
                                         "naca0012", "--alpha",  "5",    "--circulation",
                                         "--vortex", "point",    "--xv", "0.25"};
  for (const auto* args : {&defaults, &naca}) {
    SCOPED_TRACE(args->size());
    if (args == &naca) {
      SetText("Text_NP", "12");
      Choose("Option_NACA12");
      SetText("Text_AlfaD", "5");
      Control<QCheckBox>("Check_Circulation")->setChecked(true);
      Choose("Option_PointVortex");
      SetText("Text_Xv", "0.25");
    }
    TempDir window_dir;
    ASSERT_EQ(CalculateIn(window_dir.path()), RunOutcome::kCompleted);

    TempDir batch_dir;
    std::vector<std::string> batch_args = *args;
    batch_args.insert(batch_args.end(), {"--out", batch_dir.path()});
    std::ostringstream out, err;
    ASSERT_EQ(RunBatchCommand(batch_args, out, err, form_.reportOptions().decimal_separator, {}), 0)
        << err.str();
    for (const char* report : kReports) {
      EXPECT_EQ(ReadFile(window_dir.File(report)), ReadFile(batch_dir.File(report))) << report;
    }
  }
  EXPECT_TRUE(messages_.empty());
  const QImage& airfoil = Control<PictureWidget>("Picture_Airfoil")->picture().image();
  EXPECT_NE(airfoil, QtPicture(400, 200, kLightYellow).image()) << "nothing drawn";
}

TEST_F(Form1Test, AboutTwiceShowsOneWindowThatDoesNotBlockTheMainWindow) {
  QAction* about = Control<QAction>("Mn_About");
  EXPECT_EQ(about->menu(), nullptr) << "an entry of the menu bar itself";
  about->trigger();
  about->trigger();

  int count = 0;
  for (QWidget* window : QApplication::topLevelWidgets())
    count += qobject_cast<Form_About*>(window) != nullptr;
  EXPECT_EQ(count, 1);
  Form_About* shown = form_.aboutWindow();
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->isVisible());
  EXPECT_EQ(shown->windowModality(), Qt::NonModal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Form1Test, ZeroPivotsAndRunErrorsShowOneMessageAndTheNextRunCompletes) {
  // Two panels of the NACA 0012 section lie on the chord: the system is singular.
  // "abc" panels is no panel count at all.
  const struct {
    bool naca;
    const char* panels;
    RunOutcome outcome;
    Form1::MessageKind kind;
  } cases[] = {{true, "2", RunOutcome::kZeroPivot, Form1::MessageKind::kMsgBox},
               {false, "abc", RunOutcome::kFailed, Form1::MessageKind::kRunError}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.panels);
    messages_.clear();
    Choose(c.naca ? "Option_NACA12" : "Option_Circle");
    SetText("Text_NP", c.panels);
    TempDir dir;
    EXPECT_EQ(CalculateIn(dir.path()), c.outcome);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].kind, c.kind);
    if (c.naca) {
      EXPECT_EQ(messages_[0].text, QString::fromUtf8(" sıfır diyagonal elemanı"));
    }

    SetText("Text_NP", "8");
    EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
    EXPECT_EQ(messages_.size(), 1u);
  }
}

TEST_F(Form1Test, WithoutAHandlerEachMessageIsAModalBoxWithOneOkButton) {
  form_.SetMessageHandler({});
  std::vector<QString> seen;  // title | text | icon | number of buttons
  const auto answer = [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen.push_back(QStringLiteral("%1|%2|%3|%4")
                       .arg(box->windowTitle(), box->text())
                       .arg(box->icon())
                       .arg(box->buttons().size()));
    box->button(QMessageBox::Ok)->click();
  };
  CalculationWindow& window = form_;
  QTimer::singleShot(0, answer);
  window.MsgBox(
      " s\xc4\xb1"
      "f\xc4\xb1r");
  QTimer::singleShot(0, answer);
  window.ShowRunError("Division by zero: 8 / 0");

  const std::vector<QString> expected = {
      QString::fromUtf8("Velquin2DS| sıfır|%1|1").arg(QMessageBox::NoIcon),
      QString::fromUtf8("Velquin2DS|Division by zero: 8 / 0|%1|1").arg(QMessageBox::Warning)};
  EXPECT_EQ(seen, expected);
}

// The numbers of a status line in order; each follows its name and ends at a gap.
std::vector<double> StatusNumbers(const QString& status) {
  std::vector<double> numbers;
  for (const QString& field : status.split(QStringLiteral("    "))) {
    const std::string number = field.section(QLatin1Char(' '), -1).toStdString();
    double value = std::nan("");
    std::from_chars(number.data(), number.data() + number.size(), value);
    numbers.push_back(value);
  }
  return numbers;
}

// The values of the batch command's key=value line, in the order it prints them.
std::vector<double> BatchNumbers(const std::vector<std::string>& args) {
  TempDir dir;
  std::vector<std::string> with_out = args;
  with_out.insert(with_out.end(), {"--out", dir.path()});
  std::ostringstream out, err;
  EXPECT_EQ(RunBatchCommand(with_out, out, err, '.', {}), 0) << err.str();
  std::vector<double> numbers;
  std::istringstream pairs(out.str());
  for (std::string pair; pairs >> pair;) {
    const std::string number = pair.substr(pair.find('=') + 1);
    double value = std::nan("");
    std::from_chars(number.data(), number.data() + number.size(), value);
    numbers.push_back(value);
  }
  return numbers;
}

TEST_F(Form1Test, TheStatusLineAgreesWithTheBatchCommandToSevenDigitsAndAnErrorRunClearsIt) {
  TempDir dir;
  // The NACA 0012 section with the constant vortex distribution: four results.
  SetText("Text_NP", "40");
  Choose("Option_NACA12");
  SetText("Text_AlfaD", "5");
  Control<QCheckBox>("Check_Circulation")->setChecked(true);
  Choose("Option_ConstVortex");
  ASSERT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
  const QString naca = Status();
  const std::vector<double> naca_batch =
      BatchNumbers({"--batch", "--panels", "40", "--body", "naca0012", "--alpha", "5",
                    "--circulation", "--vortex", "constant"});

  // The circle with the point vortex at its centre: the deviation from the exact
  // solution as well.
  SetText("Text_NP", "8");
  Choose("Option_Circle");
  SetText("Text_AlfaD", "10");
  Choose("Option_PointVortex");
  ASSERT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
  const QString circle = Status();
  const std::vector<double> circle_batch =
      BatchNumbers({"--batch", "--alpha", "10", "--circulation", "--vortex", "point"});

  for (const auto& [status, batch] : {std::pair{naca, naca_batch}, {circle, circle_batch}}) {
    SCOPED_TRACE(status.toStdString());
    EXPECT_TRUE(status.startsWith(QStringLiteral("Cl (circulation) ")));
    const std::vector<double> shown = StatusNumbers(status);
    ASSERT_EQ(shown.size(), batch.size());
    ASSERT_GE(shown.size(), 4u);
    for (std::size_t k = 0; k < shown.size(); ++k) {
      EXPECT_NEAR(shown[k], batch[k], 5e-7 * std::fabs(batch[k])) << k;
    }
  }
  EXPECT_EQ(StatusNumbers(naca).size(), 4u);
  EXPECT_EQ(StatusNumbers(circle).size(), 5u);
  EXPECT_GT(StatusNumbers(naca)[0], 0.5) << "lift at 5 degrees";

  // A run error and a zero pivot each clear it; the next completed run shows it again.
  SetText("Text_NP", "abc");
  EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kFailed);
  EXPECT_TRUE(Status().isEmpty());
  SetText("Text_NP", "8");
  EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
  EXPECT_EQ(Status(), circle);
  SetText("Text_NP", "2");
  Choose("Option_NACA12");
  Control<QCheckBox>("Check_Circulation")->setChecked(false);
  EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kZeroPivot);
  EXPECT_TRUE(Status().isEmpty());
  EXPECT_EQ(messages_.size(), 2u);
}

// The three pictures by name, with their sizes.
const struct {
  const char* name;
  QSize size;
} kPictures[] = {{"Picture_Airfoil", QSize(400, 200)},
                 {"Picture_Pressure", QSize(401, 233)},
                 {"Picture_Matrix", QSize(200, 200)}};

QImage LoadPng(const std::string& path) {
  QImage image;
  image.load(QString::fromStdString(path), "PNG");
  return image.convertToFormat(QImage::Format_RGB32);
}

std::set<QRgb> Colours(const QImage& image) {
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
  }
  return colours;
}

TEST_F(Form1Test, ARightClickOnEachPictureOffersToSaveItAtItsSizeOrDoubleSize) {
  form_.show();
  TempDir dir;
  ASSERT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
  std::vector<QString> suggestions;
  QString answer;
  form_.SetSavePathChooser([&](const QString& suggestion) {
    suggestions.push_back(suggestion);
    return answer;
  });

  for (const auto& picture : kPictures) {
    SCOPED_TRACE(picture.name);
    auto* widget = Control<PictureWidget>(picture.name);
    // Right click: the menu pops up with the two entries; the second is chosen.
    QStringList entries;
    QTimer::singleShot(0, [&entries] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (QAction* action : menu->actions()) entries << action->text();
      menu->actions().value(1)->trigger();
      menu->close();
    });
    const std::string doubled = dir.File(std::string(picture.name) + "-double.png");
    answer = QString::fromStdString(doubled);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                            widget->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(widget, &click);
    EXPECT_EQ(entries, QStringList({QString::fromUtf8("Save picture as…"),
                                    QString::fromUtf8("Save picture at double size…")}));

    const std::string single = dir.File(std::string(picture.name) + ".png");
    answer = QString::fromStdString(single);
    widget->saveAction()->trigger();

    const QImage shown = widget->picture().image();
    EXPECT_EQ(LoadPng(single), shown);
    const QImage twice = LoadPng(doubled);
    EXPECT_EQ(twice.size(), picture.size * 2);
    EXPECT_EQ(Colours(twice), Colours(shown)) << "drawn without smoothing";
  }
  ASSERT_EQ(suggestions.size(), 6u);
  EXPECT_TRUE(suggestions[0].endsWith(QStringLiteral("/Picture_Airfoil_x2.png")));
  EXPECT_TRUE(suggestions[1].endsWith(QStringLiteral("/Picture_Airfoil.png")));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Form1Test, ASaveThatFailsShowsOneMessageNamingTheFileAndTheReason) {
  TempDir dir;
  QString answer;
  form_.SetSavePathChooser([&answer](const QString&) { return answer; });
  auto* matrix = Control<PictureWidget>("Picture_Matrix");

  // Cancelled: nothing written, nothing said.
  matrix->saveAction()->trigger();
  EXPECT_TRUE(messages_.empty());

  const std::string nowhere = dir.File("no-such-folder/matrix.png");
  answer = QString::fromStdString(nowhere);
  matrix->saveDoubleAction()->trigger();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].kind, Form1::MessageKind::kSaveError);
  EXPECT_TRUE(messages_[0].text.contains(answer)) << messages_[0].text.toStdString();
  EXPECT_TRUE(messages_[0].text.contains(QStringLiteral("No such file or directory")))
      << messages_[0].text.toStdString();

  // The window goes on: a run, then a save to a good place.
  EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
  answer = QString::fromStdString(dir.File("matrix.png"));
  matrix->saveAction()->trigger();
  EXPECT_EQ(LoadPng(dir.File("matrix.png")), matrix->picture().image());
  EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(Form1Test, WithoutAChooserAFileDialogAsksForAPngFile) {
  form_.SetSavePathChooser({});
  TempDir dir;
  const QString chosen = QString::fromStdString(dir.File("chosen"));
  QString mode;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    mode = QStringLiteral("%1|%2|%3")
               .arg(dialog->acceptMode() == QFileDialog::AcceptSave ? "save" : "open",
                    dialog->defaultSuffix(), dialog->selectedFiles().value(0).section('/', -1));
    dialog->selectFile(chosen);
    static_cast<QDialog*>(dialog)->accept();  // as the Save button does
  });
  Control<PictureWidget>("Picture_Pressure")->saveAction()->trigger();
  EXPECT_EQ(mode, QStringLiteral("save|png|Picture_Pressure.png"));
  EXPECT_EQ(LoadPng(dir.File("chosen.png")).size(), QSize(401, 233));
  EXPECT_TRUE(messages_.empty());
}

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velquin2DS"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
