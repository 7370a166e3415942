// The Tank table window as the user drives it: its buttons, dialogs and enable rules, its memo,
// and its transfers with the simulated controller reached through the Monitor window's settings.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>

#include "controller/tank_transfer.h"
#include "tests/support/program_windows.h"
#include "tests/support/sim_process.h"
#include "tests/support/window_test.h"

namespace {

QString TableText(const QString& name, int last, int (*value)(int)) {
  QString text = name + "\n";
  for (int i = 0; i <= last; ++i) text += QStringLiteral("%1;%2\n").arg(i).arg(value(i));
  return text;
}
int Identity(int i) { return i; }

class Form2TankTest : public velta::test::ProgramWindowTest {
 protected:
  template <typename T = QWidget>
  T* Control(const char* name) {
    return velta::test::FindControl<T>(form2, name);
  }
  QStringList Memo() { return velta::test::MemoLines(Control<QPlainTextEdit>("Memo3")); }
  // Whether the window was enabled at each change of its memo from now on.
  std::vector<bool>& EnabledAtMemoChanges() {
    QObject::connect(Control<QPlainTextEdit>("Memo3"), &QPlainTextEdit::textChanged, form2,
                     [this] { enabledAtMemo.push_back(form2->isEnabled()); });
    return enabledAtMemo;
  }
  bool SaveAndSendEnabled() {
    const bool save = Control("bbSave")->isEnabled();
    EXPECT_EQ(save, Control("bbSend")->isEnabled());
    return save;
  }
  QString File(const QString& name, const QString& content) {
    const QString path = files.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary) << content.toStdString();
    return path;
  }
  void Load(const QString& path) {
    desktop.fileNames = {path};
    Control<QPushButton>("bbLoad")->click();
  }

  QTemporaryDir files;
  std::vector<bool> enabledAtMemo;
};

