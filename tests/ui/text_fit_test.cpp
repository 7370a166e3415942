// No text is cut off in any window, on a laptop and a desktop screen, at the desktop's font, at
// one a quarter larger and at a desktop scale of 1.25, under a light and a dark palette: every
// shown label, read-out, button and list (each item, closed and open) holds its text, the
// read-outs filled first with the widest values they show. A text that does not fit must be
// whole in the tooltip. What does not fit is listed by name.
#include <QAbstractItemView>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
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

bool ToolTipShows(QWidget& w, const QString& text) {
  QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), w.mapToGlobal(QPoint(1, 1)));
  QApplication::sendEvent(&w, &help);
  const bool shown = QToolTip::isVisible() && QToolTip::text().contains(text);
  QToolTip::hideText();
  return shown;
}

QStringList Misfits(QWidget& window) {
  QStringList misfits;
  const auto check = [&](QWidget& w, const QString& text, const QString& whole) {
    const int needs = w.fontMetrics().horizontalAdvance(QString(text).remove('&'));
    if (needs > TextRoom(w) && !ToolTipShows(w, whole))
      misfits << QString("%1 \"%2\" needs %3, has %4")
                     .arg(w.objectName(), text).arg(needs).arg(TextRoom(w));
  };
  for (QWidget* w : window.findChildren<QWidget*>()) {
    auto* label = qobject_cast<QLabel*>(w);
    auto* list = qobject_cast<QComboBox*>(w);
    const QString text = w->property("text").toString();
    if (!w->isVisible() || TextRoom(*w) < 0 || (label && text.isEmpty())) continue;
    if (label && label->wordWrap()) {  // whole words, on the lines its height holds
      if (label->heightForWidth(label->width()) > label->height()) misfits << text + " wraps";
      for (const QString& word : text.split(QRegularExpression("\\s"))) check(*w, word, word);
    } else if (list) {
      const int current = list->currentIndex();
      for (int item = 0; item < list->count(); ++item) {
        PickItem(list, item);  // the pressure sensor list takes the width of its kind
        check(*w, list->itemText(item), list->itemText(item));
      }
      PickItem(list, current);
      list->showPopup();
      if (list->view()->sizeHintForColumn(0) > list->view()->viewport()->width())
        misfits << list->objectName() + ": the open list is too narrow";
      list->hidePopup();
    } else {
      check(*w, text, text.contains(u'\u2026') ? w->toolTip() : text);
    }
  }
  return misfits;
}

// The Monitor's read-outs with the widest texts of pages of low, middle and high bytes (single
// bytes up to 100: the level, the pump, 10.0bar; counters and times of a few digits).
void FillMonitor(QWidget& monitor) {
  QMap<QString, QString> widest;
  QSet<QString> pageTexts;
  const auto keep = [&](const char* name, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    const QFontMetrics metrics = monitor.fontMetrics();
    if (metrics.horizontalAdvance(shown) > metrics.horizontalAdvance(widest[name]))
      widest[name] = shown;
  };
  for (const std::uint8_t byte : {0x00, 0x09, 0x64}) {
    const std::vector<std::uint8_t> reply(64, byte);
    PollCycle cycle;
    const MainPageView v = DecodeMainPage(reply, cycle);
    for (const auto& [name, text] : std::initializer_list<std::pair<const char*, std::string>>{
             {"lblSensorMin", v.sensorMin}, {"lblSensorMax", v.sensorMax},
             {"lblRueckStauSensor", v.overflowSensor}, {"lblJP2", v.levelMeasurement},
             {"lblFluss", v.flowSensor}, {"lblVentil", v.valve}, {"lblRelais1", v.relay1},
             {"lblRelais2", v.relay2}, {"lblHand", v.mode}, {"lblBeep", v.warningTone},
             {"lblZist", v.levelText.value_or("")}, {"lblPumpe", v.pump},
             {"lblDruck", v.pressure}, {"lblTemp", v.temperature},
             {"lblPumpeLaufzeitMittelwert", v.pumpAverage}})
      keep(name, text);
    for (const StatusPage& page : StatusPages()) {
      if (page.texts == nullptr || byte > 0x09) continue;
      const PageTexts texts = page.texts(reply, true, cycle);
      for (int f = 0; f < kMostPageFields; ++f) {
        if (!texts[f]) continue;
        keep(page.fields[f].control, *texts[f]);
        pageTexts.insert(page.fields[f].control);
      }
    }
  }
  for (const auto& [name, text] : widest.asKeyValueRange()) {
    auto* label = monitor.findChild<QLabel*>(name);  // the water meters' fields show numbers whole
    if (label) pageTexts.contains(name) ? ShowFitted(*label, text) : label->setText(text);
  }
}

void Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void ExpectAllFit(QWidget& window, const char* where) {
  window.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  Settle();
  const QStringList misfits = Misfits(window);
  EXPECT_TRUE(misfits.isEmpty()) << where << ":\n" << misfits.join('\n').toStdString();
}

struct Row {
  Screen screen;
  double fontScale;
  bool dark;
};

TEST(TextFit, EveryTextFitsInEveryWindow) {
  for (const Row& row :
       {Row{{1366, 768, "1"}, 1.0, false}, Row{{1366, 768, "1"}, 1.25, true},
        Row{{1920, 1080, "1"}, 1.0, true}, Row{{1920, 1080, "1"}, 1.25, false},
        Row{{1366, 768, "1.25"}, 1.0, false}, Row{{1920, 1080, "1.25"}, 1.0, true}}) {
    InFreshProgram(row.screen, [&row] {
      EnsureApplication();
      QFont font = QApplication::font();
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
      ExpectAllFit(*program.monitor, "Monitor, empty");
      FillMonitor(*program.monitor);
      ExpectAllFit(*program.monitor, "Monitor");
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
