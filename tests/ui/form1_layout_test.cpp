// The Monitor window's form: every control the window's code and its status view rely on exists
// under its name, sits where the 120-dpi design puts it (scaled to 96 dpi) and reads in English.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>
#include <string>

#include "tests/support/window_test.h"
#include "ui/Unit1.h"
#include "ui/status_widgets.h"

namespace {

// A rectangle of the design (client pixels at 120 dpi) in the window's 96-dpi coordinates.
QRect Scaled(int left, int top, int width, int height) {
  const auto s = [](int v) { return static_cast<int>(v * 0.8 + 0.5); };
  return QRect(QPoint(s(left), s(top)), QPoint(s(left + width) - 1, s(top + height) - 1));
}

// The base prepares the application and a settings store before the window is built.
class Form1LayoutTest : public velta::test::WindowTest {
 protected:
  template <typename T = QWidget>
  T* Control(const char* name) {
    return velta::test::FindControl<T>(&window, name);
  }
  // Geometry in window coordinates, whatever the parent.
  QRect InWindow(QWidget* w) { return QRect(w->mapTo(&window, QPoint(0, 0)), w->size()); }

  Form1 window;
};

TEST_F(Form1LayoutTest, EveryControlExistsUnderItsNameAndKind) {
  for (const char* name : {"gbZist", "gbVEL", "gbInfo", "gbPumpe1", "gbPort", "gbVerbindung"}) {
    Control<QGroupBox>(name);
  }
  for (const char* name : {"Memo1", "MemoError", "MemoErrorStore"}) Control<QPlainTextEdit>(name);
  for (const char* name : {"edHost", "edPort", "edFile"}) Control<QLineEdit>(name);
  for (const char* name : {"rbSerial", "rbTcp"}) Control<QRadioButton>(name);
  for (const char* name : {"cbStartSend", "cbStore"}) Control<QCheckBox>(name);
  for (const char* name : {"bbSearchPort", "bLoadTCP", "bSaveTCP", "bbSetup", "bbClrError",
                           "bbWriteEnable", "imgStore"}) {
    Control<QAbstractButton>(name);
  }
  Control<QComboBox>("cbCom");
  Control<QProgressBar>("pbZist");
  Control<HistoryChart>("Chart1");
  for (const char* name : {"lblZist",
                           "lblZisterneRueckstau",
                           "edWasser1",
                           "edWasser2",
                           "lblWasserZ",
                           "lblLedBlue",
                           "lblSensorMin",
                           "lblSensorMax",
                           "lblRueckStauSensor",
                           "lblModulSpuelung",
                           "lblFilterSpuelung",
                           "lblJP2",
                           "lblFluss",
                           "lblVentil",
                           "lblRelais1",
                           "lblRelais2",
                           "lblHand",
                           "lblBeep",
                           "lblWriteEnable",
                           "lblUrlaub",
                           "lblTemp",
                           "lblPumpe",
                           "lblDruck",
                           "lblPumpeLaufzeitMittelwert",
                           "lblStarts",
                           "lblPumpeh",
                           "lblLeck",
                           "imgTastOn",
                           "imgTastOff",
                           "Image1"}) {
    Control<QLabel>(name);
  }
  int segments = 0;
  for (const char* digit : {"1", "2", "3"}) {
    for (const char* part : {"a", "b", "c", "d", "e", "f", "g", "dp"}) {
      segments += Control<SegmentImage>((std::string("img") + digit + part).c_str()) != nullptr;
    }
  }
  EXPECT_EQ(segments, 24);
  for (const char* led : {"ge", "gn", "rt", "bl"}) {
    Control<LedImage>((std::string("img") + led + "ON").c_str());
    Control<LedImage>((std::string("img") + led + "OFF").c_str());
  }
}

TEST_F(Form1LayoutTest, AreasSitAtTheScaledDesignRectangles) {
  EXPECT_EQ(window.minimumSize(), QSize(603, 566));
  EXPECT_EQ(window.maximumSize(), QSize(603, 566));
  struct Row {
    const char* name;
    QRect design;
  };
  for (const Row& row :
       {Row{"gbZist", Scaled(8, 8, 217, 305)}, Row{"gbVEL", Scaled(232, 8, 313, 305)},
        Row{"gbInfo", Scaled(552, 8, 193, 305)}, Row{"Chart1", Scaled(8, 320, 345, 121)},
        Row{"gbPumpe1", Scaled(360, 320, 113, 121)}, Row{"gbPort", Scaled(488, 320, 257, 297)},
        Row{"gbVerbindung", Scaled(488, 472, 257, 145)},
        Row{"bbSearchPort", Scaled(584, 486, 65, 24)}, Row{"cbCom", Scaled(664, 486, 73, 24)},
        Row{"MemoError", Scaled(8, 448, 465, 105)}, Row{"edFile", Scaled(8, 560, 353, 24)},
        Row{"MemoErrorStore", Scaled(8, 592, 465, 93)},
        Row{"cbStartSend", Scaled(536, 626, 161, 25)}, Row{"bbSetup", Scaled(488, 656, 257, 41)}}) {
    QWidget* w = Control(row.name);
    if (w != nullptr) { EXPECT_EQ(InWindow(w), row.design) << row.name; }
  }
}

TEST_F(Form1LayoutTest, ControlsStayInsideTheirGroupAndTheWindow) {
  // As laid out on the screen: the scroll area that holds the form sizes its viewport when shown.
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  int checked = 0;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    // Only the form's own controls; the parts Qt builds inside them have no name or a qt_ one.
    const QString name = w->objectName();
    if (name.isEmpty() || name.startsWith("qt_") || w->parentWidget() == nullptr) continue;
    ++checked;
    EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()))
        << name.toStdString() << " leaves " << w->parentWidget()->objectName().toStdString();
  }
  EXPECT_GT(checked, 80);
}

TEST_F(Form1LayoutTest, TextsAreShownInEnglish) {
  struct Row {
    const char* name;
    const char* english;
  };
  for (const Row& row : {Row{"cbStartSend", "Status inquiry"}, Row{"bbSetup", "&Settings "},
                         Row{"bLoadTCP", "load"}, Row{"bSaveTCP", "store"}}) {
    auto* button = Control<QAbstractButton>(row.name);
    if (button != nullptr) { EXPECT_EQ(button->text().toStdString(), row.english) << row.name; }
  }
  auto* zist = Control<QGroupBox>("gbZist");
  if (zist != nullptr) { EXPECT_EQ(zist->title().toStdString(), "Cistern"); }
  auto* file = Control<QLineEdit>("edFile");
  if (file != nullptr) { EXPECT_EQ(file->text().toStdString(), "c:\\error.txt"); }
  auto* search = Control("bbSearchPort");
  if (search != nullptr) { EXPECT_EQ(search->toolTip().toStdString(), "Search Ports\u2026"); }
  EXPECT_EQ(window.windowTitle().toStdString(), "VEL Control V1.60.0");
  // A picture of the window for a person to look at: VELTA_FORM1_SCREENSHOT=<file.png>.
  if (const char* path = std::getenv("VELTA_FORM1_SCREENSHOT")) {
    window.show();
    window.grab().save(path);
  }
}

}  // namespace
