#include "bridge/config_file.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "controller/ini_file.h"
#include "files/regular_file.h"
#include "i18n/lookup.h"

namespace velta::bridge {
namespace {

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// Quoted texts stop here.
constexpr std::size_t kQuotedLength = 120;

}  // namespace

std::string Quoted(const std::string& text) {
  if (text.size() <= kQuotedLength) return "\"" + text + "\"";
  return "\"" + text.substr(0, kQuotedLength) + "\"... (" + std::to_string(text.size()) + " characters)";
}

int ConfigSection::LineOf(const std::string& key) const {
  for (const ConfigEntry& entry : entries) {
    if (entry.key == key) return entry.line;
  }
  return line;
}

const ConfigSection* ConfigFile::Find(const std::string& name) const {
  for (const ConfigSection& section : sections) {
    if (SameName(section.name, name)) return &section;
  }
  return nullptr;
}

std::optional<ConfigFile> ReadConfigFile(const std::string& path, std::string& error) {
  std::string reason;
  std::optional<std::string> text = ReadRegularFile(path, kMaxIniFileSize, reason);
  if (!text) {
    error = path + ": " + reason;
    return std::nullopt;
  }
  if (text->rfind("\xEF\xBB\xBF", 0) == 0) text->erase(0, 3);
  const auto fail = [&](int line, const std::string& what) {
    error = path + ":" + std::to_string(line) + ": " + what;
    return std::nullopt;
  };

  ConfigFile file;
  std::istringstream lines(*text);
  std::string raw;
  for (int number = 1; std::getline(lines, raw); ++number) {
    const std::string line = Trim(raw);
    const auto control = std::find_if(line.begin(), line.end(), [](unsigned char c) { return c < 0x20 && c != '\t'; });
    if (control != line.end()) {
      char byte[8];
      std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(*control));
      return fail(number, Format(V_("holds the control character %s at column %lld"), byte,
                                 static_cast<long long>(control - line.begin() + 1)));
    }
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']') return fail(number, V_("a section line is \"[name]\""));
      const std::string name = Trim(line.substr(1, line.size() - 2));
      if (name.empty()) return fail(number, V_("a section needs a name"));
      if (file.Find(name)) return fail(number, "[" + name + "] comes a second time");
      file.sections.push_back({name, number, {}});
      continue;
    }
    const auto equals = line.find('=');
    if (equals == std::string::npos) return fail(number, Format(V_("expected key = value, got %s"), Quoted(line).c_str()));
    const std::string key = Lower(Trim(line.substr(0, equals)));
    if (key.empty()) return fail(number, V_("a key is missing before '='"));
    if (file.sections.empty()) return fail(number, key + " stands before any [section]");
    ConfigSection& section = file.sections.back();
    if (section.LineOf(key) != section.line) {
      return fail(number, key + " comes a second time in [" + section.name + "]");
    }
    section.entries.push_back({key, {}, number});
  }

  // The values as every INI file of the program reads them (quotes, blanks, encoding).
  CSimpleIniA ini;
  ConfigureIni(ini);
  if (ini.LoadData(*text) < 0) {
    error = path + V_(": not readable as an INI file");
    return std::nullopt;
  }
  for (ConfigSection& section : file.sections) {
    for (ConfigEntry& entry : section.entries) {
      entry.value = ini.GetValue(section.name.c_str(), entry.key.c_str(), "");
    }
  }
  return file;
}

}  // namespace velta::bridge
