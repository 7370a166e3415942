#include "controller/block_diff.h"

#include "controller/setting_fields.h"
#include "i18n/lookup.h"

namespace velta {

std::vector<FieldChange> SettingsChanges(const ControllerImage& before,
                                         const ControllerImage& after) {
  std::vector<FieldChange> changes;
  for (const SettingField* field : SettingFields()) {
    const std::uint32_t oldStored = field->stored(before);
    const std::uint32_t newStored = field->stored(after);
    std::string old = SettingText(*field, before);
    std::string now = SettingText(*field, after);
    if (old == now && oldStored == newStored) continue;
    // A change the control's rounding hides still shows, by the stored numbers.
    if (old == now) {
      old += " (stored " + std::to_string(oldStored) + ")";
      now += " (stored " + std::to_string(newStored) + ")";
    }
    changes.push_back({SettingLabel(*field), std::move(old), std::move(now)});
  }
  return changes;
}

std::vector<FieldChange> CounterChanges(const ControllerImage& before, const ControllerImage& after,
                                        Counter counter) {
  std::string old = CounterText(before, counter);
  std::string now = CounterText(after, counter);
  if (old == now) return {};
  return {{ListItemText(kCounterItems, static_cast<int>(counter)), std::move(old), std::move(now)}};
}

std::vector<FieldChange> TankTableChanges(const TankTable& before, const TankTable& after) {
  std::vector<FieldChange> changes;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] != after[i]) {
      changes.push_back(
          {"Entry " + std::to_string(i), std::to_string(before[i]), std::to_string(after[i])});
    }
  }
  return changes;
}

int OtherBytesChanged(const ControllerImage& before, const ControllerImage& after) {
  int count = 0;
  for (int address = kParameterBlockSize; address < kImageSize; ++address) {
    if (before.Byte(address) != after.Byte(address)) ++count;
  }
  return count;
}

std::vector<std::string> ChangeLines(const std::vector<FieldChange>& changes) {
  if (changes.empty()) return {V_("no change")};
  std::vector<std::string> lines;
  for (const FieldChange& change : changes) {
    lines.push_back(change.label + ": " + change.before + " → " + change.after);
  }
  return lines;
}

std::vector<std::string> BackupChangeLines(const ControllerImage& before,
                                           const ControllerImage& after) {
  const std::vector<FieldChange> settings = SettingsChanges(before, after);
  const int others = OtherBytesChanged(before, after);
  if (settings.empty() && others == 0) return ChangeLines(settings);
  std::vector<std::string> lines;
  if (!settings.empty()) lines = ChangeLines(settings);
  if (others != 0) {
    lines.push_back(std::to_string(others) +
                    (others == 1 ? " other byte differs" : " other bytes differ"));
  }
  return lines;
}

}  // namespace velta
