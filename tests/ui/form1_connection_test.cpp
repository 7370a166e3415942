// The Monitor window's start-up, settings and connection management, driven through its controls
// against the controller simulator over loopback TCP and a pseudo-terminal.
#include <gtest/gtest.h>
#include <grp.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "link/port_search.h"
#include "monitor/app_settings.h"
#include "tests/support/files.h"
#include "tests/support/loopback.h"
#include "tests/support/poll_ticks.h"
#include "tests/support/program_windows.h"
#include "tests/support/sim_process.h"
#include "tests/support/unprivileged.h"
#include "tests/support/window_test.h"

namespace {

// The twelve controls locked while Polling.
const char* const kLockedControls[] = {"bbSearchPort", "bbSetup",  "bbWriteEnable", "edHost",
                                       "edPort",       "rbSerial", "rbTcp",         "bbClrError",
                                       "edFile",       "cbStore",  "bSaveTCP",      "bLoadTCP"};

class Form1ConnectionTest : public velta::test::ProgramTest {
 protected:
  ~Form1ConnectionTest() override {
    EndProgram(false);
    if (extraPorts_) {
      velta::SetComPortOverride(201, "");
      velta::SetComPortOverride(202, "");
    }
  }

  // The windows as the program creates them, and the Monitor window shown.
  void StartProgram() {
    CreateProgramWindows();
    form1->show();
  }
  // Closing the Monitor window is what ends the program (settings written, Channel closed).
  void EndProgram(bool closeFirst = true) {
    if (form1 == nullptr) return;
    if (closeFirst) form1->close();
    DestroyProgramWindows();
  }
  void Seed(const char* key, const QVariant& value) {
    velta::OpenSettingsStore()->setValue(key, value);
  }
  // Starts the program with COM201 and COM202 (on /dev/null) in the port list too and picks the
  // last port of the list; the two ports go again when the test ends.
  int StartAndPickTheLastPort() {
    velta::SetComPortOverride(201, "/dev/null");
    velta::SetComPortOverride(202, "/dev/null");
    extraPorts_ = true;
    StartProgram();
    auto* com = Control<QComboBox>("cbCom");
    EXPECT_GE(com->count(), 2);
    const int last = com->count() - 1;
    velta::test::PickItem(com, last);
    return last;
  }

  template <typename T = QWidget>
  T* Control(const char* name) {
    return velta::test::FindControl<T>(form1, name);
  }
  QStringList Log() { return Control<QPlainTextEdit>("Memo1")->toPlainText().split('\n'); }
  bool Logged(const QString& line) { return Log().contains(line); }
  // The open runs on the poller's thread: its lines come when it has answered.
  bool LoggedSoon(const QString& line) {
    for (int waited = 0; waited < 5000 && !Logged(line); waited += 10) QTest::qWait(10);
    return Logged(line);
  }
  // Polling runs when the window shows a step of its poll within a second.
  bool Polling() {
    QSignalSpy shown(form1, &Form1::PollStepShown);
    return shown.wait(1000);
  }
  void ExpectLocked(bool locked) {
    for (const char* name : kLockedControls) EXPECT_EQ(Control(name)->isEnabled(), !locked) << name;
    EXPECT_TRUE(Control("cbCom")->isEnabled() || Control<QRadioButton>("rbTcp")->isChecked());
    EXPECT_TRUE(Control("cbStartSend")->isEnabled());
  }
  // Lets the poll timer run until the simulator has seen a status request.
  static bool SawStatusPoll(velta::test::SimProcess& sim) {
    for (int i = 0; i < 150; ++i) {
      const auto frames = sim.Frames();
      if (std::find(frames.begin(), frames.end(), "60 00 01 61") != frames.end()) return true;
      QTest::qWait(20);
    }
    return false;
  }

