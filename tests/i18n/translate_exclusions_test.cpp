// Exclusions registered before a window is walked keep properties or whole classes untouched.
// Its own test program, because the registry lasts for the whole process.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "i18n/translate_component.h"
#include "tests/support/qt_app.h"

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

TEST(TranslateExclusions, RegisteredPropertiesAndClassesAreLeftAlone) {
  // The program's own exclusions name properties the walk never touches; they must not stop it.
  velta::RegisterExclusion("QAction", "Category");
  velta::RegisterExclusion("QWidget", "HelpKeyword");
  velta::RegisterExclusion("QWidget", "ImeName");
  velta::RegisterExclusion("QFont");
  velta::RegisterExclusion("QGroupBox", "title");
  velta::RegisterExclusion("QAbstractButton");
  velta::test::EnsureApplication();

  QWidget window;
  window.setWindowTitle(Q("Einstellungen"));
  auto* group = new QGroupBox(Q("Verbindung"), &window);
  group->setToolTip(Q("Einstellmöglichkeiten"));
  auto* check = new QCheckBox(Q("Statusabfrage"), group);
  check->setToolTip(Q("Suche Ports..."));
  auto* button = new QPushButton(Q("Auslesen"), &window);
  auto* label = new QLabel(Q("Nachspeisung"), &window);
  QFont font = label->font();
  font.setFamily(Q("Zisterne"));
  label->setFont(font);

  velta::TranslateComponent(&window);

  EXPECT_EQ(window.windowTitle(), Q("Attitudes"));
  EXPECT_EQ(group->title(), Q("Verbindung"));
  EXPECT_EQ(group->toolTip(), Q("Settings options"));
  EXPECT_EQ(check->text(), Q("Statusabfrage"));  // excluded through its base class
  EXPECT_EQ(check->toolTip(), Q("Suche Ports..."));
  EXPECT_EQ(button->text(), Q("Auslesen"));
  EXPECT_EQ(label->text(), Q("Trinkwater"));
  EXPECT_EQ(label->font().family(), Q("Zisterne"));
}

TEST(TranslateExclusions, RegistryMatchesClassAndPropertyExactly) {
  velta::RegisterExclusion("QLineEdit", "placeholderText");
  EXPECT_TRUE(velta::IsExcluded("QLineEdit", "placeholderText"));
  EXPECT_FALSE(velta::IsExcluded("QLineEdit", "text"));
  EXPECT_FALSE(velta::IsExcluded("QLineEdit", "placeholdertext"));
  EXPECT_FALSE(velta::IsExcluded("QWidget", "placeholderText"));
}

}  // namespace
