#include "monitor/status_pages.h"

#include "controller/memory_map.h"
#include "link/big_endian.h"
#include "monitor/main_page_bits.h"

namespace velta {
namespace {

using Reply = std::span<const std::uint8_t>;

void SteerByMainPage(PollCycle& cycle, Reply page) {
  using namespace main_page;
  cycle.moduleRinseConfigured = (page[kInputsByte] & kModuleRinseConfigured) != 0;
  cycle.levelMeasurementOn = (page[kInputsByte] & kNoLevelMeasurement) == 0;
  cycle.rinseRunning = (page[kOutputsByte] & kRinseRunning) != 0;
  cycle.waterMeterPresent = (page[kFlagsByte] & kWaterMeterPresent) != 0;
  cycle.pumpHours = BigEndian16(page, kPumpHoursByte);
  cycle.historyDue = cycle.mainPageCount == 0;
  ++cycle.mainPageCount;
}

void SteerByFilterRinsePage(PollCycle& cycle, Reply page) {
  if (IsNoFilterRinse(page)) cycle.filterRinseConfigured = false;
}

void ViewMainPage(Reply page, PollCycle& cycle, StatusUpdate& update) {
  update.main = DecodeMainPage(page, cycle);
}

void ViewHistory(Reply block, PollCycle& cycle, StatusUpdate& update) {
  update.history = DecodeHistoryBlock(block, cycle.levelMeasurementOn);
}

void MainPageReadings(Reply page, bool, Readings& readings) { DecodeMainPageReadings(page, readings); }
void ModuleRinseReadings(Reply page, bool, Readings& readings) {
  DecodeModuleRinseReadings(page, readings);
}
void FilterRinseReadings(Reply page, bool, Readings& readings) {
  DecodeFilterRinseReadings(page, readings);
}
void WaterMeterReadings(Reply page, bool, Readings& readings) {
  DecodeWaterMeterReadings(page, readings);
}

PageTexts ModuleRinseTexts(Reply page, bool, const PollCycle& cycle) {
  return {DecodeModuleRinsePage(page, cycle.rinseRunning)};
}

PageTexts FilterRinseTexts(Reply page, bool, const PollCycle&) {
  return {DecodeFilterRinsePage(page)};
}

PageTexts CountersTexts(Reply page, bool good, const PollCycle& cycle) {
  const CountersView view = DecodeCountersPage(page, good, cycle.pumpHours);
  return {view.starts, view.pumpHours, view.leakStarts};
}

PageTexts WaterMeterTexts(Reply page, bool, const PollCycle&) {
  const WaterMeterView view = DecodeWaterMeterPage(page);
  return {view.first, view.second, view.indicator};
}

const StatusPage kPages[] = {
    {PollState::MainStatus, "main status (1)", StatusRequest(kMainStatusPage),
     kMainStatusPageLength + 1, nullptr, true, false, SteerByMainPage, nullptr, {}, ViewMainPage,
     MainPageReadings},
    // The ring and the newest sample's address behind it, after the first Main page of a start.
    {PollState::History, "history block", ReadRequest(kHistoryRingAddress, kHistoryPositionAddress),
     kLongestPollReply, [](const PollCycle& c) { return c.historyDue; }, false, false, nullptr,
     nullptr, {}, ViewHistory, nullptr},
    {PollState::WaterMeter, "water meter (15)", StatusRequest(kWaterMeterPage),
     kWaterMeterPageLength + 1, [](const PollCycle& c) { return c.waterMeterPresent; }, false,
     false, nullptr, WaterMeterTexts,
     {{{"edWasser2", "water_meter_1"}, {"edWasser1", "water_meter_2"},
       {"lblWasserZ", "water_meter_pulse"}}},
     nullptr, WaterMeterReadings},
    // Its decoder checks the sum for the one field that needs it.
    {PollState::Counters, "counters (12)", StatusRequest(kCountersPage), kCountersPageLength + 1,
     nullptr, false, true, nullptr, CountersTexts,
     {{{"lblStarts", "pump_starts"}, {"lblPumpeh", "pump_hours"}, {"lblLeck", "leak_starts"}}},
     nullptr, DecodeCounterReadings},
    {PollState::ModuleRinse, "module rinse (10)", StatusRequest(kModuleRinsePage),
     kModuleRinsePageLength + 1, [](const PollCycle& c) { return c.moduleRinseConfigured; }, true,
     false, nullptr, ModuleRinseTexts, {{{"lblModulSpuelung", "module_rinse"}}}, nullptr,
     ModuleRinseReadings},
    {PollState::FilterRinse, "filter rinse (11)", StatusRequest(kFilterRinsePage),
     kFilterRinsePageLength + 1, [](const PollCycle& c) { return c.filterRinseConfigured; }, true,
     false, SteerByFilterRinsePage, FilterRinseTexts, {{{"lblFilterSpuelung", "filter_rinse"}}},
     nullptr, FilterRinseReadings},
};

}  // namespace

std::span<const StatusPage> StatusPages() { return kPages; }

const StatusPage& StatusPageOf(PollState state) {
  for (const StatusPage& page : kPages) {
    if (page.state == state) return page;
  }
  return kPages[0];
}

}  // namespace velta
