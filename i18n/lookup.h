// Message lookup: every German text is looked up in the English catalogue ("default" domain) at
// the moment it is shown. Unknown texts come back unchanged. With German selected the German
// texts are shown as they stand, and the program's own English texts (domain "velta") are looked
// up in its German catalogue.
#pragma once

#include <cstdio>
#include <string>
#include <type_traits>

namespace velta {

// Binds the "default" and "velta" text domains to <localeDir> (default: the program's own
// catalogue folder, <prefix>/share/velta-control/locale for a program in <prefix>/bin) and fixes
// the language to `language` ("en" or "de") whatever the user's locale environment says.
// Call after the toolkit has set up the process locale.
void UseLanguage(const std::string& language = "en", const std::string& localeDir = "");

// Whether German is selected.
bool GermanSelected();

// The catalogue's text for `msgid`, or `msgid` itself; in German always `msgid`.
std::string Translate(const char* msgid);
std::string Translate(const std::string& msgid);

// The program's own English `text` in the selected language: German from the "velta" catalogue,
// or `text` itself.
std::string TranslateOwn(const char* text);

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
// The program's own texts: V_("Nothing was sent.") looks up at once; VN_("Pump") only marks a
// text for the German catalogue, for tables whose entries are looked up with V_ where shown.
#define V_(text) ::velta::TranslateOwn(text)
#define VN_(text) text
