// The Settings window's value editors as one table, and their display handlers: each turns its
// stepper's raw position into the text with unit beside it, and some move other editors. Only
// the regulation parts write into the block at once.
#include <QString>
#include <algorithm>
#include <iterator>

#include "controller/setting_fields.h"
#include "ui/Unit3.h"
#include "ui/qt_text.h"
#include "ui/value_editor.h"
#include "ui_Unit3.h"

namespace f = velta::field;
namespace s = velta::setting;

namespace {

struct Editor {
  UpDown* Ui::Form3::*stepper;
  QLineEdit* Ui::Form3::*field;
  // Where the value lives and how it reads as text; without a text the stepper writes its bare
  // position into the field.
  const velta::SettingField* setting;
  // The handler a click and a shown block run; nullptr: the text alone.
  void (Form3::*display)();
};

// In address order, the order a block is shown and collected in, which also puts an editor before
// the ones its handler moves: the empty level before the full level, the run-on time before the
// leak time.
const Editor kEditors[] = {
    {&Ui::Form3::udRetryCount, &Ui::Form3::edRetryCount, &s::RetryCount, &Form3::udRetryCountClick},
    {&Ui::Form3::upZistLeer, &Ui::Form3::edZistLeer, &s::ZistLeer, &Form3::upZistLeerClick},
    {&Ui::Form3::upZistVoll, &Ui::Form3::edZistVoll, &s::ZistVoll, &Form3::upZistVollClick},
    {&Ui::Form3::udAnzeige, &Ui::Form3::edAnzeige, &s::Anzeige, &Form3::udAnzeigeClick},
    {&Ui::Form3::udDruckendwert, &Ui::Form3::edDruckendwert, &s::Druckendwert,
     &Form3::udDruckendwertClick},
    {&Ui::Form3::udDruckRegel, &Ui::Form3::edDruckRegel, &s::DruckRegel,
     &Form3::udDruckRegelClick},
    {&Ui::Form3::udDruckEin, &Ui::Form3::edDruckEin, &s::DruckEin, &Form3::udDruckEinClick},
    {&Ui::Form3::udRegelT, &Ui::Form3::edRegelT, &s::RegelT, &Form3::udRegelTClick},
    // The regulation parts' click handlers write into the block; showing a block runs neither.
    {&Ui::Form3::udRegelP, &Ui::Form3::edRegelP, &s::RegelP, nullptr},
    {&Ui::Form3::udRegelD, &Ui::Form3::edRegelD, &s::RegelD, nullptr},
    {&Ui::Form3::udTempOff, &Ui::Form3::edTempOff, &s::TempOff, &Form3::udTempOffClick},
    {&Ui::Form3::udTempOn, &Ui::Form3::edTempOn, &s::TempOn, &Form3::udTempOnClick},
    {&Ui::Form3::udPumpeMin, &Ui::Form3::edPumpeMin, &s::PumpeMin, &Form3::udPumpeMinClick},
    {&Ui::Form3::udNachlaufzeit, &Ui::Form3::edNachlaufzeit, &s::Nachlaufzeit,
     &Form3::udNachlaufzeitClick},
    {&Ui::Form3::udLaufzeit, &Ui::Form3::edLaufzeit, &s::Laufzeit, &Form3::udLaufzeitClick},
    {&Ui::Form3::udStartDelay, &Ui::Form3::edStartDelay, &s::StartDelay,
     &Form3::udStartDelayClick},
    {&Ui::Form3::udPulsFenster, &Ui::Form3::edPulsFenster, &s::PulsFenster,
     &Form3::udPulsFensterClick},
    {&Ui::Form3::udLaufzeitProzent, &Ui::Form3::edLaufzeitProzent, &s::LaufzeitProzent,
     &Form3::udLaufzeitProzentClick},
    {&Ui::Form3::udKugelhahnLaufzeit, &Ui::Form3::edKugelhahnLaufzeit, &s::KugelhahnLaufzeit,
     &Form3::udKugelhahnLaufzeitClick},
    {&Ui::Form3::udFilterSpuelZeit, &Ui::Form3::edFilterSpuelZeit, &s::FilterSpuelZeit,
     &Form3::udFilterSpuelZeitClick},
    {&Ui::Form3::udFilterSpuelIntervall, &Ui::Form3::edFilterSpuelIntervall,
     &s::FilterSpuelIntervall, &Form3::udFilterSpuelIntervallClick},
    {&Ui::Form3::udModulSpuelZeit, &Ui::Form3::edModulSpuelZeit, &s::ModulSpuelZeit,
     &Form3::udModulSpuelZeitClick},
    {&Ui::Form3::udModulSpuelIntervall, &Ui::Form3::edModulSpuelIntervall,
     &s::ModulSpuelIntervall, &Form3::udModulSpuelIntervallClick},
    {&Ui::Form3::udSanftStart, &Ui::Form3::edSanftStart, &s::SanftStart,
     &Form3::udSanftStartClick},
    {&Ui::Form3::udLeckAnzahl, &Ui::Form3::edLeckAnzahl, &s::LeckAnzahl, nullptr},
    {&Ui::Form3::udLeckDauer, &Ui::Form3::edLeckDauer, &s::LeckDauer, &Form3::udLeckDauerClick},
    {&Ui::Form3::udMaxPower, &Ui::Form3::edMaxPower, &s::MaxPower, &Form3::udMaxPowerClick},
    {&Ui::Form3::udMaxPowerTime, &Ui::Form3::edMaxPowerTime, &s::MaxPowerTime,
     &Form3::udMaxPowerTimeClick},
    {&Ui::Form3::udRetryIntervallTime, &Ui::Form3::edRetryIntervallTime, &s::RetryIntervallTime,
     &Form3::udRetryIntervallTimeClick},
};

UpDown* Stepper(const Ui::Form3& ui, const Editor& editor) { return ui.*editor.stepper; }

void ShowText(const Ui::Form3& ui, const Editor& editor) {
  const velta::ValueText text = editor.setting->text;
  if (text == nullptr) return;
  (ui.*editor.field)->setText(velta::ToQString(text(Stepper(ui, editor)->value())));
}

void RunDisplay(Form3& window, const Ui::Form3& ui, const Editor& editor) {
  if (editor.display != nullptr) {
    (window.*editor.display)();
  } else {
    ShowText(ui, editor);
  }
}

}  // namespace

