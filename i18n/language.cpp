#include "i18n/language.h"

#include <cctype>
#include <cstdlib>

namespace velta {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// glibc takes the first of LC_ALL, LC_MESSAGES and LANG that is set; LANGUAGE, a list of
// languages tried in turn, overrides it unless that locale is "C". The first entry this program
// speaks decides.
std::string DesktopLanguage() {
  std::string locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    locale = Environment(name);
    if (!locale.empty()) break;
  }
  const std::string list = Environment("LANGUAGE");
  if (!list.empty() && locale != "C" && locale != "POSIX") {
    std::string_view rest = list;
    while (!rest.empty()) {
      const std::size_t colon = rest.find(':');
      const std::string code = LanguageCode(rest.substr(0, colon));
      if (!code.empty()) return code;
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  return LanguageCode(locale);
}

}  // namespace

std::string LanguageCode(std::string_view name) {
  if (name.size() < 2 || (name.size() > 2 && name[2] != '_' && name[2] != '.' && name[2] != '@')) {
    return {};
  }
  std::string code;
  for (const char c : name.substr(0, 2)) {
    code += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return code == "de" || code == "en" ? code : std::string();
}

std::string ChooseLanguage(const std::string& forced, const std::string& stored) {
  for (const std::string& choice : {forced, Environment("VELTA_LANGUAGE"), stored}) {
    if (const std::string code = LanguageCode(choice); !code.empty()) return code;
  }
  return DesktopLanguage() == "de" ? "de" : "en";
}

std::string LanguageArgument(const std::vector<std::string>& arguments) {
  constexpr std::string_view kOption = "--language";
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == kOption && i + 1 < arguments.size()) return arguments[i + 1];
    if (argument.starts_with(kOption) && argument.size() > kOption.size() &&
        argument[kOption.size()] == '=') {
      return std::string(argument.substr(kOption.size() + 1));
    }
  }
  return {};
}

}  // namespace velta