TEST_F(Form2TankTest, WindowStartsWithGermanCaptionsAndSaveSendDisabled) {
  EXPECT_EQ(form2->windowTitle(), "Eigene Tankform");
  EXPECT_EQ(Control<QPushButton>("bbLoad")->text(), "Laden");
  EXPECT_EQ(Control<QPushButton>("bbSend")->text(), "Übertragen");
  EXPECT_EQ(Control("edTabName")->toolTip(), "Beschreibung der eigenen Tankform");
  EXPECT_FALSE(SaveAndSendEnabled());
  EXPECT_TRUE(Control<QPlainTextEdit>("Memo3")->isReadOnly());
  EXPECT_EQ(Control<QProgressBar>("pbAktiv")->maximum(), 130);
  form2->show();
  QApplication::processEvents();
  EXPECT_EQ(form2->minimumSize(), form2->maximumSize());  // fixed border
  EXPECT_FALSE(form2->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(Form2TankTest, LoadingEnablesSaveAndSendAndFailingDisablesThem) {
  const QString good = File("good.csv", TableText("Zisterne Süd", 100, Identity));
  Control<QPlainTextEdit>("Memo3")->appendPlainText("earlier");
  Load(good);
  EXPECT_EQ(desktop.dialogs, QStringList{"tankform (*.csv)|csv"});
  QStringList expected;
  for (int i = 0; i <= 100; ++i) expected << QStringLiteral("%1;%1").arg(i);
  expected << ""
           << "Table:good.csv"
           << "successfully read in";
  EXPECT_EQ(Memo(), expected);  // emptied first, then the entries and the success line
  EXPECT_EQ(Control<QLineEdit>("edTabName")->text(), "Zisterne Süd");
  EXPECT_TRUE(SaveAndSendEnabled());
  EXPECT_EQ(form2->Table()[100], 100);

  const QString bad = File("bad.csv", TableText("Anders", 4, Identity) + "5;101\n");
  Load(bad);
  EXPECT_EQ(Memo().mid(Memo().size() - 2),
            (QStringList{QStringLiteral("File %1 contains a wrong value in line 7.").arg(bad),
                         "The line reads \"5;101\"."}));
  EXPECT_FALSE(SaveAndSendEnabled());
  EXPECT_EQ(Control<QLineEdit>("edTabName")->text(), "Zisterne Süd");

  // A cancelled dialog changes nothing.
  const QStringList before = Memo();
  desktop.fileNames = {QString()};
  Control<QPushButton>("bbLoad")->click();
  EXPECT_EQ(Memo(), before);
  EXPECT_FALSE(SaveAndSendEnabled());
}

TEST_F(Form2TankTest, LongTableNameShowsItsBeginning) {
  const QString name = "Erdtank Nord " + QString(140, u'x');
  Load(File("long.csv", TableText(name, 100, Identity)));
  auto* field = Control<QLineEdit>("edTabName");
  EXPECT_EQ(field->text(), name);
  EXPECT_EQ(field->cursorPosition(), 0) << "the start of the name is in view";
}

TEST_F(Form2TankTest, EmptyFileLeavesTheMemoAsItWas) {
  Control<QPlainTextEdit>("Memo3")->appendPlainText("earlier");
  const QString empty = File("empty.csv", "");
  Load(empty);
  EXPECT_EQ(Memo(), (QStringList{"earlier",
                                 QStringLiteral("File %1 contains too few values.").arg(empty),
                                 "The file is empty."}));
  EXPECT_FALSE(SaveAndSendEnabled());
}

TEST_F(Form2TankTest, SaveWritesTheEditedNameAndLoadsBack) {
  Load(File("in.csv", TableText("alt", 100, [](int i) { return i / 4; })));
  Control<QLineEdit>("edTabName")->setText("Neuer Name");
  const QString saved = files.filePath("out.csv");
  desktop.fileNames = {saved};
  Control<QPushButton>("bbSave")->click();
  EXPECT_EQ(Memo().mid(Memo().size() - 2), (QStringList{"", "In " + saved + " stored"}));

  Control<QLineEdit>("edTabName")->clear();
  Load(saved);
  EXPECT_EQ(Control<QLineEdit>("edTabName")->text(), "Neuer Name");
  EXPECT_EQ(form2->Table()[100], 25);

  // A file that cannot be created: the clear line, the reason and a beep, nothing else.
  const QString unreachable = files.filePath("no/such/folder.csv");
  desktop.fileNames = {unreachable};
  Control<QPushButton>("bbSave")->click();
  EXPECT_EQ(Memo().mid(Memo().size() - 2),
            (QStringList{QStringLiteral("File %1 cannot be opened.").arg(unreachable),
                         "No such file or directory."}));
  EXPECT_EQ(desktop.beeps, 1);
  EXPECT_FALSE(QFile::exists(unreachable));
}

TEST_F(Form2TankTest, DoubleClickEmptiesTheMemo) {
  Control<QPlainTextEdit>("Memo3")->appendPlainText("something");
  form2->show();
  QTest::mouseDClick(Control<QPlainTextEdit>("Memo3")->viewport(), Qt::LeftButton);
  EXPECT_TRUE(Memo().isEmpty());
}

// Enter in the name field presses no button and Escape leaves the window open.
TEST_F(Form2TankTest, EnterAndEscapeInTheNameFieldDoNothing) {
  form2->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form2));
  auto* name = Control<QLineEdit>("edTabName");
  name->setFocus();
  QTest::keyClick(name, Qt::Key_Return);
  QTest::keyClick(name, Qt::Key_Enter);
  EXPECT_TRUE(desktop.dialogs.isEmpty()) << "Enter pressed a button";
  QTest::keyClick(name, Qt::Key_Escape);
  EXPECT_TRUE(form2->isVisible());
  EXPECT_EQ(form2->result(), QDialog::Rejected);
  for (const char* button : {"bbLoad", "bbSave", "bbRead", "bbSend"})
    EXPECT_FALSE(Control<QPushButton>(button)->autoDefault()) << button;
}

