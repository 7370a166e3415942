#include "service/request_jobs.h"

#include "controller/live_values.h"
#include "link/open_reason.h"
#include "monitor/service_requests.h"
#include "monitor/side_pages.h"
#include "i18n/lookup.h"
#include "service/job_link.h"
#include "update/firmware_update.h"

namespace velta::service {

LiveValues ReadLive(const ConnectionSettings& settings, Feedback& feedback, bool expert) {
  LiveValues result;
  const ChannelHandle link = OpenJobLink(settings, feedback, {}, result);
  if (link.IsOpen()) {
    std::vector<std::uint8_t> page;
    result.outcome = ReadOutcome(ReadLiveValues(link, feedback, expert, &result.lines, &page));
    if (result.Done()) DecodeCounterReadings(page, true, result.readings);
  }
  return result;
}

JobResult ClearAllErrors(const ConnectionSettings& settings, Feedback& feedback) {
  JobResult result;
  const ChannelHandle link = OpenJobLink(settings, feedback, {}, result);
  if (link.IsOpen()) result.outcome = ReadOutcome(RequestClearErrors(link));
  return result;
}

JobResult AskWriteEnable(const ConnectionSettings& settings, Feedback& feedback) {
  JobResult result;
  const ChannelHandle link =
      OpenJobLink(settings, feedback, _("Fehler beim Öffnen der Schnittstelle !"), result);
  if (link.IsOpen()) RequestWriteEnable(link);
  return result;
}

JobResult UpdateFirmware(const ConnectionSettings& settings, Feedback& feedback,
                         const std::string& path) {
  JobResult result;
  switch (RunFirmwareUpdate(settings, path, feedback, &result.reason)) {
    case UpdateOutcome::Programmed:
      break;
    case UpdateOutcome::FileRefused:
      result.outcome = Outcome::FileRefused;
      break;
    case UpdateOutcome::NoChannel:
      result.outcome = Outcome::NoLink;
      result.reason = OpenFailureReason(settings);
      break;
    case UpdateOutcome::Failed:
      result.outcome = Outcome::UpdateFailed;
      break;
  }
  return result;
}

}  // namespace velta::service
