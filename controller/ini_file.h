// The one set-up of the INI parser, for every INI file the program reads: settings and backup
// files, TCP address files. Writing goes through ini_edit.h, which keeps the lines it does not own.
#pragma once

#include <SimpleIni.h>

// Compiled once, in ini_file.cpp.
extern template class CSimpleIniTempl<char, SI_GenericNoCase<char>, SI_ConvertA<char>>;

namespace velta {

// UTF-8 text read as the Windows private-profile reader did: names without regard to case, blanks
// around '=' trimmed, one pair of surrounding double quotes taken off a value, and of two keys of
// the same name the first one wins.
void ConfigureIni(CSimpleIniA& ini);

}  // namespace velta
