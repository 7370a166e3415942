#include "service/measurement_recorder.h"

namespace velta::service {

bool MeasurementRecorder::Open(const std::string& path) {
  lostNow_ = lostTotal_ = 0;
  return log_.Open(path);
}

void MeasurementRecorder::Record(std::time_t when, const Readings& readings) {
  if (!log_.IsOpen()) return;
  if (!log_.Append(when, readings)) {
    ++lostTotal_;
    if (lostNow_++ == 0) {
      say_("Measurement rows are lost: " + log_.Path() + " cannot be written. " + log_.Reason() +
           " Trying again with every row.");
    }
    return;
  }
  if (lostNow_ == 0) return;
  say_("Writing to " + log_.Path() + " again; " + std::to_string(lostNow_) +
       (lostNow_ == 1 ? " row was lost." : " rows were lost."));
  lostNow_ = 0;
}

PollSink MeasurementRecorder::Sink() {
  return [this](const PollEvent& event) {
    if (event.step && event.step->update && event.step->update->main) {
      Record(std::chrono::system_clock::to_time_t(event.when), event.values->readings);
    }
  };
}

}  // namespace velta::service
