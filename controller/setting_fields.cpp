#include "controller/setting_fields.h"

#include <algorithm>
#include <string_view>

#include "i18n/lookup.h"

namespace velta {
namespace {

// The label's trailing blank ("Fehler < Einschaltdauer ") only spaces it from its editor.
std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

constexpr const SettingField* kFields[] = {
    &setting::RetryCount,
    &setting::ZistLeer,
    &setting::ZistVoll,
    &setting::Tankform,
    &setting::RefZistVoll,
    &setting::Auto,
    &setting::Anzeige,
    &setting::Drucksensor,
    &setting::Druckendwert,
    &setting::DruckRegel,
    &setting::DruckEin,
    &setting::MinInput,
    &setting::MaxInput,
    &setting::WasserZcount,
    &setting::RegelT,
    &setting::RegelP,
    &setting::RegelD,
    &setting::RefZistLeer,
    &setting::TempOff,
    &setting::TempOn,
    &setting::PumpeMin,
    &setting::Nachlaufzeit,
    &setting::Laufzeit,
    &setting::Variante,
    &setting::StartDelay,
    &setting::PulsFenster,
    &setting::LaufzeitProzent,
    &setting::KugelhahnLaufzeit,
    &setting::FilterSpuelZeit,
    &setting::FilterSpuelIntervall,
    &setting::ModulSpuelZeit,
    &setting::ModulSpuelIntervall,
    &setting::SanftStart,
    &setting::SanftOff,
    &setting::ShowPumpenLeistung,
    &setting::LeckAnzahl,
    &setting::NoLeckError15s,
    &setting::LeckUeberwachung,
    &setting::LeckDauer,
    &setting::MaxPower,
    &setting::MaxPowerTime,
    &setting::RetryIntervallTime,
    &setting::Urlaub,
    &setting::ShowTxRx,
    &setting::SetupFlusssensor,
    &setting::Regelung,
    &setting::FlowControl,
    &setting::SchwimmerSchalter,
    &setting::Rueckstau,
    &setting::Power,
};

}  // namespace

std::vector<const SettingField*> SettingFieldsByGroup() {
  // Groups the window order does not know go last, so no control is left out.
  const auto position = [](const char* group) {
    const auto same = [group](const char* other) {
      return group == nullptr ? other == nullptr
                              : other != nullptr && std::string_view(group) == other;
    };
    return std::find_if(std::begin(setting::kGroupsInWindowOrder),
                        std::end(setting::kGroupsInWindowOrder), same) -
           std::begin(setting::kGroupsInWindowOrder);
  };
  std::vector<const SettingField*> fields(SettingFields().begin(), SettingFields().end());
  std::stable_sort(fields.begin(), fields.end(),
                   [&](const SettingField* a, const SettingField* b) {
                     return position(a->group) < position(b->group);
                   });
  return fields;
}

std::string SettingHeading(const SettingField& field) {
  return field.group != nullptr ? _(field.group) : SettingOwnLabel(field);
}

std::string SettingLabel(const SettingField& field) {
  if (field.group == nullptr || field.label == nullptr) return SettingOwnLabel(field);
  return _(field.group) + " – " + SettingOwnLabel(field);
}

std::string SettingOwnLabel(const SettingField& field) {
  return field.label == nullptr ? _(field.group) : Trimmed(_(field.label));
}

std::string SettingText(const SettingField& field, const ControllerImage& image) {
  const int value = field.get(image);
  return field.text != nullptr ? field.text(value) : std::to_string(value);
}

std::string ListItemText(std::span<const char* const> items, int item) {
  if (item < 0 || static_cast<std::size_t>(item) >= items.size()) return std::to_string(item);
  return _(items[static_cast<std::size_t>(item)]);
}

std::string BoxText(int ticked) { return ticked != 0 ? _("Ein") : _("Aus"); }

std::span<const SettingField* const> SettingFields() { return kFields; }

SettingRange RangeIn(const SettingField& field, const ControllerImage& image) {
  return {field.minimumIn != nullptr ? field.minimumIn(image) : field.minimum, field.maximum};
}

// The switch-back level stays at least two points above the empty level.
int ZistVollMinimum(int zistLeer) { return zistLeer + 2; }

// The smallest pump power under regulation goes lower with a flow sensor.
int PumpeMinMinimum(bool flowSensor) { return flowSensor ? 35 : 60; }

}  // namespace velta
