// The program's three windows, created together and connected here, the one place where they
// meet: main and the window tests both run them through Program.
#pragma once

#include <memory>

#include "controller/history.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"

namespace velta {

struct Program {
  Program();
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Kept by the Settings and Tank table windows; outlives them.
  History history;
  std::unique_ptr<Form1> monitor;
  std::unique_ptr<Form3> settings;
  // Owned here but parented to the Settings window; destroyed before it.
  std::unique_ptr<Form2> tankTable;
};

}  // namespace velta
