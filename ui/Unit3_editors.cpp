// Display handlers of the value editors: each turns its stepper's raw position into the text
// with unit beside it. Only the regulation parts write into the block at once.
#include <QString>

#include "controller/conversions.h"
#include "controller/fields.h"
#include "ui/Unit3.h"
#include "ui/value_editor.h"
#include "ui_Unit3.h"

namespace {

void Show(QLineEdit* field, const std::string& text) {
  field->setText(QString::fromStdString(text));
}

void ShowPressure(QLineEdit* field, const UpDown* stepper) {
  Show(field, velta::TenthsText(stepper->value(), "bar"));
}
void ShowFifthTicks(QLineEdit* field, const UpDown* stepper) {
  Show(field, velta::TenthsText(velta::FifthTicksTenths(stepper->value()), "s"));
}
void ShowTicks(QLineEdit* field, const UpDown* stepper) {
  Show(field, velta::TenthsText(velta::TicksTenths(stepper->value()), "s"));
}

}  // namespace

void Form3::udDruckEinClick() { ShowPressure(ui->edDruckEin, ui->udDruckEin); }
void Form3::udDruckRegelClick() { ShowPressure(ui->edDruckRegel, ui->udDruckRegel); }
void Form3::udDruckendwertClick() { ShowPressure(ui->edDruckendwert, ui->udDruckendwert); }

void Form3::udNachlaufzeitClick() {
  ShowFifthTicks(ui->edNachlaufzeit, ui->udNachlaufzeit);
  // The leak time follows the run-on time; a manual leak time is overwritten here.
  const auto leak = velta::LeakTimeFromRunOn(ui->udNachlaufzeit->value(), FlowSensorTicked());
  ui->udLeckDauer->setMinimum(leak.minimum);
  ui->udLeckDauer->setValue(leak.position);
  udLeckDauerClick();
}

void Form3::udStartDelayClick() { ShowFifthTicks(ui->edStartDelay, ui->udStartDelay); }
void Form3::udAnzeigeClick() { ShowFifthTicks(ui->edAnzeige, ui->udAnzeige); }
void Form3::udLeckDauerClick() { ShowTicks(ui->edLeckDauer, ui->udLeckDauer); }
void Form3::udKugelhahnLaufzeitClick() {
  ShowTicks(ui->edKugelhahnLaufzeit, ui->udKugelhahnLaufzeit);
}
void Form3::udFilterSpuelZeitClick() { ShowTicks(ui->edFilterSpuelZeit, ui->udFilterSpuelZeit); }
void Form3::udModulSpuelZeitClick() { ShowTicks(ui->edModulSpuelZeit, ui->udModulSpuelZeit); }

void Form3::udFilterSpuelIntervallClick() {
  Show(ui->edFilterSpuelIntervall, velta::DaysText(ui->udFilterSpuelIntervall->value()));
}
void Form3::udModulSpuelIntervallClick() {
  Show(ui->edModulSpuelIntervall, velta::DaysText(ui->udModulSpuelIntervall->value()));
}

void Form3::upZistLeerClick() {
  Show(ui->edZistLeer, velta::PercentText(ui->upZistLeer->value()));
  ui->upZistVoll->setMinimum(ui->upZistLeer->value() + 2);
  upZistVollClick();
}

void Form3::upZistVollClick() {
  // The switch-back level stays at least two points above the empty level.
  ui->upZistVoll->setMinimum(ui->upZistLeer->value() + 2);
  Show(ui->edZistVoll, velta::PercentText(ui->upZistVoll->value()));
}

void Form3::udPumpeMinClick() { Show(ui->edPumpeMin, velta::PercentText(ui->udPumpeMin->value())); }
void Form3::udLaufzeitProzentClick() {
  Show(ui->edLaufzeitProzent, velta::PercentText(ui->udLaufzeitProzent->value()));
}
void Form3::udMaxPowerClick() {
  Show(ui->edMaxPower, velta::MaxPowerText(ui->udMaxPower->value()));
}

void Form3::udMaxPowerTimeClick() {
  if (ui->udMaxPowerTime->value() < velta::kMaxPowerTimeFloor) {
    ui->udMaxPowerTime->setValue(velta::kMaxPowerTimeFloor);
  }
  Show(ui->edMaxPowerTime, velta::MaxPowerTimeText(ui->udMaxPowerTime->value()));
}

void Form3::udRetryIntervallTimeClick() {
  Show(ui->edRetryIntervallTime, velta::RetryIntervalText(ui->udRetryIntervallTime->value()));
}

void Form3::udRetryCountClick() {
  const int count = ui->udRetryCount->value();
  Show(ui->edRetryCount, velta::RetryCountText(count));
  for (QWidget* w :
       {static_cast<QWidget*>(ui->lblErP), static_cast<QWidget*>(ui->edRetryIntervallTime),
        static_cast<QWidget*>(ui->udRetryIntervallTime)}) {
    w->setVisible(count != 0);
  }
}

void Form3::udLaufzeitClick() {
  const int window = ui->udLaufzeit->value();
  Show(ui->edLaufzeit, velta::LaufzeitText(window));
  for (QWidget* w :
       {static_cast<QWidget*>(ui->lblLaufzeitProzent), static_cast<QWidget*>(ui->edLaufzeitProzent),
        static_cast<QWidget*>(ui->udLaufzeitProzent)}) {
    w->setVisible(window != 0);
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

void Form3::udSanftStartClick() {
  Show(ui->edSanftStart, velta::SanftStartText(ui->udSanftStart->value()));
}
void Form3::udPulsFensterClick() {
  Show(ui->edPulsFenster, velta::PulsFensterText(ui->udPulsFenster->value()));
}
void Form3::udRegelTClick() { Show(ui->edRegelT, velta::RegelTText(ui->udRegelT->value())); }
void Form3::udTempOffClick() {
  Show(ui->edTempOff, velta::TemperatureText(ui->udTempOff->value()));
}
void Form3::udTempOnClick() { Show(ui->edTempOn, velta::TemperatureText(ui->udTempOn->value())); }

void Form3::udRegelPClick() {
  velta::Set(image_, velta::field::RegelP, ui->udRegelP->value());
  SelectPreset();
}

void Form3::udRegelDClick() {
  velta::Set(image_, velta::field::RegelD, ui->udRegelD->value());
  SelectPreset();
}
