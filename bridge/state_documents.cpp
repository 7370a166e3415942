#include <nlohmann/json.hpp>

#include "bridge/documents.h"
#include "monitor/readings_json.h"

namespace velta::bridge {
namespace {

nlohmann::json ReadingJson(const ControllerSnapshot& snapshot) {
  return ReadingsJson(snapshot.reading->values, snapshot.reading->time);
}

}  // namespace

std::string StateTopic(const std::string& name) { return "velta/" + name + "/state"; }
std::string AvailabilityTopic(const std::string& name) { return "velta/" + name + "/availability"; }

std::string StateDocument(const ControllerSnapshot& snapshot) {
  nlohmann::json out = snapshot.reading ? ReadingJson(snapshot) : nlohmann::json::object();
  out["session_open"] = snapshot.sessionOpen;
  return out.dump();
}

std::string StatusDocument(const std::vector<ControllerSnapshot>& snapshots) {
  nlohmann::json controllers = nlohmann::json::array();
  for (const ControllerSnapshot& snapshot : snapshots) {
    controllers.push_back({{"name", snapshot.name},
                           {"link", snapshot.link},
                           {"link_up", snapshot.linkUp},
                           {"session_open", snapshot.sessionOpen},
                           {"firmware", snapshot.firmware},
                           {"exchanges", snapshot.exchanges},
                           {"failed_exchanges", snapshot.failedExchanges},
                           {"state", snapshot.reading ? ReadingJson(snapshot) : nullptr}});
  }
  return nlohmann::json{{"controllers", controllers}}.dump(2) + "\n";
}

}  // namespace velta::bridge
