// The Settings window's controls, each bound to the field row it shows (controller/setting_fields.h):
// value editors, lists, check boxes and the two reference texts in one table, in the order a block
// is shown.
#pragma once

#include <span>
#include <variant>

class Form3;
class QCheckBox;
class QComboBox;
class QLineEdit;
class UpDown;
namespace Ui {
class Form3;
}
namespace velta {
struct SettingField;
}

struct ValueEditorControl {
  UpDown* Ui::Form3::*stepper;
  QLineEdit* Ui::Form3::*field;
};
struct ListControl {
  QComboBox* Ui::Form3::*list;
};
struct BoxControl {
  QCheckBox* Ui::Form3::*box;
};
// A reference value typed as a decimal number.
struct ReferenceControl {
  QLineEdit* Ui::Form3::*field;
};

struct BoundControl {
  const velta::SettingField* setting;
  std::variant<ValueEditorControl, ListControl, BoxControl, ReferenceControl> widget;
  // Runs after the control has shown a block's value; a value editor's also runs on each click.
  // nullptr: none (a value editor then only refreshes its text).
  void (Form3::*handler)();
};

std::span<const BoundControl> BoundControls();
