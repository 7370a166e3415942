// The Tank table window's jobs: read the controller's table (kept in the history) and send one.
#pragma once

#include <string>

#include "controller/feedback.h"
#include "controller/history.h"
#include "controller/tank_table.h"
#include "controller/write_baseline.h"
#include "link/connection.h"
#include "service/job_result.h"

namespace velta::service {

struct TankJob : JobResult {
  TankTable table{};        // read: the controller's table; send: what the controller now holds
  int acknowledged = 0;     // send: how many entries the controller acknowledged
  TankBaselines baselines;  // what the next send is compared with
};

// Reads the table; a good read is kept in the history as "tank-table" under `name` and becomes
// the baseline (a file loaded before no longer counts).
TankJob ReadTank(const ConnectionSettings& settings, Feedback& feedback, History& history,
                 TankBaselines baselines, const std::string& name);

// Sends every entry's low byte; when all are acknowledged the controller's table is the baseline.
TankJob SendTank(const ConnectionSettings& settings, Feedback& feedback, TankBaselines baselines,
                 const TankTable& table);

}  // namespace velta::service
