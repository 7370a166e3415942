#include "report/service_report.h"

#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>
#include <QString>
#include <QTextDocument>
#include <algorithm>
#include <ctime>
#include <deque>
#include <filesystem>
#include <iterator>
#include <string_view>
#include <istream>
#include <limits>

#include "controller/history.h"
#include "files/atomic_write.h"
#include "controller/counters.h"
#include "controller/default_block.h"
#include "controller/error_memory.h"
#include "files/regular_file.h"
#include "i18n/lookup.h"
#include "monitor/app_settings.h"
#include "monitor/error_log.h"
#include "monitor/poll_tick.h"
#include "controller/fields.h"
#include "controller/setting_fields.h"
#include "files/user_folders.h"

namespace velta {
namespace {

std::string Escaped(const std::string& text) {
  return QString::fromStdString(text).toHtmlEscaped().toStdString();
}

// `title` is marked where it is written and looked up here.
void Heading(std::string& html, const char* title) {
  html += "<h2>" + V_(title) + "</h2>\n";
}

void Lines(std::string& html, const std::vector<std::string>& lines) {
  html += "<pre>";
  for (const std::string& line : lines) html += Escaped(line) + "\n";
  html += "</pre>\n";
}

void Row(std::string& html, const std::string& label, const std::string& value) {
  html += "<tr><td>" + Escaped(label) + "</td><td>" + Escaped(value) + "</td></tr>\n";
}

constexpr const char* kTable = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";

// A table's head (titles marked VN_), repeated at the top of every page the table runs onto.
std::string HeaderRow(std::initializer_list<const char*> titles) {
  std::string row = "<thead><tr>";
  for (const char* title : titles) row += "<th>" + V_(title) + "</th>";
  return row + "</tr></thead>\n";
}

void SettingsTable(std::string& html, const ControllerImage& image) {
  ControllerImage defaults;
  LoadDefaultBlock(defaults);
  html += std::string(kTable) + HeaderRow({VN_("Setting"), VN_("Value"), VN_("Default")});
  std::string heading;
  for (const SettingField* field : SettingFieldsByGroup()) {
    if (SettingHeading(*field) != heading) {
      heading = SettingHeading(*field);
      html += "<tr><th colspan=\"3\" align=\"left\" bgcolor=\"#e8e8e8\">" + Escaped(heading) +
              "</th></tr>\n";
    }
    const std::string label = SettingOwnLabel(*field);
    const std::string value = SettingText(*field, image);
    const std::string defaultValue = SettingText(*field, defaults);
    html += "<tr><td>" + Escaped(label) + "</td><td>" + Escaped(value) + "</td><td>" +
            (value != defaultValue ? Escaped(defaultValue) : "") + "</td></tr>\n";
  }
  html += "</table>\n";
}

// Each reading the page gave, as a person reads it; the active errors have a list of their own.
void ReadingRowsOf(std::string& html, const Readings& readings) {
  for (const ReadingRow& row : ReadingRows()) {
    if (readings.Given(row.id) && row.kind != ValueKind::ErrorList) {
      Row(html, V_(row.name), TextWithUnit(row, readings[row.id]));
    }
  }
}

// The Main status page: its readings, then the states the Monitor window words.
void StatusTable(std::string& html, const MainPageView& view, const Readings& readings) {
  html += kTable;
  ReadingRowsOf(html, readings);
  Row(html, V_("Operating mode"), view.mode);
  std::vector<std::string> states{view.valve,         view.relay1,     view.warningTone,
                                  view.sensorMin,     view.sensorMax,  view.overflowSensor,
                                  view.flowSensor,    view.levelMeasurement};
  if (view.overflowAlarm) states.push_back(_("Überlauf Alarm!"));
  if (view.pumpSwitchedOff) states.push_back(_("Pumpe ist abgeschaltet !"));
  if (view.writeEnabled) states.push_back(_("Schreibfreigabe !"));
  std::string joined;
  for (const std::string& state : states) joined += (joined.empty() ? "" : ", ") + state;
  Row(html, V_("Inputs and outputs"), joined);
  html += "</table>\n";
}

// The Monitor window's current-errors list: each active error, or its "no errors" line.
void ActiveErrors(std::string& html, const MainPageView& view) {
  if (!view.errors || !view.errors->stored) {
    html += "<p>" + Escaped(view.errors ? view.errors->lines.front() : _("Keine Fehler")) + "</p>\n";
    return;
  }
  html += "<ul>\n";
  for (const std::string& line : view.errors->lines)
    html += "<li><b>" + Escaped(line) + "</b></li>\n";
  html += "</ul>\n";
}

// The Settings window's read-out, one row per error kind; counts above zero stand out.
void ErrorMemoryTable(std::string& html, const ControllerImage& image) {
  const std::vector<std::string> lines = ErrorMemoryLines(image);
  html += std::string(kTable) + HeaderRow({VN_("Error"), VN_("Count")});
  for (int i = 0; i < kErrorCounterCount; ++i) {
    // The read-out line is the label and its count: "Er.t #3".
    const std::string& line = lines[lines.size() - kErrorCounterCount + static_cast<std::size_t>(i)];
    const std::string label = line.substr(0, line.rfind('#'));
    const int count = Get(image, field::ErrorCounter(i));
    const std::string text = std::to_string(count);
    html += "<tr><td>" + Escaped(label) + "</td><td align=\"right\">" +
            (count > 0 ? "<b>" + text + "</b>" : text) + "</td></tr>\n";
  }
  html += "</table>\n";
}

// The Counters page's readings, the reference hint above them.
void LiveValuesTable(std::string& html, const Readings& live) {
  html += "<p>" + Escaped(_("Referenzwert(100%)=Messwert-Leerwert")) + "</p>\n" + kTable +
          HeaderRow({VN_("Value"), VN_("Reading")});
  ReadingRowsOf(html, live);
  html += "</table>\n";
}

// The chart as an image inside the document, and what it was drawn from.
void MeasurementChart(std::string& html, const MeasurementSeries& series) {
  const QByteArray png = MeasurementChartPng(series);
  html += "<p><img width=\"640\" src=\"data:image/png;base64," + png.toBase64().toStdString() +
          "\"></p>\n<p>" + Escaped(std::filesystem::path(series.path).filename().string()) +
          ": " + Format(V_("%zu rows"), series.points.size());
  if (series.skippedRows > 0) {
    html += Format(series.skippedRows == 1 ? V_(", %zu row skipped that could not be read")
                                           : V_(", %zu rows skipped that could not be read"),
                   static_cast<std::size_t>(series.skippedRows));
  }
  html += ".</p>\n";
}

void CountersTable(std::string& html, const ControllerImage& image) {
  static const char* const kNames[] = {VN_("Pump hours"), VN_("Pump starts"),
                                       VN_("Mains meter pulses"), VN_("Cistern meter pulses")};
  html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
  for (int i = 0; i < 4; ++i) {
    html += "<tr><td>" + V_(kNames[i]) + "</td><td>" +
            CounterText(image, static_cast<Counter>(i)) + "</td></tr>\n";
  }
  html += "</table>\n";
}

bool WritePdf(const std::string& path, const std::string& html, std::string& reason) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setTitle(QString::fromStdString(V_("VELTA service report")));
    writer.setCreator("VELTA Control");
    QTextDocument document;
    document.setHtml(QString::fromStdString(html));
    document.print(&writer);
  }
  return WriteFileAtomically(path, buffer.data().toStdString(), reason);
}

}  // namespace

