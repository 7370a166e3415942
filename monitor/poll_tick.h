// One tick of the status poll: exactly one request/reply exchange on the poll Channel, decoded
// into what the Monitor window has to change.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "link/channel_handle.h"
#include "monitor/history_block.h"
#include "monitor/main_page.h"
#include "monitor/poll_cycle.h"
#include "monitor/side_pages.h"

namespace velta {

// Only the part the reply decoded is set; everything else on the window stays as it was.
struct StatusUpdate {
  PollVerdict verdict;
  std::optional<MainPageView> main;
  std::optional<std::string> moduleRinse;  // lblModulSpuelung
  std::optional<std::string> filterRinse;  // lblFilterSpuelung
  std::optional<CountersView> counters;
  std::optional<WaterMeterView> waterMeters;
  std::optional<HistoryView> history;
  // The Channel's far end is gone (ChannelHungUp): no further exchange can succeed on it.
  bool lost = false;
};

// Decodes a reply that PollStep has judged (the cycle's flags are already those of this reply).
StatusUpdate DecodeReply(const PollVerdict& verdict, std::span<const std::uint8_t> reply,
                         PollCycle& cycle);

// Sends the request of the current Poll state, receives its reply, judges and decodes it, moves
// to the next state and throws away whatever else is waiting on the Channel. A reply that did not
// come whole is asked about: was it a silent controller, or a Channel whose far end is gone?
StatusUpdate PollTick(PollCycle& cycle, const ChannelHandle& channel);

}  // namespace velta
