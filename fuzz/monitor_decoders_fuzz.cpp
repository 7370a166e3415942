// Arbitrary reply bytes for every Poll state, of every length the channel may report, through the
// poll step and the page decoders. Checks the invariants the window relies on.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "monitor/poll_tick.h"

namespace {


void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckMainPage(const velta::MainPageView& view, std::uint8_t e1, std::uint8_t e2) {
  if (!view.errors) return;
  const auto& errors = *view.errors;
  const int flags = std::popcount(unsigned{e1}) + std::popcount(unsigned{e2});
  Check(errors.stored ? static_cast<int>(errors.lines.size()) == flags
                      : errors.lines.size() == 1 && flags == 0);
  Check(view.levelBar >= 0 && view.levelBar <= 255);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  // Byte 0: state and the flags that steer the cycle; byte 1: the count the channel reports.
  velta::PollCycle cycle;
  const auto pages = velta::StatusPages();
  cycle.state = pages[data[0] % pages.size()].state;
  cycle.waterMeterPresent = data[0] & 0x08;
  cycle.moduleRinseConfigured = data[0] & 0x10;
  cycle.filterRinseConfigured = data[0] & 0x20;
  cycle.rinseRunning = data[0] & 0x40;
  cycle.levelMeasurementOn = data[0] & 0x80;
  cycle.mainPageCount = data[1] & 1;
  const int expected = velta::PollReplyLength(cycle.state);
  const std::int32_t received = static_cast<std::int32_t>(data[1] % (expected + 2)) - 1;

  // The reply buffer as the tick fills it: zeroed, then whatever arrived.
  std::vector<std::uint8_t> reply(velta::kLongestPollReply, 0);
  const std::size_t arrived = std::min<std::size_t>(size - 2, reply.size());
  std::copy(data + 2, data + 2 + arrived, reply.begin());

  const velta::PollState before = cycle.state;
  const velta::ExchangeOutcome outcome = velta::JudgeDataReply(
      std::span(reply).first(static_cast<std::size_t>(expected)), received);
  const velta::PollVerdict verdict = velta::PollStep(cycle, reply, outcome);
  Check(verdict.page == before);
  Check(!verdict.good || received == expected);
  const velta::StatusUpdate update = velta::DecodeReply(verdict, reply, cycle);
  Check(!verdict.shown ||
        (received == expected && (verdict.good || before == velta::PollState::Counters)));
  if (update.main) CheckMainPage(*update.main, reply[5] & 0xFC, reply[6] & 0x1F);
  if (update.history) Check(reply[56] >= 98 && reply[56] <= 153);
  const bool starts = std::any_of(update.texts.begin(), update.texts.end(), [](const auto& shown) {
    return std::string_view(shown.field.key) == "pump_starts";
  });
  Check(!starts || verdict.good);
  // The next state is one of the cycle's.
  bool known = false;
  for (const velta::StatusPage& page : pages) known = known || cycle.state == page.state;
  Check(known);

  // Every decoder on the raw bytes, whatever the judgement.
  velta::PollCycle fresh;
  velta::DecodeMainPage(reply, fresh);
  velta::DecodeModuleRinsePage(reply, data[0] & 1);
  velta::DecodeFilterRinsePage(reply);
  velta::DecodeCountersPage(reply, data[0] & 2, static_cast<std::uint16_t>(data[0] << 8 | data[1]));
  velta::DecodeWaterMeterPage(reply);
  velta::DecodeHistoryBlock(reply, data[0] & 4);
  return 0;
}