std::vector<std::string> LastLinesOfFile(const std::string& path, int count, std::string& reason) {
  // Only a regular file, opened without blocking; a line is an error line, so a longer one is cut.
  constexpr std::streamsize kMaxLine = 4096;
  const RegularFile file(path);
  if (!file.IsOpen()) {
    reason = file.Reason();
    return {};
  }
  FileReadBuffer buffer(file.Fd());
  std::istream in(&buffer);
  std::deque<std::string> lines;
  std::string line(static_cast<std::size_t>(kMaxLine), '\0');
  while (in.getline(line.data(), kMaxLine) || in.gcount() > 0) {
    std::string text(line.data());
    if (in.fail() && !in.eof()) {  // cut: skip the rest of this line
      in.clear();
      in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    if (!text.empty() && text.back() == '\r') text.pop_back();
    lines.push_back(std::move(text));
    if (static_cast<int>(lines.size()) > count) lines.pop_front();
    if (in.eof()) break;
  }
  return {lines.begin(), lines.end()};
}

std::string StoredErrorFile() {
  const AppSettings settings = ReadAppSettings(*OpenSettingsStore());
  return settings.store ? settings.file : std::string();
}

std::optional<ServiceReport> ReadServiceReport(const ConnectionSettings& settings,
                                               Feedback& feedback, const std::string& errorFile) {
  const service::ReportReading read = service::ReadReportData(settings, feedback);
  if (!read.Done()) return std::nullopt;
  ServiceReport report = ComposeServiceReport(read, errorFile);
  if (!report.errorFileProblem.empty()) feedback.Log(V_("Error file ") + report.errorFileProblem);
  return report;
}

ServiceReport ComposeServiceReport(const service::ReportReading& read,
                                   const std::string& errorFile) {
  ServiceReport report;
  report.image = read.image;
  report.version = VersionText(read.version);
  // TRANSLATORS: the date and time format of strftime for the report's date.
  report.date = LocalTimeText(std::time(nullptr), V_("%Y-%m-%d %H:%M").c_str());
  report.live = read.live;
  report.status = read.status;
  report.statusReadings = read.statusReadings;
  // The file the error log really writes: a Windows-style name lives in the state folder.
  if (!errorFile.empty()) {
    const std::string path = ErrorFilePath(errorFile);
    report.errorFileLines = LastLinesOfFile(path, kReportErrorFileLines, report.errorFileProblem);
    if (!report.errorFileProblem.empty()) {
      report.errorFileProblem =
          Format(V_("%s cannot be read: %s"), path.c_str(), report.errorFileProblem.c_str());
    }
  }
  return report;
}

std::string ServiceReportHtml(const ServiceReport& report) {
  const std::string title = V_("VELTA service report");
  std::string html = "<html><head><meta charset=\"utf-8\"><title>" + title +
                     "</title></head><body>\n<h1>" + title + "</h1>\n<p>" +
                     V_("Controller version: ") + Escaped(report.version) + "<br>" + V_("Date: ") +
                     Escaped(report.date);
  if (!report.site.empty()) html += "<br>" + V_("Site: ") + Escaped(report.site);
  html += "</p>\n";
  if (report.status) {
    Heading(html, VN_("Status"));
    StatusTable(html, *report.status, report.statusReadings);
    Heading(html, VN_("Active errors"));
    ActiveErrors(html, *report.status);
  }
  if (report.measurements) {
    Heading(html, VN_("Level and pressure"));
    MeasurementChart(html, *report.measurements);
  }
  Heading(html, VN_("Settings"));
  SettingsTable(html, report.image);
  Heading(html, VN_("Counters"));
  CountersTable(html, report.image);
  Heading(html, VN_("Error memory"));
  ErrorMemoryTable(html, report.image);
  if (!report.live.NoneGiven()) {
    Heading(html, VN_("Live values"));
    LiveValuesTable(html, report.live);
  }
  if (!report.errorFileLines.empty() || !report.errorFileProblem.empty()) {
    Heading(html, VN_("Error file"));
    Lines(html, report.errorFileProblem.empty() ? report.errorFileLines
                                                : std::vector{report.errorFileProblem});
  }
  return html + "</body></html>\n";
}

bool WriteServiceReport(const std::string& path, const ServiceReport& report,
                        std::string& reason) {
  const std::string html = ServiceReportHtml(report);
  const bool pdf = QString::fromStdString(path).endsWith(".pdf", Qt::CaseInsensitive);
  return pdf ? WritePdf(path, html, reason) : WriteFileAtomically(path, html, reason);
}

}  // namespace velta
