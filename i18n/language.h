// Which language the program speaks: English (the default) or German.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velta {

// "de" or "en" for a language name or locale ("de", "DE_at.UTF-8", "en_GB"); empty for any other.
std::string LanguageCode(std::string_view name);

// The language to speak: `forced` (a --language argument) when it names one, else
// VELTA_LANGUAGE, else `stored` (the window's saved choice), else German when the desktop's
// language is German (LANGUAGE, LC_ALL, LC_MESSAGES, LANG, as glibc reads them), else English.
std::string ChooseLanguage(const std::string& forced = "", const std::string& stored = "");

// The value of --language (as "--language de" or "--language=de") among the program's
// arguments, read before the command line is parsed, because the help texts depend on it.
std::string LanguageArgument(const std::vector<std::string>& arguments);

}  // namespace velta
