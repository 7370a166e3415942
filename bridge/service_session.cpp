#include "bridge/service_session.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "files/regular_file.h"

namespace velta::bridge {
namespace {

// How often a waiting relay or listener looks at its stop flag.
constexpr int kStopCheckMs = 200;

// Writes all of `count` bytes to a non-blocking descriptor.
bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t count, const std::atomic<bool>& stop) {
  while (count > 0 && !stop) {
    const ssize_t n = send(fd, bytes, count, MSG_NOSIGNAL);
    // A serial device is no socket; it takes write().
    const ssize_t written = (n < 0 && errno == ENOTSOCK) ? write(fd, bytes, count) : n;
    if (written > 0) {
      bytes += written;
      count -= static_cast<std::size_t>(written);
      continue;
    }
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
    pollfd wait{fd, POLLOUT, 0};
    poll(&wait, 1, kStopCheckMs);
  }
  return count == 0;
}

}  // namespace

int Listen(const Endpoint& endpoint, std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(endpoint.port);
  if (getaddrinfo(endpoint.host.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
    error = "cannot listen on " + endpoint.Text() + ": unknown address";
    return -1;
  }
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  const bool bound = fd >= 0 && bind(fd, found->ai_addr, found->ai_addrlen) == 0 && listen(fd, 4) == 0;
  const int bindError = errno;
  freeaddrinfo(found);
  if (!bound) {
    error = "cannot listen on " + endpoint.Text() + ": " + ErrorText(bindError);
    if (fd >= 0) close(fd);
    return -1;
  }
  return fd;
}

const char* RelayEndText(RelayEnd end) {
  switch (end) {
    case RelayEnd::ClientClosed: return "the client closed the session";
    case RelayEnd::ClientSilent: return "the client was silent for 60 s";
    case RelayEnd::LinkFailed: return "the link to the controller failed";
    case RelayEnd::Stopped: return "the bridge is stopping";
  }
  return "";
}

RelayEnd RelayBytes(int clientFd, Channel* channel, std::chrono::milliseconds silence,
                    const std::atomic<bool>& stop) {
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
        if (!WriteAll(linkFd, buffer, static_cast<std::size_t>(n), stop)) return RelayEnd::LinkFailed;
      }
    }
    if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
      const ssize_t n = read(linkFd, buffer, sizeof buffer);
      if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return RelayEnd::LinkFailed;
      if (n > 0 && !WriteAll(clientFd, buffer, static_cast<std::size_t>(n), stop)) {
        return RelayEnd::ClientClosed;
      }
    }
    if (std::chrono::steady_clock::now() - lastHeard >= silence) return RelayEnd::ClientSilent;
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
  while (!stop_) {
    if (poll(fds.data(), fds.size(), kStopCheckMs) <= 0) continue;
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (!(fds[i].revents & POLLIN)) continue;
      const int client = accept4(fds[i].fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (client < 0) continue;
      const int on = 1;
      setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      if (!offer_(i, client)) close(client);
    }
  }
}

}  // namespace velta::bridge
