// The binding between the controller image and the Settings window's editors.
#include <QString>

#include "controller/block_bits.h"
#include "controller/fields.h"
#include "i18n/lookup.h"
#include "ui/Unit3.h"
#include "ui/desktop.h"
#include "ui/value_editor.h"
#include "ui_Unit3.h"

namespace f = velta::field;
using velta::Get;
using velta::IsSet;
using velta::Set;

namespace {

// A reference value as typed: a decimal number that fits an int, or nothing.
bool ParseReference(const QLineEdit* field, int& value) {
  bool ok = false;
  value = field->text().toInt(&ok, 10);
  if (!ok) {
    velta::CurrentDesktop().ShowMessage(QString::fromStdString(
        velta::Format("'%s' ist kein gültiger Integerwert", field->text().toStdString().c_str())));
  }
  return ok;
}

}  // namespace

void Form3::ShowBlock() {
  const velta::ControllerImage& b = image_;
  ui->udRetryCount->setValue(Get(b, f::RetryCount));
  udRetryCountClick();
  ui->upZistLeer->setValue(Get(b, f::ZistLeer));
  upZistLeerClick();
  ui->upZistVoll->setValue(Get(b, f::ZistVoll));
  upZistVollClick();
  ui->cbTankform->setCurrentIndex(Get(b, f::Tankform));
  ui->bbEditTF->setEnabled(ui->cbTankform->currentIndex() == 3);  // "Eigene Tankform"
  ui->edRefZistVoll->setText(QString::number(Get(b, f::RefZistVoll)));
  ui->chkAuto->setChecked(Get(b, f::Auto) == 0);
  ui->udAnzeige->setValue(Get(b, f::Anzeige));
  udAnzeigeClick();
  ui->cbDrucksensor->setCurrentIndex(Get(b, f::Drucksensor));
  cbDrucksensorClick();
  ui->udDruckendwert->setValue(Get(b, f::Druckendwert));
  udDruckendwertClick();
  ui->udDruckRegel->setValue(Get(b, f::DruckRegel));
  udDruckRegelClick();
  ui->udDruckEin->setValue(Get(b, f::DruckEin));
  udDruckEinClick();

  const velta::InputChoice inputs =
      velta::DecodeInputs(static_cast<std::uint8_t>(Get(b, f::Eingang)));
  ui->cbMinInput->setCurrentIndex(inputs.min);
  ui->cbMaxInput->setCurrentIndex(inputs.max);
  cbMinInputClick();
  ui->cbWasserZcount->setCurrentIndex(Get(b, f::WasserZcount));

  ui->udRegelT->setValue(Get(b, f::RegelT));
  udRegelTClick();
  ui->udRegelP->setValue(Get(b, f::RegelP));
  ui->udRegelD->setValue(Get(b, f::RegelD));
  ui->edRefZistLeer->setText(QString::number(Get(b, f::RefZistLeer)));
  ui->udTempOff->setValue(Get(b, f::TempOff));
  udTempOffClick();
  ui->udTempOn->setValue(Get(b, f::TempOn));
  udTempOnClick();
  ui->udPumpeMin->setValue(Get(b, f::PumpeMin));
  udPumpeMinClick();
  ui->udNachlaufzeit->setValue(Get(b, f::Nachlaufzeit));
  udNachlaufzeitClick();
  ui->udLaufzeit->setValue(Get(b, f::Laufzeit));
  udLaufzeitClick();
  ui->cbVariante->setCurrentIndex(Get(b, f::Variante));
  cbVarianteChange();

  ui->udStartDelay->setValue(Get(b, f::StartDelay));
  udStartDelayClick();
  ui->udPulsFenster->setValue(Get(b, f::PulsFenster));
  udPulsFensterClick();
  ui->udLaufzeitProzent->setValue(Get(b, f::LaufzeitProzent));
  udLaufzeitProzentClick();
  ui->udKugelhahnLaufzeit->setValue(Get(b, f::KugelhahnLaufzeit));
  udKugelhahnLaufzeitClick();
  ui->udFilterSpuelZeit->setValue(Get(b, f::FilterSpuelZeit));
  udFilterSpuelZeitClick();
  ui->udFilterSpuelIntervall->setValue(velta::IntervalDays(b, f::FilterSpuelIntervall));
  udFilterSpuelIntervallClick();
  ui->udModulSpuelZeit->setValue(Get(b, f::ModulSpuelZeit));
  udModulSpuelZeitClick();
  ui->udModulSpuelIntervall->setValue(velta::IntervalDays(b, f::ModulSpuelIntervall));
  udModulSpuelIntervallClick();

  ui->udSanftStart->setValue(Get(b, f::SanftStart));
  udSanftStartClick();
  ui->chkSanftOff->setChecked(IsSet(b, f::SanftOff));
  ui->chkShowPumpenLeistung->setChecked(Get(b, f::ShowPumpenLeistung) != 0);
  ui->chkLeckUeberwachung->setChecked(IsSet(b, f::LeckUeberwachung));
  ui->chkNoLeckError15s->setChecked(IsSet(b, f::NoLeckError15s));
  ui->udLeckAnzahl->setValue(Get(b, f::LeckAnzahl));
  ui->udLeckDauer->setValue(Get(b, f::LeckDauer));
  udLeckDauerClick();
  ui->udMaxPower->setValue(Get(b, f::MaxPower));
  udMaxPowerClick();
  ui->udMaxPowerTime->setValue(Get(b, f::MaxPowerTime));
  udMaxPowerTimeClick();
  ui->udRetryIntervallTime->setValue(Get(b, f::RetryIntervallTime));
  udRetryIntervallTimeClick();

  // The option bits last: their handlers set visibility and limits from the values above.
  ui->chkUrlaub->setChecked(!IsSet(b, f::Urlaub));
  ui->cbShowTxRx->setChecked(IsSet(b, f::ShowTxRx));
  ui->chkRegelung->setChecked(IsSet(b, f::Regelung));
  ui->cbFlowControl->setChecked(IsSet(b, f::FlowControl));
  ui->chkSchwimmerSchalter->setChecked(IsSet(b, f::SchwimmerSchalter));
  chkSchwimmerSchalterClick();
  ui->chkSetupFlusssensor->setChecked(IsSet(b, f::SetupFlusssensor));
  chkSetupFlusssensorClick();
  ui->cbRueckstau->setCurrentIndex(Get(b, f::Rueckstau));
  ui->cbPower->setCurrentIndex(Get(b, f::Power));
  cbPowerChange();
}

