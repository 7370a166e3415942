// status: one pass of the Monitor window's poll cycle, printed; --watch keeps polling at the
// window's 200 ms cycle, --csv logs every Main page. live: the Counters page listing.
#include <csignal>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>
#include <thread>

#include "cli/commands.h"
#include "cli/messages.h"
#include "i18n/lookup.h"
#include "monitor/measurement_log.h"
#include "monitor/poll_tick.h"
#include "service/request_jobs.h"

namespace velta::cli {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(200);
// One pass visits at most the Main page, the History block and the four side pages.
constexpr int kPassTicks = 6;

volatile std::sig_atomic_t stopWatch = 0;
void StopWatch(int) { stopWatch = 1; }

struct StatusOptions {
  bool watch = false;
  double seconds = 0;  // 0: until interrupted
  std::string csv;
};

// What one pass collected, shown as it stands after the pass.
struct StatusPass {
  std::optional<MainPageView> main;
  std::uint8_t e1 = 0, e2 = 0;
  std::optional<std::string> moduleRinse, filterRinse;
  std::optional<CountersView> counters;
  std::optional<WaterMeterView> meters;
};

void Take(StatusPass& pass, const StatusUpdate& update, const PollCycle& cycle) {
  if (update.main) {
    pass.main = update.main;
    pass.e1 = cycle.shownE1;
    pass.e2 = cycle.shownE2;
  }
  if (update.moduleRinse) pass.moduleRinse = update.moduleRinse;
  if (update.filterRinse) pass.filterRinse = update.filterRinse;
  if (update.counters) pass.counters = update.counters;
  if (update.waterMeters) pass.meters = update.waterMeters;
}

nlohmann::json PassJson(const StatusPass& pass) {
  nlohmann::json out;
  const MainPageView& m = *pass.main;
  out["level_percent"] = m.levelBar;
  out["level"] = m.levelText.value_or("");
  out["pump"] = m.pump;
  out["pump_running"] = m.pumpRunning;
  out["pump_average"] = m.pumpAverage;
  out["pressure"] = m.pressure;
  out["temperature"] = m.temperature;
  out["mode"] = m.mode;
  out["valve"] = m.valve;
  out["sensor_min"] = m.sensorMin;
  out["sensor_max"] = m.sensorMax;
  out["write_enabled"] = m.writeEnabled;
  out["errors"] = {pass.e1, pass.e2};
  if (m.errors) out["error_lines"] = m.errors->lines;
  if (pass.moduleRinse) out["module_rinse"] = *pass.moduleRinse;
  if (pass.filterRinse) out["filter_rinse"] = *pass.filterRinse;
  if (pass.counters) {
    out["pump_hours"] = pass.counters->pumpHours;
    if (pass.counters->starts) out["pump_starts"] = *pass.counters->starts;
  }
  if (pass.meters) out["water_meters"] = {pass.meters->first, pass.meters->second};
  return out;
}

void PrintPass(const StatusPass& pass, bool json) {
  const nlohmann::json values = PassJson(pass);
  if (json) {
    std::printf("%s\n", values.dump().c_str());
    return;
  }
  for (const auto& [key, value] : values.items()) {
    std::printf("%-15s %s\n", key.c_str(),
                value.is_string() ? value.get<std::string>().c_str() : value.dump().c_str());
  }
}

int RunStatus(CliContext& context, const StatusOptions& options) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  MeasurementLog log;
  if (!options.csv.empty() && !log.Open(options.csv)) {
    return Fail(kExitRefused,
                _("Fehler: kann Datei nicht öffnen") + " " + options.csv + ": " + log.Reason());
  }
  ChannelHandle channel = OpenFromSettings(settings);
  if (!channel.IsOpen()) return Fail(kExitFailure, _("Fehler beim öffnen der Schnittstelle!"));

  std::signal(SIGINT, StopWatch);
  std::signal(SIGTERM, StopWatch);
  const auto start = std::chrono::steady_clock::now();
  const auto deadline = start + std::chrono::duration<double>(options.seconds);
  PollCycle cycle;
  StatusPass pass;
  int mainPages = 0;
  // A timed watch into a file shows its progress in tenths of a second; one printing its pages
  // on stdout does not mix a bar into them.
  const bool showProgress = options.watch && options.seconds > 0 && !options.csv.empty();
  if (showProgress) context.feedback.SetBarMaximum(static_cast<int>(options.seconds * 10));
  for (int tick = 0; stopWatch == 0; ++tick) {
    const auto tickStart = std::chrono::steady_clock::now();
    if (options.watch && options.seconds > 0 && tickStart >= deadline) break;
    if (!options.watch && (tick == kPassTicks || (tick > 0 && cycle.state == PollState::MainStatus)))
      break;
    const StatusUpdate update = PollTick(cycle, channel);
    if (!update.verdict.good && update.verdict.page == PollState::MainStatus && !options.watch) {
      return Fail(kExitFailure, _("Fehler beim auslesen !"));
    }
    Take(pass, update, cycle);
    if (update.waterMeters) log.NoteWaterMeters(*update.waterMeters);
    if (update.main) {
      ++mainPages;
      if (log.IsOpen() && !log.AppendMainPage(std::time(nullptr), *update.main, pass.e1, pass.e2)) {
        context.feedback.EmptyBar();
        return Fail(kExitFailure, "Cannot write " + options.csv + ": " + log.Reason());
      }
      if (options.watch && options.csv.empty()) PrintPass(pass, context.json);
    }
    if (showProgress) {
      const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
      context.feedback.SetBarPosition(static_cast<int>(elapsed.count() * 10));
    }
    if (options.watch) std::this_thread::sleep_until(tickStart + kPollInterval);
  }
  if (!pass.main) return Fail(kExitFailure, _("Fehler beim auslesen !"));
  if (!options.watch) PrintPass(pass, context.json);
  context.feedback.EmptyBar();
  if (options.watch) std::fprintf(stderr, "%d Main pages\n", mainPages);
  return kExitOk;
}

int RunLive(CliContext& context, bool expert) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const service::LiveValues live = service::ReadLive(settings, context.feedback, expert);
  if (!live.Done()) return Finish(live);
  if (context.json) {
    std::printf("%s\n", nlohmann::json(live.lines).dump().c_str());
  } else {
    for (const std::string& line : live.lines) std::printf("%s\n", line.c_str());
  }
  return kExitOk;
}

}  // namespace

void AddStatusCommands(CLI::App& app, CliContext& context, int& result) {
  static StatusOptions options;
  CLI::App* status = app.add_subcommand("status", "One poll pass of the controller's status pages");
  status->add_flag("--watch", options.watch, "Keep polling every 200 ms");
  status->add_option("--seconds", options.seconds, "Stop watching after this many seconds");
  status->add_option("--csv", options.csv, "Append one row per Main page to this CSV file")
      ->needs("--watch");
  status->callback([&] { result = RunStatus(context, options); });

  static bool expert = false;
  CLI::App* live = app.add_subcommand("live", "Live timers and measurements (the Counters page)");
  live->add_flag("--expert", expert, "Also the raw inputs and counters");
  live->callback([&] { result = RunLive(context, expert); });
}

}  // namespace velta::cli
