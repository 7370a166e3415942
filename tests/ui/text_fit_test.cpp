// No text is cut off in any window, on a laptop and a desktop screen, at the desktop's font and at
// one a quarter larger: every shown label, read-out, button and list (each item, closed and in the
// open list) holds its text within its contents, filled first with the widest values it shows in
// use. Text that is elided carries its whole text in the tooltip. What does not fit is listed.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QStyleFactory>
#include <QStyleOption>
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

// The room a control gives its text, or -1 for one that shows no text of its own.
int Room(QWidget* w) {
  QStyle* style = w->style();
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    QStyleOptionFrame frame;
    frame.initFrom(edit);
    frame.lineWidth = edit->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    const QMargins margins = edit->textMargins();
    constexpr int kInnerMargins = 2 * 2;  // QLineEdit's own, beside its text
    return style->subElementRect(QStyle::SE_LineEditContents, &frame, edit).width() -
           margins.left() - margins.right() - kInnerMargins;
  }
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    QStyleOptionComboBox box;
    box.initFrom(combo);
    box.frame = combo->hasFrame();
    return style->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxEditField, combo)
               .width() - 2;
  }
  if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const auto element = qobject_cast<QCheckBox*>(w)      ? QStyle::SE_CheckBoxContents
                         : qobject_cast<QRadioButton*>(w) ? QStyle::SE_RadioButtonContents
                                                          : QStyle::SE_PushButtonContents;
    const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    return style->subElementRect(element, &option, button).width() - icon;
  }
  if (auto* label = qobject_cast<QLabel*>(w)) {
    if (label->text().isEmpty() || label->wordWrap()) return -1;
    return label->contentsRect().width() - 2 * std::max(label->margin(), 0) -
           std::max(label->indent(), 0);
  }
  return -1;
}

// Whether the list's tooltip shows its whole closed text.
bool WholeInToolTip(QComboBox& list) {
  const QPoint inside(list.width() / 2, list.height() / 2);
  QHelpEvent help(QEvent::ToolTip, inside, list.mapToGlobal(inside));
  QApplication::sendEvent(&list, &help);
  const bool whole = QToolTip::isVisible() && QToolTip::text().startsWith(list.currentText());
  QToolTip::hideText();
  return whole;
}

// "name: text (needs N, has M)" for every shown control whose text is wider than its room.
QStringList Misfits(QWidget& window) {
  QStringList misfits;
  const auto check = [&](QWidget* w, const QString& text, int room, bool wholeInToolTip = false) {
    const int needs = w->fontMetrics().horizontalAdvance(QString(text).remove('&'));
    const bool elidedWithTip = text.contains(QChar(0x2026)) && !w->toolTip().isEmpty();
    if (needs > room && !elidedWithTip && !wholeInToolTip)
      misfits << QString("%1: \"%2\" (needs %3, has %4)").arg(w->objectName(), text).arg(needs).arg(room);
  };
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!w->isVisible() || w->objectName().startsWith("qt_")) continue;
    if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap()) {
      // Wrapped texts break between words only and keep all their lines.
      if (label->heightForWidth(label->contentsRect().width()) > label->contentsRect().height())
        misfits << label->objectName() + ": \"" + label->text() + "\" wraps below its height";
      for (const QString& word : label->text().split(' ')) check(w, word, label->contentsRect().width());
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
      const int current = combo->currentIndex();
      for (int i = 0; i < combo->count(); ++i) {
        PickItem(combo, i);  // some lists change their width with the item chosen
        check(w, combo->itemText(i), Room(w), WholeInToolTip(*combo));
      }
      PickItem(combo, current);
      combo->showPopup();
      QAbstractItemView* list = combo->view();
      if (list->sizeHintForColumn(0) > list->viewport()->width())
        misfits << QString("%1: the open list is narrower than its items (needs %2, has %3)")
                       .arg(combo->objectName()).arg(list->sizeHintForColumn(0)).arg(list->viewport()->width());
      combo->hidePopup();
    } else if (const int room = Room(w); room >= 0) {
      const QString text = qobject_cast<QLineEdit*>(w) ? qobject_cast<QLineEdit*>(w)->text()
                           : qobject_cast<QAbstractButton*>(w) ? qobject_cast<QAbstractButton*>(w)->text()
                                                                : qobject_cast<QLabel*>(w)->text();
      check(w, text, room);
    }
  }
  return misfits;
}

