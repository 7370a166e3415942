// How the program reaches its controller: the connection part of the application settings and
// the open-from-settings operation every window uses.
#pragma once

#include <cstdint>
#include <string>

#include "link/admin_flags.h"
#include "link/channel_handle.h"

namespace velta {

// The TCP ports a setting may name: cut to 16 bits, a larger number would reach another service.
inline constexpr std::int32_t kLowestTcpPort = 0;
inline constexpr std::int32_t kHighestTcpPort = 0xFFFF;
bool TcpPortInRange(std::int32_t port);
// "TCP port 70000 is out of range (0 to 65535)".
std::string TcpPortOutOfRange(std::int32_t port);

struct ConnectionSettings {
  std::int32_t comPort = 1;
  bool useTcp = false;
  std::string tcpHost;
  std::int32_t tcpPort = 10001;
  std::uint8_t admin = 0;  // Admin flags, low 8 bits of the stored value
  std::string devicePath;  // a serial device file named outright; comPort then goes unused
};

// The device file a serial setting opens: the one named outright, else its COM number's.
std::string SerialDevicePath(const ConnectionSettings& settings);

// Serial port comPort at 9600 baud, or TCP tcpHost:tcpPort, connecting within
// `connectTimeoutMs`. The handle holds no Channel when the open failed (LastOpenError says why,
// OpenFailureReason in words).
ChannelHandle OpenFromSettings(const ConnectionSettings& settings,
                               int connectTimeoutMs = kTcpConnectTimeoutMs);

// 0x90 over serial or with Admin flag 0x02, else 0x98 over TCP.
std::uint8_t WriteFamilyBase(const ConnectionSettings& settings);

}  // namespace velta
