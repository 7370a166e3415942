#include "controller/error_memory.h"

#include <strings.h>

#include <algorithm>

#include "controller/fields.h"
#include "controller/write_loop.h"
#include "i18n/lookup.h"

namespace velta {
int ErrorKindIndex(const std::string& code) {
  for (int i = 0; i < kErrorCounterCount; ++i) {
    if (strcasecmp(kErrorKinds[i].code, code.c_str()) == 0 || std::to_string(i) == code) return i;
  }
  return -1;
}

std::vector<std::string> ErrorMemoryLines(const ControllerImage& image) {
  std::vector<std::string> lines{std::string(), _("Fehlerspeicher:")};
  for (int i = 0; i < kErrorCounterCount; ++i) {
    lines.push_back(_(kErrorKinds[i].memoryLabel) +
                    std::to_string(Get(image, field::ErrorCounter(i))));
  }
  return lines;
}

void ListErrorMemory(std::span<const std::uint8_t> read, Feedback& feedback,
                     ControllerImage& image) {
  std::copy_n(read.begin() + kErrorCountersAddress, kErrorCounterCount,
              image.bytes.begin() + kErrorCountersAddress);
  for (const std::string& line : ErrorMemoryLines(image)) feedback.Log(line);
}

bool ClearErrorCounter(const ChannelHandle& channel, const ConnectionSettings& settings,
                       Feedback& feedback, int index) {
  static constexpr std::uint8_t kZero[1] = {0};
  WritePlan plan;
  plan.firstAddress = field::ErrorCounter(index).address;
  plan.values = kZero;
  return WriteBytes(channel, settings, feedback, plan) == ExchangeOutcome::Good;
}

}  // namespace velta
