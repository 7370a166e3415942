// The windows under a dark palette, as a dark desktop theme gives it: where the program forces a
// background, the text on it is dark; the text colours the forms force, the LEDs, the history
// chart and the tank plot stand out from the dark background. Under the usual light palette the
// forms keep their own colours.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTest>
#include <algorithm>
#include <functional>
#include <map>

#include "monitor/app_settings.h"
#include "tests/support/poll_ticks.h"
#include "tests/support/config_dir.h"
#include "tests/support/fresh_program.h"
#include "tests/support/qt_app.h"
#include "tests/support/sim_process.h"
#include "tests/support/test_desktop.h"
#include "tests/support/window_test.h"
#include "ui/program.h"
#include "ui/readable_colour.h"
#include "ui/status_widgets.h"
#include "ui/tank_shape_plot.h"

namespace velta::test {
namespace {

// Text on a forced background must stand out at least this far (black on white is 21).
constexpr double kClearContrast = 4.5;

// The dark Fusion palette that dark desktop themes commonly give Qt programs.
QPalette DarkPalette() {
  QPalette palette;
  const QColor window(53, 53, 53), base(35, 35, 35), text(Qt::white), grey(127, 127, 127);
  for (const auto& [role, colour] :
       std::map<QPalette::ColorRole, QColor>{{QPalette::Window, window},
                                             {QPalette::WindowText, text},
                                             {QPalette::Base, base},
                                             {QPalette::AlternateBase, window},
                                             {QPalette::ToolTipBase, base},
                                             {QPalette::ToolTipText, text},
                                             {QPalette::Text, text},
                                             {QPalette::Button, window},
                                             {QPalette::ButtonText, text},
                                             {QPalette::Highlight, QColor(42, 130, 218)},
                                             {QPalette::HighlightedText, base}}) {
    palette.setColor(role, colour);
  }
  for (const QPalette::ColorRole role :
       {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
    palette.setColor(QPalette::Disabled, role, grey);
  return palette;
}

// The program started under the dark palette, with the Admin flags that open the Settings window
// in the expert view.
class DarkProgram {
 public:
  DarkProgram() {
    EnsureApplication();
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setPalette(DarkPalette());
    SetDesktop(&desktop_);
    OpenSettingsStore()->setValue("Admin", 0x80);
    program_ = std::make_unique<Program>();
  }
  ~DarkProgram() {
    program_.reset();
    SetDesktop(nullptr);
  }
  Program* operator->() { return program_.get(); }

 private:
  TempConfigDir config_;
  TestDesktop desktop_;
  std::unique_ptr<Program> program_;
};

void Show(QWidget* window) {
  window->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// `area` of `control` as its window draws it, parents' backgrounds included.
QImage AsShown(const QWidget* control, const QRect& area) {
  QWidget* window = control->window();
  return window->grab(QRect(control->mapTo(window, area.topLeft()), area.size())).toImage();
}
QImage AsShown(const QWidget* control, int inset = 0) {
  return AsShown(control, control->rect().adjusted(inset, inset, -inset, -inset));
}

// The colour most of `image` has.
QColor Background(const QImage& image) {
  std::map<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y) | 0xFF000000u];
  return QColor(std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                  return a.second < b.second;
                })->first);
}

bool AnyColour(const QColor&) { return true; }
// The blue of the history series and the tank curve, and their smoothed edges.
bool Bluish(const QColor& c) { return c.blue() > c.red() + 40 && c.blue() > c.green() + 20; }

// How far the pixels of `image` that `drawn` picks stand apart from the image's background.
double StrongestContrast(const QImage& image,
                         const std::function<bool(const QColor&)>& drawn = AnyColour) {
  const QColor background = Background(image);
  double strongest = 1.0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (drawn(pixel)) strongest = std::max(strongest, ContrastRatio(pixel, background));
    }
  }
  return strongest;
}

// How many of the pixels `drawn` picks stand apart from the image's background by the readable
// contrast. A line across the picture has some hundred; a dark line has only the few where it
// crosses a light grid line.
int ReadablePixels(const QImage& image, const std::function<bool(const QColor&)>& drawn) {
  const QColor background = Background(image);
  int readable = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (drawn(pixel) && ContrastRatio(pixel, background) >= kReadableContrast) ++readable;
    }
  }
  return readable;
}

