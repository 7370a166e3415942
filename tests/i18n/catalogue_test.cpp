// The English catalogue as shipped: the compiled file where the programs look for it, and its
// source.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "i18n/lookup.h"
#include "tests/i18n/catalogue_source.h"
#include "tests/support/files.h"

namespace {

namespace fs = std::filesystem;
using Entries = std::vector<std::pair<std::string, std::string>>;

fs::path ProgramDir() { return fs::read_symlink("/proc/self/exe").parent_path(); }

using velta::test::ReadFile;

std::uint32_t Word(const std::string& data, std::size_t offset) {
  std::uint32_t value = 0;
  std::memcpy(&value, data.data() + offset, sizeof value);  // the catalogue is little-endian
  return value;
}

// All (msgid, msgstr) pairs of the compiled catalogue, read without gettext.
Entries ReadMo(const fs::path& path) {
  const std::string data = ReadFile(path);
  Entries entries;
  if (data.size() < 28 || Word(data, 0) != 0x950412deu || Word(data, 4) != 0) return entries;
  const std::uint32_t count = Word(data, 8);
  const std::uint32_t ids = Word(data, 12);
  const std::uint32_t strs = Word(data, 16);
  auto text = [&](std::uint32_t table, std::uint32_t i) {
    return data.substr(Word(data, table + 8 * i + 4), Word(data, table + 8 * i));
  };
  for (std::uint32_t i = 0; i < count; ++i) entries.emplace_back(text(ids, i), text(strs, i));
  return entries;
}

// The printf conversions of a text, in order; a percent sign that starts no conversion (as in
// "100%Pumpenstartzeit" or "(0%)") is plain text.
std::vector<std::string> Placeholders(const std::string& text) {
  std::vector<std::string> found;
  for (std::size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i + 1)) {
    std::size_t end = i + 1;
    end = text.find_first_not_of("-+#0", end);
    end = text.find_first_not_of("0123456789", end);
    if (end < text.size() && text[end] == '.') end = text.find_first_not_of("0123456789", end + 1);
    end = text.find_first_not_of("hlLzjt", end);
    if (end < text.size() && std::strchr("diouxXeEfgGcsp%", text[end]) != nullptr) {
      found.push_back(text.substr(i, end + 1 - i));
      i = end;
    }
  }
  return found;
}

const fs::path kMoPath =
    ProgramDir() / "../share/velta-control/locale/en/LC_MESSAGES/default.mo";
using velta::test::kCatalogueSource;

TEST(Catalogue, CompiledFileHoldsTheHeaderAndExactlyTheSourceKeys) {
  const std::vector<std::string> sourceKeys = velta::test::CatalogueKeys();
  const Entries entries = ReadMo(kMoPath);
  ASSERT_EQ(entries.size(), sourceKeys.size() + 1) << kMoPath;

  std::set<std::string> keys;
  for (const auto& [msgid, msgstr] : entries) keys.insert(msgid);
  std::set<std::string> expected(sourceKeys.begin(), sourceKeys.end());
  expected.insert("");
  EXPECT_EQ(keys, expected);

  const std::string header = entries.front().second;  // the empty key sorts first
  EXPECT_EQ(entries.front().first, "");
  for (const char* line :
       {"Content-Type: text/plain; charset=UTF-8\n", "Content-Transfer-Encoding: 8bit\n",
        "X-Poedit-SourceCharset: iso-8859-1\n", "Language: en\n"}) {
    EXPECT_NE(header.find(line), std::string::npos) << line;
  }
  // msgfmt leaves the creation date out of the compiled file; the source keeps it.
  EXPECT_NE(ReadFile(kCatalogueSource).find("\"POT-Creation-Date: 2015-12-02 08:16+0100\\n\""),
            std::string::npos);
}

// Every key is a text users see; one added or dropped changes what the program shows.
TEST(Catalogue, SourceStartsWithTheHeaderAndKeepsItsKeyCount) {
  const std::vector<std::string> keys = velta::test::ReadPoKeys(kCatalogueSource);
  ASSERT_FALSE(keys.empty()) << kCatalogueSource;
  EXPECT_EQ(keys.front(), "");
  EXPECT_EQ(keys.size() - 1, 343u);
}

// Formats are looked up first and filled in afterwards, so every English text must take the
// German text's arguments in the same order, and keep the line breaks that frame a message.
TEST(Catalogue, EveryTranslationKeepsPlaceholdersAndFramingLineBreaks) {
  const Entries entries = ReadMo(kMoPath);
  ASSERT_EQ(entries.size(), velta::test::CatalogueKeys().size() + 1);
  for (const auto& [msgid, msgstr] : entries) {
    if (msgid.empty()) continue;
    EXPECT_FALSE(msgstr.empty()) << msgid;
    EXPECT_EQ(Placeholders(msgstr), Placeholders(msgid)) << msgid << " -> " << msgstr;
    EXPECT_EQ(msgstr.front() == '\n', msgid.front() == '\n') << msgid;
    EXPECT_EQ(msgstr.back() == '\n', msgid.back() == '\n') << msgid;
  }
}

// Windows may be walked more than once and code may look up a text that came from the catalogue;
// that is harmless only while no English text is itself a German key.
TEST(Catalogue, NoEnglishTextIsAnotherKey) {
  const Entries entries = ReadMo(kMoPath);
  ASSERT_FALSE(entries.empty());
  std::set<std::string> keys;
  for (const auto& [msgid, msgstr] : entries) keys.insert(msgid);
  for (const auto& [msgid, msgstr] : entries) {
    if (msgstr != msgid) {
      EXPECT_EQ(keys.count(msgstr), 0u) << msgid << " -> " << msgstr;
    }
  }
}

TEST(Catalogue, PlaceholderScanTellsConversionsFromPercentSigns) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"Pumpe Rest[h]: %02lum:%02lus (%4d)", {"%02lu", "%02lu", "%4d"}},
      {"Filtersp:%3d Tage(n) %2lu:%02lu:%02lu", {"%3d", "%2lu", "%02lu", "%02lu"}},
      {"Referenzwert(100%)=Messwert-Leerwert", {}},
      {"Laufzeit der Pumpe mit 100% nach Start", {}},
      {"100%Pumpenstartzeit", {}},
      {"Fehler %d beim Verbinden mit %s:%d", {"%d", "%s", "%d"}},
      {"%10lu Starts, 50%% ok", {"%10lu", "%%"}},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Placeholders(text), expected) << text;
}

}  // namespace
