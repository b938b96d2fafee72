#include "base/user_locale.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>

namespace velquin {

char UserDecimalSeparator() {
  // newlocale/nl_langinfo_l read the environment's numeric locale for this question
  // alone; setlocale would change the behaviour of the whole process.
  const locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, user);
  char separator = '.';
  if (radix != nullptr && std::strlen(radix) == 1 && static_cast<unsigned char>(radix[0]) < 128) {
    separator = radix[0];
  }
  freelocale(user);
  return separator;
}

}  // namespace velquin
