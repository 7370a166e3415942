// The machine's load beside a benchmark's figures: on a busy machine every wake-up of the program,
// the simulator and the kernel's pseudo-terminal worker can come milliseconds late, and the
// ratios to wire time grow with it.
#pragma once

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

namespace velta::bench {

inline void PrintMachineLoad(const char* when) {
  std::ifstream file("/proc/loadavg");
  double oneMinute = -1;
  file >> oneMinute;
  std::printf("load average %s: %.2f on %u cores\n", when, oneMinute,
              std::thread::hardware_concurrency());
}

}  // namespace velta::bench
