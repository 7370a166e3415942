#include "monitor/readings.h"

#include <cmath>
#include <cstdio>

#include "i18n/lookup.h"

namespace velta {
namespace {

using enum ReadingId;
using enum ValueKind;

constexpr ReadingRow kRows[] = {
    {Level, VN_("Level"), "%", 0, Number, "level_percent", "level_percent", true,
     {"sensor", "", "measurement", ""},
     {"velta_level_ratio", "gauge", "", 0.01,
      "Cistern level, 0 empty to 1 full (not with float switches)."}},
    {Pressure, VN_("Pressure"), "bar", 1, Number, "pressure_bar", "pressure_bar", true,
     {"sensor", "pressure", "measurement", ""},
     {"velta_pressure_bar", "gauge", "", 1, "Water pressure behind the pump in bar."}},
    {PumpPower, VN_("Pump power"), "%", 0, Number, "pump_power_percent", "pump_power_percent", true,
     {"sensor", "", "measurement", ""},
     {"velta_pump_power_ratio", "gauge", "", 0.01, "Pump power, 0 off to 1 full."}},
    {PumpRunning, VN_("Pump running"), "", 0, Flag, "pump_running", "pump_running", true,
     {"binary_sensor", "running", "", ""},
     {"velta_pump_running", "gauge", "", 1, "1 while the pump runs."}},
    {PumpAverage, VN_("Pump average"), "%", 0, Number, "pump_average_percent",
     "pump_average_percent", false, {"sensor", "", "measurement", ""},
     {"velta_pump_average_ratio", "gauge", "", 0.01,
      "The pump's average power, 0 to 1 (none before its first run)."}},
    {Temperature, VN_("Temperature"), "°C", 0, Number, "temperature_celsius", "temperature_celsius",
     true, {"sensor", "temperature", "measurement", ""},
     {"velta_temperature_celsius", "gauge", "", 1, "Temperature inside the controller."}},
    {ErrorByte1, VN_("Error byte 1"), "", 0, Number, "error_byte_1", "error_byte_1", true,
     {nullptr, "", "", ""}, {nullptr, "", "", 1, ""}},
    {ErrorByte2, VN_("Error byte 2"), "", 0, Number, "error_byte_2", "error_byte_2", true,
     {nullptr, "", "", ""}, {nullptr, "", "", 1, ""}},
    {WaterMeter1, VN_("Water meter 1"), "m³", 3, Number, "water_meter_1_m3", "water_meter_1_m3",
     false, {"sensor", "water", "total_increasing", ""},
     {"velta_water_meter_cubic_meters_total", "counter", "meter=\"1\"", 1, "Water meter reading."}},
    {WaterMeter2, VN_("Water meter 2"), "m³", 3, Number, "water_meter_2_m3", "water_meter_2_m3",
     false, {"sensor", "water", "total_increasing", ""},
     {"velta_water_meter_cubic_meters_total", "counter", "meter=\"2\"", 1, "Water meter reading."}},
    {Volume, VN_("Volume"), "L", 0, Number, nullptr, "volume_litres", false,
     {"sensor", "volume_storage", "measurement", ""},
     {"velta_volume_litres", "gauge", "", 1, "Water in the cistern in litres (with its size set)."}},
    // One metric sample per active error, labelled with its code.
    {Errors, VN_("Errors"), "", 0, ErrorList, nullptr, "errors", true, {nullptr, "", "", ""},
     {"velta_error_active", "gauge", "", 1, "1 for each error the controller reports now."}},
    {ErrorActive, VN_("Error active"), "", 0, Flag, nullptr, "error_active", true,
     {"binary_sensor", "problem", "", ""}, {nullptr, "", "", 1, ""}},
    {ErrorCodes, VN_("Active errors"), "", 0, Text, nullptr, "error_codes", true,
     {"sensor", "", "", ""}, {nullptr, "", "", 1, ""}},
    {HandMode, VN_("Hand mode"), "", 0, Flag, nullptr, "hand_mode", true,
     {"binary_sensor", "", "", "diagnostic"}, {nullptr, "", "", 1, ""}},
    {SensorMin, VN_("Float switch min"), "", 0, Flag, nullptr, "sensor_min", true,
     {"binary_sensor", "", "", "diagnostic"}, {nullptr, "", "", 1, ""}},
    {SensorMax, VN_("Float switch max"), "", 0, Flag, nullptr, "sensor_max", true,
     {"binary_sensor", "", "", "diagnostic"}, {nullptr, "", "", 1, ""}},
    {Valve, VN_("Valve open"), "", 0, Flag, nullptr, "valve_open", true,
     {"binary_sensor", "opening", "", "diagnostic"}, {nullptr, "", "", 1, ""}},
    {WriteEnabled, VN_("Write enabled"), "", 0, Flag, nullptr, "write_enabled", true,
     {"binary_sensor", "", "", "diagnostic"}, {nullptr, "", "", 1, ""}},
    {PumpHours, VN_("Pump hours"), "h", 0, Number, nullptr, "pump_hours", true,
     {"sensor", "duration", "total_increasing", "diagnostic"},
     {"velta_pump_run_seconds_total", "counter", "", 3600,
      "The pump's operating time in whole hours, in seconds."}},
    {PumpStarts, VN_("Pump starts"), "", 0, Number, nullptr, "pump_starts", false,
     {"sensor", "", "total_increasing", "diagnostic"},
     {"velta_pump_starts_total", "counter", "", 1, "Pump starts."}},
    {LeakStarts, VN_("Leak starts"), "", 0, Number, nullptr, "leak_starts", false,
     {"sensor", "", "measurement", "diagnostic"},
     {"velta_leak_starts", "gauge", "", 1, "Pump starts the leak watch counted."}},
    {ModuleRinse, VN_("Module rinse time"), "s", 0, Number, nullptr, "module_rinse_seconds", false,
     {"sensor", "duration", "measurement", "diagnostic"},
     {"velta_module_rinse_seconds", "gauge", "", 1, "The module rinse time in seconds."}},
    {FilterRinse, VN_("Filter rinse time"), "s", 0, Number, nullptr, "filter_rinse_seconds", false,
     {"sensor", "duration", "measurement", "diagnostic"},
     {"velta_filter_rinse_seconds", "gauge", "", 1, "The filter rinse time in seconds."}},
    // The sensors' raw converter readings and the Counters page's timers, for service.
    {LevelRaw, VN_("Level sensor (raw)"), "", 0, Number, nullptr, "level_raw", false,
     {nullptr, "", "", ""}, {nullptr, "", "", 1, ""}},
    {PressureRaw, VN_("Pressure sensor (raw)"), "", 0, Number, nullptr, "pressure_raw", false,
     {nullptr, "", "", ""}, {nullptr, "", "", 1, ""}},
    {TemperatureRaw, VN_("Temperature sensor (raw)"), "", 0, Number, nullptr, "temperature_raw",
     false, {nullptr, "", "", ""}, {nullptr, "", "", 1, ""}},
    {PumpRunThisHour, VN_("Pump run time this hour"), "s", 0, Number, nullptr,
     "pump_run_this_hour_seconds", false, {nullptr, "", "", ""}, {nullptr, "", "", 1, ""}},
    {WriteEnableTime, VN_("Write-enable time"), "", 0, Number, nullptr, "write_enable_time", false,
     {nullptr, "", "", ""}, {nullptr, "", "", 1, ""}},
    {Firmware, VN_("Firmware"), "", 0, Text, nullptr, "firmware", false, {nullptr, "", "", ""},
     {nullptr, "", "", 1, ""}},
};
static_assert(std::size(kRows) == kReadingCount);

constexpr bool RowsInIdOrder() {
  for (std::size_t i = 0; i < kReadingCount; ++i) {
    if (static_cast<std::size_t>(kRows[i].id) != i) return false;
  }
  return true;
}
static_assert(RowsInIdOrder());

std::string CodesText(const std::vector<ErrorFlagText>& errors) {
  std::string codes;
  for (const ErrorFlagText& error : errors) codes += (codes.empty() ? "" : " ") + error.code;
  return codes;
}

std::string FixedText(const Quantity& number) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", number.decimals, number.value);
  return text;
}

}  // namespace

