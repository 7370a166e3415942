// Every German text the program's code looks up is a catalogue key, so a mistyped key (a missing
// blank, a different umlaut or case) cannot silently show German to English users. The few
// lookups that have no entry on purpose are listed here.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "tests/i18n/catalogue_source.h"
#include "tests/i18n/literal_text.h"
#include "tests/support/files.h"

namespace {

namespace fs = std::filesystem;

// Looked up like every runtime text, but the catalogue has no entry for them: number formats,
// units and the filters of the update and error file dialogs.
const std::set<std::string> kLookedUpWithoutEntry = {
    "%d. port: COM%lu", "%10lu Starts",  "%7lu.%03lum³",           "%8lu.%02lum³",
    "%9lu.%1lum³",      "%10lum³",       "UpdateFile (*.enc)|*.enc", "Error (*.txt)|*.txt",
    "OK",               "x",             "0ms",
};

using velta::test::ReadFile;

struct Lookup {
  std::string text;
  std::string where;
};

// Every folder of the program's sources: each top-level folder but the tests and build trees, so
// a new folder that looks texts up is scanned without being named here.
std::vector<fs::path> SourceFolders(const fs::path& root) {
  std::vector<fs::path> folders;
  for (const auto& entry : fs::directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_directory() || name == "tests" || name.front() == '.') continue;
    if (fs::exists(entry.path() / "CMakeCache.txt")) continue;
    folders.push_back(entry.path());
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

// Literal keys passed to _() or velta::Translate() in the program's sources, and those a write
// plan holds for WriteBytes to look up when it logs them.
std::vector<Lookup> LiteralLookups(const fs::path& root) {
  static const std::regex call(
      R"re((?:\b_|\bTranslate)\(\s*"((?:[^"\\]|\\.)*)"\s*\))re"
      R"re(|\b(?:openFailure|startLine|closingLine)\s*=\s*"((?:[^"\\]|\\.)*)")re");
  std::vector<Lookup> found;
  for (const fs::path& folder : SourceFolders(root)) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      const std::string extension = entry.path().extension().string();
      if (extension != ".cpp" && extension != ".h") continue;
      const std::string source = ReadFile(entry.path());
      for (std::sregex_iterator it(source.begin(), source.end(), call), end; it != end; ++it) {
        const auto& literal = (*it)[1].matched ? (*it)[1] : (*it)[2];
        found.push_back({velta::test::LiteralText(literal.str()), entry.path().string()});
      }
    }
  }
  return found;
}

TEST(SourceKeys, EveryLiteralLookupIsACatalogueKeyOrKnownToHaveNone) {
  const std::vector<std::string> catalogue = velta::test::CatalogueKeys();
  ASSERT_FALSE(catalogue.empty()) << velta::test::kCatalogueSource;
  const std::set<std::string> keys(catalogue.begin(), catalogue.end());
  const std::vector<Lookup> lookups = LiteralLookups(fs::path(__FILE__).parent_path() / "../..");
  ASSERT_FALSE(lookups.empty()) << "no sources found beside " << __FILE__;
  for (const Lookup& lookup : lookups) {
    EXPECT_TRUE(keys.count(lookup.text) != 0 || kLookedUpWithoutEntry.count(lookup.text) != 0)
        << "not in the catalogue: \"" << lookup.text << "\" in " << lookup.where;
  }
}

TEST(SourceKeys, ScannerReadsKeysAsTheCompilerDoes) {
  const fs::path dir = fs::path(::testing::TempDir()) / "velta_source_keys";
  fs::create_directories(dir / "ui");
  std::ofstream(dir / "ui" / "sample.cpp")
      << "Log(_(\"c:\\\\fehler.txt\"));\n"
         "Box(velta::Translate(\"ACHTUNG:\\nSoll das -Update- wirklich durchgeführt werden?\\n\"));\n"
         "auto a = my_(\"not a lookup\"); auto b = _( \"Fehler: %s\" );\n"
         "plan.startLine = \"Übertrage die Tabelle zur Steuerung...\"; restartLine = \"no\";\n";
  // Any folder of the program is scanned; the tests and a build tree are not.
  for (const char* folder : {"newfolder", "tests", "build"}) {
    fs::create_directories(dir / folder);
    std::ofstream(dir / folder / "more.h") << "_(\"Folder " << folder << "\")\n";
  }
  std::ofstream(dir / "build" / "CMakeCache.txt");
  const std::vector<Lookup> lookups = LiteralLookups(dir);
  fs::remove_all(dir);
  ASSERT_EQ(lookups.size(), 5u);
  EXPECT_EQ(lookups[0].text, "Folder newfolder");
  EXPECT_EQ(lookups[1].text, "c:\\fehler.txt");
  EXPECT_EQ(lookups[2].text, "ACHTUNG:\nSoll das -Update- wirklich durchgeführt werden?\n");
  EXPECT_EQ(lookups[3].text, "Fehler: %s");
  EXPECT_EQ(lookups[4].text, "Übertrage die Tabelle zur Steuerung...");
}

}  // namespace
