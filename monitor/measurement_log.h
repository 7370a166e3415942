// The measurement log: one CSV row per Main status page, appended to a file and flushed with every
// row, so a pulled plug loses at most the row being written. Used by `velta-cli status --watch
// --csv` and by the Monitor window's "Record to CSV…".
#pragma once

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

#include "monitor/main_page.h"
#include "monitor/side_pages.h"

namespace velta {

// The header row, written when the file is new or empty.
extern const char* const kMeasurementLogHeader;

// One row: ISO local time, then the page's measurements as plain numbers in the header's units;
// the error bytes E1 and E2 (0 when none is active); the water meters as last seen. A value the
// controller has not given (no level measurement, a page that has not come yet) is left empty.
std::string MeasurementRow(std::time_t when, const MainPageView& page, std::uint8_t e1,
                           std::uint8_t e2, const std::optional<WaterMeterView>& meters);

class MeasurementLog {
 public:
  MeasurementLog() = default;
  ~MeasurementLog() { Close(); }
  MeasurementLog(const MeasurementLog&) = delete;
  MeasurementLog& operator=(const MeasurementLog&) = delete;

  // Opens `path` for appending (created if missing) and writes the header to a new file.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }

  // The water meter page comes between Main pages; its values go into the following rows.
  void NoteWaterMeters(const WaterMeterView& meters) { meters_ = meters; }
  // Appends the row of a Main page; false when it could not be written.
  bool AppendMainPage(std::time_t when, const MainPageView& page, std::uint8_t e1,
                      std::uint8_t e2);

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  std::optional<WaterMeterView> meters_;
};

}  // namespace velta
