// Window tests run without a display: one offscreen QApplication for the whole test program,
// with the English catalogue selected as the program does it.
#pragma once

#include <QApplication>
#include <cstdlib>

#include "i18n/lookup.h"

namespace velta::test {

inline QApplication& EnsureApplication() {
  static int argc = 1;
  static char name[] = "velta-ui-test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    // A test in a fresh program may have named the offscreen platform with screens of its own.
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("offscreen"))
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
    auto* created = new QApplication(argc, argv);
    UseLanguage("en");
    return created;
  }();
  return *app;
}

}  // namespace velta::test
