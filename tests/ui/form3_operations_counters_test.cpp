// The Settings window's counters, error memory and live values against the simulated controller.
#include "tests/ui/form3_operations_support.h"

namespace velta::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

enum CounterItem { kHours = 0, kStarts = 1, kMains = 2, kCistern = 3 };

class Form3Counters : public Form3OperationsTest {};

TEST_F(Form3Counters, ReadHoursThenWriteThemIntoTheMainsCounter) {
  SimProcess sim({"--write-enable", "--set", "hours=1234", "--set", "mains=5"});
  ChooseTcp(sim);
  EXPECT_FALSE(Control("bbReadH")->isEnabled());
  Pick("cbClr", kHours);
  Click("bbReadH");
  EXPECT_EQ(Control<QLineEdit>("edPumpeH")->text(), "1234");
  ASSERT_TRUE(Control("bbWriteH")->isEnabled());

  Pick("cbClr", kMains);  // a new pick does not take writing away
  sim.ClearFrames();
  Click("bbWriteH");

  EXPECT_EQ(desktop.questions,
            QStringList{"Info|ATTENTION:\nAll new counters into the control transfer?\n"});
  EXPECT_EQ(Writes(sim), (std::vector<std::string>{"98 34 00 CC", "98 35 00 CD", "98 36 04 D2",
                                                   "98 37 D2 A1"}));
  EXPECT_EQ(sim.Frames().back(), "60 00 09 69");
  EXPECT_EQ(MemoryRange(sim, 52, 55), (Bytes{0, 0, 0x04, 0xD2}));
  EXPECT_EQ(Memo().back(), "The transfer was successful!");
  EXPECT_EQ(Control<QAbstractButton>("bbWriteH")->text(), "Transfer") << "caption restored";
  EXPECT_TRUE(Control("bbWriteH")->isEnabled());
  EXPECT_TRUE(form3->isEnabled());
}

TEST_F(Form3Counters, EmptyFieldWritesZeroHours) {
  SimProcess sim({"--write-enable", "--set", "hours=999"});
  ChooseTcp(sim);
  Pick("cbClr", kHours);
  Control("bbWriteH")->setEnabled(true);
  Control<QLineEdit>("edPumpeH")->setText("");
  Click("bbWriteH");
  EXPECT_EQ(MemoryRange(sim, 60, 63), (Bytes{0, 0, 0, 0}));
}

TEST_F(Form3Counters, NumberBeyond32BitsIsRefusedAndNothingWritten) {
  SimProcess sim({"--write-enable"});
  ChooseTcp(sim);
  Pick("cbClr", kStarts);
  Control("bbWriteH")->setEnabled(true);
  Control<QLineEdit>("edPumpeH")->setText("4294967296");
  const Bytes imageBefore = Image(84, 87);
  sim.ClearFrames();
  Click("bbWriteH");
  EXPECT_TRUE(sim.Frames().empty());
  EXPECT_EQ(desktop.messages, QStringList{"'4294967296' ist kein gültiger Integerwert"});
  EXPECT_EQ(Image(84, 87), imageBefore);
  EXPECT_TRUE(form3->isEnabled());
  EXPECT_TRUE(Control("bbWriteH")->isEnabled());
}

TEST_F(Form3Counters, BadChecksumKeepsTheField) {
  SimProcess sim({"--fault", "badsum read", "--set", "starts=77"});
  ChooseTcp(sim);
  Pick("cbClr", kStarts);
  Control<QLineEdit>("edPumpeH")->setText("12");
  Click("bbReadH");
  EXPECT_EQ(Control<QLineEdit>("edPumpeH")->text(), "12");
  EXPECT_FALSE(Control("bbWriteH")->isEnabled());
}

TEST_F(Form3Counters, ErrorMemoryReadReplacesTheMemo) {
  SimProcess sim;
  sim.SetMemory(64, {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255});
  ChooseTcp(sim);
  Control<QPlainTextEdit>("Memo3")->appendPlainText("older line");
  Click("bbReadError");
  const QStringList memo = Memo();
  ASSERT_EQ(memo.size(), 16);
  EXPECT_EQ(memo[0], "Control read out...");
  EXPECT_EQ(memo.mid(3, 3), (QStringList{"", "fault storage:", "Er.t #3"}));
  EXPECT_EQ(memo[14], "Overflow #0");
  EXPECT_EQ(memo[15], "Er.F #255");
  EXPECT_EQ(Control<QAbstractButton>("bbReadError")->text(), "Read") << "caption restored";
  EXPECT_TRUE(Control("bbReadError")->isEnabled());
}

TEST_F(Form3Counters, ClearingAsksWhileDisabledAndWritesOneZero) {
  SimProcess sim({"--write-enable"});
  sim.SetMemory(64, Bytes(11, 4));
  ChooseTcp(sim);
  Pick("cbFehlerspeicher", 10);
  ASSERT_TRUE(Control("bbClrError")->isEnabled());
  sim.ClearFrames();
  Click("bbClrError");
  EXPECT_EQ(desktop.enabledWhenAsked, std::vector<bool>{false});
  EXPECT_EQ(sim.Frames(), std::vector<std::string>{"98 4A 00 E2"});
  EXPECT_EQ(MemoryRange(sim, 64, 74), (Bytes{4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 0}));
  EXPECT_TRUE(Control("bbClrError")->isEnabled());

  desktop.answerYes = false;
  sim.ClearFrames();
  Click("bbClrError");
  EXPECT_TRUE(sim.Frames().empty());
  EXPECT_TRUE(form3->isEnabled());
}

TEST_F(Form3Counters, LiveValuesListTwoLinesInTheNormalViewAndEightForExperts) {
  SimProcess sim({"--set", "level=0", "--set", "runticks=8788"});
  sim.SetMemory(16, {0x07, 0x3A});
  ChooseTcp(sim);
  Control<QPlainTextEdit>("Memo3")->appendPlainText("older line");
  Click("bbReadTimer");
  EXPECT_EQ(Memo(), (QStringList{"Reference value (100%) = measured value - empties value",
                                 "value cistern:1850"}));
  Control<QRadioButton>("rbExperte")->setChecked(true);
  Click("bbReadTimer");
  ASSERT_EQ(Memo().size(), 8);
  EXPECT_EQ(Memo()[4], "Pump rest[h]: 59m:59s (8788)");
  EXPECT_TRUE(Control("bbReadTimer")->isEnabled());
}

}  // namespace
}  // namespace velta::test
