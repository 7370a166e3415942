// What every window test needs: the offscreen application, a settings store of its own, the
// test Desktop installed, and ways to reach a window's controls by name.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QWidget>

#include "tests/support/config_dir.h"
#include "tests/support/qt_app.h"
#include "tests/support/test_desktop.h"

namespace velta::test {

// The control `name` of `window`; a missing one (or one of another kind) fails the test.
template <typename T = QWidget>
T* FindControl(const QObject* window, const char* name) {
  T* found = window->findChild<T*>(name);
  if (found == nullptr) ADD_FAILURE() << name << " missing or of another kind";
  return found;
}

// The lines of a memo; an empty memo has none.
inline QStringList MemoLines(const QPlainTextEdit* memo) {
  const QString text = memo->toPlainText();
  return text.isEmpty() ? QStringList() : text.split('\n');
}

// The user picks an item of a list: the windows react to picks, not to changes made in code.
inline void PickItem(QComboBox* list, int item) {
  list->setCurrentIndex(item);
  emit list->activated(item);
}

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    EnsureApplication();
    SetDesktop(&desktop);
  }
  ~WindowTest() override { SetDesktop(nullptr); }

  TempConfigDir config;
  TempDataDir data;
  TestDesktop desktop;
};

}  // namespace velta::test
