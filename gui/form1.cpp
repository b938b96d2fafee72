#include "gui/form1.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QStatusBar>
#include <charconv>
#include <cstddef>
#include <iterator>

#include "app/run_session.h"
#include "app/status_text.h"
#include "base/user_locale.h"
#include "gui/explorer/form_explorer.h"
#include "gui/form_about.h"
#include "gui/picture_widget.h"
#include "gui/twips.h"

namespace velquin {

namespace {

// Sets the name and the position of a control.
template <typename Widget>
Widget* Place(Widget* widget, const char* name, const QRect& geometry) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(geometry);
  return widget;
}

// A frame without caption: an etched box around its controls.
QFrame* NewFrame(QWidget* parent, const char* name, const QRect& geometry) {
  auto* frame = Place(new QFrame(parent), name, geometry);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  return frame;
}

// Labels are painted on their container, underneath the controls that overlap them.
QLabel* NewLabel(const QString& text, QWidget* parent, const char* name, const QRect& geometry) {
  auto* label = Place(new QLabel(text, parent), name, geometry);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->lower();
  return label;
}

QLineEdit* NewText(const QString& text, QWidget* parent, const char* name, const QRect& geometry) {
  return Place(new QLineEdit(text, parent), name, geometry);
}

QRadioButton* NewOption(const QString& caption, QWidget* parent, const char* name,
                        const QRect& geometry) {
  // Option buttons with the same parent exclude each other; none needs to be chosen.
  auto* option = Place(new QRadioButton(caption, parent), name, geometry);
  option->setAutoExclusive(true);
  return option;
}

PictureWidget* NewPicture(PictureId id, QWidget* parent) {
  const PictureEntry& entry = PictureEntryOf(id);
  return new PictureWidget(entry.width, entry.height, entry.background, parent);
}

}  // namespace

Form1::Form1(QWidget* parent) : QMainWindow(parent), state_(std::make_unique<Module_Common>()) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Velquin2DS - Source panel method"));
  reports_ = ReportOptions{std::string(), UserDecimalSeparator()};
  // The captions were laid out for a narrow 8-point font: a slightly smaller,
  // semi-condensed face keeps them inside their controls at the same positions.
  QFont small = font();
  small.setPointSizeF(7.5);
  small.setStretch(QFont::SemiCondensed);
  setFont(small);

  QAction* about = menuBar()->addAction(QStringLiteral("About"));
  about->setObjectName(QStringLiteral("Mn_About"));
  connect(about, &QAction::triggered, this, &Form1::Mn_About_Click);
  QAction* explorer = menuBar()->addAction(QStringLiteral("Explorer"));
  explorer->setObjectName(QStringLiteral("Mn_Explorer"));
  connect(explorer, &QAction::triggered, this, &Form1::Mn_Explorer_Click);

  CreateControls();
  SetTabOrder();

  // The status line lies beneath the client area, which keeps its size.
  Label_Status_ = new QLabel(this);
  Label_Status_->setObjectName(QStringLiteral("Label_Status"));
  Label_Status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // The text starts in line with the frames above it (the status bar adds 2 pixels).
  Label_Status_->setContentsMargins(240 / kTwipsPerPixel - 2, 3, 0, 3);
  Label_Status_->setToolTip(
      QStringLiteral("Lift coefficient from the circulation (Kutta\u2013Joukowski) and from the "
                     "surface pressure, pitching moment about the quarter chord, and the net "
                     "source output \u03A3Q\u00B7S (zero for a sound solution)"));
  statusBar()->setSizeGripEnabled(false);
  statusBar()->addWidget(Label_Status_, 1);

  connect(Command1_, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Option_ConstVortex_, &QRadioButton::toggled, this, [this](bool chosen) {
    if (chosen) Option_ConstVortex_Click();
  });
  connect(Option_PointVortex_, &QRadioButton::toggled, this, [this](bool chosen) {
    if (chosen) Option_PointVortex_Click();
  });
  for (PictureWidget* picture : {Picture_Airfoil_, Picture_Pressure_, Picture_Matrix_}) {
    connect(picture, &PictureWidget::saveRequested, this,
            [this, picture](int scale_factor) { SavePicture(*picture, scale_factor); });
  }

  // The client area between the menu bar and the status line is 9645 x 7350 twips.
  resize(9645 / kTwipsPerPixel,
         7350 / kTwipsPerPixel + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
  Form_Load();
}

