// Loopback TCP for tests: a port held taken (listening), a port nothing listens on, and a connected
// client.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace velta::test {

// A listening socket on a free loopback port, held while the object lives; `backlog` is how many
// connections the kernel completes before they are accepted.
class LoopbackListener {
 public:
  explicit LoopbackListener(int backlog = 4) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(fd_, backlog) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      close(fd_);
      fd_ = -1;
      return;
    }
    port_ = ntohs(address.sin_port);
  }
  ~LoopbackListener() {
    if (fd_ >= 0) close(fd_);
  }
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  bool ok() const { return fd_ >= 0; }
  std::uint16_t port() const { return port_; }
  // The accepted connection, or -1 when none came within 3 s.
  int Accept() {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, 3000) <= 0) return -1;
    return accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  }

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

// A loopback port on which nothing listens: taken once to learn a free number, then released.
inline std::uint16_t FreePort() { return LoopbackListener().port(); }

// A socket connected to the loopback port, or -1.
inline int ConnectLoopback(std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
  close(fd);
  return -1;
}

inline bool Accepts(std::uint16_t port) {
  const int fd = ConnectLoopback(port);
  if (fd >= 0) close(fd);
  return fd >= 0;
}

}  // namespace velta::test
