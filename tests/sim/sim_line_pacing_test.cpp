// The simulator as a line at a given baud rate: request bytes are complete only after their time
// on the wire, counted on a model clock here; and what that means for the program and for tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/exchange.h"
#include "link/port_search.h"
#include "sim/input_queue.h"
#include "tests/sim/wire.h"
#include "tests/support/sim_process.h"

namespace velta::test {
namespace {

using sim::InputQueue;

constexpr double kByte9600 = 10.0 / 9600;
constexpr double kClockSlack = 1e-9;

struct Arrival {
  double at;
  int count;
};

struct PacingCase {
  const char* name;
  int baud;
  std::vector<Arrival> arrivals;
  std::vector<double> complete;  // when each byte's last bit is in
};

const PacingCase kPacingCases[] = {
    {"a request read in one piece takes four byte times", 9600, {{0.0, 4}},
     {kByte9600, 2 * kByte9600, 3 * kByte9600, 4 * kByte9600}},
    {"a byte that arrives on an idle line starts then", 9600, {{0.0, 1}, {1.0, 1}},
     {kByte9600, 1.0 + kByte9600}},
    {"a byte that arrives while the line is busy waits for it", 9600, {{0.0, 2}, {0.001, 1}},
     {kByte9600, 2 * kByte9600, 3 * kByte9600}},
    {"a slow line", 300, {{0.5, 2}}, {0.5 + 10.0 / 300, 0.5 + 20.0 / 300}},
    {"unpaced bytes are complete when they arrive", 0, {{0.0, 2}, {0.25, 1}}, {0.0, 0.0, 0.25}},
};

TEST(SimInputQueue, BytesAreCompleteOnlyAfterTheirTimeOnTheWire) {
  for (const PacingCase& row : kPacingCases) {
    SCOPED_TRACE(row.name);
    InputQueue queue(row.baud);
    std::uint8_t next = 0;
    for (const Arrival& arrival : row.arrivals) {
      std::vector<std::uint8_t> bytes;
      for (int i = 0; i < arrival.count; ++i) bytes.push_back(next++);
      queue.Add(bytes, arrival.at);
    }
    EXPECT_NEAR(queue.LastComplete(), row.complete.back(), kClockSlack);
    std::vector<InputQueue::Byte> taken;
    auto take = [&](double now) {
      for (const InputQueue::Byte& byte : queue.TakeComplete(now)) taken.push_back(byte);
    };
    for (std::size_t i = 0; i < row.complete.size(); ++i) {
      SCOPED_TRACE("byte " + std::to_string(i));
      const double early = row.complete[i] - 0.0001;
      if (row.baud > 0) {
        take(early);
        EXPECT_EQ(taken.size(), i);
        EXPECT_NEAR(queue.SecondsToNext(early), 0.0001, kClockSlack);
      }
      take(row.complete[i] + kClockSlack);
      ASSERT_GT(taken.size(), i);
      EXPECT_EQ(taken[i].value, i);
      EXPECT_NEAR(taken[i].complete, row.complete[i], kClockSlack);
    }
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(queue.SecondsToNext(10.0), -1);
  }
}

// 33 ms a byte: a request is well over 100 ms on the line, long enough that a control command
// sent right after it would come first if the simulator did not wait for the line.
const std::vector<std::string> kSlowLine = {"--baud", "300", "--write-enable", "--pty"};
constexpr std::uint32_t kComPort = 43;

// Over TCP only: the kernel hands pseudo-terminal bytes on through a worker thread, so there a
// control command could overtake a request that has not even reached the simulator.
TEST(SimSlowLine, ControlCommandsSeeTheRequestsSentBeforeThem) {
  SimProcess sim(kSlowLine);
  const ChannelHandle channel(OpenTcpChannel("127.0.0.1", sim.TcpPort()));
  ASSERT_TRUE(channel.IsOpen());
  // Send and receive apart, to look at the simulator in between.
  const Frame request = WriteRequest(kTcpWriteBase, 0x20, 0x5A);
  ASSERT_EQ(ChannelSend(channel.get(), request.data(), 4), 4);
  EXPECT_EQ(sim.Frames().back(), HexFrame(request));
  EXPECT_EQ(sim.Memory()[0x20], 0x5A);
  // The acknowledgement still comes, whole, after the request.
  std::uint8_t ack = 0xEE;
  EXPECT_EQ(ChannelReceive(channel.get(), &ack, 1), 1);
  EXPECT_EQ(ack, 0x00);
}

TEST(SimSlowLine, RequestsOverThePseudoTerminalAreAnsweredWhole) {
  SimProcess sim(kSlowLine);
  SetComPortOverride(kComPort, sim.PtyPath());
  ChannelHandle channel(OpenSerialChannel(kComPort, 9600));
  ASSERT_TRUE(channel.IsOpen());
  std::uint8_t ack[1] = {0xEE};
  EXPECT_EQ(ExchangeUnsummed(channel, WriteRequest(kSerialWriteBase, 0x21, 0xA5), ack),
            ExchangeOutcome::Good);
  EXPECT_EQ(ack[0], 0x00);
  std::vector<std::uint8_t> page(5);
  EXPECT_EQ(Exchange(channel, StatusRequest(kFilterRinsePage), page), ExchangeOutcome::Good);
  channel.Close();
  SetComPortOverride(kComPort, "");
  EXPECT_EQ(sim.Memory()[0x21], 0xA5);
}

TEST(SimSlowLine, ARequestStillOnTheLineWhenTheProgramReconnectsIsServed) {
  SimProcess sim(kSlowLine);
  const Frame done = StatusRequest(kSettingsDone);
  {
    const ChannelHandle first(OpenTcpChannel("127.0.0.1", sim.TcpPort()));
    ASSERT_EQ(ChannelSend(first.get(), done.data(), 4), 4);
  }
  {
    const ChannelHandle second(OpenTcpChannel("127.0.0.1", sim.TcpPort()));
    std::vector<std::uint8_t> page(5);
    EXPECT_EQ(Exchange(second, StatusRequest(kFilterRinsePage), page), ExchangeOutcome::Good);
  }
  const auto frames = sim.Frames();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], HexFrame(done));
  EXPECT_EQ(frames[1], HexFrame(StatusRequest(kFilterRinsePage)));
}

}  // namespace
}  // namespace velta::test
