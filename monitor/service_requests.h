// The Monitor window's two requests to the controller outside the poll: clear all error messages
// and ask for write enable. Each opens its own Channel from the settings and closes it again.
#pragma once

#include "link/connection.h"
#include "link/exchange.h"

namespace velta {

// Good when exactly one byte came back (its value does not matter); NoChannel means the request
// was skipped, and the caller shows no message for it.
ExchangeOutcome RequestClearErrors(const ConnectionSettings& settings);

// Sends the write-enable request (no reply is awaited); false when the Channel did not open.
// Whether the controller granted it shows on the next Main status page.
bool RequestWriteEnable(const ConnectionSettings& settings);

}  // namespace velta
