// The measurement log: one CSV row per Main status page, appended to a file and flushed with every
// row, so a pulled plug loses at most the row being written. Used by `velta-cli status --watch
// --csv` and by the Monitor window's "Record to CSV…".
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "monitor/readings.h"

namespace velta {

// The header row, written when the file is new or empty: `time`, then the readings' columns.
std::string MeasurementLogHeader();

// One row: ISO local time, then the readings as plain numbers in the header's units (flags 1 or
// 0, the error bytes 0 when none is active, the water meters as last seen). A value the controller
// has not given (no level measurement, a page that has not come yet) is left empty.
std::string MeasurementRow(std::time_t when, const Readings& readings);

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

  // Appends the row of the readings at a Main page; false when it could not be written.
  bool Append(std::time_t when, const Readings& readings);

 private:
  // The line end a file needs before the first row: the header when empty, a line feed when its
  // last line is unfinished, else nothing.
  bool StartRows();

  int fd_ = -1;
  std::string path_;
  std::string reason_;
};

}  // namespace velta
