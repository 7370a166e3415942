// The Monitor window's status view driven tick by tick against the simulator: display mimic,
// LEDs, labels, error lists and file, history chart, and the panel's service requests.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdlib>

#include "tests/support/files.h"
#include "tests/support/poll_ticks.h"
#include "tests/support/sim_process.h"
#include "tests/support/window_test.h"
#include "ui/Unit1.h"
#include "ui/status_widgets.h"

namespace {

std::string ReadAll(const QString& path) { return velta::test::ReadFile(path.toStdString()); }

class Form1StatusView : public velta::test::WindowTest {
 protected:
  Form1StatusView() { window_ = std::make_unique<Form1>(); }
  ~Form1StatusView() override { window_.reset(); }

  template <typename T = QWidget>
  T* Control(const char* name) {
    return velta::test::FindControl<T>(window_.get(), name);
  }
  QString Text(const char* label) { return Control<QLabel>(label)->text(); }
  QStringList Lines(const char* memo) {
    return velta::test::MemoLines(Control<QPlainTextEdit>(memo));
  }

  // The colour the level bar is drawn with, near its bottom end (the level is above zero).
  QColor BarColour() {
    auto* bar = Control<QProgressBar>("pbZist");
    const QImage image = bar->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() - 4);
  }

  // Points the window at the simulator over TCP and ticks "Statusabfrage".
  void StartPolling(const std::vector<std::string>& simArgs) {
    sim_ = std::make_unique<velta::test::SimProcess>(simArgs);
    Control<QLineEdit>("edHost")->setText("127.0.0.1");
    Control<QLineEdit>("edPort")->setText(QString::number(sim_->TcpPort()));
    Control<QRadioButton>("rbTcp")->click();
    Control<QCheckBox>("cbStartSend")->setChecked(true);
    ASSERT_TRUE(velta::test::WaitForPolling(*window_));
    ASSERT_EQ(Control<QPushButton>("bbSetup")->isEnabled(), false) << "Polling did not start";
  }
  void StopPolling() { Control<QCheckBox>("cbStartSend")->setChecked(false); }
  void Ticks(int count) { velta::test::RunPollTicks(*window_, count); }

  std::unique_ptr<velta::test::SimProcess> sim_;
  std::unique_ptr<Form1> window_;
};

TEST_F(Form1StatusView, MainPageLightsTheDisplayLedsAndLabels) {
  StartPolling({"--static", "--set", "display=7E0601", "--set", "blueled=1", "--set", "level=57",
                "--set", "pressure=35", "--set", "temp=100", "--set", "pump=0", "--set",
                "hand=0", "--set", "mean=255", "--set", "watermeter=0", "--set",
                "modulerinse=0"});
  Ticks(1);
  const std::map<QString, bool> lit = {
      {"img3a", true},  {"img3b", true},  {"img3c", true},  {"img3d", true},  {"img3e", true},
      {"img3f", true},  {"img3g", false}, {"img3dp", false}, {"img2a", false}, {"img2b", true},
      {"img2c", true},  {"img2d", false}, {"img2g", false}, {"img2dp", false}, {"img1a", false},
      {"img1g", false}, {"img1dp", true}};
  for (const auto& [name, on] : lit) {
    auto* segment = window_->findChild<SegmentImage*>(name);
    ASSERT_NE(segment, nullptr) << name.toStdString();
    EXPECT_EQ(segment->isLit(), on) << name.toStdString();
  }
  EXPECT_TRUE(Control("imgblON")->isVisibleTo(window_.get()));
  EXPECT_FALSE(Control("imgblOFF")->isVisibleTo(window_.get()));
  EXPECT_TRUE(Control("imggnON")->isVisibleTo(window_.get())) << "automatic mode";
  EXPECT_FALSE(Control("imggnOFF")->isVisibleTo(window_.get()));

  EXPECT_EQ(Text("lblZist"), "57%");
  EXPECT_EQ(Control<QProgressBar>("pbZist")->value(), 57);
  EXPECT_EQ(Text("lblDruck"), "3.5bar");
  EXPECT_EQ(Text("lblTemp"), "52°C");
  EXPECT_EQ(Text("lblPumpe"), "Off");
  EXPECT_EQ(Text("lblHand"), "Automatic");
  EXPECT_EQ(Text("lblPumpeLaufzeitMittelwert"), " ");
  EXPECT_FALSE(Control("edWasser1")->isVisibleTo(window_.get()));
  EXPECT_EQ(Lines("MemoError"), QStringList{"No Errors"});
  EXPECT_TRUE(Lines("MemoErrorStore").isEmpty());
  EXPECT_EQ(BarColour(), QColor(0, 0, 255));

  sim_->Control("set pump=50");
  Ticks(3);  // history, counters, filter rinse: the pump shows with the next Main status page
  EXPECT_EQ(Text("lblPumpe"), "Off");
  Ticks(1);
  EXPECT_EQ(Text("lblPumpe"), "50%");
  EXPECT_EQ(Control("gbPumpe1")->palette().color(QPalette::Window), QColor(Qt::yellow));
}

