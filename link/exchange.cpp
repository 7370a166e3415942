#include "link/exchange.h"

namespace velta {
namespace {

enum class ReplyCheck { Sum, None };

ExchangeOutcome Judge(std::span<const std::uint8_t> reply, std::int32_t received,
                      ReplyCheck check) {
  if (received != static_cast<std::int32_t>(reply.size())) return ExchangeOutcome::Short;
  if (check == ReplyCheck::None) return ExchangeOutcome::Good;
  // An empty reply cannot carry a sum.
  if (reply.empty()) return ExchangeOutcome::Short;
  return Checksum(reply.first(reply.size() - 1)) == reply.back() ? ExchangeOutcome::Good
                                                                   : ExchangeOutcome::WrongSum;
}

ExchangeOutcome SendAndReceive(const ChannelHandle& channel, std::span<const std::uint8_t> request,
                               std::span<std::uint8_t> reply, std::int32_t* received,
                               ReplyCheck check) {
  if (received != nullptr) *received = -1;
  if (SendRequest(channel, request) == ExchangeOutcome::NoChannel) {
    return ExchangeOutcome::NoChannel;
  }
  const std::int32_t count =
      ChannelReceive(channel.get(), reply.data(), static_cast<std::int32_t>(reply.size()));
  if (received != nullptr) *received = count;
  return Judge(reply, count, check);
}

}  // namespace

ExchangeOutcome JudgeDataReply(std::span<const std::uint8_t> reply, std::int32_t received) {
  return Judge(reply, received, ReplyCheck::Sum);
}

ExchangeOutcome Exchange(const ChannelHandle& channel, std::span<const std::uint8_t> request,
                         std::span<std::uint8_t> reply, std::int32_t* received) {
  return SendAndReceive(channel, request, reply, received, ReplyCheck::Sum);
}

ExchangeOutcome ExchangeUnsummed(const ChannelHandle& channel,
                                 std::span<const std::uint8_t> request,
                                 std::span<std::uint8_t> reply, std::int32_t* received) {
  return SendAndReceive(channel, request, reply, received, ReplyCheck::None);
}

ExchangeOutcome ExchangeAcknowledged(const ChannelHandle& channel,
                                     std::span<const std::uint8_t> request) {
  std::uint8_t acknowledgement = 0;
  return ExchangeUnsummed(channel, request, std::span(&acknowledgement, 1));
}

ExchangeOutcome SendRequest(const ChannelHandle& channel, std::span<const std::uint8_t> request) {
  if (!channel.IsOpen()) return ExchangeOutcome::NoChannel;
  ChannelSend(channel.get(), request.data(), static_cast<std::int32_t>(request.size()));
  return ExchangeOutcome::Good;
}

}  // namespace velta
