#include "controller/tank_transfer.h"

#include <array>

#include "i18n/lookup.h"
#include "link/frames.h"

namespace velta {
namespace {

constexpr int kBarMaximum = 120;

// Sends one frame and receives up to `count` bytes; returns how many came.
std::int32_t Exchange(Channel* channel, const Frame& frame, std::uint8_t* reply, int count) {
  ChannelSend(channel, frame.data(), static_cast<std::int32_t>(frame.size()));
  return ChannelReceive(channel, reply, count);
}

}  // namespace

TankReadResult ReadTankTableFromController(const ConnectionSettings& settings, TankTable& table,
                                           Feedback& feedback) {
  Channel* channel = OpenFromSettings(settings);
  if (!IsOpenChannel(channel)) return TankReadResult::NoChannel;
  std::array<std::uint8_t, kTankEntries + 1> reply{};
  const Frame request = ReadRequest(kTankTableAddress, kTankTableAddress + kTankEntries - 1);
  const std::int32_t received = Exchange(channel, request, reply.data(), kTankEntries + 1);
  CloseChannel(channel);

  if (received != kTankEntries + 1) {
    feedback.Log(_("Fehler beim auslesen !"));
    return TankReadResult::Short;
  }
  if (!IsGoodDataReply(reply, received, kTankEntries)) {
    feedback.Log(_("Daten wurden falsch ausgelesen!"));
    return TankReadResult::WrongSum;
  }
  feedback.Log(_("Daten wurden richtig ausgelesen!"));
  for (int i = 0; i < kTankEntries; ++i) {
    table[static_cast<std::size_t>(i)] = reply[static_cast<std::size_t>(i)];
    feedback.Log(Format("%d;%d", i, table[static_cast<std::size_t>(i)]));
  }
  return TankReadResult::Read;
}

int SendTankTableToController(const ConnectionSettings& settings, const TankTable& table,
                              Feedback& feedback) {
  Channel* channel = OpenFromSettings(settings);
  if (!IsOpenChannel(channel)) return -1;
  feedback.Log(_("Übertrage die Tabelle zur Steuerung..."));
  feedback.SetBarColour(BarColour::Red);
  feedback.SetBarMaximum(kBarMaximum);
  const std::uint8_t base = WriteFamilyBase(settings);
  int acknowledged = 0;
  for (; acknowledged < kTankEntries; ++acknowledged) {
    const auto value =
        static_cast<std::uint8_t>(table[static_cast<std::size_t>(acknowledged)] & 0xFF);
    const Frame request =
        WriteRequest(base, static_cast<std::uint16_t>(kTankTableAddress + acknowledged), value);
    std::uint8_t ack = 0;
    if (!IsAcknowledgement(Exchange(channel, request, &ack, 1))) {
      feedback.Log(_("Fehler beim Schreiben oder Lesen!\n->Möglicherweise keine Schreibfreigabe!"));
      feedback.Beep();
      break;
    }
    feedback.SetBarPosition(acknowledged);
  }
  feedback.EmptyBar();
  CloseChannel(channel);
  return acknowledged;
}

}  // namespace velta
