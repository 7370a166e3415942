// status: one pass of the Monitor window's poll cycle, printed; --watch keeps polling at the
// window's cycle and heals a lost link as the window does, --csv logs every Main page. live: the
// Counters page listing.
#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>
#include <thread>

#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/watch_printer.h"
#include "monitor/readings_json.h"
#include "service/measurement_recorder.h"
#include "service/poller.h"
#include "service/request_jobs.h"
#include "service/status_watch.h"

namespace velta::cli {
namespace {

volatile std::sig_atomic_t stopWatch = 0;
void StopWatch(int) { stopWatch = 1; }

struct StatusOptions {
  bool watch = false;
  std::string seconds;  // as typed; empty: until interrupted
  std::string csv;
};

// A number of seconds as a person types it: decimal digits with an optional fraction ("2.5").
// Signs, exponents, units, hex, NaN, infinity and more than a year are refused.
std::optional<double> ParseSeconds(const std::string& text) {
  const std::size_t point = text.find('.');
  const std::string whole = text.substr(0, point);
  const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
  const auto digits = [](const std::string& part) {
    return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (whole.empty() || !digits(whole) || !digits(fraction) ||
      (point != std::string::npos && fraction.empty())) {
    return std::nullopt;
  }
  const double seconds = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(seconds) || seconds > kMostWatchSeconds) return std::nullopt;
  return seconds;
}

void PrintPass(const StatusValues& values, bool json) {
  if (json) {
    const std::time_t when = std::chrono::system_clock::to_time_t(values.mainAt);
    std::printf("%s\n", ReadingsJson(values.readings, when).dump().c_str());
  } else {
    PrintDisplayTexts(values);
  }
}

int ScreenRows() {
  winsize size{};
  return ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 ? size.ws_row : 24;
}

constexpr char kNoStatusPage[] =
    VN_("The controller did not answer the status request in full. Check the cable and that the "
        "controller is switched on, then try again.");

int FailToOpen(const WatchOpen& open) {
  return Finish({service::Outcome::NoLink, open.reason});
}

int RunPass(CliContext& context, StatusWatch& watch) {
  const service::StatusPass pass = service::PollOnePass(watch);
  if (!pass.lostLine.empty()) return Fail(kExitFailure, pass.lostLine);
  if (pass.mainPageFailed || !pass.values.main) return Fail(kExitFailure, V_(kNoStatusPage));
  PrintPass(pass.values, context.json);
  return kExitOk;
}

// Polls until the time is up or the user interrupts, through losses of the link and of rows.
int RunWatch(CliContext& context, StatusWatch& watch, double seconds,
             service::MeasurementRecorder& recorder) {
  // Each line reaches a pipe as it is printed.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  std::signal(SIGINT, StopWatch);
  std::signal(SIGTERM, StopWatch);
  const auto start = std::chrono::steady_clock::now();
  const auto deadline =
      start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                  std::chrono::duration<double>(seconds));
  const bool timed = seconds > 0;
  // A timed watch into a file shows its progress in tenths of a second; one printing its pages
  // on stdout does not mix a bar into them.
  const bool showProgress = timed && recorder.IsOpen();
  if (showProgress) context.feedback.SetBarMaximum(static_cast<int>(std::ceil(seconds * 10)));

  const WatchOutput output = context.json                ? WatchOutput::JsonLines
                             : ::isatty(STDOUT_FILENO) != 0 ? WatchOutput::Table
                                                          : WatchOutput::Texts;
  WatchPrinter printer(output, ScreenRows());
  service::Poller poller(watch);
  poller.AddSink([&](const service::PollEvent& event) {
    if (!event.step) return;
    if (!event.step->lostLine.empty()) WatchPrinter::Say(event.step->lostLine, event.when);
    if (!event.step->restoredLine.empty()) WatchPrinter::Say(event.step->restoredLine, event.when);
    if (event.step->update && event.step->update->main && !recorder.IsOpen()) {
      printer.Print(*event.values, event.when);
    }
  });
  poller.AddSink(recorder.Sink());
  poller.Start();
  while (stopWatch == 0 && (!timed || std::chrono::steady_clock::now() < deadline)) {
    if (showProgress) {
      const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
      context.feedback.SetBarPosition(static_cast<int>(elapsed.count() * 10));
    }
    const auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    std::this_thread::sleep_until(timed ? std::min(next, deadline) : next);
  }
  poller.Stop();
  if (showProgress) context.feedback.FillBar();
  context.feedback.EmptyBar();

