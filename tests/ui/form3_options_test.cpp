// The Settings window's options: regulation presets, regulation and flow sensor, valve output
// and the Monitor window's blue LED, pressure sensor type, float switch, view levels, and the
// small window handlers with the window's own feedback.
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "tests/ui/form3_fixture.h"

namespace velta::test {
namespace {

using Form3Options = Form3Test;

TEST_F(Form3Options, RegulationPartsSelectThePreset) {
  Open();
  ShowBlock({{14, 39}, {15, 50}});
  EXPECT_EQ(Item("cbRegelungsart"), "User-defined parameters");
  Step("udRegelP", 1);
  EXPECT_EQ(form3->Image().Byte(14), 40) << "the part goes straight into the block";
  EXPECT_EQ(Item("cbRegelungsart"), "Means (normal line)");
  Step("udRegelD", 1);
  EXPECT_EQ(form3->Image().Byte(15), 51);
  EXPECT_EQ(Item("cbRegelungsart"), "User-defined parameters");
}

TEST_F(Form3Options, ChoosingAPresetReloadsTheWindowFromTheBlock) {
  Open();
  Step("udDruckEin", 5);  // not collected
  EXPECT_EQ(Text("edDruckEin"), "2.5bar");
  Choose("cbRegelungsart", 1);
  EXPECT_EQ(Text("edDruckEin"), "2.0bar") << "the uncollected edit is replaced by the block";
  EXPECT_EQ(form3->Image().Byte(14), 40);
  EXPECT_EQ(form3->Image().Byte(15), 50);
  EXPECT_EQ(Text("edRegelP"), "40");
  EXPECT_EQ(Text("edRegelD"), "50");
  EXPECT_EQ(Item("cbRegelungsart"), "Means (normal line)");

  // "Benutzerdefinierte Parameter" stores nothing and shows the fast preset's name.
  Choose("cbRegelungsart", 3);
  EXPECT_EQ(Item("cbRegelungsart"), "Fast (long line)");
  EXPECT_EQ(form3->Image().Byte(14), 40);
  EXPECT_EQ(form3->Image().Byte(15), 50);
  EXPECT_EQ(Text("edRegelP"), "40");
}

TEST_F(Form3Options, RegulationAndFlowSensorDecideEditorsLimitsAndTheBlueLed) {
  OpenExpert();
  auto* led = form1->findChild<QLabel*>("lblLedBlue");
  ASSERT_NE(led, nullptr);
  auto* flow = Control<QCheckBox>("chkSetupFlusssensor");
  auto* pumpeMin = Control<UpDown>("udPumpeMin");

  flow->click();  // regulation, no flow sensor
  EXPECT_TRUE(Shown("edMaxPower"));
  EXPECT_TRUE(Shown("udMaxPowerTime"));
  EXPECT_EQ(pumpeMin->minimum(), 60);
  EXPECT_EQ(led->text(), " ");
  Choose("cbVariante", 2);
  EXPECT_EQ(led->text(), "Filter");
  EXPECT_TRUE(Shown("edMaxPower"));
  EXPECT_TRUE(Shown("edFilterSpuelIntervall"));
  EXPECT_TRUE(Shown("lblFilterSpuelZeit"));

  Control<QCheckBox>("chkRegelung")->click();  // off
  EXPECT_TRUE(flow->isChecked());
  EXPECT_FALSE(flow->isEnabled());
  EXPECT_FALSE(Shown("edMaxPower"));
  EXPECT_FALSE(Shown("udMaxPowerTime"));
  EXPECT_EQ(pumpeMin->minimum(), 35);
  EXPECT_EQ(led->text(), "Flow");
  EXPECT_EQ(Control<QLabel>("lblDruck2")->text(), "Switching off value");
  for (const char* hidden :
       {"gbReg", "edPumpeMin", "udRegelP", "edRegelD", "cbPower", "lblEndstufe"}) {
    EXPECT_FALSE(Shown(hidden)) << hidden;
  }

  Control<QCheckBox>("chkRegelung")->click();  // on again: the flow sensor stays ticked
  EXPECT_TRUE(flow->isEnabled());
  EXPECT_TRUE(flow->isChecked());
  EXPECT_EQ(Control<QLabel>("lblDruck2")->text(), "Control value");
  EXPECT_TRUE(Shown("gbReg"));
  Choose("cbVariante", 1);
  EXPECT_FALSE(Shown("edFilterSpuelIntervall"));
  EXPECT_EQ(led->text(), "Flow");
  flow->click();
  EXPECT_EQ(led->text(), " ");
}

TEST_F(Form3Options, PressureSwitchFixesThePressures) {
  OpenExpert();
  auto* sensor = Control<QComboBox>("cbDrucksensor");
  Choose("cbDrucksensor", 4);
  EXPECT_EQ(Text("edDruckEin"), "1.5bar");
  EXPECT_EQ(Text("edDruckRegel"), "2.5bar");
  EXPECT_EQ(Text("edDruckendwert"), "10.0bar");
  EXPECT_FALSE(Ticked("chkRegelung"));
  for (const char* hidden : {"edDruckEin", "udDruckRegel", "edDruckendwert", "lblDruckEin",
                             "lblDruck2", "chkRegelung"}) {
    EXPECT_FALSE(Shown(hidden)) << hidden;
  }
  EXPECT_GE(sensor->minimumWidth(), 201) << "the list widens into the editors' room";
  ASSERT_TRUE(form3->CollectBlock());
  EXPECT_EQ(form3->Image().Byte(8), 4);
  EXPECT_EQ(form3->Image().Byte(11), 15);
  EXPECT_EQ(form3->Image().Byte(10), 25);
  EXPECT_EQ(form3->Image().Byte(9), 100);
  EXPECT_EQ(form3->Image().Byte(51) & 0x08, 0);

  Choose("cbDrucksensor", 2);
  EXPECT_TRUE(Shown("edDruckEin"));
  EXPECT_TRUE(Shown("chkRegelung"));
  EXPECT_FALSE(Ticked("chkRegelung")) << "the regulation box keeps its state";
  EXPECT_EQ(sensor->maximumWidth(), 105);
}

TEST_F(Form3Options, FloatSwitchPowerStageAndInputsShowTheirEditors) {
  OpenExpert();
  Control<QCheckBox>("chkSchwimmerSchalter")->click();
  for (const char* hidden :
       {"edZistLeer", "upZistLeer", "lblZistLeer", "edZistVoll", "upZistVoll", "lblZistVoll"}) {
    EXPECT_FALSE(Shown(hidden)) << hidden;
  }
  Control<QCheckBox>("chkSchwimmerSchalter")->click();
  EXPECT_TRUE(Shown("upZistVoll"));

  Choose("cbPower", 0);
  EXPECT_TRUE(Shown("edPulsFenster"));
  Choose("cbPower", 1);
  EXPECT_FALSE(Shown("edPulsFenster"));
  EXPECT_FALSE(Shown("udPulsFenster"));

  EXPECT_FALSE(Shown("gbWasseruhr"));
  Choose("cbMaxInput", 1);
  EXPECT_TRUE(Shown("gbWasseruhr"));
  Choose("cbMinInput", 3);
  EXPECT_TRUE(Shown("gbWasseruhr"));
  Choose("cbMaxInput", 2);
  EXPECT_FALSE(Shown("gbWasseruhr"));
}

TEST_F(Form3Options, ExpertViewNeedsConsentEachTime) {
  Open();
  const char* expertGroups[] = {"gbTrockenlauf", "gbTemp",    "gbRegelung",      "gbLeck",
                                "gbSpezial",     "gbZaehler", "gbFehlerspeicher"};
  form3->ResetView();
  EXPECT_TRUE(Shown("gbNoExpert"));
  for (const char* group : expertGroups) EXPECT_FALSE(Shown(group)) << group;

  desktop.answerYes = false;
  Control<QRadioButton>("rbExperte")->click();
  ASSERT_EQ(desktop.questions.size(), 1);
  EXPECT_TRUE(desktop.questions[0].startsWith("Info|ATTENTION:\n"))
      << desktop.questions[0].toStdString();
  EXPECT_TRUE(Control<QRadioButton>("rbNormal")->isChecked());
  EXPECT_TRUE(Shown("gbNoExpert"));
  EXPECT_FALSE(Shown("cbBackup"));
  EXPECT_FALSE(Shown("gbRegelung"));

  desktop.answerYes = true;
  Control<QRadioButton>("rbExperte")->click();
  EXPECT_EQ(desktop.questions.size(), 2);
  EXPECT_FALSE(Shown("gbNoExpert"));
  for (const char* group : expertGroups) EXPECT_TRUE(Shown(group)) << group;
  EXPECT_TRUE(Shown("cbBackup"));
  EXPECT_FALSE(Control("cbPower")->isEnabled()) << "mask 127 keeps the power stage locked";

  // A click on the view already chosen asks nothing and changes nothing.
  desktop.answerYes = false;
  Control<QRadioButton>("rbExperte")->click();
  EXPECT_EQ(desktop.questions.size(), 2);
  EXPECT_TRUE(Control<QRadioButton>("rbExperte")->isChecked());
  EXPECT_TRUE(Shown("gbRegelung"));
  desktop.answerYes = true;

  // Backup mode highlights the file and controller groups and survives the normal view.
  auto* backup = Control<QCheckBox>("cbBackup");
  const QColor normal = Control("gbDatei")->palette().color(QPalette::Window);
  backup->click();
  EXPECT_EQ(Control("gbDatei")->palette().color(QPalette::Window), QColor(Qt::yellow));
  EXPECT_EQ(Control("gbVEL")->palette().color(QPalette::Window), QColor(Qt::yellow));
  Control<QRadioButton>("rbNormal")->click();
  EXPECT_FALSE(Shown("cbBackup"));
  EXPECT_TRUE(backup->isChecked());
  Control<QRadioButton>("rbExperte")->click();
  EXPECT_EQ(desktop.questions.size(), 3) << "consent is not remembered";
  backup->click();
  EXPECT_EQ(Control("gbDatei")->palette().color(QPalette::Window), normal);
}

// The store's "Expert" value: 0x100 gives consent, 0x80 unlocks the power stage; written in
// decimal or in hexadecimal behind "0x".
TEST_F(Form3Options, StoredExpertValueGivesConsentAndUnlocksThePowerStage) {
  for (const QVariant& stored : {QVariant(0x180), QVariant("0x180"), QVariant(" 0X180")}) {
    Seed("Expert", stored);
    Open();
    Control<QRadioButton>("rbExperte")->click();
    EXPECT_TRUE(desktop.questions.isEmpty()) << stored.toString().toStdString();
    EXPECT_TRUE(Control("cbPower")->isEnabled()) << stored.toString().toStdString();
  }
  Seed("Expert", "0x80");
  desktop.answerYes = true;
  Open();
  Control<QRadioButton>("rbExperte")->click();
  EXPECT_EQ(desktop.questions.size(), 1) << "no consent without 0x100";
  EXPECT_FALSE(Control("cbPower")->isEnabled()) << "consent by question gives mask 127";
}

TEST_F(Form3Options, AdministratorsOpenTheExpertView) {
  Seed("Admin", 0x80);
  Open();
  Monitor().show();  // reads the Admin flags and puts the Settings window to "Normal"
  EXPECT_TRUE(Control<QRadioButton>("rbNormal")->isChecked());
  form3->show();
  EXPECT_TRUE(Control<QRadioButton>("rbExperte")->isChecked());
  EXPECT_TRUE(desktop.questions.isEmpty());
  EXPECT_TRUE(Shown("cbBackup"));
  EXPECT_TRUE(Shown("gbZaehler"));
  form3->hide();
  Control<QRadioButton>("rbNormal")->click();
  Control<QRadioButton>("rbExperte")->click();
  EXPECT_TRUE(desktop.questions.isEmpty()) << "the consent of an administrator lasts";
  form1->close();
}

TEST_F(Form3Options, TankShapeOpensAndClosesTheTankTableWindow) {
  Open();
  form3->show();
  auto* edit = Control<QPushButton>("bbEditTF");
  EXPECT_FALSE(edit->isEnabled());
  Choose("cbTankform", 3);
  EXPECT_TRUE(edit->isEnabled());
  edit->click();
  EXPECT_TRUE(form2->isVisible());
  Choose("cbTankform", 2);
  EXPECT_FALSE(edit->isEnabled());
  EXPECT_FALSE(form2->isVisible());
  Choose("cbTankform", 3);
  edit->click();
  Control<QPushButton>("bbAbbruch")->click();
  EXPECT_FALSE(form2->isVisible()) << "closing the Settings window closes the table window";
}

TEST_F(Form3Options, WindowFeedbackLogoAndMemo) {
  OpenExpert();
  Feedback& feedback = form3->WindowFeedback();
  auto* memo = Control<QPlainTextEdit>("Memo3");
  auto* bar = Control<QProgressBar>("pbAktiv");
  feedback.Log("Steuerung auslesen...");
  feedback.Log("\nVersion differences of the file!");
  EXPECT_EQ(memo->toPlainText(), "Steuerung auslesen...\n\nVersion differences of the file!");
  feedback.Beep();
  EXPECT_EQ(desktop.beeps, 1);

  struct Row {
    BarColour colour;
    QColor shown;
  };
  const Row colours[] = {{BarColour::Green, QColor(0, 128, 0)},
                         {BarColour::Red, QColor(255, 0, 0)},
                         {BarColour::Blue, QColor(0, 0, 255)}};
  for (const Row& row : colours) {
    feedback.SetBarColour(row.colour);
    EXPECT_EQ(bar->palette().color(QPalette::Highlight), row.shown);
  }
  feedback.FillBar();
  EXPECT_EQ(bar->value(), 1000);
  feedback.EmptyBar();
  EXPECT_EQ(bar->value(), 0);
  feedback.SetBarMaximum(51);
  feedback.SetBarPosition(17);
  EXPECT_EQ(bar->maximum(), 51);
  EXPECT_EQ(bar->value(), 17);

  for (bool visible : {false, true, false}) {
    feedback.ShowWriteButtons(visible);
    for (const char* button : {"bbSendBC", "bbClrError", "bbWriteH"})
      EXPECT_EQ(Shown(button), visible) << button;
  }

  form3->show();
  QTest::mouseDClick(memo->viewport(), Qt::LeftButton);
  EXPECT_TRUE(memo->toPlainText().isEmpty());
  QTest::mouseClick(Control("Image1"), Qt::LeftButton);
  EXPECT_EQ(desktop.urls, QStringList{"https://www.korvelt.example/"});

  form3->SetUpdateButtonVisible(false);
  EXPECT_FALSE(Shown("bbUpdate"));
  form3->SetUpdateButtonVisible(true);
  EXPECT_TRUE(Shown("bbUpdate"));
}

}  // namespace
}  // namespace velta::test
