#include "monitor/poll_tick.h"

#include <array>

namespace velta {

StatusUpdate DecodeReply(const PollVerdict& verdict, std::span<const std::uint8_t> reply,
                         PollCycle& cycle) {
  StatusUpdate update{verdict, {}, {}, {}, {}, false};
  if (!verdict.shown) return update;
  const StatusPage& page = StatusPageOf(verdict.page);
  if (page.view != nullptr) page.view(reply, cycle, update);
  if (page.readings != nullptr) page.readings(reply, verdict.good, update.readings);
  if (page.texts == nullptr) return update;
  const PageTexts texts = page.texts(reply, verdict.good, cycle);
  for (int i = 0; i < kMostPageFields; ++i) {
    if (texts[i] && page.fields[i].control != nullptr) update.texts.push_back({page.fields[i], *texts[i]});
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
