// The --language option and the help's own words for the command-line programs (velta-cli,
// velta-bridge), which parse their arguments with CLI11.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "i18n/lookup.h"

namespace velta {

// --language de|en: the program reads it before parsing (LanguageArgument); the parser only
// accepts it and refuses other languages.
inline void AddLanguageOption(CLI::App& app, std::string& language) {
  app.add_option("--language", language,
                 VN_("Language of the output: de (German) or en (English)"))
      ->check(CLI::IsMember({"de", "en"}));
}

// The help's headings, the help flag and the groups in German when German is selected; call once
// every option and subcommand is added.
inline void TranslateHelp(CLI::App& app) {
  if (!GermanSelected()) return;
  // The library's own description of --version, looked up with the others below.
  [[maybe_unused]] static const char* const kLibraryTexts[] = {
      VN_("Display program version information and exit")};
  const std::shared_ptr<CLI::FormatterBase> formatter = app.get_formatter();
  for (const char* label : {VN_("Usage"), VN_("OPTIONS"), VN_("SUBCOMMAND"), VN_("SUBCOMMANDS"),
                            VN_("REQUIRED"), VN_("TEXT"), VN_("INT"), VN_("UINT"), VN_("FLOAT")}) {
    formatter->label(label, V_(label));
  }
  const std::function<void(CLI::App&)> translate = [&](CLI::App& command) {
    if (CLI::Option* help = command.get_help_ptr()) {
      help->description(V_("Print this help message and exit"));
    }
    for (CLI::Option* option : command.get_options()) {
      if (option->get_group() == "Options") option->group(V_("Options"));
      option->description(V_(option->get_description().c_str()));
    }
    for (CLI::App* sub : command.get_subcommands([](CLI::App*) { return true; })) {
      if (sub->get_group() == "Subcommands") sub->group(V_("Subcommands"));
      sub->description(V_(sub->get_description().c_str()));
      translate(*sub);
    }
  };
  app.description(V_(app.get_description().c_str()));
  translate(app);
}

}  // namespace velta
