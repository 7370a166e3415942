// How long a full-size firmware update takes against the simulator's boot loader: over a
// pseudo-terminal with the simulator acting as a 9600-baud line both ways, directly and behind a
// modelled USB adapter with a 16 ms and a 1 ms latency timer, compared with the time every byte
// sent and answered needs on that line plus the boot loader's start pause; and over the unpaced
// pseudo-terminal and TCP loopback.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/port_search.h"
#include "bench/machine_load.h"
#include "tests/support/sim_process.h"
#include "update/firmware_update.h"
#include "update/update_file.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBaud = 9600;
constexpr double kSecondsPerByte = 10.0 / kBaud;  // start bit, 8 data bits, stop bit
constexpr std::uint32_t kBenchComPort = 250;

// Notes when the success line appears: the update is done then, the Channel's close follows.
class TimedFeedback : public velta::Feedback {
 public:
  explicit TimedFeedback(Clock::time_point start) : start_(start) {}
  void Log(const std::string&) override { done = Clock::now() - start_; }
  void Beep() override {}
  std::chrono::duration<double> done{};

 private:
  Clock::time_point start_;
};

struct Run {
  double toSuccessLine;
  double total;
  bool programmed;
};

Run Measure(const velta::ConnectionSettings& settings, const std::string& path) {
  const auto start = Clock::now();
  TimedFeedback feedback(start);
  const bool programmed =
      velta::RunFirmwareUpdate(settings, path, feedback) == velta::UpdateOutcome::Programmed;
  return {feedback.done.count(), std::chrono::duration<double>(Clock::now() - start).count(),
          programmed};
}

}  // namespace

int main() {
  velta::bench::PrintMachineLoad("at the start");
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("update_bench_" + std::to_string(::getpid()) + ".enc"))
                               .string();
  {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < velta::kMaxUpdateFileSize; ++i) out.put(static_cast<char>(i * 37));
  }
  const int blocks = static_cast<int>(velta::kMaxUpdateFileSize / velta::kUpdateBlockSize);
  // The program sends the Update request, the handshake, every block of 35 bytes and the end
  // sequence; the boot loader answers the handshake and every block with one byte.
  const int sent = 4 + 1 + blocks * 35 + 2;
  const int answered = 1 + blocks;
  const double wait = velta::kBootLoaderStartMs / 1000.0;
  const double onLine = (sent + answered) * kSecondsPerByte;

  std::printf("firmware update, %lld bytes, %d blocks\n",
              static_cast<long long>(velta::kMaxUpdateFileSize), blocks);
  int status = 0;
  // Behind no adapter, and behind a modelled USB adapter at an FTDI chip's default latency timer
  // and at the 1 ms the udev rule sets.
  for (const int latencyMs : {0, 16, 1}) {
    velta::test::SimProcess sim({"--pty", "--baud", std::to_string(kBaud), "--adapter-latency",
                                 std::to_string(latencyMs)});
    velta::SetComPortOverride(kBenchComPort, sim.PtyPath());
    velta::ConnectionSettings serial;
    serial.comPort = static_cast<std::int32_t>(kBenchComPort);
    const Run run = Measure(serial, path);
    const double reference = onLine + wait;
    const std::string label = latencyMs == 0 ? "pty" : "pty " + std::to_string(latencyMs) + "ms";
    std::printf("%s: serial pty, line paced at %d baud both ways%s:\n", label.c_str(), kBaud,
                latencyMs == 0 ? "" : ", replies held by the adapter's latency timer");
    std::printf("  to success line %.3f s, with Channel close %.3f s\n", run.toSuccessLine,
                run.total);
    std::printf("  %d bytes sent + %d answered on the line %.3f s + pause %.3f s = %.3f s\n", sent,
                answered, onLine, wait, reference);
    std::printf("  ratio to success line %.3f (target <= %s)\n", run.toSuccessLine / reference,
                latencyMs == 0 ? "1.05" : latencyMs == 1 ? "1.20" : "none");
    if (!run.programmed) status = 1;
  }
  {
    velta::test::SimProcess sim({"--pty"});
    velta::SetComPortOverride(kBenchComPort, sim.PtyPath());
    velta::ConnectionSettings serial;
    serial.comPort = static_cast<std::int32_t>(kBenchComPort);
    const Run run = Measure(serial, path);
    std::printf("serial pty, unpaced: to success line %.3f s = pause %.3f s + %.3f s\n",
                run.toSuccessLine, wait, run.toSuccessLine - wait);
    if (!run.programmed) status = 1;
  }
  {
    velta::test::SimProcess sim;
    std::printf("TCP loopback, unpaced (3 runs):\n");
    for (int i = 0; i < 3; ++i) {
      const Run run = Measure(sim.TcpSettings(), path);
      std::printf("  to success line %.3f s = pause %.3f s + %.3f s (target < 2 s)%s\n",
                  run.toSuccessLine, wait, run.toSuccessLine - wait,
                  run.programmed ? "" : " FAILED");
      if (!run.programmed) status = 1;
    }
  }
  std::filesystem::remove(path);
  velta::bench::PrintMachineLoad("at the end");
  return status;
}
