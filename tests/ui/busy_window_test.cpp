// The busy-window guard gives the window and the pressed button back on every way out.
#include "ui/busy_window.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QWidget>
#include <stdexcept>

#include "tests/support/window_test.h"

namespace velta::test {
namespace {

using BusyWindowGuard = WindowTest;

TEST_F(BusyWindowGuard, RestoresWindowButtonAndCaptionAlsoAfterAnException) {
  QWidget window;
  auto* button = new QPushButton("Read", &window);
  {
    BusyWindow busy(window, *button, "Reading...");
    EXPECT_FALSE(window.isEnabled());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(button->text(), "Reading...");
  }
  EXPECT_TRUE(window.isEnabled());
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(button->text(), "Read");

  EXPECT_THROW(
      {
        BusyWindow busy(window, *button);
        throw std::runtime_error("the operation failed");
      },
      std::runtime_error);
  EXPECT_TRUE(window.isEnabled());
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(button->text(), "Read");
}

}  // namespace
}  // namespace velta::test
