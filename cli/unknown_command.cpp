#include "cli/unknown_command.h"

#include <algorithm>

#include "i18n/lookup.h"

namespace velta::cli {
namespace {

// The option `word` names on `app` or a command above it (options fall through to the parents).
const CLI::Option* FindOption(CLI::App* app, const std::string& word) {
  for (; app != nullptr; app = app->get_parent()) {
    if (const CLI::Option* option = app->get_option_no_throw(word)) return option;
  }
  return nullptr;
}

}  // namespace

std::string UnknownCommandMessage(CLI::App& app, int argc, const char* const* argv) {
  CLI::App* current = &app;
  std::string path;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (!word.empty() && word[0] == '-') {
      // "--tcp host:port" takes the next word; "--tcp=host:port" and flags do not.
      const CLI::Option* option = FindOption(current, word);
      if (option != nullptr && word.find('=') == std::string::npos &&
          option->get_items_expected_min() > 0) {
        ++i;
      }
      continue;
    }
    const std::vector<CLI::App*> commands = current->get_subcommands([](CLI::App*) { return true; });
    if (commands.empty()) return "";  // the word is an argument of the chosen command
    path += (path.empty() ? "" : " ") + word;
    const auto chosen = std::find_if(commands.begin(), commands.end(),
                                     [&word](CLI::App* command) { return command->check_name(word); });
    if (chosen == commands.end()) {
      std::string names;
      for (const CLI::App* command : commands) {
        names += (names.empty() ? "" : ", ") + command->get_name();
      }
      return Format(V_("Unknown command \"%s\"; the commands are: %s"), path.c_str(), names.c_str());
    }
    current = *chosen;
  }
  return "";
}

}  // namespace velta::cli
