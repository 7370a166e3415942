// Writing controller memory one byte per request, each acknowledged by exactly one byte of any
// value; the first missing acknowledgement ends the transfer.
#pragma once

#include <cstdint>
#include <span>

#include "controller/feedback.h"
#include "link/channel_handle.h"
#include "link/connection.h"
#include "link/exchange.h"

namespace velta {

// The request without reply that ends a transfer, sent also after a stopped one.
enum class ClosingRequest { None, SettingsDone, Restart };

struct WritePlan {
  int firstAddress = 0;
  std::span<const std::uint8_t> values;  // values[i] goes to firstAddress + i
  // When not empty, only these offsets into `values` are written, in this order (a changed-only
  // write); the bar then counts them.
  std::span<const int> onlyOffsets;
  const char* startLine = nullptr;  // msgid logged before the first byte
  ClosingRequest closing = ClosingRequest::None;
  const char* closingLine = nullptr;  // msgid logged before the closing request
  int barMaximum = 0;                 // 0: one bar step per byte
  bool logSuccess = true;             // the success line after a complete transfer
};

// Writes every value on the open `channel` with the Write family of `settings` and a red progress
// bar, then sends the closing request. Good, with the success line, when every byte was
// acknowledged; Short when an acknowledgement did not come. `acknowledged`, when given, receives
// how many bytes were acknowledged.
ExchangeOutcome WriteBytes(const ChannelHandle& channel, const ConnectionSettings& settings,
                           Feedback& feedback, const WritePlan& plan, int* acknowledged = nullptr);

}  // namespace velta
