// The Settings window's "Auslesen" and "Übertragen" against the simulated controller: what the
// window shows, which buttons it offers, and what reaches the controller.
#include "controller/default_block.h"
#include "tests/ui/form3_operations_support.h"

namespace velta::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kRefFullHigh = 0x12, kRefFullLow = 0x34;  // 4660
constexpr std::uint8_t kRefEmptyHigh = 0x05, kRefEmptyLow = 0x67;  // 1383

// A plausible block whose editors show exactly the stored values.
void PutControllerBlock(SimProcess& sim) {
  Bytes block(kDefaultBlock.begin(), kDefaultBlock.end());
  block[4] = kRefFullHigh, block[5] = kRefFullLow;
  block[16] = kRefEmptyHigh, block[17] = kRefEmptyLow;
  block[11] = 25;  // DruckEin 2.5 bar
  sim.SetMemory(0, block);
}

class Form3Transfer : public Form3OperationsTest {
 protected:
  // "Übertragen" starts disabled; a read or a file load enables it.
  void OfferWriting() { Control("bbSendBC")->setEnabled(true); }
};

TEST_F(Form3Transfer, ReadShowsTheBlockAndOffersWriting) {
  SimProcess sim;
  PutControllerBlock(sim);
  ChooseTcp(sim);
  Control<QAbstractButton>("cbWriteRef")->setChecked(true);
  sim.ClearFrames();

  Click("bbReadBC");

  EXPECT_EQ(sim.Frames(), (std::vector<std::string>{"88 00 34 BC", "60 00 07 67"}));
  EXPECT_EQ(Image(0, 51), MemoryRange(sim, 0, 51));
  EXPECT_EQ(Control<QLineEdit>("edRefZistVoll")->text(), "4660");
  EXPECT_EQ(Control<QLineEdit>("edDruckEin")->text(), "2.5bar");
  EXPECT_EQ(Memo(), (QStringList{"Control read out...", "Data were properly read out!",
                                 "Controler version -->V1.60"}));
  EXPECT_FALSE(Control<QAbstractButton>("cbWriteRef")->isChecked());
  EXPECT_TRUE(Control("bbSendBC")->isEnabled());
  EXPECT_FALSE(Control("bbSendBC")->isHidden());
  EXPECT_TRUE(form3->isEnabled());
  EXPECT_TRUE(Control("bbReadBC")->isEnabled());
}

TEST_F(Form3Transfer, WrongVersionHidesTheThreeWriteButtons) {
  SimProcess sim({"--version", "1.601.59"});
  ChooseTcp(sim);
  Click("bbReadBC");
  for (const char* button : {"bbSendBC", "bbClrError", "bbWriteH"}) {
    EXPECT_TRUE(Control(button)->isHidden()) << button;
  }
  EXPECT_EQ(Memo().mid(2), (QStringList{"Controler version -->V1.60", "Wrong program version!",
                                        "Controler version -->V1.59"}));
  EXPECT_EQ(desktop.enabledWhenBeeped, std::vector<bool>{false});
}

TEST_F(Form3Transfer, AnsweringNoSendsNothing) {
  SimProcess sim({"--write-enable"});
  ChooseTcp(sim);
  sim.ClearFrames();
  desktop.answerYes = false;
  Click("bbReadBC");
  ASSERT_TRUE(Control("bbSendBC")->isEnabled());
  sim.ClearFrames();
  Click("bbSendBC");
  ASSERT_EQ(desktop.questions.size(), 1);
  EXPECT_EQ(desktop.questions[0],
            "Info|ACHTUNG:\nShould all settings to the control be transferred?\n");
  EXPECT_TRUE(sim.Frames().empty());
  EXPECT_TRUE(form3->isEnabled());
}

