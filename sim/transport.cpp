#include "sim/transport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace velta::sim {

namespace {

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

bool ResolveIpv4(const std::string& host, in_addr& address) {
  if (inet_pton(AF_INET, host.c_str(), &address) == 1) return true;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return true;
}

}  // namespace

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

Listener ListenTcp(const std::string& host, std::uint16_t port, std::string& error) {
  Listener listener;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (!ResolveIpv4(host, address.sin_addr)) {
    error = "cannot resolve " + host;
    return listener;
  }
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = SystemError("socket");
    return listener;
  }
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(fd, 16) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    error = SystemError("listen on " + host + ":" + std::to_string(port));
    CloseFd(fd);
    return listener;
  }
  listener.fd = fd;
  listener.port = ntohs(address.sin_port);
  return listener;
}

int AcceptClient(int listenFd) {
  const int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) return -1;
  // Replies are a few bytes each; without this they would wait for the peer's delayed ACK.
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return fd;
}

Pty OpenPty(std::string& error) {
  Pty pty;
  pty.master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  char name[128];
  if (pty.master < 0 || grantpt(pty.master) != 0 || unlockpt(pty.master) != 0 ||
      ptsname_r(pty.master, name, sizeof name) != 0) {
    error = SystemError("pseudo-terminal");
    CloseFd(pty.master);
    return pty;
  }
  pty.path = name;
  pty.slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios tio{};
  if (pty.slave < 0 || tcgetattr(pty.slave, &tio) != 0) {
    error = SystemError("open " + pty.path);
    CloseFd(pty.master);
    CloseFd(pty.slave);
    return pty;
  }
  // Raw until the program sets its own line settings: no echo, no line editing.
  cfmakeraw(&tio);
  cfsetispeed(&tio, B9600);
  cfsetospeed(&tio, B9600);
  tcsetattr(pty.slave, TCSANOW, &tio);
  fcntl(pty.master, F_SETFL, fcntl(pty.master, F_GETFL) | O_NONBLOCK);
  return pty;
}

bool MakeSymlink(const std::string& target, const std::string& link, std::string& error) {
  struct stat info{};
  if (lstat(link.c_str(), &info) == 0) {
    if (!S_ISLNK(info.st_mode)) {
      error = link + " exists and is not a symbolic link";
      return false;
    }
    unlink(link.c_str());
  }
  if (symlink(target.c_str(), link.c_str()) != 0) {
    error = SystemError("symlink " + link);
    return false;
  }
  return true;
}

}  // namespace velta::sim
