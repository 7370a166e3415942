// Reading the tank table from the simulated controller and sending it back, over TCP and over a
// pseudo-terminal, including the replies and missing acknowledgements that end a transfer.
#include "controller/tank_transfer.h"

#include <gtest/gtest.h>

#include "tests/support/english_suite.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/sim_process.h"
#include "tests/support/transfer_support.h"

namespace velta {
namespace {

constexpr const char* kWriteError = "Error during writing or reading!\n->possibly no write-enable!";
constexpr std::uint32_t kPtyComPort = 201;

std::vector<std::uint8_t> Linear() {
  std::vector<std::uint8_t> bytes(kTankEntries);
  for (int i = 0; i < kTankEntries; ++i)
    bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  return bytes;
}

TankTable Filled(std::int32_t value) {
  TankTable table;
  table.fill(value);
  return table;
}

std::vector<std::uint8_t> TableBytes(test::SimProcess& sim) {
  return test::MemoryRange(sim, kTankTableAddress, kTankTableAddress + kTankEntries - 1);
}

ExchangeOutcome Read(const ConnectionSettings& settings, TankTable& table, Feedback& feedback) {
  return ReadTankTableFromController(OpenFromSettings(settings), table, feedback);
}

int Send(const ConnectionSettings& settings, const TankTable& table, Feedback& feedback) {
  return SendTankTableToController(OpenFromSettings(settings), settings, table, feedback);
}

class TankTransfer : public test::EnglishSuite {};

TEST_F(TankTransfer, GoodReadReplacesTableAndLogsEveryEntry) {
  test::SimProcess sim;
  std::vector<std::uint8_t> bytes = Linear();
  bytes[17] = 200;  // controller bytes are taken unchecked
  bytes[18] = 3;
  sim.SetMemory(kTankTableAddress, bytes);
  sim.ClearFrames();

  TankTable table = Filled(-1);
  test::RecordingFeedback feedback;
  feedback.Log("earlier line");
  EXPECT_EQ(Read(sim.TcpSettings(), table, feedback), ExchangeOutcome::Good);

  EXPECT_EQ(sim.Frames(), std::vector<std::string>{"88 9B 65 88"});
  std::vector<std::string> expected = {"earlier line", "Data were properly read out!"};
  for (int i = 0; i < kTankEntries; ++i) {
    EXPECT_EQ(table[static_cast<std::size_t>(i)], bytes[static_cast<std::size_t>(i)]) << i;
    expected.push_back(std::to_string(i) + ";" +
                       std::to_string(bytes[static_cast<std::size_t>(i)]));
  }
  EXPECT_EQ(feedback.lines, expected);
  EXPECT_EQ(feedback.beeps, 0);
}

TEST_F(TankTransfer, BadReadsKeepTheTableAndLogOneLine) {
  const struct {
    const char* what;
    const char* fault;
    ExchangeOutcome result;
    const char* line;
  } cases[] = {
      {"101 of 102 bytes", "short read 101", ExchangeOutcome::Short, "Error during reading !"},
      {"no reply", "noreply read", ExchangeOutcome::Short, "Error during reading !"},
      {"wrong checksum", "badsum read", ExchangeOutcome::WrongSum, "Data were wrong selected!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::SimProcess sim({"--fault", c.fault});
    TankTable table = Filled(42);
    test::RecordingFeedback feedback;
    EXPECT_EQ(Read(sim.TcpSettings(), table, feedback), c.result);
    EXPECT_EQ(feedback.lines, std::vector<std::string>{c.line});
    EXPECT_EQ(table, Filled(42));
  }
}

TEST_F(TankTransfer, SendWritesEveryEntryWithTheRightBaseAndNoClosingRequest) {
  test::SimProcess sim({"--write-enable", "--pty"});
  TankTable table;
  for (int i = 0; i < kTankEntries; ++i) table[static_cast<std::size_t>(i)] = i;
  table[3] = 0x1FF;  // only the low byte travels
  const struct {
    const char* what;
    ConnectionSettings settings;
    const char* first;
    const char* last;
  } cases[] = {
      {"TCP", sim.TcpSettings(), "98 9B 00 33", "98 FF 64 FB"},
      {"TCP with Admin 0x02", sim.TcpSettings(kAdminSerialWriteBase), "90 9B 00 2B", "90 FF 64 F3"},
      {"serial", test::PtySettings(sim, kPtyComPort), "90 9B 00 2B", "90 FF 64 F3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sim.SetMemory(kTankTableAddress, std::vector<std::uint8_t>(kTankEntries, 0xAA));
    sim.ClearFrames();
    test::RecordingFeedback feedback;
    EXPECT_EQ(Send(c.settings, table, feedback), kTankEntries);

    const auto frames = sim.Frames();
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(kTankEntries));
    EXPECT_EQ(frames.front(), c.first);
    EXPECT_EQ(frames.back(), c.last);
    std::vector<std::uint8_t> expected(kTankEntries);
    for (int i = 0; i < kTankEntries; ++i) {
      expected[static_cast<std::size_t>(i)] =
          static_cast<std::uint8_t>(table[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(TableBytes(sim), expected);
    // A complete send logs no success line; the bar runs 0..100 of 120 and drops back.
    EXPECT_EQ(feedback.lines, std::vector<std::string>{"Transfer all attitudes to the control…"});
    EXPECT_EQ(feedback.colours, std::vector<BarColour>{BarColour::Red});
    EXPECT_EQ(feedback.barMaximum, 120);
    ASSERT_EQ(feedback.positions.size(), static_cast<std::size_t>(kTankEntries + 1));
    EXPECT_EQ(feedback.positions[100], 100);
    EXPECT_EQ(feedback.positions.back(), 0);
  }
}

TEST_F(TankTransfer, MissingAcknowledgementStopsAtThatEntry) {
  const struct {
    const char* what;
    std::vector<std::string> args;
    int acknowledged;
  } cases[] = {
      {"first write unanswered", {"--write-enable", "--fault", "write-stop 155"}, 0},
      {"no write enable", {}, 0},
      {"stops at address 200", {"--write-enable", "--fault", "write-stop 200"}, 45},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::SimProcess sim(c.args);
    sim.SetMemory(kTankTableAddress, std::vector<std::uint8_t>(kTankEntries, 0xAA));
    sim.ClearFrames();
    test::RecordingFeedback feedback;
    EXPECT_EQ(Send(sim.TcpSettings(), Filled(7), feedback), c.acknowledged);

    // The unanswered write is the last request: nothing after it, no closing request.
    const auto frames = sim.Frames();
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(c.acknowledged + 1));
    EXPECT_EQ(frames.back(), Format("98 %02X 07 %02X", kTankTableAddress + c.acknowledged,
                                    (0x98 + kTankTableAddress + c.acknowledged + 7) & 0xFF));
    EXPECT_EQ(feedback.lines,
              (std::vector<std::string>{"Transfer all attitudes to the control…", kWriteError}));
    EXPECT_EQ(feedback.beeps, 1);
    ASSERT_EQ(feedback.positions.size(), static_cast<std::size_t>(c.acknowledged + 1));
    EXPECT_EQ(feedback.positions.back(), 0);
    std::vector<std::uint8_t> expected(kTankEntries, 0xAA);
    std::fill_n(expected.begin(), c.acknowledged, 7);
    EXPECT_EQ(TableBytes(sim), expected);
  }
}

TEST_F(TankTransfer, AnyAcknowledgementByteCounts) {
  test::SimProcess sim({"--write-enable", "--ack", "255"});
  test::RecordingFeedback feedback;
  EXPECT_EQ(Send(sim.TcpSettings(), Filled(9), feedback), kTankEntries);
  EXPECT_EQ(TableBytes(sim), std::vector<std::uint8_t>(kTankEntries, 9));
  EXPECT_EQ(feedback.beeps, 0);
}

}  // namespace
}  // namespace velta
