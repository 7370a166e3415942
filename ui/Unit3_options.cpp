// Handlers that keep the Settings window consistent with the chosen hardware and mode:
// regulation presets, regulation on/off, flow sensor, valve output, power stage, pressure sensor,
// float switch, input functions, the view levels and the small window handlers.
#include <QComboBox>
#include <QString>
#include <algorithm>

#include "controller/block_bits.h"
#include "controller/fields.h"
#include "controller/setting_fields.h"
#include "i18n/lookup.h"
#include "link/admin_flags.h"
#include "ui/Unit3.h"
#include "ui/desktop.h"
#include "ui/program_identity.h"
#include "ui/qt_text.h"
#include "ui/text_fit.h"
#include "ui/value_editor.h"
#include "ui_Unit3.h"

using velta::ToQString;

namespace {

constexpr int kFilterRinse = 2;
constexpr int kFirstPressureSwitch = 3;
constexpr int kNormalMask = 0;
constexpr int kExpertMask = 127;
constexpr int kUnlockedExpertMask = 255;

void SetVisible(std::initializer_list<QWidget*> widgets, bool visible) {
  for (QWidget* w : widgets) w->setVisible(visible);
}

}  // namespace

QString Form3::BlueLedCaption() const {
  if (FlowSensorTicked()) return ToQString(_("Fluss"));
  if (ui->cbVariante->currentIndex() == kFilterRinse) return ToQString(_("Filter"));
  return " ";
}

void Form3::cbRegelungsartChange() {
  const int item = ui->cbRegelungsart->currentIndex();
  if (item >= 0 && item < velta::kPresetCount) {
    velta::Set(image_, velta::field::RegelP, velta::kRegulationPresets[item].p);
    velta::Set(image_, velta::field::RegelD, velta::kRegulationPresets[item].d);
  } else {
    ui->cbRegelungsart->setCurrentIndex(velta::kPresetCount - 1);
  }
  // The whole window comes back from the block: edits not yet collected are replaced.
  ShowBlock();
}

void Form3::chkRegelungClick() {
  const bool on = ui->chkRegelung->isChecked();
  SetVisible({ui->lblMinimale, ui->lblPumpenleistung, ui->edPumpeMin, ui->udPumpeMin, ui->gbReg,
              ui->lblEndstufe, ui->lblRegelzeit, ui->lblRegelP, ui->lblRegelD, ui->cbPower,
              ui->edRegelT, ui->udRegelT, ui->edRegelP, ui->udRegelP, ui->edRegelD, ui->udRegelD},
             on);
  ui->lblDruck2->setText(ToQString(on ? _("Regelwert") : _("Abschaltwert")));
  // Without regulation the controller needs the flow sensor to see the pump's demand.
  ui->chkSetupFlusssensor->setEnabled(on);
  if (!on) ui->chkSetupFlusssensor->setChecked(true);
  chkSetupFlusssensorClick();
}

void Form3::chkSetupFlusssensorClick() {
  const bool flow = FlowSensorTicked();
  SetVisible({ui->lblEr1, ui->lblMaxPower, ui->edMaxPower, ui->udMaxPower, ui->lblMaxPowerTime,
              ui->edMaxPowerTime, ui->udMaxPowerTime},
             ui->chkRegelung->isChecked() && !flow);
  ui->udPumpeMin->setMinimum(velta::PumpeMinMinimum(flow));
  udPumpeMinClick();
  emit FlowSensorChanged(flow);
  emit BlueLedCaptionChanged(BlueLedCaption());
}

void Form3::cbVarianteChange() {
  SetVisible({ui->lblFilterSpuelIntervall, ui->edFilterSpuelIntervall, ui->udFilterSpuelIntervall,
              ui->lblFilterSpuelZeit, ui->edFilterSpuelZeit, ui->udFilterSpuelZeit},
             ui->cbVariante->currentIndex() == kFilterRinse);
  emit BlueLedCaptionChanged(BlueLedCaption());
}

void Form3::cbPowerChange() {
  SetVisible({ui->edPulsFenster, ui->udPulsFenster}, ui->cbPower->currentIndex() == 0);
}

