// The catalogue source i18n/default.po, read by the tests as it stands in the tree: the keys the
// window forms and the code look up are exactly its msgids.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/i18n/literal_text.h"
#include "tests/support/files.h"

namespace velta::test {

inline const std::filesystem::path kCatalogueSource =
    std::filesystem::path(__FILE__).parent_path() / "../../i18n/default.po";

// The msgids of a catalogue source in file order (continuation lines joined), the header's empty
// msgid first.
inline std::vector<std::string> ReadPoKeys(const std::filesystem::path& path) {
  std::istringstream in(ReadFile(path));
  std::vector<std::string> keys;
  bool inKey = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("msgid ", 0) == 0) {
      keys.push_back(QuotedLiteralText(line.substr(6)));
      inKey = true;
    } else if (inKey && !line.empty() && line[0] == '"') {
      keys.back() += QuotedLiteralText(line);
    } else {
      inKey = false;
    }
  }
  return keys;
}

// The catalogue's keys, without the header entry.
inline std::vector<std::string> CatalogueKeys() {
  std::vector<std::string> keys = ReadPoKeys(kCatalogueSource);
  if (!keys.empty() && keys.front().empty()) keys.erase(keys.begin());
  return keys;
}

}  // namespace velta::test