// Unticked, the controller keeps its own reference values; ticked, the view's are sent.
TEST_F(Form3Transfer, ReferenceValuesFollowTheWriteRefBox) {
  for (const bool sendView : {false, true}) {
    SimProcess sim({"--write-enable"});
    PutControllerBlock(sim);
    ChooseTcp(sim);
    Control<QLineEdit>("edRefZistVoll")->setText("20000");  // 0x4E20
    Control<QLineEdit>("edRefZistLeer")->setText("1850");   // 0x073A
    Control<QAbstractButton>("cbWriteRef")->setChecked(sendView);
    OfferWriting();
    sim.ClearFrames();

    Click("bbSendBC");

    const Bytes expected = sendView ? Bytes{0x4E, 0x20, 0x07, 0x3A}
                                    : Bytes{kRefFullHigh, kRefFullLow, kRefEmptyHigh, kRefEmptyLow};
    const Bytes memory = MemoryRange(sim, 0, 51);
    EXPECT_EQ((Bytes{memory[4], memory[5], memory[16], memory[17]}), expected) << sendView;
    EXPECT_EQ(Control<QLineEdit>("edRefZistVoll")->text(), sendView ? "20000" : "4660");
    EXPECT_EQ(Image(0, 51), memory) << "the image holds what was written";
    EXPECT_EQ(Writes(sim).size(), 52u);
    EXPECT_EQ(sim.Frames().back(), "60 00 08 68");
    EXPECT_EQ(Memo().back(), "The transfer was successful!");
    EXPECT_FALSE(Control<QAbstractButton>("cbWriteRef")->isChecked()) << "unticked by success";
    EXPECT_TRUE(form3->isEnabled());
  }
}

TEST_F(Form3Transfer, ControllerWithOtherVersionIsStillWritten) {
  SimProcess sim({"--write-enable", "--version", "1.601.59"});
  ChooseTcp(sim);
  OfferWriting();
  sim.ClearFrames();
  Click("bbSendBC");
  EXPECT_EQ(Writes(sim).size(), 52u);
  EXPECT_TRUE(Control("bbSendBC")->isHidden()) << "the check of that read hides it afterwards";
  EXPECT_EQ(Memo().back(), "The transfer was successful!");
}

TEST_F(Form3Transfer, UnparsableReferenceStopsBeforeAnyExchange) {
  SimProcess sim({"--write-enable"});
  ChooseTcp(sim);
  Control<QLineEdit>("edRefZistVoll")->setText("");
  OfferWriting();
  sim.ClearFrames();
  Click("bbSendBC");
  EXPECT_TRUE(sim.Frames().empty());
  EXPECT_EQ(desktop.messages.size(), 1);
  EXPECT_TRUE(form3->isEnabled());
  EXPECT_TRUE(Control("bbSendBC")->isEnabled());
}

TEST_F(Form3Transfer, StoppedWriteKeepsWriteRefAndReenablesTheWindow) {
  SimProcess sim({"--write-enable", "--fault", "write-stop 17"});
  ChooseTcp(sim);
  Control<QAbstractButton>("cbWriteRef")->setChecked(true);
  OfferWriting();
  sim.ClearFrames();
  Click("bbSendBC");
  EXPECT_EQ(Writes(sim).size(), 18u);
  EXPECT_EQ(sim.Frames().back(), "60 00 08 68");
  EXPECT_EQ(Memo().mid(Memo().size() - 2),
            (QStringList{"Error during writing or reading!", "->possibly no write-enable!"}));
  EXPECT_TRUE(Control<QAbstractButton>("cbWriteRef")->isChecked());
  EXPECT_EQ(desktop.enabledWhenBeeped, std::vector<bool>{false});
  EXPECT_TRUE(form3->isEnabled());
}

TEST_F(Form3Transfer, BackupModeReadsAndWritesTheWholeImage) {
  SimProcess sim({"--write-enable"});
  Bytes memory(256);
  for (int a = 0; a < 256; ++a) memory[a] = static_cast<std::uint8_t>(a * 7);
  sim.SetMemory(0, memory);
  ChooseTcp(sim);
  Control<QAbstractButton>("cbBackup")->setChecked(true);

  Click("bbReadBC");
  EXPECT_EQ(Image(0, 255), memory);

  sim.SetMemory(0, Bytes(256, 0));
  sim.ClearFrames();
  Click("bbSendBC");
  ASSERT_EQ(desktop.questions.size(), 1);
  EXPECT_TRUE(desktop.questions[0].startsWith("Info|NOTE:\n"));
  EXPECT_EQ(MemoryRange(sim, 0, 255), memory);
  EXPECT_EQ(Writes(sim).size(), 256u);
  EXPECT_EQ(sim.Frames().back(), "60 00 09 69");
  EXPECT_TRUE(Memo().contains("Restart of the control!!!"));
}

}  // namespace
}  // namespace velta::test
