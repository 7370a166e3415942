// report: the service report of the connected controller, as PDF or HTML.
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "cli/commands.h"
#include "controller/live_values.h"
#include "controller/read_range.h"
#include "i18n/lookup.h"
#include "monitor/app_settings.h"
#include "report/service_report.h"

namespace velta::cli {
namespace {

// The settings, the counters and the error memory lie within 0..87.
constexpr int kReportReadLast = 87;

struct ReportOptions {
  std::string output;
  std::string site;
  std::string errorFile;  // default: the Monitor window's error file when it stores lines
};

std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

std::string ErrorFileOf(const ReportOptions& options) {
  if (!options.errorFile.empty()) return options.errorFile;
  const AppSettings settings = ReadAppSettings(*OpenSettingsStore());
  return settings.store ? settings.file : std::string();
}

int RunReport(CliContext& context, const ReportOptions& options) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const ReadResult read = ReadRange(settings, context.feedback, 0, kReportReadLast);
  if (!read.success) return kExitFailure;

  ServiceReport report;
  std::copy(read.data.begin(), read.data.end(), report.image.bytes.begin());
  report.version = Format("V%d.%02d", read.version / 100, read.version % 100);
  report.date = Today();
  report.site = options.site;
  ListingFeedback live;
  if (ReadLiveValues(settings, live, true) == ExchangeOutcome::Good) report.liveValues = live.lines;
  const std::string errorFile = ErrorFileOf(options);
  if (!errorFile.empty()) report.errorFileLines = LastLinesOfFile(errorFile, kReportErrorFileLines);

  // Qt's paged painting needs a GUI application; offscreen unless the user chose a platform.
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                  : qgetenv("QT_QPA_PLATFORM"));
  int argc = 1;
  char name[] = "velta-cli";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  if (!WriteServiceReport(options.output, report)) {
    return Fail(kExitRefused, Format(_("Datei %s kann nicht geöffnet werden."), options.output.c_str()));
  }
  std::fprintf(stderr, "%s\n", Format(_("\nIn %s gespeichert"), options.output.c_str()).c_str());
  return kExitOk;
}

}  // namespace

void AddReportCommand(CLI::App& app, CliContext& context, int& result) {
  static ReportOptions options;
  CLI::App* report = app.add_subcommand("report", "Service report of the controller (PDF or HTML)");
  report->add_option("-o,--output", options.output, "Report file: .pdf, else HTML")->required();
  report->add_option("--site", options.site, "Site text for the report's head");
  report->add_option("--error-file", options.errorFile, "Error file whose newest lines are shown");
  report->callback([&] { result = RunReport(context, options); });
}

}  // namespace velta::cli
