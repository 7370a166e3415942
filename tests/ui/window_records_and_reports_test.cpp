// The windows' opt-in measurement log and service report against the simulator: the Monitor
// window writes a CSV row per Main page only while the user records, and the Settings window's
// "Report…" saves the report of the controller it is connected to, headed by the site asked for.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
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
  explicit MonitorRecording(const std::vector<std::string>& simArgs = {"--static", "--set",
                                                                       "watermeter=0", "--set",
                                                                       "level=21"})
      : sim_(simArgs) {
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
  EXPECT_EQ(desktop.appendDialogs, QStringList{"CSV (*.csv)|csv"});
  // The window shows that it records, and into which file.
  const auto* mark = window_->findChild<QLabel*>("lblRecording");
  ASSERT_NE(mark, nullptr);
  EXPECT_TRUE(mark->isVisibleTo(window_.get()));
  EXPECT_TRUE(mark->text().endsWith(" log.csv")) << mark->text().toStdString();
  sim_.ClearFrames();
  Ticks(6);
  const std::vector<std::string> frames = sim_.Frames();
  const auto mainPages = std::count(frames.begin(), frames.end(), "60 00 01 61");
  const std::vector<std::string> rows = Rows(path);
  ASSERT_EQ(static_cast<long>(rows.size()), 1 + mainPages) << "the header, then a row per page";
  EXPECT_EQ(rows[0].rfind("time,level_percent,", 0), 0u);
  EXPECT_EQ(rows[1].substr(rows[1].find(','), 4), ",21,") << rows[1];

  window_->StopRecordingClick();
  EXPECT_FALSE(mark->isVisibleTo(window_.get()));
  Ticks(6);
  EXPECT_EQ(Rows(path), rows) << "nothing after the stop";
}

class MonitorRecordingMeters : public MonitorRecording {
 protected:
  MonitorRecordingMeters() : MonitorRecording({"--static", "--set", "watermeter=1"}) {}
  QStringList Log() {
    return FindControl<QPlainTextEdit>(window_.get(), "Memo1")->toPlainText().split('\n');
  }
};

// The water meters reach the rows. A full disk (a file size limit, SIGXFSZ ignored as the program
// does) loses whole rows, said once; once there is room again the rows follow, with the count.
TEST_F(MonitorRecordingMeters, MetersInTheRowsAndTheRecordingOutlastsAFullDisk) {
  const QString path = files_.filePath("log.csv");
  desktop.fileNames = {path};
  window_->RecordCsvClick();
  Ticks(12);
  const std::vector<std::string> rows = Rows(path);
  ASSERT_GE(rows.size(), 2u);
  // The two water-meter cells at the row's end hold numbers once their page has come.
  const std::string& row = rows.back();
  const std::size_t second = row.rfind(','), first = row.rfind(',', second - 1);
  EXPECT_NO_THROW((void)std::stod(row.substr(first + 1, second - first - 1))) << row;
  EXPECT_NO_THROW((void)std::stod(row.substr(second + 1))) << row;

  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = ReadFile(path.toStdString()).size() + 10;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  Ticks(12);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  Ticks(12);

  const std::vector<std::string> after = Rows(path);
  ASSERT_GT(after.size(), rows.size()) << "rows follow once there is room";
  EXPECT_TRUE(std::equal(rows.begin(), rows.end(), after.begin())) << "no half row in between";
  const QStringList lost = Log().filter("Measurement rows are lost");
  ASSERT_EQ(lost.size(), 1) << Log().join('\n').toStdString();
  EXPECT_TRUE(lost[0].contains("File too large.")) << lost[0].toStdString();
  EXPECT_EQ(Log().filter(QRegularExpression("again; [1-9][0-9]* rows? (was|were) lost")).size(), 1)
      << Log().join('\n').toStdString();
}

class Form3Report : public Form3OperationsTest {
 protected:
  QTemporaryDir files;
};

TEST_F(Form3Report, SavesTheConnectedControllersReport) {
  SimProcess sim({"--set", "hours=654"});
  ChooseTcp(sim);
  const QString path = files.filePath("visit.html");
  desktop.fileNames = {QString(), path, path};
  Click("bbReport");
  EXPECT_TRUE(desktop.textQuestions.empty()) << "a cancelled file dialog asks nothing more";
  Click("bbReport");  // no answer: the site question is cancelled
  EXPECT_EQ(desktop.textQuestions.size(), 1);
  EXPECT_TRUE(sim.Frames().empty()) << "a cancelled site question reads nothing";
  EXPECT_FALSE(QFile::exists(path));
  desktop.texts = {"  Hof Meier, Lindenweg 3 "};
  Click("bbReport");
  const std::string html = ReadFile(path.toStdString());
  EXPECT_NE(html.find("Site: Hof Meier, Lindenweg 3</p>"), std::string::npos);
  EXPECT_NE(html.find("<td>full scale</td>"), std::string::npos);
  EXPECT_NE(html.find("654"), std::string::npos);
  EXPECT_NE(html.find("V1.60"), std::string::npos);
  EXPECT_TRUE(Memo().last().endsWith(path + " stored")) << Memo().join("|").toStdString();
}

}  // namespace
}  // namespace velta::test