 private:
  bool extraPorts_ = false;
};

TEST_F(Form1ConnectionTest, FirstStartWithAnEmptyStoreShowsTheDefaults) {
  StartProgram();
  auto* com = Control<QComboBox>("cbCom");
  // The port search ran first and took its first port; without any port COM1 stays, and the
  // list shows it as absent.
  const bool none = com->currentText() == "1 (absent)";
  const int expectedPort = none ? 1 : com->itemText(0).toInt();
  EXPECT_EQ(form1->Connection().comPort, expectedPort);
  EXPECT_EQ(com->currentIndex(), 0);
  EXPECT_TRUE(Logged("------ search ports ------"));
  EXPECT_TRUE(Logged(QString("%1 Ports found:").arg(none ? 0 : com->count())));
  EXPECT_TRUE(Logged(QString(35, '-')));
  EXPECT_FALSE(form1->Connection().useTcp);
  EXPECT_TRUE(Control<QRadioButton>("rbSerial")->isChecked());
  EXPECT_FALSE(Control("edHost")->isEnabled());
  EXPECT_EQ(Control<QLineEdit>("edPort")->text(), "10001");
  EXPECT_EQ(Control<QLineEdit>("edHost")->text(), "");
  EXPECT_EQ(Control<QLineEdit>("edFile")->text(), "c:\\error.txt");
  EXPECT_FALSE(Control<QCheckBox>("cbStore")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>("cbStartSend")->isChecked());
  EXPECT_FALSE(Polling());
  EXPECT_FALSE(form1->View3D());
  EXPECT_EQ(form1->Admin(), 0);
  EXPECT_TRUE(Control("bbClrError")->isHidden());
  EXPECT_TRUE(Control("bbWriteEnable")->isHidden());
  // Showing the window again does not run the start-up steps again.
  form1->hide();
  form1->show();
  EXPECT_EQ(Log().count("------ search ports ------"), 1);

  EndProgram();
  const velta::AppSettings saved = velta::ReadAppSettings(*velta::OpenSettingsStore());
  EXPECT_EQ(saved.connection.tcpPort, 10001);
  EXPECT_EQ(saved.connection.comPort, expectedPort);
  EXPECT_FALSE(saved.startSend);
  EXPECT_EQ(saved.file, "c:\\error.txt");
  EXPECT_FALSE(velta::OpenSettingsStore()->contains("Admin"));
}

TEST_F(Form1ConnectionTest, StatusInquiryOverTcpPollsAndLocksTheConnectionControls) {
  velta::test::SimProcess sim;
  StartProgram();
  ChooseTcp(sim.TcpPort());
  const QString endpoint = QString("127.0.0.1:%1").arg(sim.TcpPort());

  Control<QCheckBox>("cbStartSend")->click();
  EXPECT_TRUE(LoggedSoon("connection to " + endpoint + " opened")) << Log().join('|').toStdString();
  EXPECT_TRUE(Polling());
  ExpectLocked(true);
  EXPECT_TRUE(SawStatusPoll(sim)) << "the poll timer asks the controller";

  QElapsedTimer stopping;
  stopping.start();
  Control<QCheckBox>("cbStartSend")->click();
  EXPECT_LT(stopping.elapsed(), 100) << "the close waits on the poller, not in the window";
  EXPECT_TRUE(Logged("connection to " + endpoint + " closed"));
  EXPECT_FALSE(Polling());
  ExpectLocked(false);
  EXPECT_EQ(desktop.beeps, 0);
  sim.ClearFrames();
  QTest::qWait(450);
  EXPECT_TRUE(sim.Frames().empty()) << "no request after Polling stopped";
}

TEST_F(Form1ConnectionTest, SerialPollingOverAPseudoTerminal) {
  velta::test::SimProcess sim({"--pty"});
  velta::SetComPortOverride(200, sim.PtyPath());
  StartProgram();
  auto* com = Control<QComboBox>("cbCom");
  const int entry = com->findText("200");
  ASSERT_GE(entry, 0) << "the port search lists the pseudo-terminal as COM200";
  // The tooltip names the device file; a pseudo-terminal has no maker or serial number.
  EXPECT_EQ(com->itemData(entry, Qt::ToolTipRole).toString().toStdString(), sim.PtyPath());
  velta::test::PickItem(com, entry);
  EXPECT_EQ(form1->Connection().comPort, 200);

  Control<QCheckBox>("cbStartSend")->click();
  EXPECT_TRUE(LoggedSoon("Interface COM200 open")) << Log().join('|').toStdString();
  EXPECT_TRUE(SawStatusPoll(sim));
  Control<QCheckBox>("cbStartSend")->click();
  EXPECT_TRUE(Logged("Interface COM200 closed"));
  EXPECT_FALSE(Polling());
  velta::SetComPortOverride(200, "");
}

TEST_F(Form1ConnectionTest, PortSearchRefillsTheListAndTakesTheFirstPort) {
  const int last = StartAndPickTheLastPort();
  auto* com = Control<QComboBox>("cbCom");
  EXPECT_EQ(form1->Connection().comPort, com->itemText(last).toInt());

  Control<QPushButton>("bbSearchPort")->click();
  EXPECT_EQ(com->currentIndex(), 0);
  EXPECT_EQ(form1->Connection().comPort, com->itemText(0).toInt());
  const QStringList log = Log();
  const int found = com->findText("202");
  ASSERT_GE(found, 0);
  EXPECT_TRUE(log.contains(QString("%1. port: COM202").arg(found + 1)))
      << log.join('|').toStdString();
}

TEST_F(Form1ConnectionTest, ClosingTheWindowWritesThePortListEntry) {
  const int last = StartAndPickTheLastPort();
  Seed("ComPortIndex", -1);
  form1->close();
  EXPECT_EQ(velta::OpenSettingsStore()->value("ComPortIndex").toInt(), last);
}

TEST_F(Form1ConnectionTest, AFailedOpenIsLoggedWithABeepAndLeavesTheBoxTicked) {
  struct Row {
    bool tcp;
    QString expected;
  };
  const std::uint16_t refused = velta::test::FreePort();
  for (const Row& row :
       {Row{true, QString("Error -1 when connecting with 127.0.0.1:%1").arg(refused)},
        Row{false, "Error -1 with open to the interface! COM250"}}) {
    Seed("ComPort", 250);  // a COM number without a device
    StartProgram();
    if (row.tcp) {
      ChooseTcp(refused);
    } else {
      Control<QRadioButton>("rbSerial")->click();
    }
    desktop.beeps = 0;
    Control<QCheckBox>("cbStartSend")->click();
    EXPECT_TRUE(LoggedSoon(row.expected)) << Log().join('|').toStdString();
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_TRUE(Control<QCheckBox>("cbStartSend")->isChecked());
    EXPECT_FALSE(Polling());
    ExpectLocked(false);
    // Unticking from the failed state goes back to idle without trouble.
    Control<QCheckBox>("cbStartSend")->click();
    EXPECT_FALSE(Polling());
    EndProgram();
  }
}

// Root opens any device: the program runs as an ordinary user in a child process, under an alarm.
TEST_F(Form1ConnectionTest, ASerialPortRefusedForLackOfPermissionNamesTheDevicesGroup) {
  const QString device = config.FilePath("ttyLocked");
  QFile(device).open(QIODevice::WriteOnly);
  QFile::setPermissions(device, QFileDevice::Permissions());
  // A group an ordinary user may join; a device of the group root gets a udev rule instead.
  ASSERT_EQ(::chown(device.toLocal8Bit().constData(), static_cast<uid_t>(-1), getgrnam("tty")->gr_gid), 0);
  velta::SetComPortOverride(203, device.toStdString());
  Seed("ComPort", 203);
  // The store's folders readable for that user.
  for (const QString& folder : {config.Path(), config.FilePath("Korvelt")}) {
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::ReadOther |
                                                  QFileDevice::ExeOther));
  }
  // The group is read from the device file, not assumed to be "dialout".
  const QString group = "\"" + QFileInfo(device).group() + "\"";
  EXPECT_EQ(velta::test::RunAsUnprivileged([&] {
              ::alarm(30);
              StartProgram();
              Control<QCheckBox>("cbStartSend")->click();
              LoggedSoon("Error -1 with open to the interface! COM203");
              QTest::qWait(50);  // the reason line follows in the same answer
              const QStringList log = Log();
              const int failed = !log.contains("Error -1 with open to the interface! COM203") +
                                 2 * (log.filter(group).size() != 1) + 4 * (desktop.beeps != 1);
              if (failed != 0) std::fprintf(stderr, "%s\n", qPrintable(log.join('|')));
              return failed;
            }),
            0);
  velta::SetComPortOverride(203, "");
}

