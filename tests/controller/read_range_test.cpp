// Reading controller memory from the simulator: the frames on the wire, the checksum test, the
// version query and check.
#include "controller/read_range.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "tests/support/recording_feedback.h"
#include "tests/support/transfer_support.h"

namespace velta {
namespace {

using Lines = std::vector<std::string>;
using Frames = std::vector<std::string>;

// Nine characters, as the exchange hands them on only when all nine came.
TEST(ParseVersionReply, UsesBytesZeroTwoThreeForDisplayAndFourSixSevenForTheNumber) {
  struct Row {
    std::string reply;
    int shown0, shown1, shown2;
    int number;
  };
  const Row rows[] = {
      {"1.601.60X", 1, 6, 0, 160},
      {"1.601.59\n", 1, 6, 0, 159},
      {"2.153.07 ", 2, 1, 5, 307},
  };
  for (const Row& row : rows) {
    std::array<std::uint8_t, kVersionReplyLength> bytes{};
    std::copy(row.reply.begin(), row.reply.end(), bytes.begin());
    const ControllerVersion version = ParseVersionReply(bytes);
    EXPECT_EQ(version.shown[0], row.shown0) << row.reply;
    EXPECT_EQ(version.shown[1], row.shown1) << row.reply;
    EXPECT_EQ(version.shown[2], row.shown2) << row.reply;
    EXPECT_EQ(version.number, row.number) << row.reply;
  }
}

TEST(ReadRange, ParameterBlockIsOneRequestOf53BytesThenTheVersionQuery) {
  test::SimProcess sim;
  sim.SetMemory(0, test::Pattern(52, 250));
  sim.ClearFrames();
  test::RecordingFeedback feedback;

  const ReadResult read = ReadRange(OpenFromSettings(sim.TcpSettings()), feedback, 0, 51);

  EXPECT_TRUE(read.success);
  EXPECT_EQ(read.version, 160);
  EXPECT_EQ(read.data, test::Pattern(52, 250));
  EXPECT_EQ(sim.Frames(), (Frames{"88 00 34 BC", "60 00 07 67"}));
  EXPECT_EQ(feedback.lines, (Lines{"Steuerung auslesen...", "Daten wurden richtig ausgelesen!",
                                   "Steuerung Version -->V1.60"}));
  EXPECT_EQ(feedback.beeps, 0);
  EXPECT_EQ(feedback.colours, std::vector<BarColour>{BarColour::Green});
  EXPECT_EQ(feedback.positions, (std::vector<int>{feedback.barMaximum, 0})) << "filled, emptied";
  EXPECT_EQ(feedback.writeButtons, std::vector<bool>{true});
}

TEST(ReadRange, AllZeroDataWithChecksumZeroIsValid) {
  test::SimProcess sim;
  sim.SetMemory(0, std::vector<std::uint8_t>(88, 0));
  test::RecordingFeedback feedback;
  const ReadResult read = ReadRange(OpenFromSettings(sim.TcpSettings()), feedback, 0, 87);
  EXPECT_TRUE(read.success);
  EXPECT_EQ(read.data, std::vector<std::uint8_t>(88, 0));
}

// The version decides only about writing: the read itself succeeds either way.
TEST(ReadRange, VersionCheckLinesAndWriteButtons) {
  struct Row {
    const char* version;
    Lines tail;
    int beeps;
    bool buttons;
  };
  const Row rows[] = {
      {"1.601.60", {"Steuerung Version -->V1.60"}, 0, true},
      {"1.601.59",
       {"Steuerung Version -->V1.60", "Falsche Programm Version!",
        "Benötigte Programm Version -->V1.59"},
       1,
       false},
      {"1.591.60", {"Steuerung Version -->V1.59"}, 0, true},
      // Newer than required is as wrong as older.
      {"1.601.61",
       {"Steuerung Version -->V1.60", "Falsche Programm Version!",
        "Benötigte Programm Version -->V1.61"},
       1,
       false},
  };
  for (const Row& row : rows) {
    test::SimProcess sim({"--version", row.version});
    test::RecordingFeedback feedback;
    const ReadResult read = ReadRange(OpenFromSettings(sim.TcpSettings()), feedback, 0, 51);
    EXPECT_TRUE(read.success) << row.version;
    Lines expected{"Steuerung auslesen...", "Daten wurden richtig ausgelesen!"};
    expected.insert(expected.end(), row.tail.begin(), row.tail.end());
    EXPECT_EQ(feedback.lines, expected) << row.version;
    EXPECT_EQ(feedback.beeps, row.beeps) << row.version;
    EXPECT_EQ(feedback.writeButtons, std::vector<bool>{row.buttons}) << row.version;
  }
}

TEST(ReadRange, ShortReplySkipsTheVersionQueryAndFailsTheCheck) {
  test::SimProcess sim({"--fault", "short read 52"});
  sim.ClearFrames();
  test::RecordingFeedback feedback;
  const ReadResult read = ReadRange(OpenFromSettings(sim.TcpSettings()), feedback, 0, 51);
  EXPECT_FALSE(read.success);
  EXPECT_EQ(read.version, 0);
  EXPECT_EQ(sim.Frames(), Frames{"88 00 34 BC"});
  EXPECT_EQ(feedback.lines, (Lines{"Steuerung auslesen...", "Fehler beim Auslesen!",
                                   "Falsche Programm Version!"}));
  EXPECT_EQ(feedback.beeps, 2);
  EXPECT_EQ(feedback.writeButtons, std::vector<bool>{false});
}

TEST(ReadRange, MissingVersionReplyFailsTheCheckWithoutVersionLine) {
  test::SimProcess sim({"--fault", "short version 8"});
  test::RecordingFeedback feedback;
  const ReadResult read = ReadRange(OpenFromSettings(sim.TcpSettings()), feedback, 0, 51);
  EXPECT_TRUE(read.success);
  EXPECT_EQ(read.version, 0);
  EXPECT_EQ(feedback.lines, (Lines{"Steuerung auslesen...", "Daten wurden richtig ausgelesen!",
                                   "Falsche Programm Version!"}));
  EXPECT_EQ(feedback.writeButtons, std::vector<bool>{false});
}

}  // namespace
}  // namespace velta
