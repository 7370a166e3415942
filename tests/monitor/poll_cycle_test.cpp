// The poll cycle's requests, reply lengths and transitions, driven with hand-made replies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/poll_cycle.h"

namespace velta {
namespace {

// `data` followed by its sum (or a wrong one).
std::vector<std::uint8_t> Reply(std::vector<std::uint8_t> data, bool goodSum = true) {
  std::uint8_t sum = 0;
  for (auto b : data) sum = static_cast<std::uint8_t>(sum + b);
  data.push_back(goodSum ? sum : static_cast<std::uint8_t>(sum + 1));
  return data;
}

std::vector<std::uint8_t> MainPage(std::uint8_t inputs, std::uint8_t byte6, bool goodSum = true) {
  return Reply({0, 0, 0, inputs, 0, 0, byte6, 50, 0, 30, 100, 0x01, 0x02, 255}, goodSum);
}

// A reply that came whole, judged as the exchange judges it.
PollVerdict Step(PollCycle& cycle, const std::vector<std::uint8_t>& reply) {
  return PollStep(cycle, reply, JudgeDataReply(reply, static_cast<std::int32_t>(reply.size())));
}

TEST(PollRequests, FramesAndLengthsPerState) {
  const struct {
    PollState state;
    Frame frame;
    int length;
  } rows[] = {
      {PollState::MainStatus, {0x60, 0x00, 0x01, 0x61}, 15},
      {PollState::ModuleRinse, {0x60, 0x00, 0x0A, 0x6A}, 7},
      {PollState::FilterRinse, {0x60, 0x00, 0x0B, 0x6B}, 5},
      {PollState::Counters, {0x60, 0x00, 0x0C, 0x6C}, 15},
      {PollState::WaterMeter, {0x60, 0x00, 0x0F, 0x6F}, 10},
      {PollState::History, {0x88, 0x62, 0x39, 0x23}, 58},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(PollRequest(row.state), row.frame) << int(row.state);
    EXPECT_EQ(PollReplyLength(row.state), row.length) << int(row.state);
  }
}

TEST(PollSteps, MainPageTakesFlagsAndReadsHistoryAtCountZero) {
  PollCycle cycle;
  // Module rinse configured, no level measurement, water meter present.
  const auto page = MainPage(0x30, 0x20);
  PollVerdict verdict = Step(cycle, page);
  EXPECT_TRUE(verdict.shown);
  EXPECT_TRUE(verdict.good);
  EXPECT_EQ(cycle.state, PollState::History);
  EXPECT_EQ(cycle.mainPageCount, 1);
  EXPECT_TRUE(cycle.moduleRinseConfigured);
  EXPECT_FALSE(cycle.levelMeasurementOn);
  EXPECT_TRUE(cycle.waterMeterPresent);
  EXPECT_EQ(cycle.pumpHours, 0x0102);

  cycle.state = PollState::MainStatus;
  Step(cycle, page);
  EXPECT_EQ(cycle.state, PollState::WaterMeter) << "history only after the page seen at count 0";

  cycle.state = PollState::MainStatus;
  cycle.mainPageCount = 0xFFFF;
  Step(cycle, MainPage(0x00, 0x00));
  EXPECT_EQ(cycle.mainPageCount, 0) << "16-bit count wraps";
  EXPECT_EQ(cycle.state, PollState::Counters);
  EXPECT_TRUE(cycle.levelMeasurementOn);
}

TEST(PollSteps, FailedRepliesStayOrMoveOnPerState) {
  struct Row {
    PollState from;
    PollState afterFailure;
  };
  // With every optional page configured.
  const Row rows[] = {
      {PollState::MainStatus, PollState::MainStatus}, {PollState::History, PollState::WaterMeter},
      {PollState::WaterMeter, PollState::Counters},   {PollState::Counters, PollState::ModuleRinse},
      {PollState::ModuleRinse, PollState::ModuleRinse},
      {PollState::FilterRinse, PollState::FilterRinse},
  };
  for (const Row& row : rows) {
    PollCycle configured;
    configured.waterMeterPresent = configured.moduleRinseConfigured = true;
    configured.mainPageCount = 5;
    const auto length = static_cast<std::size_t>(PollReplyLength(row.from));
    // A reply of full length with a wrong sum, and one whose last byte never came.
    const std::vector<std::uint8_t> badSum(length, 0x01);
    std::vector<std::uint8_t> shortReply(length, 0x00);
    for (const auto& [reply, outcome] : {std::pair{badSum, ExchangeOutcome::WrongSum},
                                         std::pair{shortReply, ExchangeOutcome::Short}}) {
      PollCycle cycle = configured;
      cycle.state = row.from;
      const PollVerdict verdict = PollStep(cycle, reply, outcome);
      EXPECT_FALSE(verdict.good);
      EXPECT_EQ(cycle.state, row.afterFailure) << int(row.from) << " outcome " << int(outcome);
      EXPECT_EQ(cycle.mainPageCount, 5);
      const bool shownAnyway =
          row.from == PollState::Counters && outcome == ExchangeOutcome::WrongSum;
      EXPECT_EQ(verdict.shown, shownAnyway)
          << int(row.from) << " outcome " << int(outcome);
    }
  }
}

TEST(PollSteps, OptionalPagesFollowTheirFlags) {
  struct Row {
    bool meter, module, filter;
    std::vector<PollState> pass;  // states after the first Main page of a pass (history done)
  };
  const Row rows[] = {
      {false, false, false, {PollState::Counters, PollState::MainStatus}},
      {true, false, false, {PollState::WaterMeter, PollState::Counters, PollState::MainStatus}},
      {false, true, false, {PollState::Counters, PollState::ModuleRinse, PollState::MainStatus}},
      {false, false, true, {PollState::Counters, PollState::FilterRinse, PollState::MainStatus}},
      {true, true, true,
       {PollState::WaterMeter, PollState::Counters, PollState::ModuleRinse, PollState::FilterRinse,
        PollState::MainStatus}},
  };
  for (const Row& row : rows) {
    PollCycle cycle;
    cycle.mainPageCount = 1;
    cycle.filterRinseConfigured = row.filter;
    std::vector<PollState> seen;
    seen.push_back((Step(cycle, MainPage(row.module ? 0x10 : 0, row.meter ? 0x20 : 0)), cycle.state));
    while (cycle.state != PollState::MainStatus) {
      const auto reply = Reply(std::vector<std::uint8_t>(PollReplyLength(cycle.state) - 1, 0x11));
      Step(cycle, reply);
      seen.push_back(cycle.state);
    }
    EXPECT_EQ(seen, row.pass) << row.meter << row.module << row.filter;
  }
}

TEST(PollSteps, FilterRinseFFDropsThePageUntilRestart) {
  PollCycle cycle;
  cycle.state = PollState::FilterRinse;
  Step(cycle, Reply({0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_FALSE(cycle.filterRinseConfigured);
  EXPECT_EQ(cycle.state, PollState::MainStatus);
  cycle.state = PollState::Counters;
  Step(cycle, Reply(std::vector<std::uint8_t>(14, 0)));
  EXPECT_EQ(cycle.state, PollState::MainStatus);

  // The same bytes with a wrong sum are not a page and change nothing.
  PollCycle other;
  other.state = PollState::FilterRinse;
  Step(other, Reply({0xFF, 0xFF, 0xFF, 0xFF}, false));
  EXPECT_TRUE(other.filterRinseConfigured);

  cycle.mainPageCount = 7;
  cycle.state = PollState::Counters;
  ResetForPollingStart(cycle);
  EXPECT_TRUE(cycle.filterRinseConfigured);
  EXPECT_EQ(cycle.mainPageCount, 0);
  EXPECT_EQ(cycle.state, PollState::Counters) << "a restart resumes where the cycle was left";
}

}  // namespace
}  // namespace velta
