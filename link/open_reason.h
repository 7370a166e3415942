// Why a Channel did not open, or what it opened, in one English line that every window prints
// after its own (German) open message.
#pragma once

#include <string>

#include "link/connection.h"

namespace velta {

// The reason the last open on this thread failed (LastOpenError), naming the device or address:
// busy, no permission (with the step that gives it), no such device, unknown host, refused,
// no answer within the connect time.
std::string OpenFailureReason(const ConnectionSettings& settings);

// What lets this user open the device at `path` that refused them: joining the device file's
// group, or, when only root may open it, a udev rule that gives it a group.
std::string PermissionStep(const std::string& path);

// What the last successful open reached, when that is not plain from the settings: the address a
// TCP host text turned into ("127.1" is 127.0.0.1). Empty when there is nothing to add.
std::string OpenedReason(const ConnectionSettings& settings);

// The line the Monitor window adds when the poll Channel's far end is gone (ChannelHungUp), with
// why: "Connection to COM5 lost (device removed)".
std::string ConnectionLostLine(const ConnectionSettings& settings);
// The line when a lost connection has been opened again: "Connection to COM5 restored".
std::string ConnectionRestoredLine(const ConnectionSettings& settings);

// How the window names the connection in its own English lines: "COM5" or "host:port".
std::string ConnectionName(const ConnectionSettings& settings);

}  // namespace velta
