// Settings and backup transfers against the simulator paced at 9600 baud in both directions: each
// operation's time beside the time its bytes need on a 9600-baud wire (request + reply bytes, 10
// bits each). Every job opens one Channel and closes it once; the serial Channel pauses 150 ms on
// that close, as the controller needs, so over the pseudo-terminal the ratio is shown with that
// one pause and without it. The pseudo-terminal also stands behind a modelled USB adapter whose
// latency timer is 16 ms (an FTDI chip's default) and 1 ms (what the udev rule sets). Behind the
// adapter each acknowledged frame ends on a timer tick and the next starts from there, so a 5.2 ms
// frame takes 6 ms at 1 ms (1.15); a wake-up of the program, the simulator or the kernel's
// pseudo-terminal worker that comes more than 0.8 ms late costs a whole further tick. On a busy
// machine that is where the time goes; `chrt -f 50` in front of the benchmark shows the figures
// without the other programs' load.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "service/settings_jobs.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/scratch_dir.h"
#include "bench/machine_load.h"
#include "bench/paced_transfers.h"

namespace {

constexpr int kRuns = 7;
constexpr int kAdapterRuns = 3;  // the adapter rows are slow; three keep the benchmark short
constexpr std::int32_t kBenchComPort = 247;
constexpr std::int32_t kAdapter16ComPort = 248;
constexpr std::int32_t kAdapter1ComPort = 249;
constexpr int kVersionExchange = 4 + 9;
constexpr int kWriteExchange = 4 + 1;
constexpr int kClosingRequest = 4;
constexpr double kSerialClosePauseMs = 150;  // the serial Channel's pause before its one close

struct Operation {
  const char* name;
  int wireBytes;
  std::function<bool(const velta::ConnectionSettings&)> run;
};

double WireMs(int bytes) { return bytes * 10 * 1000.0 / 9600.0; }

struct Link {
  const char* name;
  velta::ConnectionSettings settings;
  int runs;
};

void Measure(const Link& link, const Operation& operation) {
  const velta::ConnectionSettings& settings = link.settings;
  const double wire = WireMs(operation.wireBytes);
  const double pause = settings.useTcp ? 0 : kSerialClosePauseMs;
  std::vector<double> ms;
  int failed = 0;
  for (int i = 0; i < link.runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!operation.run(settings)) ++failed;
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  std::sort(ms.begin(), ms.end());
  const double median = ms[ms.size() / 2];
  std::printf("%-8s %-15s %6d %8.1f %8.1f %8.1f %7.3f %7.0f %9.3f %5d/%d\n", link.name,
              operation.name, operation.wireBytes, wire, median, ms.back(), median / wire, pause,
              (median - pause) / wire, failed, link.runs);
}

}  // namespace

int main() {
  velta::bench::PrintMachineLoad("at the start");
  const velta::bench::PacedSimulator sim(kBenchComPort);
  const velta::bench::PacedSimulator adapter16(kAdapter16ComPort, 16);
  const velta::bench::PacedSimulator adapter1(kAdapter1ComPort, 1);

  velta::ControllerImage image;
  for (int a = 0; a < velta::kImageSize; ++a) image.SetByte(a, static_cast<std::uint8_t>(a));
  velta::test::RecordingFeedback feedback;
  const velta::test::ScratchDir historyDir;
  velta::History history(historyDir.Path());
  velta::Baselines baselines;
  namespace service = velta::service;
  const auto read = [&](const velta::ConnectionSettings& s, velta::ImageFileKind kind) {
    return service::ReadBlock(s, feedback, {history, baselines}, kind, image).Done();
  };
  const Operation operations[] = {
      {"settings read", 4 + 53 + kVersionExchange,
       [&](const velta::ConnectionSettings& s) {
         return read(s, velta::ImageFileKind::Settings);
       }},
      {"settings write", 52 * kWriteExchange + kClosingRequest,
       [&](const velta::ConnectionSettings& s) {
         return service::WriteSettings(s, feedback, {history, baselines}, {image, true}).Done();
       }},
      {"backup read", 4 + 256 + kVersionExchange + 4 + 3 + kVersionExchange,
       [&](const velta::ConnectionSettings& s) {
         return read(s, velta::ImageFileKind::Backup);
       }},
      {"backup write", 256 * kWriteExchange + kClosingRequest,
       [&](const velta::ConnectionSettings& s) {
         return service::RestoreBackup(s, feedback, {history, baselines}, image, false).Done();
       }},
  };

  std::printf("velta-sim --baud 9600 (both directions), median of %d runs (%d behind an adapter)\n",
              kRuns, kAdapterRuns);
  std::printf("ratio = median / wire time; 'w/o pause' leaves out the serial close pause\n");
  std::printf("'pty 16ms', 'pty 1ms': velta-sim --adapter-latency 16 or 1 on the pseudo-terminal\n");
  std::printf("%-8s %-15s %6s %8s %8s %8s %7s %7s %9s %7s\n", "link", "operation", "bytes",
              "wire ms", "median", "max ms", "ratio", "pause", "w/o pause", "failed");
  const Link links[] = {{"tcp", sim.Tcp(), kRuns},
                        {"pty", sim.Serial(), kRuns},
                        {"pty 16ms", adapter16.Serial(), kAdapterRuns},
                        {"pty 1ms", adapter1.Serial(), kAdapterRuns}};
  for (const Link& link : links) {
    for (const Operation& operation : operations) Measure(link, operation);
  }
  velta::bench::PrintMachineLoad("at the end");
  return 0;
}
