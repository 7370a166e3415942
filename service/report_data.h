// What the service report shows from the controller, read on one link.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controller/feedback.h"
#include "controller/image.h"
#include "link/connection.h"
#include "service/job_result.h"

namespace velta::service {

struct ReportReading : JobResult {
  ControllerImage image;  // addresses 0..kCountersReadLast: settings, error memory, counters
  std::uint16_t version = 0;
  std::vector<std::string> liveValues;  // the expert listing; empty when the page did not come
};

// Reads addresses 0..kCountersReadLast (with the version), then the live values, on one link.
// Not Done when the memory read failed; the live values may be missing on their own.
ReportReading ReadReportData(const ConnectionSettings& settings, Feedback& feedback);

}  // namespace velta::service
