// The window walk on a small window built in code, the way the forms lay theirs out.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>

#include "i18n/translate_component.h"
#include "tests/support/qt_app.h"

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

class TranslateComponentTest : public ::testing::Test {
 protected:
  void SetUp() override { velta::test::EnsureApplication(); }
};

TEST_F(TranslateComponentTest, CaptionsHintsAndTextsOfTheWindowAreTranslated) {
  QWidget window;
  window.setWindowTitle(Q("Einstellungen"));
  auto* layout = new QVBoxLayout(&window);
  auto* group = new QGroupBox(Q("Verbindung"), &window);
  group->setToolTip(Q("Einstellmöglichkeiten"));
  auto* groupLayout = new QVBoxLayout(group);
  auto* label = new QLabel(Q("Nachspeisung"), group);
  auto* button = new QPushButton(Q("&Einstellungen "), group);
  button->setToolTip(Q("Suche Ports..."));
  button->setStatusTip(Q("Lösche alle anstehenden Fehler"));
  button->setWhatsThis(Q("Schreibfreigabe anfordern"));
  auto* check = new QCheckBox(Q("Statusabfrage"), group);
  auto* radio = new QRadioButton(Q("Experte"), group);
  auto* edit = new QLineEdit(Q("c:\\fehler.txt"), &window);
  edit->setPlaceholderText(Q("Pfad und Dateiname der Fehlerdatei"));
  for (QWidget* widget : std::initializer_list<QWidget*>{label, button, check, radio}) {
    groupLayout->addWidget(widget);
  }
  layout->addWidget(group);
  layout->addWidget(edit);

  velta::TranslateComponent(&window);

  EXPECT_EQ(window.windowTitle(), Q("Attitudes"));
  EXPECT_EQ(group->title(), Q("Connection"));
  EXPECT_EQ(group->toolTip(), Q("Settings options"));
  EXPECT_EQ(label->text(), Q("Trinkwater"));
  EXPECT_EQ(button->text(), Q("&Settings "));
  EXPECT_EQ(button->toolTip(), Q("Search Ports…"));
  EXPECT_EQ(button->statusTip(), Q("Clear all lining up errors"));
  EXPECT_EQ(button->whatsThis(), Q("Write-enable request"));
  EXPECT_EQ(check->text(), Q("Status inquiry"));
  EXPECT_EQ(radio->text(), Q("Expert"));
  EXPECT_EQ(edit->text(), Q("c:\\error.txt"));
  EXPECT_EQ(edit->placeholderText(), Q("Path and file name of the error file"));
}

TEST_F(TranslateComponentTest, ListEntriesMemoLinesTabsAndActionsAreTranslatedOneByOne) {
  QWidget window;
  auto* combo = new QComboBox(&window);
  combo->addItems({Q("keine"), Q("Wasseruhr"), Q("1m³"), Q("Pumpe Aus")});
  combo->setCurrentIndex(1);
  auto* list = new QListWidget(&window);
  list->addItems({Q("Er.P Trockenlauf Pumpe"), Q("Er.t #")});
  auto* memo = new QPlainTextEdit(Q("Keine Fehler\n57%\nNachspeisung"), &window);
  auto* tabs = new QTabWidget(&window);
  tabs->addTab(new QWidget, Q("Fehlerspeicher"));
  tabs->addTab(new QWidget, Q("Ansicht 2"));
  auto* action = new QAction(Q("Speichern"), &window);
  action->setStatusTip(Q("Alle Einstellungen in Datei speichern"));
  auto* bar = new QMenuBar(&window);
  QMenu* menu = bar->addMenu(Q("Datei"));
  QAction* load = menu->addAction(Q("Laden"));

  velta::TranslateComponent(&window);

  EXPECT_EQ(combo->itemText(0), Q("none"));
  EXPECT_EQ(combo->itemText(1), Q("Water meter"));
  EXPECT_EQ(combo->itemText(2), Q("1m³"));
  EXPECT_EQ(combo->itemText(3), Q("Pump off"));
  EXPECT_EQ(combo->currentIndex(), 1);
  EXPECT_EQ(list->item(0)->text(), Q("Er.P pump unlubricated operation"));
  EXPECT_EQ(list->item(1)->text(), Q("Er.t #"));
  EXPECT_EQ(memo->toPlainText(), Q("No Errors\n57%\nTrinkwater"));
  EXPECT_EQ(tabs->tabText(0), Q("Fault storage"));
  EXPECT_EQ(tabs->tabText(1), Q("Ansicht 2"));
  EXPECT_EQ(action->text(), Q("Store"));
  EXPECT_EQ(action->statusTip(), Q("Save all settings to file"));
  EXPECT_EQ(menu->title(), Q("File"));
  EXPECT_EQ(load->text(), Q("Load"));
}

// Texts the code fills in, texts the catalogue lacks, values of spin boxes and separate windows
// parented to the walked one keep what they show.
TEST_F(TranslateComponentTest, UnknownMarkedValueAndSeparateWindowTextsStay) {
  QWidget window;
  auto* unknown = new QLabel(Q("Seriell"), &window);
  auto* marked = new QLabel(Q("Nachspeisung"), &window);
  marked->setProperty("notr", true);
  auto* markedGroup = new QGroupBox(Q("Verbindung"), &window);
  markedGroup->setProperty("notr", true);
  auto* inside = new QLabel(Q("Zisterne"), markedGroup);
  auto* spin = new QSpinBox(&window);
  spin->setRange(0, 10);
  spin->setSpecialValueText(Q("Aus"));
  spin->setSuffix(Q(" Minuten"));
  spin->setValue(3);
  auto* tankWindow = new QWidget(&window, Qt::Window);
  tankWindow->setWindowTitle(Q("Eigene Tankform"));
  auto* tankButton = new QPushButton(Q("Auslesen"), tankWindow);

  velta::TranslateComponent(&window);

  EXPECT_EQ(unknown->text(), Q("Seriell"));
  EXPECT_EQ(marked->text(), Q("Nachspeisung"));
  EXPECT_EQ(markedGroup->title(), Q("Verbindung"));
  EXPECT_EQ(inside->text(), Q("Cistern"));
  EXPECT_EQ(spin->specialValueText(), Q("Off"));
  EXPECT_EQ(spin->suffix(), Q(" Minutes"));
  EXPECT_EQ(spin->value(), 3);
  EXPECT_EQ(spin->text(), Q("3 Minutes"));
  EXPECT_EQ(tankWindow->windowTitle(), Q("Eigene Tankform"));
  EXPECT_EQ(tankButton->text(), Q("Auslesen"));
}

// A second walk finds English texts, which are not keys, and must leave them as they are.
TEST_F(TranslateComponentTest, WalkingTwiceChangesNothingMore) {
  QWidget window;
  auto* label = new QLabel(Q("Rückstau"), &window);
  auto* combo = new QComboBox(&window);
  combo->addItems({Q("Einstellungen"), Q("Zisterne")});
  velta::TranslateComponent(&window);
  velta::TranslateComponent(&window);
  EXPECT_EQ(label->text(), Q("Overflow "));
  EXPECT_EQ(combo->itemText(0), Q("Attitudes"));
  EXPECT_EQ(combo->itemText(1), Q("Cistern"));
  velta::TranslateComponent(nullptr);
}

}  // namespace
