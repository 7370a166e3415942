// The Channel: one open connection to the controller over a serial port or TCP, with blocking
// byte operations. It carries bytes only: no frames, no retries, no logging, no messages.
#pragma once

#include <cstdint>
#include <string>

namespace velta {

constexpr std::uint32_t kSerialChannelTag = 0x5EA1A1;
constexpr std::uint32_t kTcpChannelTag = 0x1CB;

struct Channel {
  std::uint32_t kind;  // kSerialChannelTag, kTcpChannelTag, 0 once closed
  std::int32_t handle; // file descriptor of the serial device or the socket
};

// Returned by the open operations instead of a Channel (all bits set). Every operation accepts it,
// and a null Channel, harmlessly: send and receive return -1, discard input and close do nothing.
inline Channel* const kFailureChannel = reinterpret_cast<Channel*>(~std::uintptr_t{0});

inline bool IsOpenChannel(const Channel* channel) {
  return channel != nullptr && channel != kFailureChannel;
}

// Why the last open on this thread failed, so a window can say more than "could not open"
// (for example that the user must be in the dialout group).
enum class OpenError {
  None,
  NoSuchDevice,     // the COM number maps to no existing device
  PermissionDenied, // the device exists but may not be opened by this user
  Busy,             // another program or Channel holds the device
  LineSettings,     // the device refused 9600 8N1 raw
  UnknownHost,      // the host name could not be resolved
  ConnectRefused,   // the host answered that nothing listens on the port
  ConnectTimedOut,  // no answer within the connect time
  ConnectFailed,    // unreachable, or another failure of the connect
  PortOutOfRange,   // a TCP port outside kLowestTcpPort..kHighestTcpPort (link/connection.h)
  Other,
};
OpenError LastOpenError();
// The address the last TCP open on this thread connected to, or tried to ("127.0.0.1"); empty
// when the host could not be resolved.
std::string LastOpenAddress();
// How an errno from opening or locking a device reads as an OpenError.
OpenError OpenErrorFromErrno(int error);

// Opens the device of COM `port` (see ComDevicePath) exclusively: a second open of the same
// device fails (Busy) while a Channel holds it. Raw 8N1 at `baud`, no flow control.
Channel* OpenSerialChannel(std::uint32_t port, std::int32_t baud);
// The same for a device file named outright.
Channel* OpenSerialDevice(const std::string& path, std::int32_t baud);
// Four-part decimal dotted IPv4 text is used as it is, anything else is resolved as a host name
// (IPv4, first address). The connect gives up after `connectTimeoutMs`. Small writes go out at
// once (no Nagle delay).
constexpr int kTcpConnectTimeoutMs = 5000;
Channel* OpenTcpChannel(const std::string& host, std::uint16_t port,
                        int connectTimeoutMs = kTcpConnectTimeoutMs);

// Serial: 0 when all bytes were written, -1 when the write failed, -2 when it was short.
// TCP: the number of bytes the socket accepted, or -1.
std::int32_t ChannelSend(Channel* channel, const std::uint8_t* bytes, std::int32_t count);

// Places up to count bytes in buffer and returns how many arrived (0..count), or -1 on a failed
// read (serial: also when the device hung up). Serial: returns at once with what is waiting, else
// waits for count bytes or 2500 ms.
// TCP: waits in 1 s steps until count bytes arrived or 1000 ms have passed since the start.
std::int32_t ChannelReceive(Channel* channel, std::uint8_t* buffer, std::int32_t count);

// True when the far end is gone for good, which no later exchange can change: the serial device
// hung up (adapter unplugged, the other side of a pseudo-terminal closed) or failed, the TCP
// peer closed or reset the connection. Does not wait. False for no Channel and for a line that
// is merely silent.
bool ChannelHungUp(Channel* channel);

// Serial: throws away what the receive side still holds. TCP: nothing.
void ChannelDiscardInput(Channel* channel);

// Serial: drains the transmit side, pauses 150 ms, closes. The record is released.
void CloseChannel(Channel* channel);

}  // namespace velta
