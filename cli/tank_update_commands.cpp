// tank read|send and update: the Tank table window's transfers and the firmware update.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/confirm.h"
#include "controller/tank_table.h"
#include "controller/tank_transfer.h"
#include "i18n/lookup.h"
#include "update/firmware_update.h"

namespace velta::cli {
namespace {

int ReadTank(CliContext& context, const std::string& path) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  TankTable table{};
  // The read lists every entry in its log; the table itself is the command's output.
  ListingFeedback listing;
  const ExchangeOutcome outcome = ReadTankTableFromController(settings, table, listing);
  if (outcome == ExchangeOutcome::NoChannel)
    return Fail(kExitFailure, _("Fehler beim öffnen der Schnittstelle!"));
  if (outcome != ExchangeOutcome::Good) {
    return Fail(kExitFailure, listing.lines.empty() ? _("Daten wurden falsch ausgelesen!")
                                                    : listing.lines.front());
  }
  if (!path.empty()) {
    std::string reason;
    if (!WriteTankTableFile(path, "", table, reason)) {
      return Fail(kExitRefused,
                  Format(_("Datei %s kann nicht geöffnet werden."), path.c_str()) + "\n" + reason);
    }
    std::fprintf(stderr, "%s\n", Format(_("\nIn %s gespeichert"), path.c_str()).c_str());
  } else if (context.json) {
    std::printf("%s\n", nlohmann::json(table).dump().c_str());
  } else {
    for (std::size_t i = 0; i < table.size(); ++i) std::printf("%zu;%d\n", i, table[i]);
  }
  return kExitOk;
}

int SendTank(CliContext& context, const std::string& path) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  TankTable table{};
  std::string name, message;
  ListingFeedback entries;
  if (ReadTankTableFile(path, table, name, message, entries) != kTankFileOk)
    return Fail(kExitRefused, message);
  if (!Confirm(context, _("ACHTUNG:\nSoll die aktuelle Tabelle zur Steuerung übertragen werden?\n")))
    return kExitRefused;
  const int acknowledged = SendTankTableToController(settings, table, context.feedback);
  if (acknowledged < 0) return Fail(kExitFailure, _("Fehler beim öffnen der Schnittstelle!"));
  return acknowledged == static_cast<int>(table.size()) ? kExitOk : kExitFailure;
}

int RunUpdate(CliContext& context, const std::string& path) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  if (!Confirm(context, _("ACHTUNG:\nSoll das -Update- wirklich durchgeführt werden?\n")))
    return kExitRefused;
  switch (RunFirmwareUpdate(settings, path, context.feedback)) {
    case UpdateOutcome::Programmed:
      // The boot loader's bar stops at its last block; the progress ends at 100 %.
      context.feedback.FillBar();
      context.feedback.EmptyBar();
      return kExitOk;
    case UpdateOutcome::FileRefused: return kExitRefused;
    case UpdateOutcome::NoChannel: return Fail(kExitFailure, _("Fehler beim öffnen der Schnittstelle!"));
    case UpdateOutcome::Failed: return kExitFailure;
  }
  return kExitFailure;
}

}  // namespace

void AddTankUpdateCommands(CLI::App& app, CliContext& context, int& result) {
  CLI::App* tank = app.add_subcommand("tank", "The custom tank-shape table");
  tank->require_subcommand(1);
  static std::string readPath, sendPath, updatePath;
  CLI::App* read = tank->add_subcommand("read", "Read the controller's table");
  read->add_option("-o,--output", readPath, "Table file (.csv) to write");
  read->callback([&] { result = ReadTank(context, readPath); });
  CLI::App* send = tank->add_subcommand("send", "Send a table file to the controller");
  send->add_option("file", sendPath, "Table file (.csv)")->required();
  send->callback([&] { result = SendTank(context, sendPath); });

  CLI::App* update = app.add_subcommand("update", "Program a firmware file into the controller");
  update->add_option("file", updatePath, "Firmware file")->required();
  update->callback([&] { result = RunUpdate(context, updatePath); });
}

}  // namespace velta::cli
