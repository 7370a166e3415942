// The Settings window under test, opened when the test says, from the settings the test seeds.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <cstdlib>

#include "monitor/app_settings.h"
#include "tests/support/program_windows.h"
#include "tests/support/window_test.h"
#include "ui/value_editor.h"

namespace velta::test {

class Form3Test : public ProgramTest {
 protected:
  // The Settings window as the program creates it, from whatever the store holds by then.
  Form3& Open() {
    CreateProgramWindows();
    return *form3;
  }
  // The window at the expert level with the power stage unlocked, so every group is shown.
  Form3& OpenExpert() {
    Seed("Expert", 0x180);
    Open();
    form3->findChild<QAbstractButton*>("rbExperte")->click();
    return *form3;
  }
  // The Monitor window opened with it, for the blue LED caption and the Admin flags; not shown.
  Form1& Monitor() { return *form1; }
  void Seed(const QString& key, const QVariant& value) {
    OpenSettingsStore()->setValue(key, value);
  }
  QVariant Stored(const QString& key) { return OpenSettingsStore()->value(key); }

  template <typename T = QWidget>
  T* Control(const char* name) {
    return FindControl<T>(form3, name);
  }
  QString Text(const char* field) { return Control<QLineEdit>(field)->text(); }
  int Position(const char* stepper) { return Control<UpDown>(stepper)->value(); }
  // Arrow clicks on a stepper, one call per click as the user makes them.
  void Step(const char* stepper, int clicks) {
    for (int i = 0; i < std::abs(clicks); ++i)
      Control<UpDown>(stepper)->stepBy(clicks > 0 ? 1 : -1);
  }
  // The user picks a list item.
  void Choose(const char* list, int item) { PickItem(Control<QComboBox>(list), item); }
  QString Item(const char* list) { return Control<QComboBox>(list)->currentText(); }
  bool Ticked(const char* box) { return Control<QCheckBox>(box)->isChecked(); }
  // Visible as far as the window is concerned (the window itself is not shown).
  bool Shown(const char* name) { return Control(name)->isVisibleTo(form3); }

  // Puts `block` into the image and shows it, as a read or a file load does.
  void ShowBlock(const std::vector<std::pair<int, int>>& bytes) {
    for (const auto& [address, value] : bytes)
      form3->Image().SetByte(address, static_cast<std::uint8_t>(value));
    form3->ShowBlock();
    form3->SelectPreset();
  }
};

}  // namespace velta::test
