// One exchange with the controller: a request sent with one send, then the reply of the length
// the request fixes, judged in the words every operation reports in. No exchange is repeated.
#pragma once

#include <cstdint>
#include <span>

#include "link/channel_handle.h"
#include "link/frames.h"

namespace velta {

enum class ExchangeOutcome {
  Good,       // the whole reply came and, for a data reply, its last byte is the sum of the others
  Short,      // not the whole reply: fewer bytes, none at all, or a failed read
  WrongSum,   // a data reply of full length whose last byte is not the sum of the others
  NoChannel,  // no open Channel, so nothing was sent
};

// `reply` is as long as the whole data reply (data bytes and sum); `received` bytes of it came.
ExchangeOutcome JudgeDataReply(std::span<const std::uint8_t> reply, std::int32_t received);

// Sends `request`, then receives reply.size() bytes into `reply` and judges them as a data reply.
// `received`, when given, gets what the receive returned (the bytes that came, or -1).
ExchangeOutcome Exchange(const ChannelHandle& channel, std::span<const std::uint8_t> request,
                         std::span<std::uint8_t> reply, std::int32_t* received = nullptr);

// The same for a reply without sum (the Version query's nine characters, a boot loader's answer):
// good when all reply.size() bytes came, whatever they are.
ExchangeOutcome ExchangeUnsummed(const ChannelHandle& channel,
                                 std::span<const std::uint8_t> request,
                                 std::span<std::uint8_t> reply, std::int32_t* received = nullptr);

// A request answered by an acknowledgement: exactly one byte, of any value.
ExchangeOutcome ExchangeAcknowledged(const ChannelHandle& channel,
                                     std::span<const std::uint8_t> request);

// A request without reply: sent, and nothing awaited. Good whenever there is a Channel, as the
// result of a send is never examined; a lost request shows in the controller's later replies.
ExchangeOutcome SendRequest(const ChannelHandle& channel, std::span<const std::uint8_t> request);

}  // namespace velta
