// The painted pictures of the Monitor window: what a lit and a dark segment or LED look like.
#include <gtest/gtest.h>

#include <QImage>

#include "monitor/history_block.h"
#include "tests/support/qt_app.h"
#include "ui/status_widgets.h"

namespace {

QColor Centre(QWidget& widget) {
  const QImage image = widget.grab().toImage();
  return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(StatusWidgets, SegmentsLightRedAndStayDarkOtherwise) {
  velta::test::EnsureApplication();
  for (const char* name : {"a", "b", "g", "dp"}) {
    SegmentImage segment;
    segment.setProperty("segment", name);  // as the form sets it
    const bool horizontal = QString("ag").contains(name);
    segment.resize(horizontal ? 19 : 5, horizontal ? 5 : 19);
    segment.setLit(true);
    const QColor lit = Centre(segment);
    EXPECT_GT(lit.red(), 180) << name;
    EXPECT_LT(lit.green(), 80) << name;
    segment.setLit(false);
    EXPECT_LT(Centre(segment).red(), 120) << name;
  }
}

TEST(StatusWidgets, LedsTakeTheirColourWhenLitAndGreyWhenDark) {
  velta::test::EnsureApplication();
  const struct {
    const char* colour;
    int hue;  // 0..359
  } rows[] = {{"green", 120}, {"yellow", 52}, {"red", 0}, {"blue", 223}};
  for (const auto& row : rows) {
    LedImage led;
    led.resize(13, 13);
    led.setProperty("colour", row.colour);
    led.setProperty("lit", true);
    const QColor lit = Centre(led);
    EXPECT_NEAR(lit.hsvHue(), row.hue, 25) << row.colour;
    EXPECT_GT(lit.hsvSaturation(), 100) << row.colour;
    led.setProperty("lit", false);
    EXPECT_LT(Centre(led).hsvSaturation(), 30) << row.colour;
  }
}

// The axes are fixed at 0..100; a larger sample is cut at the top of the plot, for both series.
TEST(StatusWidgets, HistoryChartKeepsSamplesInsideItsAxes) {
  velta::test::EnsureApplication();
  for (const bool line : {true, false}) {
    HistoryChart chart;
    chart.resize(276, 97);  // as the form places it
    QVector<QPointF> points;
    // Just above the axis top: without the cut the line and bars reach into the top rows.
    for (int j = 0; j < 56; ++j) points.append(QPointF(velta::HistoryX(j), 104));
    chart.ShowSamples(points, line);
    const QImage image = chart.grab().toImage();
    int blueAboveThePlot = 0;
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor pixel = image.pixelColor(x, y);
        if (pixel.blue() > 200 && pixel.red() < 100) ++blueAboveThePlot;
      }
    }
    EXPECT_EQ(blueAboveThePlot, 0) << (line ? "line" : "bars");
  }
}

}  // namespace
