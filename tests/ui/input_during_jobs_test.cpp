// What a person clicks or types while a window's job runs: it is dropped in every window, so no
// greyed button runs afterwards, the Settings window does not close under its job, and the
// Monitor window starts nothing during another window's job. The jobs run against the simulator
// paced like a slow line, long enough for input to arrive in their middle; the input is queued
// through the window system as a person's is.
#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controller/tank_transfer.h"
#include "tests/support/program_windows.h"
#include "tests/support/sim_process.h"
#include "tests/support/window_system_input.h"
#include "tests/support/window_test.h"

namespace {

using velta::test::QueueClick;
using velta::test::SimProcess;

class InputDuringJobsTest : public velta::test::ProgramWindowTest {
 protected:
  template <typename T = QAbstractButton>
  T* Control(const QWidget* window, const char* name) {
    return velta::test::FindControl<T>(window, name);
  }
  static void Show(QWidget* window) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  }
  // `give` runs shortly after the job has started, while `busy` shows the job running.
  void WhileBusy(const QWidget* busy, std::function<void()> give) {
    QTimer::singleShot(150, [this, busy, give = std::move(give)] {
      givenWhileBusy = !busy->isEnabled();
      give();
    });
  }
  // What was queued has had every chance to run.
  static void Settle() { QTest::qWait(300); }
  QString File(const QString& name, const std::string& content) {
    const QString path = files.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary) << content;
    return path;
  }
  static bool AllWrites(const std::vector<std::string>& frames) {
    return std::all_of(frames.begin(), frames.end(),
                       [](const std::string& frame) { return frame.rfind("9", 0) == 0; });
  }

  QTemporaryDir files;
  bool givenWhileBusy = false;
};

TEST_F(InputDuringJobsTest, AClickOnAGreyedButtonDuringTheUpdateDoesNothingAfterwards) {
  SimProcess sim({"--baud", "9600"});
  ChooseTcp(sim.TcpPort());
  desktop.fileNames = {File("fw.enc", std::string(1000, '\x5A'))};
  Show(form3);
  WhileBusy(form3, [this] { QueueClick(Control(form3, "bbReadBC")); });
  Control(form3, "bbUpdate")->click();
  Settle();

  EXPECT_TRUE(givenWhileBusy) << "the click came after the update";
  EXPECT_EQ(sim.Frames(), std::vector<std::string>{"60 00 06 66"}) << "a read ran after the update";
  EXPECT_EQ(velta::test::MemoLines(Control<QPlainTextEdit>(form3, "Memo3")),
            QStringList{"Programming successfully!"});
}

TEST_F(InputDuringJobsTest, TheSettingsWindowStaysOpenUnderItsRestore) {
  const struct {
    const char* input;
    std::function<void(const QWidget*)> give;
  } rows[] = {
      {"click on the greyed Cancel",
       [this](const QWidget* settings) { QueueClick(Control(settings, "bbAbbruch")); }},
      {"Escape", [](const QWidget* settings) { velta::test::QueueKey(settings, Qt::Key_Escape); }},
      {"the window manager's close button",
       [](const QWidget* settings) { velta::test::QueueCloseRequest(settings); }},
  };
  SimProcess sim({"--write-enable", "--baud", "9600"});
  ChooseTcp(sim.TcpPort());
  Control(form3, "cbBackup")->setChecked(true);
  const QString backup = files.filePath("site.bak");
  desktop.fileNames = {backup, backup};
  Control(form3, "bSave")->click();
  Control(form3, "bbLoad")->click();
  for (const auto& row : rows) {
    Show(form3);
    sim.ClearFrames();
    givenWhileBusy = false;
    WhileBusy(form3, [&] { row.give(form3); });
    Control(form3, "bbSendBC")->click();
    Settle();
    EXPECT_TRUE(givenWhileBusy) << row.input << " came after the restore";
    EXPECT_TRUE(form3->isVisible()) << row.input << " closed the Settings window";
    EXPECT_EQ(velta::test::MemoLines(Control<QPlainTextEdit>(form3, "Memo3")).back(),
              QString("The transfer was successful!"))
        << row.input << " cut the restore short";
  }
}

TEST_F(InputDuringJobsTest, TheMonitorWindowStartsNothingDuringATankSend) {
  RestartProgramWithAdmin(0x08);  // the write-enable button shows
  SimProcess sim({"--write-enable", "--baud", "9600"});
  ChooseTcp(sim.TcpPort());
  std::string table = "T\n";
  for (int i = 0; i <= 100; ++i) table += std::to_string(i) + ";" + std::to_string(i) + "\n";
  desktop.fileNames = {File("t.csv", table)};
  Control(form2, "bbLoad")->click();
  Show(form1);
  Show(form2);
  auto* log = Control<QPlainTextEdit>(form1, "Memo1");
  const QString before = log->toPlainText();
  const char* const monitorControls[] = {"bbWriteEnable", "cbStartSend", "rbSerial", "bLoadTCP"};
  for (const char* control : monitorControls) ASSERT_TRUE(Control(form1, control)->isEnabled());
  sim.ClearFrames();
  desktop.dialogs.clear();
  desktop.answerYes = true;
  auto* port = Control<QLineEdit>(form1, "edPort");
  const QString portBefore = port->text();
  port->setFocus();
  WhileBusy(form2, [&] {
    for (const char* control : monitorControls) QueueClick(Control(form1, control));
    velta::test::QueueKey(form1, Qt::Key_Backspace);
  });
  Control(form2, "bbSend")->click();
  Settle();

  EXPECT_TRUE(givenWhileBusy) << "the clicks came after the send";
  const std::vector<std::string> frames = sim.Frames();
  EXPECT_EQ(frames.size(), static_cast<std::size_t>(velta::kTankEntries));
  EXPECT_TRUE(AllWrites(frames)) << "the Monitor window sent a request";
  EXPECT_EQ(log->toPlainText(), before) << "the Monitor window logged";
  EXPECT_EQ(port->text(), portBefore) << "a key reached the focused field";
  EXPECT_FALSE(Control(form1, "cbStartSend")->isChecked());
  EXPECT_TRUE(Control(form1, "rbTcp")->isChecked());
  EXPECT_TRUE(desktop.dialogs.isEmpty()) << "the Monitor window asked for a file";
}

}  // namespace
