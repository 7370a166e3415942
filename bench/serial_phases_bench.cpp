// A settings read over the pseudo-terminal taken apart, with the simulator acting as a 9600-baud
// line: open, the block's request and reply, the Version exchange and the close with its 150 ms
// pause, each beside its wire time. Where a read takes longer than its bytes and the pause, this
// shows which step the time went to (on a busy machine: the replies, which the kernel hands from
// the simulator's end of the pseudo-terminal to the program's through a worker thread, and the
// pause, whose wake-up comes late).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/machine_load.h"
#include "controller/image.h"
#include "link/exchange.h"
#include "link/port_search.h"
#include "tests/support/sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 15;
constexpr std::uint32_t kBenchComPort = 249;
constexpr double kByteMs = 10.0 * 1000.0 / 9600.0;
constexpr double kClosePauseMs = 150;

struct Phase {
  const char* name;
  double wireMs;
  std::vector<double> ms;
};

double Ms(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

int main() {
  velta::bench::PrintMachineLoad("at the start");
  velta::test::SimProcess sim({"--pty", "--baud", "9600"});
  velta::SetComPortOverride(kBenchComPort, sim.PtyPath());
  Phase phases[] = {
      {"open", 0, {}},
      {"block 0..51 (4+53)", 57 * kByteMs, {}},
      {"version (4+9)", 13 * kByteMs, {}},
      {"close (pause)", kClosePauseMs, {}},
  };
  std::vector<std::uint8_t> block(velta::kParameterBlockSize + 1);
  std::vector<std::uint8_t> version(velta::kVersionReplyLength);
  int failed = 0;
  for (int run = 0; run < kRuns; ++run) {
    const auto opening = Clock::now();
    velta::ChannelHandle channel(velta::OpenSerialChannel(kBenchComPort, 9600));
    const auto opened = Clock::now();
    bool good = velta::Exchange(channel, velta::ReadRequest(0, velta::kParameterBlockSize - 1),
                                block) == velta::ExchangeOutcome::Good;
    const auto read = Clock::now();
    good = velta::ExchangeUnsummed(channel, velta::StatusRequest(velta::kVersionQuery), version) ==
               velta::ExchangeOutcome::Good &&
           good;
    const auto asked = Clock::now();
    channel.Close();
    const auto closed = Clock::now();
    if (!good) ++failed;
    phases[0].ms.push_back(Ms(opening, opened));
    phases[1].ms.push_back(Ms(opened, read));
    phases[2].ms.push_back(Ms(read, asked));
    phases[3].ms.push_back(Ms(asked, closed));
  }
  std::printf("settings read over the pty at 9600 baud, %d runs, %d with a short reply\n", kRuns,
              failed);
  std::printf("%-20s %9s %9s %9s %9s\n", "step", "wire ms", "median", "mean", "max");
  for (Phase& phase : phases) {
    std::sort(phase.ms.begin(), phase.ms.end());
    double sum = 0;
    for (double ms : phase.ms) sum += ms;
    std::printf("%-20s %9.2f %9.2f %9.2f %9.2f\n", phase.name, phase.wireMs,
                phase.ms[phase.ms.size() / 2], sum / static_cast<double>(phase.ms.size()),
                phase.ms.back());
  }
  velta::bench::PrintMachineLoad("at the end");
  return failed == 0 ? 0 : 1;
}
