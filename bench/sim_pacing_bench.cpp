// How closely velta-sim --baud 9600 keeps to the wire time of a real 9600 baud line (10 bits per
// byte, both ways): an exchange should take its 4 request bytes and its reply bytes times
// 1.0417 ms, no more and no less.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>
#include <vector>

#include "link/exchange.h"
#include "controller/memory_map.h"
#include "link/connection.h"
#include "link/port_search.h"
#include "bench/machine_load.h"
#include "tests/support/sim_process.h"

namespace {

constexpr int kRounds = 50;
constexpr double kByteMs = 10.0 * 1000.0 / 9600.0;
constexpr std::uint32_t kBenchComPort = 248;

// Every reply here is a data reply but the write's acknowledgement.
void Measure(const velta::ChannelHandle& channel, const char* name, const velta::Frame& request,
             int length) {
  std::vector<double> ms;
  std::vector<std::uint8_t> reply(static_cast<std::size_t>(length));
  int failed = 0;
  for (int i = 0; i < kRounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const velta::ExchangeOutcome outcome = length == 1
                                               ? velta::ExchangeAcknowledged(channel, request)
                                               : velta::Exchange(channel, request, reply);
    if (outcome != velta::ExchangeOutcome::Good) ++failed;
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  std::sort(ms.begin(), ms.end());
  const double wire = (4 + length) * kByteMs;
  std::printf(
      "%-18s 4+%3d bytes  wire %7.3f ms  median %7.3f ms (%+6.3f)  p99 %7.3f ms  failed %d/%d\n",
      name, length, wire, ms[ms.size() / 2], ms[ms.size() / 2] - wire, ms[ms.size() * 99 / 100],
      failed, kRounds);
}

}  // namespace

int main() {
  velta::bench::PrintMachineLoad("at the start");
  velta::test::SimProcess sim({"--baud", "9600", "--write-enable", "--pty"});
  velta::SetComPortOverride(kBenchComPort, sim.PtyPath());
  std::printf("velta-sim --baud 9600, %d exchanges each; (+) is the time beyond the wire\n",
              kRounds);
  velta::ConnectionSettings serial;
  serial.comPort = kBenchComPort;
  for (const auto& [name, settings] :
       {std::pair{"tcp", sim.TcpSettings()}, std::pair{"pty", serial}}) {
    std::printf("%s:\n", name);
    const velta::ChannelHandle channel = velta::OpenFromSettings(settings);
    const std::uint8_t writeBase = velta::WriteFamilyBase(settings);
    Measure(channel, "memory write", velta::WriteRequest(writeBase, 5, 1), 1);
    Measure(channel, "main status page", velta::StatusRequest(velta::kMainStatusPage), 15);
    Measure(channel, "history block",
            velta::ReadRequest(velta::kHistoryRingAddress, velta::kHistoryPositionAddress), 58);
    Measure(channel, "backup 1..255", velta::ReadRequest(1, 255), 256);
  }
  velta::bench::PrintMachineLoad("at the end");
  return 0;
}
