// Home Assistant MQTT discovery: one config per entity, each reading its value out of the one
// state document.
#include <array>
#include <nlohmann/json.hpp>

#include "bridge/documents.h"
#include "i18n/lookup.h"

namespace velta::bridge {
namespace {

enum class Shown { Always, WithVolume, WithWaterMeter1, WithWaterMeter2 };

struct Entity {
  const char* component;
  const char* object;  // the entity's id under the controller, and its key in the state document
  const char* name;
  const char* unit;  // "" for none
  const char* deviceClass;
  const char* stateClass;
  Shown shown;
};

// Binary sensors read a JSON true or false; the rest read the value as it stands.
constexpr std::array<Entity, 11> kEntities{{
    {"sensor", "level_percent", VN_("Level"), "%", "", "measurement", Shown::Always},
    {"sensor", "volume_litres", VN_("Volume"), "L", "volume_storage", "measurement", Shown::WithVolume},
    {"sensor", "pressure_bar", VN_("Pressure"), "bar", "pressure", "measurement", Shown::Always},
    {"sensor", "temperature_celsius", VN_("Temperature"), "°C", "temperature", "measurement",
     Shown::Always},
    {"sensor", "pump_power_percent", VN_("Pump power"), "%", "", "measurement", Shown::Always},
    {"sensor", "water_meter_1_m3", VN_("Water meter 1"), "m³", "water", "total_increasing",
     Shown::WithWaterMeter1},
    {"sensor", "water_meter_2_m3", VN_("Water meter 2"), "m³", "water", "total_increasing",
     Shown::WithWaterMeter2},
    {"sensor", "error_codes", VN_("Active errors"), "", "", "", Shown::Always},
    {"binary_sensor", "pump_running", VN_("Pump running"), "", "running", "", Shown::Always},
    {"binary_sensor", "error_active", VN_("Error active"), "", "problem", "", Shown::Always},
    {"binary_sensor", "session_open", VN_("Service session"), "", "", "", Shown::Always},
}};

bool IsShown(Shown shown, const ControllerSnapshot& snapshot) {
  switch (shown) {
    case Shown::Always: return true;
    case Shown::WithVolume: return snapshot.cisternLitres > 0;
    case Shown::WithWaterMeter1: return snapshot.reading && snapshot.reading->waterMeters[0];
    case Shown::WithWaterMeter2: return snapshot.reading && snapshot.reading->waterMeters[1];
  }
  return false;
}

}  // namespace

std::vector<Publication> DiscoveryConfigs(const ControllerSnapshot& snapshot) {
  const std::string node = "velta_" + snapshot.name;
  nlohmann::json device = {{"identifiers", {node}},
                           {"name", "VELTA " + snapshot.name},
                           {"manufacturer", "Korvelt"},
                           {"model", V_("VEL pump controller")}};
  if (!snapshot.firmware.empty()) device["sw_version"] = snapshot.firmware;

  std::vector<Publication> configs;
  for (const Entity& entity : kEntities) {
    if (!IsShown(entity.shown, snapshot)) continue;
    const std::string key = entity.object;
    const bool binary = std::string(entity.component) == "binary_sensor";
    nlohmann::json config = {
        {"name", V_(entity.name)},
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
    configs.push_back(
        {"homeassistant/" + std::string(entity.component) + "/" + node + "/" + key + "/config",
         config.dump()});
  }
  return configs;
}

}  // namespace velta::bridge
