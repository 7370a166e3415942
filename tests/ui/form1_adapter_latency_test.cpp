// The Monitor window and a USB adapter's latency timer: the port list's tooltip shows it, and
// starting "Status inquiry" adds the hint naming the udev rule only when the timer stays long.
// The simulator's pseudo-terminal stands in for the adapter, with a sysfs tree laid out here.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <filesystem>

#include "link/adapter_latency.h"
#include "link/port_search.h"
#include "tests/support/files.h"
#include "tests/support/poll_ticks.h"
#include "tests/support/program_windows.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sim_process.h"
#include "tests/support/window_test.h"

namespace {

constexpr int kPort = 203;

struct HintCase {
  const char* timer;
  bool hint;
};

class Form1AdapterLatencyTest : public velta::test::ProgramTest {
 protected:
  ~Form1AdapterLatencyTest() override {
    DestroyProgramWindows();
    velta::SetSysfsRoot("");
    velta::SetComPortOverride(kPort, "");
  }
};

TEST_F(Form1AdapterLatencyTest, PollingStartNamesTheRuleOnlyWhenTheTimerStaysLong) {
  velta::test::SimProcess sim({"--pty"});
  velta::SetComPortOverride(kPort, sim.PtyPath());
  const velta::test::ScratchDir sysfs;
  velta::SetSysfsRoot(sysfs.Path().string());
  const std::filesystem::path entry = sysfs / "bus/usb-serial/devices" /
                                      std::filesystem::path(sim.PtyPath()).filename();
  std::filesystem::create_directories(entry);

  // The rows around the limit are the link test's; here one on either side.
  for (const HintCase row : {HintCase{"16", true}, HintCase{"2", false}}) {
    SCOPED_TRACE(row.timer);
    velta::test::WriteFile((entry / "latency_timer").string(), std::string(row.timer) + "\n");
    CreateProgramWindows();
    form1->show();
    auto* com = velta::test::FindControl<QComboBox>(form1, "cbCom");
    const int item = com->findText(QString::number(kPort));
    ASSERT_GE(item, 0);
    EXPECT_TRUE(com->itemData(item, Qt::ToolTipRole)
                    .toString()
                    .endsWith(QString("\nLatency timer: %1 ms").arg(row.timer)));
    velta::test::PickItem(com, item);

    auto* startSend = velta::test::FindControl<QCheckBox>(form1, "cbStartSend");
    startSend->click();
    ASSERT_TRUE(velta::test::WaitForPolling(*form1));
    const QStringList log =
        velta::test::FindControl<QPlainTextEdit>(form1, "Memo1")->toPlainText().split('\n');
    const qsizetype opened = log.indexOf(QString("Interface COM%1 open").arg(kPort));
    ASSERT_GE(opened, 0) << log.join('|').toStdString();
    const QString next = opened + 1 < log.size() ? log[opened + 1] : QString();
    EXPECT_EQ(next.contains("70-velta-control.rules"), row.hint) << next.toStdString();
    EXPECT_EQ(log.filter("latency timer").size(), row.hint ? 1 : 0);
    startSend->click();
    DestroyProgramWindows();
  }
}

}  // namespace
