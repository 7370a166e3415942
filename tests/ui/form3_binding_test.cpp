// The Settings window's binding: what a block shows, what the editors collect, the registry
// cache and the OK/Abbruch life cycle.
#include <QPushButton>
#include <QRadioButton>
#include <set>

#include "controller/default_block.h"
#include "tests/ui/form3_fixture.h"

namespace velta::test {
namespace {

using Form3Binding = Form3Test;

TEST_F(Form3Binding, EmptyStoreShowsTheDefaultBlock) {
  Open();
  struct Row {
    const char* field;
    const char* text;
  };
  const Row rows[] = {
      {"edRetryCount", "3x"},
      {"edZistLeer", "3%"},
      {"edZistVoll", "5%"},
      {"edRefZistVoll", "20000"},
      {"edAnzeige", "3.5s"},
      {"edDruckendwert", "10.0bar"},
      {"edDruckRegel", "3.5bar"},
      {"edDruckEin", "2.0bar"},
      {"edRegelT", "327ms (3)"},
      {"edRegelP", "20"},
      {"edRegelD", "20"},
      {"edRefZistLeer", "1850"},
      {"edTempOff", "~87°C (172)"},
      {"edTempOn", "~62°C (327)"},
      {"edNachlaufzeit", "10.0s"},
      {"edLaufzeit", "Off"},
      {"edStartDelay", "3.0s"},
      {"edPulsFenster", "100ms"},
      {"edKugelhahnLaufzeit", "79.8s"},
      {"edFilterSpuelZeit", "179.8s"},
      {"edFilterSpuelIntervall", "7days"},
      {"edModulSpuelZeit", "179.8s"},
      {"edModulSpuelIntervall", "30days"},
      {"edSanftStart", "Off"},
      {"edLeckAnzahl", "10"},
      {"edLeckDauer", "19.6s"},
      {"edMaxPower", ">=99%"},
      {"edMaxPowerTime", "10 Minutes"},
      {"edRetryIntervallTime", "5Min 0Sek"},
  };
  for (const Row& row : rows) EXPECT_EQ(Text(row.field), row.text) << row.field;
  EXPECT_EQ(Item("cbTankform"), "Horizontal cylinder");
  EXPECT_EQ(Item("cbDrucksensor"), "0-5V/0-10V");
  EXPECT_EQ(Item("cbVariante"), "No function");
  EXPECT_EQ(Item("cbPower"), "Phase");
  EXPECT_FALSE(Ticked("chkAuto"));  // Auto = 1 is manual switching
  EXPECT_TRUE(Ticked("chkRegelung"));
  EXPECT_TRUE(Ticked("chkSetupFlusssensor"));
  EXPECT_FALSE(Ticked("chkUrlaub"));
  EXPECT_FALSE(Ticked("chkLeckUeberwachung"));
  // RegelP = RegelD = 20 is none of the three presets.
  EXPECT_EQ(Item("cbRegelungsart"), "User-defined parameters");

  // PumpeMin 30 lies below the editor's range: the editor shows it, says so, and OK stores it.
  EXPECT_EQ(Text("edPumpeMin"), "30%");
  EXPECT_EQ(Control<UpDown>("udPumpeMin")->rangeNote(), "stored value, outside 35..100");
  Control<QPushButton>("bbOK")->click();
  EXPECT_EQ(Stored("22").toInt(), 30);
}

TEST_F(Form3Binding, ShowThenCollectChangesNothing) {
  Open();
  const ControllerImage before = form3->Image();
  ASSERT_TRUE(std::equal(kDefaultBlock.begin(), kDefaultBlock.end(), before.bytes.begin()));
  ASSERT_TRUE(form3->CollectBlock());
  EXPECT_EQ(form3->Image().bytes, before.bytes);
}

TEST_F(Form3Binding, EveryFieldTravelsBackUnchanged) {
  Open();
  // Every field at a value of its own within its editor's range, bit fields mixed.
  const std::vector<int> block = {7,    20,   40,   2,    0x12, 0x34, 0,    50,   2,    60,   45,
                                  33,   0x9C, 77,   60,   100,  0x07, 0x08, 0x02, 0x58, 0x03, 0x20,
                                  70,   50,   30,   2,    100,  15,   80,   222,  0x02, 0x00, 0x00,
                                  0x2D, 0x0F, 0xA5, 0x03, 0xE8, 0x01, 0x41, 0xDD, 0x76, 0xA8, 1,
                                  0xE1, 200,  75,   0x08, 0x9D, 0x03, 0xE9, 0xFA};
  ASSERT_EQ(block.size(), std::size_t{kParameterBlockSize});
  std::vector<std::pair<int, int>> bytes;
  for (int a = 0; a < kParameterBlockSize; ++a) bytes.emplace_back(a, block[a]);
  bytes.emplace_back(60, 0x5A);  // beyond the block: never collected
  ShowBlock(bytes);
  EXPECT_EQ(Item("cbMinInput"), "Leakage sensor");
  EXPECT_EQ(Item("cbMaxInput"), "Pump off");
  EXPECT_EQ(Text("edFilterSpuelIntervall"), "14days");
  EXPECT_EQ(Text("edModulSpuelIntervall"), "100days");
  EXPECT_TRUE(Ticked("chkAuto"));
  EXPECT_TRUE(Ticked("chkSchwimmerSchalter"));
  EXPECT_FALSE(Shown("edZistLeer"));
  ASSERT_TRUE(form3->CollectBlock());
  for (int a = 0; a < kParameterBlockSize; ++a)
    EXPECT_EQ(form3->Image().Byte(a), block[a]) << "address " << a;
  EXPECT_EQ(form3->Image().Byte(60), 0x5A);
}

TEST_F(Form3Binding, PackedBytesShowAndCollect) {
  OpenExpert();
  struct Row {
    std::vector<std::pair<int, int>> shown;
    const char* minInput;
    const char* maxInput;
    bool waterMeterGroup;
  };
  const Row rows[] = {
      {{{12, 0x03}}, "none", "none", false},      // water meter on both: on neither
      {{{12, 0x41}}, "Pump off", "none", false},  // the later pair wins
      {{{12, 0x0E}}, "none", "Water meter", true},
      {{{12, 0x30}}, "none", "none", false},
  };
  for (const Row& row : rows) {
    ShowBlock(row.shown);
    EXPECT_EQ(Item("cbMinInput"), row.minInput) << row.shown[0].second;
    EXPECT_EQ(Item("cbMaxInput"), row.maxInput) << row.shown[0].second;
    EXPECT_EQ(Shown("gbWasseruhr"), row.waterMeterGroup) << row.shown[0].second;
  }

  // Auto = 7 is manual; SetupFlags bit 0 clear ticks "immer Aus"; bit 7 clear shows PWM with its
  // pulse editor, yet the collected block has bit 7 set. Untouched boxes keep their bytes.
  ShowBlock({{6, 7}, {51, 0x0C}, {42, 0x85}, {44, 0xC5}, {43, 9}});
  EXPECT_FALSE(Ticked("chkAuto"));
  EXPECT_TRUE(Ticked("chkUrlaub"));
  EXPECT_EQ(Item("cbPower"), "PWM");
  EXPECT_TRUE(Shown("edPulsFenster"));
  EXPECT_TRUE(Shown("udPulsFenster"));
  EXPECT_EQ(Text("edSanftStart"), "100ms");
  EXPECT_TRUE(Ticked("chkSanftOff"));
  EXPECT_TRUE(Ticked("chkLeckUeberwachung"));
  EXPECT_TRUE(Ticked("chkNoLeckError15s"));
  EXPECT_EQ(Text("edLeckAnzahl"), "5");
  EXPECT_TRUE(Ticked("chkShowPumpenLeistung"));
  ASSERT_TRUE(form3->CollectBlock());
  EXPECT_EQ(form3->Image().Byte(6), 7);
  EXPECT_EQ(form3->Image().Byte(51), 0x8C);
  EXPECT_EQ(form3->Image().Byte(42), 0x85);
  EXPECT_EQ(form3->Image().Byte(44), 0xC5);
  EXPECT_EQ(form3->Image().Byte(43), 9);
  // Ticked by the user, the boxes store their own values.
  Control<QCheckBox>("chkAuto")->click();
  Control<QCheckBox>("chkAuto")->click();
  Control<QCheckBox>("chkShowPumpenLeistung")->click();
  Control<QCheckBox>("chkShowPumpenLeistung")->click();
  ASSERT_TRUE(form3->CollectBlock());
  EXPECT_EQ(form3->Image().Byte(6), 7) << "ticked and unticked again: untouched";
  Control<QCheckBox>("chkAuto")->click();
  Control<QCheckBox>("chkShowPumpenLeistung")->click();
  ASSERT_TRUE(form3->CollectBlock());
  EXPECT_EQ(form3->Image().Byte(6), 0);
  EXPECT_EQ(form3->Image().Byte(43), 0);

  // Both inputs on the leak sensor store bits 4 and 5, and such a block shows "keine" twice.
  Choose("cbMinInput", 2);
  Choose("cbMaxInput", 2);
  ASSERT_TRUE(form3->CollectBlock());
  EXPECT_EQ(form3->Image().Byte(12) & 0xF3, 0x30);
  form3->ShowBlock();
  EXPECT_EQ(Item("cbMinInput"), "none");
  EXPECT_EQ(Item("cbMaxInput"), "none");
}

TEST_F(Form3Binding, UnparsableReferenceStopsOkWithTheWindowUsable) {
  Open();
  Step("udRetryCount", 2);                 // address 0: collected before the failure
  Control<QCheckBox>("chkAuto")->click();  // address 6: after it, not collected
  Control<QLineEdit>("edRefZistVoll")->clear();
  auto* ok = Control<QPushButton>("bbOK");
  form3->show();
  ok->click();
  ASSERT_EQ(desktop.messages, QStringList{"'' ist kein gültiger Integerwert"});
  EXPECT_TRUE(form3->isVisible()) << "the window stays open";
  EXPECT_TRUE(form3->isEnabled());
  EXPECT_TRUE(ok->isEnabled());
  EXPECT_EQ(form3->Image().Byte(0), 5);
  EXPECT_EQ(form3->Image().Byte(6), 1);
  EXPECT_FALSE(Stored("0").isValid()) << "nothing reaches the registry cache";

  // A number too long for an integer is refused the same way; the low-byte rule applies to
  // numbers that convert.
  Control<QLineEdit>("edRefZistVoll")->setText("9999999999");
  EXPECT_FALSE(form3->CollectBlock());
  EXPECT_EQ(desktop.messages.last(), "'9999999999' ist kein gültiger Integerwert");
  Control<QLineEdit>("edRefZistVoll")->setText("70000");
  Control<QLineEdit>("edRefZistLeer")->setText("65536");
  ok->click();
  EXPECT_FALSE(form3->isVisible());
  EXPECT_EQ(Stored("4").toInt(), 0x11);
  EXPECT_EQ(Stored("5").toInt(), 0x70);
  EXPECT_EQ(Stored("16").toInt(), 0);
  EXPECT_EQ(Stored("17").toInt(), 0);
  EXPECT_EQ(Stored("6").toInt(), 0) << "ticked Auto is stored as automatic";
}

TEST_F(Form3Binding, RegistryCacheRoundTripAndItsOddValues) {
  Seed("3", 3);           // Eigene Tankform
  Seed("9", 50 + 256);    // only the low byte counts
  Seed("24", "zwanzig");  // not a number: the default stays
  Seed("51", 0x0D);       // bit 7 clear
  Open();
  EXPECT_EQ(Item("cbTankform"), "Own tank shape");
  EXPECT_TRUE(Control<QPushButton>("bbEditTF")->isEnabled());
  EXPECT_EQ(Text("edDruckendwert"), "5.0bar");
  EXPECT_EQ(Text("edLaufzeit"), "Off");
  EXPECT_EQ(Item("cbPower"), "PWM");

  Control<QPushButton>("bbOK")->click();
  for (int a = 0; a < kParameterBlockSize; ++a) {
    ASSERT_TRUE(Stored(QString::number(a)).isValid()) << a;
  }
  EXPECT_EQ(Stored("9").toInt(), 50);
  EXPECT_EQ(Stored("24").toInt(), 0);
  EXPECT_EQ(Stored("51").toInt(), 0x8D);
  EXPECT_FALSE(Stored("Expert").isValid()) << "the window never writes Expert";

  // Abbruch closes without collecting or saving.
  Open();
  Step("udDruckendwert", 10);
  form3->show();
  Control<QPushButton>("bbAbbruch")->click();
  EXPECT_FALSE(form3->isVisible());
  EXPECT_EQ(Stored("9").toInt(), 50);
  EXPECT_EQ(form3->Image().Byte(9), 50);
}

TEST_F(Form3Binding, ExpertValueSetsConsentAndPowerStage) {
  struct Row {
    int expert;
    bool asked;
    bool powerStageEnabled;
  };
  // 0x80 alone unlocks the power stage only together with consent given at start.
  const Row rows[] = {
      {0x180, false, true}, {0x100, false, false}, {0x80, true, false}, {0, true, false}};
  for (const Row& row : rows) {
    Seed("Expert", row.expert);
    Open();
    desktop.answerYes = true;
    desktop.questions.clear();
    Control<QRadioButton>("rbExperte")->click();
    EXPECT_EQ(!desktop.questions.isEmpty(), row.asked) << row.expert;
    EXPECT_TRUE(Control<QRadioButton>("rbExperte")->isChecked());
    EXPECT_TRUE(Shown("gbRegelung"));
    EXPECT_EQ(Control("cbPower")->isEnabled(), row.powerStageEnabled) << row.expert;
    EXPECT_EQ(Control("udPulsFenster")->isEnabled(), row.powerStageEnabled) << row.expert;
  }
}

}  // namespace
}  // namespace velta::test
