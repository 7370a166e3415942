// The binding between the controller image and the Settings window's controls. A control keeps
// the block's bytes until the user changes it (or starts a handler that moves it): only then is
// its value stored, into its own bits.
#include <QCheckBox>
#include <QComboBox>
#include <QString>
#include <optional>

#include "controller/block_bits.h"
#include "controller/fields.h"
#include "controller/setting_fields.h"
#include "i18n/lookup.h"
#include "ui/Unit3.h"
#include "ui/Unit3_controls.h"
#include "ui/desktop.h"
#include "ui/qt_text.h"
#include "ui/value_editor.h"
#include "ui_Unit3.h"

namespace f = velta::field;

namespace {

template <class... Kinds>
struct Overloaded : Kinds... {
  using Kinds::operator()...;
};

// A reference value as typed: a decimal number that fits an int, or nothing.
std::optional<int> ParseReference(const QLineEdit* field) {
  bool ok = false;
  const int value = field->text().toInt(&ok, 10);
  if (!ok) return std::nullopt;
  return value;
}

void ShowNotANumber(const QLineEdit* field) {
  velta::CurrentDesktop().ShowMessage(velta::ToQString(velta::Format(
      "'%s' ist kein gültiger Integerwert", velta::ToStdString(field->text()).c_str())));
}

// A stored value that is none of the list's items shows as such in place of an item.
void ShowListItem(QComboBox* list, int item) {
  const bool known = item >= 0 && item < list->count();
  list->setPlaceholderText(known ? QString() : velta::ToQString(V_("stored value %1")).arg(item));
  list->setCurrentIndex(known ? item : -1);
}

}  // namespace

std::optional<int> Form3::ControlValue(const BoundControl& control) const {
  return std::visit(
      Overloaded{
          [&](const ValueEditorControl& c) -> std::optional<int> {
            return (ui.get()->*c.stepper)->value();
          },
          [&](const ListControl& c) -> std::optional<int> {
            return (ui.get()->*c.list)->currentIndex();
          },
          [&](const BoxControl& c) -> std::optional<int> {
            return (ui.get()->*c.box)->isChecked() ? 1 : 0;
          },
          [&](const ReferenceControl& c) { return ParseReference(ui.get()->*c.field); },
      },
      control.widget);
}

QString Form3::ControlState(const BoundControl& control) const {
  if (const auto* reference = std::get_if<ReferenceControl>(&control.widget)) {
    return (ui.get()->*reference->field)->text();
  }
  return QString::number(*ControlValue(control));
}

void Form3::ShowControl(const BoundControl& control) {
  const int value = control.setting->get(image_);
  std::visit(Overloaded{
                 [&](const ValueEditorControl& c) { (ui.get()->*c.stepper)->setValue(value); },
                 [&](const ListControl& c) { ShowListItem(ui.get()->*c.list, value); },
                 [&](const BoxControl& c) { (ui.get()->*c.box)->setChecked(value != 0); },
                 [&](const ReferenceControl& c) {
                   (ui.get()->*c.field)->setText(QString::number(value));
                 },
             },
             control.widget);
  if (control.handler != nullptr) {
    (this->*control.handler)();
  } else if (const auto* editor = std::get_if<ValueEditorControl>(&control.widget)) {
    ShowEditorText(ui.get()->*editor->stepper);
  }
}

void Form3::ShowBlock() {
  const auto controls = BoundControls();
  for (const BoundControl& control : controls) ShowControl(control);
  ui->bbEditTF->setEnabled(ui->cbTankform->currentIndex() == velta::kCustomTankform);
  // The handlers above pull editors into the limits they set; each editor shows the stored value
  // all the same, marked when it lies outside. Lists and boxes already hold theirs: a handler
  // only moves controls that come after it.
  for (const BoundControl& control : controls) {
    const auto* editor = std::get_if<ValueEditorControl>(&control.widget);
    if (editor == nullptr) continue;
    UpDown* stepper = ui.get()->*editor->stepper;
    const int stored = control.setting->get(image_);
    if (stepper->value() == stored) continue;
    stepper->showStored(stored);
    ShowEditorText(stepper);
  }
  shownStates_.clear();
  for (const BoundControl& control : controls) shownStates_.push_back(ControlState(control));
}

void Form3::SelectPreset() {
  ui->cbRegelungsart->setCurrentIndex(
      velta::PresetIndex(Get(image_, f::RegelP), Get(image_, f::RegelD)));
}

bool Form3::CollectBlock() { return CollectInto(image_, true); }

velta::ControllerImage Form3::WindowBlock() const {
  velta::ControllerImage block = image_;
  CollectInto(block, false);
  return block;
}

bool Form3::CollectInto(velta::ControllerImage& b, bool stopAtBadNumber) const {
  // In address order: a reference value that is not a number stops with a message, the bytes
  // before it collected, or keeps the block's value.
  const auto controls = BoundControls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const BoundControl& control = controls[i];
    // Untouched, the block keeps the bytes it was shown with.
    if (ControlState(control) == shownStates_[i]) continue;
    const std::optional<int> value = ControlValue(control);
    if (value) {
      control.setting->set(b, *value);
    } else if (stopAtBadNumber) {
      ShowNotANumber(ui.get()->*std::get<ReferenceControl>(control.widget).field);
      return false;
    }
  }
  // The controllers in the field need the power stage bit set, whatever the list shows.
  velta::Set(b, f::Power, 1);
  return true;
}

void Form3::ApplyGroupMask(int mask) {
  QWidget* const groups[] = {ui->gbTrockenlauf, ui->gbTemp,    ui->gbRegelung,      ui->gbLeck,
                             ui->gbSpezial,     ui->gbZaehler, ui->gbFehlerspeicher};
  for (int bit = 0; bit < 7; ++bit) groups[bit]->setVisible((mask & (1 << bit)) != 0);
  ui->gbNoExpert->setVisible(mask == 0);
  const bool powerStage = (mask & 0x80) != 0;
  for (QWidget* w : {static_cast<QWidget*>(ui->cbPower), static_cast<QWidget*>(ui->edPulsFenster),
                     static_cast<QWidget*>(ui->udPulsFenster)}) {
    w->setEnabled(powerStage);
  }
}
