#include "controller/write_loop.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "i18n/lookup.h"

namespace velta {
namespace {

void SendClosingRequest(const ChannelHandle& channel, const WritePlan& plan, Feedback& feedback) {
  if (plan.closingLine != nullptr) feedback.Log(_(plan.closingLine));
  switch (plan.closing) {
    case ClosingRequest::None:
      return;
    case ClosingRequest::SettingsDone:
      SendRequest(channel, StatusRequest(kSettingsDone));
      return;
    case ClosingRequest::Restart:
      SendRequest(channel, StatusRequest(kRestartRequest));
      return;
  }
}

}  // namespace

ExchangeOutcome WriteBytes(const ChannelHandle& channel, const ConnectionSettings& settings,
                           Feedback& feedback, const WritePlan& plan, int* acknowledged) {
  if (acknowledged != nullptr) *acknowledged = 0;
  if (plan.startLine != nullptr) feedback.Log(_(plan.startLine));

  const std::uint8_t base = WriteFamilyBase(settings);
  std::vector<int> offsets(plan.onlyOffsets.begin(), plan.onlyOffsets.end());
  if (offsets.empty()) {
    offsets.resize(plan.values.size());
    std::iota(offsets.begin(), offsets.end(), 0);
  }
  const int count = static_cast<int>(offsets.size());
  // The bar counts bytes within the range; a single byte shows a full bar while it is written.
  const int maximum = plan.barMaximum > 0 ? plan.barMaximum : std::max(count - 1, 1);
  feedback.SetBarColour(BarColour::Red);
  feedback.SetBarMaximum(maximum);
  if (count == 1) feedback.SetBarPosition(maximum);

  ExchangeOutcome outcome = ExchangeOutcome::Good;
  for (int i = 0; i < count; ++i) {
    const int offset = offsets[static_cast<std::size_t>(i)];
    const Frame request = WriteRequest(base, static_cast<std::uint16_t>(plan.firstAddress + offset),
                                       plan.values[static_cast<std::size_t>(offset)]);
    outcome = ExchangeAcknowledged(channel, request);
    if (outcome != ExchangeOutcome::Good) {
      feedback.Log(_("Fehler beim Schreiben oder Lesen!\n->Möglicherweise keine Schreibfreigabe!"));
      feedback.Beep();
      break;
    }
    if (acknowledged != nullptr) *acknowledged = i + 1;
    if (count > 1) feedback.SetBarPosition(i);
  }

  SendClosingRequest(channel, plan, feedback);
  feedback.EmptyBar();
  if (outcome == ExchangeOutcome::Good && plan.logSuccess) {
    feedback.Log(_("Die Übertragung war erfolgreich!"));
  }
  return outcome;
}

}  // namespace velta
