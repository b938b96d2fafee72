// The main window driven as a user would: its start state, the vortex options, a run
// started with "Calculate", the About window and the two kinds of message.
#include "shell/form1.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "shell/batch_command.h"
#include "shell/form_about.h"
#include "shell/picture_widget.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using velquin::testing::ReadFile;
using velquin::testing::TempDir;

const char* const kReports[] = {"Output_Panel.txt", "Output_InfCoeffs.txt",
                                "Output_PressCoeffs.txt"};

struct Message {
  Form1::MessageKind kind;
  QString text;
};

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() {
    form_.SetMessageHandler([this](Form1::MessageKind kind, const QString& text) {
      messages_.push_back({kind, text});
    });
  }

  template <typename Widget>
  Widget* Control(const char* name) {
    auto* widget = form_.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QString Text(const char* name) { return Control<QLineEdit>(name)->text(); }
  void SetText(const char* name, const char* text) {
    Control<QLineEdit>(name)->setText(QString::fromUtf8(text));
  }
  void Choose(const char* name) { Control<QAbstractButton>(name)->click(); }

  // Presses "Calculate" with `directory` as the current directory.
  RunOutcome CalculateIn(const std::string& directory) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(directory);
    Control<QPushButton>("Command1")->click();
    std::filesystem::current_path(previous);
    EXPECT_TRUE(form_.lastOutcome().has_value());
    return form_.lastOutcome().value_or(RunOutcome::kFailed);
  }

  Form1 form_;
  std::vector<Message> messages_;
};

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

  const ControlValues read = form_.Controls();
  const ControlValues defaults;
  EXPECT_EQ(read.Text_NP, defaults.Text_NP);
  EXPECT_EQ(read.Text_AlfaD, defaults.Text_AlfaD);
  EXPECT_EQ(read.Text_Xv, defaults.Text_Xv);
  EXPECT_EQ(read.Text_Yv, defaults.Text_Yv);
  EXPECT_EQ(read.Check_Circulation, 0);
  EXPECT_TRUE(read.Option_Circle && !read.Option_NACA12);
  EXPECT_FALSE(read.Option_PointVortex || read.Option_ConstVortex);
  EXPECT_EQ(form_.state().Pi, 4 * std::atan(1.0));
}

TEST_F(Form1Test, ControlsSitInTheirFramesAtTheirTwipPositions) {
  struct Place {
    const char* name;
    const char* parent;
    QRect twips;
  };
  const Place places[] = {
      {"Picture_Matrix", "Client", {240, 4080, 3000, 3000}},
      {"Text_AlfaD", "Frame4", {600, 240, 375, 285}},
      {"Frame2", "Frame3", {1680, 240, 1215, 735}},
      {"Text_Yv", "Frame2", {480, 360, 495, 285}},
      {"Label3", "Frame2", {120, 120, 375, 255}},
      {"Option_ConstVortex", "Frame3", {120, 1080, 2415, 255}},
      {"Check_Circulation", "Frame3", {120, 240, 1095, 255}},
      {"Picture_Pressure", "Client", {3480, 3600, 6015, 3495}},
      {"Option_Circle", "Frame1", {240, 480, 855, 375}},
      {"Label1", "Frame1", {240, 240, 1455, 255}},
      {"Picture_Airfoil", "Client", {3480, 360, 6000, 3000}},
      {"Command1", "Client", {1560, 1800, 1335, 495}},
  };
  for (const Place& place : places) {
    SCOPED_TRACE(place.name);
    auto* widget = Control<QWidget>(place.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget()->objectName(), place.parent);
    const QRect& t = place.twips;
    EXPECT_EQ(widget->geometry(), QRect(t.x() / 15, t.y() / 15, t.width() / 15, t.height() / 15));
  }
  EXPECT_EQ(Control<PictureWidget>("Picture_Pressure")->picture().image().size(), QSize(401, 233));
}

TEST_F(Form1Test, TabVisitsTheInputsInTheirOrder) {
  std::vector<QString> order;
  QWidget* widget = Control<QWidget>("Command1");
  do {
    if ((widget->focusPolicy() & Qt::TabFocus) && form_.isAncestorOf(widget)) {
      order.push_back(widget->objectName());
    }
    widget = widget->nextInFocusChain();
  } while (widget != Control<QWidget>("Command1"));
  const std::vector<QString> expected = {
      "Command1",           "Text_NP",           "Option_Circle",
      "Option_NACA12",      "Check_Circulation", "Option_PointVortex",
      "Option_ConstVortex", "Text_Xv",           "Text_Yv",
      "Text_AlfaD"};
  EXPECT_EQ(order, expected);
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
  EXPECT_EQ(about->text(), "About");
  EXPECT_EQ(about->menu(), nullptr);
  about->trigger();
  about->trigger();

  int count = 0;
  for (QWidget* window : QApplication::topLevelWidgets())
    count += qobject_cast<Form_About*>(window) != nullptr;
  EXPECT_EQ(count, 1);
  Form_About* shown = form_.aboutWindow();
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->isVisible());
  EXPECT_EQ(shown->windowTitle(), "About");
  EXPECT_EQ(shown->size(), QSize(285, 213));
  EXPECT_EQ(shown->windowModality(), Qt::NonModal);
  EXPECT_EQ(shown->parentWidget(), nullptr);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Form1Test, AZeroPivotShowsItsMessageOnceAndTheNextRunCompletes) {
  // Two panels of the NACA 0012 section lie on the chord: the system is singular.
  Choose("Option_NACA12");
  SetText("Text_NP", "2");
  TempDir dir;
  EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kZeroPivot);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].kind, Form1::MessageKind::kMsgBox);
  EXPECT_EQ(messages_[0].text, QString::fromUtf8(" sıfır diyagonal elemanı"));

  SetText("Text_NP", "8");
  EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
  EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(Form1Test, ARunErrorShowsItsMessageOnceAndTheNextRunCompletes) {
  SetText("Text_NP", "abc");
  TempDir dir;
  EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kFailed);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].kind, Form1::MessageKind::kRunError);
  EXPECT_FALSE(messages_[0].text.isEmpty());

  SetText("Text_NP", "8");
  EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_NE(ReadFile(dir.File("Output_PressCoeffs.txt")), "<missing>");
}

TEST_F(Form1Test, WithoutAHandlerEachMessageIsAModalBoxWithOneOkButton) {
  form_.SetMessageHandler({});
  form_.show();
  struct Seen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
  };
  std::vector<Seen> seen;
  const auto answer = [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;  // the test below then finds nothing seen
    seen.push_back(
        {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size())});
    box->button(QMessageBox::Ok)->click();
  };
  QTimer::singleShot(0, answer);
  CalculationWindow& window = form_;
  window.MsgBox(
      " s\xc4\xb1"
      "f\xc4\xb1r");
  QTimer::singleShot(0, answer);
  window.ShowRunError("Division by zero: test");

  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].title, "Velquin2DS");
  EXPECT_EQ(seen[0].text, QString::fromUtf8(" sıfır"));
  EXPECT_EQ(seen[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(seen[0].buttons, 1);
  EXPECT_EQ(seen[1].text, "Division by zero: test");
  EXPECT_EQ(seen[1].icon, QMessageBox::Warning);
  EXPECT_EQ(seen[1].buttons, 1);
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
