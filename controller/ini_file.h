// The one set-up of the INI parser, for every INI file the program reads and writes: settings and
// backup files, TCP address files.
#pragma once

#include <SimpleIni.h>

// Compiled once, in ini_file.cpp.
extern template class CSimpleIniTempl<char, SI_GenericNoCase<char>, SI_ConvertA<char>>;

namespace velta {

// UTF-8 text; lines are written as key=value, without blanks around the '='.
void ConfigureIni(CSimpleIniA& ini);

}  // namespace velta
