// Numbers as the explorer's views show them: fixed decimals, a point as the separator
// whatever the locale, a true minus sign (U+2212), and no sign on a value that rounds to
// zero ("0.00", never "-0.00").
#pragma once

#include <QString>

namespace velquin {

QString FixedText(double value, int decimals);
// A value as typed (up to 15 significant digits, 0.0001 not "0"), with the true minus.
QString TypedText(double value);

}  // namespace velquin
