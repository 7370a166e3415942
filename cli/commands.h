// The subcommands, each group registering itself on the program's command line. A command's
// callback leaves its exit code in `result`.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/cli_context.h"

namespace velta::cli {

void AddStatusCommands(CLI::App& app, CliContext& context, int& result);    // status, live
void AddSettingsCommands(CLI::App& app, CliContext& context, int& result);  // read, write, backup, restore, diff
void AddServiceCommands(CLI::App& app, CliContext& context, int& result);   // counters, errors
void AddTankUpdateCommands(CLI::App& app, CliContext& context, int& result);  // tank, update
void AddPortsCommand(CLI::App& app, CliContext& context, int& result);
void AddReportCommand(CLI::App& app, CliContext& context, int& result);

}  // namespace velta::cli
