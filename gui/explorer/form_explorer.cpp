#include "gui/explorer/form_explorer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>
#include <cmath>

#include "base/run_error.h"
#include "geometry/body_names.h"
#include "geometry/geometry_file.h"
#include "gui/explorer/explorer_charts.h"
#include "gui/explorer/flow_view.h"
#include "gui/explorer/numbers_view.h"
#include "gui/explorer/view_export.h"

namespace velquin {
namespace {

constexpr int kTenths = 10;  // slider steps per degree

// The bodies offered in the list, by the names the command line gives them; any other
// name the command line knows can be typed in.
const char* const kBodyPresets[] = {"circle",
                                    "naca0012",
                                    "naca2412",
                                    "naca4415",
                                    "naca23012",
                                    "joukowski:-0.1:0.1",
                                    "karman-trefftz:-0.1:0.1:10"};

// What an entry of the body list stands for (its item data): a name to look up, a body
// handed over as it is (an index into given_bodies_), or the coordinate file loaded.
constexpr int kNamedBody = -1;
constexpr int kFileBody = -2;

QDoubleSpinBox* NewLengthBox(QWidget* parent, const char* name) {
  auto* box = new QDoubleSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setLocale(QLocale::c());  // a point as the separator, whatever the user's locale
  box->setRange(-10, 10);
  box->setDecimals(3);
  box->setSingleStep(0.01);
  box->setKeyboardTracking(false);
  return box;
}

}  // namespace

Form_Explorer::Form_Explorer(const RunInputs& inputs, QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("Form_Explorer"));
  setWindowTitle(QStringLiteral("Velquin2DS - Flow explorer"));
  setAttribute(Qt::WA_DeleteOnClose, false);

  auto* central = new QWidget(this);
  auto* layout = new QHBoxLayout(central);
  auto* panel = new QWidget(central);
  panel->setFixedWidth(270);
  CreateInputs(panel);
  layout->addWidget(panel);

  flow_view_ = new FlowView(central);
  pressure_chart_ = new PressureChart(central);
  polar_chart_ = new PolarChart(central);
  auto* charts = new QSplitter(Qt::Horizontal);
  charts->addWidget(pressure_chart_);
  charts->addWidget(polar_chart_);
  auto* views = new QSplitter(Qt::Vertical);
  views->addWidget(flow_view_);
  views->addWidget(charts);
  views->setStretchFactor(0, 3);
  views->setStretchFactor(1, 2);
  pressure_chart_->setMinimumHeight(280);
  polar_chart_->setMinimumHeight(280);
  layout->addWidget(views, 1);
  setCentralWidget(central);
  resize(1500, 950);
  // The flow about twice as wide as high (its domain's shape), the charts beneath.
  views->setSizes({540, 400});

  for (QWidget* view :
       std::initializer_list<QWidget*>{flow_view_, pressure_chart_, polar_chart_, numbers_view_}) {
    connect(view, &QWidget::customContextMenuRequested, this,
            [this, view](const QPoint& position) { ShowViewMenu(view, position); });
  }
  SetInputs(inputs);
  ConnectInputs();
  UpdateGeometry();
  angle_slider_->setFocus();
}

Form_Explorer::~Form_Explorer() = default;

