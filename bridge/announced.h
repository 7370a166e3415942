// What the bridge announced to Home Assistant, kept across runs: the discovery subscriptions of its
// controllers, one per line in <state directory>/announced. A controller taken out of the
// configuration is still in the file at the next start, and its configs are emptied then.
#pragma once

#include <string>
#include <vector>

#include "bridge/bridge_config.h"

namespace velta::bridge {

// The discovery subscriptions the last run announced that this run does not, and remembers this
// run's in their place. A file that cannot be read or written costs only the removal, said in
// `warning`.
std::vector<std::string> TakeOverAnnounced(const MqttConfig& mqtt, const std::vector<ControllerConfig>& controllers,
                                           std::string& warning);

}  // namespace velta::bridge
