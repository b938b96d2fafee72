#include "gui/explorer/elements_box.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>
#include <utility>

#include "geometry/body_names.h"
#include "geometry/element_layout.h"
#include "gui/explorer/checked_spin_box.h"
#include "gui/explorer/explorer_text.h"

namespace velquin {
namespace {

// The ground height slider in hundredths of a chord, 0.02 to 2.
constexpr int kGroundSteps = 100;

CheckedDoubleSpinBox* NewBox(QWidget* parent, const char* name, double low, double high,
                             int decimals, double step, const QString& tip) {
  auto* box = new CheckedDoubleSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(low, high);
  box->setDecimals(decimals);
  box->setSingleStep(step);
  box->setToolTip(tip);
  return box;
}

QString ElementTitle(const ElementInput& e) {
  return QString::fromStdString(e.body ? e.body->Name() : e.section->name);
}

}  // namespace

ElementsBox::ElementsBox(QWidget* parent)
    : QGroupBox(QStringLiteral("Elements, flap and ground"), parent) {
  setObjectName(QStringLiteral("Group_Elements"));
  auto* column = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("List_Elements"));
  list_->setMaximumHeight(70);
  list_->setToolTip(
      QStringLiteral("The elements; element 1 is the body above. Select one to "
                     "place it."));
  column->addWidget(list_);

  auto* add_row = new QHBoxLayout;
  name_edit_ = new QLineEdit(this);
  name_edit_->setObjectName(QStringLiteral("Text_ElementName"));
  name_edit_->setPlaceholderText(QStringLiteral("naca23012"));
  name_edit_->setToolTip(QStringLiteral("A body's name to add as an element"));
  add_button_ = new QPushButton(QStringLiteral("Add"), this);
  add_button_->setObjectName(QStringLiteral("Button_AddElement"));
  add_button_->setToolTip(QStringLiteral("Add the body named on the left as a new element"));
  add_file_button_ = new QPushButton(QStringLiteral("File\u2026"), this);
  add_file_button_->setObjectName(QStringLiteral("Button_AddElementFile"));
  add_file_button_->setToolTip(QStringLiteral("Add the elements of a coordinate file"));
  remove_button_ = new QPushButton(QStringLiteral("Remove"), this);
  remove_button_->setObjectName(QStringLiteral("Button_RemoveElement"));
  remove_button_->setToolTip(QStringLiteral("Remove the selected element (not element 1)"));
  add_row->addWidget(name_edit_, 1);
  add_row->addWidget(add_button_);
  column->addLayout(add_row);
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(add_file_button_);
  file_row->addWidget(remove_button_);
  column->addLayout(file_row);

  auto* place = new QHBoxLayout;
  x_box_ = NewBox(this, "Spin_ElementX", -5, 5, 3, 0.01, QStringLiteral("x of the leading edge"));
  y_box_ = NewBox(this, "Spin_ElementY", -5, 5, 3, 0.01, QStringLiteral("y of the leading edge"));
  angle_box_ =
      NewBox(this, "Spin_ElementAngle", -90, 90, 2, 0.5,
             QStringLiteral("Angle about the leading edge, degrees, trailing edge down +"));
  chord_box_ = NewBox(this, "Spin_ElementChord", 0.01, 10, 3, 0.01, QStringLiteral("Chord"));
  chord_box_->setValue(1);
  auto* turn = new QHBoxLayout;
  for (auto [label, box] : {std::pair{"x", x_box_}, std::pair{"y", y_box_},
                            std::pair{"angle", angle_box_}, std::pair{"chord", chord_box_}}) {
    QHBoxLayout* row = box == x_box_ || box == y_box_ ? place : turn;
    row->addWidget(new QLabel(QString::fromUtf8(label), this));
    row->addWidget(box, 1);
  }
  column->addLayout(place);
  column->addLayout(turn);

