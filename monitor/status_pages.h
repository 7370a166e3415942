// The status pages of the poll cycle, one row each: the request, the reply's length, when a pass
// visits the page, how its reply steers the cycle, its decoder, and what the Monitor window and
// `velta-cli status` show of it. A new page is one row here and its decoder.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/frames.h"
#include "monitor/history_block.h"
#include "monitor/main_page.h"
#include "monitor/poll_cycle.h"
#include "monitor/side_pages.h"

namespace velta {

// A text a page shows: in the Monitor window's control of that name, and under `key` in
// `velta-cli status`.
struct PageField {
  const char* control;
  const char* key;
};
struct ShownText {
  PageField field;
  std::string text;
};

// What one exchange decoded; only the part the reply decoded is set, everything else on the
// window stays as it was.
struct StatusUpdate {
  PollVerdict verdict;
  std::optional<MainPageView> main;
  std::optional<HistoryView> history;
  Readings readings;  // the values this reply gave
  std::vector<ShownText> texts;  // in the order of the page's fields
  // The Channel's far end is gone (ChannelHungUp): no further exchange can succeed on it.
  bool lost = false;
};

constexpr int kMostPageFields = 3;
// A page's texts in the order of its fields; an empty one leaves its control as it is.
using PageTexts = std::array<std::optional<std::string>, kMostPageFields>;

struct StatusPage {
  PollState state;
  const char* name;  // for people: "counters (12)"
  Frame request;
  int replyLength;   // data bytes and sum
  // Pages are visited in the order of the rows; a page with a condition only when it holds.
  bool (*visited)(const PollCycle& cycle);
  bool askedAgainUntilGood;  // a failed reply asks for the same page instead of moving on
  bool shownWithWrongSum;    // a reply of full length is decoded even when its sum is wrong
  // Takes what steers the cycle from a good reply (nullptr: nothing).
  void (*steer)(PollCycle& cycle, std::span<const std::uint8_t> reply);
  // The page's texts for `fields` (nullptr: none).
  PageTexts (*texts)(std::span<const std::uint8_t> reply, bool good, const PollCycle& cycle);
  std::array<PageField, kMostPageFields> fields;
  // A page with a view of its own (the display, the chart) sets it (nullptr: none).
  void (*view)(std::span<const std::uint8_t> reply, PollCycle& cycle, StatusUpdate& update);
  // The page's readings (nullptr: none).
  void (*readings)(std::span<const std::uint8_t> reply, bool good, Readings& readings);
};

// Every page, in the order a pass visits them; the Main status page comes first.
std::span<const StatusPage> StatusPages();
const StatusPage& StatusPageOf(PollState state);

}  // namespace velta
