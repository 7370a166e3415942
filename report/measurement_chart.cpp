#include "report/measurement_chart.h"

#include <QBuffer>
#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cctype>
#include <istream>

#include "files/regular_file.h"

namespace velta {
namespace {

// --- Reading ---

// The cells of one CSV line; quoted cells may hold commas and doubled quotes.
std::vector<std::string> CsvCells(const std::string& line) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      cells.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      cells.emplace_back();
    } else {
      cells.back() += c;
    }
  }
  return cells;
}

// Digits at `text[at]`, exactly `count` of them.
bool Digits(const std::string& text, std::size_t at, std::size_t count, int& value) {
  if (at + count > text.size()) return false;
  const auto result = std::from_chars(text.data() + at, text.data() + at + count, value);
  return result.ec == std::errc() && result.ptr == text.data() + at + count;
}

// "2026-12-07T21:30:05" in local time, a space for the T, optional fractions of a second and an
// optional zone ("Z", "+01:00", "+0100").
std::optional<std::time_t> ParseTime(const std::string& text) {
  std::tm tm{};
  int year = 0, month = 0;
  if (!Digits(text, 0, 4, year) || text.size() < 19 || text[4] != '-' ||
      !Digits(text, 5, 2, month) || text[7] != '-' || !Digits(text, 8, 2, tm.tm_mday) ||
      (text[10] != 'T' && text[10] != ' ') || !Digits(text, 11, 2, tm.tm_hour) ||
      text[13] != ':' || !Digits(text, 14, 2, tm.tm_min) || text[16] != ':' ||
      !Digits(text, 17, 2, tm.tm_sec)) {
    return std::nullopt;
  }
  if (month < 1 || month > 12 || tm.tm_mday < 1 || tm.tm_mday > 31 || tm.tm_hour > 23 ||
      tm.tm_min > 59 || tm.tm_sec > 60) {
    return std::nullopt;
  }
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  std::size_t at = 19;
  if (at < text.size() && text[at] == '.') {
    ++at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
  }
  const std::string zone = text.substr(at);
  if (zone.empty()) {
    tm.tm_isdst = -1;
    const std::time_t local = std::mktime(&tm);
    return local == -1 ? std::nullopt : std::optional(local);
  }
  int offsetMinutes = 0;
  if (zone != "Z") {
    int hours = 0, minutes = 0;
    const bool colon = zone.size() == 6 && zone[3] == ':';
    if ((zone[0] != '+' && zone[0] != '-') || (zone.size() != 5 && !colon) ||
        !Digits(zone, 1, 2, hours) || !Digits(zone, colon ? 4 : 3, 2, minutes)) {
      return std::nullopt;
    }
    offsetMinutes = (zone[0] == '-' ? -1 : 1) * (hours * 60 + minutes);
  }
  return timegm(&tm) - static_cast<std::time_t>(offsetMinutes) * 60;
}

// The result of one value cell: empty, a number, or a cell that does not parse.
enum class Cell { Empty, Number, Bad };

// A number alone or followed by its unit ("3.5", "3.5bar", "57%"); the point is the decimal
// mark whatever the locale.
Cell ParseValue(const std::string& text, const char* unit, double& value) {
  if (text.empty()) return Cell::Empty;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return Cell::Bad;
  const std::string rest(result.ptr, text.data() + text.size());
  return rest.empty() || rest == unit ? Cell::Number : Cell::Bad;
}

struct Columns {
  int time = -1, level = -1, pressure = -1;
};

// A header names the time column and at least one of the two values.
std::optional<Columns> HeaderColumns(const std::vector<std::string>& cells) {
  Columns columns;
  for (int i = 0; i < static_cast<int>(cells.size()); ++i) {
    const std::string& name = cells[static_cast<std::size_t>(i)];
    if (name == "time") columns.time = i;
    if (name == "level_percent") columns.level = i;
    if (name == "pressure_bar" || (name == "pressure" && columns.pressure < 0)) columns.pressure = i;
  }
  if (columns.time < 0 || (columns.level < 0 && columns.pressure < 0)) return std::nullopt;
  return columns;
}

// A value column's cell; a missing column reads as empty.
Cell ValueCell(const std::vector<std::string>& cells, int column, const char* unit,
               std::optional<double>& value) {
  if (column < 0 || column >= static_cast<int>(cells.size())) return Cell::Empty;
  double number = 0;
  const Cell cell = ParseValue(cells[static_cast<std::size_t>(column)], unit, number);
  if (cell == Cell::Number) value = number;
  return cell;
}