void Form_Explorer::CreateInputs(QWidget* panel) {
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);

  auto* body_box = new QGroupBox(QStringLiteral("Body"), panel);
  auto* body_form = new QFormLayout(body_box);
  body_box_ = new QComboBox(body_box);
  body_box_->setObjectName(QStringLiteral("Combo_Body"));
  body_box_->setEditable(true);  // any name of the command line's --body
  body_box_->setInsertPolicy(QComboBox::NoInsert);
  body_box_->setToolTip(
      QString::fromStdString("A body as --body names it: " + BodyNamesSynopsis()));
  for (const char* name : kBodyPresets) body_box_->addItem(QString::fromLatin1(name), kNamedBody);
  file_button_ = new QPushButton(QStringLiteral("Coordinate file\u2026"), body_box);
  file_button_->setObjectName(QStringLiteral("Command_File"));
  panels_box_ = new QSpinBox(body_box);
  panels_box_->setObjectName(QStringLiteral("Spin_NP"));
  panels_box_->setRange(kExplorerPanelsMin, kExplorerPanelsMax);
  panels_box_->setKeyboardTracking(false);
  body_form->addRow(QStringLiteral("Body"), body_box_);
  body_form->addRow(QString(), file_button_);
  body_form->addRow(QStringLiteral("Panels"), panels_box_);
  column->addWidget(body_box);

  auto* vortex_box = new QGroupBox(QStringLiteral("Circulation"), panel);
  auto* vortex_column = new QVBoxLayout(vortex_box);
  circulation_box_ = new QCheckBox(QStringLiteral("Circulation"), vortex_box);
  circulation_box_->setObjectName(QStringLiteral("Check_Circulation"));
  constant_vortex_option_ =
      new QRadioButton(QStringLiteral("Constant vortex distribution"), vortex_box);
  constant_vortex_option_->setObjectName(QStringLiteral("Option_ConstVortex"));
  point_vortex_option_ = new QRadioButton(QStringLiteral("Point vortex"), vortex_box);
  point_vortex_option_->setObjectName(QStringLiteral("Option_PointVortex"));
  vortex_position_frame_ = new QWidget(vortex_box);
  auto* position_form = new QFormLayout(vortex_position_frame_);
  position_form->setContentsMargins(20, 0, 0, 0);
  xv_box_ = NewLengthBox(vortex_position_frame_, "Spin_Xv");
  yv_box_ = NewLengthBox(vortex_position_frame_, "Spin_Yv");
  position_form->addRow(QStringLiteral("Xv"), xv_box_);
  position_form->addRow(QStringLiteral("Yv"), yv_box_);
  for (QWidget* w : std::initializer_list<QWidget*>{circulation_box_, constant_vortex_option_,
                                                    point_vortex_option_, vortex_position_frame_}) {
    vortex_column->addWidget(w);
  }
  column->addWidget(vortex_box);

  auto* angle_box = new QGroupBox(QStringLiteral("Angle of attack (degrees)"), panel);
  auto* angle_row = new QHBoxLayout(angle_box);
  angle_slider_ = new QSlider(Qt::Horizontal, angle_box);
  angle_slider_->setObjectName(QStringLiteral("Slider_Alpha"));
  angle_slider_->setRange(static_cast<int>(kExplorerAlphaMin) * kTenths,
                          static_cast<int>(kExplorerAlphaMax) * kTenths);
  angle_slider_->setSingleStep(1);      // arrow keys: 0.1 degrees
  angle_slider_->setPageStep(kTenths);  // Page Up / Page Down: 1 degree
  angle_slider_->setFocusPolicy(Qt::StrongFocus);
  alpha_box_ = new QDoubleSpinBox(angle_box);
  alpha_box_->setObjectName(QStringLiteral("Spin_Alpha"));
  alpha_box_->setLocale(QLocale::c());
  alpha_box_->setRange(kExplorerAlphaMin, kExplorerAlphaMax);
  alpha_box_->setDecimals(1);
  alpha_box_->setSingleStep(0.1);
  angle_row->addWidget(angle_slider_, 1);
  angle_row->addWidget(alpha_box_);
  column->addWidget(angle_box);

  auto* numbers_box = new QGroupBox(QStringLiteral("Numbers"), panel);
  auto* numbers_column = new QVBoxLayout(numbers_box);
  numbers_view_ = new NumbersView(numbers_box);
  numbers_column->addWidget(numbers_view_);
  column->addWidget(numbers_box);

  problem_label_ = new QLabel(panel);
  problem_label_->setObjectName(QStringLiteral("Label_Problem"));
  problem_label_->setWordWrap(true);
  problem_label_->setStyleSheet(QStringLiteral("color: #b00000"));
  column->addWidget(problem_label_);
  column->addStretch(1);
}

void Form_Explorer::SetInputs(const RunInputs& inputs) {
  updating_inputs_ = true;
  SelectBody(inputs.body);
  panels_box_->setValue(static_cast<int>(std::lround(inputs.NP)));
  circulation_box_->setChecked(inputs.circulation);
  point_vortex_option_->setChecked(inputs.vortex == VortexModel::kPointVortex);
  constant_vortex_option_->setChecked(inputs.vortex != VortexModel::kPointVortex);
  xv_box_->setValue(inputs.Xv);
  yv_box_->setValue(inputs.Yv);
  const double alpha = std::clamp(inputs.alpha_degrees, kExplorerAlphaMin, kExplorerAlphaMax);
  angle_slider_->setValue(static_cast<int>(std::lround(alpha * kTenths)));
  alpha_box_->setValue(angle_slider_->value() / static_cast<double>(kTenths));
  updating_inputs_ = false;
  OnVortexChanged();
}

