// The controller's boot loader: after the Update request it takes the firmware image in numbered
// 32-byte blocks, one byte per send, each block acknowledged after it was programmed.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "controller/feedback.h"
#include "link/channel_handle.h"

namespace velta {

constexpr std::uint8_t kBootHandshake = 0xA1;
constexpr std::uint8_t kBootHandshakeAnswer = 0xD2;
constexpr std::uint8_t kBootPageAcknowledgement = 0x00;
constexpr std::array<std::uint8_t, 2> kBootEndSequence = {0x24, 0x09};

// How much of the exchange goes to the log: 1 traces every acknowledgement read, 2 and above also
// every byte sent. The program runs at 1.
constexpr int kTraceLevel = 1;

constexpr int kBootLoaderOk = 0;
constexpr int kBootLoaderFailed = 5;

// One block on the wire: block number low and high byte, the 32 image bytes, the page sum.
using UpdateBlock = std::array<std::uint8_t, 35>;
UpdateBlock BuildUpdateBlock(std::span<const std::uint8_t> image, int block);

// Handshake, every block of `image` (a multiple of 32 bytes), end sequence. Logs the block lines
// and the trace, moves the progress bar and repaints once per block. On success the log is left
// with the one success line. Returns kBootLoaderOk or, after a failure line, kBootLoaderFailed.
int ProgramBootLoader(const ChannelHandle& channel, std::span<const std::uint8_t> image,
                      Feedback& feedback, int traceLevel = kTraceLevel);

}  // namespace velta
