// Home Assistant MQTT discovery: one config per entity, each reading its value out of the one
// state document. The readings' rows name the entities; the service session is the bridge's own.
#include <nlohmann/json.hpp>

#include "bridge/documents.h"
#include "i18n/lookup.h"

namespace velta::bridge {
namespace {

struct Entity {
  const char* component;
  const char* object;  // the entity's id under the controller, and its key in the state document
  const char* name;  // English, marked VN_; published in the bridge's language
  const char* unit;  // "" for none
  const char* deviceClass;
  const char* stateClass;
  const char* entityCategory;
};

constexpr Entity kSessionEntity{"binary_sensor", "session_open", VN_("Service session"), "", "", "",
                                 "diagnostic"};

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

std::string DiscoveryStatusTopic(const std::string& prefix) { return prefix + "/status"; }

std::string DiscoveryTopics(const std::string& prefix, const std::string& name) {
  return prefix + "/+/velta_" + name + "/+/config";
}

bool IsDiscoveryTopic(const std::string& topic) {
  const std::string end = "/config";
  return topic.size() > end.size() && topic.compare(topic.size() - end.size(), end.size(), end) == 0;
}

std::vector<Publication> DiscoveryConfigs(const ControllerSnapshot& snapshot, const std::string& prefix) {
  const std::string node = "velta_" + snapshot.name;
  nlohmann::json device = {{"identifiers", {node}},
                           {"name", "VELTA " + snapshot.name},
                           {"manufacturer", "Korvelt"},
                           {"model", V_("VEL pump controller")}};
  if (!snapshot.firmware.empty()) device["sw_version"] = snapshot.firmware;
  const nlohmann::json origin = {{"name", "velta-bridge"}, {"sw_version", VELTA_VERSION}};

  std::vector<Publication> configs;
  for (const Entity& entity : Entities(snapshot)) {
    const std::string key = entity.object;
    // Binary sensors read a JSON true or false; the rest read the value as it stands.
    const bool binary = std::string(entity.component) == "binary_sensor";
    nlohmann::json config = {
        {"name", V_(entity.name)},
        {"unique_id", node + "_" + key},
        {"default_entity_id", std::string(entity.component) + "." + node + "_" + key},
        // For Home Assistant before default_entity_id.
        {"object_id", node + "_" + key},
        {"state_topic", StateTopic(snapshot.name)},
        {"availability_topic", AvailabilityTopic(snapshot.name)},
        {"value_template", binary ? "{{ 'ON' if value_json." + key + " else 'OFF' }}"
                                  : "{{ value_json." + key + " }}"},
        {"device", device},
        {"origin", origin}};
    if (*entity.unit) config["unit_of_measurement"] = entity.unit;
    if (*entity.deviceClass) config["device_class"] = entity.deviceClass;
    if (*entity.stateClass) config["state_class"] = entity.stateClass;
    if (*entity.entityCategory) config["entity_category"] = entity.entityCategory;
    // The active errors' codes and texts beside their codes' entity.
    if (key == RowOf(ReadingId::ErrorCodes).key) {
      config["json_attributes_topic"] = StateTopic(snapshot.name);
      config["json_attributes_template"] = std::string("{{ {'errors': value_json.") +
                                           RowOf(ReadingId::Errors).key + "} | tojson }}";
    }
    configs.push_back(
        {prefix + "/" + entity.component + "/" + node + "/" + key + "/config",
         config.dump()});
  }
  return configs;
}

}  // namespace velta::bridge
