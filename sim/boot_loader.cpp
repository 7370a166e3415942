#include "sim/boot_loader.h"

#include <algorithm>

#include "sim/hex.h"

namespace velta::sim {

void BootLoader::Enter(double now) {
  connected_ = false;
  enteredAt_ = now;
  pending_.clear();
  image_.clear();
  events_.push_back("enter");
}

BootLoader::Step BootLoader::Feed(std::uint8_t byte, const BootFaults& faults, double now) {
  if (now - enteredAt_ < faults.lateSeconds) {
    events_.push_back("not started, lost " + HexBytes(std::span(&byte, 1)));
    return {};
  }
  if (connected_ && now - lastByteTime_ > kIdleSeconds) {
    connected_ = false;
    pending_.clear();
    events_.push_back("idle, waiting for the handshake");
  }
  lastByteTime_ = now;
  if (!connected_) {
    // Anything but the handshake byte is line noise before the programmer is ready.
    if (byte != kHandshake) return {};
    connected_ = true;
    if (faults.handshakeAnswer && *faults.handshakeAnswer < 0) {
      events_.push_back("handshake unanswered");
      return {};
    }
    const auto answer =
        static_cast<std::uint8_t>(faults.handshakeAnswer.value_or(kHandshakeAnswer));
    events_.push_back("handshake " + HexBytes(std::span(&answer, 1)));
    return {answer, false};
  }
  pending_.push_back(byte);
  // Block numbers stay below 0x200, so a second byte 09 can only belong to the end sequence.
  if (pending_.size() == 2 && pending_[0] == kEndFirst && pending_[1] == kEndSecond) {
    pending_.clear();
    connected_ = false;
    events_.push_back("end");
    return {std::nullopt, true};
  }
  if (pending_.size() < static_cast<std::size_t>(kBlockFrameSize)) return {};
  return FinishBlock(faults);
}

BootLoader::Step BootLoader::FinishBlock(const BootFaults& faults) {
  const int block = pending_[0] | (pending_[1] << 8);
  unsigned sum = 0;
  for (int i = 0; i < kBlockFrameSize - 1; ++i) sum += pending_[static_cast<std::size_t>(i)];
  const bool sumRight = (sum & 0xFF) == pending_.back();
  const std::string name = "block " + std::to_string(block);
  Step step;
  if (faults.blockStop && block >= *faults.blockStop) {
    events_.push_back(name + " unanswered");
  } else if (faults.blockAnswer && faults.blockAnswer->first == block) {
    step.reply = static_cast<std::uint8_t>(faults.blockAnswer->second);
    events_.push_back(name + " answered " + HexBytes(std::span(&*step.reply, 1)));
  } else if (!sumRight) {
    events_.push_back(name + " bad sum");
    step.reply = kBlockRefused;
  } else if (block >= kFlashBlocks) {
    events_.push_back(name + " beyond flash");
    step.reply = kBlockRefused;
  } else {
    const std::size_t offset = static_cast<std::size_t>(block) * kBlockSize;
    if (image_.size() < offset + kBlockSize) image_.resize(offset + kBlockSize, 0xFF);
    std::copy(pending_.begin() + 2, pending_.end() - 1, image_.begin() + static_cast<long>(offset));
    events_.push_back(name + " ok");
    step.reply = kBlockAcknowledge;
  }
  pending_.clear();
  return step;
}

}  // namespace velta::sim
