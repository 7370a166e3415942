// Safer writes in the Settings window: the write question lists what changes, reads and the
// controller's block before a write go into the history, and the Compare window shows a history
// entry against the window and loads it back, against the simulated controller.
#include <QLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <cstdlib>
#include <filesystem>

#include "controller/history.h"
#include "controller/setting_fields.h"
#include "tests/support/files.h"
#include "tests/ui/form3_operations_support.h"
#include "ui/compare_window.h"
#include "ui/value_editor.h"

namespace velta::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class Form3History : public Form3OperationsTest {
 protected:
  void Step(const char* stepper, int clicks) {
    for (int i = 0; i < clicks; ++i) Control<UpDown>(stepper)->stepBy(1);
  }
  QString Text(const char* field) { return Control<QLineEdit>(field)->text(); }
  // The history the program keeps under the test's own data folder.
  std::vector<HistoryEntry> Kept() const { return History().Entries(); }
  CompareWindow* OpenCompare() {
    Click("bbCompare");
    return form3->findChild<CompareWindow*>();
  }
};

constexpr char kTwoEdits[] =
    "Dry run (Er.C) – Count: 3x → 4x\n"
    "Pump – On: 2.0bar → 2.4bar\n";

// Read, change two values, write: the question lists exactly those, the controller's block before
// the write is kept, and Compare loads it back so that the next write restores it.
TEST_F(Form3History, EditsAreListedKeptAndRestoredThroughCompare) {
  // The Default block, whose minimum pump power (30%) is below what the editor offers with a flow
  // sensor and whose filter rinse interval is half a tick above 7 days: both come back as read.
  SimProcess sim({"--write-enable"});
  ChooseTcp(sim);
  Click("bbReadBC");
  const Bytes original = MemoryRange(sim, 0, 51);
  Step("udDruckEin", 4);
  Step("udRetryCount", 1);

  Click("bbSendBC");
  ASSERT_EQ(desktop.details.size(), 1);
  EXPECT_EQ(desktop.details[0].toStdString(),
            std::string("Against the block last read from the controller:\n") + kTwoEdits);
  EXPECT_EQ(MemoryRange(sim, 0, 51)[11], 24) << "written";

  const std::vector<HistoryEntry> kept = Kept();
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].what, "settings-before-write");
  EXPECT_EQ(kept[1].what, "settings");
  EXPECT_EQ(kept[0].version, 160);
  ControllerImage before;
  std::string reason;
  ASSERT_EQ(LoadImageFile(kept[0].path.string(), before, ImageFileKind::Settings, reason), 160);
  EXPECT_EQ(Bytes(before.bytes.begin(), before.bytes.begin() + 52), original);

  CompareWindow* compare = OpenCompare();
  ASSERT_NE(compare, nullptr);
  auto* history = FindControl<QListWidget>(compare, "lbHistory");
  ASSERT_EQ(history->count(), 2);
  EXPECT_TRUE(history->item(0)->text().contains("settings before write  V1.60"));
  EXPECT_EQ(FindControl<QPlainTextEdit>(compare, "memoChanges")->toPlainText().toStdString() + "\n",
            kTwoEdits);

  emit history->itemDoubleClicked(history->item(0));
  EXPECT_EQ(Text("edDruckEin"), "2.0bar");
  EXPECT_EQ(Text("edRetryCount"), "3x");
  EXPECT_EQ(Memo().back(), QString::fromStdString(kept[0].path.string()) + " loaded");

  Click("bbSendBC");
  ASSERT_EQ(desktop.details.size(), 2);
  EXPECT_EQ(desktop.details[1].toStdString(),
            "Against the file " + kept[0].path.string() +
                ":\nno change\n\n"
                "Against the block last written to the controller:\n"
                "Dry run (Er.C) – Count: 4x → 3x\n"
                "Pump – On: 2.4bar → 2.0bar\n");
  const Bytes restored = MemoryRange(sim, 0, 51);
  for (int a = 0; a < 52; ++a)
    EXPECT_EQ(restored[a], original[a]) << "the old settings are back at " << a;
}

TEST_F(Form3History, LoadedFileIsTheComparison) {
  QTemporaryDir files;
  const QString path = files.filePath("site.ini");
  desktop.fileNames = {path, path};
  Click("bSave");
  Click("bbLoad");
  Step("udDruckEin", 1);
  desktop.answerYes = false;
  Click("bbSendBC");
  ASSERT_EQ(desktop.details.size(), 1);
  EXPECT_EQ(desktop.details[0].toStdString(),
            "Against the file " + path.toStdString() + ":\nPump – On: 2.0bar → 2.1bar\n");
}

