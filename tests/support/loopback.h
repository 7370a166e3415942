// Loopback TCP for tests: a port nothing listens on, a port held taken, and a connected client.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace velta::test {

// A listening socket on a free loopback port, held while the object lives.
class TakenPort {
 public:
  TakenPort() {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd_, 1);
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~TakenPort() { close(fd_); }
  TakenPort(const TakenPort&) = delete;
  TakenPort& operator=(const TakenPort&) = delete;
  std::uint16_t Port() const { return port_; }

 private:
  int fd_;
  std::uint16_t port_;
};

// A loopback port on which nothing listens: taken once to learn a free number, then released.
inline std::uint16_t FreePort() { return TakenPort().Port(); }

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
