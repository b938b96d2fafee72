#include "gui/explorer/numbers_view.h"

#include <QGridLayout>
#include <QLabel>
#include <charconv>
#include <utility>

#include "gui/explorer/explorer_text.h"

namespace velquin {
namespace {

// The exact rows follow the computed ones they stand beside; "\u2013" where the body
// has no exact solution.
const char* const kRows[] = {"\u03B1",       "Cl (circulation)", "Cl (pressure)", "Cl (exact)",
                             "Cm c/4",       "Cm c/4 (exact)",   "Cp min",        "x of Cp min",
                             "x stagnation", "\u03A3Q\u00B7S"};

// The boundary layers' rows, shown with a Reynolds number, below the rows of the elements.
const char* const kViscousRows[] = {"Cl (viscous)", "Cd",       "Cl/Cd",      "xtr top",
                                    "xtr bottom",   "xsep top", "xsep bottom"};
constexpr int kViscousFirstRow = 40;
// The last four viscous rows are the first element's transition and separation; where
// there are several elements, three rows of each element's stand for them.
constexpr int kFirstElementOnlyRows = 4;
constexpr int kRowsPerElement = 3;
constexpr int kElementViscousFirstRow = 48;
constexpr int kNoteRow = 100;

QString Fixed(double value, int decimals) {
  return FixedText(value, decimals);
}

QString Scientific(double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 2);
  return QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer))
      .replace(QLatin1Char('-'), QChar(0x2212));
}

QString Optional(const std::optional<double>& value) {
  return value ? Fixed(*value, 4) : QStringLiteral("\u2013");
}

}  // namespace

NumbersView::NumbersView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("View_Numbers"));
  setContextMenuPolicy(Qt::CustomContextMenu);
  setAutoFillBackground(true);
  setToolTip(QStringLiteral("The numbers at the current angle. Right click: copy or save."));
  auto* layout = new QGridLayout(this);
  layout->setColumnStretch(1, 1);
  int row = 0;
  for (const char* name : kRows) {
    const auto [label, value] = AddRow(QString::fromUtf8(name), row, true);
    value->setText(QStringLiteral("\u2013"));
    names_.append(label);
    values_.append(value);
    ++row;
  }
  fixed_rows_ = row;
  row = kViscousFirstRow;
  for (const char* name : kViscousRows) {
    const auto [label, value] = AddRow(QString::fromUtf8(name), row, true);
    label->setVisible(false);
    value->setVisible(false);
    viscous_names_.append(label);
    viscous_values_.append(value);
    ++row;
  }
  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("Label_ViscousNote"));
  note_->setWordWrap(true);
  note_->setStyleSheet(QStringLiteral("color: #b00000"));
  note_->setVisible(false);
  layout->addWidget(note_, kNoteRow, 0, 1, 2);
  layout->setRowStretch(kNoteRow + 1, 1);
}

std::pair<QLabel*, QLabel*> NumbersView::AddRow(const QString& name, int row, bool bold) {
  auto* label = new QLabel(name, this);
  auto* value = new QLabel(this);
  value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  value->setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (bold) {
    QFont font = value->font();
    font.setBold(true);
    value->setFont(font);
  }
  auto* grid = static_cast<QGridLayout*>(layout());
  grid->addWidget(label, row, 0);
  grid->addWidget(value, row, 1);
  return {label, value};
}

void NumbersView::ShowElementLayers(const ViscousResult& result) {
  const int elements = result.elements.size() > 1 ? static_cast<int>(result.elements.size()) : 0;
  const int rows = kRowsPerElement * elements;
  while (element_viscous_values_.size() > rows) {
    delete element_viscous_names_.takeLast();
    delete element_viscous_values_.takeLast();
  }
  while (element_viscous_values_.size() < rows) {
    const int k = static_cast<int>(element_viscous_values_.size());
    const int element = k / kRowsPerElement + 1;
    // Short names: the panel the view sits in is narrow; the tip says the rest.
    const QString names[] = {QStringLiteral("Cl / Cd element %1"),
                             QStringLiteral("xtr element %1 (t / b)"),
                             QStringLiteral("xsep element %1 (t / b)")};
    const auto [label, value] =
        AddRow(names[k % kRowsPerElement].arg(element), kElementViscousFirstRow + k, false);
    label->setToolTip(
        QStringLiteral("Element %1: viscous lift and drag on the reference chord; transition "
                       "and separation on its top and bottom, fractions of its own chord")
            .arg(element));
    element_viscous_names_.append(label);
    element_viscous_values_.append(value);
  }
  for (int e = 0; e < elements; ++e) {
    const ElementViscousResult& r = result.elements[static_cast<std::size_t>(e)];
    const QString slash = QStringLiteral(" / ");
    const QString texts[] = {Fixed(r.cl_viscous, 4) + slash + Fixed(r.cd, 5),
                             Fixed(r.xtr_top, 3) + slash + Fixed(r.xtr_bottom, 3),
                             Fixed(r.xsep_top, 3) + slash + Fixed(r.xsep_bottom, 3)};
    for (int k = 0; k < kRowsPerElement; ++k) {
      element_viscous_values_[kRowsPerElement * e + k]->setText(texts[k]);
    }
  }
}