TEST_F(Form3History, HistoryThatCannotBeWrittenAddsOneLine) {
  SimProcess sim;
  ChooseTcp(sim);
  const QString notAFolder = data.Path() + "/file";
  WriteFile(notAFolder.toStdString(), "");
  setenv("XDG_DATA_HOME", notAFolder.toLocal8Bit().constData(), 1);

  Click("bbReadBC");

  const QStringList memo = Memo();
  ASSERT_EQ(memo.size(), 4);
  EXPECT_EQ(memo.mid(0, 3), (QStringList{"Control read out...", "Data were properly read out!",
                                         "Controler version -->V1.60"}));
  EXPECT_TRUE(memo[3].startsWith("History: could not write ")) << memo[3].toStdString();
  EXPECT_EQ(desktop.beeps, 0);
  EXPECT_EQ(Image(0, 51), MemoryRange(sim, 0, 51));
  EXPECT_TRUE(Control("bbSendBC")->isEnabled());
}

// A write whose before-write copy cannot be kept asks whether to go without it: No sends nothing
// after the read, Yes writes. Either way the next question compares with what the job left.
TEST_F(Form3History, WriteWithoutTheCopyIsAsked) {
  const struct {
    bool withoutCopy;
    std::size_t frames;  // after the write question: the read and the version, then the write
    int pumpOn;
    const char* next;  // the next write question's details
  } rows[] = {{false, 2, 20,
               "Against the block last read from the controller:\nPump – On: 2.0bar → 2.4bar\n"},
              {true, 2 + 52 + 1, 24,
               "Against the block last written to the controller:\nno change\n"}};
  for (const auto& row : rows) {
    SimProcess sim({"--write-enable"});
    ChooseTcp(sim);
    Click("bbReadBC");
    Step("udDruckEin", 4);
    const QString notAFolder = data.Path() + "/file";
    WriteFile(notAFolder.toStdString(), "");
    setenv("XDG_DATA_HOME", notAFolder.toLocal8Bit().constData(), 1);
    sim.ClearFrames();
    desktop.questions.clear();
    desktop.answers = {true, row.withoutCopy};

    Click("bbSendBC");
    ASSERT_EQ(desktop.questions.size(), 2);
    EXPECT_TRUE(desktop.questions[1].startsWith("Info|The controller's values could not be kept"));
    EXPECT_EQ(sim.Frames().size(), row.frames) << row.withoutCopy;
    EXPECT_EQ(MemoryRange(sim, 0, 51)[11], row.pumpOn);
    desktop.answers = {false};
    Click("bbSendBC");
    EXPECT_EQ(desktop.details.back().toStdString(), row.next);
    setenv("XDG_DATA_HOME", data.Path().toLocal8Bit().constData(), 1);
    std::filesystem::remove(notAFolder.toStdString());
  }
}

// The Compare and Report buttons sit in the file group without moving any control the window had;
// the load and save buttons there give up width to them.
TEST_F(Form3History, CompareAndReportButtonsMoveNothing) {
  desktop.answerYes = true;
  Control<QAbstractButton>("rbExperte")->click();
  form3->show();
  // "name x,y" of every control shown, and the window's size.
  const auto places = [this] {
    std::vector<std::string> places;
    for (const QWidget* w : form3->findChildren<QWidget*>()) {
      const QString name = w->objectName();
      if (name.isEmpty() || name == "bbCompare" || name == "bbReport" || !w->isVisible()) continue;
      const QPoint at = w->mapTo(form3, QPoint(0, 0));
      places.push_back(name.toStdString() + " " + std::to_string(at.x()) + "," +
                       std::to_string(at.y()));
    }
    places.push_back("window " + std::to_string(form3->width()) + "x" +
                     std::to_string(form3->height()));
    return places;
  };
  QApplication::processEvents();
  const auto withButton = places();
  Control("bbCompare")->hide();
  Control("bbReport")->hide();
  form3->layout()->activate();
  QApplication::processEvents();
  const auto without = places();
  EXPECT_GT(withButton.size(), 100u);
  ASSERT_EQ(withButton.size(), without.size());
  for (std::size_t i = 0; i < without.size(); ++i) EXPECT_EQ(withButton[i], without[i]);
  form3->hide();
}

// The lists the field descriptions name hold the window's items, in the window's order.
TEST_F(Form3History, DescribedListsAreTheWindowsLists) {
  const std::pair<const char*, std::span<const char* const>> lists[] = {
      {"cbTankform", kTankformItems},
      {"cbDrucksensor", kDrucksensorItems},
      {"cbMinInput", kInputItems},
      {"cbMaxInput", kInputItems},
      {"cbWasserZcount", kWasserZcountItems},
      {"cbVariante", kVarianteItems},
      {"cbRueckstau", kRueckstauItems},
      {"cbPower", kPowerItems},
      {"cbClr", kCounterItems},
  };
  for (const auto& [name, items] : lists) {
    const QComboBox* list = Control<QComboBox>(name);
    ASSERT_EQ(list->count(), static_cast<int>(items.size())) << name;
    for (int i = 0; i < list->count(); ++i) {
      EXPECT_EQ(list->itemText(i).toStdString(), ListItemText(items, i)) << name << " " << i;
    }
  }
}

}  // namespace
}  // namespace velta::test
