// The error memory: its listing and clearing one count on the simulated controller.
#include "controller/error_memory.h"

#include <gtest/gtest.h>

#include "tests/support/recording_feedback.h"
#include "tests/support/transfer_support.h"

namespace velta {
namespace {

using Lines = std::vector<std::string>;

TEST(ErrorMemory, ReadListsElevenCountsAfterTheReadLines) {
  test::SimProcess sim;
  sim.SetMemory(64, {3, 1, 2, 4, 5, 6, 7, 8, 9, 0, 255});
  sim.ClearFrames();
  ControllerImage image;
  test::RecordingFeedback feedback;

  EXPECT_TRUE(ReadErrorMemory(sim.TcpSettings(), feedback, image));

  EXPECT_EQ(sim.Frames().front(), "88 00 52 DA");
  EXPECT_EQ(feedback.lines,
            (Lines{"Steuerung auslesen...", "Daten wurden richtig ausgelesen!",
                   "Steuerung Version -->V1.60", "", "Fehlerspeicher:", "Er.t #3", "Er.P #1",
                   "Er.C #2", "Er.h #4", "Er.L #5", "Er.1 #6", "Er.2 #7", "Er.b #8", "P.LE #9",
                   "Rückstau #0", "Er.F #255"}));
  for (int a = 0; a < kImageSize; ++a) {
    EXPECT_EQ(image.Byte(a), a >= 64 && a <= 74 ? sim.Memory()[a] : 0) << "address " << a;
  }
}

TEST(ErrorMemory, FailedReadListsNoCounts) {
  test::SimProcess sim({"--fault", "badsum read"});
  sim.SetMemory(64, {3});
  ControllerImage image;
  test::RecordingFeedback feedback;
  EXPECT_FALSE(ReadErrorMemory(sim.TcpSettings(), feedback, image));
  EXPECT_EQ(std::find(feedback.lines.begin(), feedback.lines.end(), "Fehlerspeicher:"),
            feedback.lines.end());
  EXPECT_EQ(image.Byte(64), 0);
}

TEST(ErrorMemory, ClearingSendsOneWriteOfZeroToTheChosenCounter) {
  test::SimProcess sim({"--pty", "--write-enable"});
  struct Row {
    const char* link;
    ConnectionSettings settings;
    int index;
    const char* frame;
  };
  const Row rows[] = {
      {"serial", test::PtySettings(sim, 215), 10, "90 4A 00 DA"},
      {"tcp", sim.TcpSettings(), 10, "98 4A 00 E2"},
      {"tcp", sim.TcpSettings(), 0, "98 40 00 D8"},
  };
  for (const Row& row : rows) {
    sim.SetMemory(64, std::vector<std::uint8_t>(11, 9));
    sim.ClearFrames();
    test::RecordingFeedback feedback;
    EXPECT_TRUE(ClearErrorCounter(row.settings, feedback, row.index)) << row.link;
    EXPECT_EQ(sim.Frames(), std::vector<std::string>{row.frame}) << row.link;
    const auto counts = test::MemoryRange(sim, 64, 74);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(counts[i], i == row.index ? 0 : 9) << row.link << i;
    EXPECT_EQ(feedback.lines, Lines{"Die Übertragung war erfolgreich!"}) << row.link;
  }
}

TEST(ErrorMemory, UnacknowledgedClearReportsWithoutSuccess) {
  test::SimProcess sim;  // no write enable
  test::RecordingFeedback feedback;
  EXPECT_FALSE(ClearErrorCounter(sim.TcpSettings(), feedback, 3));
  EXPECT_EQ(feedback.lines,
            Lines{"Fehler beim Schreiben oder Lesen!\n->Möglicherweise keine Schreibfreigabe!"});
  EXPECT_EQ(feedback.beeps, 1);
  EXPECT_EQ(sim.Frames(), std::vector<std::string>{"98 43 00 DB"}) << "no Restart request";
}

}  // namespace
}  // namespace velta
