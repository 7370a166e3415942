// The simulator's ends of its connections: TCP listeners and the pseudo-terminal.
#pragma once

#include <cstdint>
#include <string>

namespace velta::sim {

struct Listener {
  int fd = -1;
  std::uint16_t port = 0;  // the port actually bound (useful when 0 was asked for)
};

// A non-blocking listening socket on host:port (dotted IPv4 or a name). fd -1 and `error` set on
// failure.
Listener ListenTcp(const std::string& host, std::uint16_t port, std::string& error);

// Accepts one pending connection as a non-blocking socket with TCP_NODELAY; -1 when none.
int AcceptClient(int listenFd);

struct Pty {
  int master = -1;
  int slave = -1;  // held open so the master stays usable while no program has the port open
  std::string path;
};

// A raw pseudo-terminal; master -1 and `error` set on failure.
Pty OpenPty(std::string& error);

// Replaces `link` (if it is a symbolic link or absent) with a symbolic link to `target`.
bool MakeSymlink(const std::string& target, const std::string& link, std::string& error);

void CloseFd(int& fd);

}  // namespace velta::sim
