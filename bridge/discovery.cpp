// Home Assistant MQTT discovery: one config per entity, each reading its value out of the one
// state document. The readings' rows name the entities; the service session is the bridge's own.
#include <nlohmann/json.hpp>

#include "bridge/documents.h"

namespace velta::bridge {
namespace {

struct Entity {
  const char* component;
  const char* object;  // the entity's id under the controller, and its key in the state document
  const char* name;
  const char* unit;  // "" for none
  const char* deviceClass;
  const char* stateClass;
  const char* entityCategory;
};

constexpr Entity kSessionEntity{"binary_sensor", "session_open", "Service session", "", "", "", ""};

std::vector<Entity> Entities(const ControllerSnapshot& snapshot) {
  std::vector<Entity> entities;
  for (const ReadingRow& row : ReadingRows()) {
    const auto& ha = row.homeAssistant;
    if (ha.component == nullptr) continue;
    // A reading the controller never gave (no water meter, no cistern size) has no entity.
    if (!row.alwaysListed && !(snapshot.reading && snapshot.reading->values.Known(row.id))) continue;
    entities.push_back(
        {ha.component, row.key, row.name, row.unit, ha.deviceClass, ha.stateClass, ha.entityCategory});
  }
  entities.push_back(kSessionEntity);
  return entities;
}

}  // namespace

std::vector<Publication> DiscoveryConfigs(const ControllerSnapshot& snapshot) {
  const std::string node = "velta_" + snapshot.name;
  nlohmann::json device = {{"identifiers", {node}},
                           {"name", "VELTA " + snapshot.name},
                           {"manufacturer", "Korvelt"},
                           {"model", "VEL pump controller"}};
  if (!snapshot.firmware.empty()) device["sw_version"] = snapshot.firmware;

  std::vector<Publication> configs;
  for (const Entity& entity : Entities(snapshot)) {
    const std::string key = entity.object;
    // Binary sensors read a JSON true or false; the rest read the value as it stands.
    const bool binary = std::string(entity.component) == "binary_sensor";
    nlohmann::json config = {
        {"name", entity.name},
        {"unique_id", node + "_" + key},
        {"object_id", node + "_" + key},
        {"state_topic", StateTopic(snapshot.name)},
        {"availability_topic", AvailabilityTopic(snapshot.name)},
        {"value_template", binary ? "{{ 'ON' if value_json." + key + " else 'OFF' }}"
                                  : "{{ value_json." + key + " }}"},
        {"device", device}};
    if (*entity.unit) config["unit_of_measurement"] = entity.unit;
    if (*entity.deviceClass) config["device_class"] = entity.deviceClass;
    if (*entity.stateClass) config["state_class"] = entity.stateClass;
    if (*entity.entityCategory) config["entity_category"] = entity.entityCategory;
    configs.push_back(
        {"homeassistant/" + std::string(entity.component) + "/" + node + "/" + key + "/config",
         config.dump()});
  }
  return configs;
}

}  // namespace velta::bridge
