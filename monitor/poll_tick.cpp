#include "monitor/poll_tick.h"

#include <array>

namespace velta {

StatusUpdate DecodeReply(const PollVerdict& verdict, std::span<const std::uint8_t> reply,
                         PollCycle& cycle) {
  StatusUpdate update{verdict, {}, {}, {}, {}, {}, {}, false};
  switch (verdict.decode) {
    case PageDecode::None: break;
    case PageDecode::MainStatus: update.main = DecodeMainPage(reply, cycle); break;
    case PageDecode::ModuleRinse:
      update.moduleRinse = DecodeModuleRinsePage(reply, cycle.rinseRunning);
      break;
    case PageDecode::FilterRinse: update.filterRinse = DecodeFilterRinsePage(reply); break;
    case PageDecode::Counters:
      update.counters = DecodeCountersPage(reply, verdict.good, cycle.pumpHours);
      break;
    case PageDecode::WaterMeter: update.waterMeters = DecodeWaterMeterPage(reply); break;
    case PageDecode::History:
      update.history = DecodeHistoryBlock(reply, cycle.levelMeasurementOn);
      break;
  }
  return update;
}

StatusUpdate PollTick(PollCycle& cycle, const ChannelHandle& channel) {
  // Zeroed each tick so a short reply never shows bytes of an earlier one.
  std::array<std::uint8_t, kLongestPollReply> reply{};
  const auto length = static_cast<std::size_t>(PollReplyLength(cycle.state));
  const ExchangeOutcome outcome =
      Exchange(channel, PollRequest(cycle.state), std::span(reply).first(length));
  const PollVerdict verdict = PollStep(cycle, reply, outcome);
  StatusUpdate update = DecodeReply(verdict, reply, cycle);
  update.lost = outcome != ExchangeOutcome::Good && ChannelHungUp(channel.get());
  ChannelDiscardInput(channel.get());
  return update;
}

}  // namespace velta
