// The Monitor window's two requests to the controller outside the poll: clear all error messages
// and ask for write enable. Each opens its own Channel from the settings and closes it again.
#pragma once

#include "link/connection.h"

namespace velta {

enum class ClearErrorsResult {
  NotOpened,     // no Channel: the request is skipped without a message
  Acknowledged,  // exactly one byte came back (its value does not matter)
  NoReply,
};
ClearErrorsResult RequestClearErrors(const ConnectionSettings& settings);

// Sends the write-enable request (no reply is awaited); false when the Channel did not open.
// Whether the controller granted it shows on the next Main status page.
bool RequestWriteEnable(const ConnectionSettings& settings);

}  // namespace velta
