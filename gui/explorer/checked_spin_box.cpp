#include "gui/explorer/checked_spin_box.h"

#include <QLocale>
#include <QRegularExpression>
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

// A text that may still become a number: a sign, digits and a point, an exponent begun.
bool NumberBegun(const QString& text) {
  static const QRegularExpression begun(
      QStringLiteral("^\\s*[+-]?\\d*\\.?\\d*([eE][+-]?\\d*)?\\s*$"));
  return begun.match(text).hasMatch();
}

// Where the box's own check refuses a keystroke, the text is judged as a number: outside
// [low, high] it is Intermediate (typed on, then reported when complete), within it
// Acceptable (also in exponent form or with more decimals than the box shows; a whole
// box takes only whole numbers), and a number begun ("-", "1e") is Intermediate. The
// box's own check refused the minus sign of a box from 0 and the "e" of "1e9", so that
// "-1" became "1" and "1e9" became "19" without a word.
QValidator::State Widened(QValidator::State own, const QString& text, double low, double high,
                          bool whole) {
  if (own != QValidator::Invalid) return own;
  if (const std::optional<double> value = CompleteNumber(text)) {
    if (*value < low || *value > high) return QValidator::Intermediate;
    return !whole || *value == std::floor(*value) ? QValidator::Acceptable
                                                  : QValidator::Intermediate;
  }
  return NumberBegun(text) ? QValidator::Intermediate : own;
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
  return Widened(QDoubleSpinBox::validate(text, position), text, minimum(), maximum(), false);
}

double CheckedDoubleSpinBox::valueFromText(const QString& text) const {
  return CompleteNumber(text).value_or(QDoubleSpinBox::valueFromText(text));
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
  return Widened(QSpinBox::validate(text, position), text, minimum(), maximum(), true);
}

int CheckedSpinBox::valueFromText(const QString& text) const {
  const std::optional<double> value = CompleteNumber(text);
  return value ? static_cast<int>(std::lround(*value)) : QSpinBox::valueFromText(text);
}

void CheckedSpinBox::stepBy(int steps) {
  if (!acceptable_) {
    QSpinBox::stepBy(steps);
    return;
  }
  // On past the counts the box's owner refuses (an odd count for a NACA section), within
  // the range; where none is left, the value stays.
  const int direction = steps < 0 ? -1 : 1;
  int next = value() + steps;
  while (next >= minimum() && next <= maximum() && !acceptable_(next)) next += direction;
  if (next >= minimum() && next <= maximum()) setValue(next);
}

void CheckedSpinBox::fixup(QString& text) const {
  Report(handler_, text, minimum(), maximum());
  QSpinBox::fixup(text);
}

}  // namespace velquin
