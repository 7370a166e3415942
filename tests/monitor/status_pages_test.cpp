// The table of status pages against the simulator: every row's request is answered with a reply
// of the row's length and a good sum, and each page shows its texts under the row's fields.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

#include "link/exchange.h"
#include "monitor/poll_tick.h"
#include "tests/support/sim_process.h"

namespace velta {
namespace {

TEST(StatusPages, TheSimulatorAnswersEveryRowWithItsLengthAndAGoodSum) {
  test::SimProcess sim({"--set", "watermeter=1", "--set", "modulerinse=1", "--set", "filter=1"});
  ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  ASSERT_TRUE(channel.IsOpen());
  for (const StatusPage& page : StatusPages()) {
    std::array<std::uint8_t, kLongestPollReply + 1> reply{};
    std::int32_t received = 0;
    // One byte more than the row says: a longer reply shows as a full buffer.
    Exchange(channel, page.request, std::span(reply).first(page.replyLength + 1), &received);
    EXPECT_EQ(received, page.replyLength) << page.name;
    EXPECT_EQ(JudgeDataReply(std::span(reply).first(page.replyLength), received),
              ExchangeOutcome::Good)
        << page.name;
  }
}

TEST(StatusPages, EachPageShowsItsTextsUnderItsFieldsOnly) {
  struct Row {
    PollState state;
    std::set<std::string> keys;  // with every optional page configured and good replies
  };
  const Row rows[] = {
      {PollState::MainStatus, {}},
      {PollState::History, {}},
      {PollState::WaterMeter, {"water_meter_1", "water_meter_2", "water_meter_pulse"}},
      {PollState::Counters, {"pump_starts", "pump_hours", "leak_starts"}},
      {PollState::ModuleRinse, {"module_rinse"}},
      {PollState::FilterRinse, {"filter_rinse"}},
  };
  test::SimProcess sim({"--static", "--set", "watermeter=1", "--set", "modulerinse=1", "--set",
                        "filter=1", "--set", "leak=1"});
  ChannelHandle channel = OpenFromSettings(sim.TcpSettings());
  ASSERT_TRUE(channel.IsOpen());
  PollCycle cycle;
  std::set<PollState> seen;
  for (std::size_t tick = 0; tick < std::size(rows); ++tick) {
    const StatusUpdate update = PollTick(cycle, channel);
    ASSERT_TRUE(update.verdict.good);
    seen.insert(update.verdict.page);
    const Row* row = nullptr;
    for (const Row& candidate : rows) {
      if (candidate.state == update.verdict.page) row = &candidate;
    }
    ASSERT_NE(row, nullptr);
    std::set<std::string> keys;
    for (const ShownText& shown : update.texts) {
      keys.insert(shown.field.key);
      EXPECT_FALSE(shown.text.empty()) << shown.field.key;
    }
    EXPECT_EQ(keys, row->keys) << StatusPageOf(update.verdict.page).name;
    EXPECT_EQ(update.main.has_value(), row->state == PollState::MainStatus);
    EXPECT_EQ(update.history.has_value(), row->state == PollState::History);
    EXPECT_EQ(update.readings.Given(ReadingId::WaterMeter1), row->state == PollState::WaterMeter);
  }
  EXPECT_EQ(seen.size(), std::size(rows)) << "one pass with every page configured visits each row";
}

}  // namespace
}  // namespace velta