void Form_Explorer::ConnectInputs() {
  connect(body_box_, &QComboBox::currentIndexChanged, this, &Form_Explorer::OnBodyChanged);
  connect(body_box_->lineEdit(), &QLineEdit::editingFinished, this, &Form_Explorer::OnBodyChanged);
  connect(file_button_, &QPushButton::clicked, this, &Form_Explorer::file_button_Click);
  connect(panels_box_, &QSpinBox::valueChanged, this, &Form_Explorer::UpdateGeometry);
  for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
           circulation_box_, constant_vortex_option_, point_vortex_option_}) {
    connect(button, &QAbstractButton::toggled, this, [this](bool) {
      if (updating_inputs_) return;
      OnVortexChanged();
      UpdateGeometry();
    });
  }
  connect(xv_box_, &QDoubleSpinBox::valueChanged, this, &Form_Explorer::UpdateGeometry);
  connect(yv_box_, &QDoubleSpinBox::valueChanged, this, &Form_Explorer::UpdateGeometry);
  connect(angle_slider_, &QSlider::valueChanged, this, [this](int tenths) {
    updating_inputs_ = true;
    alpha_box_->setValue(tenths / static_cast<double>(kTenths));
    updating_inputs_ = false;
    UpdateFrame();
  });
  connect(alpha_box_, &QDoubleSpinBox::valueChanged, this, [this](double alpha) {
    if (!updating_inputs_) angle_slider_->setValue(static_cast<int>(std::lround(alpha * kTenths)));
  });
}

void Form_Explorer::SelectBody(const BodyPtr& body) {
  // The entry of that very body, else one whose name gives it, else a new entry.
  for (int k = 0; k < body_box_->count(); ++k) {
    const int kind = body_box_->itemData(k).toInt();
    std::string ignored;
    const bool same = kind >= 0
                          ? given_bodies_[static_cast<std::size_t>(kind)] == body
                          : kind == kNamedBody &&
                                BodyFromName(body_box_->itemText(k).toStdString(), ignored) == body;
    if (same) {
      body_box_->setCurrentIndex(k);
      body_text_ = body_box_->currentText();
      return;
    }
  }
  given_bodies_.push_back(body);
  body_box_->addItem(QString::fromStdString(body->Name()),
                     static_cast<int>(given_bodies_.size()) - 1);
  body_box_->setCurrentIndex(body_box_->count() - 1);
  body_text_ = body_box_->currentText();
}

void Form_Explorer::ShowSection(const SectionPoints& section, std::optional<int> NP) {
  section_ = section;
  section_panels_ = NP;
  const QString text = QStringLiteral("file: ") + QString::fromStdString(section.name);
  int index = body_box_->findData(kFileBody);
  if (index < 0) {
    body_box_->addItem(text, kFileBody);
    index = body_box_->count() - 1;
  }
  body_box_->setItemText(index, text);
  updating_inputs_ = true;
  body_box_->setCurrentIndex(index);
  updating_inputs_ = false;
  body_text_.clear();
  OnBodyChanged();
}

void Form_Explorer::file_button_Click() {
  QString path;
  if (open_path_chooser_) {
    path = open_path_chooser_();
  } else {
    path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Coordinate file"), QString(),
        QStringLiteral("Coordinate files (*.dat *.txt);;All files (*)"));
  }
  if (path.isEmpty()) return;
  std::string error;
  const std::optional<SectionPoints> section = ReadSectionFile(path.toStdString(), error);
  if (!section) {
    ShowProblem(QString::fromStdString(error));
    return;
  }
  ShowSection(*section);
}

BodyPtr Form_Explorer::SelectedBody(double NP, bool circulation, std::string& problem) const {
  const QString text = body_box_->currentText();
  const int index = body_box_->findText(text);
  const int kind = index < 0 ? kNamedBody : body_box_->itemData(index).toInt();
  if (kind >= 0) return given_bodies_[static_cast<std::size_t>(kind)];
  if (kind == kFileBody && section_) {
    // The file's own points at their own count, else the section re-panelled.
    const std::optional<double> panels =
        NP == section_->NodeCount() ? std::nullopt : std::optional<double>(NP);
    return SectionFileBody(*section_, panels, circulation, problem);
  }
  return BodyFromName(text.trimmed().toStdString(), problem);
}

void Form_Explorer::OnBodyChanged() {
  if (updating_inputs_ || body_box_->currentText() == body_text_) return;
  body_text_ = body_box_->currentText();
  std::string problem;
  const BodyPtr body = SelectedBody(panels_box_->value(), true, problem);
  if (!body) {
    ShowProblem(QString::fromStdString(problem));
    return;
  }
  // Sections lift through their circulation; the circle is shown without by default.
  const bool circle = body == CircleBody();
  updating_inputs_ = true;
  circulation_box_->setChecked(!circle);
  if (!circle) constant_vortex_option_->setChecked(true);
  // A coordinate file starts at the count asked for, else its own if the arrays hold it.
  if (body_box_->currentData().toInt() == kFileBody && section_) {
    if (section_panels_) {
      panels_box_->setValue(*section_panels_);
    } else if (section_->NodeCount() <= kExplorerPanelsMax) {
      panels_box_->setValue(section_->NodeCount());
    }
    section_panels_.reset();
  }
  // A count the body refuses (an odd one on a section whose halves mirror) moves up one.
  const int NP = panels_box_->value();
  if (!body->PanelCountProblem(NP).empty() && body->PanelCountProblem(NP + 1).empty() &&
      NP < kExplorerPanelsMax) {
    panels_box_->setValue(NP + 1);
  }
  updating_inputs_ = false;
  OnVortexChanged();
  UpdateGeometry();
}

