// The simulated controller as seen from its serial line: bytes in, reply bytes out. It holds
// the memory, the live model, the boot loader, the write enable and the faults, and records
// every request frame it receives.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/boot_loader.h"
#include "sim/controller_model.h"
#include "sim/faults.h"
#include "sim/frame_window.h"
#include "sim/memory.h"

namespace velta::sim {

// What one connection (a TCP client, the pseudo-terminal) has sent so far.
struct LinkState {
  FrameWindow window;
  double lastByteTime = 0;  // seconds on the caller's clock
  int requests = 0;
};

struct DeviceOutput {
  std::vector<std::uint8_t> reply;
  bool close = false;  // the controller drops this connection once the reply is out
};

class Device {
 public:
  using Logger = std::function<void(const std::string&)>;

  Device();

  // Feeds bytes that arrived on `link` at time `now` (seconds, any monotonic clock).
  void Receive(LinkState& link, std::span<const std::uint8_t> bytes, double now, DeviceOutput& out);

  // Runs the live model forward.
  void Advance(double seconds);

  // Changes one setting ("level", "error", "version", "fault", ...; see SettingsHelp()).
  // Returns an error text, empty on success.
  std::string Set(std::string_view key, std::string_view value);
  // Every setting as key=value, in the order of SettingsHelp().
  std::vector<std::string> Settings() const;
  static std::string SettingsHelp();

  std::string AddFault(std::string_view description);
  const Faults& CurrentFaults() const { return faults_; }

  const std::vector<std::string>& Frames() const { return frames_; }
  // How many connections have sent their first request since the frames were last cleared.
  int Connections() const { return connections_; }
  void ClearFrames() {
    frames_.clear();
    connections_ = 0;
  }
  Memory& Mem() { return memory_; }
  const Memory& Mem() const { return memory_; }
  const BootLoader& Boot() const { return boot_; }
  // "normal", or "boot" while the boot loader runs.
  std::string Mode() const { return inBootLoader_ ? "boot" : "normal"; }
  bool Live() const { return live_; }
  int WriteEnableSeconds() const;

  void SetLogger(Logger logger) { logger_ = std::move(logger); }

 private:
  void HandleFrame(LinkState& link, const Frame& frame, DeviceOutput& out);
  std::optional<std::vector<std::uint8_t>> Respond(const Frame& frame);
  std::optional<std::vector<std::uint8_t>> RespondStatus(int code);
  std::vector<std::uint8_t> ReadMemory(const Frame& frame) const;
  std::optional<std::vector<std::uint8_t>> WriteMemory(const Frame& frame);
  void Log(const std::string& line) const;

  Memory memory_;
  LiveState state_;
  Faults faults_;
  BootLoader boot_;
  bool inBootLoader_ = false;
  double receivedAt_ = 0;  // when the byte being handled came in (seconds)
  bool live_ = true;
  std::vector<std::string> frames_;
  int connections_ = 0;
  std::string version_ = "1.601.60";
  std::uint8_t versionTail_ = 0x00;
  std::uint8_t acknowledge_ = 0x00;
  bool writeEnableAlways_ = false;
  double writeEnableUntil_ = -1;   // model seconds
  double writeEnableDuration_ = 60;
  Logger logger_;
};

}  // namespace velta::sim
