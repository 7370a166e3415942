// /metrics and the Home Assistant configs from made-up snapshots, without a broker.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

#include "bridge/documents.h"

namespace velta::bridge {
namespace {

constexpr std::time_t kNow = 1'800'000'000;

ControllerSnapshot Made(const std::string& name, bool linkUp = true, std::time_t readingAge = 0) {
  ControllerSnapshot snapshot{name, "", linkUp, false, "1.60", 0, Reading{kNow - readingAge, {}}, 7, 0, true};
  snapshot.reading->values.SetNumber(ReadingId::Level, 42);
  snapshot.reading->values.SetNumber(ReadingId::PumpPower, 55);
  return snapshot;
}

TEST(BridgeDocuments, GaugesShowOnlyALiveReadingBesideTheirAgeAndVersions) {
  const struct {
    bool linkUp;
    std::time_t age;
    bool gauges;
  } rows[] = {{true, 1, true}, {false, 1, false}, {true, 4, false}};  // live, link down, over 3 s old
  for (const auto& row : rows) {
    const std::string metrics = MetricsText({Made("a", row.linkUp, row.age)}, kNow);
    const auto has = [&](const std::string& line) { return metrics.find(line + "\n") != std::string::npos; };
    EXPECT_EQ(has("velta_level_ratio{controller=\"a\"} 0.42"), row.gauges) << row.age;
    EXPECT_EQ(has("velta_pump_power_ratio{controller=\"a\"} 0.55"), row.gauges) << row.age;
    EXPECT_TRUE(has("velta_link_up{controller=\"a\"} " + std::to_string(row.linkUp)));
    EXPECT_TRUE(has("velta_exchanges_total{controller=\"a\"} 7"));
    EXPECT_TRUE(has("velta_last_reading_timestamp_seconds{controller=\"a\"} " + std::to_string(kNow - row.age)));
    EXPECT_TRUE(has("velta_controller_info{controller=\"a\",firmware=\"1.60\"} 1"));
    EXPECT_TRUE(has("velta_mqtt_connected{controller=\"a\"} 1"));
    EXPECT_NE(metrics.find("velta_build_info{version=\""), std::string::npos);
  }
}

TEST(BridgeDocuments, ConfigsOfTwoControllersNeverCollide) {
  ControllerSnapshot south = Made("south");
  south.reading->values.SetNumber(ReadingId::Volume, 2520);
  std::set<std::string> ids;
  std::map<std::string, nlohmann::json> configs;  // by topic
  for (const ControllerSnapshot& snapshot : {Made("north"), south}) {
    for (const Publication& config : DiscoveryConfigs(snapshot)) {
      const nlohmann::json entity = configs[config.topic] = nlohmann::json::parse(config.payload);
      EXPECT_TRUE(ids.insert(entity["unique_id"].get<std::string>()).second) << config.topic;
      const std::string component = config.topic.substr(14, config.topic.find('/', 14) - 14);
      EXPECT_EQ(entity["default_entity_id"], component + "." + entity["object_id"].get<std::string>());
      EXPECT_EQ(entity["origin"]["name"], "velta-bridge");
      EXPECT_EQ(entity["name"].get<std::string>().find(snapshot.name), std::string::npos) << "no device name";
    }
  }
  EXPECT_FALSE(configs.count("homeassistant/sensor/velta_north/volume_litres/config")) << "no cistern size";
  EXPECT_TRUE(configs.count("homeassistant/sensor/velta_south/volume_litres/config"));
  EXPECT_EQ(configs["homeassistant/binary_sensor/velta_north/pump_running/config"]["value_template"],
            "{{ 'ON' if value_json.pump_running else 'OFF' }}");
  EXPECT_EQ(configs["homeassistant/binary_sensor/velta_north/session_open/config"]["entity_category"], "diagnostic");
  EXPECT_EQ(configs["homeassistant/sensor/velta_north/error_codes/config"]["json_attributes_topic"], "velta/north/state");
  const auto other = DiscoveryConfigs(Made("north"), "site7/ha");
  EXPECT_EQ(other.size(), DiscoveryConfigs(Made("north")).size());
  EXPECT_TRUE(std::all_of(other.begin(), other.end(), [](auto& c) { return c.topic.rfind("site7/ha/", 0) == 0; }));
}

}  // namespace
}  // namespace velta::bridge
