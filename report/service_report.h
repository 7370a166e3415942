// The service report of a visit: controller version, date, site, the status and active errors as
// the Monitor window shows them, every setting in editor units grouped as the Settings window
// groups them, beside the Default block's value where it differs, counters, error memory, live
// values, a chart of a measurement log and the newest error-file lines. Built as HTML and printed to PDF with Qt's own paged painting, so the
// command line's `report` and the Settings window's "Report…" button give the same document.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "controller/feedback.h"
#include "controller/image.h"
#include "link/connection.h"
#include "monitor/main_page.h"
#include "monitor/readings.h"
#include "report/measurement_chart.h"
#include "service/report_data.h"

namespace velta {

struct ServiceReport {
  std::string version;  // "V1.60"
  std::string date;     // as printed
  std::string site;     // optional free text
  ControllerImage image;  // at least addresses 0..87: settings, counters, error memory
  Readings live;  // the Counters page's readings
  std::vector<std::string> errorFileLines;
  std::string errorFileProblem;  // why the error file could not be read; empty when it was
  // The Main status page as the Monitor window shows it; empty when the page did not come.
  std::optional<MainPageView> status;
  Readings statusReadings;  // that page's readings
  // A measurement log the caller chose, drawn as a chart.
  std::optional<MeasurementSeries> measurements;
};

// How many of the error file's last lines the report shows.
inline constexpr int kReportErrorFileLines = 20;

// The newest `count` lines of a text file; empty, with `reason`, when it cannot be read.
std::vector<std::string> LastLinesOfFile(const std::string& path, int count, std::string& reason);

// The Monitor window's error file while it stores error lines there; empty otherwise.
std::string StoredErrorFile();

// The report of what was read from the controller: date and error-file lines are filled in (an
// error file that cannot be read is named in the report), the site left to the caller.
ServiceReport ComposeServiceReport(const service::ReportReading& reading,
                                   const std::string& errorFile);

// Reads what the report shows from the controller (service::ReadReportData) and composes it.
// Nothing when the read failed (the read has logged why); an error file that cannot be read is
// logged too.
std::optional<ServiceReport> ReadServiceReport(const ConnectionSettings& settings,
                                               Feedback& feedback, const std::string& errorFile);

std::string ServiceReportHtml(const ServiceReport& report);

// Writes the report to `path`: PDF when it ends in ".pdf" (in any case), else HTML. The file is replaced in one
// step; false (file untouched, `reason` saying why) when it could not be written. A PDF needs a
// QGuiApplication.
bool WriteServiceReport(const std::string& path, const ServiceReport& report, std::string& reason);

}  // namespace velta