// The default "c:\error.txt" is kept in the state folder; Memo1 names the real file once.
TEST_F(Form1StatusView, DefaultErrorFileGoesToTheStateFolderAndIsNamedOnce) {
  QTemporaryDir state;
  setenv("XDG_STATE_HOME", state.path().toLocal8Bit().constData(), 1);
  Control<QCheckBox>("cbStore")->setChecked(true);
  ASSERT_EQ(Control<QLineEdit>("edFile")->text(), "c:\\error.txt");
  StartPolling({"--static", "--set", "error=0x0C", "--set", "watermeter=0", "--set",
                "modulerinse=0"});
  Ticks(5);
  unsetenv("XDG_STATE_HOME");
  const QString real = state.filePath("velta-control/error.txt");
  EXPECT_EQ(ReadAll(real), Lines("MemoErrorStore").join('\n').toStdString() + "\n");
  EXPECT_EQ(Lines("Memo1").filter("Error file: ").size(), 1);
  EXPECT_TRUE(Lines("Memo1").contains("Error file: " + real));
}

TEST_F(Form1StatusView, ErrorsAreListedStoredAndAppendedToTheFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("error.txt");
  velta::test::WriteFile(path.toStdString(), "kept\n");
  Control<QLineEdit>("edFile")->setText(path);
  Control<QCheckBox>("cbStore")->setChecked(true);
  StartPolling({"--static", "--set", "error=0x0C", "--set", "watermeter=0", "--set",
                "modulerinse=0"});
  Ticks(5);  // main, history, counters, filter rinse, main again
  const QStringList active{"Sensor cistern defectively! (Er.b)", "No water pump! (Er.P)"};
  EXPECT_EQ(Lines("MemoError"), active);
  const QStringList stored = Lines("MemoErrorStore");
  ASSERT_EQ(stored.size(), 2);
  EXPECT_TRUE(stored[0].startsWith("#0/ ") && stored[0].endsWith("/ " + active[0]));
  EXPECT_TRUE(stored[1].startsWith("#1/ ") && stored[1].endsWith("/ " + active[1]));
  EXPECT_EQ(stored[0].mid(4, 21), stored[1].mid(4, 21)) << "same date and time";
  EXPECT_EQ(BarColour(), QColor(255, 0, 0));
  EXPECT_EQ(ReadAll(path), "kept\n" + stored.join('\n').toStdString() + "\n");

  // Emptied by double-click, MemoError stays empty while the flags stay.
  window_->MemoErrorDblClick();
  Ticks(4);
  EXPECT_TRUE(Lines("MemoError").isEmpty());

  // The stored list is cleared only on Yes; numbering starts again.
  window_->MemoErrorStoreDblClick();
  EXPECT_EQ(Lines("MemoErrorStore").size(), 2);
  ASSERT_EQ(desktop.questions.size(), 1);
  EXPECT_EQ(desktop.questions[0],
            "Achtung|Attention:\nShould all stored error messages be extinguished?\n");
  desktop.answerYes = true;
  window_->MemoErrorStoreDblClick();
  EXPECT_TRUE(Lines("MemoErrorStore").isEmpty());
  sim_->Control("set error=0x04");
  Ticks(4);
  ASSERT_EQ(Lines("MemoErrorStore").size(), 1);
  EXPECT_TRUE(Lines("MemoErrorStore")[0].startsWith("#0/ "));
  EXPECT_EQ(ReadAll(path).substr(0, 5), "kept\n") << "the file is not touched by clearing";
  EXPECT_EQ(QString::fromStdString(ReadAll(path)).count('\n'), 4);

  // Without "Speichern" the lines are stored in the list but not written to the file.
  Control<QCheckBox>("cbStore")->setChecked(false);
  sim_->Control("set error=0x08");
  Ticks(4);
  ASSERT_EQ(Lines("MemoErrorStore").size(), 2);
  EXPECT_EQ(QString::fromStdString(ReadAll(path)).count('\n'), 4);
}

// The water meter page's first reading (the cistern's) shows in edWasser2, the second in
// edWasser1.
TEST_F(Form1StatusView, EachWaterMeterFieldShowsItsOwnMeter) {
  StartPolling({"--static", "--set", "watermeter=1", "--set", "cistern=1234567", "--set",
                "mains=7", "--set", "modulerinse=0"});
  Ticks(8);
  EXPECT_EQ(Text("edWasser2"), "   1234.567m³");
  EXPECT_EQ(Text("edWasser1"), "      0.007m³");
  EXPECT_TRUE(Control("edWasser1")->isVisibleTo(window_.get()));
}

