#include "i18n/lookup.h"

#include <libintl.h>
#include <unistd.h>

#include <atomic>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace velta {
namespace {

constexpr const char* kDomain = "default";
constexpr const char* kOwnDomain = "velta";
std::atomic<bool> german = false;

// The program's own catalogue folder, found from the running program's location (in the build
// tree and in an installed tree alike); relative to the working folder if that is unknown.
std::string DefaultLocaleDir() {
  const std::filesystem::path fromProgram = VELTA_LOCALE_FROM_PROGRAM;
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return fromProgram.string();
  return (program.parent_path() / fromProgram).lexically_normal().string();
}

// glibc ignores LANGUAGE while LC_MESSAGES is the plain "C" locale, and the user's own locale may
// be missing or German. Any installed UTF-8 locale will do: the language comes from LANGUAGE.
void SelectMessageLocale() {
  for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8", "en_US.utf8", "en_GB.UTF-8"}) {
    if (std::setlocale(LC_MESSAGES, name) != nullptr) return;
  }
}

}  // namespace

void UseLanguage(const std::string& language, const std::string& localeDir) {
  setenv("LANGUAGE", language.c_str(), 1);
  SelectMessageLocale();
  // Formats print numbers with a point whatever the user's region says.
  std::setlocale(LC_NUMERIC, "C");
  const std::string dir = localeDir.empty() ? DefaultLocaleDir() : localeDir;
  for (const char* domain : {kDomain, kOwnDomain}) {
    bindtextdomain(domain, dir.c_str());
    bind_textdomain_codeset(domain, "UTF-8");
  }
  textdomain(kDomain);
  german = language == "de";
}

bool GermanSelected() { return german; }

std::string Translate(const char* msgid) {
  // An empty key would return the catalogue's header entry.
  if (msgid == nullptr || *msgid == '\0') return std::string();
  if (german) return msgid;
  return dgettext(kDomain, msgid);
}

std::string TranslateOwn(const char* text) {
  if (text == nullptr || *text == '\0') return std::string();
  if (!german) return text;
  return dgettext(kOwnDomain, text);
}

std::string Translate(const std::string& msgid) { return Translate(msgid.c_str()); }

}  // namespace velta