  auto* flap_row = new QHBoxLayout;
  flap_box_ = new QCheckBox(QStringLiteral("Flap"), this);
  flap_box_->setObjectName(QStringLiteral("Check_Flap"));
  flap_box_->setToolTip(QStringLiteral("A plain flap on element 1, the body above"));
  hinge_box_ = NewBox(this, "Spin_FlapHinge", kFlapHingeMin, kFlapHingeMax, 3, 0.01,
                      QStringLiteral("The hinge, as a fraction of the chord"));
  hinge_box_->setValue(0.75);
  flap_slider_ = new QSlider(Qt::Horizontal, this);
  flap_slider_->setObjectName(QStringLiteral("Slider_Flap"));
  flap_slider_->setRange(-static_cast<int>(kFlapDegreesMax), static_cast<int>(kFlapDegreesMax));
  flap_slider_->setToolTip(QStringLiteral("The flap angle, degrees, trailing edge down +"));
  flap_label_ = new QLabel(QStringLiteral("0\u00B0"), this);
  flap_label_->setMinimumWidth(36);
  flap_row->addWidget(flap_box_);
  flap_row->addWidget(new QLabel(QStringLiteral("hinge"), this));
  flap_row->addWidget(hinge_box_);
  column->addLayout(flap_row);
  auto* flap_angle_row = new QHBoxLayout;
  flap_angle_row->addWidget(flap_slider_, 1);
  flap_angle_row->addWidget(flap_label_);
  column->addLayout(flap_angle_row);

  auto* ground_row = new QHBoxLayout;
  ground_box_ = new QCheckBox(QStringLiteral("Ground"), this);
  ground_box_->setObjectName(QStringLiteral("Check_Ground"));
  ground_box_->setToolTip(QStringLiteral(
      "A ground plane below the quarter chord. The configuration turns with \u03B1 above it, "
      "so every angle is assembled and solved on its own."));
  ground_slider_ = new QSlider(Qt::Horizontal, this);
  ground_slider_->setObjectName(QStringLiteral("Slider_Ground"));
  ground_slider_->setRange(2, 2 * kGroundSteps);
  ground_slider_->setValue(30);
  ground_slider_->setToolTip(QStringLiteral("The height of the quarter chord above the ground"));
  ground_label_ = new QLabel(QStringLiteral("h = 0.30"), this);
  ground_label_->setMinimumWidth(56);
  ground_row->addWidget(ground_box_);
  ground_row->addWidget(ground_slider_, 1);
  ground_row->addWidget(ground_label_);
  column->addLayout(ground_row);
  polar_button_ = new QPushButton(QStringLiteral("Polar per angle\u2026"), this);
  polar_button_->setObjectName(QStringLiteral("Button_GroundPolar"));
  polar_button_->setToolTip(QStringLiteral(
      "Above the ground the polar is computed per angle: one assembly and solution each"));
  polar_button_->setEnabled(false);
  column->addWidget(polar_button_);