Form1::~Form1() = default;

void Form1::CreateControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("Client"));
  setCentralWidget(client);

  Picture_Matrix_ =
      Place(NewPicture(PictureId::kMatrix, client), "Picture_Matrix", Twips(240, 4080, 3000, 3000));

  Frame4_ = NewFrame(client, "Frame4", Twips(240, 1680, 1215, 615));
  Text_AlfaD_ = NewText(QStringLiteral("0"), Frame4_, "Text_AlfaD", Twips(600, 240, 375, 285));
  NewLabel(QStringLiteral("\u03B1 ="), Frame4_, "Label2", Twips(240, 240, 255, 255));

  Frame3_ = NewFrame(client, "Frame3", Twips(240, 2400, 3015, 1455));
  Frame2_ = NewFrame(Frame3_, "Frame2", Twips(1680, 240, 1215, 735));
  Text_Yv_ = NewText(QStringLiteral("0"), Frame2_, "Text_Yv", Twips(480, 360, 495, 285));
  Text_Xv_ = NewText(QStringLiteral("0.5"), Frame2_, "Text_Xv", Twips(480, 120, 495, 285));
  NewLabel(QStringLiteral("Yv ="), Frame2_, "Label4", Twips(120, 360, 495, 255));
  NewLabel(QStringLiteral("Xv ="), Frame2_, "Label3", Twips(120, 120, 375, 255));
  Option_ConstVortex_ = NewOption(QStringLiteral("Constant vortex distribution"), Frame3_,
                                  "Option_ConstVortex", Twips(120, 1080, 2415, 255));
  Option_PointVortex_ = NewOption(QStringLiteral("Point vortex"), Frame3_, "Option_PointVortex",
                                  Twips(120, 720, 1215, 255));
  Check_Circulation_ = Place(new QCheckBox(QStringLiteral("Circulation"), Frame3_),
                             "Check_Circulation", Twips(120, 240, 1095, 255));

  Picture_Pressure_ = Place(NewPicture(PictureId::kPressure, client), "Picture_Pressure",
                            Twips(3480, 3600, 6015, 3495));

  Frame1_ = NewFrame(client, "Frame1", Twips(240, 360, 2655, 1215));
  Option_NACA12_ = NewOption(QStringLiteral("NACA0012 airfoil"), Frame1_, "Option_NACA12",
                             Twips(240, 840, 1575, 255));
  Option_Circle_ =
      NewOption(QStringLiteral("Circle"), Frame1_, "Option_Circle", Twips(240, 480, 855, 375));
  Option_Circle_->setChecked(true);
  Text_NP_ = NewText(QStringLiteral("8"), Frame1_, "Text_NP", Twips(1680, 240, 375, 285));
  NewLabel(QStringLiteral("Number of panels ="), Frame1_, "Label1", Twips(240, 240, 1455, 255));

  Picture_Airfoil_ = Place(NewPicture(PictureId::kAirfoil, client), "Picture_Airfoil",
                           Twips(3480, 360, 6000, 3000));

  Command1_ = Place(new QPushButton(QStringLiteral("Calculate"), client), "Command1",
                    Twips(1560, 1800, 1335, 495));
}

void Form1::SetTabOrder() {
  // The controls that take the focus, in tab order; labels, frames and pictures do not.
  QWidget* const order[] = {Command1_,           Text_NP_,           Option_Circle_,
                            Option_NACA12_,      Check_Circulation_, Option_PointVortex_,
                            Option_ConstVortex_, Text_Xv_,           Text_Yv_,
                            Text_AlfaD_};
  for (std::size_t k = 1; k < std::size(order); ++k) setTabOrder(order[k - 1], order[k]);
  Command1_->setFocus();
}

void Form1::Form_Load() {
  velquin::Form_Load(*state_);
}

void Form1::Command1_Click() {
  // Cleared first, so that no message of this run stands beside the last run's results.
  Label_Status_->clear();
  const RunRecord run = RunSession(*state_, *this, reports_);
  last_outcome_ = run.outcome;
  Label_Status_->setText(QString::fromStdString(StatusLineText(run)));
}

void Form1::Option_ConstVortex_Click() {
  Frame2_->hide();
}

void Form1::Option_PointVortex_Click() {
  Frame2_->show();
}

void Form1::Mn_About_Click() {
  // The one About window has no owner and does not block this one.
  if (!about_) about_ = std::make_unique<Form_About>();
  about_->show();
  about_->raise();
  about_->activateWindow();
}