std::span<const ReadingRow> ReadingRows() { return kRows; }

const ReadingRow& RowOf(ReadingId id) { return kRows[static_cast<std::size_t>(id)]; }

void Readings::Set(ReadingId id, ReadingValue value) {
  values_[Index(id)] = std::move(value);
  given_.set(Index(id));
}

void Readings::SetNumber(ReadingId id, double value) {
  Set(id, Quantity{value, RowOf(id).decimals});
}

void Readings::Merge(const Readings& newer) {
  for (std::size_t i = 0; i < kReadingCount; ++i) {
    if (!newer.given_[i]) continue;
    values_[i] = newer.values_[i];
    given_.set(i);
  }
}

const std::vector<ErrorFlagText>& Readings::Errors() const {
  static const std::vector<ErrorFlagText> none;
  const auto* errors = std::get_if<std::vector<ErrorFlagText>>(&(*this)[ReadingId::Errors]);
  return errors ? *errors : none;
}

void SetErrors(Readings& readings, std::uint8_t e1, std::uint8_t e2,
               std::vector<ErrorFlagText> active) {
  const std::string codes = CodesText(active);
  readings.SetNumber(ErrorByte1, e1);
  readings.SetNumber(ErrorByte2, e2);
  readings.Set(ErrorActive, !active.empty());
  readings.Set(ErrorCodes, codes.empty() ? "none" : codes);
  readings.Set(Errors, std::move(active));
}

std::optional<double> NumberOf(const ReadingValue& value) {
  if (const auto* number = std::get_if<Quantity>(&value)) return number->value;
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? 1.0 : 0.0;
  return std::nullopt;
}

std::string PlainText(const ReadingValue& value) {
  if (const auto* number = std::get_if<Quantity>(&value)) return FixedText(*number);
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "1" : "0";
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* errors = std::get_if<std::vector<ErrorFlagText>>(&value)) {
    return CodesText(*errors);
  }
  return "";
}

std::string TextWithUnit(const ReadingRow& row, const ReadingValue& value) {
  if (std::holds_alternative<std::monostate>(value)) return V_("no value");
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? V_("yes") : V_("no");
  const std::string text = PlainText(value);
  return *row.unit == '\0' ? text : text + " " + row.unit;
}

std::vector<const ReadingRow*> CsvRows() {
  std::vector<const ReadingRow*> rows;
  for (const ReadingRow& row : kRows) {
    if (row.csvColumn != nullptr) rows.push_back(&row);
  }
  return rows;
}

}  // namespace velta
