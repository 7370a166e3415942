#include "service/tank_jobs.h"

#include "controller/tank_transfer.h"
#include "i18n/lookup.h"
#include "service/job_link.h"

namespace velta::service {

TankJob ReadTank(const ConnectionSettings& settings, Feedback& feedback, History& history,
                 TankBaselines& baselines, const std::string& name) {
  TankJob result;
  const ChannelHandle link = OpenJobLink(settings, feedback, {}, result);
  if (link.IsOpen()) {
    result.outcome = ReadOutcome(ReadTankTableFromController(link, result.table, feedback));
    if (result.Done()) {
      baselines.file.reset();
      baselines.controller = TankBaseline{V_("the table last read from the controller"), result.table};
      history.KeepTankTable("tank-table", name, result.table, feedback);
    }
  }
  return result;
}

namespace {

// Sends every entry on the open link; when all are acknowledged the controller's table is the
// baseline.
void SendOnLink(const ChannelHandle& link, const ConnectionSettings& settings, Feedback& feedback,
                TankBaselines& baselines, const TankTable& table, TankJob& result) {
  result.acknowledged = SendTankTableToController(link, settings, table, feedback);
  const bool complete = result.acknowledged == kTankEntries;
  result.outcome = complete ? Outcome::Done : Outcome::NotAcknowledged;
  if (complete) {
    // The controller now holds the low byte of each entry.
    result.table = table;
    for (std::int32_t& entry : result.table) entry &= 0xFF;
    baselines.file.reset();
    baselines.controller = TankBaseline{V_("the table last written to the controller"), result.table};
  }
}

}  // namespace

TankJob SendTank(const ConnectionSettings& settings, Feedback& feedback, TankBaselines& baselines,
                 const TankTable& table) {
  TankJob result;
  const ChannelHandle link = OpenJobLink(settings, feedback, {}, result);
  if (link.IsOpen()) SendOnLink(link, settings, feedback, baselines, table, result);
  return result;
}

TankSendPlan PlanTankSend(const ConnectionSettings& settings, Feedback& feedback,
                          History& history, const TankTable& table) {
  TankSendPlan plan;
  plan.table = table;
  plan.link = OpenJobLink(settings, feedback, {}, plan);
  if (!plan.link.IsOpen()) return plan;
  TankTable controller{};
  plan.outcome = ReadOutcome(ReadTankTableFromController(plan.link, controller, feedback));
  if (!plan.Done()) {
    plan.link.Close();
    return plan;
  }
  if (!history.KeepTankTable("tank-table", "", controller, feedback))
    plan.historyFailure = history.LastFailure();
  TankTable sent = table;
  for (std::int32_t& entry : sent) entry &= 0xFF;
  plan.changes = TankTableChanges(controller, sent);
  return plan;
}

TankJob CarryOut(TankSendPlan plan, const ConnectionSettings& settings, Feedback& feedback,
                 TankBaselines& baselines) {
  TankJob result;
  static_cast<JobResult&>(result) = plan;
  if (result.Done() && plan.link.IsOpen())
    SendOnLink(plan.link, settings, feedback, baselines, plan.table, result);
  return result;
}

}  // namespace velta::service
