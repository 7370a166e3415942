// /metrics and the Home Assistant configs from made-up snapshots, without a broker: what a scrape
// shows of a controller that answers, one that does not and one whose reading is old, and configs
// that never collide between controllers.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "bridge/documents.h"

namespace velta::bridge {
namespace {

constexpr std::time_t kNow = 1'800'000'000;

ControllerSnapshot Made(const std::string& name, bool linkUp, std::time_t readingAge) {
  ControllerSnapshot snapshot;
  snapshot.name = name;
  snapshot.linkUp = linkUp;
  snapshot.firmware = "1.60";
  snapshot.exchanges = 7;
  snapshot.mqttConnected = true;
  Reading reading{kNow - readingAge, {}};
  reading.values.SetNumber(ReadingId::Level, 42);
  reading.values.SetNumber(ReadingId::PumpPower, 55);
  snapshot.reading = reading;
  return snapshot;
}

TEST(BridgeDocuments, GaugesShowOnlyALiveReading) {
  const struct {
    const char* what;
    bool linkUp;
    std::time_t age;
    bool gauges;
  } rows[] = {
      {"live", true, 1, true},
      {"link down", false, 1, false},
      {"reading older than 3 s", true, 4, false},
  };
  for (const auto& row : rows) {
    const std::string metrics = MetricsText({Made("a", row.linkUp, row.age)}, kNow);
    SCOPED_TRACE(row.what);
    EXPECT_EQ(metrics.find("velta_level_ratio{controller=\"a\"} 0.42\n") != std::string::npos, row.gauges);
    EXPECT_EQ(metrics.find("velta_pump_power_ratio{controller=\"a\"} 0.55\n") != std::string::npos, row.gauges);
    EXPECT_NE(metrics.find("velta_link_up{controller=\"a\"} " + std::string(row.linkUp ? "1" : "0") + "\n"),
              std::string::npos);
    EXPECT_NE(metrics.find("velta_exchanges_total{controller=\"a\"} 7\n"), std::string::npos);
    EXPECT_NE(metrics.find("velta_last_reading_timestamp_seconds{controller=\"a\"} " +
                           std::to_string(kNow - row.age) + "\n"), std::string::npos);
    EXPECT_NE(metrics.find("velta_controller_info{controller=\"a\",firmware=\"1.60\"} 1\n"), std::string::npos);
    EXPECT_NE(metrics.find("velta_mqtt_connected{controller=\"a\"} 1\n"), std::string::npos);
    EXPECT_NE(metrics.find("velta_build_info{version=\""), std::string::npos);
  }
}

TEST(BridgeDocuments, ConfigsOfTwoControllersNeverCollide) {
  ControllerSnapshot withVolume = Made("south", true, 0);
  withVolume.cisternLitres = 6000;
  withVolume.reading->values.SetNumber(ReadingId::Volume, 2520);
  std::set<std::string> topics, ids;
  for (const ControllerSnapshot& snapshot : {Made("north", true, 0), withVolume}) {
    for (const Publication& config : DiscoveryConfigs(snapshot)) {
      const nlohmann::json entity = nlohmann::json::parse(config.payload);
      EXPECT_TRUE(topics.insert(config.topic).second) << config.topic;
      EXPECT_TRUE(ids.insert(entity["unique_id"].get<std::string>()).second) << config.topic;
      EXPECT_EQ(entity["default_entity_id"], config.topic.substr(14, config.topic.find('/', 14) - 14) + "." +
                                                 entity["object_id"].get<std::string>());
      EXPECT_EQ(entity["origin"]["name"], "velta-bridge");
      EXPECT_EQ(entity["name"].get<std::string>().find(snapshot.name), std::string::npos) << "no device name";
    }
  }
  EXPECT_FALSE(topics.count("homeassistant/sensor/velta_north/volume_litres/config")) << "no cistern size";
  EXPECT_TRUE(topics.count("homeassistant/sensor/velta_south/volume_litres/config"));
  const auto entity = [&](const char* topic) {
    for (const Publication& config : DiscoveryConfigs(Made("north", true, 0))) {
      if (config.topic == topic) return nlohmann::json::parse(config.payload);
    }
    return nlohmann::json();
  };
  const nlohmann::json pump = entity("homeassistant/binary_sensor/velta_north/pump_running/config");
  EXPECT_EQ(pump["value_template"], "{{ 'ON' if value_json.pump_running else 'OFF' }}");
  const nlohmann::json session = entity("homeassistant/binary_sensor/velta_north/session_open/config");
  EXPECT_EQ(session["entity_category"], "diagnostic");
  const nlohmann::json codes = entity("homeassistant/sensor/velta_north/error_codes/config");
  EXPECT_EQ(codes["json_attributes_topic"], "velta/north/state");
}

}  // namespace
}  // namespace velta::bridge
