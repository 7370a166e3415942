// Writing controller memory one byte per request, each acknowledged by exactly one byte of any
// value; the first missing acknowledgement ends the transfer.
#pragma once

#include <cstdint>
#include <span>

#include "controller/feedback.h"
#include "link/connection.h"
#include "link/exchange.h"

namespace velta {

// The request without reply that ends a transfer, sent also after a stopped one.
enum class ClosingRequest { None, SettingsDone, Restart };

struct WritePlan {
  int firstAddress = 0;
  std::span<const std::uint8_t> values;  // values[i] goes to firstAddress + i
  // msgid logged with a beep when no Channel opens; without one the caller reports it (or not).
  const char* openFailure = nullptr;
  const char* startLine = nullptr;  // msgid logged once the Channel is open
  ClosingRequest closing = ClosingRequest::None;
  const char* closingLine = nullptr;  // msgid logged before the closing request
  int barMaximum = 0;                 // 0: one bar step per byte
  bool logSuccess = true;             // the success line after a complete transfer
};

// Opens a Channel from `settings`, writes every value with the Write family of `settings` and a
// red progress bar, sends the closing request and closes. Good, with the success line, when every
// byte was acknowledged; Short when an acknowledgement did not come; NoChannel when nothing opened.
// `acknowledged`, when given, receives how many bytes were acknowledged.
ExchangeOutcome WriteBytes(const ConnectionSettings& settings, Feedback& feedback,
                           const WritePlan& plan, int* acknowledged = nullptr);

}  // namespace velta