void Form_Explorer::OnVortexChanged() {
  const bool circulation = circulation_box_->isChecked();
  constant_vortex_option_->setEnabled(circulation);
  point_vortex_option_->setEnabled(circulation);
  vortex_position_frame_->setVisible(circulation && point_vortex_option_->isChecked());
}

RunInputs Form_Explorer::Inputs() const {
  std::string ignored;
  return ReadInputs(ignored);
}

RunInputs Form_Explorer::ReadInputs(std::string& problem) const {
  RunInputs inputs;
  inputs.NP = panels_box_->value();
  inputs.circulation = circulation_box_->isChecked();
  inputs.body = SelectedBody(inputs.NP, inputs.circulation, problem);
  inputs.vortex =
      ChooseVortexModel(inputs.circulation, constant_vortex_option_->isChecked(),
                        point_vortex_option_->isChecked(), VortexModel::kConstantDistribution);
  inputs.Xv = xv_box_->value();
  inputs.Yv = yv_box_->value();
  inputs.alpha_degrees = Angle();
  return inputs;
}

void Form_Explorer::ShowInputs(const RunInputs& inputs) {
  SetInputs(inputs);
  UpdateGeometry();
}

double Form_Explorer::Angle() const {
  return angle_slider_->value() / static_cast<double>(kTenths);
}

void Form_Explorer::SetAngle(double alpha_degrees) {
  angle_slider_->setValue(static_cast<int>(std::lround(alpha_degrees * kTenths)));
}

QString Form_Explorer::Problem() const {
  return problem_label_->text();
}

void Form_Explorer::ShowProblem(const QString& message) {
  problem_label_->setText(message);
}

void Form_Explorer::UpdateGeometry() {
  if (updating_inputs_) return;
  std::string problem;
  const RunInputs inputs = ReadInputs(problem);
  if (!inputs.body) {
    ShowProblem(QString::fromStdString(problem));
    return;
  }
  try {
    geometry_ = MakeExplorerGeometry(inputs);
  } catch (const RunError& error) {
    // The last geometry stays on show, with the reason beneath the inputs.
    ShowProblem(QString::fromStdString(error.what()));
    return;
  }
  ShowProblem(QString());
  polar_chart_->SetGeometry(*geometry_);
  UpdateFrame();
}

void Form_Explorer::UpdateFrame() {
  if (!geometry_) return;
  ComputeExplorerFrame(*geometry_, Angle(), frame_);
  flow_view_->SetFrame(geometry_.get(), &frame_);
  pressure_chart_->SetFrame(*geometry_, frame_);
  polar_chart_->SetFrame(*geometry_, frame_);
  numbers_view_->SetFrame(frame_);
}

void Form_Explorer::ShowViewMenu(QWidget* view, const QPoint& position) {
  QMenu menu(this);
  menu.addAction(QStringLiteral("Save as PNG\u2026"), this,
                 [=] { SaveView(view, QStringLiteral("PNG")); });
  menu.addAction(QStringLiteral("Save as SVG\u2026"), this,
                 [=] { SaveView(view, QStringLiteral("SVG")); });
  if (view == pressure_chart_) {
    menu.addAction(QStringLiteral("Save data as CSV\u2026"), this,
                   [=] { SaveView(view, QStringLiteral("CSV")); });
  }
  menu.exec(view->mapToGlobal(position));
}

void Form_Explorer::SaveView(QWidget* view, const QString& kind) {
  const QString base = view == flow_view_        ? QStringLiteral("Flow")
                       : view == pressure_chart_ ? QStringLiteral("Cp")
                       : view == polar_chart_    ? QStringLiteral("Polar")
                                                 : QStringLiteral("Numbers");
  const QString suggestion = QDir::current().filePath(base + QLatin1Char('.') + kind.toLower());
  QString path;
  if (save_path_chooser_) {
    path = save_path_chooser_(suggestion, kind);
  } else {
    path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save as ") + kind, suggestion,
        kind + QStringLiteral(" files (*.") + kind.toLower() + QStringLiteral(")"));
  }
  if (path.isEmpty()) return;
  std::string error;
  if (kind == QStringLiteral("CSV")) {
    if (geometry_) error = SaveText(path, ExplorerPressureCsv(*geometry_, frame_));
  } else if (kind == QStringLiteral("SVG")) {
    error = SaveViewSvg(*view, view->size(), path);
  } else {
    error = SaveViewPng(*view, view->size(), path);
  }
  ShowProblem(QString::fromStdString(error));
}

}  // namespace velquin
