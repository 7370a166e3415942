// Request frames as they go on the wire, and the test every data reply must pass.
#include <gtest/gtest.h>

#include <vector>

#include "link/exchange.h"
#include "link/frames.h"

namespace velta {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Wire(const Frame& frame) { return Bytes(frame.begin(), frame.end()); }

TEST(Checksum, IsTheSumModulo256) {
  const std::pair<Bytes, std::uint8_t> rows[] = {
      {{0x88, 0x9B, 0x65}, 0x88},  // 0x188 wraps
      {{0x88, 0x62, 0x39}, 0x23},
      {{}, 0x00},
      {Bytes(258, 0xFF), 0xFE},  // 258 * 255 = 0x100FE
  };
  for (const auto& [bytes, sum] : rows) EXPECT_EQ(Checksum(bytes), sum);
}

TEST(RequestFrames, EveryRequestTheProgramSends) {
  const std::pair<Frame, Bytes> rows[] = {
      {StatusRequest(kMainStatusPage), {0x60, 0x00, 0x01, 0x61}},
      {StatusRequest(kUpdateRequest), {0x60, 0x00, 0x06, 0x66}},
      {StatusRequest(kVersionQuery), {0x60, 0x00, 0x07, 0x67}},
      {StatusRequest(kSettingsDone), {0x60, 0x00, 0x08, 0x68}},
      {StatusRequest(kRestartRequest), {0x60, 0x00, 0x09, 0x69}},
      {StatusRequest(kModuleRinsePage), {0x60, 0x00, 0x0A, 0x6A}},
      {StatusRequest(kFilterRinsePage), {0x60, 0x00, 0x0B, 0x6B}},
      {StatusRequest(kCountersPage), {0x60, 0x00, 0x0C, 0x6C}},
      {StatusRequest(kClearErrorsRequest), {0x60, 0x00, 0x0D, 0x6D}},
      {StatusRequest(kWriteEnableRequest), {0x60, 0x00, 0x0E, 0x6E}},
      {StatusRequest(kWaterMeterPage), {0x60, 0x00, 0x0F, 0x6F}},
      {ReadRequest(0x62, 0x62 + 56), {0x88, 0x62, 0x39, 0x23}},
      {ReadRequest(0, 51), {0x88, 0x00, 0x34, 0xBC}},
      {ReadRequest(1, 255), {0x88, 0x01, 0xFF, 0x88}},
      {ReadRequest(0, 1), {0x88, 0x00, 0x02, 0x8A}},
      {ReadRequest(0, 87), {0x88, 0x00, 0x58, 0xE0}},
      {ReadRequest(0, 81), {0x88, 0x00, 0x52, 0xDA}},
      {ReadRequest(155, 255), {0x88, 0x9B, 0x65, 0x88}},
      {WriteRequest(kTcpWriteBase, 0x05, 0x12), {0x98, 0x05, 0x12, 0xAF}},
      {WriteRequest(kSerialWriteBase, 0x05, 0x12), {0x90, 0x05, 0x12, 0xA7}},
      {WriteRequest(kSerialWriteBase, 0xFF, 0x64), {0x90, 0xFF, 0x64, 0xF3}},
  };
  for (const auto& [frame, wire] : rows) EXPECT_EQ(Wire(frame), wire);
}

// Address bits 8 to 10 ride in the command byte; higher bits are masked off.
TEST(RequestFrames, ElevenBitAddresses) {
  const std::pair<Frame, Bytes> rows[] = {
      {ReadRequest(0x7FF, 0x7FF), {0x8F, 0xFF, 0x01, 0x8F}},
      {ReadRequest(0x123, 0x124), {0x89, 0x23, 0x02, 0xAE}},
      {ReadRequest(0x805, 0x805), {0x88, 0x05, 0x01, 0x8E}},
      {WriteRequest(kSerialWriteBase, 0x1FF, 0x00), {0x91, 0xFF, 0x00, 0x90}},
      {WriteRequest(kTcpWriteBase, 0x7FF, 0x01), {0x9F, 0xFF, 0x01, 0x9F}},
  };
  for (const auto& [frame, wire] : rows) EXPECT_EQ(Wire(frame), wire);
}

// `reply` is the buffer of the expected length, `received` what the receive returned.
TEST(DataReply, AcceptedOnlyWhole) {
  const Bytes good{0x01, 0x02, 0x03, 0x06};
  const Bytes wrongSum{0x01, 0x02, 0x03, 0x07};
  // Three bytes came, the last one the sum of the two before: right sum, one byte short.
  const Bytes shortWithMatchingSum{0x01, 0x02, 0x03, 0x00};
  const Bytes wrapping{0xFF, 0xFF, 0xFE};
  struct Row {
    const char* what;
    Bytes reply;
    std::int32_t received;
    ExchangeOutcome outcome;
  };
  const Row rows[] = {
      {"good", good, 4, ExchangeOutcome::Good},
      {"checksum wraps", wrapping, 3, ExchangeOutcome::Good},
      {"right length, wrong sum", wrongSum, 4, ExchangeOutcome::WrongSum},
      {"one byte short, sum matches", shortWithMatchingSum, 3, ExchangeOutcome::Short},
      {"nothing came", good, 0, ExchangeOutcome::Short},
      {"failed read", good, -1, ExchangeOutcome::Short},
      {"count claims more than the buffer holds", good, 5, ExchangeOutcome::Short},
      {"no room even for a sum", Bytes{}, 0, ExchangeOutcome::Short},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(JudgeDataReply(row.reply, row.received), row.outcome) << row.what;
  }
}

}  // namespace
}  // namespace velta
