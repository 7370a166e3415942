// The windows on small and scaled screens: none reaches beyond the screen's available area, every
// control can still be scrolled or tabbed into view, and on a large screen nothing changes.
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <string>

#include "monitor/app_settings.h"
#include "tests/support/config_dir.h"
#include "tests/support/fresh_program.h"
#include "tests/support/qt_app.h"
#include "tests/support/test_desktop.h"
#include "ui/program.h"
#include "ui/screen_fit.h"

namespace velta::test {
namespace {

// The program as the user starts it, with the Admin flags that open the Settings window in the
// expert view (and, given 0x10 too, show the fault storage's clearing).
class Started {
 public:
  explicit Started(int admin = 0x80) {
    EnsureApplication();
    SetDesktop(&desktop_);
    OpenSettingsStore()->setValue("Admin", admin);
    program_ = std::make_unique<Program>();
  }
  ~Started() {
    program_.reset();
    SetDesktop(nullptr);
  }
  Program& operator*() { return *program_; }
  Program* operator->() { return program_.get(); }

 private:
  TempConfigDir config_;
  TestDesktop desktop_;
  std::unique_ptr<Program> program_;
};

void ShowAndSettle(QWidget* window) {
  window->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
  // The window is sized again once it knows its screen and frame.
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void ExpectOnScreen(const QWidget* window) {
  const QRect available = window->screen()->availableGeometry();
  EXPECT_TRUE(available.contains(window->frameGeometry()))
      << window->objectName().toStdString() << " at " << window->frameGeometry().x() << ","
      << window->frameGeometry().y() << " " << window->frameGeometry().width() << "x"
      << window->frameGeometry().height() << " leaves the screen's " << available.width() << "x"
      << available.height();
}

// The named controls inside `area` that are shown.
QList<QWidget*> ShownControls(const FittingScrollArea* area) {
  QList<QWidget*> controls;
  for (QWidget* w : area->widget()->findChildren<QWidget*>()) {
    if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_") &&
        w->isVisibleTo(area->window()) && !qobject_cast<QGroupBox*>(w)) {
      controls.append(w);
    }
  }
  return controls;
}

// Every control inside `area` can be scrolled wholly into view.
void ExpectEachScrollsIntoView(FittingScrollArea* area) {
  const QList<QWidget*> controls = ShownControls(area);
  EXPECT_GE(controls.size(), 10);
  // The scroll bar moves the least that shows a control from `start` to `end` in `extent`.
  const auto reveal = [](QScrollBar* bar, int start, int end, int extent) {
    if (end - bar->value() > extent) bar->setValue(end - extent);
    if (start < bar->value()) bar->setValue(start);
  };
  for (QWidget* control : controls) {
    const QRect at(control->mapTo(area->widget(), QPoint(0, 0)), control->size());
    reveal(area->horizontalScrollBar(), at.left(), at.right() + 1, area->viewport()->width());
    reveal(area->verticalScrollBar(), at.top(), at.bottom() + 1, area->viewport()->height());
    const QRect shown(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
    EXPECT_TRUE(area->viewport()->rect().contains(shown))
        << control->objectName().toStdString() << " cannot be scrolled into view";
  }
}

// The Monitor window, then the Settings window over it (the program starts in the expert view),
// each settled and the Settings window checked to be on the screen.
Form3* ShowSettingsInTheExpertView(Started& program) {
  ShowAndSettle(program->monitor.get());
  Form3* settings = program->settings.get();
  ShowAndSettle(settings);
  ExpectOnScreen(settings);
  return settings;
}

// Whether `control` lies wholly within its window.
bool InsideWindow(const QWidget* control) {
  return control->window()->rect().contains(
      QRect(control->mapTo(control->window(), QPoint(0, 0)), control->size()));
}

TEST(ScreenFit, SettingsWindowInTheExpertViewOnALaptopScreen) {
  InFreshProgram({1366, 768, "1"}, [] {
    Started program(0x90);
    Form3* settings = ShowSettingsInTheExpertView(program);
    ASSERT_TRUE(settings->findChild<QWidget*>("gbSpezial")->isVisible()) << "the expert view";

    // The editor columns tighten to fit across: every control in view without scrolling across.
    auto* area = settings->findChild<FittingScrollArea*>("editorArea");
    ASSERT_NE(area, nullptr);
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    EXPECT_EQ(area->widget()->width(), area->viewport()->width());
    for (const char* name : {"edStartDelay", "udStartDelay", "edKugelhahnLaufzeit", "cbClr",
                             "edPumpeH", "bbWriteH", "cbFehlerspeicher", "bbClrError"}) {
      const QWidget* control = settings->findChild<QWidget*>(name);
      ASSERT_TRUE(control->isVisible()) << name;
      EXPECT_TRUE(area->viewport()->rect().contains(
          QRect(control->mapTo(area->viewport(), QPoint(0, 0)), control->size())))
          << name << " is cut at the edge";
    }
    ExpectEachScrollsIntoView(area);
    // The commands, the log and the view choice stay in view beside the editors.
    for (const char* name : {"bbLoad", "bSave", "bbReadBC", "bbReadTimer", "bbUpdate", "pbAktiv",
                             "cbBackup", "Memo3", "rbNormal", "rbExperte", "bbOK", "bbAbbruch"}) {
      EXPECT_TRUE(InsideWindow(settings->findChild<QWidget*>(name))) << name;
    }
  });
}

TEST(ScreenFit, MonitorWindowAtScaleOneAndAHalfAndTwo) {
  // The screen holds 1067 x 667 and 800 x 500 of the window's pixels: at scale 2 less than the
  // form's 566 in height, so the form scrolls down, and only down.
  for (const char* scale : {"1.5", "2"}) {
    InFreshProgram({1600, 1000, scale}, [scale] {
      Started program;
      Form1* monitor = program->monitor.get();
      ShowAndSettle(monitor);
      ExpectOnScreen(monitor);
      auto* area = monitor->findChild<FittingScrollArea*>();
      ASSERT_NE(area, nullptr);
      EXPECT_EQ(area->verticalScrollBar()->isVisible(), std::string(scale) == "2");
      EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
      ExpectEachScrollsIntoView(area);
      // The other windows keep within the screen too.
      ShowAndSettle(program->tankTable.get());
      ExpectOnScreen(program->tankTable.get());
    });
  }
}

TEST(ScreenFit, SettingsWindowInTheExpertViewAtScaleTwo) {
  // 800 x 500 of the window's pixels: too low even for the command column.
  InFreshProgram({1600, 1000, "2"}, [] {
    Started program;
    Form3* settings = ShowSettingsInTheExpertView(program);
    ASSERT_TRUE(settings->findChild<QWidget*>("gbSpezial")->isVisible()) << "the expert view";
    for (const char* name : {"editorArea", "commandArea"}) {
      auto* area = settings->findChild<FittingScrollArea*>(name);
      ASSERT_NE(area, nullptr) << name;
      ExpectEachScrollsIntoView(area);
    }
    auto* commands = settings->findChild<FittingScrollArea*>("commandArea");
    EXPECT_FALSE(commands->horizontalScrollBar()->isVisible()) << "the commands keep their width";
  });
}

TEST(ScreenFit, WindowsKeepTheirSizeWhereTheScreenHasRoom) {
  InFreshProgram({1920, 1080, "1"}, [] {
    Started program;
    Form1* monitor = program->monitor.get();
    ShowAndSettle(monitor);
    EXPECT_EQ(monitor->size(), QSize(603, 566)) << "the form's size, at 96 dpi";
    Form3* settings = program->settings.get();
    ShowAndSettle(settings);
    ASSERT_TRUE(settings->findChild<QWidget*>("gbSpezial")->isVisible()) << "the expert view";
    QList<FittingScrollArea*> areas = monitor->findChildren<FittingScrollArea*>();
    areas += settings->findChildren<FittingScrollArea*>();
    EXPECT_EQ(areas.size(), 3);
    for (const FittingScrollArea* area : areas) {
      EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
      EXPECT_FALSE(area->verticalScrollBar()->isVisible());
      EXPECT_EQ(area->viewport()->size(), area->widget()->size()) << "the whole contents in view";
    }
    ExpectOnScreen(monitor);
    ExpectOnScreen(settings);
  });
}

}  // namespace
}  // namespace velta::test
