#include "service/report_data.h"

#include <algorithm>

#include "controller/counters.h"
#include "controller/listing_feedback.h"
#include "controller/live_values.h"
#include "controller/read_range.h"
#include "monitor/poll_tick.h"
#include "monitor/side_pages.h"
#include "service/records.h"

namespace velta::service {

ReportReading ReadReportData(const ConnectionSettings& settings, Feedback& feedback) {
  ReportReading result;
  const ChannelHandle link = OpenReadLink(settings, feedback, result);
  if (!link.IsOpen()) return result;
  const ReadResult read = ReadRange(link, feedback, 0, kCountersReadLast);
  result.outcome = ReadOutcome(read.outcome);
  if (!result.Done()) return result;
  std::copy(read.data.begin(), read.data.end(), result.image.bytes.begin());
  result.version = read.version;
  // The live values' listing replaces a log; the report keeps it apart from the read's lines.
  ListingFeedback listing;
  std::vector<std::uint8_t> page;
  if (ReadLiveValues(link, listing, true, nullptr, &page) == ExchangeOutcome::Good) {
    DecodeCounterReadings(page, true, result.live);
  }
  PollCycle cycle;
  const StatusUpdate update = PollTick(cycle, link);
  result.status = update.main;
  result.statusReadings = update.readings;
  return result;
}

}  // namespace velta::service
