// Message lookup: every German text is looked up in the English catalogue ("default" domain) at
// the moment it is shown. Unknown texts come back unchanged.
#pragma once

#include <cstdio>
#include <string>
#include <type_traits>

namespace velta {

// Binds the "default" text domain to <localeDir> (default: the program's own catalogue folder,
// <prefix>/share/velta-control/locale for a program in <prefix>/bin) and fixes the language to
// `language` whatever the user's locale environment says.
// Call after the toolkit has set up the process locale.
void UseLanguage(const std::string& language = "en", const std::string& localeDir = "");

// The catalogue's text for `msgid`, or `msgid` itself.
std::string Translate(const char* msgid);
std::string Translate(const std::string& msgid);

// What printf can take: numbers and C strings. A std::string would reach %s as an object, which
// is undefined behaviour, so it does not compile; pass its .c_str().
template <typename T>
concept FormatArgument = std::is_scalar_v<T>;

// printf-style formatting of an already looked-up format; arguments come in the order the German
// format has them.
template <FormatArgument... Args>
std::string Format(const std::string& format, Args... args) {
  const int size = std::snprintf(nullptr, 0, format.c_str(), args...);
  if (size <= 0) return size == 0 ? std::string() : format;
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), format.c_str(), args...);
  text.resize(static_cast<std::size_t>(size));
  return text;
}

}  // namespace velta

// The lookup as the code writes it: _("Fehler beim Auslesen!")
#define _(msgid) ::velta::Translate(msgid)
