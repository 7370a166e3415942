// One tick of the status poll: exactly one request/reply exchange on the poll Channel, decoded
// into what the Monitor window has to change.
#pragma once

#include <span>

#include "link/channel_handle.h"
#include "monitor/poll_cycle.h"
#include "monitor/status_pages.h"

namespace velta {

// Decodes a reply that PollStep has judged (the cycle's flags are already those of this reply).
StatusUpdate DecodeReply(const PollVerdict& verdict, std::span<const std::uint8_t> reply,
                         PollCycle& cycle);

// Sends the request of the current Poll state, receives its reply, judges and decodes it, moves
// to the next state and throws away whatever else is waiting on the Channel. A reply that did not
// come whole is asked about: was it a silent controller, or a Channel whose far end is gone?
StatusUpdate PollTick(PollCycle& cycle, const ChannelHandle& channel);

}  // namespace velta
