#include "bridge/announced.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "i18n/lookup.h"
#include "bridge/documents.h"
#include "files/atomic_write.h"
#include "files/regular_file.h"

namespace velta::bridge {
namespace {

constexpr std::size_t kMaxStateFileSize = 1024 * 1024;

}  // namespace

std::vector<std::string> TakeOverAnnounced(const MqttConfig& mqtt, const std::vector<ControllerConfig>& controllers,
                                           std::string& warning) {
  if (mqtt.stateDirectory.empty()) {
    warning = V_("no state directory (--state-directory): entities of removed controllers stay in "
                 "Home Assistant");
    return {};
  }
  const std::string path = mqtt.stateDirectory + "/announced";
  std::string now;
  std::vector<std::string> current;
  for (const ControllerConfig& controller : controllers) {
    current.push_back(DiscoveryTopics(mqtt.discoveryPrefix, controller.name));
    now += current.back() + "\n";
  }
  std::vector<std::string> forgotten;
  std::string reason;
  if (const auto before = ReadRegularFile(path, kMaxStateFileSize, reason)) {
    std::istringstream lines(*before);
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && std::find(current.begin(), current.end(), line) == current.end()) {
        forgotten.push_back(line);
      }
    }
  }
  std::error_code error;
  std::filesystem::create_directories(mqtt.stateDirectory, error);
  if (error || !WriteFileAtomically(path, now, reason)) {
    warning = Format(V_("cannot remember the announced controllers in %s: %s; removing one later "
                        "leaves its entities in Home Assistant"),
                     path.c_str(), (error ? error.message() : reason).c_str());
  }
  return forgotten;
}

}  // namespace velta::bridge
