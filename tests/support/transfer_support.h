// Connection settings and memory helpers for tests of transfers with the simulated controller.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/connection.h"
#include "link/port_search.h"
#include "tests/support/sim_process.h"

namespace velta::test {

// The simulator's pseudo-terminal reached as a serial port through a COM number.
inline ConnectionSettings PtySettings(const SimProcess& sim, std::uint32_t comPort) {
  SetComPortOverride(comPort, sim.PtyPath());
  ConnectionSettings settings;
  settings.comPort = static_cast<std::int32_t>(comPort);
  return settings;
}

// A TCP port on loopback where nothing listens.
// The reason line an operation adds when the open of UnreachableSettings fails.
inline const std::string kRefusedReason =
    "Connection refused by 127.0.0.1:1: nothing listens on that port";

inline ConnectionSettings UnreachableSettings() {
  ConnectionSettings settings;
  settings.useTcp = true;
  settings.tcpHost = "127.0.0.1";
  settings.tcpPort = 1;
  return settings;
}

inline std::vector<std::uint8_t> MemoryRange(SimProcess& sim, int first, int last) {
  const std::vector<std::uint8_t> memory = sim.Memory();
  return {memory.begin() + first, memory.begin() + last + 1};
}

// n bytes counting down from `start`, so each address holds a different value.
inline std::vector<std::uint8_t> Pattern(int n, int start) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < n; ++i) bytes.push_back(static_cast<std::uint8_t>(start - i));
  return bytes;
}

}  // namespace velta::test