// The widest text each Monitor read-out shows: every status page decoded from replies of low,
// middle and high bytes, the widest text kept per control. The side pages' texts are shown as the
// window shows them, fitted to their labels.
void FillMonitorReadOuts(QWidget& monitor) {
  QMap<QString, QString> widest;
  QSet<QString> fitted;
  const auto keep = [&](const char* name, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (monitor.fontMetrics().horizontalAdvance(shown) >
        monitor.fontMetrics().horizontalAdvance(widest.value(name)))
      widest[name] = shown;
  };
  // Single bytes up to 100 (the level, the pump, 10.0 bar), counters and times of a few digits.
  for (const std::uint8_t byte : {0x00, 0x09, 0x64}) {
    std::vector<std::uint8_t> reply(64, byte);
    PollCycle cycle;
    const MainPageView v = DecodeMainPage(reply, cycle);
    for (const auto& [name, text] :
         std::initializer_list<std::pair<const char*, std::string>>{
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
        if (page.fields[f].control == nullptr || !texts[f]) continue;
        keep(page.fields[f].control, *texts[f]);
        fitted.insert(page.fields[f].control);
      }
    }
  }
  for (const auto& [name, text] : widest.asKeyValueRange()) {
    auto* label = monitor.findChild<QLabel*>(name);
    if (label == nullptr) continue;  // the water meters' fields show their numbers whole
    fitted.contains(name) ? ShowFitted(*label, text) : label->setText(text);
  }
}

// The windows are sized and laid out again after what changed their contents.
void Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Every stepper of the Settings window at its lowest and its highest position.
QStringList MisfitsAtEveryEditorsLimits(QWidget& settings) {
  QStringList misfits;
  for (const int steps : {-100000, 100000}) {
    for (UpDown* stepper : settings.findChildren<UpDown*>()) stepper->stepBy(steps);
    Settle();  // fields that grew to their text are laid out anew
    misfits += Misfits(settings);
  }
  return misfits;
}

// The program started with the Admin flags that open the Settings window in the expert view.
struct Started {
  Started() {
    SetDesktop(&desktop);
    OpenSettingsStore()->setValue("Admin", 0x80);
    OpenSettingsStore()->setValue("ComPort", 99);  // a port that is absent now
    program = std::make_unique<Program>();
  }
  ~Started() {
    program.reset();
    SetDesktop(nullptr);
  }
  TempConfigDir config;
  TempDataDir data;
  TestDesktop desktop;
  std::unique_ptr<Program> program;
};

void ShowAndSettle(QWidget& window) {
  window.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  Settle();
}

// Every text of `window` fits, as `walk` fills and measures them. A picture of the window for a
// person to look at, taken before the walk: VELTA_FIT_PICTURES=<folder>.
void ExpectAllFit(QWidget& window, const char* where, QStringList (*walk)(QWidget&) = Misfits) {
  if (const QString folder = qEnvironmentVariable("VELTA_FIT_PICTURES"); !folder.isEmpty())
    window.grab().save(QString("%1/%2-%3-%4.png").arg(folder, where).arg(window.screen()->size().width()).arg(QApplication::font().pointSizeF()));
  const QStringList misfits = walk(window);
  EXPECT_TRUE(misfits.isEmpty()) << where << ":\n" << misfits.join('\n').toStdString();
}

struct Row {
  Screen screen;
  double fontScale;
  bool dark;
};

TEST(TextFit, EveryTextFitsInEveryWindow) {
  // Both screens at the desktop's font, at one a quarter larger and at a desktop scale of 1.25,
  // under the light and the dark palette (a dark theme's Fusion style).
  for (const Row& row : {Row{{1366, 768, "1"}, 1.0, false}, Row{{1366, 768, "1"}, 1.25, true},
                         Row{{1920, 1080, "1"}, 1.0, true}, Row{{1920, 1080, "1"}, 1.25, false},
                         Row{{1366, 768, "1.25"}, 1.0, false}, Row{{1920, 1080, "1.25"}, 1.0, true}}) {
    InFreshProgram(row.screen, [&row] {
      EnsureApplication();
      QFont font = QApplication::font();
      font.setPointSizeF(font.pointSizeF() * row.fontScale);
      QApplication::setFont(font);
      if (row.dark) {
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setPalette(QPalette(QColor(53, 53, 53)));
      }
      Started started;
      Program& program = *started.program;
      ShowAndSettle(*program.monitor);
      FillMonitorReadOuts(*program.monitor);
      ExpectAllFit(*program.monitor, "Monitor");
      ShowAndSettle(*program.settings);
      ExpectAllFit(*program.settings, "expert view", MisfitsAtEveryEditorsLimits);
      program.settings->findChild<QRadioButton*>("rbNormal")->click();
      Settle();
      ExpectAllFit(*program.settings, "Settings");
      ShowAndSettle(*program.tankTable);
      ExpectAllFit(*program.tankTable, "Tank table");
      program.settings->findChild<QPushButton*>("bbCompare")->click();
      auto* compare = program.settings->findChild<QDialog*>("CompareWindow");
      ASSERT_NE(compare, nullptr);
      ShowAndSettle(*compare);
      ExpectAllFit(*compare, "Compare");
    });
  }
}

}  // namespace
}  // namespace velta::test
