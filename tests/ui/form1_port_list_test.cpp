// The Monitor window's COM drop-down and "Port(s)" log as the port set changes between runs: the
// entry shown is the port that opens, the pin entries say why they are unavailable, and the log
// keeps its newest line in view.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <set>

#include <gtest/gtest.h>

#include "link/port_search.h"
#include "tests/support/poll_ticks.h"
#include "tests/support/program_windows.h"
#include "tests/support/sim_process.h"
#include "tests/support/window_test.h"

namespace {

// COM numbers that the tests put on /dev/null; none is in the fixed mapping's use here.
constexpr std::int32_t kPorts[] = {201, 202, 203};

class Form1PortListTest : public velta::test::ProgramTest {
 protected:
  ~Form1PortListTest() override {
    DestroyProgramWindows();
    Present({});
  }
  // Only `present` of the test's COM numbers are there now.
  static void Present(const std::set<std::int32_t>& present) {
    for (const std::int32_t port : kPorts) {
      velta::SetComPortOverride(static_cast<std::uint32_t>(port),
                                present.count(port) != 0 ? "/dev/null" : "");
    }
  }
  // Where the port search will list `port`.
  static int ListPosition(std::int32_t port) {
    std::int32_t numbers[50];
    const std::int32_t count = velta::FindComPorts(50, numbers);
    for (int i = 0; i < count; ++i) {
      if (numbers[i] == port) return i;
    }
    return -1;
  }
  void StartWithStored(std::int32_t port, int index) {
    velta::OpenSettingsStore()->setValue("ComPort", port);
    velta::OpenSettingsStore()->setValue("ComPortIndex", index);
    CreateProgramWindows();
    form1->show();
  }
  QComboBox* List() { return velta::test::FindControl<QComboBox>(form1, "cbCom"); }
  QPlainTextEdit* Log() { return velta::test::FindControl<QPlainTextEdit>(form1, "Memo1"); }
  // The entries of the port list's context menu: text, and whether it can be chosen.
  QStringList MenuEntries() {
    QStringList entries;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (const QAction* action : menu->actions()) {
        entries << action->text() + (action->isEnabled() ? "" : " [greyed]");
      }
      menu->close();
    });
    form1->cbComContextPopup(QPoint(2, 2));
    return entries;
  }
};

TEST_F(Form1PortListTest, TheListShowsThePortThatOpensAfterThePortSetChanges) {
  // Last run: COM202 chosen, at the place where COM203 is listed now.
  const struct {
    std::set<std::int32_t> presentNow;
    QString shown;
  } rows[] = {
      {{202, 203}, "202"},
      {{203}, "202 (absent)"},
      {{201, 203}, "202 (absent)"},
  };
  for (const auto& row : rows) {
    Present(row.presentNow);
    StartWithStored(202, ListPosition(203));
    EXPECT_EQ(List()->currentText(), row.shown);
    EXPECT_EQ(form1->Connection().comPort, 202);
    // What "Status inquiry" opens is what the list shows.
    velta::test::FindControl<QCheckBox>(form1, "cbStartSend")->click();
    EXPECT_TRUE(velta::test::WaitForLogLine(Log(), "Error -1 with open to the interface! COM202"))
        << velta::test::MemoLines(Log()).join('|').toStdString();
    // A search finds what is there and takes its first port, which is then what opens.
    velta::test::FindControl<QCheckBox>(form1, "cbStartSend")->click();
    velta::test::FindControl<QAbstractButton>(form1, "bbSearchPort")->click();
    EXPECT_EQ(List()->currentData().toInt(), form1->Connection().comPort);
    EXPECT_EQ(List()->findText("202 (absent)"), -1);
    DestroyProgramWindows();
  }
}

TEST_F(Form1PortListTest, PinEntriesSayWhyTheyAreUnavailable) {
  const struct {
    std::int32_t port;
    QString entry;
  } rows[] = {
      {203, "Pin COM203 to this adapter (unavailable: /dev/null is not a USB adapter; its number "
            "does not change) [greyed]"},
      {202, "Pin COM202 to this adapter (unavailable: " +
                QString::fromStdString(velta::ComDevicePath(202)) + " is not present now) [greyed]"},
  };
  Present({203});
  for (const auto& row : rows) {
    StartWithStored(row.port, 0);
    EXPECT_EQ(MenuEntries(), QStringList{row.entry});
    DestroyProgramWindows();
  }
}

TEST_F(Form1PortListTest, ThePortsLogShowsItsNewestLine) {
  // TCP mode greys the log; the lines come at start-up (Polling resumes) and later.
  velta::test::SimProcess sim;
  velta::OpenSettingsStore()->setValue("UseTCP", 1);
  velta::OpenSettingsStore()->setValue("TCPHost", "127.1");
  velta::OpenSettingsStore()->setValue("TCPPort", sim.TcpPort());
  velta::OpenSettingsStore()->setValue("StartSend", 1);
  for (int i = 0; i < 12; ++i) velta::SetComPortOverride(210 + i, "/dev/null");
  CreateProgramWindows();
  form1->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form1));
  for (int i = 0; i < 12; ++i) velta::SetComPortOverride(210 + i, "");
  QApplication::processEvents();
  const QStringList lines = velta::test::MemoLines(Log());
  ASSERT_TRUE(lines.back().endsWith("stands for")) << lines.join('|').toStdString();
  ASSERT_GT(Log()->verticalScrollBar()->maximum(), 0) << "the log holds more lines than it shows";
  // The window is fitted to the screen after the lines came: the view gets shorter.
  for (const int height : {129, 60}) {
    Log()->resize(Log()->width(), height);
    QApplication::processEvents();
    QTextCursor end(Log()->document());
    end.movePosition(QTextCursor::End);
    const QRect newest = Log()->cursorRect(end);
    EXPECT_GE(newest.top(), 0) << height;
    EXPECT_LE(newest.bottom(), Log()->viewport()->rect().bottom())
        << "the newest line is out of view at height " << height;
  }
}

}  // namespace
