// A USB serial adapter's latency timer: how long its chip holds bytes from the line before it
// hands them to the host (16 ms by default on FTDI chips). Every acknowledged frame of a write
// waits for it, so a long timer makes writes and the firmware update several times slower.
#pragma once

#include <optional>
#include <string>

#include "link/connection.h"

namespace velta {

// Where sysfs is mounted ("/sys"); tests point it at a tree of their own. Empty restores "/sys".
void SetSysfsRoot(const std::string& root);

// The latency timer in milliseconds of the adapter behind `device` (a device file, links
// followed: "/dev/ttyUSB0"), as its driver shows it in sysfs; nullopt when it shows none.
std::optional<int> ReadLatencyTimerMs(const std::string& device);

// Asks the driver of the open tty `fd` for low latency, which USB adapter drivers turn into their
// shortest latency timer. True when the driver took it; where it refuses (a pseudo-terminal has
// no such setting) the port stays exactly as it was.
bool RequestLowLatency(int fd);

// Above this a latency timer noticeably slows the acknowledged writes.
constexpr int kSlowLatencyTimerMs = 2;

// One English line for after a serial port opened: the adapter's latency timer stayed above
// kSlowLatencyTimerMs and the udev rule that lowers it to install. Empty for TCP and for a port
// whose timer is short or unknown.
std::string LatencyHint(const ConnectionSettings& settings);

}  // namespace velta
