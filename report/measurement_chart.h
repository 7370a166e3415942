// A measurement log (`velta-cli status --watch --csv`, the Monitor window's "Record to CSV…") read
// back for the service report and drawn as a chart of level and pressure over the logged hours.
#pragma once

#include <QByteArray>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace velta {

struct MeasurementPoint {
  std::time_t when;
  std::optional<double> levelPercent;  // empty: the cell was empty
  std::optional<double> pressureBar;
};

struct MeasurementSeries {
  std::string path;
  std::vector<MeasurementPoint> points;  // in the file's order
  int skippedRows = 0;                   // rows whose time or values did not parse
};

// The larger logs are not a night's or a week's recording.
constexpr long long kMaxMeasurementLogSize = 256LL * 1024 * 1024;

// Reads the columns by their header names: `time`, `level_percent` and `pressure_bar` (or the
// older `pressure`), in either form of cell: numbers alone, or with their unit ("3.5bar", "57%").
// A header line further down (a log continued by another version) maps the columns afresh. Nothing,
// with `reason`, when the file cannot be read, has no such header or no row that parses.
std::optional<MeasurementSeries> ReadMeasurementLog(const std::string& path, std::string& reason);

// The chart as a PNG image: level in percent on the left axis, pressure in bar on the right, the
// clock times along the bottom; a line breaks where a value is missing or the log paused.
// Needs a QGuiApplication for its text.
QByteArray MeasurementChartPng(const MeasurementSeries& series);

}  // namespace velta
