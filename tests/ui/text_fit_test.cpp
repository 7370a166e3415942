// No text is cut off in any window, on a laptop and a desktop screen, at the desktop's font, one
// a quarter larger and a desktop scale of 1.25, light and dark: every shown label, read-out,
// button and list (each item, closed and open) holds its text, the read-outs filled with their
// widest values, or shows it whole in the tooltip. What does not fit is listed by name.
#include <QAbstractItemView>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTest>
#include <QToolTip>

#include "monitor/app_settings.h"
#include "monitor/main_page.h"
#include "monitor/status_pages.h"
#include "tests/support/fresh_program.h"
#include "tests/support/window_test.h"
#include "ui/program.h"
#include "ui/text_fit.h"
#include "ui/value_editor.h"

namespace velta::test {
namespace {

// Whether hovering over `w` shows `text` in the tooltip.
bool ToolTipShows(QWidget& w, const QString& text) {
  QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), w.mapToGlobal(QPoint(1, 1)));
  QApplication::sendEvent(&w, &help);
  const bool shown = QToolTip::isVisible() && QToolTip::text().contains(text);
  QToolTip::hideText();
  return shown;
}

// What the window's own check finds cut, and each list's items as the user picks them (a list may
// change its width with its item): each fits, or shows whole in the tooltip, and in the open list.
QStringList Misfits(QWidget& window) {
  QStringList misfits = CutTexts(window);
  for (QComboBox* list : window.findChildren<QComboBox*>()) {
    if (!list->isVisible()) continue;
    const int current = list->currentIndex();
    for (int item = 0; item < list->count(); ++item) {
      PickItem(list, item);
      const QString text = list->itemText(item);
      const bool fits = list->fontMetrics().horizontalAdvance(text) <= TextRoom(*list);
      if (!fits && !ToolTipShows(*list, text))
        misfits << list->objectName() + " \"" + text + "\"";
    }
    PickItem(list, current);
    list->showPopup();
    if (list->view()->sizeHintForColumn(0) > list->view()->viewport()->width())
      misfits << list->objectName() + ": the open list is too narrow";
    list->hidePopup();
  }
  return misfits;
}

// The Monitor's read-outs as a page of `byte`s shows them: single bytes up to 100 (level, pump,
// 10.0bar), counters and times of a few digits.
void FillMonitor(QWidget& monitor, std::uint8_t byte) {
  const std::vector<std::uint8_t> reply(64, byte);
  PollCycle cycle;
  const MainPageView v = DecodeMainPage(reply, cycle);
  for (const auto& [name, text] : std::initializer_list<std::pair<const char*, std::string>>{
           {"lblRueckStauSensor", v.overflowSensor}, {"lblJP2", v.levelMeasurement},
           {"lblZist", v.levelText.value_or("")}, {"lblPumpe", v.pump}, {"lblDruck", v.pressure},
           {"lblTemp", v.temperature}, {"lblPumpeLaufzeitMittelwert", v.pumpAverage}})
    monitor.findChild<QLabel*>(name)->setText(QString::fromStdString(text));
  for (const StatusPage& page : StatusPages()) {
    const bool realistic = byte <= 0x09;  // four-byte counts of 0x64646464 are not
    const PageTexts texts = page.texts && realistic ? page.texts(reply, true, cycle) : PageTexts{};
    for (int f = 0; f < kMostPageFields; ++f) {
      auto* label = monitor.findChild<QLabel*>(page.fields[f].control);  // not the meters' fields
      if (texts[f] && label) ShowFitted(*label, QString::fromStdString(*texts[f]));
    }
  }
}

void ExpectAllFit(QWidget& window, const char* where) {
  window.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  for (int i = 0; i < 3; ++i) QApplication::processEvents();  // laid out anew
  const QStringList misfits = Misfits(window);
  EXPECT_TRUE(misfits.isEmpty()) << where << ":\n" << misfits.join('\n').toStdString();
}

TEST(TextFit, EveryTextFitsInEveryWindow) {
  struct Row {
    Screen screen;
    double fontScale;
    bool dark;
  };
  for (const Row& row : {Row{{1366, 768, "1"}, 1, false}, Row{{1366, 768, "1"}, 1.25, true},
                         Row{{1920, 1080, "1"}, 1, true}, Row{{1920, 1080, "1"}, 1.25, false},
                         Row{{1366, 768, "1.25"}, 1, false}, Row{{1920, 1080, "1.25"}, 1, true}}) {
    InFreshProgram(row.screen, [&row] {
      QFont font = EnsureApplication().font();
      font.setPointSizeF(font.pointSizeF() * row.fontScale);
      QApplication::setFont(font);
      if (row.dark) QApplication::setStyle(QStyleFactory::create("Fusion"));
      if (row.dark) QApplication::setPalette(QPalette(QColor(53, 53, 53)));
      TempConfigDir config;
      TempDataDir data;
      TestDesktop desktop;
      SetDesktop(&desktop);
      OpenSettingsStore()->setValue("Admin", 0x80);  // the expert view
      OpenSettingsStore()->setValue("ComPort", 99);  // a port that is absent now
      Program program;
      for (const std::uint8_t byte : {0x00, 0x09, 0x64}) {
        FillMonitor(*program.monitor, byte);
        ExpectAllFit(*program.monitor, "Monitor");
      }
      for (const int steps : {0, -100000, 100000}) {  // every editor at its limits
        for (UpDown* stepper : program.settings->findChildren<UpDown*>()) stepper->stepBy(steps);
        ExpectAllFit(*program.settings, "expert view");
      }
      program.settings->findChild<QRadioButton*>("rbNormal")->click();
      ExpectAllFit(*program.settings, "Settings");
      ExpectAllFit(*program.tankTable, "Tank table");
      program.settings->findChild<QPushButton*>("bbCompare")->click();
      ExpectAllFit(*program.settings->findChild<QDialog*>("CompareWindow"), "Compare");
      SetDesktop(nullptr);
    });
  }
}

}  // namespace
}  // namespace velta::test
