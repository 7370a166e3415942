// tank read|send and update: the Tank table window's transfers and the firmware update.
#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/confirm.h"
#include "cli/messages.h"
#include "controller/tank_table.h"
#include "i18n/lookup.h"
#include "service/request_jobs.h"
#include "service/tank_jobs.h"

namespace velta::cli {
namespace {

// A transfer's bar stops at its last block; a job that is done ends it at 100 %.
int FinishWithFullBar(CliContext& context, const service::JobResult& result,
                      const std::string& doneLine) {
  if (result.Done()) {
    context.feedback.FillBar();
    context.feedback.EmptyBar();
  }
  return Finish(result, doneLine);
}

constexpr int kEntriesPerLine = 10;

int ReadTank(CliContext& context, const std::string& path) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const service::TankJob read =
      service::ReadTank(settings, context.feedback, context.history, context.tankBaselines, "");
  if (!read.Done()) return Finish(read);
  const TankTable& table = read.table;
  if (!path.empty()) {
    std::string reason;
    if (!WriteTankTableFile(path, "", table, reason)) {
      return Fail(kExitRefused, Format(V_("Cannot write %s: %s"), path.c_str(), reason.c_str()));
    }
    std::fprintf(stderr, "%s\n", Format(V_("Tank table saved to %s"), path.c_str()).c_str());
  } else if (context.json) {
    std::printf("%s\n", nlohmann::json(table).dump().c_str());
  } else {
    for (std::size_t i = 0; i < table.size(); ++i) std::printf("%zu;%d\n", i, table[i]);
  }
  return kExitOk;
}

// The table about to be sent: its name and its entries, ten to a line.
void ShowTable(const std::string& path, const std::string& name, const TankTable& table) {
  const std::string named = name.empty() ? std::string() : " \"" + name + "\"";
  std::fprintf(stderr, "Tank table%s from %s, %d entries:\n", named.c_str(), path.c_str(),
               kTankEntries);
  for (int first = 0; first < kTankEntries; first += kEntriesPerLine) {
    std::fprintf(stderr, "  %3d:", first);
    for (int i = first; i < std::min(first + kEntriesPerLine, kTankEntries); ++i) {
      std::fprintf(stderr, " %d", table[static_cast<std::size_t>(i)]);
    }
    std::fprintf(stderr, "\n");
  }
}

int SendTank(CliContext& context, const std::string& path) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  TankTable table{};
  std::string name, message;
  ListingFeedback entries;
  if (ReadTankTableFile(path, table, name, message, entries) != kTankFileOk)
    return Fail(kExitRefused, "Cannot use " + path + ": " + message);
  service::TankSendPlan plan =
      service::PlanTankSend(settings, context.feedback, context.history, table);
  if (!plan.Done()) return Finish(plan);
  if (const int stopped = StopWithoutHistory(context, plan.historyFailure)) return stopped;
  const ChangeRecord record{plan.changes, ChangeLines(plan.changes), plan.changes.empty()};
  if (!context.yes) {
    ShowTable(path, name, table);
    if (!Confirm(context, V_("Send this tank table to the controller?"))) return kExitRefused;
  }
  const service::TankJob sent = service::CarryOut(std::move(plan), settings, context.feedback, context.tankBaselines);
  if (sent.Done()) record.Print(context.json);
  return FinishWithFullBar(context, sent,
                           Format(V_("Tank table sent: %d of %d entries."), sent.acknowledged, kTankEntries));
}

int RunUpdate(CliContext& context, const std::string& path) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  if (!Confirm(context, Format(V_("Program %s into the controller? Keep the connection until the "
                                  "update has finished."),
                               path.c_str())))
    return kExitRefused;
  return FinishWithFullBar(context, service::UpdateFirmware(settings, context.feedback, path),
                           V_("Firmware programmed."));
}

}  // namespace

void AddTankUpdateCommands(CLI::App& app, CliContext& context, int& result) {
  CLI::App* tank = app.add_subcommand("tank", VN_("The custom tank-shape table"));
  tank->require_subcommand(1);
  static std::string readPath, sendPath, updatePath;
  CLI::App* read = tank->add_subcommand("read", VN_("Read the controller's table"));
  read->add_option("-o,--output", readPath, VN_("Table file (.csv) to write"));
  read->callback([&] { result = ReadTank(context, readPath); });
  CLI::App* send = tank->add_subcommand("send", VN_("Send a table file to the controller"));
  send->add_option("file", sendPath, VN_("Table file (.csv)"))->required();
  send->callback([&] { result = SendTank(context, sendPath); });

  CLI::App* update = app.add_subcommand("update", VN_("Program a firmware file into the controller"));
  update->add_option("file", updatePath, VN_("Firmware file"))->required();
  update->callback([&] { result = RunUpdate(context, updatePath); });
}

}  // namespace velta::cli
