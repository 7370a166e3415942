#include "i18n/lookup.h"

namespace velta {

void UseLanguage(const std::string&, const std::string&) {}
std::string Translate(const char* msgid) { return msgid; }
std::string Translate(const std::string& msgid) { return msgid; }

}  // namespace velta
