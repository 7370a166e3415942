// The Tank table window's jobs: read the controller's table (kept in the history) and send one.
#pragma once

#include <string>
#include <vector>

#include "controller/block_diff.h"
#include "controller/feedback.h"
#include "controller/history.h"
#include "controller/tank_table.h"
#include "controller/write_baseline.h"
#include "link/channel_handle.h"
#include "link/connection.h"
#include "service/job_result.h"

namespace velta::service {

struct TankJob : JobResult {
  TankTable table{};        // read: the controller's table; send: what the controller now holds
  int acknowledged = 0;     // send: how many entries the controller acknowledged
};

// Reads the table; a good read is kept in the history as "tank-table" under `name` and becomes
// `baselines`' controller table (a file loaded before no longer counts). The face that owns
// `baselines` waits while a job runs and never sets them itself.
TankJob ReadTank(const ConnectionSettings& settings, Feedback& feedback, History& history,
                 TankBaselines& baselines, const std::string& name);

// Sends every entry's low byte; when all are acknowledged the controller's table is the baseline.
TankJob SendTank(const ConnectionSettings& settings, Feedback& feedback, TankBaselines& baselines,
                 const TankTable& table);

// A tank send planned on its link (velta-cli): the controller's table read once and kept in the
// history as "tank-table", what the send changes, and why that copy could not be kept.
struct TankSendPlan : JobResult {
  ChannelHandle link;
  TankTable table{};  // to send
  std::vector<FieldChange> changes;
  std::string historyFailure;  // empty: the copy was kept
};
TankSendPlan PlanTankSend(const ConnectionSettings& settings, Feedback& feedback,
                          History& history, const TankTable& table);
// Sends what the plan holds on its link; a plan that stopped sends nothing.
TankJob CarryOut(TankSendPlan plan, const ConnectionSettings& settings, Feedback& feedback,
                 TankBaselines& baselines);

}  // namespace velta::service
