// What one controller image changes against another, field by field as the Settings window shows
// the fields, and the lines that list it for a person.
#pragma once

#include <string>
#include <vector>

#include "controller/counters.h"
#include "controller/image.h"
#include "controller/tank_table.h"

namespace velta {

struct FieldChange {
  std::string label;   // "Pump – On", looked up
  std::string before;  // as the control shows it: "1.5bar"
  std::string after;
};

// The settings fields (setting_fields.h) whose shown value differs, in address order. Packed
// option bits are fields of their own, so each changed option is named.
std::vector<FieldChange> SettingsChanges(const ControllerImage& before,
                                         const ControllerImage& after);
// The counter as the counter field shows it.
std::vector<FieldChange> CounterChanges(const ControllerImage& before, const ControllerImage& after,
                                        Counter counter);
// One change per table entry that differs: "Entry 12".
std::vector<FieldChange> TankTableChanges(const TankTable& before, const TankTable& after);
// Bytes beyond the Parameter block (addresses 52..255) that differ.
int OtherBytesChanged(const ControllerImage& before, const ControllerImage& after);

// "Pump – On: 1.5bar → 2.0bar" per change, or the one line "no change".
std::vector<std::string> ChangeLines(const std::vector<FieldChange>& changes);
// The settings changes of a whole 256-byte image, then "N other bytes differ" when any do.
std::vector<std::string> BackupChangeLines(const ControllerImage& before,
                                           const ControllerImage& after);

}  // namespace velta
