#include "controller/read_range.h"

#include "i18n/lookup.h"
#include "link/frames.h"

namespace velta {
namespace {

int Digit(std::uint8_t character) { return character - '0'; }

// Steps 7 of the read: the Version query, logged when it answers in full.
std::uint16_t QueryVersion(Channel* channel, Feedback& feedback) {
  const Frame query = StatusRequest(kVersionQuery);
  SendFrame(channel, query);
  std::uint8_t reply[kVersionReplyLength] = {};
  const std::int32_t received = ChannelReceive(channel, reply, kVersionReplyLength);
  const auto version = ParseVersionReply(reply, received);
  if (!version) return 0;
  feedback.Log(Format(_("Steuerung Version -->V%d.%d%d"), version->shown[0], version->shown[1],
                      version->shown[2]));
  return version->number;
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

}  // namespace

std::optional<ControllerVersion> ParseVersionReply(std::span<const std::uint8_t> reply,
                                                   std::int32_t received) {
  if (received != kVersionReplyLength || reply.size() < kVersionReplyLength) return std::nullopt;
  ControllerVersion version{};
  version.shown[0] = Digit(reply[0]);
  version.shown[1] = Digit(reply[2]);
  version.shown[2] = Digit(reply[3]);
  // A 16-bit number, as the controller's own arithmetic wraps it.
  version.number = static_cast<std::uint16_t>(Digit(reply[4]) * 100 + Digit(reply[6]) * 10 +
                                              Digit(reply[7]));
  return version;
}

ReadResult ReadRange(const ConnectionSettings& settings, Feedback& feedback, int first, int last) {
  ReadResult result;
  Channel* channel = OpenFromSettings(settings);
  if (!IsOpenChannel(channel)) {
    feedback.Log(_("Fehler beim Öffnen der Schnittstelle!"));
    feedback.Beep();
  } else {
    feedback.SetBarColour(BarColour::Green);
    feedback.FillBar();
    const Frame request = ReadRequest(static_cast<std::uint16_t>(first),
                                      static_cast<std::uint16_t>(last));
    SendFrame(channel, request);
    feedback.Log(_("Steuerung auslesen..."));

    const int count = last - first + 1;
    std::vector<std::uint8_t> reply(static_cast<std::size_t>(count) + 1);
    const std::int32_t received =
        ChannelReceive(channel, reply.data(), static_cast<std::int32_t>(reply.size()));
    if (received != count + 1) {
      feedback.Log(_("Fehler beim Auslesen!"));
      feedback.Beep();
    } else {
      result.success = IsGoodDataReply(reply, received, count);
      feedback.Log(result.success ? _("Daten wurden richtig ausgelesen!")
                                  : _("Daten wurden falsch ausgelesen!"));
      result.data.assign(reply.begin(), reply.begin() + count);
      result.version = QueryVersion(channel, feedback);
    }
    CloseChannel(channel);
    feedback.EmptyBar();
  }
  CheckVersion(result.version, feedback);
  if (result.success) feedback.MemoryRead(first, result.data, result.version);
  return result;
}

}  // namespace velta
