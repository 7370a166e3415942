// Which language the programs speak: --language, VELTA_LANGUAGE, the window's saved choice, then
// the desktop's language as glibc reads it; English otherwise.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "i18n/language.h"

namespace {

struct Row {
  std::vector<std::pair<const char*, const char*>> environment;
  std::string forced;
  std::string stored;
  std::string expected;
};

TEST(LanguageChoice, FollowsTheOrderOfItsSources) {
  const std::vector<Row> rows = {
      {{}, "", "", "en"},
      {{{"LANG", "de_DE.UTF-8"}}, "", "", "de"},
      {{{"LANG", "de_AT.UTF-8"}, {"LC_MESSAGES", "en_GB.UTF-8"}}, "", "", "en"},
      {{{"LC_ALL", "de_CH.UTF-8"}, {"LANG", "en_US.UTF-8"}}, "", "", "de"},
      {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "fr:de:en"}}, "", "", "de"},
      {{{"LC_ALL", "C"}, {"LANGUAGE", "de"}}, "", "", "en"},
      {{{"LANG", "fr_FR.UTF-8"}}, "", "", "en"},
      {{{"LANG", "de_DE.UTF-8"}}, "", "en", "en"},
      {{{"VELTA_LANGUAGE", "de"}}, "", "en", "de"},
      {{{"VELTA_LANGUAGE", "de"}}, "en", "", "en"},
      {{{"VELTA_LANGUAGE", "fr"}, {"LANG", "de_DE.UTF-8"}}, "", "", "de"},
  };
  for (const Row& row : rows) {
    for (const char* name : {"VELTA_LANGUAGE", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
      unsetenv(name);
    }
    std::string described;
    for (const auto& [name, value] : row.environment) {
      setenv(name, value, 1);
      described += std::string(name) + "=" + value + " ";
    }
    EXPECT_EQ(velta::ChooseLanguage(row.forced, row.stored), row.expected)
        << described << "forced " << row.forced << " stored " << row.stored;
  }
  unsetenv("LANG");
  setenv("VELTA_LANGUAGE", "en", 1);
}

TEST(LanguageChoice, ArgumentIsReadBeforeTheParser) {
  EXPECT_EQ(velta::LanguageArgument({"velta-cli", "--tcp", "h:1", "--language", "de", "status"}),
            "de");
  EXPECT_EQ(velta::LanguageArgument({"velta-cli", "--language=en"}), "en");
  EXPECT_EQ(velta::LanguageArgument({"velta-cli", "status", "--language"}), "");
}

}  // namespace
