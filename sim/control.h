// The control port's commands (see HelpText): tests and demos inspect and steer the simulated
// controller with them while it runs.
#pragma once

#include <string>
#include <string_view>

#include "sim/device.h"

namespace velta::sim {

struct ControlReply {
  std::string text;   // data lines, then "ok" or "error ...", then "." - each ended by '\n'
  bool quit = false;
};

ControlReply ExecuteControl(Device& device, std::string_view line);

}  // namespace velta::sim
