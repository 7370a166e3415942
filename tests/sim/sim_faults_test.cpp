// Faults switched on from the command line and mid-run through the control port.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "link/channel.h"
#include "link/frames.h"
#include "tests/sim/exchange.h"
#include "tests/support/sim_process.h"

namespace velta::test {
namespace {

class SimFaults : public ::testing::Test {
 protected:
  SimProcess sim{{"--write-enable"}};
  SimTcpChannel channel{sim};
};

struct ReplyFaultCase {
  const char* fault;
  Frame request;
  int replyLength;     // what the request normally gets
  int received;        // what arrives under the fault
  bool sumGood;        // whether the last byte still matches
};

const ReplyFaultCase kReplyFaults[] = {
    {"noreply page11", StatusRequest(kFilterRinsePage), 5, 0, false},
    {"short page1 5", StatusRequest(kMainStatusPage), 15, 5, false},
    {"short read 52", ReadRequest(0, 51), 53, 52, false},
    {"badsum page12", StatusRequest(kCountersPage), 15, 15, false},
    {"badsum read", ReadRequest(0x62, 0x62 + 56), 58, 58, false},
    {"noreply clear", StatusRequest(kClearErrorsRequest), 1, 0, false},
    {"short version 8", StatusRequest(kVersionQuery), 9, 8, false},
    {"noreply write", WriteRequest(kTcpWriteBase, 10, 1), 1, 0, false},
    {"noreply page 10", StatusRequest(kModuleRinsePage), 7, 0, false},
    {"short 0x98 0", WriteRequest(kTcpWriteBase, 10, 1), 1, 0, false},
    {"badsum 0x90", WriteRequest(kTcpWriteBase, 10, 1), 1, 1, true},   // the other write base
    {"badsum page99", StatusRequest(kMainStatusPage), 15, 15, true},  // another page: untouched
};

TEST_F(SimFaults, ReplyFaultsHitOnlyTheSelectedRequests) {
  for (const auto& c : kReplyFaults) {
    SCOPED_TRACE(c.fault);
    sim.Fault("clear");
    sim.Fault(c.fault);
    const auto reply = Exchange(channel, c.request, c.replyLength);
    EXPECT_EQ(reply.size(), static_cast<std::size_t>(c.received));
    if (c.received == c.replyLength && c.replyLength > 1) {
      EXPECT_EQ(SumMatches(reply), c.sumGood);
    }
    // The main status page stays good unless it is the one selected.
    if (c.request != StatusRequest(kMainStatusPage)) {
      const auto page = Exchange(channel, StatusRequest(kMainStatusPage), 15);
      EXPECT_TRUE(page.size() == 15 && SumMatches(page));
    }
  }
  sim.Fault("clear");
  EXPECT_TRUE(sim.Query("faults").empty());
}

TEST_F(SimFaults, FilterRinseOffReadsAllOnesWithAGoodSum) {
  sim.Set("filter=0");
  EXPECT_EQ(Exchange(channel, StatusRequest(kFilterRinsePage), 5),
            (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFC}));
}

TEST_F(SimFaults, WritesStopBeingAcknowledgedFromTheChosenAddress) {
  sim.Fault("write-stop 17");
  const auto before = sim.Memory();
  for (int a = 0; a < 17; ++a) {
    ASSERT_EQ(Exchange(channel, WriteRequest(kTcpWriteBase, a, 0xA5), 1).size(), 1u) << a;
  }
  EXPECT_TRUE(Exchange(channel, WriteRequest(kTcpWriteBase, 17, 0xA5), 1).empty());
  const auto after = sim.Memory();
  EXPECT_EQ(after[16], 0xA5);
  EXPECT_EQ(after[17], before[17]);
}

TEST_F(SimFaults, StaleBytesAfterAReplyAreThrownAwayByTheNextSend) {
  sim.Fault("stale 3");
  const auto first = Exchange(channel, StatusRequest(kMainStatusPage), 15);
  ASSERT_EQ(first.size(), 15u);
  EXPECT_TRUE(SumMatches(first));
  EXPECT_FALSE(NothingMoreWaiting(channel)) << "stale bytes follow the reply";
  sim.Fault("clear");
  const auto second = Exchange(channel, StatusRequest(kCountersPage), 15);
  ASSERT_EQ(second.size(), 15u);
  EXPECT_TRUE(SumMatches(second));
  EXPECT_TRUE(NothingMoreWaiting(channel));
}

TEST_F(SimFaults, ConnectionIsDroppedAfterKRequestsAndANewOneWorks) {
  sim.Fault("drop-after 3");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Exchange(channel, StatusRequest(kMainStatusPage), 15).size(), 15u) << i;
  }
  EXPECT_TRUE(Exchange(channel, StatusRequest(kMainStatusPage), 15).empty());
  channel.Reconnect();
  EXPECT_EQ(Exchange(channel, StatusRequest(kCountersPage), 15).size(), 15u);
}

TEST_F(SimFaults, MalformedFaultsAreRefused) {
  for (const char* bad : {"noreply", "noreply page", "noreply pagex", "short page1",
                          "short page1 -1", "write-stop 2048", "handshake 256", "drop-after 0",
                          "badsum page1 extra", "noreply 0x100", "noreply page 11 extra",
                          "explode"}) {
    EXPECT_THROW(sim.Fault(bad), std::runtime_error) << bad;
  }
  EXPECT_TRUE(sim.Query("faults").empty());
}

TEST(SimFaultOptions, FaultsFromTheCommandLineApplyFromTheStart) {
  SimProcess sim({"--fault", "noreply page1", "--fault", "badsum page15"});
  EXPECT_EQ(sim.Query("faults"), (std::vector<std::string>{"noreply page1", "badsum page15"}));
  SimTcpChannel channel(sim);
  const auto meters = Exchange(channel, StatusRequest(kWaterMeterPage), 10);
  ASSERT_EQ(meters.size(), 10u);
  EXPECT_FALSE(SumMatches(meters));
  EXPECT_TRUE(Exchange(channel, StatusRequest(kMainStatusPage), 15).empty());
}

}  // namespace
}  // namespace velta::test
