// The Monitor window when the controller goes away while Polling and comes back: one lost line,
// a dimmed display, no busy waiting, reopen attempts about once a second, one restored line and a
// poll that starts again at the Main page. Against the simulator over a pseudo-terminal reached
// through a link path, and over loopback TCP.
#include <gtest/gtest.h>
#include <time.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsOpacityEffect>
#include <QPlainTextEdit>
#include <QTest>
#include <functional>
#include <optional>

#include "link/port_search.h"
#include "tests/support/poll_ticks.h"
#include "tests/support/program_windows.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"
#include "tests/support/window_test.h"

namespace {

using velta::test::SimProcess;

std::int64_t CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

class Form1HealingTest : public velta::test::ProgramTest {
 protected:
  ~Form1HealingTest() override {
    if (form1 != nullptr) form1->close();
    DestroyProgramWindows();
  }

  template <typename T = QWidget>
  T* Control(const char* name) {
    return velta::test::FindControl<T>(form1, name);
  }
  QStringList Log() { return Control<QPlainTextEdit>("Memo1")->toPlainText().split('\n'); }
  int LinesStartingWith(const QString& start) {
    const QStringList log = Log();
    return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const QString& line) {
      return line.startsWith(start);
    }));
  }
  // Runs the event loop until `done` holds, at most `limitMs`.
  static bool WaitFor(const std::function<bool()>& done, int limitMs) {
    for (int waited = 0; waited < limitMs; waited += 20) {
      if (done()) return true;
      QTest::qWait(20);
    }
    return done();
  }
  bool Dimmed() {
    const auto* effect =
        qobject_cast<QGraphicsOpacityEffect*>(Control("gbVEL")->graphicsEffect());
    return effect != nullptr && effect->opacity() < 1.0;
  }
  void StartPolling() {
    Control<QCheckBox>("cbStartSend")->click();
    ASSERT_TRUE(velta::test::WaitForPolling(*form1)) << Log().join('|').toStdString();
  }

  // The simulator goes away while Polling: one lost line, the display dimmed, the error lists
  // untouched, and the waiting costs next to no processor time.
  void ExpectLostOnce(std::optional<SimProcess>& sim, const QString& lost) {
    Control<QPlainTextEdit>("MemoErrorStore")->setPlainText("kept");
    sim.reset();
    ASSERT_TRUE(WaitFor([&] { return LinesStartingWith(lost) == 1; }, 5000))
        << Log().join('|').toStdString();
    EXPECT_TRUE(Dimmed());
    const std::int64_t cpuBefore = CpuMs();
    QTest::qWait(2500);
    EXPECT_LT(CpuMs() - cpuBefore, 600) << "healing spins";
    EXPECT_EQ(LinesStartingWith(lost), 1) << "the loss is told once";
    EXPECT_EQ(LinesStartingWith("Connection to"), 1) << Log().join('|').toStdString();
    EXPECT_EQ(Control<QPlainTextEdit>("MemoErrorStore")->toPlainText(), "kept");
  }

  // Back again: one restored line, the display lit, and the first request is the Main page's.
  void ExpectRestored(SimProcess& sim, const QString& restored) {
    ASSERT_TRUE(WaitFor([&] { return LinesStartingWith(restored) == 1; }, 4000))
        << Log().join('|').toStdString();
    EXPECT_FALSE(Dimmed());
    ASSERT_TRUE(WaitFor([&] { return !sim.Frames().empty(); }, 2000));
    EXPECT_EQ(sim.Frames().front(), "60 00 01 61");
  }
};

TEST_F(Form1HealingTest, SerialLinkLostAndHealedOnTheSameLinkPath) {
  velta::test::ScratchDir dir;
  const std::string link = (dir / "velta-controller").string();
  std::optional<SimProcess> sim;
  sim.emplace(std::vector<std::string>{"--pty-link", link});
  velta::SetComPortOverride(200, link);
  CreateProgramWindows();
  form1->show();
  auto* com = Control<QComboBox>("cbCom");
  velta::test::PickItem(com, com->findText("200"));
  StartPolling();

  ExpectLostOnce(sim, "Connection to COM200 lost (");
  sim.emplace(std::vector<std::string>{"--pty-link", link});
  ExpectRestored(*sim, "Connection to COM200 restored");
  velta::SetComPortOverride(200, "");
}

TEST_F(Form1HealingTest, TcpPeerThatClosesIsHealedAndUntickingStopsTheAttempts) {
  std::optional<SimProcess> sim;
  sim.emplace();
  const std::string address = "127.0.0.1:" + std::to_string(sim->TcpPort());
  CreateProgramWindows();
  form1->show();
  ChooseTcp(sim->TcpPort());
  StartPolling();

  const QString name = QString::fromStdString("Connection to " + address);
  ExpectLostOnce(sim, name + " lost (closed by the other side)");
  sim.emplace(std::vector<std::string>{"--tcp", address});
  ExpectRestored(*sim, name + " restored");

  // Lost again, and Polling unticked while healing: no attempt reaches the controller that
  // comes back afterwards.
  sim.reset();
  ASSERT_TRUE(WaitFor([&] { return LinesStartingWith(name + " lost") == 2; }, 5000));
  Control<QCheckBox>("cbStartSend")->click();
  sim.emplace(std::vector<std::string>{"--tcp", address});
  QTest::qWait(2500);
  EXPECT_TRUE(sim->Frames().empty());
  EXPECT_EQ(LinesStartingWith(name + " restored"), 1);
}

}  // namespace
