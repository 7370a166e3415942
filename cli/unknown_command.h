// Naming the command a user mistyped: CLI11 only says that a subcommand is required when the
// word given is none of them.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace velta::cli {

// When the command line names a command that `app` (or the command it chose) does not have:
// "Unknown command "tank frob"; the commands are: read, send". Empty otherwise.
std::string UnknownCommandMessage(CLI::App& app, int argc, const char* const* argv);

}  // namespace velta::cli
