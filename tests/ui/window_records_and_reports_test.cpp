// The windows' opt-in measurement log and service report against the simulator: the Monitor
// window writes a CSV row per Main page only while the user records, and the Settings window's
// "Report…" saves the report of the controller it is connected to.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>
#include <sstream>

#include "tests/support/poll_ticks.h"
#include "tests/support/files.h"
#include "tests/support/sim_process.h"
#include "tests/support/window_test.h"
#include "tests/ui/form3_operations_support.h"
#include "ui/Unit1.h"

namespace velta::test {
namespace {

class MonitorRecording : public WindowTest {
 protected:
  MonitorRecording() : sim_({"--static", "--set", "watermeter=0", "--set", "level=21"}) {
    window_ = std::make_unique<Form1>();
    FindControl<QLineEdit>(window_.get(), "edHost")->setText("127.0.0.1");
    FindControl<QLineEdit>(window_.get(), "edPort")->setText(QString::number(sim_.TcpPort()));
    FindControl<QRadioButton>(window_.get(), "rbTcp")->click();
    FindControl<QCheckBox>(window_.get(), "cbStartSend")->setChecked(true);
  }
  void Ticks(int count) { RunPollTicks(*window_, count); }
  std::vector<std::string> Rows(const QString& path) {
    std::vector<std::string> rows;
    std::istringstream text(ReadFile(path.toStdString()));
    for (std::string row; std::getline(text, row);) rows.push_back(row);
    return rows;
  }

  SimProcess sim_;
  std::unique_ptr<Form1> window_;
  QTemporaryDir files_;
};

TEST_F(MonitorRecording, RowsOnlyWhileRecording) {
  const QString path = files_.filePath("log.csv");
  Ticks(4);
  EXPECT_FALSE(QFile::exists(path)) << "nothing is written unless chosen";

  desktop.fileNames = {path};
  window_->RecordCsvClick();
  EXPECT_EQ(desktop.saveDialogs, QStringList{"CSV (*.csv)|csv"});
  sim_.ClearFrames();
  Ticks(6);
  const std::vector<std::string> frames = sim_.Frames();
  const auto mainPages = std::count(frames.begin(), frames.end(), "60 00 01 61");
  const std::vector<std::string> rows = Rows(path);
  ASSERT_EQ(static_cast<long>(rows.size()), 1 + mainPages) << "the header, then a row per page";
  EXPECT_EQ(rows[0].rfind("time,level_percent,", 0), 0u);
  EXPECT_EQ(rows[1].substr(rows[1].find(','), 4), ",21,") << rows[1];

  window_->StopRecordingClick();
  Ticks(6);
  EXPECT_EQ(Rows(path), rows) << "nothing after the stop";
}

class Form3Report : public Form3OperationsTest {
 protected:
  QTemporaryDir files;
};

TEST_F(Form3Report, SavesTheConnectedControllersReport) {
  SimProcess sim({"--set", "hours=654"});
  ChooseTcp(sim);
  const QString path = files.filePath("visit.html");
  desktop.fileNames = {QString(), path};
  Click("bbReport");
  EXPECT_TRUE(sim.Frames().empty()) << "a cancelled dialog reads nothing";
  Click("bbReport");
  const std::string html = ReadFile(path.toStdString());
  EXPECT_NE(html.find("<td>Pressure sensor – full scale</td>"), std::string::npos);
  EXPECT_NE(html.find("654"), std::string::npos);
  EXPECT_NE(html.find("V1.60"), std::string::npos);
  EXPECT_TRUE(Memo().last().endsWith(path + " stored")) << Memo().join("|").toStdString();
}

}  // namespace
}  // namespace velta::test
