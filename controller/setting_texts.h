// Every setting of the Parameter block as a named text in the units the Settings window's editors
// show, for listings that compare two blocks (the command line's diff and write question, the
// service report). The names are the block's field names.
#pragma once

#include <string>
#include <vector>

#include "controller/image.h"

namespace velta {

struct SettingText {
  const char* name;
  std::string text;
};

// In address order, one entry per field of the Parameter block.
std::vector<SettingText> SettingTexts(const ControllerImage& image);

struct SettingChange {
  const char* name;
  std::string before;
  std::string after;
};

// The settings whose text differs between `before` and `after`, in address order.
std::vector<SettingChange> ChangedSettings(const ControllerImage& before,
                                           const ControllerImage& after);

// The addresses 0..51 whose bytes differ.
std::vector<int> ChangedParameterAddresses(const ControllerImage& before,
                                           const ControllerImage& after);

}  // namespace velta