TEST(DarkPalette, MonitorWindow) {
  InFreshProgram({1920, 1080, "1"}, [] {
    DarkProgram program;
    Form1* monitor = program->monitor.get();
    Show(monitor);
    // A running pump, both water meters, the overflow alarm and the red state texts.
    SimProcess sim({"--static", "--set", "pump=50", "--set", "watermeter=1", "--set",
                    "mains=123456", "--set", "cistern=7890", "--set", "overflow=1", "--set",
                    "pumpoff=1", "--set", "writeenable=always", "--set", "level=57"});
    monitor->findChild<QRadioButton*>("rbTcp")->click();
    monitor->findChild<QLineEdit*>("edHost")->setText("127.0.0.1");
    monitor->findChild<QLineEdit*>("edPort")->setText(QString::number(sim.TcpPort()));
    monitor->findChild<QCheckBox*>("cbStartSend")->setChecked(true);
    RunPollTicks(*monitor, 10);
    monitor->findChild<QCheckBox*>("cbStartSend")->setChecked(false);
    QApplication::processEvents();

    for (const char* name : {"edWasser1", "edWasser2"}) {
      const auto* meter = monitor->findChild<QLabel*>(name);
      ASSERT_TRUE(meter->isVisible() && !meter->text().isEmpty()) << name;
      const QImage inside = AsShown(meter, 2);  // within the sunken frame
      EXPECT_EQ(Background(inside), QColor(Qt::white)) << name << " keeps its white background";
      EXPECT_GE(StrongestContrast(inside), kClearContrast) << name;
    }
    for (const char* name : {"lblPumpe", "lblDruck"}) {
      const auto* text = monitor->findChild<QLabel*>(name);
      const QImage shown = AsShown(text);
      EXPECT_EQ(Background(shown), QColor(Qt::yellow)) << name << ": the pump runs";
      EXPECT_GE(StrongestContrast(shown), kClearContrast) << name;
    }
    for (const char* name : {"lblZisterneRueckstau", "lblUrlaub", "lblWriteEnable", "Image1"}) {
      const auto* text = monitor->findChild<QLabel*>(name);
      ASSERT_TRUE(text->isVisible()) << name;
      EXPECT_GE(StrongestContrast(AsShown(text)), kReadableContrast) << name;
    }
    const auto* chart = monitor->findChild<HistoryChart*>("Chart1");
    ASSERT_FALSE(chart->Series1().isEmpty() && chart->Series2().isEmpty()) << "no history shown";
    const QImage history = AsShown(chart);
    EXPECT_GE(ReadablePixels(history, Bluish), history.width() / 4) << "the history line";
    const auto* darkLed = monitor->findChild<LedImage*>("imgblOFF");
    ASSERT_TRUE(darkLed->isVisible());
    EXPECT_GE(StrongestContrast(AsShown(darkLed)), kReadableContrast) << "a dark LED";
  });
}

TEST(DarkPalette, SettingsWindowWithTheBackupHighlight) {
  InFreshProgram({1920, 1080, "1"}, [] {
    DarkProgram program;
    Show(program->monitor.get());
    Form3* settings = program->settings.get();
    Show(settings);
    auto* backup = settings->findChild<QCheckBox*>("cbBackup");
    ASSERT_TRUE(backup->isVisible()) << "the expert view";
    backup->setChecked(true);
    QApplication::processEvents();
    for (const char* name : {"gbDatei", "gbVEL"}) {
      const auto* group = settings->findChild<QGroupBox*>(name);
      // The caption strip above the group's buttons.
      const QImage caption =
          AsShown(group, QRect(0, 0, group->width(), group->fontMetrics().height()));
      EXPECT_EQ(Background(caption), QColor(Qt::yellow)) << name;
      EXPECT_GE(StrongestContrast(caption), kClearContrast) << name;
    }
    for (const char* name : {"cbWriteRef", "lblJumper"}) {
      const QWidget* text = settings->findChild<QWidget*>(name);
      ASSERT_TRUE(text->isVisible()) << name;
      EXPECT_GE(StrongestContrast(AsShown(text)), kReadableContrast) << name;
    }
  });
}

TEST(DarkPalette, TankTablePlot) {
  InFreshProgram({1920, 1080, "1"}, [] {
    DarkProgram program;
    Form2* tankTable = program->tankTable.get();
    auto* plot = tankTable->findChild<TankShapePlot*>();
    ASSERT_NE(plot, nullptr);
    TankTable table{};
    for (int i = 0; i < kTankEntries; ++i) table[static_cast<std::size_t>(i)] = i;
    plot->SetTable(table);
    Show(tankTable);
    // The curve stands out; the light shading under it does not need to.
    const QImage shown = AsShown(plot, 8);  // within the plot's frame line
    EXPECT_GE(ReadablePixels(shown, Bluish), shown.width() / 4);
  });
}

class LightPalette : public WindowTest {};

TEST_F(LightPalette, FormsKeepTheirOwnTextColours) {
  Form1 monitor;
  const std::map<const char*, const char*> forced = {{"lblZisterneRueckstau", "#ff0000"},
                                                     {"lblUrlaub", "#c00000"},
                                                     {"lblWriteEnable", "#c00000"},
                                                     {"Image1", "#1f4e9c"}};
  for (const auto& [name, colour] : forced) {
    EXPECT_TRUE(monitor.findChild<QWidget*>(name)->styleSheet().contains(colour)) << name;
  }
}

}  // namespace
}  // namespace velta::test
