// The Settings window's controls of the Parameter block, described without the window: the label
// each is shown under, how its value is read from the image (and stored, for the value editors)
// and how the control shows it. The window's editor table and the block comparison both use them.
#pragma once

#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "controller/block_bits.h"
#include "controller/conversions.h"
#include "controller/fields.h"

namespace velta {

// The text a control shows for its value ("3.5bar", a list item, "On").
using ValueText = std::string (*)(int value);

struct SettingField {
  const char* group;  // msgid of the group box title; nullptr for a control outside the groups
  const char* label;  // msgid of the control's label or caption; nullptr when the group names it
  int address;        // its first byte
  // The value as the control holds it: a stepper position, a list item, 1 for a ticked box.
  int (*get)(const ControllerImage& image);
  // The value as the image stores it: a change the control's rounding hides (a rinse interval
  // edited in whole days, a time in tenths of a second) still differs here.
  std::uint32_t (*stored)(const ControllerImage& image);
  // Stores the control's value into its bits alone: the other bits of a packed byte stay.
  void (*set)(ControllerImage& image, int value);
  // nullptr: the bare number.
  ValueText text;
  // The range of the control's value (a stepper position, a list item, 0..1 for a box), as the
  // window's editor starts with it; a step above 1 for the editors that move in steps.
  int minimum = 0;
  int maximum = 0;
  int step = 1;
  // The minimum that follows other values of the block (the full level above the empty one);
  // nullptr: `minimum`.
  int (*minimumIn)(const ControllerImage& image) = nullptr;
};

// A control's value range for the block `image`.
struct SettingRange {
  int minimum;
  int maximum;
};
SettingRange RangeIn(const SettingField& field, const ControllerImage& image);

// The dependent minimums, as the window moves its editors when the values they follow change.
int ZistVollMinimum(int zistLeer);
int PumpeMinMinimum(bool flowSensor);

// "Pump – On": the group and the label, each looked up in the catalogue.
std::string SettingLabel(const SettingField& field);
// The control's own label, as it reads inside its group ("On"); the group's title when the group
// names the control.
std::string SettingOwnLabel(const SettingField& field);
// The value in the image as the control shows it.
std::string SettingText(const SettingField& field, const ControllerImage& image);

// A list's item (looked up), or the bare number for a value the list does not hold.
std::string ListItemText(std::span<const char* const> items, int item);
// "On" or "Off" for a check box.
std::string BoxText(int ticked);

// --- Kinds of controls ---

// The field's stored value, as every kind of control below reports it.
template <auto kField>
constexpr std::uint32_t (*StoredValue())(const ControllerImage&) {
  return
      [](const ControllerImage& image) { return static_cast<std::uint32_t>(Get(image, kField)); };
}

// A value editor of its own field (a byte, a word or bits of a packed byte).
template <auto kField>
constexpr SettingField Editor(const char* group, const char* label, ValueText text, int minimum,
                              int maximum, int step = 1) {
  return {group,
          label,
          kField.address,
          [](const ControllerImage& image) { return static_cast<int>(Get(image, kField)); },
          StoredValue<kField>(),
          [](ControllerImage& image, int position) { Set(image, kField, position); },
          text,
          minimum,
          maximum,
          step};
}

constexpr SettingField WithMinimumIn(SettingField field, int (*minimumIn)(const ControllerImage&)) {
  field.minimumIn = minimumIn;
  return field;
}

// A rinse interval, stored in Rinse ticks and edited in days.
template <LongField kField>
constexpr SettingField DaysEditor(const char* group, const char* label) {
  return {group,
          label,
          kField.address,
          [](const ControllerImage& image) { return IntervalDays(image, kField); },
          StoredValue<kField>(),
          [](ControllerImage& image, int days) { SetIntervalDays(image, kField, days); },
          DaysText,
          1,
          365};
}

template <const auto& kItems>
std::string ItemText(int item) {
  return ListItemText(kItems, item);
}

// A drop-down list whose item index is the field's value.
template <auto kField, const auto& kItems>
constexpr SettingField List(const char* group, const char* label) {
  return {group,
          label,
          kField.address,
          [](const ControllerImage& image) { return static_cast<int>(Get(image, kField)); },
          StoredValue<kField>(),
          [](ControllerImage& image, int item) { Set(image, kField, item); },
          ItemText<kItems>,
          0,
          static_cast<int>(std::size(kItems)) - 1};
}

// A check box, ticked when the field is not 0 (or, inverted, when it is 0).
template <auto kField, bool kInverted = false>
constexpr SettingField Box(const char* group, const char* label) {
  return {group,
          label,
          kField.address,
          [](const ControllerImage& image) {
            return static_cast<int>((Get(image, kField) != 0) != kInverted);
          },
          StoredValue<kField>(),
          [](ControllerImage& image, int ticked) { Set(image, kField, (ticked != 0) != kInverted); },
          BoxText,
          0,
          1};
}

// --- The items of the window's lists, as msgids ---

inline constexpr const char* kTankformItems[] = {"Zylinder stehend", "Zylinder liegend",
                                                 "Kugeltank", "Eigene Tankform"};
// "Eigene Tankform": the Tank table window's table.
inline constexpr int kCustomTankform = 3;
inline constexpr const char* kDrucksensorItems[] = {"0,5-4,5V", "0-5V/0-10V", "4...20mA",
                                                    "Schalter NO (zu bei Druck)",
                                                    "Schalter NC (auf bei Druck)"};
inline constexpr const char* kInputItems[] = {"keine", "Wasseruhr", "Lecksensor", "Pumpe Aus"};
inline constexpr const char* kWasserZcountItems[] = {"1L", "10L", "100L", "1m³"};
inline constexpr const char* kVarianteItems[] = {"Keine Funktion", "Umschaltung Nachspeisung",
                                                 "Filterspülung", "Bei Fehler Ein"};
inline constexpr const char* kRueckstauItems[] = {"Rückstau (->Nachspeisung Ein)",
                                                  "Überlauf (->Pumpe Aus)"};
inline constexpr const char* kPowerItems[] = {"PWM", "Phase"};
// The counter choice of the "Betriebsstunden/Zähler" group, in the order of `Counter`.
inline constexpr const char* kCounterItems[] = {"Pumpe[h]", "Pumpe[Starts]", "Stadtwasser [Pulse]",
                                                "Zisterne [Pulse]"};

// One of the two input lists (Min, Max). They share the byte `Eingang`; each stands for the
// function it shows.
template <bool kMax>
int InputFunction(const ControllerImage& image) {
  const InputChoice choice = DecodeInputs(image);
  return kMax ? choice.max : choice.min;
}
template <bool kMax>
void SetInputFunction(ControllerImage& image, int function) {
  InputChoice choice = DecodeInputs(image);
  (kMax ? choice.max : choice.min) = function;
  StoreInputs(image, choice);
}
template <bool kMax>
constexpr SettingField InputList(const char* group, const char* label) {
  return {group,
          label,
          field::Eingang.address,
          InputFunction<kMax>,
          [](const ControllerImage& image) {
            return static_cast<std::uint32_t>(InputFunction<kMax>(image));
          },
          SetInputFunction<kMax>,
          ItemText<kInputItems>,
          0,
          static_cast<int>(std::size(kInputItems)) - 1};
}

// --- The controls, named after the fields they show ---

namespace setting {

namespace f = field;

inline constexpr const char* kDryRun = "Trockenlauf (Er.C)";
inline constexpr const char* kCistern = "Zisterne";
inline constexpr const char* kReferences = "Zisterne Referenzwerte";
inline constexpr const char* kDisplay = "Anzeige";
inline constexpr const char* kPressureSensor = "Drucksensor";
inline constexpr const char* kPump = "Pumpe";
inline constexpr const char* kInputs = "Alternative Belegung der Eingänge";
inline constexpr const char* kWaterMeter = "Wasseruhr";
inline constexpr const char* kRegulation = "Regelung";
inline constexpr const char* kTemperature = "Temperaturüberwachung (Er.t)";
inline constexpr const char* kRunTime = "Laufzeitüberwachung / Pumpe (Er.h)";
inline constexpr const char* kValve = "Ausgang Ventil";
inline constexpr const char* kSpecial = "Spezielle Einstellungen";
inline constexpr const char* kModuleRinse = "Modulspülung";
inline constexpr const char* kLeak = "Lecküberwachung (Er.L)";
inline constexpr const char* kPumpOffCheck = "Abschaltüberwachung der Pumpe (Er.1)";
inline constexpr const char* kOperatingMode = "Betriebsart";
inline constexpr const char* kPumpOff = "Pumpe Aus";

// The group boxes as the Settings window shows them, column by column from the top; nullptr is
// the list that sits between two boxes without one of its own.
inline constexpr const char* kGroupsInWindowOrder[] = {
    kPump,       kPressureSensor, nullptr,     kCistern,        kReferences, kOperatingMode,
    kInputs,     kWaterMeter,     kValve,      kModuleRinse,    kRunTime,    kDisplay,
    kPumpOff,    kRegulation,     kDryRun,     kTemperature,    kLeak,       kSpecial,
    kPumpOffCheck};

inline constexpr SettingField RetryCount =
    Editor<f::RetryCount>(kDryRun, "Anzahl", RetryCountText, 0, 10);
inline constexpr SettingField ZistLeer =
    Editor<f::ZistLeer>(kCistern, "Leer bei", PercentText, 1, 100);
inline constexpr SettingField ZistVoll =
    WithMinimumIn(Editor<f::ZistVoll>(kCistern, "Voll bei", PercentText, 3, 100),
                  [](const ControllerImage& image) {
                    return ZistVollMinimum(static_cast<int>(Get(image, f::ZistLeer)));
                  });
inline constexpr SettingField Tankform = List<f::Tankform, kTankformItems>(kCistern, "Tankform");
inline constexpr SettingField RefZistVoll =
    Editor<f::RefZistVoll>(kReferences, "Wert für 100%", nullptr, 0, 65535);
inline constexpr SettingField Auto = Box<f::Auto, true>(kOperatingMode, "Auto");
inline constexpr SettingField Anzeige =
    Editor<f::Anzeige>(kDisplay, "Zeit", FifthTicksText, 7, 100);
inline constexpr SettingField Drucksensor =
    List<f::Drucksensor, kDrucksensorItems>(kPressureSensor, nullptr);
// The sensor's full-scale value has no label of its own beside the sensor list.
inline constexpr SettingField Druckendwert =
    Editor<f::Druckendwert>(kPressureSensor, "full scale", PressureText, 0, 100);
// Shown as "Abschaltwert" while regulation is off.
inline constexpr SettingField DruckRegel =
    Editor<f::DruckRegel>(kPump, "Regelwert", PressureText, 0, 100);
inline constexpr SettingField DruckEin = Editor<f::DruckEin>(kPump, "Ein", PressureText, 0, 100);
inline constexpr SettingField MinInput = InputList<false>(kInputs, "Min");
inline constexpr SettingField MaxInput = InputList<true>(kInputs, "Max");
inline constexpr SettingField WasserZcount =
    List<f::WasserZcount, kWasserZcountItems>(kWaterMeter, nullptr);
inline constexpr SettingField RegelT =
    Editor<f::RegelT>(kRegulation, "Regelzeit", RegelTText, 0, 255);
inline constexpr SettingField RegelP =
    Editor<f::RegelP>(kRegulation, "Regel Proportionalanteil", nullptr, 0, 255);
inline constexpr SettingField RegelD =
    Editor<f::RegelD>(kRegulation, "Regel Differentialanteil", nullptr, 0, 255);
inline constexpr SettingField RefZistLeer =
    Editor<f::RefZistLeer>(kReferences, "Leerwert", nullptr, 0, 65535);
inline constexpr SettingField TempOff =
    Editor<f::TempOff>(kTemperature, "Abschalttemp.", TemperatureText, 0, 1023);
inline constexpr SettingField TempOn =
    Editor<f::TempOn>(kTemperature, "Einschalttemp.", TemperatureText, 0, 1023);
inline constexpr SettingField PumpeMin =
    WithMinimumIn(Editor<f::PumpeMin>(kPump, "Minimale", PercentText, 60, 100),
                  [](const ControllerImage& image) {
                    return PumpeMinMinimum(Get(image, f::SetupFlusssensor) != 0);
                  });
inline constexpr SettingField Nachlaufzeit =
    Editor<f::Nachlaufzeit>(kPump, "Nachlaufzeit", FifthTicksText, 0, 184);
inline constexpr SettingField Laufzeit = Editor<f::Laufzeit>(kRunTime, "Zeit", LaufzeitText, 0, 88);
inline constexpr SettingField Variante = List<f::Variante, kVarianteItems>(kValve, nullptr);
inline constexpr SettingField StartDelay =
    Editor<f::StartDelay>(kSpecial, "100%Pumpenstartzeit", FifthTicksText, 0, 184);
// The pulse window sits beside the power stage list and is shown for PWM only.
inline constexpr SettingField PulsFenster =
    Editor<f::PulsFenster>(kRegulation, "PWM", PulsFensterText, 5, 20);
inline constexpr SettingField LaufzeitProzent =
    Editor<f::LaufzeitProzent>(kRunTime, "Fehler < Einschaltdauer ", PercentText, 1, 100);
inline constexpr SettingField KugelhahnLaufzeit =
    Editor<f::KugelhahnLaufzeit>(kSpecial, "Laufzeit Kugelhahn", TicksText, 0, 255);
inline constexpr SettingField FilterSpuelZeit =
    Editor<f::FilterSpuelZeit>(kValve, "Spülzeit", TicksText, 5, 1000);
inline constexpr SettingField FilterSpuelIntervall =
    DaysEditor<f::FilterSpuelIntervall>(kValve, "Intervall");
inline constexpr SettingField ModulSpuelZeit =
    Editor<f::ModulSpuelZeit>(kModuleRinse, "Spülzeit", TicksText, 5, 1000);
inline constexpr SettingField ModulSpuelIntervall =
    DaysEditor<f::ModulSpuelIntervall>(kModuleRinse, "Intervall");
inline constexpr SettingField SanftStart =
    Editor<f::SanftStart>(kSpecial, "Sanftstart", SanftStartText, 0, 63);
inline constexpr SettingField SanftOff = Box<f::SanftOff>(kSpecial, "Rampe/Pumpe Aus");
inline constexpr SettingField ShowPumpenLeistung =
    Box<f::ShowPumpenLeistung>(kDisplay, "Pumpenleistung");
inline constexpr SettingField LeckAnzahl = Editor<f::LeckAnzahl>(kLeak, "Anzahl", nullptr, 3, 63);
inline constexpr SettingField NoLeckError15s = Box<f::NoLeckError15s>(kLeak, "Dynamisch");
inline constexpr SettingField LeckUeberwachung = Box<f::LeckUeberwachung>(kLeak, "Lecküberwachung");
// The leak time stays above the pump's run-on time.
inline constexpr SettingField LeckDauer =
    WithMinimumIn(Editor<f::LeckDauer>(kLeak, "Zeit", TicksText, 1, 255),
                  [](const ControllerImage& image) {
                    return LeakTimeFromRunOn(static_cast<int>(Get(image, f::Nachlaufzeit)),
                                             Get(image, f::SetupFlusssensor) != 0)
                        .minimum;
                  });
inline constexpr SettingField MaxPower =
    Editor<f::MaxPower>(kPumpOffCheck, "Pumpenleistung", MaxPowerText, 50, 100);
inline constexpr SettingField MaxPowerTime =
    Editor<f::MaxPowerTime>(kPumpOffCheck, "Zeit", MaxPowerTimeText, 735, 32767, 147);
inline constexpr SettingField RetryIntervallTime =
    Editor<f::RetryIntervallTime>(kDryRun, "Er.P", RetryIntervalText, 13, 8788, 2);
// "immer Aus" is ticked while the stored bit is clear.
inline constexpr SettingField Urlaub = Box<f::Urlaub, true>(kPumpOff, "immer Aus");
inline constexpr SettingField ShowTxRx = Box<f::ShowTxRx>(kDisplay, "Kommunikation");
inline constexpr SettingField SetupFlusssensor =
    Box<f::SetupFlusssensor>(kSpecial, "System mit Flusssensor");
inline constexpr SettingField Regelung = Box<f::Regelung>(kRegulation, "Mit Regelung");
inline constexpr SettingField FlowControl = Box<f::FlowControl>(kWaterMeter, "Kontrolle");
inline constexpr SettingField SchwimmerSchalter =
    Box<f::SchwimmerSchalter>(kCistern, "Schwimmerschalter");
// The list below the pressure sensor has no label; it chooses what a full cistern does.
inline constexpr SettingField Rueckstau =
    List<f::Rueckstau, kRueckstauItems>(nullptr, "Full cistern");
inline constexpr SettingField Power = List<f::Power, kPowerItems>(kRegulation, "Endstufe");

}  // namespace setting

// Every control of the Parameter block, in address order (the bits of a byte from bit 0 up).
std::span<const SettingField* const> SettingFields();

// The same controls in the Settings window's groups, the groups in the window's order and each
// group's controls in address order; what every listing of the settings shows.
std::vector<const SettingField*> SettingFieldsByGroup();

// The heading a control is listed under: its group's title, or its own label for the list that
// sits between two boxes, so it is not filed under the box above it.
std::string SettingHeading(const SettingField& field);

}  // namespace velta
