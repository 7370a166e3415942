#include "monitor/measurement_log.h"

#include <sys/stat.h>

#include <iterator>

#include "controller/user_folders.h"
#include "i18n/lookup.h"

namespace velta {
namespace {

// Fields with a separator or a quote are quoted, quotes doubled.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string Number(const std::optional<int>& value) {
  return value ? std::to_string(*value) : "";
}

}  // namespace

const char* const kMeasurementLogHeader =
    "time,level_percent,pressure_bar,pump_power_percent,pump_running,pump_average_percent,"
    "temperature_celsius,error_byte_1,error_byte_2,water_meter_1_m3,water_meter_2_m3";

std::string MeasurementRow(std::time_t when, const MainPageView& page, std::uint8_t e1,
                           std::uint8_t e2, const std::optional<WaterMeterView>& meters) {
  const std::string fields[] = {
      LocalTimeText(when, "%Y-%m-%dT%H:%M:%S"),
      Number(page.levelPercent),
      Format("%d.%d", page.pressureTenthsBar / 10, page.pressureTenthsBar % 10),
      std::to_string(page.pumpPowerPercent),
      page.pumpRunning ? "1" : "0",
      Number(page.pumpAveragePercent),
      std::to_string(page.temperatureCelsius),
      std::to_string(e1),
      std::to_string(e2),
      meters ? PlainCubicMetres(meters->firstReading, meters->decimals) : "",
      meters ? PlainCubicMetres(meters->secondReading, meters->decimals) : "",
  };
  std::string row = CsvField(fields[0]);
  for (std::size_t i = 1; i < std::size(fields); ++i) row += ',' + CsvField(fields[i]);
  return row;
}

bool MeasurementLog::Open(const std::string& path) {
  Close();
  struct stat info {};
  const bool fresh = stat(path.c_str(), &info) != 0 || info.st_size == 0;
  file_ = std::fopen(path.c_str(), "a");
  if (file_ == nullptr) return false;
  path_ = path;
  meters_.reset();
  if (fresh) {
    std::fprintf(file_, "%s\n", kMeasurementLogHeader);
    std::fflush(file_);
  }
  return true;
}

void MeasurementLog::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool MeasurementLog::AppendMainPage(std::time_t when, const MainPageView& page, std::uint8_t e1,
                                    std::uint8_t e2) {
  if (file_ == nullptr) return false;
  const std::string row = MeasurementRow(when, page, e1, e2, meters_);
  const bool written = std::fprintf(file_, "%s\n", row.c_str()) > 0;
  return std::fflush(file_) == 0 && written;
}

}  // namespace velta
