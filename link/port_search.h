// Serial port numbers. On Linux a COM number 1..255 names a device file by a fixed mapping:
//   COM1..COM4 -> /dev/ttyS0..3, COM5..COM36 -> /dev/ttyUSB0..31,
//   COM37..COM68 -> /dev/ttyACM0..31, COM69..COM255 -> /dev/ttyS4..190.
// A per-number override points a COM number at any path: SetComPortOverride, or else the
// environment variable VELTA_COM<n> (VELTA_COM5=/dev/serial/by-id/usb-...).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velta {

// The COM number of a device the fixed mapping does not reach (a pseudo-terminal, /dev/ttyAMA0):
// such a device is named by its path alone.
inline constexpr std::uint32_t kUnnumberedPort = 0;

// The device file COM `port` opens: the override when one is set, else the fixed mapping; empty
// for numbers outside 1..255.
std::string ComDevicePath(std::uint32_t port);

// The COM number the fixed mapping gives `path` or the device it links to ("/dev/ttyUSB9" is
// COM14); kUnnumberedPort when it gives none.
std::uint32_t ComNumberOfDevice(const std::string& path);

// Points COM `port` at `path` (a /dev/serial/by-id link, a pseudo-terminal); empty removes it.
void SetComPortOverride(std::uint32_t port, const std::string& path);

// Fills `numbers` with at most `maximum` COM numbers whose devices exist, ascending; returns how
// many. A mapped /dev/ttyS counts only when a UART sits behind it; an override counts when its
// path exists.
std::int32_t FindComPorts(std::int32_t maximum, std::int32_t* numbers);

// The name-parsing core of the port search: keeps, in order and at most `maximum`, the number of
// every name that starts with "COM" (any case) followed by a decimal 1..255.
std::vector<std::int32_t> ComNumbersFromNames(const std::vector<std::string>& names,
                                              std::int32_t maximum);

}  // namespace velta
