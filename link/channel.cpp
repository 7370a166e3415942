// The kind-tag dispatch every Channel operation starts with. A record whose tag is neither kind
// (already closed, or not a Channel at all) is never touched beyond reading its tag.
#include <poll.h>

#include <cerrno>

#include "link/channel.h"
#include "link/channel_internal.h"

namespace velta {

namespace {
thread_local OpenError lastOpenError = OpenError::None;
thread_local std::string lastOpenAddress;

std::uint32_t KindOf(const Channel* channel) {
  return IsOpenChannel(channel) ? channel->kind : 0;
}
}  // namespace

namespace detail {
void SetLastOpenError(OpenError error) { lastOpenError = error; }
void SetLastOpenAddress(const std::string& address) { lastOpenAddress = address; }
}  // namespace detail

OpenError LastOpenError() { return lastOpenError; }
std::string LastOpenAddress() { return lastOpenAddress; }

OpenError OpenErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR:
      return OpenError::NoSuchDevice;
    case EACCES:
    case EPERM:
    case EROFS:
      return OpenError::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK:
      return OpenError::Busy;
    default:
      return OpenError::Other;
  }
}

std::int32_t ChannelSend(Channel* channel, const std::uint8_t* bytes, std::int32_t count) {
  switch (KindOf(channel)) {
    case kSerialChannelTag:
      return detail::SerialSend(channel->handle, bytes, count);
    case kTcpChannelTag:
      return detail::TcpSend(channel->handle, bytes, count);
    default:
      return -1;
  }
}

std::int32_t ChannelReceive(Channel* channel, std::uint8_t* buffer, std::int32_t count) {
  switch (KindOf(channel)) {
    case kSerialChannelTag:
      return detail::SerialReceive(channel->handle, buffer, count);
    case kTcpChannelTag:
      return detail::TcpReceive(channel->handle, buffer, count);
    default:
      return -1;
  }
}

bool ChannelHungUp(Channel* channel) {
  const std::uint32_t kind = KindOf(channel);
  if (kind != kSerialChannelTag && kind != kTcpChannelTag) return false;
  // A peer's orderly close shows as POLLRDHUP, a reset or a removed device as POLLHUP/POLLERR.
  pollfd p{channel->handle, static_cast<short>(kind == kTcpChannelTag ? POLLRDHUP : 0), 0};
  int ready;
  do {
    ready = poll(&p, 1, 0);
  } while (ready < 0 && errno == EINTR);
  return ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL | POLLRDHUP)) != 0;
}

void ChannelDiscardInput(Channel* channel) {
  if (KindOf(channel) == kSerialChannelTag) detail::SerialDiscardInput(channel->handle);
}

void CloseChannel(Channel* channel) {
  switch (KindOf(channel)) {
    case kSerialChannelTag:
      detail::SerialClose(channel->handle);
      break;
    case kTcpChannelTag:
      detail::TcpClose(channel->handle);
      break;
    default:
      return;
  }
  channel->kind = 0;
  delete channel;
}

}  // namespace velta
