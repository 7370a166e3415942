// The service report's content and its measurement chart: velta-cli against the simulator, and the
// measurement log reader over both forms of the log.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <algorithm>
#include <string>
#include <vector>

#include "controller/setting_fields.h"
#include "i18n/lookup.h"
#include "report/measurement_chart.h"
#include "tests/support/cli_program.h"

namespace velta {
namespace {

using test::CliProgram;

constexpr const char* kTextHeader =
    "time,level_percent,volume,pressure,pump,pump_running,pump_average,temperature,errors,"
    "water_meter_1,water_meter_2\n";

struct LogCase {
  const char* name;
  std::string text;
  std::size_t points;  // 0: the log is refused
  int skipped;
  double firstLevel, firstPressure;  // -1: no value
};

class MeasurementLogReading : public ::testing::TestWithParam<LogCase> {};

TEST_P(MeasurementLogReading, TakesTheColumnsByNameInEitherForm) {
  const LogCase& row = GetParam();
  test::ScratchDir dir;
  test::WriteFile((dir / "log.csv").string(), row.text);
  std::string reason;
  const std::optional<MeasurementSeries> series = ReadMeasurementLog((dir / "log.csv").string(), reason);
  if (row.points == 0) {
    EXPECT_FALSE(series);
    EXPECT_FALSE(reason.empty());
    return;
  }
  ASSERT_TRUE(series) << reason;
  EXPECT_EQ(series->points.size(), row.points);
  EXPECT_EQ(series->skippedRows, row.skipped);
  const MeasurementPoint& first = series->points.front();
  EXPECT_EQ(first.levelPercent.value_or(-1), row.firstLevel);
  EXPECT_EQ(first.pressureBar.value_or(-1), row.firstPressure);
}

INSTANTIATE_TEST_SUITE_P(
    Logs, MeasurementLogReading,
    ::testing::Values(
        LogCase{"TextCells", std::string(kTextHeader) +
                                 "2026-12-07T21:00:00,57,57%,3.5bar,Off,0,,38°C,,,\n"
                                 "2026-12-07T21:00:01,56,56%,0.0bar,45%,1,,38°C,0C 00,,\n",
                2, 0, 57, 3.5},
        LogCase{"NumericCellsInAnotherOrder",
                "time,pressure_bar,temperature_celsius,level_percent\n"
                "2026-12-07T21:00:00,2.4,38,61\n2026-12-07 21:00:02.250,2.5,38,62\n",
                2, 0, 61, 2.4},
        LogCase{"EmptyCellsLeaveGapsAndBadRowsAreSkipped",
                "time,level_percent,pressure_bar\n"
                ",50,1.0\n"                            // no time
                "2026-13-07T21:00:00,50,1.0\n"         // no such month
                "2026-12-07T21:00:00,,3.0\n"           // no level yet
                "2026-12-07T21:00:01,abc,3.0\n"        // a level that is not a number
                "2026-12-07T21:00:02,50,3.0psi\n"      // a unit the log never writes
                "2026-12-07T21:00:03,\"5,5\",3.0\n"    // a quoted comma is one cell
                "2026-12-07T21:00:04,52\n",            // a short row: no pressure
                2, 5, -1, 3.0},
        LogCase{"AHeaderFurtherDownMapsTheColumnsAfresh",
                std::string(kTextHeader) + "2026-12-07T21:00:00,57,57%,3.5bar,Off,0,,38°C,,,\n" +
                    "time,pressure_bar,level_percent\n2026-12-07T22:00:00Z,1.5,40\n",
                2, 0, 57, 3.5},
        LogCase{"NoHeader", "2026-12-07T21:00:00,57,3.5\n", 0, 0, 0, 0},
        LogCase{"NoRowThatParses", "time,level_percent\nyesterday,57\n", 0, 0, 0, 0},
        LogCase{"Empty", "", 0, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MeasurementLogTimes, ZonesAreHonoured) {
  test::ScratchDir dir;
  test::WriteFile((dir / "log.csv").string(),
                  "time,level_percent\n2026-12-07T21:00:00Z,1\n2026-12-07T22:30:00+01:30,2\n"
                  "2026-12-07T20:00:00-0100,3\n");
  std::string reason;
  const std::optional<MeasurementSeries> series = ReadMeasurementLog((dir / "log.csv").string(), reason);
  ASSERT_TRUE(series) << reason;
  ASSERT_EQ(series->points.size(), 3u);
  for (const MeasurementPoint& point : series->points) EXPECT_EQ(point.when, series->points[0].when);
}

std::string Escaped(const std::string& text) {
  return QString::fromStdString(text).toHtmlEscaped().toStdString();
}

// The rows of the pixels of (about) this colour within a band of columns, below the legend and
// above the time axis (given as fractions of the image's size).
std::vector<int> RowsOf(const QImage& image, QColor colour, double left, double right) {
  std::vector<int> rows;
  for (int y = image.height() * 12 / 100; y < image.height() * 85 / 100; ++y) {
    for (int x = static_cast<int>(image.width() * left); x < image.width() * right; ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
              std::abs(pixel.blue() - colour.blue()) < 30) {
        rows.push_back(y);
      }
    }
  }
  return rows;
}

double Mean(const std::vector<int>& values) {
  double sum = 0;
  for (int value : values) sum += value;
  return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

// Ten hours of a log, a row a minute: the level falls from 80 % to 41 %, the pressure stays.
std::string NightLog() {
  std::string text = kTextHeader;
  for (int minute = 0; minute < 600; ++minute) {
    const int level = 80 - minute / 15;
    text += Format("2026-12-06T%02d:%02d:00,%d,%d%%,3.5bar,Off,0,,38°C,,,\n", 10 + minute / 60,
                   minute % 60, level, level);
  }
  return text;
}

TEST_F(CliProgram, ReportShowsTheActiveErrorsGroupedSettingsAndTheLogsChart) {
  Start({"--set", "error=0x0C", "--set", "pressure=27"});
  test::WriteFile(Path("night.csv"), NightLog());
  const test::CliOutcome html = Call(Tcp() + " report --log " + Path("night.csv") + " -o " + Path("visit.HTML"));
  ASSERT_EQ(html.code, 0) << html.err;
  const std::string page = test::ReadFile(Path("visit.HTML"));
  ASSERT_EQ(page.rfind("<html>", 0), 0u) << "an HTML suffix in capitals is still HTML";

  UseLanguage("en");
  EXPECT_NE(page.find("<td>Pump starts</td>", page.find("<h2>Live values</h2>")), std::string::npos)
      << "the Counters page's readings are the live values";
  for (const char* expected : {"<td>Pressure</td><td>2.7 bar</td>",
                               "<li><b>Sensor cistern defectively! (Er.b)</b></li>\n"
                               "<li><b>No water pump! (Er.P)</b></li>",
                               "600 rows."}) {
    EXPECT_NE(page.find(expected), std::string::npos) << expected;
  }
  // Every setting once, under its group's heading, the groups in the window's order.
  std::size_t groupAt = 0;
  for (const char* group : setting::kGroupsInWindowOrder) {
    if (group == nullptr) continue;
    const std::size_t at = page.find(">" + _(group) + "</th>");
    ASSERT_NE(at, std::string::npos) << group;
    EXPECT_GT(at, groupAt) << group;
    groupAt = at;
  }
  for (const SettingField* field : SettingFields()) {
    // The list without a group box of its own is listed under its own heading.
    const std::string heading = ">" + SettingHeading(*field) + "</th>";
    const std::string row = "<tr><td>" + Escaped(SettingOwnLabel(*field)) + "</td>";
    EXPECT_NE(page.find(row, page.find(heading)), std::string::npos) << row;
    if (field->group != nullptr && field->label != nullptr) {
      EXPECT_EQ(page.find("<tr><td>" + Escaped(SettingLabel(*field)) + "</td>"), std::string::npos)
          << "the group is named once, in its heading";
    }
  }

  // The chart: the level's line and the pressure's line are drawn.
  const std::string marker = "data:image/png;base64,";
  const std::size_t image = page.find(marker);
  ASSERT_NE(image, std::string::npos);
  const std::size_t begin = image + marker.size();
  const QImage chart = QImage::fromData(
      QByteArray::fromBase64(QByteArray::fromStdString(page.substr(begin, page.find('"', begin) - begin))));
  ASSERT_FALSE(chart.isNull());
  const QColor level(0, 90, 200), pressure(210, 80, 0);
  const std::vector<int> levelEarly = RowsOf(chart, level, 0.2, 0.3);
  const std::vector<int> levelLate = RowsOf(chart, level, 0.7, 0.8);
  ASSERT_GT(levelEarly.size(), 20u) << "the level's line is drawn";
  ASSERT_GT(levelLate.size(), 20u);
  EXPECT_LT(Mean(levelEarly), Mean(levelLate)) << "the falling level's line goes down";
  const std::vector<int> pressureMiddle = RowsOf(chart, pressure, 0.4, 0.6);
  ASSERT_GT(pressureMiddle.size(), 20u) << "the pressure's line is drawn";
  EXPECT_LT(*std::max_element(pressureMiddle.begin(), pressureMiddle.end()) -
                *std::min_element(pressureMiddle.begin(), pressureMiddle.end()),
            8)
      << "the steady pressure's line is flat";

  EXPECT_LT(page.find(">" + _(setting::kPressureSensor) + "</th>"),
            page.find("<th colspan=\"3\" align=\"left\" bgcolor=\"#e8e8e8\">Full cistern</th>"));

  // Qt's own warnings stay off the terminal; the report's tables repeat their head on each page.
  const test::CliOutcome pdf = Call(Tcp() + " report --log " + Path("night.csv") + " -o " +
                                    Path("visit.PDF"), "", "unset XDG_RUNTIME_DIR; ");
  ASSERT_EQ(pdf.code, 0) << pdf.err;
  EXPECT_EQ(pdf.err, "Service report saved to " + Path("visit.PDF") + "\n");
  EXPECT_EQ(test::ReadFile(Path("visit.PDF")).rfind("%PDF", 0), 0u) << "a PDF whatever the suffix's case";
}

TEST_F(CliProgram, ReportRefusesALogItCannotReadBeforeAskingTheController) {
  Start();
  test::WriteFile(Path("notes.csv"), "shopping list\nmilk\n");
  sim_->ClearFrames();
  const test::CliOutcome report = Call(Tcp() + " report --log " + Path("notes.csv") + " -o " + Path("r.pdf"));
  EXPECT_EQ(report.code, 1);
  EXPECT_NE(report.err.find("notes.csv"), std::string::npos) << report.err;
  EXPECT_TRUE(sim_->Frames().empty());
  EXPECT_FALSE(std::filesystem::exists(Path("r.pdf")));
}

}  // namespace
}  // namespace velta
