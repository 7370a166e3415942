// The bridge as a whole: its listeners, one watched controller per configured controller, the
// faces, and the signals that stop it.
#pragma once

#include "bridge/bridge_config.h"

namespace velta::bridge {

enum ExitCode : int {
  kExitStopped = 0,    // stopped by SIGINT or SIGTERM
  kExitRefused = 1,    // options or configuration refused
  kExitNoListen = 2,   // an address to listen on could not be taken
};

// Opens every listening address first, so a taken port stops the start before any controller
// link is opened; then watches until SIGINT or SIGTERM.
int RunBridge(const BridgeConfig& config);

}  // namespace velta::bridge
