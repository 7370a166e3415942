// The changed-only settings write (velta-cli write --changed-only) against the full settings
// write as the Settings window runs it (the reference read, then all 52 bytes, on one link), both
// with one field changed, against the simulator paced at 9600 baud over TCP and the
// pseudo-terminal, there also behind a modelled USB adapter with a 1 ms latency timer.
#include <cstdio>

#include "bench/machine_load.h"
#include "bench/paced_transfers.h"
#include "controller/fields.h"
#include "service/settings_jobs.h"
#include "tests/support/recording_feedback.h"
#include "tests/support/scratch_dir.h"

namespace {

constexpr int kRuns = 7;
constexpr std::int32_t kBenchComPort = 246;
constexpr std::int32_t kAdapterComPort = 245;

}  // namespace

int main() {
  velta::bench::PrintMachineLoad("at the start");
  const velta::bench::PacedSimulator sim(kBenchComPort);
  const velta::bench::PacedSimulator adapter1(kAdapterComPort, 1);
  velta::test::RecordingFeedback feedback;
  const velta::test::ScratchDir historyDir;
  velta::History history(historyDir.Path());
  // The changed-only write compares against what the read and the writes before it left here.
  velta::Baselines baselines;
  namespace service = velta::service;

  std::printf("velta-sim --baud 9600, one field changed, median of %d runs\n", kRuns);
  std::printf("%-8s %12s %14s %7s %7s\n", "link", "full ms", "changed ms", "ratio", "failed");
  for (const auto& [transport, settings] :
       {std::pair{"tcp", sim.Tcp()}, std::pair{"pty", sim.Serial()},
        std::pair{"pty 1ms", adapter1.Serial()}}) {
    const service::MemoryRead read = service::ReadBlock(settings, feedback, {history, baselines},
                                                        velta::ImageFileKind::Settings, {});
    if (!read.Done()) return 1;
    velta::ControllerImage image = read.image;
    int failed = 0;
    int value = 0;
    // Each run changes Druckendwert, so the changed-only write always has one byte to write.
    const double full = velta::bench::MedianMs(
        kRuns,
        [&] {
          velta::Set(image, velta::field::Druckendwert, 50 + (value++ % 50));
          return service::WriteSettings(settings, feedback, {history, baselines}, {image}).Done();
        },
        failed);
    const double changed = velta::bench::MedianMs(
        kRuns,
        [&] {
          velta::Set(image, velta::field::Druckendwert, 50 + (value++ % 50));
          const service::BlockWrite written =
              service::WriteSettings(settings, feedback, {history, baselines}, {image, false, true});
          return written.Done() && written.written.size() == 1;
        },
        failed);
    std::printf("%-8s %12.1f %14.1f %7.3f %5d/%d\n", transport, full, changed, changed / full,
                failed, 2 * kRuns);
  }
  velta::bench::PrintMachineLoad("at the end");
  return 0;
}
