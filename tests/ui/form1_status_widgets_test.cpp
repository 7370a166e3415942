// The painted pictures of the Monitor window: what a lit and a dark segment or LED look like.
#include <gtest/gtest.h>

#include <QImage>

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

}  // namespace