std::optional<MeasurementPoint> RowPoint(const std::vector<std::string>& cells,
                                         const Columns& columns) {
  if (columns.time >= static_cast<int>(cells.size())) return std::nullopt;
  const std::optional<std::time_t> when = ParseTime(cells[static_cast<std::size_t>(columns.time)]);
  if (!when) return std::nullopt;
  MeasurementPoint point{*when, std::nullopt, std::nullopt};
  if (ValueCell(cells, columns.level, "%", point.levelPercent) == Cell::Bad ||
      ValueCell(cells, columns.pressure, "bar", point.pressureBar) == Cell::Bad) {
    return std::nullopt;
  }
  return point;
}

// --- Drawing ---

constexpr int kChartWidth = 1800, kChartHeight = 760;
constexpr int kLeft = 120, kRight = 160, kTop = 70, kBottom = 90;
const QColor kLevelColour(0, 90, 200);
const QColor kPressureColour(210, 80, 0);

// A pause in the log longer than this many times the usual row interval breaks the lines.
constexpr double kPauseFactor = 10;
constexpr double kShortestPause = 60;

double UsualInterval(const std::vector<MeasurementPoint>& points) {
  std::vector<double> steps;
  for (std::size_t i = 1; i < points.size(); ++i)
    steps.push_back(std::difftime(points[i].when, points[i - 1].when));
  if (steps.empty()) return 0;
  std::nth_element(steps.begin(), steps.begin() + static_cast<long>(steps.size() / 2), steps.end());
  return steps[steps.size() / 2];
}

// The top of the pressure axis: a round value whose fifths are round too.
double PressureTop(double highest) {
  for (double top : {1.0, 2.5, 5.0, 7.5, 10.0, 15.0, 20.0, 25.0}) {
    if (highest <= top) return top;
  }
  return std::ceil(highest / 25) * 25;
}

// A step for the time axis giving at most about ten ticks.
std::time_t TimeStep(double span) {
  static const std::time_t kSteps[] = {60,        300,       600,       900,       1800,
                                       3600,      2 * 3600,  3 * 3600,  6 * 3600,  12 * 3600,
                                       24 * 3600, 48 * 3600, 168 * 3600};
  for (std::time_t step : kSteps) {
    if (span / static_cast<double>(step) <= 10) return step;
  }
  return static_cast<std::time_t>(std::ceil(span / 10 / (168 * 3600))) * 168 * 3600;
}

QString ClockText(std::time_t when, bool withDate) {
  return QDateTime::fromSecsSinceEpoch(when).toString(withDate ? "MM-dd HH:mm" : "HH:mm");
}

class Chart {
 public:
  Chart(const MeasurementSeries& series, QPainter& painter) : series_(series), painter_(painter) {
    const auto [earliest, latest] = std::minmax_element(
        series.points.begin(), series.points.end(),
        [](const auto& a, const auto& b) { return a.when < b.when; });
    first_ = earliest->when;
    span_ = std::max(1.0, std::difftime(latest->when, first_));
    double highest = 0;
    for (const MeasurementPoint& point : series.points) {
      highest = std::max(highest, point.pressureBar.value_or(0));
    }
    pressureTop_ = PressureTop(highest);
    pause_ = std::max(kShortestPause, kPauseFactor * UsualInterval(series.points));
  }

  void Draw() {
    painter_.fillRect(0, 0, kChartWidth, kChartHeight, Qt::white);
    QFont font = painter_.font();
    font.setPixelSize(28);
    painter_.setFont(font);
    Axes();
    Line([](const MeasurementPoint& p) { return p.levelPercent; }, 100, kLevelColour);
    Line([](const MeasurementPoint& p) { return p.pressureBar; }, pressureTop_, kPressureColour);
    Legend();
  }

 private:
  double X(std::time_t when) const {
    return kLeft + std::difftime(when, first_) / span_ * (kChartWidth - kLeft - kRight);
  }
  double Y(double value, double top) const {
    return kChartHeight - kBottom - value / top * (kChartHeight - kTop - kBottom);
  }

