#include "controller/tank_transfer.h"

#include <array>

#include "controller/write_loop.h"
#include "i18n/lookup.h"

namespace velta {
namespace {

constexpr int kBarMaximum = 120;

}  // namespace

ExchangeOutcome ReadTankTableFromController(const ChannelHandle& channel, TankTable& table,
                                            Feedback& feedback) {
  std::array<std::uint8_t, kTankEntries + 1> reply{};
  const ExchangeOutcome outcome = Exchange(
      channel, ReadRequest(kTankTableAddress, kTankTableAddress + kTankEntries - 1), reply);

  if (outcome == ExchangeOutcome::Short) {
    feedback.Log(_("Fehler beim auslesen !"));
    return outcome;
  }
  if (outcome == ExchangeOutcome::WrongSum) {
    feedback.Log(_("Daten wurden falsch ausgelesen!"));
    return outcome;
  }
  feedback.Log(_("Daten wurden richtig ausgelesen!"));
  for (int i = 0; i < kTankEntries; ++i) {
    table[static_cast<std::size_t>(i)] = reply[static_cast<std::size_t>(i)];
    feedback.Log(Format("%d;%d", i, table[static_cast<std::size_t>(i)]));
  }
  return outcome;
}

int SendTankTableToController(const ChannelHandle& channel, const ConnectionSettings& settings,
                              const TankTable& table, Feedback& feedback) {
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
  WriteBytes(channel, settings, feedback, plan, &acknowledged);
  return acknowledged;
}

}  // namespace velta
