// Reading a range of controller memory with the checksum test, followed by the Version query and
// the version check that decides whether this controller may be written.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "controller/feedback.h"
#include "link/channel_handle.h"
#include "link/exchange.h"
#include "link/frames.h"

namespace velta {

// The firmware version the Settings window writes to (shown as V1.60).
constexpr std::uint16_t kRequiredVersion = 160;

struct ControllerVersion {
  int shown[3];           // digits of reply bytes 0, 2, 3: what the controller displays
  std::uint16_t number;   // bytes 4, 6, 7 as a three-digit number: what the check compares
};

// Decodes the nine characters of a Version query reply. They are taken as ASCII digits without
// validation, as the controller sends them.
ControllerVersion ParseVersionReply(std::span<const std::uint8_t, kVersionReplyLength> reply);

struct ReadResult {
  bool success = false;            // full length and matching checksum
  std::vector<std::uint8_t> data;  // data[i] = address first + i (kept even when the sum is wrong)
  std::uint16_t version = 0;       // 0 when the controller did not answer the Version query
  ExchangeOutcome outcome = ExchangeOutcome::NoChannel;  // how the read itself went
};

// Reads addresses first..last (at most 255 of them) on an open Channel, logs each step, queries
// the version after every full-length reply and shows or hides the write buttons by the version
// check.
ReadResult ReadRange(const ChannelHandle& channel, Feedback& feedback, int first, int last);

// The version check that ends every read: the write buttons shown for kRequiredVersion, else the
// wrong-version lines with a beep and the buttons hidden (also after a Channel that did not open,
// with version 0).
void CheckVersion(std::uint16_t version, Feedback& feedback);

}  // namespace velta
