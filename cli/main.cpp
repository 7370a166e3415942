// velta-cli: every controller service of the window program from a terminal or a script.
#include <CLI/CLI.hpp>
#include <clocale>
#include <cstdio>

#include "cli/commands.h"
#include "cli/unknown_command.h"
#include "i18n/lookup.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  velta::UseLanguage("en");
  velta::cli::CliContext context;
  int result = velta::cli::kExitOk;

  CLI::App app{"VELTA Control on the command line: status, settings, counters, errors, tank "
               "table, firmware update and service report"};
  app.name("velta-cli");
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("velta-cli ") + VELTA_VERSION);
  app.add_option("--port", context.port, "Serial port COM1..COM255 (9600 8N1)");
  app.add_option("--device", context.device, "Serial device file, e.g. /dev/ttyUSB0");
  app.add_option("--tcp", context.tcp, "host:port of a serial-to-Ethernet adapter");
  app.add_option("--admin", context.admin, "Admin flags, e.g. 0x02 for the serial write base");
  app.add_flag("--json", context.json, "Readings as JSON on stdout");
  app.add_flag("-y,--yes", context.yes, "Write without asking");
  app.fallthrough();

  velta::cli::AddStatusCommands(app, context, result);
  velta::cli::AddSettingsCommands(app, context, result);
  velta::cli::AddServiceCommands(app, context, result);
  velta::cli::AddTankUpdateCommands(app, context, result);
  velta::cli::AddPortsCommand(app, context, result);
  velta::cli::AddReportCommand(app, context, result);

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
  return result;
}
