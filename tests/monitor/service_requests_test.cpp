// Clear-errors and write-enable requests against the simulator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/poll_tick.h"
#include "monitor/service_requests.h"
#include "tests/support/sim_process.h"
#include "tests/support/transfer_support.h"

namespace velta {
namespace {

// One Main status page read on a Channel of its own.
MainPageView ReadMainPage(const ConnectionSettings& settings) {
  PollCycle cycle;
  StatusUpdate update = PollTick(cycle, OpenFromSettings(settings));
  if (!update.main) ADD_FAILURE() << "no Main status page";
  return update.main.value_or(MainPageView{});
}

TEST(ClearErrors, AnyAcknowledgementCountsAndTheFlagsGo) {
  for (const char* ack : {"0", "0xFF"}) {
    test::SimProcess sim({"--static", "--set", "error=0x0C", "--set", std::string("ack=") + ack});
    ASSERT_TRUE(ReadMainPage(sim.TcpSettings()).errors->stored);
    sim.ClearFrames();
    EXPECT_EQ(RequestClearErrors(sim.TcpSettings()), ExchangeOutcome::Good) << ack;
    EXPECT_EQ(sim.Frames(), std::vector<std::string>{"60 00 0D 6D"});
    EXPECT_EQ(ReadMainPage(sim.TcpSettings()).errors->lines,
              std::vector<std::string>{"Keine Fehler"});
  }
}

TEST(ClearErrors, NoReplyOrNoChannel) {
  test::SimProcess sim({"--static", "--fault", "noreply clear"});
  EXPECT_EQ(RequestClearErrors(sim.TcpSettings()), ExchangeOutcome::Short);
  EXPECT_EQ(sim.Frames(), std::vector<std::string>{"60 00 0D 6D"});
  EXPECT_EQ(RequestClearErrors(test::UnreachableSettings()), ExchangeOutcome::NoChannel);
}

TEST(WriteEnable, RequestShowsOnTheNextMainPage) {
  test::SimProcess sim({"--static"});
  EXPECT_FALSE(ReadMainPage(sim.TcpSettings()).writeEnabled);
  sim.ClearFrames();
  EXPECT_TRUE(RequestWriteEnable(sim.TcpSettings()));
  EXPECT_TRUE(ReadMainPage(sim.TcpSettings()).writeEnabled);
  EXPECT_EQ(sim.Frames(), (std::vector<std::string>{"60 00 0E 6E", "60 00 01 61"}));
  EXPECT_FALSE(RequestWriteEnable(test::UnreachableSettings()));
}

}  // namespace
}  // namespace velta
