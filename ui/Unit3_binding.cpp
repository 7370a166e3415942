// The binding between the controller image and the Settings window's editors.
#include <QString>
#include <optional>

#include "controller/block_bits.h"
#include "controller/fields.h"
#include "i18n/lookup.h"
#include "ui/Unit3.h"
#include "ui/desktop.h"
#include "ui/qt_text.h"
#include "ui/value_editor.h"
#include "ui_Unit3.h"

namespace f = velta::field;
using velta::Get;
using velta::IsSet;
using velta::Set;

namespace {

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

}  // namespace

void Form3::ShowBlock() {
  const velta::ControllerImage& b = image_;
  // The lists and boxes first: a pressure switch fixes the pressures and switches regulation off
  // before the editors show the block's own values.
  ui->cbTankform->setCurrentIndex(Get(b, f::Tankform));
  ui->bbEditTF->setEnabled(ui->cbTankform->currentIndex() == 3);  // "Eigene Tankform"
  ui->edRefZistVoll->setText(QString::number(Get(b, f::RefZistVoll)));
  ui->chkAuto->setChecked(Get(b, f::Auto) == 0);
  ui->cbDrucksensor->setCurrentIndex(Get(b, f::Drucksensor));
  cbDrucksensorClick();
  const velta::InputChoice inputs =
      velta::DecodeInputs(static_cast<std::uint8_t>(Get(b, f::Eingang)));
  ui->cbMinInput->setCurrentIndex(inputs.min);
  ui->cbMaxInput->setCurrentIndex(inputs.max);
  cbMinInputClick();
  ui->cbWasserZcount->setCurrentIndex(Get(b, f::WasserZcount));
  ui->edRefZistLeer->setText(QString::number(Get(b, f::RefZistLeer)));
  ui->cbVariante->setCurrentIndex(Get(b, f::Variante));
  cbVarianteChange();
  ui->chkSanftOff->setChecked(IsSet(b, f::SanftOff));
  ui->chkShowPumpenLeistung->setChecked(Get(b, f::ShowPumpenLeistung) != 0);
  ui->chkLeckUeberwachung->setChecked(IsSet(b, f::LeckUeberwachung));
  ui->chkNoLeckError15s->setChecked(IsSet(b, f::NoLeckError15s));

  ShowEditors();

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

bool Form3::CollectBlock() { return CollectInto(image_, true); }

velta::ControllerImage Form3::WindowBlock() const {
  velta::ControllerImage block = image_;
  CollectInto(block, false);
  return block;
}

bool Form3::CollectInto(velta::ControllerImage& b, bool stopAtBadNumber) const {
  // A reference value that is not a number: stop with a message, or keep the block's value.
  const auto collectReference = [&](const QLineEdit* field, velta::WordField place) {
    const std::optional<int> reference = ParseReference(field);
    if (reference) Set(b, place, *reference);
    if (!reference && stopAtBadNumber) ShowNotANumber(field);
    return reference || !stopAtBadNumber;
  };
  // In address order up to each reference value, which may stop the collection.
  CollectEditors(b, 0, f::RefZistVoll.address);
  Set(b, f::Tankform, ui->cbTankform->currentIndex());
  if (!collectReference(ui->edRefZistVoll, f::RefZistVoll)) return false;

  CollectEditors(b, f::RefZistVoll.address, f::RefZistLeer.address);
  Set(b, f::Auto, ui->chkAuto->isChecked() ? 0 : 1);
  Set(b, f::Drucksensor, ui->cbDrucksensor->currentIndex());
  Set(b, f::Eingang,
      velta::EncodeEingang(ui->cbWasserZcount->currentIndex(),
                           {ui->cbMinInput->currentIndex(), ui->cbMaxInput->currentIndex()}));
  if (!collectReference(ui->edRefZistLeer, f::RefZistLeer)) return false;

  CollectEditors(b, f::RefZistLeer.address, velta::kParameterBlockSize);
  Set(b, f::Variante, ui->cbVariante->currentIndex());
  b.SetByte(f::SanftStart.address,
            velta::EncodeSanftStart(ui->udSanftStart->value(), ui->chkSanftOff->isChecked()));
  Set(b, f::ShowPumpenLeistung, ui->chkShowPumpenLeistung->isChecked() ? 1 : 0);
  Set(b, f::Leck,
      velta::EncodeLeck(ui->udLeckAnzahl->value(), ui->chkNoLeckError15s->isChecked(),
                        ui->chkLeckUeberwachung->isChecked()));
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
