// The far ends the channel tests talk to: a real pseudo-terminal standing in for the controller's
// serial line, and a real loopback TCP listener.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "link/port_search.h"
#include "tests/support/loopback.h"

namespace velta::test {

inline std::int64_t ElapsedMs(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

// CPU time this process has used, to tell a waiting call from one that spins.
inline std::int64_t CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

// Reads exactly `count` bytes from fd, waiting up to `waitMs` in all; returns what arrived.
inline std::vector<std::uint8_t> ReadFrom(int fd, std::size_t count, int waitMs = 3000) {
  std::vector<std::uint8_t> bytes;
  const auto start = std::chrono::steady_clock::now();
  while (bytes.size() < count && ElapsedMs(start) < waitMs) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    std::uint8_t chunk[512];
    const ssize_t n = read(fd, chunk, std::min(sizeof chunk, count - bytes.size()));
    if (n <= 0) break;
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  return bytes;
}

inline bool WriteTo(int fd, const std::vector<std::uint8_t>& bytes) {
  return write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

// A pseudo-terminal whose slave side is reachable as COM `port`; the test holds the master side
// as the controller would hold the other end of the cable.
class PtyPeer {
 public:
  explicit PtyPeer(std::uint32_t port) : port_(port) {
    char name[128] = {};
    // The slave stays open here too, so the pty lives on after the channel closes its side.
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
    termios raw{};
    tcgetattr(master_, &raw);
    cfmakeraw(&raw);
    tcsetattr(master_, TCSANOW, &raw);
    path_ = name;
    SetComPortOverride(port_, path_);
  }
  ~PtyPeer() {
    SetComPortOverride(port_, "");
    CloseMaster();
    if (slave_ >= 0) close(slave_);
  }
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  bool ok() const { return master_ >= 0; }
  int master() const { return master_; }
  const std::string& path() const { return path_; }
  // The controller end goes away, as when a USB adapter is pulled.
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }
 private:
  std::uint32_t port_;
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

// A loopback listener that never answers a further connect: its accept queue (backlog 0) is
// filled by one connection nobody accepts, so the kernel drops every later SYN, as a host behind a
// silent firewall would.
class SynDroppingListener {
 public:
  SynDroppingListener() : filler_(listener_.ok() ? ConnectLoopback(listener_.port()) : -1) {}
  ~SynDroppingListener() {
    if (filler_ >= 0) close(filler_);
  }
  SynDroppingListener(const SynDroppingListener&) = delete;
  SynDroppingListener& operator=(const SynDroppingListener&) = delete;

  bool ok() const { return filler_ >= 0; }
  std::uint16_t port() const { return listener_.port(); }

 private:
  LoopbackListener listener_{0};
  int filler_;
};

}  // namespace velta::test