TEST_F(Form1ConnectionTest, APortBeyondSixteenBitsIsRefusedInsteadOfCut) {
  struct Row {
    const char* typed;  // nullptr: the port comes from the store and Polling starts with the window
    int port;
  };
  for (const Row& row : {Row{"70000", 70000}, Row{nullptr, 123456}}) {
    if (row.typed == nullptr) {
      Seed("UseTCP", 1);
      Seed("TCPHost", "127.0.0.1");
      Seed("TCPPort", row.port);
      Seed("StartSend", 1);
    }
    desktop.beeps = 0;
    StartProgram();
    if (row.typed != nullptr) {
      ChooseTcp(0);
      Control<QLineEdit>("edPort")->setText(row.typed);
      Control<QCheckBox>("cbStartSend")->click();
    }
    const QStringList log = Log();
    const QString port = QString::number(row.port);
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const QString& line) {
      return line.contains(port) && line.contains("out of range");
    })) << log.join('|').toStdString();
    EXPECT_FALSE(std::any_of(log.begin(), log.end(),
                             [](const QString& line) { return line.startsWith("connection to"); }));
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_FALSE(Polling());
    EXPECT_TRUE(Control<QCheckBox>("cbStartSend")->isChecked());
    ExpectLocked(false);
    EndProgram();
  }
}

