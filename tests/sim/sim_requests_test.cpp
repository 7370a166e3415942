// Every request the program sends, answered by the simulator over loopback TCP.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "link/connection.h"
#include "link/exchange.h"
#include "tests/sim/wire.h"
#include "tests/support/sim_process.h"

namespace velta::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct DataRequest {
  const char* name;
  Frame frame;
  int replyLength;  // data bytes and sum
};

const DataRequest kDataRequests[] = {
    {"main status page", {0x60, 0x00, 0x01, 0x61}, 15},
    {"module rinse page", {0x60, 0x00, 0x0A, 0x6A}, 7},
    {"filter rinse page", {0x60, 0x00, 0x0B, 0x6B}, 5},
    {"counters page", {0x60, 0x00, 0x0C, 0x6C}, 15},
    {"water meter page", {0x60, 0x00, 0x0F, 0x6F}, 10},
    {"history block", {0x88, 0x62, 0x39, 0x23}, 58},
    {"parameter block", {0x88, 0x00, 0x34, 0xBC}, 53},
    {"backup 1..255", {0x88, 0x01, 0xFF, 0x88}, 256},
    {"backup 0..1", {0x88, 0x00, 0x02, 0x8A}, 3},
    {"counters 0..87", {0x88, 0x00, 0x58, 0xE0}, 89},
    {"error memory 0..81", {0x88, 0x00, 0x52, 0xDA}, 83},
    {"tank table", {0x88, 0x9B, 0x65, 0x88}, 102},
};

class SimRequests : public ::testing::Test {
 protected:
  SimProcess sim;
  ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
};

TEST_F(SimRequests, DataRepliesHaveTheirExactLengthAndSum) {
  ASSERT_TRUE(channel.IsOpen());
  for (const auto& request : kDataRequests) {
    SCOPED_TRACE(request.name);
    Bytes reply(static_cast<std::size_t>(request.replyLength));
    EXPECT_EQ(Exchange(channel, request.frame, reply), ExchangeOutcome::Good);
    EXPECT_TRUE(NothingMoreWaiting(channel));
  }
}

TEST_F(SimRequests, VersionQueryAndClearErrorsAnswerWithoutSum) {
  std::array<std::uint8_t, 9> version{};
  ASSERT_EQ(ExchangeUnsummed(channel, StatusRequest(kVersionQuery), version),
            ExchangeOutcome::Good);
  EXPECT_EQ(std::string(version.begin(), version.begin() + 8), "1.601.60");
  EXPECT_TRUE(NothingMoreWaiting(channel));
  EXPECT_EQ(ExchangeAcknowledged(channel, StatusRequest(kClearErrorsRequest)),
            ExchangeOutcome::Good);
  EXPECT_TRUE(NothingMoreWaiting(channel));
}

TEST_F(SimRequests, ReadsReturnTheMemoryFromTheirAddress) {
  sim.SetMemory(0x1F0, {0x11, 0x22, 0x33, 0x44});
  sim.SetMemory(0x7FE, {0xAB, 0xCD});
  const auto memory = sim.Memory();
  ASSERT_EQ(memory.size(), 2048u);

  Bytes backup(256);
  ASSERT_EQ(Exchange(channel, ReadRequest(1, 255), backup), ExchangeOutcome::Good);
  EXPECT_EQ(Bytes(backup.begin(), backup.end() - 1),
            Bytes(memory.begin() + 1, memory.begin() + 256));

  // Address bits 8..10 travel in the command byte.
  Bytes high(5);
  EXPECT_EQ(Exchange(channel, ReadRequest(0x1F0, 0x1F3), high), ExchangeOutcome::Good);
  EXPECT_EQ(high, (Bytes{0x11, 0x22, 0x33, 0x44, 0xAA}));
  Bytes top(3);
  EXPECT_EQ(Exchange(channel, ReadRequest(0x7FE, 0x7FF), top), ExchangeOutcome::Good);
  EXPECT_EQ(top, (Bytes{0xAB, 0xCD, 0x78}));
}

TEST_F(SimRequests, RequestsWithoutReplyStaySilentAndBadSumsAreIgnored) {
  // One send carries them all, so a reply to any of them would come before the version text.
  Bytes burst;
  for (const Frame& frame : {StatusRequest(kSettingsDone), StatusRequest(kRestartRequest),
                             StatusRequest(kWriteEnableRequest), Frame{0x60, 0x00, 0x01, 0x62},
                             BuildFrame(0x60, 0x00, 0x05), BuildFrame(0x60, 0x01, 0x01),
                             BuildFrame(0x42, 0x00, 0x01), StatusRequest(kVersionQuery)}) {
    burst.insert(burst.end(), frame.begin(), frame.end());
  }
  std::array<std::uint8_t, 9> reply{};
  ASSERT_EQ(ExchangeUnsummed(channel, burst, reply), ExchangeOutcome::Good);
  EXPECT_EQ(std::string(reply.begin(), reply.begin() + 8), "1.601.60");
  EXPECT_TRUE(NothingMoreWaiting(channel));
  // The frame with the bad sum is not a request; the others are logged as they came.
  EXPECT_EQ(sim.Frames(), (std::vector<std::string>{"60 00 08 68", "60 00 09 69", "60 00 0E 6E",
                                                     "60 00 05 65", "60 01 01 62", "42 00 01 43",
                                                     "60 00 07 67"}));
}

