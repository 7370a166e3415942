#include "bridge/service_session.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "bridge/event_log.h"
#include "files/regular_file.h"
#include "i18n/lookup.h"

namespace velta::bridge {
namespace {

// How often a waiting relay or listener looks at its stop flag.
constexpr int kStopCheckMs = 200;

enum class Write { Done, Stalled, Failed, Stopped };

// Writes all of `count` bytes to a non-blocking descriptor, giving up when it takes no byte for
// `stall`.
Write WriteAll(int fd, const std::uint8_t* bytes, std::size_t count, std::chrono::milliseconds stall,
               const std::atomic<bool>& stop) {
  auto lastProgress = std::chrono::steady_clock::now();
  while (count > 0) {
    if (stop) return Write::Stopped;
    const ssize_t n = send(fd, bytes, count, MSG_NOSIGNAL | MSG_DONTWAIT);
    // A serial device is no socket; it takes write().
    const ssize_t written = (n < 0 && errno == ENOTSOCK) ? write(fd, bytes, count) : n;
    if (written > 0) {
      bytes += written;
      count -= static_cast<std::size_t>(written);
      lastProgress = std::chrono::steady_clock::now();
      continue;
    }
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return Write::Failed;
    if (std::chrono::steady_clock::now() - lastProgress >= stall) return Write::Stalled;
    pollfd wait{fd, POLLOUT, 0};
    poll(&wait, 1, kStopCheckMs);
  }
  return Write::Done;
}

// Bytes sent to the socket's peer that it has not taken yet.
int Unread(int fd) {
  int queued = 0;
  return ioctl(fd, TIOCOUTQ, &queued) == 0 ? queued : 0;
}

std::string Seconds(std::chrono::milliseconds limit) {
  const auto ms = limit.count();
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

}  // namespace

int Listen(const Endpoint& endpoint, std::string& error, int backlog) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(endpoint.port);
  if (getaddrinfo(endpoint.host.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
    error = Format(V_("cannot listen on %s: unknown address"), endpoint.Text().c_str());
    return -1;
  }
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  const bool bound = fd >= 0 && bind(fd, found->ai_addr, found->ai_addrlen) == 0 && listen(fd, backlog) == 0;
  const int bindError = errno;
  freeaddrinfo(found);
  if (!bound) {
    error = Format(V_("cannot listen on %s: %s"), endpoint.Text().c_str(), ErrorText(bindError).c_str());
    if (fd >= 0) close(fd);
    return -1;
  }
  return fd;
}

std::string RelayEndText(RelayEnd end, const RelayLimits& limits) {
  switch (end) {
    case RelayEnd::ClientClosed: return V_("the client closed the session");
    case RelayEnd::ClientSilent:
      return Format(V_("the client was silent for %s"), Seconds(limits.silence).c_str());
    case RelayEnd::ClientStalled:
      return Format(V_("the client took no bytes for %s"), Seconds(limits.stall).c_str());
    case RelayEnd::ClientBehind:
      return Format(V_("the client fell more than %zu KiB behind"),
                    static_cast<std::size_t>(limits.backlogBytes / 1024));
    case RelayEnd::LinkFailed: return V_("the link to the controller failed");
    case RelayEnd::Stopped: return V_("the bridge is stopping");
  }
  return "";
}

std::string PeerText(int fd) {
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  char host[INET_ADDRSTRLEN] = "?";
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0 || peer.sin_family != AF_INET) {
    return V_("an unknown address");
  }
  inet_ntop(AF_INET, &peer.sin_addr, host, sizeof host);
  return std::string(host) + ":" + std::to_string(ntohs(peer.sin_port));
}

RelayEnd RelayBytes(int clientFd, Channel* channel, const RelayLimits& limits, const std::atomic<bool>& stop) {
  const int linkFd = channel->handle;
  auto lastHeard = std::chrono::steady_clock::now();
  std::uint8_t buffer[4096];
  while (!stop) {
    pollfd fds[2] = {{clientFd, POLLIN, 0}, {linkFd, POLLIN, 0}};
    if (poll(fds, 2, kStopCheckMs) < 0 && errno != EINTR) return RelayEnd::LinkFailed;
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      const ssize_t n = recv(clientFd, buffer, sizeof buffer, 0);
      if (n <= 0 && !(n < 0 && (errno == EAGAIN || errno == EINTR))) return RelayEnd::ClientClosed;
      if (n > 0) {
        lastHeard = std::chrono::steady_clock::now();
        const Write sent = WriteAll(linkFd, buffer, static_cast<std::size_t>(n), limits.stall, stop);
        if (sent == Write::Stopped) return RelayEnd::Stopped;
        if (sent != Write::Done) return RelayEnd::LinkFailed;
      }
    }
    if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
      const ssize_t n = read(linkFd, buffer, sizeof buffer);
      if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return RelayEnd::LinkFailed;
      if (n > 0) {
        const Write sent = WriteAll(clientFd, buffer, static_cast<std::size_t>(n), limits.stall, stop);
        if (sent == Write::Stopped) return RelayEnd::Stopped;
        if (sent == Write::Stalled) return RelayEnd::ClientStalled;
        if (sent == Write::Failed) return RelayEnd::ClientClosed;
        if (Unread(clientFd) > limits.backlogBytes) return RelayEnd::ClientBehind;
      }
    }
    if (std::chrono::steady_clock::now() - lastHeard >= limits.silence) return RelayEnd::ClientSilent;
  }
  return RelayEnd::Stopped;
}

SessionListener::~SessionListener() {
  for (int fd : fds_) {
    if (fd >= 0) close(fd);
  }
}

void SessionListener::Run() {
  std::vector<pollfd> fds;
  for (int fd : fds_) fds.push_back({fd, static_cast<short>(fd >= 0 ? POLLIN : 0), 0});
  bool outOfFiles = false;  // said once until a client is taken again
  while (!stop_) {
    if (poll(fds.data(), fds.size(), kStopCheckMs) <= 0) continue;
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (!(fds[i].revents & POLLIN)) continue;
      const int client = accept4(fds[i].fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (client < 0 && errno == EMFILE && !outOfFiles) {
        LogEvent("velta-bridge", V_("cannot take a service client") + OpenFilesNote());
      }
      outOfFiles = client < 0 && errno == EMFILE;
      // The client waits in the backlog until a descriptor is free; the listener does not spin.
      if (outOfFiles) poll(nullptr, 0, kStopCheckMs);
      if (client < 0) continue;
      const int on = 1;
      setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      // Bytes a client leaves unread pile up here, where the relay can see them.
      setsockopt(client, SOL_SOCKET, SO_SNDBUF, &kSessionBacklogBytes, sizeof kSessionBacklogBytes);
      if (!offer_(i, client)) close(client);
    }
  }
}

}  // namespace velta::bridge
