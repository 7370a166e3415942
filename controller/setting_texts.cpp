#include "controller/setting_texts.h"

#include <functional>

#include "controller/conversions.h"
#include "controller/fields.h"

namespace velta {
namespace {

using Text = std::function<std::string(const ControllerImage&)>;

struct Setting {
  const char* name;
  Text text;
};

template <typename F>
Text Number(F f) {
  return [f](const ControllerImage& image) { return std::to_string(Get(image, f)); };
}
template <typename F>
Text Shown(F f, std::string (*format)(int)) {
  return [f, format](const ControllerImage& image) {
    return format(static_cast<int>(Get(image, f)));
  };
}
Text Tenths(ByteField f, const char* unit) {
  return [f, unit](const ControllerImage& image) { return TenthsText(Get(image, f), unit); };
}
Text Days(LongField f) {
  return [f](const ControllerImage& image) { return DaysText(IntervalDays(image, f)); };
}
Text FifthTicks(ByteField f) {
  return [f](const ControllerImage& image) {
    return TenthsText(FifthTicksTenths(Get(image, f)), "s");
  };
}

const std::vector<Setting>& Settings() {
  using namespace field;
  static const std::vector<Setting> settings = {
      {"RetryCount", Shown(RetryCount, RetryCountText)},
      {"ZistLeer", Shown(ZistLeer, PercentText)},
      {"ZistVoll", Shown(ZistVoll, PercentText)},
      {"Tankform", Number(Tankform)},
      {"RefZistVoll", Number(RefZistVoll)},
      {"Auto", Number(Auto)},
      {"Anzeige", Number(Anzeige)},
      {"Drucksensor", Number(Drucksensor)},
      {"Druckendwert", Tenths(Druckendwert, "bar")},
      {"DruckRegel", Tenths(DruckRegel, "bar")},
      {"DruckEin", Tenths(DruckEin, "bar")},
      {"WasseruhrInputs", Number(WasseruhrInputs)},
      {"WasserZcount", Number(WasserZcount)},
      {"LecksensorInputs", Number(LecksensorInputs)},
      {"PumpeAusInputs", Number(PumpeAusInputs)},
      {"RegelT", Shown(RegelT, RegelTText)},
      {"RegelP", Number(RegelP)},
      {"RegelD", Number(RegelD)},
      {"RefZistLeer", Number(RefZistLeer)},
      {"TempOff", Shown(TempOff, TemperatureText)},
      {"TempOn", Shown(TempOn, TemperatureText)},
      {"PumpeMin", Shown(PumpeMin, PercentText)},
      {"Nachlaufzeit", FifthTicks(Nachlaufzeit)},
      {"Laufzeit", Shown(Laufzeit, LaufzeitText)},
      {"Variante", Number(Variante)},
      {"StartDelay", FifthTicks(StartDelay)},
      {"PulsFenster", Shown(PulsFenster, PulsFensterText)},
      {"LaufzeitProzent", Shown(LaufzeitProzent, PercentText)},
      {"KugelhahnLaufzeit", FifthTicks(KugelhahnLaufzeit)},
      {"FilterSpuelZeit", Number(FilterSpuelZeit)},
      {"FilterSpuelIntervall", Days(FilterSpuelIntervall)},
      {"ModulSpuelZeit", Number(ModulSpuelZeit)},
      {"ModulSpuelIntervall", Days(ModulSpuelIntervall)},
      {"SanftStart", Shown(SanftStart, SanftStartText)},
      {"SanftOff", Number(SanftOff)},
      {"ShowPumpenLeistung", Number(ShowPumpenLeistung)},
      {"LeckAnzahl", Number(LeckAnzahl)},
      {"NoLeckError15s", Number(NoLeckError15s)},
      {"LeckUeberwachung", Number(LeckUeberwachung)},
      {"LeckDauer", Number(LeckDauer)},
      {"MaxPower", Shown(MaxPower, MaxPowerText)},
      {"MaxPowerTime", Shown(MaxPowerTime, MaxPowerTimeText)},
      {"RetryIntervallTime", Shown(RetryIntervallTime, RetryIntervalText)},
      {"Urlaub", Number(Urlaub)},
      {"ShowTxRx", Number(ShowTxRx)},
      {"SetupFlusssensor", Number(SetupFlusssensor)},
      {"Regelung", Number(Regelung)},
      {"FlowControl", Number(FlowControl)},
      {"SchwimmerSchalter", Number(SchwimmerSchalter)},
      {"Rueckstau", Number(Rueckstau)},
      {"Power", Number(Power)},
  };
  return settings;
}

}  // namespace

std::vector<SettingText> SettingTexts(const ControllerImage& image) {
  std::vector<SettingText> texts;
  for (const Setting& setting : Settings()) texts.push_back({setting.name, setting.text(image)});
  return texts;
}

std::vector<SettingChange> ChangedSettings(const ControllerImage& before,
                                           const ControllerImage& after) {
  std::vector<SettingChange> changes;
  for (const Setting& setting : Settings()) {
    std::string old = setting.text(before);
    std::string now = setting.text(after);
    if (old != now) changes.push_back({setting.name, std::move(old), std::move(now)});
  }
  return changes;
}

std::vector<int> ChangedParameterAddresses(const ControllerImage& before,
                                           const ControllerImage& after) {
  std::vector<int> addresses;
  for (int address = 0; address < kParameterBlockSize; ++address) {
    if (before.Byte(address) != after.Byte(address)) addresses.push_back(address);
  }
  return addresses;
}

}  // namespace velta