TEST_F(SimRequests, LineNoiseBeforeARequestIsSkipped) {
  const Bytes noisy = {0x13, 0x88, 0x00, 0x60, 0x00, 0x01, 0x61};
  Bytes reply(15);
  EXPECT_EQ(Exchange(channel, noisy, reply), ExchangeOutcome::Good);
  EXPECT_EQ(sim.Frames(), std::vector<std::string>{"60 00 01 61"});
}

TEST_F(SimRequests, WritesNeedTheWriteEnableAndStoreTheByte) {
  const auto before = sim.Memory();
  EXPECT_EQ(ExchangeAcknowledged(channel, WriteRequest(kTcpWriteBase, 5, 0x2A)),
            ExchangeOutcome::Short);
  EXPECT_EQ(sim.Memory()[5], before[5]);

  SendRequest(channel, StatusRequest(kWriteEnableRequest));
  Bytes page(15);
  ASSERT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), page), ExchangeOutcome::Good);
  EXPECT_EQ(page[6] & 0x40, 0x40) << "main page shows the write enable";

  EXPECT_EQ(ExchangeAcknowledged(channel, WriteRequest(kTcpWriteBase, 5, 0x2A)),
            ExchangeOutcome::Good);
  EXPECT_EQ(ExchangeAcknowledged(channel, WriteRequest(kSerialWriteBase, 0x3FF, 0x17)),
            ExchangeOutcome::Good);
  const auto after = sim.Memory();
  EXPECT_EQ(after[5], 0x2A);
  EXPECT_EQ(after[0x3FF], 0x17);

  // The grant runs out with the controller's clock.
  sim.Query("advance 61");
  EXPECT_EQ(ExchangeAcknowledged(channel, WriteRequest(kTcpWriteBase, 6, 0x01)),
            ExchangeOutcome::Short);
  EXPECT_EQ(sim.Memory()[6], after[6]);
}

TEST_F(SimRequests, ClearErrorsResetsTheErrorFlagsButNotTheErrorMemory) {
  const auto countsBefore = sim.Memory();
  sim.Set("error=0x0C error2=0x10");
  Bytes page(15);
  ASSERT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), page), ExchangeOutcome::Good);
  EXPECT_EQ(page[5] & 0xFC, 0x0C);
  EXPECT_EQ(page[6] & 0x1F, 0x10);
  // Er.b, Er.P and Er.F were counted once each in the error memory (64 + index).
  const auto counts = sim.Memory();
  EXPECT_EQ(counts[71], countsBefore[71] + 1);
  EXPECT_EQ(counts[65], countsBefore[65] + 1);
  EXPECT_EQ(counts[74], countsBefore[74] + 1);
  EXPECT_EQ(counts[64], countsBefore[64]);

  EXPECT_EQ(ExchangeAcknowledged(channel, StatusRequest(kClearErrorsRequest)),
            ExchangeOutcome::Good);
  ASSERT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), page), ExchangeOutcome::Good);
  EXPECT_EQ(page[5] & 0xFC, 0);
  EXPECT_EQ(page[6] & 0x1F, 0);
  EXPECT_EQ(sim.Memory()[71], counts[71]);
}

TEST(SimRequestOptions, VersionAndAcknowledgeByteAreConfigurable) {
  SimProcess sim({"--version", "1.601.59", "--ack", "0xFF", "--write-enable"});
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  std::array<std::uint8_t, 9> version{};
  EXPECT_EQ(ExchangeUnsummed(channel, StatusRequest(kVersionQuery), version),
            ExchangeOutcome::Good);
  EXPECT_EQ(std::string(version.begin(), version.end()).substr(0, 8), "1.601.59");
  std::uint8_t ack[1] = {};
  EXPECT_EQ(ExchangeUnsummed(channel, WriteRequest(kTcpWriteBase, 0xFF, 100), ack),
            ExchangeOutcome::Good);
  EXPECT_EQ(ack[0], 0xFF);
  EXPECT_EQ(sim.Memory()[0xFF], 100);
}

TEST(SimRequestOptions, ANewConnectionIsServedAfterTheOldOneClosed) {
  SimProcess sim;
  for (int round = 0; round < 3; ++round) {
    const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
    ASSERT_TRUE(channel.IsOpen());
    Bytes page(15);
    EXPECT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), page), ExchangeOutcome::Good);
  }
  // A request sent just before the close is still counted.
  SendRequest(OpenFromSettings(sim.TcpSettings()), StatusRequest(kSettingsDone));
  EXPECT_EQ(sim.Frames().back(), "60 00 08 68");
}

}  // namespace
}  // namespace velta::test

namespace velta::test {
namespace {

// With a baud rate the replies trickle out byte by byte; they must still be whole and in order.
TEST(SimPacedReplies, ArriveCompleteAtRealLineSpeed) {
  SimProcess sim({"--baud", "9600"});
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  for (const auto& request : kDataRequests) {
    SCOPED_TRACE(request.name);
    Bytes reply(static_cast<std::size_t>(request.replyLength));
    EXPECT_EQ(Exchange(channel, request.frame, reply), ExchangeOutcome::Good);
  }
}

TEST(SimPacedReplies, ADroppedConnectionStillGetsItsLastReply) {
  SimProcess sim({"--baud", "9600", "--fault", "drop-after 1"});
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  Bytes reply(256);
  EXPECT_EQ(Exchange(channel, ReadRequest(1, 255), reply), ExchangeOutcome::Good);
  Bytes page(15);
  std::int32_t received = -1;
  EXPECT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), page, &received),
            ExchangeOutcome::Short);
  EXPECT_EQ(received, 0);
}

}  // namespace
}  // namespace velta::test
