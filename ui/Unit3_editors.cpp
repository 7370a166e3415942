// The Settings window's value editor display handlers: each turns its stepper's raw position into
// the text with unit beside it, and some move other editors. Only the regulation parts write into
// the block at once.
#include <QString>
#include <algorithm>

#include "controller/setting_fields.h"
#include "ui/Unit3.h"
#include "ui/Unit3_controls.h"
#include "ui/qt_text.h"
#include "ui/value_editor.h"
#include "ui_Unit3.h"

namespace f = velta::field;

namespace {

UpDown* Stepper(const Ui::Form3& ui, const BoundControl& control) {
  const auto* editor = std::get_if<ValueEditorControl>(&control.widget);
  return editor != nullptr ? ui.*editor->stepper : nullptr;
}

void ShowText(const Ui::Form3& ui, const BoundControl& control) {
  const velta::ValueText text = control.setting->text;
  if (text == nullptr) return;
  const auto& editor = std::get<ValueEditorControl>(control.widget);
  (ui.*editor.field)->setText(velta::ToQString(text((ui.*editor.stepper)->value())));
}

}  // namespace

void Form3::AttachEditors() {
  for (const BoundControl& control : BoundControls()) {
    const auto* editor = std::get_if<ValueEditorControl>(&control.widget);
    if (editor == nullptr) continue;
    UpDown* stepper = ui.get()->*editor->stepper;
    // The range comes from the field table: the editors and velta-cli's check share it.
    stepper->setMaximum(control.setting->maximum);
    stepper->setMinimum(control.setting->minimum);
    stepper->setSingleStep(control.setting->step);
    const bool bare = control.setting->text == nullptr;
    stepper->setBuddy(ui.get()->*editor->field, bare);
    if (control.handler != nullptr) {
      connect(stepper, &UpDown::clicked, this, control.handler);
    } else if (!bare) {
      connect(stepper, &UpDown::clicked, this, [this, stepper] { ShowEditorText(stepper); });
    }
  }
  connect(ui->udRegelP, &UpDown::clicked, this, &Form3::udRegelPClick);
  connect(ui->udRegelD, &UpDown::clicked, this, &Form3::udRegelDClick);
}

void Form3::ShowEditorText(const UpDown* stepper) {
  const auto controls = BoundControls();
  const auto control = std::find_if(controls.begin(), controls.end(), [&](const BoundControl& c) {
    return Stepper(*ui, c) == stepper;
  });
  if (control != controls.end()) ShowText(*ui, *control);
}

void Form3::udDruckEinClick() { ShowEditorText(ui->udDruckEin); }
void Form3::udDruckRegelClick() { ShowEditorText(ui->udDruckRegel); }
void Form3::udDruckendwertClick() { ShowEditorText(ui->udDruckendwert); }

void Form3::udNachlaufzeitClick() {
  ShowEditorText(ui->udNachlaufzeit);
  // The leak time follows the run-on time; a manual leak time is overwritten here.
  const auto leak = velta::LeakTimeFromRunOn(ui->udNachlaufzeit->value(), FlowSensorTicked());
  ui->udLeckDauer->setMinimum(leak.minimum);
  ui->udLeckDauer->setValue(leak.position);
  udLeckDauerClick();
}

void Form3::udStartDelayClick() { ShowEditorText(ui->udStartDelay); }
void Form3::udAnzeigeClick() { ShowEditorText(ui->udAnzeige); }
void Form3::udLeckDauerClick() { ShowEditorText(ui->udLeckDauer); }
void Form3::udKugelhahnLaufzeitClick() { ShowEditorText(ui->udKugelhahnLaufzeit); }
void Form3::udFilterSpuelZeitClick() { ShowEditorText(ui->udFilterSpuelZeit); }
void Form3::udModulSpuelZeitClick() { ShowEditorText(ui->udModulSpuelZeit); }
void Form3::udFilterSpuelIntervallClick() { ShowEditorText(ui->udFilterSpuelIntervall); }
void Form3::udModulSpuelIntervallClick() { ShowEditorText(ui->udModulSpuelIntervall); }

void Form3::upZistLeerClick() {
  ShowEditorText(ui->upZistLeer);
  ui->upZistVoll->setMinimum(velta::ZistVollMinimum(ui->upZistLeer->value()));
  upZistVollClick();
}

void Form3::upZistVollClick() {
  ui->upZistVoll->setMinimum(velta::ZistVollMinimum(ui->upZistLeer->value()));
  ShowEditorText(ui->upZistVoll);
}

void Form3::udPumpeMinClick() { ShowEditorText(ui->udPumpeMin); }
void Form3::udLaufzeitProzentClick() { ShowEditorText(ui->udLaufzeitProzent); }
void Form3::udMaxPowerClick() { ShowEditorText(ui->udMaxPower); }

void Form3::udMaxPowerTimeClick() {
  if (ui->udMaxPowerTime->value() < velta::kMaxPowerTimeFloor) {
    ui->udMaxPowerTime->setValue(velta::kMaxPowerTimeFloor);
  }
  ShowEditorText(ui->udMaxPowerTime);
}

void Form3::udRetryIntervallTimeClick() { ShowEditorText(ui->udRetryIntervallTime); }

void Form3::udRetryCountClick() {
  ShowEditorText(ui->udRetryCount);
  for (QWidget* w :
       {static_cast<QWidget*>(ui->lblErP), static_cast<QWidget*>(ui->edRetryIntervallTime),
        static_cast<QWidget*>(ui->udRetryIntervallTime)}) {
    w->setVisible(ui->udRetryCount->value() != 0);
  }
}

void Form3::udLaufzeitClick() {
  ShowEditorText(ui->udLaufzeit);
  for (QWidget* w :
       {static_cast<QWidget*>(ui->lblLaufzeitProzent), static_cast<QWidget*>(ui->edLaufzeitProzent),
        static_cast<QWidget*>(ui->udLaufzeitProzent)}) {
    w->setVisible(ui->udLaufzeit->value() != 0);
  }
}

void Form3::edLaufzeitClick() {
  if (ui->udLaufzeit->value() != 0) {
    rememberedLaufzeit_ = ui->udLaufzeit->value();
    ui->udLaufzeit->setValue(0);
  } else {
    ui->udLaufzeit->setValue(rememberedLaufzeit_);
  }
  udLaufzeitClick();
}

void Form3::udSanftStartClick() { ShowEditorText(ui->udSanftStart); }
void Form3::udPulsFensterClick() { ShowEditorText(ui->udPulsFenster); }
void Form3::udRegelTClick() { ShowEditorText(ui->udRegelT); }
void Form3::udTempOffClick() { ShowEditorText(ui->udTempOff); }
void Form3::udTempOnClick() { ShowEditorText(ui->udTempOn); }

void Form3::udRegelPClick() {
  velta::Set(image_, f::RegelP, ui->udRegelP->value());
  SelectPreset();
}

void Form3::udRegelDClick() {
  velta::Set(image_, f::RegelD, ui->udRegelD->value());
  SelectPreset();
}