void Form3::cbDrucksensorClick() {
  const bool pressureSwitch = ui->cbDrucksensor->currentIndex() >= kFirstPressureSwitch;
  if (pressureSwitch) {
    // A switch only knows on and off: no regulation, fixed pressures.
    ui->chkRegelung->setChecked(false);
    chkRegelungClick();
    ui->udDruckEin->setValue(15);
    udDruckEinClick();
    ui->udDruckRegel->setValue(25);
    udDruckRegelClick();
    ui->udDruckendwert->setValue(100);
    udDruckendwertClick();
  }
  SetVisible({ui->lblDruckEin, ui->lblDruck2, ui->edDruckEin, ui->udDruckEin, ui->edDruckRegel,
              ui->udDruckRegel, ui->edDruckendwert, ui->udDruckendwert, ui->chkRegelung},
             !pressureSwitch);
  // The list takes the room of the hidden editors, so a switch's long name can be read; either
  // width grows where the font needs more for the names it shows.
  QComboBox& list = *ui->cbDrucksensor;
  int needed = 0;
  for (int item = pressureSwitch ? kFirstPressureSwitch : 0;
       item < (pressureSwitch ? list.count() : kFirstPressureSwitch); ++item)
    needed = std::max(needed, velta::ListWidthFor(list, list.itemText(item)));
  if (pressureSwitch) {
    list.setMinimumWidth(std::max(201, needed));
    list.setMaximumWidth(QWIDGETSIZE_MAX);
  } else {
    list.setFixedWidth(std::max(105, needed));
  }
}

void Form3::chkSchwimmerSchalterClick() {
  SetVisible({ui->lblZistLeer, ui->edZistLeer, ui->upZistLeer, ui->lblZistVoll, ui->edZistVoll,
              ui->upZistVoll},
             !ui->chkSchwimmerSchalter->isChecked());
}

void Form3::cbMinInputClick() {
  ui->gbWasseruhr->setVisible(ui->cbMinInput->currentIndex() == velta::kInputWasseruhr ||
                              ui->cbMaxInput->currentIndex() == velta::kInputWasseruhr);
}

int Form3::ViewItem() const { return ui->rbExperte->isChecked() ? 1 : 0; }

void Form3::SetViewItem(int item) { (item == 1 ? ui->rbExperte : ui->rbNormal)->setChecked(true); }

void Form3::rgAnsichtClick() {
  // A click on the view already shown asks nothing and changes nothing.
  if (ViewItem() == shownView_) return;
  bool expert = ViewItem() == 1;
  int mask = powerStageUnlocked_ ? kUnlockedExpertMask : kExpertMask;
  if (expert && !expertConsent_) {
    // Consent given here counts for this switch only.
    expert = velta::CurrentDesktop().AskYesNo(
        "Info",
        ToQString(_(
            "ACHTUNG:\nSchäden die durch falsche Einstellungen im Expert-Modus entstehen, werden "
            "vom Hersteller nicht übernommen!\n\nIch habe den Hinweis gelesen und akzeptiert!\n")));
    mask = kExpertMask;
  }
  SetViewItem(expert ? 1 : 0);
  shownView_ = ViewItem();
  ui->cbBackup->setVisible(expert);
  ApplyGroupMask(expert ? mask : kNormalMask);
}

void Form3::FormShow() {
  if ((connection_().admin & velta::kAdminExpertView) == 0) return;
  expertConsent_ = true;
  shownView_ = kNoView;
  SetViewItem(1);
  ui->cbBackup->setVisible(true);
  rgAnsichtClick();
}

void Form3::FormClose() { emit CloseTankTable(); }

void Form3::cbBackupClick() {
  for (QWidget* group : {static_cast<QWidget*>(ui->gbDatei), static_cast<QWidget*>(ui->gbVEL)}) {
    QPalette palette;  // the window's normal colours
    if (ui->cbBackup->isChecked()) {
      // Dark captions on the yellow, also under a dark palette.
      palette.setColor(QPalette::Window, Qt::yellow);
      palette.setColor(QPalette::WindowText, Qt::black);
    }
    group->setPalette(palette);
  }
}

void Form3::bbEditTFClick() { emit ShowTankTable(); }

void Form3::Image1Click() { velta::CurrentDesktop().OpenUrl(velta::kMakerWebAddress); }
