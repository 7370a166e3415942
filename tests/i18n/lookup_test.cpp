// Looking German texts up in the English catalogue beside the test program, as the tool does.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "i18n/lookup.h"

namespace {

class Lookup : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { velta::UseLanguage("en"); }
};

// Renderings users see and other code relies on, odd ones included, byte for byte.
TEST_F(Lookup, QuotedRenderingsComeBackVerbatim) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"Nachspeisung", "Trinkwater"},
      {"(Nachspeisung)", "(Trinkwater)"},
      {"Einstellungen", "Attitudes"},
      {"&Einstellungen ", "&Settings "},
      {"Steuerung", "controler"},
      {" Tage", "days"},
      {" Minuten", " Minutes"},
      {"Rückstau", "Overflow "},
      {"c:\\fehler.txt", "c:\\error.txt"},
      {"Fehlerspeicher:", "fault storage:"},
      {"Keine Fehler", "No Errors"},
      {"Einstellungen (*.ini)|*.ini", "Setup (*.ini)|*.ini"},
      {"Tankform(*.csv)|*.csv", "tankform(*.csv)|*.csv"},
      {"Auslesen", "Read"},
      {"Fehler beim Öffnen der Schnittstelle !", "Error when opening the interface!"},
      {"Fehler beim Öffnen der Schnittstelle!", "Error when opening the interface!"},
      {"Fehler beim öffnen der Schnittstelle!", "Error when opening the interface!"},
      {"ACHTUNG:\nSollen alle gespeicherten Fehlermeldungen gelöscht werden?\n",
       "Attention:\nShould all stored error messages be extinguished?\n"},
      {"Fehler beim Schreiben oder Lesen!\n->Möglicherweise keine Schreibfreigabe!",
       "Error during writing or reading!\n->possibly no write-enable!"},
      {"Warte auf Blockprogrammierung...", "Wait of  block programming…"},
  };
  for (const auto& [german, english] : rows) {
    EXPECT_EQ(velta::Translate(german), english) << german;
    EXPECT_EQ(_(german.c_str()), english) << german;
  }
}

TEST_F(Lookup, TextsOutsideTheCatalogueComeBackUnchanged) {
  for (const std::string text :
       {"Seriell", "%d. port: COM%lu", "einstellungen", "Nachspeisung ", "Info", "Hand"}) {
    EXPECT_EQ(velta::Translate(text), text);
  }
  // The empty key is the catalogue's header entry, which no caller may ever see.
  EXPECT_EQ(velta::Translate(""), "");
  EXPECT_EQ(velta::Translate(static_cast<const char*>(nullptr)), "");
}

// Formats are looked up first and filled in afterwards.
TEST_F(Lookup, TranslatedFormatsFillInTheirArguments) {
  EXPECT_EQ(velta::Format(_("Schnittstelle COM%d geöffnet"), 3), "Interface COM3 open");
  EXPECT_EQ(velta::Format(_("Fehler %d beim Verbinden mit %s:%d"), -1, "10.0.0.7", 10001),
            "Error -1 when connecting with 10.0.0.7:10001");
  EXPECT_EQ(velta::Format(_("Modulsp:%3d Tage(n) %2lu:%02lu:%02lu"), 0, 0ul, 0ul, 0ul),
            "Module flushing:  0 days (n)  0:00:00");
  EXPECT_EQ(velta::Format(_("Pumpe Rest[h]: %02lum:%02lus (%4d)"), 7ul, 5ul, 1042),
            "Pump rest[h]: 07m:05s (1042)");
  const std::string path(300, 'x');
  EXPECT_EQ(velta::Format(_("Datei %s enthält in Zeile %d absteigende Werte."), path.c_str(), 41),
            "File " + path + " contains descending values in line 41.");
}

// Text reaches a format as a C string; a std::string (whose object %s would read) does not compile.
template <typename... Args>
constexpr bool kFormats = requires(Args... args) { velta::Format("%s", args...); };
static_assert(kFormats<const char*> && kFormats<int, unsigned long, double>);
static_assert(!kFormats<std::string> && !kFormats<const char*, std::string>);

// A catalogue folder given explicitly wins over the one beside the program; one without the
// catalogue leaves every text in German.
TEST_F(Lookup, ExplicitFolderWithoutCatalogueShowsGerman) {
  velta::UseLanguage("en", ::testing::TempDir() + "no-such-locale-folder");
  EXPECT_EQ(velta::Translate("Nachspeisung"), "Nachspeisung");
  velta::UseLanguage("en");
  EXPECT_EQ(velta::Translate("Nachspeisung"), "Trinkwater");
}

}  // namespace
