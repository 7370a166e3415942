#include "service/tank_jobs.h"

#include "controller/tank_transfer.h"
#include "i18n/lookup.h"
#include "service/job_link.h"

namespace velta::service {

TankJob ReadTank(const ConnectionSettings& settings, Feedback& feedback, History& history,
                 TankBaselines baselines, const std::string& name) {
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
  result.baselines = std::move(baselines);
  return result;
}

TankJob SendTank(const ConnectionSettings& settings, Feedback& feedback, TankBaselines baselines,
                 const TankTable& table) {
  TankJob result;
  const ChannelHandle link = OpenJobLink(settings, feedback, {}, result);
  if (link.IsOpen()) {
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
  result.baselines = std::move(baselines);
  return result;
}

}  // namespace velta::service
