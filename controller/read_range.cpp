#include "controller/read_range.h"

#include <array>

#include "i18n/lookup.h"
#include "link/exchange.h"

namespace velta {
namespace {

int Digit(std::uint8_t character) { return character - '0'; }

// The Version query after a full-length read, logged when it answers in full.
std::uint16_t QueryVersion(const ChannelHandle& channel, Feedback& feedback) {
  std::array<std::uint8_t, kVersionReplyLength> reply{};
  if (ExchangeUnsummed(channel, StatusRequest(kVersionQuery), reply) != ExchangeOutcome::Good) {
    return 0;
  }
  const ControllerVersion version = ParseVersionReply(reply);
  feedback.Log(Format(_("Steuerung Version -->V%d.%d%d"), version.shown[0], version.shown[1],
                      version.shown[2]));
  return version.number;
}

}  // namespace

ControllerVersion ParseVersionReply(std::span<const std::uint8_t, kVersionReplyLength> reply) {
  ControllerVersion version{};
  version.shown[0] = Digit(reply[0]);
  version.shown[1] = Digit(reply[2]);
  version.shown[2] = Digit(reply[3]);
  // A 16-bit number, as the controller's own arithmetic wraps it.
  version.number = static_cast<std::uint16_t>(Digit(reply[4]) * 100 + Digit(reply[6]) * 10 +
                                              Digit(reply[7]));
  return version;
}

void CheckVersion(std::uint16_t version, Feedback& feedback) {
  if (version == kRequiredVersion) {
    feedback.ShowWriteButtons(true);
    return;
  }
  feedback.Log(_("Falsche Programm Version!"));
  feedback.Beep();
  if (version != 0) {
    feedback.Log(Format(_("Benötigte Programm Version -->V%d.%d%d"), version / 100,
                        (version / 10) % 10, version % 10));
  }
  feedback.ShowWriteButtons(false);
}

ReadResult ReadRange(const ChannelHandle& channel, Feedback& feedback, int first, int last) {
  ReadResult result;
  feedback.SetBarColour(BarColour::Green);
  feedback.FillBar();
  feedback.Log(_("Steuerung auslesen..."));
  const int count = last - first + 1;
  std::vector<std::uint8_t> reply(static_cast<std::size_t>(count) + 1);
  const ExchangeOutcome outcome = Exchange(
      channel, ReadRequest(static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(last)),
      reply);
  result.outcome = outcome;
  if (outcome == ExchangeOutcome::Short) {
    feedback.Log(_("Fehler beim Auslesen!"));
    feedback.Beep();
  } else {
    result.success = outcome == ExchangeOutcome::Good;
    feedback.Log(result.success ? _("Daten wurden richtig ausgelesen!")
                                : _("Daten wurden falsch ausgelesen!"));
    result.data.assign(reply.begin(), reply.begin() + count);
    result.version = QueryVersion(channel, feedback);
  }
  feedback.EmptyBar();
  CheckVersion(result.version, feedback);
  return result;
}

}  // namespace velta