  connect(add_button_, &QPushButton::clicked, this, &ElementsBox::OnAddName);
  connect(name_edit_, &QLineEdit::returnPressed, this, &ElementsBox::OnAddName);
  connect(add_file_button_, &QPushButton::clicked, this, &ElementsBox::OnAddFile);
  connect(remove_button_, &QPushButton::clicked, this, &ElementsBox::OnRemove);
  connect(list_, &QListWidget::currentRowChanged, this, &ElementsBox::ShowSelected);
  for (QDoubleSpinBox* box : {x_box_, y_box_, angle_box_, chord_box_}) {
    connect(box, &QDoubleSpinBox::valueChanged, this, &ElementsBox::OnPlacementEdited);
  }
  // A value outside a box's range is refused with the box's value kept, and said.
  const std::pair<CheckedDoubleSpinBox*, QString> named[] = {
      {x_box_, QStringLiteral("The element's x")},
      {y_box_, QStringLiteral("The element's y")},
      {angle_box_, QStringLiteral("The element's angle")},
      {chord_box_, QStringLiteral("The element's chord")},
      {hinge_box_, QStringLiteral("The flap hinge")}};
  for (const auto& [box, what] : named) {
    box->SetOutOfRangeHandler([this, box = box, what = what](double value) {
      if (!refused_) return;
      refused_(QStringLiteral("%1 %2 lies outside the range %3 to %4; it stays at %5.")
                   .arg(what, TypedText(value), TypedText(box->minimum()),
                        TypedText(box->maximum()), TypedText(box->value())));
    });
  }
  connect(flap_box_, &QCheckBox::toggled, this, &ElementsBox::Changed);
  connect(hinge_box_, &QDoubleSpinBox::valueChanged, this, &ElementsBox::Changed);
  connect(flap_slider_, &QSlider::valueChanged, this, &ElementsBox::Changed);
  connect(ground_box_, &QCheckBox::toggled, this, &ElementsBox::Changed);
  connect(ground_slider_, &QSlider::valueChanged, this, &ElementsBox::Changed);
  connect(polar_button_, &QPushButton::clicked, this, [this] {
    if (ground_polar_) ground_polar_();
  });
  first_name_ = QStringLiteral("the body above");
  ShowList();
}

std::vector<ElementInput> ElementsBox::ExtraElements() const {
  std::vector<ElementInput> elements;
  for (const Entry& e : extra_) {
    ElementInput input = e.input;
    input.placement = e.placement;
    elements.push_back(input);
  }
  return elements;
}

std::optional<Placement> ElementsBox::FirstPlacement() const {
  if (first_placement_ == Placement()) return std::nullopt;
  return first_placement_;
}

std::optional<Flap> ElementsBox::FirstFlap() const {
  if (!flap_box_->isChecked()) return std::nullopt;
  return Flap{hinge_box_->value(), static_cast<double>(flap_slider_->value())};
}

std::optional<double> ElementsBox::GroundHeight() const {
  if (!ground_box_->isChecked()) return std::nullopt;
  return ground_slider_->value() / static_cast<double>(kGroundSteps);
}

bool ElementsBox::General() const {
  return !extra_.empty() || FirstPlacement() || FirstFlap() || GroundHeight();
}

void ElementsBox::SetProblem(const ProblemInputs& inputs) {
  updating_ = true;
  extra_.clear();
  first_placement_ = Placement();
  flap_box_->setChecked(false);
  for (std::size_t k = 0; k < inputs.elements.size(); ++k) {
    const ElementInput& e = inputs.elements[k];
    if (k == 0) {
      if (e.placement) first_placement_ = *e.placement;
      if (e.flap) {
        flap_box_->setChecked(true);
        hinge_box_->setValue(e.flap->hinge);
        flap_slider_->setValue(static_cast<int>(std::lround(e.flap->degrees)));
      }
      continue;
    }
    Entry entry{e, e.placement.value_or(Placement())};
    entry.input.placement.reset();
    extra_.push_back(entry);
  }
  ground_box_->setChecked(inputs.ground_height.has_value());
  if (inputs.ground_height) {
    ground_slider_->setValue(static_cast<int>(std::lround(*inputs.ground_height * kGroundSteps)));
  }
  updating_ = false;
  ShowList();
}

bool ElementsBox::AddByName(const std::string& name, std::string& error) {
  ElementInput input;
  input.body = BodyFromTypedName(name, error);
  if (!input.body) return false;
  // A new element starts behind the last one, as a flap would sit.
  Placement placement{1.05, -0.05, 10, 0.3};
  if (!extra_.empty()) {
    const Placement& last = extra_.back().placement;
    placement = {last.x + last.chord + 0.05, last.y - 0.05, last.degrees + 10, 0.3 * last.chord};
  }
  extra_.push_back({input, placement});
  ShowList();
  list_->setCurrentRow(list_->count() - 1);
  Changed();
  return true;
}

