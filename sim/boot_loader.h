// The controller's boot loader: after the Update request it waits for the handshake byte, then
// takes the firmware image in numbered 32-byte blocks, each acknowledged when its sum is right,
// until the end sequence hands control back to the normal firmware.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velta::sim {

constexpr std::uint8_t kHandshake = 0xA1;
constexpr std::uint8_t kHandshakeAnswer = 0xD2;
constexpr std::uint8_t kBlockAcknowledge = 0x00;
constexpr std::uint8_t kBlockRefused = 0xFF;
constexpr std::uint8_t kEndFirst = 0x24;
constexpr std::uint8_t kEndSecond = 0x09;
constexpr int kBlockSize = 32;
constexpr int kBlockFrameSize = kBlockSize + 3;  // 2 number bytes, data, sum
constexpr int kFlashBlocks = 0x3800 / kBlockSize;

struct BootFaults {
  std::optional<int> handshakeAnswer;  // instead of D2; -1 = no answer
  std::optional<int> blockStop;        // first block that is not acknowledged
  // This block (first) is answered with this byte (second) instead of 00, and not stored.
  std::optional<std::pair<int, int>> blockAnswer;
  double lateSeconds = 0;  // the boot loader starts this long after it was entered
};

class BootLoader {
 public:
  struct Step {
    std::optional<std::uint8_t> reply;
    bool finished = false;  // the end sequence arrived: back to the normal firmware
  };

  // Starts a new programming session at `now` (seconds); the image programmed so far is
  // forgotten.
  void Enter(double now);
  // One byte arriving at `now` (seconds). Bytes before the boot loader has started (faults'
  // lateSeconds after Enter) are lost. After a pause of kIdleSeconds the boot loader gives up
  // a half-received block and waits for the handshake again, so a programmer that failed can
  // start over.
  Step Feed(std::uint8_t byte, const BootFaults& faults, double now);

  static constexpr double kIdleSeconds = 1.0;

  // The programmed image: every acknowledged block at its place, unprogrammed bytes FF.
  const std::vector<std::uint8_t>& Image() const { return image_; }
  // What happened, one line per event ("handshake D2", "block 3 ok", "block 4 bad sum", "end").
  const std::vector<std::string>& Events() const { return events_; }

 private:
  Step FinishBlock(const BootFaults& faults);

  bool connected_ = false;
  double enteredAt_ = 0;
  double lastByteTime_ = 0;
  std::vector<std::uint8_t> pending_;
  std::vector<std::uint8_t> image_;
  std::vector<std::string> events_;
};

}  // namespace velta::sim
