// Live measurements: the run-time line, the normal and expert listings and the page exchange.
#include "controller/live_values.h"

#include <gtest/gtest.h>

#include "tests/support/recording_feedback.h"
#include "tests/support/transfer_support.h"

namespace velta {
namespace {

using Lines = std::vector<std::string>;

TEST(LiveValues, RunTimeInSinglePrecisionWithMinutesWrappingAtAnHour) {
  struct Row {
    std::uint16_t ticks;
    const char* line;
  };
  const Row rows[] = {
      {8788, "Pumpe Rest[h]: 59m:59s (8788)"},
      {10000, "Pumpe Rest[h]: 08m:16s (10000)"},
      {5, "Pumpe Rest[h]: 00m:02s (   5)"},
      {0, "Pumpe Rest[h]: 00m:00s (   0)"},
      {65535, "Pumpe Rest[h]: 27m:23s (65535)"},
  };
  for (const Row& row : rows) EXPECT_EQ(PumpRunTimeLine(row.ticks), row.line) << row.ticks;
}

TEST(LiveValues, NormalViewListsTwoLinesExpertViewEight) {
  const std::uint8_t page[14] = {0x01, 0x02, 0x00, 0xC9, 0x07, 0x3A, 0x22, 0x54,
                                 5,    60,   0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(LiveValueLines(page, false),
            (Lines{"Referenzwert(100%)=Messwert-Leerwert", "Zisterne (Messwert):1850"}));
  EXPECT_EQ(LiveValueLines(page, true),
            (Lines{"Referenzwert(100%)=Messwert-Leerwert", "Zisterne (Messwert):1850",
                   "ADC0(Druck):258", "ADC1(Temp):201", "Pumpe Rest[h]: 59m:59s (8788)",
                   "Er.L/Zähler:5", "Schreibfreigabezeit:60", "Pumpe Taktungen:4294967295"}));
  const std::uint8_t one[14] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  EXPECT_EQ(LiveValueLines(one, true).back(), "Pumpe Taktungen:         1");
}

TEST(LiveValues, GoodPageReplacesTheLog) {
  test::SimProcess sim({"--set", "level=0", "--set", "runticks=10000", "--set", "leak=7"});
  sim.SetMemory(16, {0x07, 0x3A});
  sim.ClearFrames();
  test::RecordingFeedback feedback;
  feedback.Log("older line");

  EXPECT_EQ(ReadLiveValues(OpenFromSettings(sim.TcpSettings()), feedback, false), ExchangeOutcome::Good);

  EXPECT_EQ(sim.Frames(), std::vector<std::string>{"60 00 0C 6C"});
  EXPECT_EQ(feedback.clears, 1);
  EXPECT_EQ(feedback.lines,
            (Lines{"Referenzwert(100%)=Messwert-Leerwert", "Zisterne (Messwert):1850"}));

  EXPECT_EQ(ReadLiveValues(OpenFromSettings(sim.TcpSettings()), feedback, true), ExchangeOutcome::Good);
  ASSERT_EQ(feedback.lines.size(), 8u);
  EXPECT_EQ(feedback.lines[4], "Pumpe Rest[h]: 08m:16s (10000)");
  EXPECT_EQ(feedback.lines[5], "Er.L/Zähler:7");
}

TEST(LiveValues, FaultyRepliesLeaveTheLog) {
  struct Row {
    const char* fault;
    ExchangeOutcome outcome;
    Lines lines;
  };
  const Row rows[] = {
      {"badsum page12", ExchangeOutcome::WrongSum, {"older line"}},
      {"short page12 14", ExchangeOutcome::Short, {"older line", "Fehler beim auslesen !"}},
  };
  for (const Row& row : rows) {
    test::SimProcess sim({"--fault", row.fault});
    test::RecordingFeedback feedback;
    feedback.Log("older line");
    EXPECT_EQ(ReadLiveValues(OpenFromSettings(sim.TcpSettings()), feedback, true), row.outcome) << row.fault;
    EXPECT_EQ(feedback.lines, row.lines) << row.fault;
    EXPECT_EQ(feedback.clears, 0) << row.fault;
    EXPECT_EQ(feedback.beeps, 0) << row.fault;
  }
}

}  // namespace
}  // namespace velta
