#include "ui/Unit3_controls.h"

#include "controller/setting_fields.h"
#include "ui/Unit3.h"
#include "ui_Unit3.h"

namespace s = velta::setting;
using U = Ui::Form3;

namespace {

constexpr BoundControl Editor(const velta::SettingField& setting, UpDown* U::*stepper,
                              QLineEdit* U::*field, void (Form3::*handler)()) {
  return {&setting, ValueEditorControl{stepper, field}, handler};
}
constexpr BoundControl List(const velta::SettingField& setting, QComboBox* U::*list,
                            void (Form3::*handler)() = nullptr) {
  return {&setting, ListControl{list}, handler};
}
constexpr BoundControl Box(const velta::SettingField& setting, QCheckBox* U::*box,
                           void (Form3::*handler)() = nullptr) {
  return {&setting, BoxControl{box}, handler};
}

// In address order, which also puts a control before the ones its handler moves: the empty level
// before the full level, the pressure sensor before the pressures it fixes for a switch, the run-on
// time before the leak time. In the option byte, regulation comes before the flow sensor it ticks.
const BoundControl kControls[] = {
    Editor(s::RetryCount, &U::udRetryCount, &U::edRetryCount, &Form3::udRetryCountClick),
    Editor(s::ZistLeer, &U::upZistLeer, &U::edZistLeer, &Form3::upZistLeerClick),
    Editor(s::ZistVoll, &U::upZistVoll, &U::edZistVoll, &Form3::upZistVollClick),
    List(s::Tankform, &U::cbTankform),
    {&s::RefZistVoll, ReferenceControl{&U::edRefZistVoll}, nullptr},
    Box(s::Auto, &U::chkAuto),
    Editor(s::Anzeige, &U::udAnzeige, &U::edAnzeige, &Form3::udAnzeigeClick),
    List(s::Drucksensor, &U::cbDrucksensor, &Form3::cbDrucksensorClick),
    Editor(s::Druckendwert, &U::udDruckendwert, &U::edDruckendwert, &Form3::udDruckendwertClick),
    Editor(s::DruckRegel, &U::udDruckRegel, &U::edDruckRegel, &Form3::udDruckRegelClick),
    Editor(s::DruckEin, &U::udDruckEin, &U::edDruckEin, &Form3::udDruckEinClick),
    List(s::MinInput, &U::cbMinInput),
    List(s::MaxInput, &U::cbMaxInput, &Form3::cbMinInputClick),
    List(s::WasserZcount, &U::cbWasserZcount),
    Editor(s::RegelT, &U::udRegelT, &U::edRegelT, &Form3::udRegelTClick),
    // The regulation parts' click handlers write into the block; showing a block runs neither.
    Editor(s::RegelP, &U::udRegelP, &U::edRegelP, nullptr),
    Editor(s::RegelD, &U::udRegelD, &U::edRegelD, nullptr),
    {&s::RefZistLeer, ReferenceControl{&U::edRefZistLeer}, nullptr},
    Editor(s::TempOff, &U::udTempOff, &U::edTempOff, &Form3::udTempOffClick),
    Editor(s::TempOn, &U::udTempOn, &U::edTempOn, &Form3::udTempOnClick),
    Editor(s::PumpeMin, &U::udPumpeMin, &U::edPumpeMin, &Form3::udPumpeMinClick),
    Editor(s::Nachlaufzeit, &U::udNachlaufzeit, &U::edNachlaufzeit, &Form3::udNachlaufzeitClick),
    Editor(s::Laufzeit, &U::udLaufzeit, &U::edLaufzeit, &Form3::udLaufzeitClick),
    List(s::Variante, &U::cbVariante, &Form3::cbVarianteChange),
    Editor(s::StartDelay, &U::udStartDelay, &U::edStartDelay, &Form3::udStartDelayClick),
    Editor(s::PulsFenster, &U::udPulsFenster, &U::edPulsFenster, &Form3::udPulsFensterClick),
    Editor(s::LaufzeitProzent, &U::udLaufzeitProzent, &U::edLaufzeitProzent,
           &Form3::udLaufzeitProzentClick),
    Editor(s::KugelhahnLaufzeit, &U::udKugelhahnLaufzeit, &U::edKugelhahnLaufzeit,
           &Form3::udKugelhahnLaufzeitClick),
    Editor(s::FilterSpuelZeit, &U::udFilterSpuelZeit, &U::edFilterSpuelZeit,
           &Form3::udFilterSpuelZeitClick),
    Editor(s::FilterSpuelIntervall, &U::udFilterSpuelIntervall, &U::edFilterSpuelIntervall,
           &Form3::udFilterSpuelIntervallClick),
    Editor(s::ModulSpuelZeit, &U::udModulSpuelZeit, &U::edModulSpuelZeit,
           &Form3::udModulSpuelZeitClick),
    Editor(s::ModulSpuelIntervall, &U::udModulSpuelIntervall, &U::edModulSpuelIntervall,
           &Form3::udModulSpuelIntervallClick),
    Editor(s::SanftStart, &U::udSanftStart, &U::edSanftStart, &Form3::udSanftStartClick),
    Box(s::SanftOff, &U::chkSanftOff),
    Box(s::ShowPumpenLeistung, &U::chkShowPumpenLeistung),
    Box(s::LeckUeberwachung, &U::chkLeckUeberwachung),
    Box(s::NoLeckError15s, &U::chkNoLeckError15s),
    Editor(s::LeckAnzahl, &U::udLeckAnzahl, &U::edLeckAnzahl, nullptr),
    Editor(s::LeckDauer, &U::udLeckDauer, &U::edLeckDauer, &Form3::udLeckDauerClick),
    Editor(s::MaxPower, &U::udMaxPower, &U::edMaxPower, &Form3::udMaxPowerClick),
    Editor(s::MaxPowerTime, &U::udMaxPowerTime, &U::edMaxPowerTime, &Form3::udMaxPowerTimeClick),
    Editor(s::RetryIntervallTime, &U::udRetryIntervallTime, &U::edRetryIntervallTime,
           &Form3::udRetryIntervallTimeClick),
    Box(s::Urlaub, &U::chkUrlaub),
    Box(s::ShowTxRx, &U::cbShowTxRx),
    Box(s::Regelung, &U::chkRegelung, &Form3::chkRegelungClick),
    Box(s::FlowControl, &U::cbFlowControl),
    Box(s::SchwimmerSchalter, &U::chkSchwimmerSchalter, &Form3::chkSchwimmerSchalterClick),
    Box(s::SetupFlusssensor, &U::chkSetupFlusssensor, &Form3::chkSetupFlusssensorClick),
    List(s::Rueckstau, &U::cbRueckstau),
    List(s::Power, &U::cbPower, &Form3::cbPowerChange),
};

}  // namespace

std::span<const BoundControl> BoundControls() { return kControls; }
