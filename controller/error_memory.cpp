#include "controller/error_memory.h"

#include <algorithm>

#include "controller/fields.h"
#include "controller/read_range.h"
#include "controller/write_loop.h"
#include "i18n/lookup.h"

namespace velta {
namespace {

constexpr int kErrorMemoryLastRead = 81;

constexpr const char* kLabels[kErrorCounterCount] = {
    "Er.t #", "Er.P #", "Er.C #", "Er.h #", "Er.L #",   "Er.1 #",
    "Er.2 #", "Er.b #", "P.LE #", "Rückstau #", "Er.F #",
};

}  // namespace

std::vector<std::string> ErrorMemoryLines(const ControllerImage& image) {
  std::vector<std::string> lines{std::string(), _("Fehlerspeicher:")};
  for (int i = 0; i < kErrorCounterCount; ++i) {
    lines.push_back(_(kLabels[i]) + std::to_string(Get(image, field::ErrorCounter(i))));
  }
  return lines;
}

bool ReadErrorMemory(const ConnectionSettings& settings, Feedback& feedback,
                     ControllerImage& image) {
  const ReadResult read = ReadRange(settings, feedback, 0, kErrorMemoryLastRead);
  if (!read.success) return false;
  std::copy_n(read.data.begin() + kErrorCountersAddress, kErrorCounterCount,
              image.bytes.begin() + kErrorCountersAddress);
  for (const std::string& line : ErrorMemoryLines(image)) feedback.Log(line);
  return true;
}

bool ClearErrorCounter(const ConnectionSettings& settings, Feedback& feedback, int index) {
  static constexpr std::uint8_t kZero[1] = {0};
  WritePlan plan;
  plan.firstAddress = field::ErrorCounter(index).address;
  plan.values = kZero;
  plan.openFailure = "Fehler beim Öffnen der Schnittstelle!";
  return WriteBytes(settings, feedback, plan) == ExchangeOutcome::Good;
}

}  // namespace velta
