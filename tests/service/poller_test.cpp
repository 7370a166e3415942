// The one poll loop against the simulator: a link that is not there at the start is opened once
// it is, every step reaches the sinks, a lender gets the link between two steps and the poll
// goes on at the Main page, and after Stop nothing more is sent; a poll switched on and off by a
// window opens once, polls from the Main page and sends nothing once switched off.
#include "service/poller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include "link/exchange.h"
#include "tests/support/sim_process.h"
#include "tests/support/transfer_support.h"

namespace velta {
namespace {

using namespace std::chrono_literals;

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

TEST(Poller, OpensLateFeedsItsSinksLendsTheLinkAndStops) {
  std::optional<test::SimProcess> sim;
  sim.emplace(std::vector<std::string>{"--static"});
  const ConnectionSettings settings = sim->TcpSettings();
  const std::string address = "127.0.0.1:" + std::to_string(settings.tcpPort);
  sim.reset();  // nothing listens yet

  StatusWatch watch(settings);
  service::Poller poller(watch);
  std::atomic<int> failedOpens{0}, mainPages{0};
  std::atomic<bool> lend{false}, lent{false};
  poller.AddSink([&](const service::PollEvent& event) {
    if (event.step && event.step->update && event.step->update->main) {
      EXPECT_TRUE(event.values->main.has_value());
      ++mainPages;
    }
  });
  // The lender: the water meter page, which this poll never asks for, between two steps.
  poller.SetBetweenSteps([&] {
    if (!lend.exchange(false)) return false;
    Channel* link = watch.Suspend();
    EXPECT_NE(link, nullptr);
    const std::uint8_t request[] = {0x60, 0x00, 0x0F, 0x6F};
    std::uint8_t reply[kWaterMeterPageLength + 1] = {};
    if (link != nullptr && ChannelSend(link, request, 4) == 4) {
      lent = ChannelReceive(link, reply, sizeof reply) == static_cast<int>(sizeof reply);
    }
    watch.Resume();
    return true;
  });
  poller.Start([&](const WatchOpen& open) { failedOpens += open.opened ? 0 : 1; });
  ASSERT_TRUE(WaitFor([&] { return failedOpens > 0; }, 3s));
  sim.emplace(std::vector<std::string>{"--static", "--set", "watermeter=0", "--tcp", address});
  ASSERT_TRUE(WaitFor([&] { return mainPages >= 2; }, 8s)) << "polled once the link was there";

  sim->ClearFrames();
  lend = true;
  ASSERT_TRUE(WaitFor([&] { return lent.load(); }, 3s));
  ASSERT_TRUE(WaitFor([&] { return sim->Frames().size() >= 2; }, 3s));
  const std::vector<std::string> frames = sim->Frames();
  const auto borrowed = std::find(frames.begin(), frames.end(), "60 00 0F 6F");
  ASSERT_NE(borrowed, frames.end());
  ASSERT_NE(borrowed + 1, frames.end());
  EXPECT_EQ(*(borrowed + 1), "60 00 01 61") << "the poll goes on at the Main page";

  poller.Stop();
  sim->ClearFrames();
  std::this_thread::sleep_for(600ms);
  EXPECT_TRUE(sim->Frames().empty()) << "nothing is sent after Stop";
}

TEST(Poller, SwitchedOnOpensOncePollsFromTheMainPageAndSwitchedOffSendsNothing) {
  test::SimProcess sim({"--static"});
  StatusWatch watch;
  service::Poller poller(watch);
  std::atomic<int> opens{0}, opened{0}, staleSteps{0};
  std::atomic<std::uint64_t> openedSwitch{0};
  poller.AddSink([&](const service::PollEvent& event) {
    if (event.step && event.switches != poller.Switches()) ++staleSteps;
  });
  poller.StartSwitchedOff([&](const WatchOpen& open, std::uint64_t switches) {
    ++opens;
    opened += open.opened ? 1 : 0;
    openedSwitch = switches;
  });
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(opens, 0) << "switched off, the poller opens nothing";

  // A link that does not open is tried once: the window's user ticks again to retry.
  poller.SwitchOn(test::UnreachableSettings());
  ASSERT_TRUE(WaitFor([&] { return opens == 1; }, 3s));
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(opened, 0);

  sim.ClearFrames();
  poller.SwitchOn(sim.TcpSettings());
  ASSERT_TRUE(WaitFor([&] { return opened == 1; }, 3s));
  EXPECT_EQ(openedSwitch, poller.Switches());
  ASSERT_TRUE(WaitFor([&] { return sim.Frames().size() >= 3; }, 3s));
  EXPECT_EQ(sim.Frames().front(), "60 00 01 61");

  poller.SwitchOff(310ms);
  std::this_thread::sleep_for(100ms);
  sim.ClearFrames();
  std::this_thread::sleep_for(600ms);
  EXPECT_TRUE(sim.Frames().empty()) << "nothing is sent once switched off";
  EXPECT_FALSE(watch.Watching()) << "the link is closed";
  EXPECT_LE(staleSteps, 1) << "at most the step in flight is told after the switch";
  poller.Stop();
}

}  // namespace
}  // namespace velta
