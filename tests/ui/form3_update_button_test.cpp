// The Settings window's firmware update as the user runs it: question, file dialog, memo, bar,
// the button's visibility by transport and Admin flag, against the simulator's boot loader.
#include <QEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/program_windows.h"
#include "tests/support/sim_process.h"
#include "tests/support/window_test.h"

namespace {

// Counts the memo's paints while the update runs.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

class Form3UpdateTest : public velta::test::ProgramWindowTest {
 protected:
  template <typename T = QWidget>
  T* Control(const char* name) {
    return velta::test::FindControl<T>(form3, name);
  }
  QStringList Memo() { return velta::test::MemoLines(Control<QPlainTextEdit>("Memo3")); }
  QString File(const QString& name, std::size_t size) {
    const QString path = files.filePath(name);
    std::ofstream out(path.toStdString(), std::ios::binary);
    for (std::size_t i = 0; i < size; ++i) out.put(static_cast<char>(i * 11));
    return path;
  }
  void Update() { Control<QPushButton>("bbUpdate")->click(); }
  void ExpectUsable() {
    EXPECT_TRUE(form3->isEnabled());
    EXPECT_TRUE(Control("bbUpdate")->isEnabled());
  }

  QTemporaryDir files;
};

TEST_F(Form3UpdateTest, NoOrCancelSendsNothing) {
  velta::test::SimProcess sim;
  ChooseTcp(sim.TcpPort());
  desktop.fileNames = {File("fw.enc", 100)};

  desktop.answerYes = false;
  desktop.watched = [this] { return form3; };
  Update();
  EXPECT_EQ(desktop.questions, QStringList{"Info|Attention:\nUpdate the controler firmewar?\n"});
  EXPECT_EQ(desktop.enabledWhenAsked, std::vector<bool>{false}) << "asked while usable";
  EXPECT_TRUE(desktop.dialogs.isEmpty());
  ExpectUsable();

  desktop.answerYes = true;
  desktop.fileNames.clear();
  Update();
  EXPECT_EQ(desktop.dialogs, QStringList{"UpdateFile (*.enc)|enc"});
  EXPECT_TRUE(sim.Frames().empty());
  EXPECT_TRUE(Memo().isEmpty());
  ExpectUsable();
}

TEST_F(Form3UpdateTest, SuccessfulUpdateLeavesOneLineAndRepaintsPerBlock) {
  velta::test::SimProcess sim;
  ChooseTcp(sim.TcpPort());
  const QString path = File("fw.enc", 1000);  // 32 blocks
  desktop.fileNames = {path};
  form3->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form3));
  PaintCounter counter;
  Control<QPlainTextEdit>("Memo3")->viewport()->installEventFilter(&counter);
  Update();

  EXPECT_EQ(Memo(), QStringList{"Programming successfully!"});
  EXPECT_GE(counter.paints, 32);
  const auto* bar = Control<QProgressBar>("pbAktiv");
  EXPECT_EQ(bar->palette().color(QPalette::Highlight), QColor(Qt::blue));
  EXPECT_EQ(bar->value(), bar->minimum());
  EXPECT_EQ(sim.Frames(), std::vector<std::string>{"60 00 06 66"});
  EXPECT_EQ(sim.ProgrammedImage().size(), 1024u);
  ExpectUsable();
  form3->hide();
}

TEST_F(Form3UpdateTest, RefusedFileAndFailedHandshakeShowTheirLines) {
  velta::test::SimProcess sim({"--fault", "handshake 0x55"});
  ChooseTcp(sim.TcpPort());

  desktop.fileNames = {File("large.enc", 14337)};
  Update();
  EXPECT_EQ(Memo(), QStringList{"Error: File is too large"});
  EXPECT_TRUE(sim.Frames().empty());
  ExpectUsable();

  Control<QPlainTextEdit>("Memo3")->clear();
  const QString firmware = File("fw.enc", 64);
  desktop.fileNames = {firmware};
  Update();
  EXPECT_EQ(Memo(),
            (QStringList{"Start update…", firmware, "Answer", "55",
                         "Error: Invalid one or no answer with the connection establishment"}));
  ExpectUsable();
}

TEST_F(Form3UpdateTest, ButtonHiddenOverTcpUnlessAdminAllows) {
  // Admin is only ever read from the settings store, when the Monitor window is first shown.
  const struct {
    int admin;
    bool visibleOverTcp;
  } cases[] = {{0x00, false}, {0x04, true}, {0x0B, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.admin);
    RestartProgramWithAdmin(c.admin);
    auto* button = Control("bbUpdate");
    ChooseTcp(10001);
    EXPECT_EQ(button->isVisibleTo(form3), c.visibleOverTcp);
    form1->findChild<QRadioButton*>("rbSerial")->click();
    EXPECT_TRUE(button->isVisibleTo(form3));
  }
}

}  // namespace