  const WatchCounts counts = watch.Counts();
  const bool linkUp = watch.LinkUp();
  const double withoutLink = std::chrono::duration<double>(counts.withoutLink).count();
  const char* summary = counts.timesLost == 1
                            ? VN_("%llu Main pages, link lost %u time, %.1f s without link%s")
                            : VN_("%llu Main pages, link lost %u times, %.1f s without link%s");
  std::fprintf(stderr, "%s\n",
               Format(V_(summary), static_cast<unsigned long long>(counts.mainPages),
                      counts.timesLost, withoutLink,
                      (linkUp ? std::string() : V_(", still lost at the end")).c_str())
                   .c_str());
  if (recorder.RowsLost() > 0) {
    std::fprintf(stderr, "%s\n",
                 Format(V_("%llu rows could not be written to %s."),
                        static_cast<unsigned long long>(recorder.RowsLost()), recorder.Path().c_str())
                     .c_str());
  }
  return counts.mainPages == 0 || !linkUp || recorder.RowsLost() > 0 ? kExitFailure : kExitOk;
}

int RunStatus(CliContext& context, const StatusOptions& options) {
  double seconds = 0;
  if (!options.seconds.empty()) {
    const std::optional<double> parsed = ParseSeconds(options.seconds);
    if (!parsed) {
      return Fail(kExitRefused, TypedRefusal(Typed::Seconds, options.seconds));
    }
    seconds = *parsed;
  }
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  service::MeasurementRecorder recorder([](const std::string& line) {
    WatchPrinter::Say(line, std::chrono::system_clock::now());
  });
  if (!options.csv.empty() && !recorder.Open(options.csv)) {
    return Fail(kExitRefused, Format(V_("Cannot open the log %s: %s"), options.csv.c_str(),
                                     recorder.Reason().c_str()));
  }
  StatusWatch watch(settings);
  const WatchOpen open = watch.Open();
  if (!open.opened) return FailToOpen(open);
  return options.watch ? RunWatch(context, watch, seconds, recorder) : RunPass(context, watch);
}

int RunLive(CliContext& context, bool expert) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const service::LiveValues live = service::ReadLive(settings, context.feedback, expert);
  if (!live.Done()) return Finish(live);
  if (context.json) {
    nlohmann::json out = nlohmann::json::object();
    for (const ReadingRow& row : ReadingRows()) {
      if (live.readings.Given(row.id)) out[row.key] = ReadingJson(live.readings[row.id]);
    }
    std::printf("%s\n", out.dump().c_str());
  } else {
    for (const std::string& line : live.lines) std::printf("%s\n", line.c_str());
  }
  return kExitOk;
}

}  // namespace

void AddStatusCommands(CLI::App& app, CliContext& context, int& result) {
  static StatusOptions options;
  CLI::App* status = app.add_subcommand("status", VN_("One poll pass of the controller's status pages"));
  status->add_flag("--watch", options.watch,
                   Format(V_("Keep polling every %d ms; a lost link is opened again when it is "
                             "back. With --json one JSON object per Main page and line (JSON "
                             "Lines); on a terminal one row per Main page with the time"),
                          static_cast<int>(kPollInterval.count())));
  status->add_option("--seconds", options.seconds,
                     VN_("Stop watching after this many seconds (decimal, for example 2.5)"))
      ->needs("--watch");
  status->add_option("--csv", options.csv, VN_("Append one row per Main page to this CSV file"))
      ->needs("--watch");
  status->callback([&] { result = RunStatus(context, options); });

  static bool expert = false;
  CLI::App* live = app.add_subcommand("live", VN_("Live timers and measurements (the Counters page)"));
  live->add_flag("--expert", expert, VN_("Also the raw inputs and counters"));
  live->callback([&] { result = RunLive(context, expert); });
}

}  // namespace velta::cli