void Form3::SelectPreset() {
  ui->cbRegelungsart->setCurrentIndex(
      velta::PresetIndex(Get(image_, f::RegelP), Get(image_, f::RegelD)));
}

bool Form3::CollectBlock() {
  velta::ControllerImage& b = image_;
  Set(b, f::RetryCount, ui->udRetryCount->value());
  Set(b, f::ZistLeer, ui->upZistLeer->value());
  Set(b, f::ZistVoll, ui->upZistVoll->value());
  Set(b, f::Tankform, ui->cbTankform->currentIndex());
  int reference = 0;
  if (!ParseReference(ui->edRefZistVoll, reference)) return false;
  Set(b, f::RefZistVoll, reference);
  Set(b, f::Auto, ui->chkAuto->isChecked() ? 0 : 1);
  Set(b, f::Anzeige, ui->udAnzeige->value());
  Set(b, f::Drucksensor, ui->cbDrucksensor->currentIndex());
  Set(b, f::Druckendwert, ui->udDruckendwert->value());
  Set(b, f::DruckRegel, ui->udDruckRegel->value());
  Set(b, f::DruckEin, ui->udDruckEin->value());
  Set(b, f::Eingang,
      velta::EncodeEingang(ui->cbWasserZcount->currentIndex(),
                           {ui->cbMinInput->currentIndex(), ui->cbMaxInput->currentIndex()}));
  Set(b, f::RegelT, ui->udRegelT->value());
  Set(b, f::RegelP, ui->udRegelP->value());
  Set(b, f::RegelD, ui->udRegelD->value());
  if (!ParseReference(ui->edRefZistLeer, reference)) return false;
  Set(b, f::RefZistLeer, reference);
  Set(b, f::TempOff, ui->udTempOff->value());
  Set(b, f::TempOn, ui->udTempOn->value());
  Set(b, f::PumpeMin, ui->udPumpeMin->value());
  Set(b, f::Nachlaufzeit, ui->udNachlaufzeit->value());
  Set(b, f::Laufzeit, ui->udLaufzeit->value());
  Set(b, f::Variante, ui->cbVariante->currentIndex());
  Set(b, f::StartDelay, ui->udStartDelay->value());
  Set(b, f::PulsFenster, ui->udPulsFenster->value());
  Set(b, f::LaufzeitProzent, ui->udLaufzeitProzent->value());
  Set(b, f::KugelhahnLaufzeit, ui->udKugelhahnLaufzeit->value());
  Set(b, f::FilterSpuelZeit, ui->udFilterSpuelZeit->value());
  velta::SetIntervalDays(b, f::FilterSpuelIntervall, ui->udFilterSpuelIntervall->value());
  Set(b, f::ModulSpuelZeit, ui->udModulSpuelZeit->value());
  velta::SetIntervalDays(b, f::ModulSpuelIntervall, ui->udModulSpuelIntervall->value());
  b.SetByte(f::SanftStart.address,
            velta::EncodeSanftStart(ui->udSanftStart->value(), ui->chkSanftOff->isChecked()));
  Set(b, f::ShowPumpenLeistung, ui->chkShowPumpenLeistung->isChecked() ? 1 : 0);
  Set(b, f::Leck,
      velta::EncodeLeck(ui->udLeckAnzahl->value(), ui->chkNoLeckError15s->isChecked(),
                        ui->chkLeckUeberwachung->isChecked()));
  Set(b, f::LeckDauer, ui->udLeckDauer->value());
  Set(b, f::MaxPower, ui->udMaxPower->value());
  Set(b, f::MaxPowerTime, ui->udMaxPowerTime->value());
  Set(b, f::RetryIntervallTime, ui->udRetryIntervallTime->value());
  velta::SetupOptions options;
  options.alwaysOff = ui->chkUrlaub->isChecked();
  options.showTxRx = ui->cbShowTxRx->isChecked();
  options.flowSensor = ui->chkSetupFlusssensor->isChecked();
  options.regulation = ui->chkRegelung->isChecked();
  options.flowControl = ui->cbFlowControl->isChecked();
  options.floatSwitch = ui->chkSchwimmerSchalter->isChecked();
  options.rueckstau = ui->cbRueckstau->currentIndex();
  Set(b, f::SetupFlags, velta::EncodeSetupFlags(options));
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
