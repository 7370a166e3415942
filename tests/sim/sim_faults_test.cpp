// Faults switched on from the command line and mid-run through the control port.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "link/connection.h"
#include "link/exchange.h"
#include "tests/sim/wire.h"
#include "tests/support/sim_process.h"

namespace velta::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class SimFaults : public ::testing::Test {
 protected:
  SimProcess sim{{"--write-enable"}};
  ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
};

// The Main status page as the program reads it.
ExchangeOutcome MainPage(const ChannelHandle& channel) {
  Bytes page(15);
  return Exchange(channel, StatusRequest(kMainStatusPage), page);
}

struct ReplyFaultCase {
  const char* fault;
  Frame request;
  int replyLength;          // what the request normally gets
  bool summed;              // a data reply, whose last byte is the sum of the others
  int received;             // what arrives under the fault
  ExchangeOutcome outcome;  // how the program judges it
};

const ReplyFaultCase kReplyFaults[] = {
    {"noreply page11", StatusRequest(kFilterRinsePage), 5, true, 0, ExchangeOutcome::Short},
    {"short page1 5", StatusRequest(kMainStatusPage), 15, true, 5, ExchangeOutcome::Short},
    {"short read 52", ReadRequest(0, 51), 53, true, 52, ExchangeOutcome::Short},
    {"badsum page12", StatusRequest(kCountersPage), 15, true, 15, ExchangeOutcome::WrongSum},
    {"badsum read", ReadRequest(0x62, 0x62 + 56), 58, true, 58, ExchangeOutcome::WrongSum},
    {"noreply clear", StatusRequest(kClearErrorsRequest), 1, false, 0, ExchangeOutcome::Short},
    {"short version 8", StatusRequest(kVersionQuery), 9, false, 8, ExchangeOutcome::Short},
    {"noreply write", WriteRequest(kTcpWriteBase, 10, 1), 1, false, 0, ExchangeOutcome::Short},
    {"noreply page 10", StatusRequest(kModuleRinsePage), 7, true, 0, ExchangeOutcome::Short},
    {"short 0x98 0", WriteRequest(kTcpWriteBase, 10, 1), 1, false, 0, ExchangeOutcome::Short},
    // The other write base, and another page: untouched.
    {"badsum 0x90", WriteRequest(kTcpWriteBase, 10, 1), 1, false, 1, ExchangeOutcome::Good},
    {"badsum page99", StatusRequest(kMainStatusPage), 15, true, 15, ExchangeOutcome::Good},
};

TEST_F(SimFaults, ReplyFaultsHitOnlyTheSelectedRequests) {
  for (const auto& c : kReplyFaults) {
    SCOPED_TRACE(c.fault);
    sim.Fault("clear");
    sim.Fault(c.fault);
    Bytes reply(static_cast<std::size_t>(c.replyLength));
    std::int32_t received = -1;
    const ExchangeOutcome outcome = c.summed
                                        ? Exchange(channel, c.request, reply, &received)
                                        : ExchangeUnsummed(channel, c.request, reply, &received);
    EXPECT_EQ(received, c.received);
    EXPECT_EQ(outcome, c.outcome);
    // The main status page stays good unless it is the one selected.
    if (c.request != StatusRequest(kMainStatusPage)) {
      EXPECT_EQ(MainPage(channel), ExchangeOutcome::Good);
    }
  }
  sim.Fault("clear");
  EXPECT_TRUE(sim.Query("faults").empty());
}

TEST_F(SimFaults, FilterRinseOffReadsAllOnesWithAGoodSum) {
  sim.Set("filter=0");
  Bytes page(5);
  EXPECT_EQ(Exchange(channel, StatusRequest(kFilterRinsePage), page), ExchangeOutcome::Good);
  EXPECT_EQ(page, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFC}));
}

TEST_F(SimFaults, WritesStopBeingAcknowledgedFromTheChosenAddress) {
  sim.Fault("write-stop 17");
  const auto before = sim.Memory();
  for (int a = 0; a < 17; ++a) {
    ASSERT_EQ(ExchangeAcknowledged(channel, WriteRequest(kTcpWriteBase, a, 0xA5)),
              ExchangeOutcome::Good)
        << a;
  }
  EXPECT_EQ(ExchangeAcknowledged(channel, WriteRequest(kTcpWriteBase, 17, 0xA5)),
            ExchangeOutcome::Short);
  const auto after = sim.Memory();
  EXPECT_EQ(after[16], 0xA5);
  EXPECT_EQ(after[17], before[17]);
}

TEST_F(SimFaults, StaleBytesAfterAReplyAreThrownAwayByTheNextSend) {
  sim.Fault("stale 3");
  ASSERT_EQ(MainPage(channel), ExchangeOutcome::Good);
  EXPECT_FALSE(NothingMoreWaiting(channel)) << "stale bytes follow the reply";
  sim.Fault("clear");
  Bytes counters(15);
  EXPECT_EQ(Exchange(channel, StatusRequest(kCountersPage), counters), ExchangeOutcome::Good);
  EXPECT_TRUE(NothingMoreWaiting(channel));
}

TEST_F(SimFaults, ConnectionIsDroppedAfterKRequestsAndANewOneWorks) {
  sim.Fault("drop-after 3");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(MainPage(channel), ExchangeOutcome::Good) << i;
  Bytes page(15);
  std::int32_t received = -1;
  EXPECT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), page, &received),
            ExchangeOutcome::Short);
  EXPECT_EQ(received, 0);
  // A new connection, as a program makes after a dropped one.
  channel.Close();
  channel = OpenFromSettings(sim.TcpSettings());
  EXPECT_EQ(Exchange(channel, StatusRequest(kCountersPage), page), ExchangeOutcome::Good);
}

TEST_F(SimFaults, MalformedFaultsAreRefused) {
  for (const char* bad : {"noreply", "noreply page", "noreply pagex", "short page1",
                          "short page1 -1", "write-stop 2048", "handshake 256", "drop-after 0",
                          "badsum page1 extra", "noreply 0x100", "noreply page 11 extra",
                          "block-ack 1", "block-ack 1 256", "block-ack x 0x55", "boot-late -1",
                          "explode"}) {
    EXPECT_THROW(sim.Fault(bad), std::runtime_error) << bad;
  }
  EXPECT_TRUE(sim.Query("faults").empty());
}

TEST(SimFaultOptions, FaultsFromTheCommandLineApplyFromTheStart) {
  SimProcess sim({"--fault", "noreply page1", "--fault", "badsum page15"});
  EXPECT_EQ(sim.Query("faults"), (std::vector<std::string>{"noreply page1", "badsum page15"}));
  const ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  Bytes meters(10);
  EXPECT_EQ(Exchange(channel, StatusRequest(kWaterMeterPage), meters), ExchangeOutcome::WrongSum);
  Bytes page(15);
  std::int32_t received = -1;
  EXPECT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), page, &received),
            ExchangeOutcome::Short);
  EXPECT_EQ(received, 0);
}

}  // namespace
}  // namespace velta::test
