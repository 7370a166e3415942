#include "monitor/measurement_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

#include "files/atomic_write.h"
#include "files/regular_file.h"
#include "files/user_folders.h"
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
  meters_.reset();
  if (IsOddFile(path, reason_)) return false;
  // O_NONBLOCK: a FIFO put there since the check must not hold the window.
  const int flags = O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  fd_ = ::open(path.c_str(), flags, 0666);
  if (fd_ < 0) {
    reason_ = ErrorText(errno);
    return false;
  }
  path_ = path;
  if (StartRows()) return true;
  Close();
  return false;
}

bool MeasurementLog::StartRows() {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    reason_ = ErrorText(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {  // replaced since it was checked
    reason_ = "It is not a regular file.";
    return false;
  }
  if (info.st_size == 0) {
    return AppendWhole(fd_, std::string(kMeasurementLogHeader) + "\n", reason_);
  }
  char last = '\n';
  if (::pread(fd_, &last, 1, info.st_size - 1) != 1) {
    reason_ = ErrorText(errno);
    return false;
  }
  return last == '\n' || AppendWhole(fd_, "\n", reason_);
}

void MeasurementLog::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool MeasurementLog::AppendMainPage(std::time_t when, const MainPageView& page, std::uint8_t e1,
                                    std::uint8_t e2) {
  if (fd_ < 0) return false;
  return AppendWhole(fd_, MeasurementRow(when, page, e1, e2, meters_) + "\n", reason_);
}

}  // namespace velta
