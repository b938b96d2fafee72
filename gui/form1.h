// Form1: the main window. It holds the inputs of a calculation, the "Calculate" button,
// the three result pictures and the "About" menu entry, and serves the calculation run
// as its CalculationWindow: the run reads the controls, draws into the pictures and
// shows its messages through it. Beneath the controls, a status line shows the lift,
// moment and closure check of the last completed run; each picture saves itself as a
// PNG file from its context menu.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/calculation_run.h"
#include "app/control_values.h"
#include "base/module_common.h"
#include "base/report_writer.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velquin {

class Form_About;
class Form_Explorer;
class PictureWidget;

class Form1 : public QMainWindow, public RunWindow {
  Q_OBJECT

 public:
  // The two kinds of message a run can show.
  enum class MessageKind {
    kMsgBox,     // MsgBox: plain text, one OK button, no icon
    kRunError,   // ShowRunError: a warning naming the error
    kSaveError,  // a picture that could not be saved: a warning naming the file and why
  };
  // Receives every message instead of a message box. By default (no handler) each
  // message opens a modal QMessageBox and waits for OK; tests install a handler that
  // records the message and returns at once, so that a run never blocks on a box.
  using MessageHandler = std::function<void(MessageKind kind, const QString& text)>;
  // Chooses the file a picture is saved to, given the suggested path (the picture's
  // name in the current directory); an empty answer cancels. By default (no chooser) a
  // modal file dialog asks; tests install a chooser that answers at once.
  using SavePathChooser = std::function<QString(const QString& suggestion)>;

  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  // What the calculation run uses.
  ControlValues Controls() const override;
  // Sets the controls, e.g. from the command line, so that "Calculate" runs them. The
  // window's two bodies only (Other_Body is not shown).
  void SetControls(const ControlValues& controls);
  Picture& PictureOf(PictureId id) override;
  void Repaint(PictureId id) override;
  void MsgBox(const std::string& text) override;
  void ShowRunError(const std::string& message) override;

  // An empty handler restores the message boxes.
  void SetMessageHandler(MessageHandler handler) { message_handler_ = std::move(handler); }
  // An empty chooser restores the file dialog.
  void SetSavePathChooser(SavePathChooser chooser) { save_path_chooser_ = std::move(chooser); }

  const ReportOptions& reportOptions() const { return reports_; }
  // The outcome of the last run, none before the first.
  std::optional<RunOutcome> lastOutcome() const { return last_outcome_; }
  // The About window, null until "About" is first chosen.
  Form_About* aboutWindow() const { return about_.get(); }
  // The flow explorer, null until "Explorer" is first chosen.
  Form_Explorer* explorerWindow() const { return explorer_.get(); }

 public slots:
  // "Calculate": one calculation run with the current values of the controls, reports
  // written into the current directory.
  void Command1_Click();

 private slots:
  void Option_ConstVortex_Click();
  void Option_PointVortex_Click();
  void Mn_About_Click();
  void Mn_Explorer_Click();

 private:
  void Form_Load();
  void CreateControls();
  void SetTabOrder();
  void ShowMessage(MessageKind kind, const QString& text);
  // Asks for a file and saves the picture there at scale_factor times its size.
  void SavePicture(PictureWidget& picture, int scale_factor);
  QString AskSavePath(const QString& suggestion, int scale_factor);
  PictureWidget* PictureWidgetOf(PictureId id) const;

  std::unique_ptr<Module_Common> state_;
  ReportOptions reports_;
  std::optional<RunOutcome> last_outcome_;
  MessageHandler message_handler_;
  SavePathChooser save_path_chooser_;
  std::unique_ptr<Form_About> about_;
  std::unique_ptr<Form_Explorer> explorer_;

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
  QLabel* Label_Status_ = nullptr;
};

}  // namespace velquin
