// The short jobs: the live values, the Monitor window's two service requests (clear all errors,
// write enable) and the firmware update.
#pragma once

#include <string>
#include <vector>

#include "controller/feedback.h"
#include "link/connection.h"
#include "monitor/readings.h"
#include "service/job_result.h"

namespace velta::service {

struct LiveValues : JobResult {
  std::vector<std::string> lines;  // the listing, as the log shows it
  Readings readings;               // the Counters page's readings
};

// Asks for the Counters page and lists it (the expert view adds the raw inputs and counters).
LiveValues ReadLive(const ConnectionSettings& settings, Feedback& feedback, bool expert);

// Asks the controller to clear all its error messages: Done when it acknowledged. A failed open
// logs the reason line.
JobResult ClearAllErrors(const ConnectionSettings& settings, Feedback& feedback);

// Asks the controller for write enable; whether it granted it shows on the next Main status
// page. A failed open logs the Monitor window's open line and the reason line.
JobResult AskWriteEnable(const ConnectionSettings& settings, Feedback& feedback);

// The firmware update of the file at `path`, after the user has agreed to it.
JobResult UpdateFirmware(const ConnectionSettings& settings, Feedback& feedback,
                         const std::string& path);

}  // namespace velta::service
