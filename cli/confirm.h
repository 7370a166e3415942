// The question before every write, asked on the terminal as the windows ask it in a message box.
#pragma once

#include <string>

#include "cli/cli_context.h"

namespace velta::cli {

// True when the write may go ahead: --yes was given, or the user answered yes on the terminal.
// Without --yes and without a terminal to ask on, the write is refused with a message; a "no"
// says that nothing was written.
bool Confirm(const CliContext& context, const std::string& question);

}  // namespace velta::cli
