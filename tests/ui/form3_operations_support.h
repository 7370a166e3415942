// The Settings window wired to a simulated controller through the Monitor window's TCP choice,
// with a desktop that answers questions and file dialogs from a script.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QPlainTextEdit>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/program_windows.h"
#include "tests/support/sim_process.h"
#include "tests/support/transfer_support.h"
#include "tests/support/window_test.h"

namespace velta::test {

class Form3OperationsTest : public ProgramWindowTest {
 protected:
  Form3OperationsTest() {
    desktop.watched = [this] { return form3; };
  }

  template <typename T = QWidget>
  T* Control(const char* name) {
    return FindControl<T>(form3, name);
  }
  void Click(const char* button) { Control<QAbstractButton>(button)->click(); }
  QStringList Memo() { return MemoLines(Control<QPlainTextEdit>("Memo3")); }
  using ProgramWindowTest::ChooseTcp;
  void ChooseTcp(const SimProcess& sim) { ChooseTcp(sim.TcpPort()); }
  void Pick(const char* list, int item) { PickItem(Control<QComboBox>(list), item); }
  std::vector<std::uint8_t> Image(int first, int last) {
    return {form3->Image().bytes.begin() + first, form3->Image().bytes.begin() + last + 1};
  }
  static std::vector<std::string> Writes(SimProcess& sim) {
    std::vector<std::string> writes;
    for (const std::string& frame : sim.Frames()) {
      if (frame.rfind("9", 0) == 0) writes.push_back(frame);
    }
    return writes;
  }
};

}  // namespace velta::test
