// The user's locale settings, read from the environment (LC_ALL, LC_NUMERIC, LANG)
// without changing the program's own C locale.
#pragma once

namespace velquin {

// The decimal separator the reports use: the user's locale's when it is a single
// ASCII character (a point under English settings, a comma under German ones), else a
// point. A locale that is not installed counts as the C locale.
char UserDecimalSeparator();

}  // namespace velquin
