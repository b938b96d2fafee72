// Form1: the main window. It holds the inputs of a calculation, the "Calculate" button,
// the three result pictures and the "About" menu entry, and serves the calculation run
// as its CalculationWindow: the run reads the controls, draws into the pictures and
// shows its messages through it.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "shell/calculation_run.h"
#include "shell/calculation_window.h"
#include "shell/module_common.h"
#include "shell/report_writer.h"

class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velquin {

class Form_About;
class PictureWidget;

class Form1 : public QMainWindow, public CalculationWindow {
  Q_OBJECT

 public:
  // The two kinds of message a run can show.
  enum class MessageKind {
    kMsgBox,    // MsgBox: plain text, one OK button, no icon
    kRunError,  // ShowRunError: a warning naming the error
  };
  // Receives every message instead of a message box. By default (no handler) each
  // message opens a modal QMessageBox and waits for OK; tests install a handler that
  // records the message and returns at once, so that a run never blocks on a box.
  using MessageHandler = std::function<void(MessageKind kind, const QString& text)>;

  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  // What the calculation run uses.
  ControlValues Controls() const override;
  Picture& Picture_Airfoil() override;
  Picture& Picture_Pressure() override;
  Picture& Picture_Matrix() override;
  void Show_Pressure(double NP, const Vector& X, const Vector& Cu) override;
  void Show_CoefficientMatrix(double N, const Matrix& X) override;
  void MsgBox(const std::string& text) override;
  void ShowRunError(const std::string& message) override;

  // An empty handler restores the message boxes.
  void SetMessageHandler(MessageHandler handler) { message_handler_ = std::move(handler); }

  Module_Common& state() { return *state_; }
  const ReportOptions& reportOptions() const { return reports_; }
  // The outcome of the last run, none before the first.
  std::optional<RunOutcome> lastOutcome() const { return last_outcome_; }
  // The About window, null until "About" is first chosen.
  Form_About* aboutWindow() const { return about_.get(); }

 public slots:
  // "Calculate": one calculation run with the current values of the controls, reports
  // written into the current directory.
  void Command1_Click();

 private slots:
  void Option_ConstVortex_Click();
  void Option_PointVortex_Click();
  void Mn_About_Click();

 private:
  void Form_Load();
  void CreateControls();
  void SetTabOrder();
  void ShowMessage(MessageKind kind, const QString& text);

  std::unique_ptr<Module_Common> state_;
  ReportOptions reports_;
  std::optional<RunOutcome> last_outcome_;
  MessageHandler message_handler_;
  std::unique_ptr<Form_About> about_;

  PictureWidget* Picture_Matrix_ = nullptr;
  PictureWidget* Picture_Pressure_ = nullptr;
  PictureWidget* Picture_Airfoil_ = nullptr;
  QFrame* Frame1_ = nullptr;
  QFrame* Frame2_ = nullptr;
  QFrame* Frame3_ = nullptr;
  QFrame* Frame4_ = nullptr;
  QLineEdit* Text_AlfaD_ = nullptr;
  QLineEdit* Text_Xv_ = nullptr;
  QLineEdit* Text_Yv_ = nullptr;
  QLineEdit* Text_NP_ = nullptr;
  QRadioButton* Option_ConstVortex_ = nullptr;
  QRadioButton* Option_PointVortex_ = nullptr;
  QRadioButton* Option_NACA12_ = nullptr;
  QRadioButton* Option_Circle_ = nullptr;
  QCheckBox* Check_Circulation_ = nullptr;
  QPushButton* Command1_ = nullptr;
};

// The decimal separator of the user's locale settings as the reports write it: the
// locale's own when it is a single Latin-1 character, else a point.
char LocaleDecimalSeparator();

}  // namespace velquin
