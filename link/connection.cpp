#include "link/connection.h"

#include "link/channel_internal.h"
#include "link/frames.h"

namespace velta {

ChannelHandle OpenFromSettings(const ConnectionSettings& settings, int connectTimeoutMs) {
  if (!settings.useTcp) {
    return ChannelHandle(OpenSerialChannel(static_cast<std::uint32_t>(settings.comPort), 9600));
  }
  // The stored port is a 32-bit number; cut to 16 bits it would reach some other service.
  if (settings.tcpPort < 0 || settings.tcpPort > 0xFFFF) {
    detail::SetLastOpenError(OpenError::PortOutOfRange);
    return ChannelHandle();
  }
  return ChannelHandle(
      OpenTcpChannel(settings.tcpHost, static_cast<std::uint16_t>(settings.tcpPort), connectTimeoutMs));
}

std::uint8_t WriteFamilyBase(const ConnectionSettings& settings) {
  if (!settings.useTcp || (settings.admin & kAdminSerialWriteBase) != 0) return kSerialWriteBase;
  return kTcpWriteBase;
}

}  // namespace velta