void Form3::AttachEditors() {
  for (const Editor& editor : kEditors) {
    UpDown* stepper = Stepper(*ui, editor);
    const bool bare = editor.setting->text == nullptr;
    stepper->setBuddy(ui.get()->*editor.field, bare);
    if (!bare || editor.display != nullptr) {
      connect(stepper, &UpDown::clicked, this, [this, &editor] { RunDisplay(*this, *ui, editor); });
    }
  }
  connect(ui->udRegelP, &UpDown::clicked, this, &Form3::udRegelPClick);
  connect(ui->udRegelD, &UpDown::clicked, this, &Form3::udRegelDClick);
}

void Form3::ShowEditors() {
  for (const Editor& editor : kEditors) {
    Stepper(*ui, editor)->setValue(editor.setting->get(image_));
    RunDisplay(*this, *ui, editor);
  }
}

void Form3::CollectEditors(velta::ControllerImage& block, int firstAddress, int endAddress) const {
  for (const Editor& editor : kEditors) {
    const velta::SettingField& setting = *editor.setting;
    if (setting.set != nullptr && setting.address >= firstAddress && setting.address < endAddress) {
      setting.set(block, Stepper(*ui, editor)->value());
    }
  }
}

void Form3::ShowEditorText(const UpDown* stepper) {
  const auto editor = std::find_if(std::begin(kEditors), std::end(kEditors),
                                   [&](const Editor& e) { return Stepper(*ui, e) == stepper; });
  if (editor != std::end(kEditors)) ShowText(*ui, *editor);
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
  ui->upZistVoll->setMinimum(ui->upZistLeer->value() + 2);
  upZistVollClick();
}

void Form3::upZistVollClick() {
  // The switch-back level stays at least two points above the empty level.
  ui->upZistVoll->setMinimum(ui->upZistLeer->value() + 2);
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
