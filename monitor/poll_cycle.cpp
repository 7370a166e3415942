#include "monitor/poll_cycle.h"

#include "monitor/status_pages.h"

namespace velta {
namespace {

// The next page of the pass whose condition holds; after the last one the pass starts again.
PollState NextState(const PollCycle& cycle, PollState state, bool good) {
  const std::span<const StatusPage> pages = StatusPages();
  std::size_t at = 0;
  while (pages[at].state != state) ++at;
  if (!good && pages[at].askedAgainUntilGood) return state;
  for (std::size_t next = at + 1; next < pages.size(); ++next) {
    if (pages[next].visited == nullptr || pages[next].visited(cycle)) return pages[next].state;
  }
  return pages.front().state;
}

}  // namespace

void ResetForPollingStart(PollCycle& cycle) {
  cycle.mainPageCount = 0;
  cycle.filterRinseConfigured = true;
}

Frame PollRequest(PollState state) { return StatusPageOf(state).request; }

int PollReplyLength(PollState state) { return StatusPageOf(state).replyLength; }

PollVerdict PollStep(PollCycle& cycle, std::span<const std::uint8_t> reply,
                     ExchangeOutcome outcome) {
  const StatusPage& page = StatusPageOf(cycle.state);
  const bool good = outcome == ExchangeOutcome::Good;
  if (good && page.steer != nullptr) page.steer(cycle, reply);
  const bool fullWithWrongSum = outcome == ExchangeOutcome::WrongSum && page.shownWithWrongSum;
  const PollVerdict verdict{page.state, good || fullWithWrongSum, good};
  cycle.state = NextState(cycle, page.state, good);
  return verdict;
}

}  // namespace velta
