// The Monitor window's form: the controls its status view finds by name exist, the window keeps
// its size, every control lies inside its group and the texts read in English.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <cstdlib>
#include <string>

#include "tests/support/window_test.h"
#include "ui/Unit1.h"
#include "ui/status_widgets.h"

namespace {

// The base prepares the application and a settings store before the window is built.
class Form1LayoutTest : public velta::test::WindowTest {
 protected:
  template <typename T = QWidget>
  T* Control(const char* name) {
    return velta::test::FindControl<T>(&window, name);
  }

  Form1 window;
};

// The status view finds the display's segments by name at run time, not through the form's
// generated members.
TEST_F(Form1LayoutTest, EverySegmentOfTheDisplayExistsUnderItsName) {
  int segments = 0;
  for (const char* digit : {"1", "2", "3"}) {
    for (const char* part : {"a", "b", "c", "d", "e", "f", "g", "dp"}) {
      segments += Control<SegmentImage>((std::string("img") + digit + part).c_str()) != nullptr;
    }
  }
  EXPECT_EQ(segments, 24);
}

TEST_F(Form1LayoutTest, WindowKeepsItsFixedSize) {
  EXPECT_EQ(window.minimumSize(), QSize(603, 566));
  EXPECT_EQ(window.maximumSize(), QSize(603, 566));
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
