// What the transfer benchmarks share: the simulator paced at 9600 baud on TCP and on its
// pseudo-terminal (reached as a COM number), optionally behind a modelled USB adapter whose
// latency timer holds every reply, and the median time of repeated runs.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/connection.h"
#include "link/port_search.h"
#include "tests/support/sim_process.h"

namespace velta::bench {

class PacedSimulator {
 public:
  // `adapterLatencyMs` 0: the replies reach the program as they leave the line.
  explicit PacedSimulator(std::int32_t comPort, int adapterLatencyMs = 0)
      : sim_({"--write-enable", "--pty", "--baud", "9600", "--adapter-latency",
              std::to_string(adapterLatencyMs)}) {
    SetComPortOverride(static_cast<std::uint32_t>(comPort), sim_.PtyPath());
    serial_.comPort = comPort;
  }
  ConnectionSettings Tcp() const { return sim_.TcpSettings(); }
  const ConnectionSettings& Serial() const { return serial_; }

 private:
  test::SimProcess sim_;
  ConnectionSettings serial_;
};

// The median of `runs` timed runs in milliseconds; runs that report failure are counted.
inline double MedianMs(int runs, const std::function<bool()>& run, int& failed) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!run()) ++failed;
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

}  // namespace velta::bench