void ElementsBox::SetFirstName(const QString& name) {
  first_name_ = name;
  if (list_->count() > 0) list_->item(0)->setText(QStringLiteral("1: ") + name);
}

void ElementsBox::ShowList() {
  const bool was = updating_;
  updating_ = true;
  const int row = list_->currentRow();
  list_->clear();
  list_->addItem(QStringLiteral("1: ") + first_name_);
  for (std::size_t k = 0; k < extra_.size(); ++k) {
    list_->addItem(QStringLiteral("%1: ").arg(k + 2) + ElementTitle(extra_[k].input));
  }
  list_->setCurrentRow(std::clamp(row, 0, list_->count() - 1));
  updating_ = was;
  ShowSelected();
}

void ElementsBox::ShowSelected() {
  const int row = std::max(list_->currentRow(), 0);
  // Element 1 is the body above: it goes with the body box, not with Remove.
  remove_button_->setEnabled(row >= 1);
  const Placement& p =
      row == 0 ? first_placement_ : extra_[static_cast<std::size_t>(row - 1)].placement;
  const bool was = updating_;
  updating_ = true;
  x_box_->setValue(p.x);
  y_box_->setValue(p.y);
  angle_box_->setValue(p.degrees);
  chord_box_->setValue(p.chord);
  updating_ = was;
}

void ElementsBox::OnPlacementEdited() {
  if (updating_) return;
  const int row = std::max(list_->currentRow(), 0);
  Placement& p = row == 0 ? first_placement_ : extra_[static_cast<std::size_t>(row - 1)].placement;
  p = {x_box_->value(), y_box_->value(), angle_box_->value(), chord_box_->value()};
  Changed();
}

void ElementsBox::OnAddName() {
  std::string error;
  const std::string name = name_edit_->text().trimmed().toStdString();
  if (name.empty()) {
    error_ = QStringLiteral("Type a body's name to add, such as naca23012.");
  } else if (!AddByName(name, error)) {
    error_ = QString::fromStdString(error);
  } else {
    error_.clear();
    return;
  }
  if (changed_) changed_();
}

void ElementsBox::OnAddFile() {
  if (!choose_file_) return;
  const QString path = choose_file_();
  if (path.isEmpty()) return;
  std::string error;
  const std::optional<std::vector<SectionPoints>> sections =
      ReadElementFile(path.toStdString(), error);
  if (!sections) {
    error_ = QString::fromStdString(error);
    if (changed_) changed_();
    return;
  }
  error_.clear();
  for (std::size_t k = 0; k < sections->size(); ++k) {
    const SectionPoints& section = (*sections)[k];
    ElementInput input;
    input.section = section;
    input.file = path.toStdString();
    input.file_element = static_cast<int>(k) + 1;
    // The file's own place: its trailing edge and chord, as the batch run keeps them.
    const Placement placement{section.file_x_te - section.file_chord, section.file_y_te, 0,
                              section.file_chord};
    extra_.push_back({input, placement});
  }
  ShowList();
  list_->setCurrentRow(list_->count() - 1);
  Changed();
}

void ElementsBox::OnRemove() {
  const int row = list_->currentRow();
  if (row < 1 || row > static_cast<int>(extra_.size())) return;
  const auto k = static_cast<std::size_t>(row - 1);
  extra_.erase(extra_.begin() + static_cast<std::ptrdiff_t>(k));
  ShowList();
  Changed();
}

void ElementsBox::Changed() {
  flap_label_->setText(QStringLiteral("%1\u00B0").arg(flap_slider_->value()));
  ground_label_->setText(QStringLiteral("h = ") +
                         FixedText(ground_slider_->value() / static_cast<double>(kGroundSteps), 2));
  polar_button_->setEnabled(ground_box_->isChecked());
  if (updating_) return;
  error_.clear();
  if (changed_) changed_();
}

}  // namespace velquin