  void Axes() {
    const int right = kChartWidth - kRight, bottom = kChartHeight - kBottom;
    painter_.setPen(QColor(220, 220, 220));
    for (int tenth = 0; tenth <= 10; tenth += 2) {
      const double y = Y(tenth * 10, 100);
      painter_.drawLine(QPointF(kLeft, y), QPointF(right, y));
    }
    const std::time_t step = TimeStep(span_);
    const bool withDate = span_ > 24 * 3600;
    // Ticks on whole steps of local time.
    const std::time_t offset = QDateTime::fromSecsSinceEpoch(first_).offsetFromUtc();
    std::time_t tick = ((first_ + offset + step - 1) / step) * step - offset;
    for (; std::difftime(tick, first_) <= span_; tick += step) {
      const double x = X(tick);
      painter_.setPen(QColor(220, 220, 220));
      painter_.drawLine(QPointF(x, kTop), QPointF(x, bottom));
      painter_.setPen(Qt::black);
      painter_.drawText(QRectF(x - 100, bottom + 8, 200, 30), Qt::AlignHCenter | Qt::AlignTop,
                        ClockText(tick, withDate));
    }
    painter_.setPen(QPen(Qt::black, 2));
    painter_.drawRect(QRectF(kLeft, kTop, right - kLeft, bottom - kTop));
    for (int tenth = 0; tenth <= 10; tenth += 2) {
      painter_.setPen(kLevelColour);
      painter_.drawText(QRectF(0, Y(tenth * 10, 100) - 15, kLeft - 12, 30),
                        Qt::AlignRight | Qt::AlignVCenter, QString("%1%").arg(tenth * 10));
      painter_.setPen(kPressureColour);
      painter_.drawText(QRectF(right + 12, Y(tenth * 10, 100) - 15, kRight - 12, 30),
                        Qt::AlignLeft | Qt::AlignVCenter,
                        QString::number(pressureTop_ * tenth / 10, 'g', 3) + " bar");
    }
    painter_.setPen(Qt::black);
    painter_.drawText(QRectF(kLeft, kChartHeight - 40, right - kLeft, 36), Qt::AlignCenter,
                      "Local time from " +
                          QDateTime::fromSecsSinceEpoch(first_).toString("yyyy-MM-dd HH:mm"));
  }

  template <typename Value>
  void Line(Value value, double top, const QColor& colour) {
    QPainterPath path;
    bool drawing = false;
    std::time_t previous = 0;
    for (const MeasurementPoint& point : series_.points) {
      const std::optional<double> v = value(point);
      if (!v || (drawing && std::difftime(point.when, previous) > pause_)) drawing = false;
      if (!v) continue;
      const QPointF at(X(point.when), Y(std::clamp(*v, 0.0, top), top));
      if (drawing) {
        path.lineTo(at);
      } else {
        path.moveTo(at);
      }
      drawing = true;
      previous = point.when;
    }
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.strokePath(path, QPen(colour, 3));
  }

  void Legend() {
    const QString items[] = {"Level (%), left", "Pressure (bar), right"};
    const QColor colours[] = {kLevelColour, kPressureColour};
    double x = kLeft;
    for (int i = 0; i < 2; ++i) {
      painter_.fillRect(QRectF(x, 24, 40, 6), colours[i]);
      painter_.setPen(Qt::black);
      painter_.drawText(QRectF(x + 50, 10, 400, 34), Qt::AlignLeft | Qt::AlignVCenter, items[i]);
      x += 420;
    }
  }

  const MeasurementSeries& series_;
  QPainter& painter_;
  std::time_t first_;
  double span_;
  double pressureTop_;
  double pause_;
};

}  // namespace

std::optional<MeasurementSeries> ReadMeasurementLog(const std::string& path, std::string& reason) {
  const RegularFile file(path);
  if (!file.IsOpen()) {
    reason = file.Reason();
    return std::nullopt;
  }
  if (file.Size() > kMaxMeasurementLogSize) {
    reason = "The file is larger than a measurement log can be.";
    return std::nullopt;
  }
  FileReadBuffer buffer(file.Fd());
  std::istream in(&buffer);
  MeasurementSeries series{path, {}, 0};
  std::optional<Columns> columns;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const std::vector<std::string> cells = CsvCells(line);
    if (std::optional<Columns> header = HeaderColumns(cells)) {
      columns = header;
    } else if (!columns) {
      reason = "The first line is not a measurement log header (time, level_percent, pressure_bar).";
      return std::nullopt;
    } else if (std::optional<MeasurementPoint> point = RowPoint(cells, *columns)) {
      series.points.push_back(*point);
    } else {
      ++series.skippedRows;
    }
  }
  if (!columns) {
    reason = "The file is empty.";
    return std::nullopt;
  }
  if (series.points.empty()) {
    reason = "No row of the log holds a time and values that can be read.";
    return std::nullopt;
  }
  return series;
}

QByteArray MeasurementChartPng(const MeasurementSeries& series) {
  QImage image(kChartWidth, kChartHeight, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    Chart(series, painter).Draw();
  }
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png;
}

}  // namespace velta
