#include "controller/live_values.h"

#include <array>

#include "i18n/lookup.h"
#include "link/big_endian.h"
#include "link/exchange.h"

namespace velta {
namespace {

std::string Labelled(const char* label, unsigned value) {
  return _(label) + std::to_string(value);
}

}  // namespace

std::string PumpRunTimeLine(std::uint16_t ticks) {
  // The controller's tick is 0.4096 s; the product is taken in single precision and truncated,
  // so 10000 ticks make exactly 4096 s.
  const float product = static_cast<float>(ticks) * 0.4096f;
  const auto seconds = static_cast<unsigned long>(product);
  return Format(_("Pumpe Rest[h]: %02lum:%02lus (%4d)"), (seconds / 60) % 60, seconds % 60,
                static_cast<int>(ticks));
}

std::vector<std::string> LiveValueLines(std::span<const std::uint8_t> page, bool expert) {
  std::vector<std::string> lines{_("Referenzwert(100%)=Messwert-Leerwert"),
                                 Labelled("Zisterne (Messwert):", BigEndian16(page, 4))};
  if (!expert) return lines;
  const unsigned long cycles = BigEndian32(page, 10);
  lines.push_back(Labelled("ADC0(Druck):", BigEndian16(page, 0)));
  lines.push_back(Labelled("ADC1(Temp):", BigEndian16(page, 2)));
  lines.push_back(PumpRunTimeLine(BigEndian16(page, 6)));
  lines.push_back(Labelled("Er.L/Zähler:", page[8]));
  lines.push_back(Labelled("Schreibfreigabezeit:", page[9]));
  lines.push_back(Format(_("Pumpe Taktungen:%10lu"), cycles));
  return lines;
}

ExchangeOutcome ReadLiveValues(const ChannelHandle& channel, Feedback& feedback, bool expert,
                               std::vector<std::string>* listing,
                               std::vector<std::uint8_t>* page) {
  std::array<std::uint8_t, kCountersPageLength + 1> reply{};
  const ExchangeOutcome outcome = Exchange(channel, StatusRequest(kCountersPage), reply);

  if (outcome == ExchangeOutcome::Short) feedback.Log(_("Fehler beim auslesen !"));
  if (outcome != ExchangeOutcome::Good) return outcome;
  feedback.ClearLog();
  const std::vector<std::string> lines = LiveValueLines(reply, expert);
  for (const std::string& line : lines) feedback.Log(line);
  if (listing != nullptr) *listing = lines;
  if (page != nullptr) page->assign(reply.begin(), reply.end() - 1);
  return outcome;
}

}  // namespace velta
