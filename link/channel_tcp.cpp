// The TCP Channel: an IPv4 stream socket, blocking, with poll() giving each wait its time-out.
// (POSIX sockets need no library start-up, so there is no "socket library started" state.)
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "link/channel.h"
#include "link/channel_internal.h"

namespace velta {

namespace {

// The stale-input discard before a request reads in chunks and stops after this many bytes or
// this long, whichever comes first: a peer that floods the line cannot hold the window, and
// what is left is judged by the exchange as a wrong reply.
constexpr int kDiscardChunk = 4096;
constexpr int kDiscardLimitBytes = 1024 * 1024;
constexpr int kDiscardLimitMs = 20;
constexpr int kWritableWaitMs = 1000;
constexpr int kReceiveWaitMs = 1000;
constexpr int kReceiveLimitMs = 1000;

// inet_pton takes only the four-part decimal form; "127.1", "0x7f.1" or "2130706433" go to the
// resolver like any name, and the opened line names the address they turned into.
bool ResolveIpv4(const std::string& host, in_addr* address) {
  if (inet_pton(AF_INET, host.c_str(), address) == 1) return true;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) {
    return false;
  }
  *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return true;
}

OpenError ConnectErrorFromErrno(int error) {
  switch (error) {
    case ECONNREFUSED: return OpenError::ConnectRefused;
    case ETIMEDOUT: return OpenError::ConnectTimedOut;
    default: return OpenError::ConnectFailed;
  }
}

// Connects with a time-out: non-blocking connect, wait for the outcome, back to blocking.
OpenError ConnectWithin(int fd, const sockaddr_in& address, int timeoutMs) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return OpenError::Other;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (errno != EINPROGRESS) return ConnectErrorFromErrno(errno);
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
      const auto remaining = timeoutMs - detail::MillisecondsSince(start);
      pollfd p{fd, POLLOUT, 0};
      const int ready = remaining > 0 ? poll(&p, 1, static_cast<int>(remaining)) : 0;
      if (ready > 0) break;
      if (ready == 0) return OpenError::ConnectTimedOut;
      if (errno != EINTR) return OpenError::ConnectFailed;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return OpenError::Other;
    if (error != 0) return ConnectErrorFromErrno(error);
  }
  return fcntl(fd, F_SETFL, flags) == 0 ? OpenError::None : OpenError::Other;
}

Channel* FailOpen(int fd, OpenError error) {
  if (fd >= 0) close(fd);
  detail::SetLastOpenError(error);
  return kFailureChannel;
}

int PollFor(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  int ready;
  do {
    ready = poll(&p, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  return ready > 0 ? p.revents : 0;
}

}  // namespace

Channel* OpenTcpChannel(const std::string& host, std::uint16_t port, int connectTimeoutMs) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  detail::SetLastOpenAddress("");
  if (!ResolveIpv4(host, &address.sin_addr)) return FailOpen(-1, OpenError::UnknownHost);
  char dotted[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address.sin_addr, dotted, sizeof dotted);
  detail::SetLastOpenAddress(dotted);
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd < 0) return FailOpen(-1, OpenError::Other);
  const OpenError connected = ConnectWithin(fd, address, connectTimeoutMs);
  if (connected != OpenError::None) return FailOpen(fd, connected);
  // Frames and the boot loader's single bytes must leave at once, not wait for Nagle's timer.
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  detail::SetLastOpenError(OpenError::None);
  return new Channel{kTcpChannelTag, fd};
}

namespace detail {

std::int32_t TcpSend(int fd, const std::uint8_t* bytes, std::int32_t count) {
  if (count < 0 || (count > 0 && bytes == nullptr)) return -1;
  // Whatever is still pending belongs to an earlier exchange. A peer that has closed keeps the
  // socket readable with empty reads, so an empty or failed read ends the loop too.
  std::uint8_t stale[kDiscardChunk];
  const auto start = std::chrono::steady_clock::now();
  for (int discarded = 0; discarded < kDiscardLimitBytes && PollFor(fd, POLLIN, 0) != 0;) {
    const ssize_t n = recv(fd, stale, sizeof stale, MSG_DONTWAIT);
    if (n <= 0 || MillisecondsSince(start) >= kDiscardLimitMs) break;
    discarded += static_cast<int>(n);
  }
  const ssize_t sent = send(fd, bytes, static_cast<size_t>(count), MSG_NOSIGNAL);
  if (sent < 0) return -1;
  if ((PollFor(fd, POLLOUT, kWritableWaitMs) & POLLOUT) == 0) return -1;
  return static_cast<std::int32_t>(sent);
}

// Waits in steps of up to 1 s until count bytes arrived; the 1000 ms limit is tested between
// waits, so a receive that gets nothing lasts 1000 ms to just under 2000 ms.
std::int32_t TcpReceive(int fd, std::uint8_t* buffer, std::int32_t count) {
  if (count < 0 || (count > 0 && buffer == nullptr)) return -1;
  const auto start = std::chrono::steady_clock::now();
  std::int32_t received = 0;
  while (received < count) {
    if (PollFor(fd, POLLIN, kReceiveWaitMs) != 0) {
      const ssize_t n = recv(fd, buffer + received, static_cast<size_t>(count - received), 0);
      if (n > 0) {
        received += static_cast<std::int32_t>(n);
      } else {
        // The peer closed or the socket failed: nothing more can come, but the receive still
        // lasts its limit, as for a controller that does not answer; sleep rather than spin.
        const auto remaining = kReceiveLimitMs - MillisecondsSince(start);
        if (remaining > 0) std::this_thread::sleep_for(std::chrono::milliseconds(remaining));
      }
    }
    if (MillisecondsSince(start) >= kReceiveLimitMs) break;
  }
  return received;
}

void TcpClose(int fd) {
  if (fd >= 0) close(fd);
}

}  // namespace detail
}  // namespace velta
