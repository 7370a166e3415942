#include "monitor/poll_cycle.h"

#include "controller/memory_map.h"
#include "link/big_endian.h"
#include "monitor/main_page_bits.h"
#include "monitor/side_pages.h"

namespace velta {
namespace {

PageDecode DecoderOf(PollState state) {
  switch (state) {
    case PollState::MainStatus: return PageDecode::MainStatus;
    case PollState::ModuleRinse: return PageDecode::ModuleRinse;
    case PollState::FilterRinse: return PageDecode::FilterRinse;
    case PollState::Counters: return PageDecode::Counters;
    case PollState::WaterMeter: return PageDecode::WaterMeter;
    case PollState::History: return PageDecode::History;
  }
  return PageDecode::None;
}

void TakeMainPageFlags(PollCycle& cycle, std::span<const std::uint8_t> page) {
  using namespace main_page;
  cycle.moduleRinseConfigured = (page[kInputsByte] & kModuleRinseConfigured) != 0;
  cycle.levelMeasurementOn = (page[kInputsByte] & kNoLevelMeasurement) == 0;
  cycle.rinseRunning = (page[kOutputsByte] & kRinseRunning) != 0;
  cycle.waterMeterPresent = (page[kFlagsByte] & kWaterMeterPresent) != 0;
  cycle.pumpHours = BigEndian16(page, kPumpHoursByte);
}

PollState AfterCounters(const PollCycle& cycle) {
  if (cycle.moduleRinseConfigured) return PollState::ModuleRinse;
  if (cycle.filterRinseConfigured) return PollState::FilterRinse;
  return PollState::MainStatus;
}

PollState NextState(const PollCycle& cycle, PollState state, bool good, bool historyDue) {
  const PollState meterOrCounters = cycle.waterMeterPresent ? PollState::WaterMeter
                                                            : PollState::Counters;
  switch (state) {
    case PollState::MainStatus:
      if (!good) return state;
      return historyDue ? PollState::History : meterOrCounters;
    case PollState::History: return meterOrCounters;
    case PollState::WaterMeter: return PollState::Counters;
    case PollState::Counters: return AfterCounters(cycle);
    case PollState::ModuleRinse:
      if (!good) return state;
      return cycle.filterRinseConfigured ? PollState::FilterRinse : PollState::MainStatus;
    case PollState::FilterRinse: return good ? PollState::MainStatus : state;
  }
  return PollState::MainStatus;
}

}  // namespace

void ResetForPollingStart(PollCycle& cycle) {
  cycle.mainPageCount = 0;
  cycle.filterRinseConfigured = true;
}

Frame PollRequest(PollState state) {
  // The ring and the newest sample's address behind it.
  if (state == PollState::History) return ReadRequest(kHistoryRingAddress, kHistoryPositionAddress);
  return StatusRequest(static_cast<std::uint8_t>(state));
}

int PollReplyLength(PollState state) {
  switch (state) {
    case PollState::MainStatus: return kMainStatusPageLength + 1;
    case PollState::ModuleRinse: return kModuleRinsePageLength + 1;
    case PollState::FilterRinse: return kFilterRinsePageLength + 1;
    case PollState::Counters: return kCountersPageLength + 1;
    case PollState::WaterMeter: return kWaterMeterPageLength + 1;
    case PollState::History: return kLongestPollReply;
  }
  return kMainStatusPageLength + 1;
}

PollVerdict PollStep(PollCycle& cycle, std::span<const std::uint8_t> reply,
                     ExchangeOutcome outcome) {
  const PollState state = cycle.state;
  const bool good = outcome == ExchangeOutcome::Good;
  bool historyDue = false;

  if (good && state == PollState::MainStatus) {
    TakeMainPageFlags(cycle, reply);
    historyDue = cycle.mainPageCount == 0;
    ++cycle.mainPageCount;
  }
  if (good && state == PollState::FilterRinse && IsNoFilterRinse(reply)) {
    cycle.filterRinseConfigured = false;
  }

  // The Counters page is shown from any reply of full length; its decoder checks the sum for the
  // one field that needs it.
  const bool fullCounters = state == PollState::Counters && outcome == ExchangeOutcome::WrongSum;
  const PollVerdict verdict{state, good || fullCounters ? DecoderOf(state) : PageDecode::None, good};
  cycle.state = NextState(cycle, state, good, historyDue);
  return verdict;
}

}  // namespace velta
