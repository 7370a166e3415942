#include "service/counter_jobs.h"

#include <algorithm>
#include <span>

#include "controller/error_memory.h"
#include "controller/fields.h"
#include "i18n/lookup.h"
#include "service/job_link.h"

namespace velta::service {
namespace {

constexpr const char* kCounterNames[] = {VN_("Pump hours"), VN_("Pump starts"),
                                         VN_("Mains meter pulses"), VN_("Cistern meter pulses")};

// The hour counter keeps its low 16 bits; the others are 32-bit.
std::uint32_t CounterMaximum(Counter counter) {
  return counter == Counter::PumpHours ? 0xFFFFu : 0xFFFFFFFFu;
}

// Opens the link of a write as the counter and error writes report a failed open.
ChannelHandle OpenSmallWriteLink(const ConnectionSettings& settings, Feedback& feedback,
                                 JobResult& failure) {
  ChannelHandle link =
      OpenJobLink(settings, feedback, _("Fehler beim Öffnen der Schnittstelle!"), failure);
  if (!link.IsOpen()) feedback.Beep();
  return link;
}

void NoteWritten(Baselines& baselines, const ControllerImage& image, AddressRange range) {
  baselines.ControllerWritten(
      range.first, std::span(image.bytes)
                       .subspan(static_cast<std::size_t>(range.first),
                                static_cast<std::size_t>(range.last - range.first + 1)));
}

// Reads 0..last on a link of its own; `result` gets the outcome and the bytes read.
ReadResult ReadFromZero(const ConnectionSettings& settings, Feedback& feedback, Records& records,
                        int last, MemoryRead& result) {
  const ChannelHandle link = OpenReadLink(settings, feedback, result);
  if (!link.IsOpen()) return {};
  ReadResult read = ReadKnown(link, feedback, records, 0, last);
  result.outcome = ReadOutcome(read.outcome);
  result.version = read.version;
  return read;
}

}  // namespace

std::optional<std::string> CounterValueRefusal(Counter counter, std::uint32_t value) {
  const std::uint32_t maximum = CounterMaximum(counter);
  if (value <= maximum) return std::nullopt;
  return Format(V_("%s: %u is outside 0..%u"), V_(kCounterNames[static_cast<int>(counter)]).c_str(), value,
                maximum);
}

MemoryRead ReadCounters(const ConnectionSettings& settings, Feedback& feedback, Records records) {
  MemoryRead result;
  const ReadResult read = ReadFromZero(settings, feedback, records, kCountersReadLast, result);
  if (result.Done()) {
    std::copy(read.data.begin(), read.data.end(), result.image.bytes.begin());
    records.history.KeepLines("counters", CounterLines(result.image), feedback);
  }
  return result;
}

MemoryWrite SetCounter(const ConnectionSettings& settings, Feedback& feedback, Records records,
                       ControllerImage image, Counter counter, std::uint32_t value) {
  MemoryWrite result;
  result.image = image;
  if (const std::optional<std::string> refusal = CounterValueRefusal(counter, value)) {
    result.outcome = Outcome::Refused;
    result.reason = *refusal;
  } else {
    StoreCounter(result.image, counter, value);
    const ChannelHandle link = OpenSmallWriteLink(settings, feedback, result);
    if (link.IsOpen()) {
      const bool written = WriteCounter(link, settings, feedback, result.image, counter);
      result.outcome = written ? Outcome::Done : Outcome::NotAcknowledged;
      if (written) NoteWritten(records.baselines, result.image, CounterWriteRange(counter));
    }
  }
  return result;
}

MemoryRead ReadErrorCounts(const ConnectionSettings& settings, Feedback& feedback,
                           Records records, ControllerImage image) {
  MemoryRead result;
  result.image = image;
  const ReadResult read = ReadFromZero(settings, feedback, records, kErrorMemoryReadLast, result);
  if (result.Done()) {
    ListErrorMemory(read.data, feedback, result.image);
    records.history.KeepLines("error-memory", ErrorMemoryLines(result.image), feedback);
  }
  return result;
}

MemoryWrite ClearErrorCount(const ConnectionSettings& settings, Feedback& feedback,
                            Records records, int index) {
  MemoryWrite result;
  if (index < 0 || index >= kErrorCounterCount) {
    result.outcome = Outcome::Refused;
    result.reason = Format(V_("Error count %d is outside 0..%d"), index, kErrorCounterCount - 1);
  } else {
    const ChannelHandle link = OpenSmallWriteLink(settings, feedback, result);
    if (link.IsOpen()) {
      const bool cleared = ClearErrorCounter(link, settings, feedback, index);
      result.outcome = cleared ? Outcome::Done : Outcome::NotAcknowledged;
      const int address = field::ErrorCounter(index).address;
      if (cleared) NoteWritten(records.baselines, result.image, {address, address});
    }
  }
  return result;
}

namespace {

// Opens the plan's link and reads 0..last on it, then keeps what `keep` names in the history.
template <typename Keep>
void ReadForPlan(const ConnectionSettings& settings, Feedback& feedback, Records& records,
                 int last, SmallWritePlan& plan, Keep keep) {
  plan.link = OpenReadLink(settings, feedback, plan);
  if (!plan.link.IsOpen()) return;
  const ReadResult read = ReadKnown(plan.link, feedback, records, 0, last);
  plan.outcome = ReadOutcome(read.outcome);
  if (!plan.Done()) {
    plan.link.Close();
    return;
  }
  if (!keep(read.data)) plan.historyFailure = records.history.LastFailure();
}

}  // namespace

SmallWritePlan PlanCounterSet(const ConnectionSettings& settings, Feedback& feedback,
                              Records records, Counter counter, std::uint32_t value) {
  SmallWritePlan plan;
  plan.baselines = &records.baselines;
  plan.counter = counter;
  if (const std::optional<std::string> refusal = CounterValueRefusal(counter, value)) {
    plan.outcome = Outcome::Refused;
    plan.reason = *refusal;
  } else {
    ReadForPlan(settings, feedback, records, kCountersReadLast, plan,
                [&](std::span<const std::uint8_t> data) {
                  std::copy(data.begin(), data.end(), plan.before.bytes.begin());
                  return records.history.KeepLines("counters", CounterLines(plan.before), feedback);
                });
    plan.after = plan.before;
    StoreCounter(plan.after, counter, value);
    plan.changes = CounterChanges(plan.before, plan.after, counter);
  }
  return plan;
}

SmallWritePlan PlanErrorClear(const ConnectionSettings& settings, Feedback& feedback,
                              Records records, int index) {
  SmallWritePlan plan;
  plan.baselines = &records.baselines;
  plan.errorIndex = index;
  if (index < 0 || index >= kErrorCounterCount) {
    plan.outcome = Outcome::Refused;
    plan.reason = Format(V_("Error count %d is outside 0..%d"), index, kErrorCounterCount - 1);
  } else {
    ReadForPlan(settings, feedback, records, kErrorMemoryReadLast, plan,
                [&](std::span<const std::uint8_t> data) {
                  ListErrorMemory(data, feedback, plan.before);
                  return records.history.KeepLines("error-memory", ErrorMemoryLines(plan.before),
                                                   feedback);
                });
    plan.after = plan.before;
    Set(plan.after, field::ErrorCounter(index), 0);
    const unsigned count = Get(plan.before, field::ErrorCounter(index));
    if (count != 0) plan.changes.push_back({kErrorKinds[index].code, std::to_string(count), "0"});
  }
  return plan;
}

MemoryWrite CarryOut(SmallWritePlan plan, const ConnectionSettings& settings, Feedback& feedback) {
  MemoryWrite result;
  static_cast<JobResult&>(result) = plan;
  result.image = plan.after;
  if (result.Done() && plan.link.IsOpen()) {
    const bool written =
        plan.counter ? WriteCounter(plan.link, settings, feedback, plan.after, *plan.counter)
                     : ClearErrorCounter(plan.link, settings, feedback, plan.errorIndex);
    result.outcome = written ? Outcome::Done : Outcome::NotAcknowledged;
    const AddressRange range =
        plan.counter ? CounterWriteRange(*plan.counter)
                     : AddressRange{field::ErrorCounter(plan.errorIndex).address,
                                    field::ErrorCounter(plan.errorIndex).address};
    if (written) NoteWritten(*plan.baselines, plan.after, range);
  }
  return result;
}

}  // namespace velta::service