TEST_F(Form1StatusView, HistoryChartAndItsThreeDimensionalLook) {
  StartPolling({"--static", "--set", "levelsensor=1", "--set", "watermeter=0"});
  auto* chart = Control<HistoryChart>("Chart1");
  Ticks(1);
  EXPECT_TRUE(chart->Series1().isEmpty() && chart->Series2().isEmpty());
  Ticks(1);
  ASSERT_EQ(chart->Series1().size(), 56);
  EXPECT_TRUE(chart->Series2().isEmpty());
  EXPECT_DOUBLE_EQ(chart->Series1().front().x(), 0.0);
  EXPECT_DOUBLE_EQ(chart->Series1().back().x(), -27.5);
  for (const QPointF& p : chart->Series1()) EXPECT_TRUE(p.y() >= 0 && p.y() <= 255);

  EXPECT_FALSE(window_->View3D());
  window_->Chart1Click();
  EXPECT_TRUE(window_->View3D());
  EXPECT_TRUE(chart->View3D());
  window_->Chart1Click();
  EXPECT_FALSE(window_->View3D());
  // Painting either look with data must work offscreen.
  window_->SetView3D(true);
  EXPECT_FALSE(chart->grab().isNull());
}

TEST_F(Form1StatusView, ClearErrorsAndWriteEnableRequests) {
  sim_ = std::make_unique<velta::test::SimProcess>(std::vector<std::string>{"--static"});
  Control<QLineEdit>("edHost")->setText("127.0.0.1");
  Control<QLineEdit>("edPort")->setText(QString::number(sim_->TcpPort()));
  Control<QRadioButton>("rbTcp")->click();

  window_->bbClrErrorClick();
  EXPECT_EQ(Lines("MemoError"), QStringList{"All error messages of the module deleted!"});
  EXPECT_TRUE(Control<QPushButton>("bbClrError")->isEnabled());
  sim_->Control("fault noreply clear");
  window_->bbClrErrorClick();
  EXPECT_EQ(Lines("MemoError").last(), "Errors with clear!");

  sim_->ClearFrames();
  window_->bbWriteEnableClick();
  // The request awaits no reply; the next request's answer shows the simulator has both.
  sim_->Control("fault clear");
  window_->bbClrErrorClick();
  EXPECT_EQ(sim_->Frames(), (std::vector<std::string>{"60 00 0E 6E", "60 00 0D 6D"}));

  Control<QLineEdit>("edPort")->setText("1");  // nobody listens there
  const int before = Lines("MemoError").size();
  window_->bbClrErrorClick();
  EXPECT_EQ(Lines("MemoError").size(), before) << "an unopened Channel leaves the error list";
  const QString refused = "Connection refused by 127.0.0.1:1: nothing listens on that port";
  EXPECT_EQ(Lines("Memo1").last(), refused);
  window_->bbWriteEnableClick();
  const QStringList log = Lines("Memo1");
  EXPECT_EQ(log.mid(log.size() - 2), (QStringList{"Error when opening the interface!", refused}));
  EXPECT_TRUE(Control<QPushButton>("bbWriteEnable")->isEnabled());
}

// A stored line is longer than the list is wide; it must read in full without sideways scrolling.
TEST_F(Form1StatusView, LongErrorLinesReadInFull) {
  window_->show();
  StartPolling({"--static", "--set", "error2=0x06", "--set", "watermeter=0", "--set",
                "modulerinse=0"});
  Ticks(1);
  QCoreApplication::processEvents();
  for (const char* memo : {"MemoError", "MemoErrorStore"}) {
    auto* list = Control<QPlainTextEdit>(memo);
    ASSERT_EQ(Lines(memo).size(), 2) << memo;
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << memo;
  }
}

TEST_F(Form1StatusView, ErrorFileDialogAndLogo) {
  auto* edFile = Control<QLineEdit>("edFile");
  const QString before = edFile->text();
  window_->edFileDblClick();  // cancelled
  EXPECT_EQ(edFile->text(), before);
  desktop.fileNames = {"/tmp/chosen.txt"};
  window_->imgStoreClick();
  EXPECT_EQ(edFile->text(), "/tmp/chosen.txt");
  ASSERT_EQ(desktop.saveDialogs.size(), 2);
  EXPECT_TRUE(desktop.saveDialogs[0].contains("*.txt"));

  window_->Image1Click();
  ASSERT_EQ(desktop.urls.size(), 1);
  EXPECT_TRUE(desktop.urls[0].startsWith("https://"));
}

}  // namespace
