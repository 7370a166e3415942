#include "report/service_report.h"

#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>
#include <QString>
#include <QTextDocument>
#include <algorithm>
#include <ctime>
#include <deque>
#include <istream>
#include <limits>

#include "controller/atomic_write.h"
#include "controller/counters.h"
#include "controller/default_block.h"
#include "controller/error_memory.h"
#include "controller/regular_file.h"
#include "i18n/lookup.h"
#include "monitor/app_settings.h"
#include "monitor/error_log.h"
#include "controller/setting_fields.h"
#include "controller/user_folders.h"

namespace velta {
namespace {

std::string Escaped(const std::string& text) {
  return QString::fromStdString(text).toHtmlEscaped().toStdString();
}

void Heading(std::string& html, const char* title) {
  html += "<h2>" + std::string(title) + "</h2>\n";
}

void Lines(std::string& html, const std::vector<std::string>& lines) {
  html += "<pre>";
  for (const std::string& line : lines) html += Escaped(line) + "\n";
  html += "</pre>\n";
}

void SettingsTable(std::string& html, const ControllerImage& image) {
  ControllerImage defaults;
  LoadDefaultBlock(defaults);
  html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n"
          "<tr><th>Setting</th><th>Value</th><th>Default</th></tr>\n";
  for (const SettingField* field : SettingFields()) {
    const std::string value = SettingText(*field, image);
    const std::string defaultValue = SettingText(*field, defaults);
    html += "<tr><td>" + Escaped(SettingLabel(*field)) + "</td><td>" + Escaped(value) +
            "</td><td>" + (value != defaultValue ? Escaped(defaultValue) : "") + "</td></tr>\n";
  }
  html += "</table>\n";
}

void CountersTable(std::string& html, const ControllerImage& image) {
  static const char* const kNames[] = {"Pump hours", "Pump starts", "Mains meter pulses",
                                       "Cistern meter pulses"};
  html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
  for (int i = 0; i < 4; ++i) {
    html += "<tr><td>" + std::string(kNames[i]) + "</td><td>" +
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
    writer.setTitle("VELTA service report");
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
  if (!report.errorFileProblem.empty()) feedback.Log("Error file " + report.errorFileProblem);
  return report;
}

ServiceReport ComposeServiceReport(const service::ReportReading& read,
                                   const std::string& errorFile) {
  ServiceReport report;
  report.image = read.image;
  report.version = Format("V%d.%02d", read.version / 100, read.version % 100);
  report.date = LocalTimeText(std::time(nullptr), "%Y-%m-%d %H:%M");
  report.liveValues = read.liveValues;
  // The file the error log really writes: a Windows-style name lives in the state folder.
  if (!errorFile.empty()) {
    const std::string path = ErrorFilePath(errorFile);
    report.errorFileLines = LastLinesOfFile(path, kReportErrorFileLines, report.errorFileProblem);
    if (!report.errorFileProblem.empty()) {
      report.errorFileProblem = path + " cannot be read: " + report.errorFileProblem;
    }
  }
  return report;
}

std::string ServiceReportHtml(const ServiceReport& report) {
  std::string html = "<html><head><meta charset=\"utf-8\"><title>VELTA service report</title>"
                     "</head><body>\n<h1>VELTA service report</h1>\n<p>Controller version: " +
                     Escaped(report.version) + "<br>Date: " + Escaped(report.date);
  if (!report.site.empty()) html += "<br>Site: " + Escaped(report.site);
  html += "</p>\n";
  Heading(html, "Settings");
  SettingsTable(html, report.image);
  Heading(html, "Counters");
  CountersTable(html, report.image);
  Heading(html, "Error memory");
  Lines(html, ErrorMemoryLines(report.image));
  Heading(html, "Live values");
  Lines(html, report.liveValues);
  if (!report.errorFileLines.empty() || !report.errorFileProblem.empty()) {
    Heading(html, "Error file");
    Lines(html, report.errorFileProblem.empty() ? report.errorFileLines
                                                : std::vector{report.errorFileProblem});
  }
  return html + "</body></html>\n";
}

bool WriteServiceReport(const std::string& path, const ServiceReport& report,
                        std::string& reason) {
  const std::string html = ServiceReportHtml(report);
  const bool pdf = path.size() >= 4 && path.compare(path.size() - 4, 4, ".pdf") == 0;
  return pdf ? WritePdf(path, html, reason) : WriteFileAtomically(path, html, reason);
}

}  // namespace velta
