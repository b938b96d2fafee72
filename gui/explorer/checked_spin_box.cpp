#include "gui/explorer/checked_spin_box.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <optional>

namespace velquin {
namespace {

// The text as a complete number (a point as the separator), else nothing.
std::optional<double> CompleteNumber(const QString& text) {
  const QByteArray bytes = text.trimmed().toLatin1();
  const char* begin = bytes.constData();
  const char* end = begin + bytes.size();
  if (begin != end && *begin == '+') ++begin;
  double value = 0;
  const auto result = std::from_chars(begin, end, value);
  if (begin == end || result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// A number outside [low, high] is Intermediate (it may be typed on; the box's own check
// would refuse the keystroke); anything else as the box's own check says.
QValidator::State Widened(QValidator::State own, const QString& text, double low, double high) {
  if (own != QValidator::Invalid) return own;
  const std::optional<double> value = CompleteNumber(text);
  return value && (*value < low || *value > high) ? QValidator::Intermediate : own;
}

void Report(const OutOfRangeHandler& handler, const QString& text, double low, double high) {
  const std::optional<double> value = CompleteNumber(text);
  if (handler && value && (*value < low || *value > high)) handler(*value);
}

}  // namespace

CheckedDoubleSpinBox::CheckedDoubleSpinBox(QWidget* parent) : QDoubleSpinBox(parent) {
  setLocale(QLocale::c());  // a point as the separator, whatever the user's locale
  setKeyboardTracking(false);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

QValidator::State CheckedDoubleSpinBox::validate(QString& text, int& position) const {
  return Widened(QDoubleSpinBox::validate(text, position), text, minimum(), maximum());
}

void CheckedDoubleSpinBox::fixup(QString& text) const {
  Report(handler_, text, minimum(), maximum());
  QDoubleSpinBox::fixup(text);
}

CheckedSpinBox::CheckedSpinBox(QWidget* parent) : QSpinBox(parent) {
  setLocale(QLocale::c());
  setKeyboardTracking(false);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

QValidator::State CheckedSpinBox::validate(QString& text, int& position) const {
  return Widened(QSpinBox::validate(text, position), text, minimum(), maximum());
}

void CheckedSpinBox::fixup(QString& text) const {
  Report(handler_, text, minimum(), maximum());
  QSpinBox::fixup(text);
}

}  // namespace velquin
