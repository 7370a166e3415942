// The Monitor window's two requests to the controller outside the poll: clear all error messages
// and ask for write enable, each on a Channel the caller has opened.
#pragma once

#include "link/channel_handle.h"
#include "link/exchange.h"

namespace velta {

// Good when exactly one byte came back (its value does not matter).
ExchangeOutcome RequestClearErrors(const ChannelHandle& channel);

// Sends the write-enable request (no reply is awaited). Whether the controller granted it shows
// on the next Main status page.
void RequestWriteEnable(const ChannelHandle& channel);

}  // namespace velta
