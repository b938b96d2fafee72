#include "shell/form1.h"

#include <QAction>
#include <QCheckBox>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <cstddef>
#include <iterator>

#include "display/matrix_plot.h"
#include "display/pressure_plot.h"
#include "shell/form_about.h"
#include "shell/picture_widget.h"

namespace velquin {

namespace {

// The layout is given in twips, 15 to a pixel.
constexpr int kTwipsPerPixel = 15;

QRect Twips(int left, int top, int width, int height) {
  return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
               height / kTwipsPerPixel);
}

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

}  // namespace

char LocaleDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  if (point.size() == 1 && point.at(0).unicode() < 256) {
    return static_cast<char>(point.at(0).unicode());
  }
  return '.';
}

Form1::Form1(QWidget* parent) : QMainWindow(parent), state_(std::make_unique<Module_Common>()) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Velquin2DS - Source panel method"));
  reports_ = ReportOptions{std::string(), LocaleDecimalSeparator()};
  // The captions were laid out for a narrow 8-point font: a slightly smaller,
  // semi-condensed face keeps them inside their controls at the same positions.
  QFont small = font();
  small.setPointSizeF(7.5);
  small.setStretch(QFont::SemiCondensed);
  setFont(small);

  QAction* about = menuBar()->addAction(QStringLiteral("About"));
  about->setObjectName(QStringLiteral("Mn_About"));
  connect(about, &QAction::triggered, this, &Form1::Mn_About_Click);

  CreateControls();
  SetTabOrder();

  connect(Command1_, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Option_ConstVortex_, &QRadioButton::toggled, this, [this](bool chosen) {
    if (chosen) Option_ConstVortex_Click();
  });
  connect(Option_PointVortex_, &QRadioButton::toggled, this, [this](bool chosen) {
    if (chosen) Option_PointVortex_Click();
  });

  // The client area below the menu bar is 9645 x 7350 twips.
  resize(9645 / kTwipsPerPixel, 7350 / kTwipsPerPixel + menuBar()->sizeHint().height());
  Form_Load();
}

Form1::~Form1() = default;

void Form1::CreateControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("Client"));
  setCentralWidget(client);

  Picture_Matrix_ = Place(new PictureWidget(200, 200, kWhite, client), "Picture_Matrix",
                          Twips(240, 4080, 3000, 3000));

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

  Picture_Pressure_ = Place(new PictureWidget(401, 233, kLightYellow, client), "Picture_Pressure",
                            Twips(3480, 3600, 6015, 3495));

  Frame1_ = NewFrame(client, "Frame1", Twips(240, 360, 2655, 1215));
  Option_NACA12_ = NewOption(QStringLiteral("NACA0012 airfoil"), Frame1_, "Option_NACA12",
                             Twips(240, 840, 1575, 255));
  Option_Circle_ =
      NewOption(QStringLiteral("Circle"), Frame1_, "Option_Circle", Twips(240, 480, 855, 375));
  Option_Circle_->setChecked(true);
  Text_NP_ = NewText(QStringLiteral("8"), Frame1_, "Text_NP", Twips(1680, 240, 375, 285));
  NewLabel(QStringLiteral("Number of panels ="), Frame1_, "Label1", Twips(240, 240, 1455, 255));

  Picture_Airfoil_ = Place(new PictureWidget(400, 200, kLightYellow, client), "Picture_Airfoil",
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
  last_outcome_ = velquin::Command1_Click(*state_, *this, reports_);
  Picture_Airfoil_->update();
  Picture_Pressure_->update();
  Picture_Matrix_->update();
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

Picture& Form1::Picture_Airfoil() {
  return Picture_Airfoil_->picture();
}
Picture& Form1::Picture_Pressure() {
  return Picture_Pressure_->picture();
}
Picture& Form1::Picture_Matrix() {
  return Picture_Matrix_->picture();
}

void Form1::Show_Pressure(double NP, const Vector& X, const Vector& Cu) {
  velquin::Show_Pressure(Picture_Pressure_->picture(), NP, X, Cu, state_->RefLength,
                         Option_Circle_->isChecked());
  Picture_Pressure_->update();
}

void Form1::Show_CoefficientMatrix(double N, const Matrix& X) {
  velquin::Show_CoefficientMatrix(Picture_Matrix_->picture(), N, X);
  Picture_Matrix_->update();
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
  QMessageBox box(kind == MessageKind::kRunError ? QMessageBox::Warning : QMessageBox::NoIcon,
                  QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, this);
  box.exec();
}

}  // namespace velquin