TEST_F(Form1ConnectionTest, SettingsSurviveARestartAndPollingResumesAfterThePortSearch) {
  velta::test::SimProcess sim;
  const QString errorFile = config.FilePath("errors.txt");
  StartProgram();
  ChooseTcp(sim.TcpPort());
  Control<QLineEdit>("edFile")->setText(errorFile);
  Control<QCheckBox>("cbStore")->click();
  form1->SetView3D(true);
  Control<QCheckBox>("cbStartSend")->click();
  ASSERT_TRUE(velta::test::WaitForPolling(*form1));
  EndProgram();

  sim.ClearFrames();
  StartProgram();
  ASSERT_TRUE(velta::test::WaitForPolling(*form1));
  const QStringList log = Log();
  const int search = log.indexOf("------ search ports ------");
  const int opened = log.indexOf(QString("connection to 127.0.0.1:%1 opened").arg(sim.TcpPort()));
  ASSERT_GE(search, 0);
  ASSERT_GT(opened, search) << log.join('|').toStdString();
  EXPECT_TRUE(Polling());
  EXPECT_TRUE(Control<QCheckBox>("cbStartSend")->isChecked());
  EXPECT_TRUE(Control<QRadioButton>("rbTcp")->isChecked());
  EXPECT_EQ(Control<QLineEdit>("edHost")->text(), "127.0.0.1");
  EXPECT_EQ(Control<QLineEdit>("edPort")->text(), QString::number(sim.TcpPort()));
  EXPECT_EQ(Control<QLineEdit>("edFile")->text(), errorFile);
  EXPECT_TRUE(Control<QCheckBox>("cbStore")->isChecked());
  EXPECT_TRUE(form1->View3D());
  ExpectLocked(true);
  EXPECT_TRUE(SawStatusPoll(sim));
}

TEST_F(Form1ConnectionTest, AdminFlagsShowTheServiceButtons) {
  struct Row {
    int stored;
    bool tcp;
    bool clearErrors, writeEnable, update;
  };
  for (const Row& row :
       {Row{0x10C, true, false, true, true}, Row{0x09, true, true, true, false},
        Row{0x00, false, false, false, true}, Row{0x101, false, true, false, true}}) {
    Seed("Admin", row.stored);
    Seed("UseTCP", row.tcp ? 1 : 0);
    StartProgram();
    EXPECT_EQ(!Control("bbClrError")->isHidden(), row.clearErrors) << row.stored;
    EXPECT_EQ(!Control("bbWriteEnable")->isHidden(), row.writeEnable) << row.stored;
    QWidget* update = form3->findChild<QWidget*>("bbUpdate");
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(!update->isHidden(), row.update) << row.stored;
    EndProgram();
    EXPECT_EQ(velta::OpenSettingsStore()->value("Admin").toInt(), row.stored)
        << "Admin is never written";
  }
}

TEST_F(Form1ConnectionTest, TcpAddressFilesSaveLoadAndFillMissingKeys) {
  StartProgram();
  ChooseTcp(4001, "controller.local");
  const QString saved = config.FilePath("site.tcp");
  desktop.fileNames = {saved};
  Control<QPushButton>("bSaveTCP")->click();

  ChooseTcp(9, "other");
  desktop.fileNames = {saved};
  Control<QPushButton>("bLoadTCP")->click();
  EXPECT_EQ(Control<QLineEdit>("edHost")->text(), "controller.local");
  EXPECT_EQ(form1->Connection().tcpHost, "controller.local");
  EXPECT_EQ(form1->Connection().tcpPort, 4001);

  const QString empty = config.FilePath("empty.tcp");
  QFile(empty).open(QIODevice::WriteOnly);
  desktop.fileNames = {empty};
  Control<QPushButton>("bLoadTCP")->click();
  EXPECT_EQ(Control<QLineEdit>("edHost")->text(), "Host");
  EXPECT_EQ(Control<QLineEdit>("edPort")->text(), "Port");
  EXPECT_EQ(form1->Connection().tcpPort, 0);

  desktop.fileNames = {QString()};  // cancelled
  Control<QPushButton>("bLoadTCP")->click();
  EXPECT_EQ(Control<QLineEdit>("edHost")->text(), "Host");

  // A port longer than the field is not cut to its first five digits.
  const QString longPort = config.FilePath("long.tcp");
  velta::test::WriteFile(longPort.toStdString(), "[TCP]\nHost=127.0.0.1\nPort=100012\n");
  desktop.fileNames = {longPort};
  Control<QPushButton>("bLoadTCP")->click();
  EXPECT_EQ(form1->Connection().tcpPort, 100012);
  Control<QCheckBox>("cbStartSend")->click();
  EXPECT_FALSE(Polling());
  EXPECT_FALSE(Log().filter("100012").filter("out of range").isEmpty())
      << Log().join('|').toStdString();
}

TEST_F(Form1ConnectionTest, PortFieldCountsItsLeadingDigits) {
  StartProgram();
  Control<QRadioButton>("rbTcp")->click();
  struct Row {
    const char* text;
    int port;
  };
  for (const Row& row :
       {Row{"10001", 10001}, Row{"12ab", 12}, Row{"abc", 0}, Row{"", 0}, Row{" 80", 0}}) {
    Control<QLineEdit>("edPort")->setText(row.text);
    EXPECT_EQ(form1->Connection().tcpPort, row.port) << row.text;
  }
}

}  // namespace
