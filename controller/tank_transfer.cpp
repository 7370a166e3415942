#include "controller/tank_transfer.h"

#include <array>

#include "controller/write_loop.h"
#include "i18n/lookup.h"
#include "link/frames.h"

namespace velta {
namespace {

constexpr int kBarMaximum = 120;

// Sends one frame and receives up to `count` bytes; returns how many came.
std::int32_t Exchange(Channel* channel, const Frame& frame, std::uint8_t* reply, int count) {
  SendFrame(channel, frame);
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
  std::array<std::uint8_t, kTankEntries> values{};
  for (std::size_t i = 0; i < values.size(); ++i)
    values[i] = static_cast<std::uint8_t>(table[i] & 0xFF);  // only the low byte travels
  WritePlan plan;
  plan.firstAddress = kTankTableAddress;
  plan.values = values;
  plan.startLine = "Übertrage die Tabelle zur Steuerung...";
  plan.barMaximum = kBarMaximum;
  plan.logSuccess = false;
  int acknowledged = 0;
  if (WriteBytes(settings, feedback, plan, &acknowledged) == WriteOutcome::NotOpened) return -1;
  return acknowledged;
}

}  // namespace velta
