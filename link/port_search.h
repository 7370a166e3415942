// Serial port numbers. On Linux a COM number 1..255 names a device file by a fixed mapping
// (see ComDevicePath); a per-number override points a COM number at any path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velta {

// The device file COM `port` opens: the override when one is set, else the fixed mapping.
std::string ComDevicePath(std::uint32_t port);

// Points COM `port` at `path` (a /dev/serial/by-id link, a pseudo-terminal); empty removes it.
void SetComPortOverride(std::uint32_t port, const std::string& path);

// Fills `numbers` with at most `maximum` COM numbers whose devices exist; returns how many.
std::int32_t FindComPorts(std::int32_t maximum, std::int32_t* numbers);

// The name-parsing core of the port search: keeps, in order and at most `maximum`, the number of
// every name that starts with "COM" (any case) followed by a decimal 1..255.
std::vector<std::int32_t> ComNumbersFromNames(const std::vector<std::string>& names,
                                              std::int32_t maximum);

}  // namespace velta
