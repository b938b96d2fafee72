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
#include <QMenu>
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
  // Twip positions at 15 to a pixel, relative to the containing frame.
  EXPECT_EQ(Control<QWidget>("Text_Yv")->parentWidget()->objectName(), "Frame2");
  EXPECT_EQ(Control<QWidget>("Text_Yv")->geometry(), QRect(32, 24, 33, 19));
  EXPECT_EQ(Control<QWidget>("Picture_Pressure")->geometry(), QRect(232, 240, 401, 233));
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

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velquin2DS"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
