// The program's three windows, created and wired as main does it, and the Monitor window's TCP
// choice that every transfer goes through.
#pragma once

#include <QLineEdit>
#include <QRadioButton>
#include <cstdint>
#include <memory>

#include "monitor/app_settings.h"
#include "tests/support/window_test.h"
#include "ui/program.h"

namespace velta::test {

// Window tests that run the program's windows, created when the test says.
class ProgramTest : public WindowTest {
 protected:
  ~ProgramTest() override { DestroyProgramWindows(); }

  // The windows as the program creates them from what the store holds now; earlier ones go.
  void CreateProgramWindows() {
    DestroyProgramWindows();
    program_ = std::make_unique<Program>();
    form1 = program_->monitor.get();
    form3 = program_->settings.get();
    form2 = program_->tankTable.get();
  }
  void DestroyProgramWindows() {
    form1 = nullptr;
    form3 = nullptr;
    form2 = nullptr;
    program_.reset();
  }

  // The program started anew with `admin` in the settings store: the Admin flags are read only
  // when the Monitor window is first shown.
  void RestartProgramWithAdmin(int admin) {
    DestroyProgramWindows();
    OpenSettingsStore()->setValue("Admin", admin);
    CreateProgramWindows();
    form1->FormShow();
  }

  // The user chooses TCP in the Monitor window and types the address.
  void ChooseTcp(std::uint16_t port, const QString& host = "127.0.0.1") {
    form1->findChild<QRadioButton*>("rbTcp")->click();
    form1->findChild<QLineEdit*>("edHost")->setText(host);
    form1->findChild<QLineEdit*>("edPort")->setText(QString::number(port));
  }

  // The running program's Monitor, Settings and Tank table windows; null while none runs.
  Form1* form1 = nullptr;
  Form3* form3 = nullptr;
  Form2* form2 = nullptr;

 private:
  std::unique_ptr<Program> program_;
};

// Window tests with all three windows open from the start and a user who answers Yes.
class ProgramWindowTest : public ProgramTest {
 protected:
  ProgramWindowTest() {
    desktop.answerYes = true;
    CreateProgramWindows();
  }
};

}  // namespace velta::test
