// Every reading of one simulator pass as each output carries it: the measurement log's cell, the
// JSON value under its key (velta-cli and the MQTT state document), the Prometheus sample and the
// Home Assistant entity's unit.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "bridge/documents.h"
#include "controller/fields.h"
#include "monitor/measurement_log.h"
#include "monitor/readings_json.h"
#include "service/status_watch.h"
#include "tests/support/english_suite.h"
#include "tests/support/sim_process.h"

namespace velta {
namespace {

using nlohmann::json;

class ReadingRowsTest : public test::EnglishSuite {};

// The cells of a CSV line without quotes.
std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::istringstream in(line);
  for (std::string cell; std::getline(in, cell, ',');) cells.push_back(cell);
  if (!line.empty() && line.back() == ',') cells.emplace_back();
  return cells;
}

TEST_F(ReadingRowsTest, OnePageInEveryOutput) {
  test::SimProcess sim({"--set", "level=42", "--set", "pressure=35", "--set", "temp=100",
                        "--set", "pump=80", "--set", "mean=255", "--set", "error=0x0C",
                        "--set", "watermeter=1", "--set", "cistern=67893", "--set", "mains=1234",
                        "--set", "starts=45679", "--set", "leak=3", "--set", "hours=12",
                        "--set", "modulerinse=1", "--set", "modulerinsetime=210937",
                        "--set", "filter=0", "--set", "hand=1", "--set", "valve=1",
                        "--set", "sensormin=1", "--set", "sensormax=0", "--set", "runticks=8789"});
  // The raw level the simulator derives from the cistern's reference values.
  const std::vector<std::uint8_t> memory = sim.Memory();
  const auto word = [&](int address) { return memory[address] << 8 | memory[address + 1]; };
  const int empty = word(field::RefZistLeer.address), full = word(field::RefZistVoll.address);
  const int levelRaw = static_cast<int>(empty + (full - empty) * 42 / 100.0);
  StatusWatch watch(sim.TcpSettings());
  watch.SetAskVersion(true);
  ASSERT_TRUE(watch.Open().opened);
  // The version, then Main, history, meters, counters, module and filter rinse, back at Main.
  for (int step = 0; step < 8; ++step) watch.Step();
  const Readings readings = watch.Latest().readings;

  bridge::ControllerSnapshot snapshot;
  snapshot.name = "t";
  snapshot.linkUp = true;
  snapshot.reading = bridge::Reading{0, readings};
  const json state = json::parse(bridge::StateDocument(snapshot));
  const std::string metrics = bridge::MetricsText({snapshot}, 0);
  std::map<std::string, json> entities;  // by state key
  for (const bridge::Publication& config : bridge::DiscoveryConfigs(snapshot)) {
    const json entity = json::parse(config.payload);
    entities[entity["unique_id"].get<std::string>().substr(std::string("velta_t_").size())] = entity;
  }
  const std::vector<std::string> header = Cells(MeasurementLogHeader());
  const std::vector<std::string> row = Cells(MeasurementRow(0, readings));
  ASSERT_EQ(header.size(), row.size());

  const json errors = json::array({{{"code", "Er.b"}, {"text", "Sensor cistern defectively! (Er.b)"}},
                                   {{"code", "Er.P"}, {"text", "No water pump! (Er.P)"}}});
  const struct {
    ReadingId id;
    const char* key;
    const char* unit;  // of the Home Assistant entity; nullptr: no entity
    const char* cell;  // nullptr: no CSV column
    json value;
    const char* sample;  // the metric line; nullptr: none
  } rows[] = {
      {ReadingId::Level, "level_percent", "%", "42", 42, "velta_level_ratio{controller=\"t\"} 0.42"},
      {ReadingId::Pressure, "pressure_bar", "bar", "3.5", 3.5, "velta_pressure_bar{controller=\"t\"} 3.5"},
      {ReadingId::PumpPower, "pump_power_percent", "%", "80", 80, "velta_pump_power_ratio{controller=\"t\"} 0.8"},
      {ReadingId::PumpRunning, "pump_running", "", "1", true, "velta_pump_running{controller=\"t\"} 1"},
      {ReadingId::PumpAverage, "pump_average_percent", nullptr, "", nullptr, nullptr},
      {ReadingId::Temperature, "temperature_celsius", "°C", "52", 52,
       "velta_temperature_celsius{controller=\"t\"} 52"},
      {ReadingId::ErrorByte1, "error_byte_1", nullptr, "12", 12, nullptr},
      {ReadingId::ErrorByte2, "error_byte_2", nullptr, "0", 0, nullptr},
      {ReadingId::WaterMeter1, "water_meter_1_m3", "m³", "67.893", 67.893,
       "velta_water_meter_cubic_meters_total{controller=\"t\",meter=\"1\"} 67.893"},
      {ReadingId::WaterMeter2, "water_meter_2_m3", "m³", "1.234", 1.234,
       "velta_water_meter_cubic_meters_total{controller=\"t\",meter=\"2\"} 1.234"},
      {ReadingId::Volume, "volume_litres", nullptr, nullptr, nullptr, nullptr},
      {ReadingId::Errors, "errors", nullptr, nullptr, errors, "velta_error_active{controller=\"t\",code=\"Er.P\"} 1"},
      {ReadingId::ErrorActive, "error_active", "", nullptr, true, nullptr},
      {ReadingId::ErrorCodes, "error_codes", "", nullptr, "Er.b Er.P", nullptr},
      {ReadingId::HandMode, "hand_mode", "", nullptr, true, nullptr},
      {ReadingId::SensorMin, "sensor_min", "", nullptr, true, nullptr},
      {ReadingId::SensorMax, "sensor_max", "", nullptr, false, nullptr},
      {ReadingId::Valve, "valve_open", "", nullptr, true, nullptr},
      {ReadingId::WriteEnabled, "write_enabled", "", nullptr, false, nullptr},
      {ReadingId::PumpHours, "pump_hours", "h", nullptr, 12, "velta_pump_run_seconds_total{controller=\"t\"} 43200"},
      {ReadingId::PumpStarts, "pump_starts", "", nullptr, 45679, "velta_pump_starts_total{controller=\"t\"} 45679"},
      {ReadingId::LeakStarts, "leak_starts", "", nullptr, 3, "velta_leak_starts{controller=\"t\"} 3"},
      {ReadingId::ModuleRinse, "module_rinse_seconds", "s", nullptr, 86399,
       "velta_module_rinse_seconds{controller=\"t\"} 86399"},
      {ReadingId::FilterRinse, "filter_rinse_seconds", nullptr, nullptr, nullptr, nullptr},
      {ReadingId::LevelRaw, "level_raw", nullptr, nullptr, levelRaw, nullptr},
      {ReadingId::PressureRaw, "pressure_raw", nullptr, nullptr, 102 + 35 * 8, nullptr},
      {ReadingId::TemperatureRaw, "temperature_raw", nullptr, nullptr, 100 * 4 + 1, nullptr},
      {ReadingId::PumpRunThisHour, "pump_run_this_hour_seconds", nullptr, nullptr, 3599, nullptr},
      {ReadingId::WriteEnableTime, "write_enable_time", nullptr, nullptr, 0, nullptr},
      {ReadingId::Firmware, "firmware", nullptr, nullptr, "1.60", nullptr},
  };
  ASSERT_EQ(std::size(rows), kReadingCount) << "a row of every reading";
  for (const auto& expected : rows) {
    const ReadingRow& reading = RowOf(expected.id);
    SCOPED_TRACE(expected.key);
    EXPECT_STREQ(reading.key, expected.key);
    EXPECT_EQ(state[expected.key], expected.value) << "the MQTT state document";
    EXPECT_EQ(ReadingsJson(readings)[expected.key], expected.value) << "velta-cli --json";
    const auto column = std::find(header.begin(), header.end(), reading.csvColumn ? reading.csvColumn : "");
    EXPECT_EQ(column != header.end(), expected.cell != nullptr);
    if (expected.cell && column != header.end()) {
      EXPECT_EQ(row[column - header.begin()], expected.cell);
    }
    if (expected.sample) {
      EXPECT_NE(metrics.find(std::string(expected.sample) + "\n"), std::string::npos) << metrics;
    }
    const auto entity = entities.find(expected.key);
    EXPECT_EQ(entity != entities.end(), expected.unit != nullptr);
    if (expected.unit && entity != entities.end()) {
      EXPECT_EQ(entity->second.value("unit_of_measurement", ""), expected.unit);
    }
  }
  // What has no value has no sample: no metric carries a row without one.
  EXPECT_EQ(metrics.find("velta_pump_average_ratio{"), std::string::npos) << metrics;
  EXPECT_EQ(metrics.find("velta_filter_rinse_seconds{"), std::string::npos) << metrics;
}

}  // namespace
}  // namespace velta
