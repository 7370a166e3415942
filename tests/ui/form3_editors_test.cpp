// The value editors as the user steps them: limits, steps, texts and the editors that move
// other editors.
#include <QTest>
#include <QToolButton>

#include "tests/ui/form3_fixture.h"

namespace velta::test {
namespace {

using Form3Editors = Form3Test;

TEST_F(Form3Editors, SteppingStopsAtTheLimitsAndShowsTheUnit) {
  OpenExpert();
  struct Row {
    const char* stepper;
    const char* field;
    int clicks;
    int position;
    const char* text;
  };
  // Each row steps from the previous state of the same editor; the default block is the start.
  const Row rows[] = {
      {"udDruckEin", "edDruckEin", -30, 0, "0.0bar"},
      {"udDruckEin", "edDruckEin", 5, 5, "0.5bar"},
      {"udDruckEin", "edDruckEin", 200, 100, "10.0bar"},
      {"udNachlaufzeit", "edNachlaufzeit", 100, 184, "15.0s"},
      {"udAnzeige", "edAnzeige", -100, 7, "0.5s"},
      {"udRegelT", "edRegelT", -10, 0, "81ms (0)"},
      {"udRegelT", "edRegelT", 300, 255, "20971ms (255)"},
      {"udRetryIntervallTime", "edRetryIntervallTime", -1000, 13, "0Min 5Sek"},
      {"udRetryIntervallTime", "edRetryIntervallTime", 5000, 8788, "59Min 59Sek"},
      {"udMaxPowerTime", "edMaxPowerTime", -20, 735, "5 Minutes"},
      {"udMaxPowerTime", "edMaxPowerTime", 1, 882, "6 Minutes"},  // steps of 147 ticks
      {"udMaxPowerTime", "edMaxPowerTime", 1000, 32767, "223 Minutes"},
      {"udMaxPower", "edMaxPower", 1, 100, "=100%"},
      {"udSanftStart", "edSanftStart", 1, 1, "20ms"},
      {"udSanftStart", "edSanftStart", 100, 63, "1260ms"},
      {"udSanftStart", "edSanftStart", -100, 0, "Off"},
      {"udPulsFenster", "edPulsFenster", -10, 5, "50ms"},
      {"udLaufzeit", "edLaufzeit", 100, 88, "176 Minutes"},
      {"udTempOff", "edTempOff", -200, 0, "~120°C (0)"},
      {"udTempOn", "edTempOn", 2000, 1023, "~2°C (1023)"},
      {"udFilterSpuelIntervall", "edFilterSpuelIntervall", 400, 365, "365days"},
      {"udLeckDauer", "edLeckDauer", 300, 255, "104.4s"},
      {"udRetryCount", "edRetryCount", -5, 0, "Off"},
      {"udRegelP", "edRegelP", 300, 255, "255"},
      {"udLeckAnzahl", "edLeckAnzahl", -20, 3, "3"},
  };
  for (const Row& row : rows) {
    Step(row.stepper, row.clicks);
    EXPECT_EQ(Position(row.stepper), row.position) << row.stepper;
    EXPECT_EQ(Text(row.field), row.text) << row.stepper;
  }
}

TEST_F(Form3Editors, ArrowButtonsStepTheEditor) {
  Open();
  auto buttons = Control<UpDown>("udDruckEin")->findChildren<QToolButton*>();
  ASSERT_EQ(buttons.size(), 2);
  QToolButton* up = buttons[0]->arrowType() == Qt::UpArrow ? buttons[0] : buttons[1];
  QToolButton* down = up == buttons[0] ? buttons[1] : buttons[0];
  QTest::mouseClick(up, Qt::LeftButton);
  EXPECT_EQ(Text("edDruckEin"), "2.1bar");
  QTest::mouseClick(down, Qt::LeftButton);
  QTest::mouseClick(down, Qt::LeftButton);
  EXPECT_EQ(Text("edDruckEin"), "1.9bar");
  EXPECT_EQ(Position("udDruckEin"), 19);
  QTest::keyClick(Control<QLineEdit>("edDruckEin"), Qt::Key_Up);
  EXPECT_EQ(Text("edDruckEin"), "2.0bar");
}

TEST_F(Form3Editors, CompanionEditorsFollowTheirOffSwitch) {
  OpenExpert();
  // Retry count 0 hides the retry interval and its label.
  Step("udRetryCount", -3);
  EXPECT_FALSE(Shown("edRetryIntervallTime"));
  EXPECT_FALSE(Shown("udRetryIntervallTime"));
  EXPECT_FALSE(Shown("lblErP"));
  Step("udRetryCount", 1);
  EXPECT_EQ(Text("edRetryCount"), "1x");
  EXPECT_TRUE(Shown("edRetryIntervallTime"));

  // The run-time window: off hides the percentage; a click on its text toggles it, first back to
  // the 90 steps remembered from the start (held at the maximum 88), later to the last window.
  EXPECT_EQ(Text("edLaufzeit"), "Off");
  EXPECT_FALSE(Shown("edLaufzeitProzent"));
  QTest::mouseClick(Control<QLineEdit>("edLaufzeit"), Qt::LeftButton);
  EXPECT_EQ(Text("edLaufzeit"), "176 Minutes");
  EXPECT_TRUE(Shown("edLaufzeitProzent"));
  EXPECT_EQ(Text("edLaufzeitProzent"), "95%");
  Step("udLaufzeit", -78);
  EXPECT_EQ(Text("edLaufzeit"), "20 Minutes");
  QTest::mouseClick(Control<QLineEdit>("edLaufzeitProzent"), Qt::LeftButton);
  EXPECT_EQ(Text("edLaufzeit"), "Off");
  EXPECT_FALSE(Shown("udLaufzeitProzent"));
  QTest::mouseClick(Control<QLineEdit>("edLaufzeit"), Qt::LeftButton);
  EXPECT_EQ(Text("edLaufzeit"), "20 Minutes");
  ASSERT_TRUE(form3->CollectBlock());
  EXPECT_EQ(form3->Image().Byte(24), 10);
}

TEST_F(Form3Editors, CisternLevelsKeepTheirDistance) {
  Open();
  Step("upZistLeer", 47);  // 3 -> 50
  EXPECT_EQ(Text("edZistLeer"), "50%");
  auto* full = Control<UpDown>("upZistVoll");
  EXPECT_EQ(full->minimum(), 52);
  Step("upZistVoll", -100);
  EXPECT_EQ(Text("edZistVoll"), "52%");
  // An empty level of 99 would need 101; the switch-back level stays within its range.
  Step("upZistLeer", 100);
  EXPECT_EQ(Text("edZistLeer"), "100%");
  EXPECT_LE(full->value(), 100);
  EXPECT_EQ(Text("edZistVoll"), "100%");
  Step("upZistVoll", -5);
  EXPECT_EQ(full->value(), 100);
}

TEST_F(Form3Editors, RunOnTimeSetsTheLeakTime) {
  Open();
  struct Row {
    bool flowSensor;
    int runOn;
    int leakMinimum;
    int leakPosition;
    const char* leakText;
  };
  const Row rows[] = {{false, 25, 10, 21, "8.6s"},
                      {true, 25, 8, 16, "6.5s"},
                      {false, 184, 42, 53, "21.7s"},
                      {true, 50, 13, 21, "8.6s"}};
  auto* runOn = Control<UpDown>("udNachlaufzeit");
  auto* leak = Control<UpDown>("udLeckDauer");
  for (const Row& row : rows) {
    // Regulation on, so the flow sensor box can be set either way.
    ASSERT_TRUE(Ticked("chkRegelung"));
    if (Ticked("chkSetupFlusssensor") != row.flowSensor)
      Control<QCheckBox>("chkSetupFlusssensor")->click();
    Step("udLeckDauer", 100);  // a manual leak time, overwritten below
    Step("udNachlaufzeit", row.runOn - runOn->value() + 1);
    Step("udNachlaufzeit", -1);
    EXPECT_EQ(leak->minimum(), row.leakMinimum) << row.runOn << " " << row.flowSensor;
    EXPECT_EQ(leak->value(), row.leakPosition) << row.runOn << " " << row.flowSensor;
    EXPECT_EQ(Text("edLeckDauer"), row.leakText) << row.runOn << " " << row.flowSensor;
  }
  Step("udLeckDauer", -100);
  EXPECT_EQ(leak->value(), 13) << "the leak time cannot go below its minimum";
}

}  // namespace
}  // namespace velta::test
