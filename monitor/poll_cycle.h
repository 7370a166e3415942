// The status poll cycle: which page the next 200 ms tick asks for, how long its reply is, and how
// a reply (good or not) steers the cycle. Pure state machine driven by the rows of status_pages.h;
// the exchange itself is in poll_tick.h.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>

#include "link/exchange.h"
#include "link/frames.h"

namespace velta {

// One exchange of the cycle every 200 ms while Polling.
constexpr std::chrono::milliseconds kPollInterval{200};

// The Poll state is the status page number, or 255 for the History block read.
enum class PollState : std::uint8_t {
  MainStatus = kMainStatusPage,
  ModuleRinse = kModuleRinsePage,
  FilterRinse = kFilterRinsePage,
  Counters = kCountersPage,
  WaterMeter = kWaterMeterPage,
  History = 255,
};

// Every reply fits this buffer; the History block is the longest (57 data bytes and the sum).
constexpr int kLongestPollReply = 58;

// The remembered error pair before any page was displayed; no page can produce it.
constexpr std::uint8_t kNoErrorsShown = 0xFF;

// Everything the cycle keeps for the whole program run. A Polling restart only resets the Main
// page count and asks for the filter rinse page again (ResetForPollingStart).
struct PollCycle {
  PollState state = PollState::MainStatus;
  std::uint16_t mainPageCount = 0;  // wraps; the History block follows the page seen at 0
  bool historyDue = false;          // the last good Main page was the one seen at 0
  bool waterMeterPresent = false;
  bool moduleRinseConfigured = false;
  bool rinseRunning = false;
  bool levelMeasurementOn = false;
  bool filterRinseConfigured = true;
  std::uint16_t pumpHours = 0;  // from the Main status page, shown with the Counters page
  // The error pair (E1, E2) last displayed, so an unchanged pair is not listed again.
  std::uint8_t shownE1 = kNoErrorsShown;
  std::uint8_t shownE2 = kNoErrorsShown;
};

void ResetForPollingStart(PollCycle& cycle);

Frame PollRequest(PollState state);
// Bytes expected for the state's reply, checksum included.
int PollReplyLength(PollState state);

struct PollVerdict {
  PollState page;  // the state that was asked for
  bool shown;      // the reply goes to the page's decoder
  bool good;       // exact length and matching sum
};

// Takes the steering flags from a good page of the current state, judged by `outcome`, and moves
// to the next state.
PollVerdict PollStep(PollCycle& cycle, std::span<const std::uint8_t> reply,
                     ExchangeOutcome outcome);

}  // namespace velta