void Form1::Mn_Explorer_Click() {
  // One explorer, shown again with the inputs of the moment.
  const RunInputs inputs = ExplorerInputsFromControls(Controls());
  if (!explorer_) {
    explorer_ = std::make_unique<Form_Explorer>(inputs);
  } else {
    explorer_->ShowInputs(inputs);
  }
  explorer_->show();
  explorer_->raise();
  explorer_->activateWindow();
}

void Form1::SetControls(const ControlValues& controls) {
  Text_NP_->setText(QString::fromStdString(controls.Text_NP));
  Text_AlfaD_->setText(QString::fromStdString(controls.Text_AlfaD));
  Text_Xv_->setText(QString::fromStdString(controls.Text_Xv));
  Text_Yv_->setText(QString::fromStdString(controls.Text_Yv));
  Check_Circulation_->setChecked(controls.Check_Circulation == 1);
  // Option buttons exclude each other only when one of them is chosen: turning one off
  // needs the group's exclusivity lifted for a moment.
  const auto set_option = [](QRadioButton* option, bool chosen) {
    option->setAutoExclusive(false);
    option->setChecked(chosen);
    option->setAutoExclusive(true);
  };
  set_option(Option_Circle_, controls.Option_Circle);
  set_option(Option_NACA12_, controls.Option_NACA12);
  set_option(Option_PointVortex_, controls.Option_PointVortex);
  set_option(Option_ConstVortex_, controls.Option_ConstVortex);
}

ControlValues Form1::Controls() const {
  ControlValues values;
  values.Text_NP = Text_NP_->text().toStdString();
  values.Text_AlfaD = Text_AlfaD_->text().toStdString();
  values.Text_Xv = Text_Xv_->text().toStdString();
  values.Text_Yv = Text_Yv_->text().toStdString();
  values.Check_Circulation = Check_Circulation_->isChecked() ? 1 : 0;
  values.Option_Circle = Option_Circle_->isChecked();
  values.Option_NACA12 = Option_NACA12_->isChecked();
  values.Option_ConstVortex = Option_ConstVortex_->isChecked();
  values.Option_PointVortex = Option_PointVortex_->isChecked();
  return values;
}

PictureWidget* Form1::PictureWidgetOf(PictureId id) const {
  switch (id) {
    case PictureId::kAirfoil:
      return Picture_Airfoil_;
    case PictureId::kPressure:
      return Picture_Pressure_;
    case PictureId::kMatrix:
      return Picture_Matrix_;
  }
  return Picture_Airfoil_;
}

Picture& Form1::PictureOf(PictureId id) {
  return PictureWidgetOf(id)->picture();
}

void Form1::Repaint(PictureId id) {
  PictureWidgetOf(id)->update();
}

void Form1::MsgBox(const std::string& text) {
  ShowMessage(MessageKind::kMsgBox, QString::fromStdString(text));
}

void Form1::ShowRunError(const std::string& message) {
  ShowMessage(MessageKind::kRunError, QString::fromStdString(message));
}

void Form1::ShowMessage(MessageKind kind, const QString& text) {
  if (message_handler_) {
    message_handler_(kind, text);
    return;
  }
  // No caption of its own: the application's name stands in the title.
  QMessageBox box(kind == MessageKind::kMsgBox ? QMessageBox::NoIcon : QMessageBox::Warning,
                  QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, this);
  box.exec();
}

void Form1::SavePicture(PictureWidget& picture, int scale_factor) {
  const QString name = picture.objectName() +
                       (scale_factor == 1 ? QString() : QStringLiteral("_x%1").arg(scale_factor)) +
                       QStringLiteral(".png");
  const QString suggestion = QDir::current().filePath(name);
  const QString path =
      save_path_chooser_ ? save_path_chooser_(suggestion) : AskSavePath(suggestion, scale_factor);
  if (path.isEmpty()) return;
  const std::string error = picture.picture().Save(path, scale_factor);
  if (!error.empty()) ShowMessage(MessageKind::kSaveError, QString::fromStdString(error));
}

QString Form1::AskSavePath(const QString& suggestion, int scale_factor) {
  QFileDialog dialog(this,
                     scale_factor == 1 ? QStringLiteral("Save picture as")
                                       : QStringLiteral("Save picture at double size"),
                     suggestion, QStringLiteral("PNG images (*.png)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("png"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace velquin
