// The program's three windows in the globals, created and destroyed as the program does it, and
// the Monitor window's TCP choice that every transfer goes through.
#pragma once

#include <QLineEdit>
#include <QRadioButton>
#include <cstdint>

#include "monitor/app_settings.h"
#include "tests/support/window_test.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/forms.h"

namespace velta::test {

inline void CreateProgramWindows() {
  form1 = new Form1;
  form3 = new Form3;
  form2 = new Form2(form3);
}

// The Settings window owns the Tank table window.
inline void DestroyProgramWindows() {
  delete form3;
  delete form1;
  form1 = nullptr;
  form3 = nullptr;
  form2 = nullptr;
}

// The program started anew with `admin` in the settings store: the Admin flags are read only
// when the Monitor window is first shown.
inline void RestartProgramWithAdmin(int admin) {
  DestroyProgramWindows();
  OpenSettingsStore()->setValue("Admin", admin);
  CreateProgramWindows();
  form1->FormShow();
}

// The user chooses TCP in the Monitor window and types the address.
inline void ChooseTcp(std::uint16_t port, const QString& host = "127.0.0.1") {
  form1->findChild<QRadioButton*>("rbTcp")->click();
  form1->findChild<QLineEdit*>("edHost")->setText(host);
  form1->findChild<QLineEdit*>("edPort")->setText(QString::number(port));
}

// Window tests with all three windows open from the start and a user who answers Yes.
class ProgramWindowTest : public WindowTest {
 protected:
  ProgramWindowTest() {
    desktop.answerYes = true;
    CreateProgramWindows();
  }
  ~ProgramWindowTest() override { DestroyProgramWindows(); }
};

}  // namespace velta::test
