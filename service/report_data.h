// What the service report shows from the controller, read on one link.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controller/feedback.h"
#include "controller/image.h"
#include "link/connection.h"
#include "monitor/main_page.h"
#include "monitor/readings.h"
#include "service/job_result.h"

namespace velta::service {

struct ReportReading : JobResult {
  ControllerImage image;  // addresses 0..kCountersReadLast: settings, error memory, counters
  std::uint16_t version = 0;
  // The Counters page's readings; none given when the page did not come.
  Readings live;
  // The Main status page as the window shows it and its readings, decoded on a fresh poll cycle
  // so that its error listing is complete; empty when the page did not come.
  std::optional<MainPageView> status;
  Readings statusReadings;
};

// Reads addresses 0..kCountersReadLast (with the version), then the live values and the Main
// status page, on one link. Not Done when the memory read failed; the live values and the status
// may be missing on their own.
ReportReading ReadReportData(const ConnectionSettings& settings, Feedback& feedback);

}  // namespace velta::service
