// The parser is compiled here, once for the program, rather than taken from the prebuilt library,
// so sanitizer and fuzzing builds instrument it too.
#define SI_IMPLEMENTATION
#include "controller/ini_file.h"

template class CSimpleIniTempl<char, SI_GenericNoCase<char>, SI_ConvertA<char>>;

namespace velta {

void ConfigureIni(CSimpleIniA& ini) {
  ini.SetUnicode(true);
  ini.SetMultiKey(true);  // keeps every value of a key; GetValue gives the first
  ini.SetQuotes(true);
}

}  // namespace velta