void NumbersView::SetFrame(const ExplorerFrame& frame, const ExplorerExactCoefficients& exact) {
  const DerivedResults& r = frame.results;
  const QString texts[] = {
      Fixed(frame.alpha_degrees, 1) + QStringLiteral("\u00B0"),
      Fixed(r.cl_circulation, 4),
      Fixed(r.cl_pressure, 4),
      Optional(exact.cl),
      Fixed(r.cm_quarter_chord, 4),
      Optional(exact.cm),
      Fixed(frame.cp_min, 4),
      Fixed(frame.x_cp_min, 4),
      frame.x_stagnation ? Fixed(*frame.x_stagnation, 4) : QStringLiteral("\u2013"),
      Scientific(r.source_sum),
  };
  for (int k = 0; k < fixed_rows_; ++k) values_[k]->setText(texts[k]);
  // The lift of every element (pressure / circulation), where there are several.
  const int elements =
      frame.element_lift.size() > 1 ? static_cast<int>(frame.element_lift.size()) : 0;
  while (values_.size() > fixed_rows_ + elements) {
    delete names_.takeLast();
    delete values_.takeLast();
  }
  while (values_.size() < fixed_rows_ + elements) {
    const int k = values_.size() - fixed_rows_ + 1;
    const auto [name, value] =
        AddRow(QStringLiteral("Cl element %1 (p / \u0393)").arg(k), values_.size(), false);
    names_.append(name);
    values_.append(value);
  }
  for (int e = 0; e < elements; ++e) {
    const ExplorerFrame::ElementLift& lift = frame.element_lift[static_cast<std::size_t>(e)];
    values_[fixed_rows_ + e]->setText(Fixed(lift.cl_pressure, 4) + QStringLiteral(" / ") +
                                      Fixed(lift.cl_circulation, 4));
  }
  const bool viscous = frame.viscous.has_value();
  // With several elements the rows of every element stand for the first element's
  // transition and separation.
  const bool several = viscous && frame.viscous->result.elements.size() > 1;
  for (int k = 0; k < viscous_names_.size(); ++k) {
    const bool shown = viscous && !(several && k >= viscous_names_.size() - kFirstElementOnlyRows);
    viscous_names_[k]->setVisible(shown);
    viscous_values_[k]->setVisible(shown);
  }
  note_->setVisible(viscous && !frame.viscous->note.empty());
  ShowElementLayers(viscous ? frame.viscous->result : ViscousResult());
  if (!viscous) return;
  const ExplorerViscousFrame& v = *frame.viscous;
  const ViscousResult& layers = v.result;
  const QString texts_viscous[] = {Fixed(layers.cl_viscous, 4), Fixed(layers.cd, 5),
                                   Fixed(v.cl_cd, 1),           Fixed(layers.xtr_top, 4),
                                   Fixed(layers.xtr_bottom, 4), Fixed(layers.xsep_top, 4),
                                   Fixed(layers.xsep_bottom, 4)};
  for (int k = 0; k < viscous_values_.size(); ++k) viscous_values_[k]->setText(texts_viscous[k]);
  note_->setText(QString::fromStdString(v.note));
}

void NumbersView::SetFrame(const ExplorerScene& scene) {
  label_ = QString::fromStdString(ExplorerGeometryLabel(*scene.geometry));
  SetFrame(*scene.frame, ExplorerExactLiftAndMoment(*scene.geometry, *scene.frame));
}

QString NumbersView::CopyText() const {
  QString text = label_ + QLatin1Char('\n');
  for (int k = 0; k < values_.size(); ++k) {
    text += names_[k]->text() + QLatin1Char('\t') + values_[k]->text() + QLatin1Char('\n');
  }
  const auto add = [&text, this](const QList<QLabel*>& names, const QList<QLabel*>& values) {
    for (int k = 0; k < values.size(); ++k) {
      if (!values[k]->isVisibleTo(this)) continue;
      text += names[k]->text() + QLatin1Char('\t') + values[k]->text() + QLatin1Char('\n');
    }
  };
  add(viscous_names_, viscous_values_);
  add(element_viscous_names_, element_viscous_values_);
  if (note_->isVisibleTo(this)) text += note_->text() + QLatin1Char('\n');
  return text;
}

QString NumbersView::Value(const QString& name) const {
  for (int k = 0; k < names_.size(); ++k) {
    if (names_[k]->text() == name) return values_[k]->text();
  }
  for (const auto& [names, values] :
       {std::make_pair(&viscous_names_, &viscous_values_),
        std::make_pair(&element_viscous_names_, &element_viscous_values_)}) {
    for (int k = 0; k < names->size(); ++k) {
      if ((*names)[k]->text() == name && (*values)[k]->isVisibleTo(this)) {
        return (*values)[k]->text();
      }
    }
  }
  return {};
}

}  // namespace velquin
