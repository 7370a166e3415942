// Recording the measurement log from the poll: one row per Main page. A row that cannot be
// written (full disk, file size limit) is lost whole, said once with the reason; every following
// Main page tries again, and the first row written after says how many were lost. Used by the
// Monitor window's "Record to CSV…" and by `velta-cli status --watch --csv`.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "monitor/measurement_log.h"
#include "service/poller.h"

namespace velta::service {

class MeasurementRecorder {
 public:
  // `say` gets each line for the person watching (the window's log, the terminal).
  explicit MeasurementRecorder(std::function<void(const std::string&)> say) : say_(std::move(say)) {}

  bool Open(const std::string& path);
  void Close() { log_.Close(); }
  bool IsOpen() const { return log_.IsOpen(); }
  const std::string& Path() const { return log_.Path(); }
  const std::string& Reason() const { return log_.Reason(); }
  // Rows lost since Open.
  std::uint64_t RowsLost() const { return lostTotal_; }

  // Writes the row of the readings at a Main page.
  void Record(std::time_t when, const Readings& readings);
  // Records at every Main page the poll brings.
  PollSink Sink();

 private:
  std::function<void(const std::string&)> say_;
  MeasurementLog log_;
  std::uint64_t lostNow_ = 0;  // rows lost since the last one written
  std::uint64_t lostTotal_ = 0;
};

}  // namespace velta::service
