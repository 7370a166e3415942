// velta-cli: every controller service of the window program from a terminal or a script.
#include <CLI/CLI.hpp>
#include <clocale>
#include <csignal>
#include <cstdio>

#include "cli/commands.h"
#include "cli/unknown_command.h"
#include "i18n/command_line.h"
#include "i18n/language.h"
#include "i18n/lookup.h"
#include "link/adapter_latency.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  // A file size limit then refuses a write (EFBIG) instead of killing the program halfway, so the
  // writers can take their temporary files and half rows back.
  std::signal(SIGXFSZ, SIG_IGN);
  velta::UseLanguage(velta::ChooseLanguage(velta::LanguageArgument({argv, argv + argc})));
  velta::cli::CliContext context;
  int result = velta::cli::kExitOk;

  CLI::App app{VN_("VELTA Control on the command line: status, settings, counters, errors, tank "
                   "table, firmware update and service report")};
  app.name("velta-cli");
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("velta-cli ") + VELTA_VERSION);
  app.add_option("--port", context.port, VN_("Serial port COM1..COM255 (9600 8N1)"));
  app.add_option("--device", context.device, VN_("Serial device file, e.g. /dev/ttyUSB0"));
  app.add_option("--tcp", context.tcp, VN_("host:port of a serial-to-Ethernet adapter"));
  app.add_option("--admin", context.admin, VN_("Admin flags, e.g. 0x02 for the serial write base"));
  app.add_flag("--json", context.json, VN_("Readings as JSON on stdout"));
  app.add_flag("-y,--yes", context.yes, VN_("Write without asking"));
  app.add_flag("--no-history", context.noHistory,
               VN_("Write even when the controller's block cannot be kept in the history first"));
  app.add_flag("--verbose", context.verbose, VN_("Also show each step as the windows log it"));
  std::string language;
  velta::AddLanguageOption(app, language);
  app.fallthrough();

  velta::cli::AddStatusCommands(app, context, result);
  velta::cli::AddSettingsCommands(app, context, result);
  velta::cli::AddServiceCommands(app, context, result);
  velta::cli::AddTankUpdateCommands(app, context, result);
  velta::cli::AddPortsCommand(app, context, result);
  velta::cli::AddReportCommand(app, context, result);
  velta::TranslateHelp(app);

  app.parse_complete_callback([&] { context.feedback.ShowLogLines(context.verbose); });
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& helpOrVersion) {
    return app.exit(helpOrVersion);
  } catch (const CLI::ParseError& error) {
    const std::string unknown = velta::cli::UnknownCommandMessage(app, argc, argv);
    if (unknown.empty()) {
      app.exit(error);
    } else {
      std::fprintf(stderr, "%s\n", unknown.c_str());
    }
    return velta::cli::kExitRefused;
  }
  // Asked after the command, when its open has asked the driver for the shortest timer.
  if (context.serialUsed) {
    if (const std::string hint = velta::LatencyHint(*context.serialUsed); !hint.empty()) {
      context.feedback.Log(hint);
    }
  }
  return result;
}
