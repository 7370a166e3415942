// The documents the faces publish, each built from snapshots alone: the MQTT state document, the
// Home Assistant discovery configs, the /status JSON and the /metrics text.
#pragma once

#include <string>
#include <vector>

#include "bridge/snapshot.h"

namespace velta::bridge {

struct Publication {
  std::string topic;
  std::string payload;  // retained
};

std::string StateTopic(const std::string& name);
std::string AvailabilityTopic(const std::string& name);

// velta/<name>/state: the last reading, the time it came and whether a session is open.
std::string StateDocument(const ControllerSnapshot& snapshot);

// Home Assistant's own discovery prefix, unless the bridge is told another.
constexpr const char* kDefaultDiscoveryPrefix = "homeassistant";

// One retained config per entity under <prefix>/<component>/velta_<name>/<object>/config,
// all on the controller's state and availability topics and one device with its firmware.
std::vector<Publication> DiscoveryConfigs(const ControllerSnapshot& snapshot,
                                          const std::string& prefix = kDefaultDiscoveryPrefix);
// Where Home Assistant says "online" when it starts, and so wants every config again.
std::string DiscoveryStatusTopic(const std::string& prefix);
// Every config topic of the controller, as a subscription: what is retained there and not
// announced any more is emptied, so Home Assistant removes the entity.
std::string DiscoveryTopics(const std::string& prefix, const std::string& name);
// A config topic, whatever its prefix.
bool IsDiscoveryTopic(const std::string& topic);

// GET /status: every controller.
std::string StatusDocument(const std::vector<ControllerSnapshot>& snapshots);

// GET /metrics in the Prometheus text format, one series per controller label.
std::string MetricsText(const std::vector<ControllerSnapshot>& snapshots, std::time_t now = std::time(nullptr));

}  // namespace velta::bridge
