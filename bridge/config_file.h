// The bridge's INI file as sections of key lines, each with the line it stands on, so every fault
// in it can be reported as "FILE:LINE: what is wrong".
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velta::bridge {

struct ConfigEntry {
  std::string key;  // lower case
  std::string value;
  int line;
};

struct ConfigSection {
  std::string name;  // as written
  int line;          // of the "[name]" line
  std::vector<ConfigEntry> entries;
  // The line of `key`, or of the section header when the key is not there.
  int LineOf(const std::string& key) const;
};

struct ConfigFile {
  std::vector<ConfigSection> sections;
  const ConfigSection* Find(const std::string& name) const;
};

// `text` in double quotes for an error line, cut at 120 characters: a faulty line of any length
// costs the log one line.
std::string Quoted(const std::string& text);

// Reads and checks the layout of the file: every line is blank, a comment (';' or '#'), a
// "[section]" or a "key = value" inside a section; no section or key comes twice; no line holds a control character
// but a tab, so every byte stays on the line it is counted on. The values are
// taken as the program's other INI readers take them. On failure sets `error` to one line.
std::optional<ConfigFile> ReadConfigFile(const std::string& path, std::string& error);

}  // namespace velta::bridge