TEST_F(Form2TankTest, ReadFromTheControllerShowsAndEnables) {
  velta::test::SimProcess sim({"--fault", "short read 101"});
  std::vector<std::uint8_t> bytes(velta::kTankEntries);
  for (int i = 0; i < velta::kTankEntries; ++i)
    bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  bytes[50] = 200;
  sim.SetMemory(velta::kTankTableAddress, bytes);
  ChooseTcp(sim.TcpPort());
  Control<QPlainTextEdit>("Memo3")->appendPlainText("earlier");

  // A short reply: one line, the table and the buttons stay as they were.
  Control<QPushButton>("bbRead")->click();
  EXPECT_EQ(Memo(), (QStringList{"earlier", "Error during reading !"}));
  EXPECT_FALSE(SaveAndSendEnabled());
  EXPECT_EQ(form2->Table()[50], 0);

  sim.Fault("clear");
  const auto& enabled = EnabledAtMemoChanges();
  Control<QPushButton>("bbRead")->click();
  EXPECT_FALSE(enabled.empty());
  EXPECT_EQ(std::count(enabled.begin(), enabled.end(), true), 0) << "enabled while reading";
  const QStringList memo = Memo();
  ASSERT_EQ(memo.size(), 2 + 1 + velta::kTankEntries);
  EXPECT_EQ(memo[2], "Data were properly read out!");
  EXPECT_EQ(memo[3], "0;0");
  EXPECT_EQ(memo[3 + 50], "50;200");
  EXPECT_EQ(memo.back(), "100;100");
  EXPECT_EQ(form2->Table()[50], 200);
  EXPECT_TRUE(SaveAndSendEnabled());
  EXPECT_TRUE(form2->isEnabled());
  EXPECT_TRUE(Control("bbRead")->isEnabled());

  // A later failed read keeps saving and sending on.
  sim.Fault("badsum read");
  Control<QPushButton>("bbRead")->click();
  EXPECT_EQ(Memo().back(), "Data were wrong selected!");
  EXPECT_TRUE(SaveAndSendEnabled());
}

TEST_F(Form2TankTest, SendAsksFirstAndRunsOnlyOnYes) {
  velta::test::SimProcess sim({"--write-enable"});
  ChooseTcp(sim.TcpPort());
  Load(File("t.csv", TableText("T", 100, [](int i) { return i / 2; })));
  sim.ClearFrames();

  desktop.answerYes = false;
  Control<QPushButton>("bbSend")->click();
  EXPECT_EQ(desktop.questions,
            QStringList{"Info|Attention:\nShould all settings to the control be transferred?\n"});
  EXPECT_TRUE(sim.Frames().empty());

  desktop.answerYes = true;
  const auto& enabled = EnabledAtMemoChanges();
  Control<QPushButton>("bbSend")->click();
  EXPECT_FALSE(enabled.empty());
  EXPECT_EQ(std::count(enabled.begin(), enabled.end(), true), 0) << "enabled while sending";
  const auto frames = sim.Frames();
  ASSERT_EQ(frames.size(), static_cast<std::size_t>(velta::kTankEntries));
  EXPECT_EQ(frames.back(), "98 FF 32 C9");
  EXPECT_EQ(Memo().back(), "Transfer all attitudes to the control…");
  const auto* bar = Control<QProgressBar>("pbAktiv");
  EXPECT_EQ(bar->maximum(), 120);
  EXPECT_EQ(bar->value(), bar->minimum());
  EXPECT_EQ(bar->palette().color(QPalette::Highlight), QColor(Qt::red));
  EXPECT_TRUE(form2->isEnabled());
  EXPECT_TRUE(Control("bbSend")->isEnabled());
  EXPECT_EQ(desktop.beeps, 0);

  // Without write permission the first write stays unanswered: one line, one beep, one frame.
  sim.Set("writeenable=0");
  sim.ClearFrames();
  Control<QPushButton>("bbSend")->click();
  EXPECT_EQ(sim.Frames().size(), 1u);
  EXPECT_EQ(Memo().mid(Memo().size() - 2),
            (QStringList{"Error during writing or reading!", "->possibly no write-enable!"}));
  EXPECT_EQ(desktop.beeps, 1);
}

TEST_F(Form2TankTest, UsableWhileTheSettingsWindowRunsModally) {
  const QString good = File("good.csv", TableText("Modal", 100, Identity));
  desktop.fileNames = {good};
  bool loaded = false;
  QTimer::singleShot(0, form3, [&] {
    form2->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form2));
    // A click through the window system, which drops input to windows that a modal one blocks.
    auto* button = Control<QPushButton>("bbLoad");
    QTest::mouseClick(form2->windowHandle(), Qt::LeftButton, {},
                      button->mapTo(form2, button->rect().center()));
    loaded = form2->Table()[100] == 100;
    form3->reject();
  });
  form3->exec();
  EXPECT_TRUE(loaded);
  EXPECT_TRUE(SaveAndSendEnabled());
}

}  // namespace
