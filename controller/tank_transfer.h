// The tank table in controller memory (kTankTableAddress in memory_map.h), read and written on a
// Channel the caller has opened.
#pragma once

#include "controller/feedback.h"
#include "controller/tank_table.h"
#include "link/channel_handle.h"
#include "link/connection.h"
#include "link/exchange.h"

namespace velta {

// One read request for the 101 bytes. Logs the outcome and, after a good read, every entry: the
// table then holds the controller's bytes (0..255, unchecked). Any other outcome leaves the table
// unchanged.
ExchangeOutcome ReadTankTableFromController(const ChannelHandle& channel, TankTable& table,
                                            Feedback& feedback);

// Writes the low byte of every entry, one acknowledged write request each, with the progress on a
// red bar of maximum 120. Stops at the first missing acknowledgement with a message and a beep.
// Returns how many entries were acknowledged.
int SendTankTableToController(const ChannelHandle& channel, const ConnectionSettings& settings,
                              const TankTable& table, Feedback& feedback);

}  // namespace velta
