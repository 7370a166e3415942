#include "controller/write_loop.h"

#include <algorithm>

#include "i18n/lookup.h"
#include "link/frames.h"

namespace velta {
namespace {

void SendClosingRequest(Channel* channel, const WritePlan& plan, Feedback& feedback) {
  if (plan.closingLine != nullptr) feedback.Log(_(plan.closingLine));
  switch (plan.closing) {
    case ClosingRequest::None:
      return;
    case ClosingRequest::SettingsDone:
      SendFrame(channel, StatusRequest(kSettingsDone));
      return;
    case ClosingRequest::Restart:
      SendFrame(channel, StatusRequest(kRestartRequest));
      return;
  }
}

}  // namespace

WriteOutcome WriteBytes(const ConnectionSettings& settings, Feedback& feedback,
                        const WritePlan& plan, int* acknowledged) {
  if (acknowledged != nullptr) *acknowledged = 0;
  Channel* channel = OpenFromSettings(settings);
  if (!IsOpenChannel(channel)) {
    if (plan.openFailure != nullptr) {
      feedback.Log(_(plan.openFailure));
      feedback.Beep();
    }
    return WriteOutcome::NotOpened;
  }
  if (plan.startLine != nullptr) feedback.Log(_(plan.startLine));

  const std::uint8_t base = WriteFamilyBase(settings);
  const int count = static_cast<int>(plan.values.size());
  // The bar counts bytes within the range; a single byte shows a full bar while it is written.
  const int maximum = plan.barMaximum > 0 ? plan.barMaximum : std::max(count - 1, 1);
  feedback.SetBarColour(BarColour::Red);
  feedback.SetBarMaximum(maximum);
  if (count == 1) feedback.SetBarPosition(maximum);

  bool stopped = false;
  for (int i = 0; i < count; ++i) {
    SendFrame(channel, WriteRequest(base, static_cast<std::uint16_t>(plan.firstAddress + i),
                               plan.values[static_cast<std::size_t>(i)]));
    std::uint8_t acknowledgement = 0;
    if (!IsAcknowledgement(ChannelReceive(channel, &acknowledgement, 1))) {
      feedback.Log(_("Fehler beim Schreiben oder Lesen!\n->Möglicherweise keine Schreibfreigabe!"));
      feedback.Beep();
      stopped = true;
      break;
    }
    if (acknowledged != nullptr) *acknowledged = i + 1;
    if (count > 1) feedback.SetBarPosition(i);
  }

  SendClosingRequest(channel, plan, feedback);
  feedback.EmptyBar();
  CloseChannel(channel);
  if (stopped) return WriteOutcome::Stopped;
  if (plan.logSuccess) feedback.Log(_("Die Übertragung war erfolgreich!"));
  return WriteOutcome::Done;
}

}  // namespace velta
