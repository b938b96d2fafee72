#include "gui/explorer/explorer_text.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>

namespace velquin {

QString FixedText(double value, int decimals) {
  if (!std::isfinite(value)) return QStringLiteral("\u2013");
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  QString text = QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
  // A negative value that rounds to zero is written without its sign.
  if (text.startsWith(QLatin1Char('-')) &&
      text.indexOf(QRegularExpression(QStringLiteral("[1-9]"))) < 0) {
    text.remove(0, 1);
  }
  return text.replace(QLatin1Char('-'), QChar(0x2212));
}

QString TypedText(double value) {
  return QString::number(value, 'g', 15).replace(QLatin1Char('-'), QChar(0x2212));
}

}  // namespace velquin
