#include "controller/write_baseline.h"

#include <algorithm>

#include "controller/block_diff.h"
#include "i18n/lookup.h"

namespace velta {
namespace {

constexpr const char* kNothingToCompare =
    VN_("Nothing to compare with: these values have not been read from the controller or "
        "loaded from a file yet.");

struct Comparison {
  const std::string& source;
  std::vector<std::string> lines;
};

std::string Details(const std::vector<Comparison>& comparisons) {
  if (comparisons.empty()) return V_(kNothingToCompare);
  std::string text;
  for (const Comparison& comparison : comparisons) {
    if (!text.empty()) text += "\n";
    text += Format(V_("Against %s:"), comparison.source.c_str()) + "\n";
    for (const std::string& line : comparison.lines) text += line + "\n";
  }
  return text;
}

template <typename Lines>
std::string ImageDetails(const Baselines& baselines, int first, int last, Lines lines) {
  std::vector<Comparison> comparisons;
  for (const Baseline* baseline : baselines.Covering(first, last)) {
    comparisons.push_back({baseline->source, lines(baseline->image)});
  }
  return Details(comparisons);
}

}  // namespace

bool Baseline::Covers(int first, int last) const {
  for (int address = first; address <= last; ++address) {
    if (!known[static_cast<std::size_t>(address)]) return false;
  }
  return true;
}

Baselines::Baselines() { controller_.source = V_("the block last read from the controller"); }

void Baselines::ControllerRead(int first, std::span<const std::uint8_t> data) {
  TakeController(first, data, VN_("the block last read from the controller"));
}

void Baselines::ControllerWritten(int first, std::span<const std::uint8_t> data) {
  TakeController(first, data, VN_("the block last written to the controller"));
}

void Baselines::TakeController(int first, std::span<const std::uint8_t> data, const char* source) {
  const int count = std::min(static_cast<int>(data.size()), kImageSize - first);
  for (int i = 0; i < count; ++i) {
    controller_.image.SetByte(first + i, data[static_cast<std::size_t>(i)]);
    controller_.known.set(static_cast<std::size_t>(first + i));
  }
  controller_.source = V_(source);
}

void Baselines::FileLoaded(const std::string& path, const ControllerImage& image,
                           int addressCount) {
  Baseline file;
  file.source = Format(V_("the file %s"), path.c_str());
  file.image = image;
  for (int address = 0; address < addressCount; ++address) {
    file.known.set(static_cast<std::size_t>(address));
  }
  file_ = std::move(file);
}

std::vector<const Baseline*> Baselines::Covering(int first, int last) const {
  std::vector<const Baseline*> covering;
  if (file_ && file_->Covers(first, last)) covering.push_back(&*file_);
  if (controller_.Covers(first, last)) covering.push_back(&controller_);
  return covering;
}

std::string SettingsWriteDetails(const Baselines& baselines, const ControllerImage& after) {
  return ImageDetails(baselines, 0, kParameterBlockSize - 1, [&](const ControllerImage& before) {
    return ChangeLines(SettingsChanges(before, after));
  });
}

std::string BackupWriteDetails(const Baselines& baselines, const ControllerImage& after) {
  return ImageDetails(baselines, 0, kImageSize - 1, [&](const ControllerImage& before) {
    return BackupChangeLines(before, after);
  });
}

std::string CounterWriteDetails(const Baselines& baselines, const ControllerImage& after,
                                Counter counter) {
  const AddressRange shown = CounterReadRange(counter);
  return ImageDetails(baselines, shown.first, shown.last, [&](const ControllerImage& before) {
    return ChangeLines(CounterChanges(before, after, counter));
  });
}

std::string TankWriteDetails(const TankBaselines& baselines, const TankTable& after) {
  std::vector<Comparison> comparisons;
  for (const auto* baseline : {&baselines.file, &baselines.controller}) {
    if (*baseline) {
      comparisons.push_back(
          {(*baseline)->source, ChangeLines(TankTableChanges((*baseline)->table, after))});
    }
  }
  return Details(comparisons);
}

}  // namespace velta
