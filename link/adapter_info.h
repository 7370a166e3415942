// What stands behind a COM number: the device file, and for a USB serial adapter its maker,
// product, serial number and the stable name udev gives it under /dev/serial/by-id, which stays
// the same whatever ttyUSB number the adapter gets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velta {

struct AdapterInfo {
  std::string path;        // what the COM number opens (ComDevicePath)
  std::string device;      // the device file behind it, links followed ("/dev/ttyUSB1")
  std::string maker;       // USB adapters only, empty otherwise
  std::string product;
  std::string serial;
  std::string stableName;  // "/dev/serial/by-id/usb-..." when udev made one, else empty
  std::optional<int> latencyTimerMs;  // USB adapters whose driver shows one (ReadLatencyTimerMs)
};

AdapterInfo DescribeComPort(std::uint32_t port);

// The port list's tooltip: the device path, then maker, product, serial number and latency timer
// when known.
std::string AdapterTooltip(const AdapterInfo& info);

}  // namespace velta
