// The tank table in controller memory: 101 bytes at addresses 155..255, entry i at 155 + i.
// Each operation opens its own Channel from the connection settings and closes it again.
#pragma once

#include "controller/feedback.h"
#include "controller/tank_table.h"
#include "link/connection.h"

namespace velta {

constexpr int kTankTableAddress = 155;

enum class TankReadResult {
  NoChannel,  // the Channel could not be opened; nothing is logged
  Read,       // the table now holds the controller's bytes (0..255, unchecked)
  WrongSum,   // a full reply with a wrong checksum; the table is unchanged
  Short,      // too few bytes; the table is unchanged
};

// One read request for the 101 bytes. Logs the outcome and, after a good read, every entry.
TankReadResult ReadTankTableFromController(const ConnectionSettings& settings, TankTable& table,
                                           Feedback& feedback);

// Writes the low byte of every entry, one acknowledged write request each, with the progress on a
// red bar of maximum 120. Stops at the first missing acknowledgement with a message and a beep.
// Returns how many entries were acknowledged (-1 when no Channel could be opened).
int SendTankTableToController(const ConnectionSettings& settings, const TankTable& table,
                              Feedback& feedback);

}  // namespace velta
