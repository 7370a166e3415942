// One snapshot of the controller's measurements and internal timers (the Counters page) as the
// Settings window lists it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "controller/feedback.h"
#include "link/channel_handle.h"
#include "link/exchange.h"

namespace velta {

// "Pumpe Rest[h]: ..." for a pump run time of `ticks` of 0.4096 s within the current hour.
std::string PumpRunTimeLine(std::uint16_t ticks);

// The listing of a good 14-byte page: the reference hint and the cistern measurement, and in the
// expert view the raw inputs and counters.
std::vector<std::string> LiveValueLines(std::span<const std::uint8_t> page, bool expert);

// Asks for the Counters page on an open Channel. A short reply is logged; a wrong sum is ignored
// silently; a good page replaces the log with its listing, which `listing` (when given) also gets,
// and its data bytes go to `page` (when given).
ExchangeOutcome ReadLiveValues(const ChannelHandle& channel, Feedback& feedback, bool expert,
                               std::vector<std::string>* listing = nullptr,
                               std::vector<std::uint8_t>* page = nullptr);

}  // namespace velta
