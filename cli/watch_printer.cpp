#include "cli/watch_printer.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "files/user_folders.h"
#include "monitor/readings_json.h"

namespace velta::cli {
namespace {

// The readings a terminal row shows, in this order.
constexpr ReadingId kTableColumns[] = {ReadingId::Level,       ReadingId::Pressure,
                                       ReadingId::PumpPower,   ReadingId::Temperature,
                                       ReadingId::WaterMeter1, ReadingId::WaterMeter2,
                                       ReadingId::ErrorCodes};
constexpr std::size_t kMinimumWidth = 8;

std::string ClockText(std::chrono::system_clock::time_point when) {
  return LocalTimeText(std::chrono::system_clock::to_time_t(when), "%H:%M:%S");
}

// Characters, not bytes: "°C" and "m³" take one column each.
std::size_t Columns(const std::string& text) {
  return std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
}

std::string Title(const ReadingRow& row) {
  return *row.unit ? std::string(row.name) + " " + row.unit : std::string(row.name);
}

// Right-aligned in the column its title needs.
std::string Cell(const ReadingRow& row, const std::string& text) {
  const std::size_t width = std::max(Columns(Title(row)), kMinimumWidth);
  const std::size_t used = Columns(text);
  return std::string(width > used ? width - used : 0, ' ') + text;
}

void PrintTableHeader() {
  std::string line = "time    ";
  for (ReadingId id : kTableColumns) line += "  " + Cell(RowOf(id), Title(RowOf(id)));
  std::printf("%s\n", line.c_str());
}

void PrintTableRow(const Readings& readings, std::chrono::system_clock::time_point when) {
  std::string line = ClockText(when);
  for (ReadingId id : kTableColumns) {
    const std::string text = readings.Known(id) ? PlainText(readings[id]) : "-";
    line += "  " + Cell(RowOf(id), text);
  }
  std::printf("%s\n", line.c_str());
}

}  // namespace

void PrintDisplayTexts(const StatusValues& values) {
  nlohmann::json out;
  const MainPageView& m = *values.main;
  out["level_percent"] = m.levelBar;
  out["level"] = m.levelText.value_or("");
  out["pump"] = m.pump;
  out["pump_running"] = m.pumpRunning;
  out["pump_average"] = m.pumpAverage;
  out["pressure"] = m.pressure;
  out["temperature"] = m.temperature;
  out["mode"] = m.mode;
  out["valve"] = m.valve;
  out["sensor_min"] = m.sensorMin;
  out["sensor_max"] = m.sensorMax;
  out["write_enabled"] = m.writeEnabled;
  out["errors"] = {values.e1, values.e2};
  if (m.errors) out["error_lines"] = m.errors->lines;
  // The side pages' texts, as their rows name them.
  for (const ShownText& shown : values.texts) {
    if (!shown.text.empty()) out[shown.field.key] = shown.text;
  }
  for (const auto& [key, value] : out.items()) {
    std::printf("%-15s %s\n", key.c_str(),
                value.is_string() ? value.get<std::string>().c_str() : value.dump().c_str());
  }
}

void WatchPrinter::Print(const StatusValues& values, std::chrono::system_clock::time_point when) {
  switch (output_) {
    case WatchOutput::JsonLines:
      std::printf("%s\n",
                  ReadingsJson(values.readings, std::chrono::system_clock::to_time_t(when)).dump().c_str());
      return;
    case WatchOutput::Table:
      if (rowsSinceHeader_ == 0) PrintTableHeader();
      PrintTableRow(values.readings, when);
      // The header again once it has scrolled off the screen.
      rowsSinceHeader_ = (rowsSinceHeader_ + 1) % std::max(screenRows_ - 2, 1);
      return;
    case WatchOutput::Texts:
      std::printf("%-15s %s\n", "time", ClockText(when).c_str());
      PrintDisplayTexts(values);
      return;
  }
}

void WatchPrinter::Say(const std::string& line, std::chrono::system_clock::time_point when) {
  std::fprintf(stderr, "%s %s\n", ClockText(when).c_str(), line.c_str());
}

}  // namespace velta::cli
