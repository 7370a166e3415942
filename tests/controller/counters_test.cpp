// Operating hours and counters: the number the user types, where each counter lives, and the
// read and write exchanges with the simulated controller.
#include "controller/counters.h"

#include <gtest/gtest.h>

#include "tests/support/recording_feedback.h"
#include "tests/support/transfer_support.h"

namespace velta {
namespace {

using Frames = std::vector<std::string>;

TEST(ParseCounterValue, AcceptsEmptyAndUnsigned32BitDecimalsOnly) {
  struct Row {
    const char* text;
    std::optional<std::uint32_t> value;
  };
  const Row rows[] = {
      {"", 0u},           {"0", 0u},       {"65536", 65536u},  {"4294967295", 4294967295u},
      {"4294967296", {}}, {"99999999999", {}}, {"-1", {}},     {"+5", {}},
      {" 5", {}},         {"5 ", {}},      {"12a", {}},        {"0x10", {}},
  };
  for (const Row& row : rows) EXPECT_EQ(ParseCounterValue(row.text), row.value) << row.text;
}

TEST(StoreCounter, EachCounterOwnsItsBytesAndHoursClearTheUpperWord) {
  struct Row {
    Counter counter;
    std::uint32_t value;
    int first;
    std::vector<std::uint8_t> bytes;
    const char* shown;
  };
  const Row rows[] = {
      {Counter::PumpHours, 70000, 60, {0, 0, 0x11, 0x70}, "4464"},  // low 16 bits of 70000
      {Counter::PumpHours, 0, 60, {0, 0, 0, 0}, "0"},
      {Counter::PumpStarts, 0x01020304, 84, {1, 2, 3, 4}, "16909060"},
      {Counter::MainsPulses, 4294967295u, 52, {255, 255, 255, 255}, "4294967295"},
      {Counter::CisternPulses, 256, 56, {0, 0, 1, 0}, "256"},
  };
  for (const Row& row : rows) {
    ControllerImage image;
    image.bytes.fill(0xAA);
    StoreCounter(image, row.counter, row.value);
    const AddressRange written = CounterWriteRange(row.counter);
    EXPECT_EQ(written.first, row.first);
    EXPECT_EQ(written.last, row.first + 3);
    for (int a = 0; a < kImageSize; ++a) {
      const bool inside = a >= row.first && a <= row.first + 3;
      EXPECT_EQ(image.Byte(a), inside ? row.bytes[a - row.first] : 0xAA) << "address " << a;
    }
    EXPECT_EQ(CounterText(image, row.counter), row.shown);
  }
}

TEST(CounterExchange, HoursAreWrittenAsFourBytesThenRestart) {
  test::SimProcess sim({"--pty", "--write-enable", "--set", "hours=999"});
  sim.SetMemory(60, {7, 7});
  sim.ClearFrames();
  ControllerImage image;
  test::RecordingFeedback feedback;

  EXPECT_TRUE(WriteCounter(test::PtySettings(sim, 214), feedback, image, Counter::PumpHours, 258));

  EXPECT_EQ(sim.Frames(),
            (Frames{"90 3C 00 CC", "90 3D 00 CD", "90 3E 01 CF", "90 3F 02 D1", "60 00 09 69"}));
  EXPECT_EQ(test::MemoryRange(sim, 60, 63), (std::vector<std::uint8_t>{0, 0, 1, 2}));
  EXPECT_EQ(feedback.lines, std::vector<std::string>{"Die Übertragung war erfolgreich!"});
  EXPECT_EQ(feedback.barMaximum, 3);
}

TEST(CounterExchange, ReadCopiesOnlyTheChosenCounter) {
  test::SimProcess sim({"--set", "hours=1234", "--set", "starts=4294967295", "--set",
                        "mains=77", "--set", "cistern=66"});
  sim.ClearFrames();
  struct Row {
    Counter counter;
    const char* shown;
    int first;
    int last;
  };
  const Row rows[] = {
      {Counter::PumpHours, "1234", 62, 63},
      {Counter::PumpStarts, "4294967295", 84, 87},
      {Counter::MainsPulses, "77", 52, 55},
      {Counter::CisternPulses, "66", 56, 59},
  };
  const std::vector<std::uint8_t> memory = test::MemoryRange(sim, 0, 255);
  for (const Row& row : rows) {
    ControllerImage image;
    image.bytes.fill(0xCC);
    test::RecordingFeedback feedback;
    EXPECT_EQ(ReadCounter(sim.TcpSettings(), feedback, image, row.counter), row.shown);
    for (int a = 0; a < kImageSize; ++a) {
      const bool inside = a >= row.first && a <= row.last;
      EXPECT_EQ(image.Byte(a), inside ? memory[a] : 0xCC) << "address " << a;
    }
  }
  EXPECT_EQ(sim.Frames().front(), "88 00 58 E0");
}

TEST(CounterExchange, BadChecksumShowsNothingAndKeepsTheImage) {
  test::SimProcess sim({"--fault", "badsum read", "--set", "hours=5"});
  ControllerImage image;
  test::RecordingFeedback feedback;
  EXPECT_EQ(ReadCounter(sim.TcpSettings(), feedback, image, Counter::PumpHours), std::nullopt);
  EXPECT_EQ(image.bytes, ControllerImage{}.bytes);
}

TEST(CounterExchange, MissingAcknowledgementStopsButRestarts) {
  test::SimProcess sim({"--write-enable", "--fault", "write-stop 54"});
  sim.SetMemory(52, {1, 2, 3, 4});
  sim.ClearFrames();
  ControllerImage image;
  test::RecordingFeedback feedback;

  EXPECT_FALSE(WriteCounter(sim.TcpSettings(), feedback, image, Counter::MainsPulses, 0x0A0B0C0D));

  EXPECT_EQ(sim.Frames(), (Frames{"98 34 0A D6", "98 35 0B D8", "98 36 0C DA", "60 00 09 69"}));
  EXPECT_EQ(test::MemoryRange(sim, 52, 55), (std::vector<std::uint8_t>{10, 11, 3, 4}));
  EXPECT_EQ(feedback.lines, std::vector<std::string>{
                                "Fehler beim Schreiben oder Lesen!\n->Möglicherweise keine "
                                "Schreibfreigabe!"});
  EXPECT_EQ(feedback.beeps, 1);
}

TEST(CounterExchange, ChannelThatDoesNotOpenKeepsTheNewValueInTheImage) {
  ControllerImage image;
  test::RecordingFeedback feedback;
  EXPECT_FALSE(
      WriteCounter(test::UnreachableSettings(), feedback, image, Counter::CisternPulses, 9));
  EXPECT_EQ(image.Long(56), 9u);
  EXPECT_EQ(feedback.lines, (std::vector<std::string>{"Fehler beim Öffnen der Schnittstelle!",
                                                       test::kRefusedReason}));
  EXPECT_EQ(feedback.beeps, 1);
}

}  // namespace
}  // namespace velta
