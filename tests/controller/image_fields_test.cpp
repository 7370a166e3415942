// The controller image's encodings, named fields, packed bytes and the Default block.
#include <gtest/gtest.h>

#include <vector>

#include "controller/block_bits.h"
#include "controller/default_block.h"
#include "controller/fields.h"
#include "controller/setting_fields.h"

namespace velta {
namespace {

namespace f = field;

TEST(ImageEncodings, MultiByteValuesAreBigEndianAndKeepTheirLowBits) {
  ControllerImage image;
  Set(image, f::RefZistVoll, 20000);
  EXPECT_EQ(image.Byte(4), 78);
  EXPECT_EQ(image.Byte(5), 32);
  // A reference typed as more than 65535 keeps its two low bytes.
  Set(image, f::RefZistLeer, 70000);
  EXPECT_EQ(image.Byte(16), 0x11);
  EXPECT_EQ(image.Byte(17), 0x70);
  EXPECT_EQ(Get(image, f::RefZistLeer), 70000 & 0xFFFF);
  Set(image, f::ModulSpuelIntervall, 0x01020304);
  EXPECT_EQ((std::vector<int>{image.Byte(38), image.Byte(39), image.Byte(40), image.Byte(41)}),
            (std::vector<int>{1, 2, 3, 4}));
  // Neighbours stay untouched.
  EXPECT_EQ(image.Byte(37), 0);
  EXPECT_EQ(image.Byte(42), 0);
  image.SetLong(56, 0xFFFFFFFF);
  EXPECT_EQ(Get(image, f::ZisternePulse), 0xFFFFFFFFu);
}

TEST(ImageEncodings, RinseIntervalsInDays) {
  struct Row {
    std::uint32_t ticks;
    int days;
  };
  // Reading adds one tick: 0 ticks is 0 days, a written whole day count reads back unchanged.
  const Row reads[] = {{0, 0},        {0xFFFFFFFF, 20361}, {1476562, 7}, {1476563, 7},
                       {6328125, 30}, {210937, 1},         {210936, 0},  {76992187, 365}};
  ControllerImage image;
  for (const Row& row : reads) {
    Set(image, f::FilterSpuelIntervall, row.ticks);
    EXPECT_EQ(IntervalDays(image, f::FilterSpuelIntervall), row.days) << row.ticks;
  }
  const Row writes[] = {{210937, 1}, {1476562, 7}, {6328125, 30}, {76992187, 365}};
  for (const Row& row : writes) {
    SetIntervalDays(image, f::ModulSpuelIntervall, row.days);
    EXPECT_EQ(Get(image, f::ModulSpuelIntervall), row.ticks) << row.days;
  }
  for (int days = 1; days <= 365; ++days) {
    SetIntervalDays(image, f::FilterSpuelIntervall, days);
    ASSERT_EQ(IntervalDays(image, f::FilterSpuelIntervall), days);
  }
}

TEST(DefaultBlock, EveryFieldHoldsItsDocumentedDefault) {
  ControllerImage image;
  image.SetByte(52, 0xAA);
  image.SetByte(255, 0x55);
  LoadDefaultBlock(image);
  struct Row {
    const char* name;
    long long actual;
    long long expected;
  };
  const Row rows[] = {
      {"RetryCount", Get(image, f::RetryCount), 3},
      {"ZistLeer", Get(image, f::ZistLeer), 3},
      {"ZistVoll", Get(image, f::ZistVoll), 5},
      {"Tankform", Get(image, f::Tankform), 1},
      {"RefZistVoll", Get(image, f::RefZistVoll), 20000},
      {"Auto", Get(image, f::Auto), 1},
      {"Anzeige", Get(image, f::Anzeige), 43},
      {"Drucksensor", Get(image, f::Drucksensor), 1},
      {"Druckendwert", Get(image, f::Druckendwert), 100},
      {"DruckRegel", Get(image, f::DruckRegel), 35},
      {"DruckEin", Get(image, f::DruckEin), 20},
      {"Eingang", Get(image, f::Eingang), 0},
      {"RegelT", Get(image, f::RegelT), 3},
      {"RegelP", Get(image, f::RegelP), 20},
      {"RegelD", Get(image, f::RegelD), 20},
      {"RefZistLeer", Get(image, f::RefZistLeer), 1850},
      {"TempOff", Get(image, f::TempOff), 172},
      {"TempOn", Get(image, f::TempOn), 327},
      {"PumpeMin", Get(image, f::PumpeMin), 30},
      {"Nachlaufzeit", Get(image, f::Nachlaufzeit), 123},
      {"Laufzeit", Get(image, f::Laufzeit), 0},
      {"Variante", Get(image, f::Variante), 0},
      {"StartDelay", Get(image, f::StartDelay), 37},
      {"PulsFenster", Get(image, f::PulsFenster), 10},
      {"LaufzeitProzent", Get(image, f::LaufzeitProzent), 95},
      {"KugelhahnLaufzeit", Get(image, f::KugelhahnLaufzeit), 195},
      {"FilterSpuelZeit", Get(image, f::FilterSpuelZeit), 439},
      {"FilterSpuelIntervall", Get(image, f::FilterSpuelIntervall), 1476563},
      {"ModulSpuelZeit", Get(image, f::ModulSpuelZeit), 439},
      {"ModulSpuelIntervall", Get(image, f::ModulSpuelIntervall), 6328125},
      {"SanftStart", Get(image, f::SanftStart), 0},
      {"SanftOff", Get(image, f::SanftOff), 0},
      {"ShowPumpenLeistung", Get(image, f::ShowPumpenLeistung), 0},
      {"LeckAnzahl", Get(image, f::LeckAnzahl), 10},
      {"NoLeckError15s", Get(image, f::NoLeckError15s), 0},
      {"LeckUeberwachung", Get(image, f::LeckUeberwachung), 0},
      {"LeckDauer", Get(image, f::LeckDauer), 48},
      {"MaxPower", Get(image, f::MaxPower), 99},
      {"MaxPowerTime", Get(image, f::MaxPowerTime), 1465},
      {"RetryIntervallTime", Get(image, f::RetryIntervallTime), 733},
      {"SetupFlags", Get(image, f::SetupFlags), 0x8D},
      {"Urlaub (normal operation)", Get(image, f::Urlaub), 1},
      {"ShowTxRx", Get(image, f::ShowTxRx), 0},
      {"SetupFlusssensor", Get(image, f::SetupFlusssensor), 1},
      {"Regelung", Get(image, f::Regelung), 1},
      {"FlowControl", Get(image, f::FlowControl), 0},
      {"SchwimmerSchalter", Get(image, f::SchwimmerSchalter), 0},
      {"Rueckstau", Get(image, f::Rueckstau), 0},
      {"Power", Get(image, f::Power), 1},
  };
  for (const Row& row : rows) EXPECT_EQ(row.actual, row.expected) << row.name;
  EXPECT_EQ(image.Byte(52), 0xAA) << "bytes beyond the Parameter block are not the Default block's";
  EXPECT_EQ(image.Byte(255), 0x55);
}

TEST(BitFields, WriteOnlyTheirOwnBits) {
  ControllerImage image;
  image.SetByte(44, 0xC0);
  Set(image, f::LeckAnzahl, 63);
  EXPECT_EQ(image.Byte(44), 0xFF);
  Set(image, f::LeckAnzahl, 64);  // does not fit six bits
  EXPECT_EQ(image.Byte(44), 0xC0);
  Set(image, f::NoLeckError15s, 0);
  EXPECT_EQ(image.Byte(44), 0x80);
  image.SetByte(12, 0xFF);
  Set(image, f::WasserZcount, 1);
  EXPECT_EQ(image.Byte(12), 0xF7);
  EXPECT_EQ(Get(image, f::PumpeAusInputs), 3);
}

TEST(PackedBytes, InputFunctionsDecode) {
  struct Row {
    std::uint8_t eingang;
    int min;
    int max;
  };
  const Row rows[] = {
      {0x00, kInputNone, kInputNone},
      {0x01, kInputWasseruhr, kInputNone},
      {0x02, kInputNone, kInputWasseruhr},
      {0x03, kInputNone, kInputNone},      // the same function on both inputs shows on neither
      {0x0C, kInputNone, kInputNone},      // the pulse value is no input function
      {0x41, kInputPumpeAus, kInputNone},  // the later pair wins on Min
      {0x21, kInputWasseruhr, kInputLecksensor},
      {0x30, kInputNone, kInputNone},
      {0x92, kInputLecksensor, kInputPumpeAus},
      {0xFF, kInputNone, kInputNone},
  };
  for (const Row& row : rows) {
    ControllerImage image;
    image.SetByte(f::Eingang.address, row.eingang);
    const InputChoice choice = DecodeInputs(image);
    EXPECT_EQ(choice.min, row.min) << int(row.eingang);
    EXPECT_EQ(choice.max, row.max) << int(row.eingang);
  }
  // Distinct functions survive the round trip; the same function twice does not.
  for (int min = 0; min <= 3; ++min) {
    for (int max = 0; max <= 3; ++max) {
      ControllerImage image;
      StoreInputs(image, {min, max});
      const InputChoice back = DecodeInputs(image);
      const bool same = min == max && min != kInputNone;
      EXPECT_EQ(back.min, same ? kInputNone : min) << min << "/" << max;
      EXPECT_EQ(back.max, same ? kInputNone : max) << min << "/" << max;
    }
  }
}

// Each control stores into its own bits: the other bits of a packed byte stay as they were.
TEST(PackedBytes, EachControlStoresOnlyItsBits) {
  namespace s = setting;
  struct Row {
    const SettingField& control;
    std::uint8_t before;
    int value;
    std::uint8_t after;
  };
  const Row rows[] = {
      {s::MinInput, 0x0C, kInputWasseruhr, 0x0D},   // the pulse value stays
      {s::MaxInput, 0x0D, kInputPumpeAus, 0x8D},
      {s::MinInput, 0x8D, kInputLecksensor, 0x9C},  // Max keeps the pump off
      {s::MaxInput, 0x31, kInputLecksensor, 0x21},  // a pair on both inputs counts for neither
      {s::WasserZcount, 0xF1, 2, 0xF9},
      {s::SanftStart, 0x80, 5, 0x85},
      {s::SanftOff, 0x05, 1, 0x85},
      {s::LeckAnzahl, 0xC0, 10, 0xCA},
      {s::NoLeckError15s, 0x83, 1, 0xC3},
      {s::LeckUeberwachung, 0xFF, 0, 0x7F},
      {s::Urlaub, 0xFF, 1, 0xFE},  // ticked "immer Aus" clears bit 0
      {s::Urlaub, 0x80, 0, 0x81},
      {s::SetupFlusssensor, 0x81, 1, 0x85},
      {s::Rueckstau, 0x0D, 1, 0x4D},
      {s::Power, 0x4D, 0, 0x4D},
      {s::Power, 0x0D, 1, 0x8D},
      {s::Auto, 7, 1, 0},  // ticked Auto is automatic switching
      {s::Auto, 0, 0, 1},
      {s::ShowPumpenLeistung, 0, 1, 1},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    ControllerImage image;
    image.SetByte(row.control.address, row.before);
    row.control.set(image, row.value);
    EXPECT_EQ(int(image.Byte(row.control.address)), int(row.after)) << "row " << i;
    EXPECT_EQ(row.control.get(image), row.value) << "row " << i;
  }
}

TEST(PackedBytes, RegulationPresets) {
  struct Row {
    int p;
    int d;
    int item;
  };
  const Row rows[] = {{20, 25, 0},
                      {40, 50, 1},
                      {60, 100, 2},
                      {20, 20, kUserDefinedPreset},
                      {40, 51, kUserDefinedPreset},
                      {25, 20, kUserDefinedPreset},
                      {0, 0, kUserDefinedPreset}};
  for (const Row& row : rows)
    EXPECT_EQ(PresetIndex(row.p, row.d), row.item) << row.p << "/" << row.d;
}

}  // namespace
}  // namespace velta
