#include "sim/device.h"

#include <cmath>

#include "sim/hex.h"
#include "sim/pages.h"

namespace velta::sim {

namespace {

// A request takes 4 ms on a 9600 baud line; bytes of a half frame that sat far longer than that
// are leftovers of a broken request, not the start of the next one.
constexpr double kStalePartialSeconds = 0.2;
// A demo left polling for days must not grow without bound; tests see far fewer frames.
constexpr std::size_t kFrameLogLimit = 100000;

}  // namespace

Device::Device() : memory_(InitialMemory()) {}

int Device::WriteEnableSeconds() const {
  if (writeEnableAlways_) return 255;
  const double left = writeEnableUntil_ - state_.seconds;
  return left > 0 ? static_cast<int>(std::ceil(left)) : 0;
}

void Device::Advance(double seconds) { AdvanceModel(state_, memory_, seconds); }

void Device::Log(const std::string& line) const {
  if (logger_) logger_(line);
}

void Device::Receive(LinkState& link, std::span<const std::uint8_t> bytes, double now,
                     DeviceOutput& out) {
  receivedAt_ = now;
  for (std::uint8_t byte : bytes) {
    if (out.close) return;  // the connection is being dropped; nothing more is read
    if (inBootLoader_) {
      const std::size_t events = boot_.Events().size();
      const auto step = boot_.Feed(byte, BootLoaderFaults(faults_), now);
      if (boot_.Events().size() != events) Log("boot loader: " + boot_.Events().back());
      if (step.reply) out.reply.push_back(*step.reply);
      if (step.finished) {
        inBootLoader_ = false;
        link.window.Reset();
        Log("boot loader finished, normal firmware running");
      }
      continue;
    }
    if (!link.window.Empty() && now - link.lastByteTime > kStalePartialSeconds) link.window.Reset();
    link.lastByteTime = now;
    const auto frame = link.window.Push(byte);
    const auto dropped = link.window.TakeDropped();
    if (!dropped.empty()) Log("dropped " + HexBytes(dropped));
    if (frame) HandleFrame(link, *frame, out);
  }
}

void Device::HandleFrame(LinkState& link, const Frame& frame, DeviceOutput& out) {
  const std::string text = HexBytes(frame);
  if (frames_.size() >= kFrameLogLimit) frames_.erase(frames_.begin(), frames_.begin() + kFrameLogLimit / 10);
  frames_.push_back(text);
  if (link.requests++ == 0) ++connections_;
  auto reply = Respond(frame);
  if (reply) reply = ApplyReplyFaults(faults_, frame, std::move(*reply));
  if (reply) {
    out.reply.insert(out.reply.end(), reply->begin(), reply->end());
    Log("frame " + text + " -> " + HexBytes(*reply));
  } else {
    Log("frame " + text + " -> no reply");
  }
  if (faults_.dropAfter && link.requests >= *faults_.dropAfter) {
    out.close = true;
    Log("dropping the connection after " + std::to_string(link.requests) + " requests");
  }
}

std::optional<std::vector<std::uint8_t>> Device::Respond(const Frame& frame) {
  const std::uint8_t command = frame[0];
  if (command == kStatusCommand) {
    if (frame[1] != 0) return std::nullopt;
    return RespondStatus(frame[2]);
  }
  if ((command & 0xF8) == kReadCommand) return ReadMemory(frame);
  if ((command & 0xF0) == kSerialWriteBase) return WriteMemory(frame);
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> Device::RespondStatus(int code) {
  switch (code) {
    case kVersionQuery: {
      std::vector<std::uint8_t> reply(version_.begin(), version_.end());
      reply.resize(kVersionReplyLength - 1, ' ');
      reply.push_back(versionTail_);
      return reply;
    }
    case kClearErrorsRequest:
      state_.errors1 = 0;
      state_.errors2 = 0;
      return std::vector<std::uint8_t>{acknowledge_};
    case kWriteEnableRequest:
      writeEnableUntil_ = state_.seconds + writeEnableDuration_;
      return std::nullopt;
    case kUpdateRequest:
      inBootLoader_ = true;
      boot_.Enter(receivedAt_);
      Log("boot loader waiting for the handshake");
      return std::nullopt;
    case kSettingsDone:
    case kRestartRequest:
      return std::nullopt;
    default:
      return BuildStatusPage(code, state_, memory_, WriteEnableSeconds());
  }
}

std::vector<std::uint8_t> Device::ReadMemory(const Frame& frame) const {
  const int first = ((frame[0] & 0x07) << 8) | frame[1];
  std::vector<std::uint8_t> data;
  for (int i = 0; i < frame[2]; ++i) data.push_back(memory_.Byte(first + i));
  return WithChecksum(std::move(data));
}

std::optional<std::vector<std::uint8_t>> Device::WriteMemory(const Frame& frame) {
  const int target = ((frame[0] & 0x07) << 8) | frame[1];
  if (WriteEnableSeconds() == 0) return std::nullopt;
  if (faults_.writeStopAddress && target >= *faults_.writeStopAddress) return std::nullopt;
  memory_.SetByte(target, frame[2]);
  return std::vector<std::uint8_t>{acknowledge_};
}

std::string Device::AddFault(std::string_view description) { return sim::AddFault(faults_, description); }

}  // namespace velta::sim
