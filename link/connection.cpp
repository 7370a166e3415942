#include "link/connection.h"

#include "i18n/lookup.h"
#include "link/channel_internal.h"
#include "link/frames.h"
#include "link/port_search.h"

namespace velta {

ChannelHandle OpenFromSettings(const ConnectionSettings& settings, int connectTimeoutMs) {
  if (!settings.useTcp && !settings.devicePath.empty()) {
    return ChannelHandle(OpenSerialDevice(settings.devicePath, 9600));
  }
  if (!settings.useTcp) {
    return ChannelHandle(OpenSerialChannel(static_cast<std::uint32_t>(settings.comPort), 9600));
  }
  if (!TcpPortInRange(settings.tcpPort)) {
    detail::SetLastOpenError(OpenError::PortOutOfRange);
    return ChannelHandle();
  }
  return ChannelHandle(
      OpenTcpChannel(settings.tcpHost, static_cast<std::uint16_t>(settings.tcpPort), connectTimeoutMs));
}

std::string SerialDevicePath(const ConnectionSettings& settings) {
  if (!settings.devicePath.empty()) return settings.devicePath;
  return ComDevicePath(static_cast<std::uint32_t>(settings.comPort));
}

bool TcpPortInRange(std::int32_t port) { return port >= kLowestTcpPort && port <= kHighestTcpPort; }

std::string TcpPortOutOfRange(std::int32_t port) {
  return Format(V_("TCP port %d is out of range (%d to %d)"), static_cast<int>(port),
                static_cast<int>(kLowestTcpPort), static_cast<int>(kHighestTcpPort));
}

std::uint8_t WriteFamilyBase(const ConnectionSettings& settings) {
  if (!settings.useTcp || (settings.admin & kAdminSerialWriteBase) != 0) return kSerialWriteBase;
  return kTcpWriteBase;
}

}  // namespace velta
