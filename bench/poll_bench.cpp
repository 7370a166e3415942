// The status poll as the Monitor window runs it: one tick every 200 ms for a minute (or the
// seconds given as the first argument) against the simulator over TCP, paced at 9600 baud.
// Prints CPU use, resident memory, the exchanges per tick counted at the simulator, and how long
// each page's exchange took beside its time on a 9600-baud wire.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "monitor/poll_tick.h"
#include "bench/machine_load.h"
#include "tests/support/sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      long kib = 0;
      status >> kib;
      return kib;
    }
    status.ignore(1 << 16, '\n');
  }
  return -1;
}

struct PageStats {
  int exchanges = 0, good = 0;
  double seconds = 0;
};

}  // namespace

int main(int argc, char** argv) {
  velta::bench::PrintMachineLoad("at the start");
  const double duration = argc > 1 ? std::atof(argv[1]) : 60.0;
  constexpr auto kTick = velta::kPollInterval;
  constexpr double kBaud = 9600;

  velta::test::SimProcess sim({"--baud", "9600", "--set", "watermeter=1", "--set", "modulerinse=1",
                               "--set", "filter=1"});
  velta::ChannelHandle channel = velta::OpenFromSettings(sim.TcpSettings());
  if (!channel.IsOpen()) {
    std::fprintf(stderr, "cannot reach the simulator\n");
    return 1;
  }
  sim.ClearFrames();

  velta::PollCycle cycle;
  std::map<velta::PollState, PageStats> pages;
  long ticks = 0;
  const long rssBefore = ResidentKiB();
  const double cpuBefore = CpuSeconds();
  const Clock::time_point start = Clock::now();
  Clock::time_point next = start;
  while (Clock::now() - start < std::chrono::duration<double>(duration)) {
    std::this_thread::sleep_until(next);
    next += kTick;
    const Clock::time_point begin = Clock::now();
    const velta::StatusUpdate update = velta::PollTick(cycle, channel);
    PageStats& stats = pages[update.verdict.page];
    stats.seconds += std::chrono::duration<double>(Clock::now() - begin).count();
    ++stats.exchanges;
    stats.good += update.verdict.good;
    ++ticks;
    // A tick that overran its 200 ms starts the next one at once, as a busy timer does.
    if (next < Clock::now()) next = Clock::now();
  }
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double cpu = CpuSeconds() - cpuBefore;
  channel.Close();
  const std::size_t frames = sim.Frames().size();

  // Wire time: request and reply at 10 bits a byte, what a serial line cannot beat.
  std::printf("%-20s %10s %8s %14s %14s\n", "page", "exchanges", "good", "mean ms", "wire ms");
  for (const auto& [state, stats] : pages) {
    const double wireMs =
        (4 + velta::PollReplyLength(state)) * 10 / kBaud * 1000;  // request and reply, 10 bits
    std::printf("%-20s %10d %8d %14.1f %14.1f\n", velta::StatusPageOf(state).name,
                stats.exchanges, stats.good,
                stats.seconds / stats.exchanges * 1000, wireMs);
  }
  std::printf("\n%-32s %10.1f\n", "wall time s", wall);
  std::printf("%-32s %10ld\n", "ticks", ticks);
  std::printf("%-32s %10zu\n", "frames at the simulator", frames);
  std::printf("%-32s %10.3f\n", "exchanges per tick", ticks ? double(frames) / ticks : 0.0);
  std::printf("%-32s %10.2f\n", "CPU use % of one core", 100 * cpu / wall);
  std::printf("%-32s %10.3f\n", "CPU ms per tick", ticks ? 1000 * cpu / ticks : 0.0);
  std::printf("%-32s %10ld\n", "VmRSS KiB before", rssBefore);
  std::printf("%-32s %10ld\n", "VmRSS KiB after", ResidentKiB());
  velta::bench::PrintMachineLoad("at the end");
  return frames == static_cast<std::size_t>(ticks) ? 0 : 1;
}
