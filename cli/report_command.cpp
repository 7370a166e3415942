// report: the service report of the connected controller, as PDF or HTML.
#include <QGuiApplication>
#include <cstdio>

#include "cli/commands.h"
#include "cli/messages.h"
#include "report/service_report.h"

namespace velta::cli {
namespace {

struct ReportOptions {
  std::string output;
  std::string site;
  std::string errorFile;  // default: the Monitor window's error file when it stores lines
  std::string log;        // a measurement log to draw
};

// Qt's own warnings (no XDG_RUNTIME_DIR, a missing font) are not this program's messages: they
// join the windows' log lines, shown with --verbose only.
Feedback* qtLog = nullptr;
void QtMessagesToLog(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (qtLog != nullptr) qtLog->Log("Qt: " + text.toStdString());
}

int RunReport(CliContext& context, const ReportOptions& options) {
  qtLog = &context.feedback;
  qInstallMessageHandler(QtMessagesToLog);
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  // A log that cannot be drawn is refused before the controller is asked.
  std::optional<MeasurementSeries> measurements;
  if (!options.log.empty()) {
    std::string reason;
    measurements = ReadMeasurementLog(options.log, reason);
    if (!measurements) return Fail(kExitRefused, "Cannot use the log " + options.log + ": " + reason);
  }
  const service::ReportReading reading = service::ReadReportData(settings, context.feedback);
  if (!reading.Done()) return Finish(reading);
  ServiceReport report = ComposeServiceReport(
      reading, options.errorFile.empty() ? StoredErrorFile() : options.errorFile);
  if (!report.errorFileProblem.empty()) std::fprintf(stderr, "%s\n", report.errorFileProblem.c_str());
  report.site = options.site;
  report.measurements = std::move(measurements);

  // Qt's paged painting needs a GUI application; offscreen unless the user chose a platform.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "velta-cli";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  std::string reason;
  if (!WriteServiceReport(options.output, report, reason)) {
    return Fail(kExitRefused, "Cannot write " + options.output + ": " + reason);
  }
  std::fprintf(stderr, "Service report saved to %s\n", options.output.c_str());
  return kExitOk;
}

}  // namespace

void AddReportCommand(CLI::App& app, CliContext& context, int& result) {
  static ReportOptions options;
  CLI::App* report = app.add_subcommand("report", "Service report of the controller (PDF or HTML)");
  report->add_option("-o,--output", options.output, "Report file: .pdf, else HTML")->required();
  report->add_option("--site", options.site, "Site text for the report's head");
  report->add_option("--error-file", options.errorFile, "Error file whose newest lines are shown");
  report->add_option("--log", options.log,
                     "Measurement log (status --watch --csv) drawn as a level and pressure chart");
  report->callback([&] { result = RunReport(context, options); });
}

}  // namespace velta::cli
