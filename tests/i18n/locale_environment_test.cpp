// The English texts appear whatever locale the user's environment names: the test program runs
// itself again under each environment and reports what the lookup returned there.

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "i18n/lookup.h"

namespace {

constexpr const char* kChildVariable = "VELTA_LOOKUP_CHILD";

// In the re-started program: set up the process locale from the environment as the toolkit
// does, select English as the tool does, print three lookups and a number, and leave before
// the tests run.
[[maybe_unused]] const bool kIsChild = [] {
  if (std::getenv(kChildVariable) == nullptr) return false;
  std::setlocale(LC_ALL, "");
  velta::UseLanguage("en");
  std::printf("%s|%s|%s|%s\n", _("Nachspeisung").c_str(),
              _("Fehler beim Öffnen der Schnittstelle!").c_str(), _("c:\\fehler.txt").c_str(),
              velta::Format("%.1f", 3.5).c_str());
  std::fflush(stdout);
  _exit(0);
  return true;
}();

// Runs this program with an otherwise empty environment plus `assignments`; returns its output.
std::string RunChild(const std::string& assignments) {
  const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string command =
      "env -i " + std::string(kChildVariable) + "=1 " + assignments + " '" + program + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return "popen failed";
  std::string output;
  std::array<char, 256> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) output += buffer.data();
  const int status = pclose(pipe);
  return status == 0 ? output : "exit status " + std::to_string(status) + ": " + output;
}

TEST(LocaleEnvironment, EnglishUnderEveryUserLocale) {
  const std::string expected = "Trinkwater|Error when opening the interface!|c:\\error.txt|3.5\n";
  for (const std::string environment :
       {"", "LANG=C", "LC_ALL=C", "LANG=C.UTF-8", "LANG=de_DE.UTF-8", "LC_ALL=de_DE.UTF-8",
        "LC_ALL=C.UTF-8 LANGUAGE=de", "LANG=C.UTF-8 LC_MESSAGES=de_DE.UTF-8 LANGUAGE=de:fr",
        "LC_ALL=POSIX LC_NUMERIC=de_DE.UTF-8"}) {
    EXPECT_EQ(RunChild(environment), expected) << "environment: " << environment;
  }
}

}  // namespace
