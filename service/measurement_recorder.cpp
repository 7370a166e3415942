#include "service/measurement_recorder.h"

#include "i18n/lookup.h"

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
      say_(Format(V_("Measurement rows are lost: %s cannot be written. %s Trying again with every "
                     "row."),
                  log_.Path().c_str(), log_.Reason().c_str()));
    }
    return;
  }
  if (lostNow_ == 0) return;
  say_(Format(lostNow_ == 1 ? V_("Writing to %s again; %llu row was lost.")
                            : V_("Writing to %s again; %llu rows were lost."),
              log_.Path().c_str(), static_cast<unsigned long long>(lostNow_)));
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
