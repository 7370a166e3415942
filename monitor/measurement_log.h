// The measurement log: one CSV row per Main status page, appended to a file and flushed with every
// row, so a pulled plug loses at most the row being written. Used by `velta-cli status --watch
// --csv` and by the Monitor window's "Record to CSV…".
#pragma once

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

// The file gets whole rows or none: a row that cannot be written whole (full disk, file size
// limit) is taken back, and Reason() says why. Rows are only ever appended, never truncated.
class MeasurementLog {
 public:
  MeasurementLog() = default;
  ~MeasurementLog() { Close(); }
  MeasurementLog(const MeasurementLog&) = delete;
  MeasurementLog& operator=(const MeasurementLog&) = delete;

  // Opens `path` for appending (created if missing; refused when it is not a regular file). A new
  // or empty file gets the header; a file whose last row has no line end gets one first.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }
  // Why the last Open or append failed, in one English sentence.
  const std::string& Reason() const { return reason_; }

  // The water meter page comes between Main pages; its values go into the following rows.
  void NoteWaterMeters(const WaterMeterView& meters) { meters_ = meters; }
  // Appends the row of a Main page; false when it could not be written.
  bool AppendMainPage(std::time_t when, const MainPageView& page, std::uint8_t e1,
                      std::uint8_t e2);

 private:
  // The line end a file needs before the first row: the header when empty, a line feed when its
  // last line is unfinished, else nothing.
  bool StartRows();

  int fd_ = -1;
  std::string path_;
  std::string reason_;
  std::optional<WaterMeterView> meters_;
};

}  // namespace velta
