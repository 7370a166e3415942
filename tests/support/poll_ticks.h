// Following the Monitor window's status poll from a test: the open and every exchange run on the
// poller's thread, so a test waits for their answers to be shown.
#pragma once

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "tests/support/window_test.h"
#include "ui/Unit1.h"

namespace velta::test {

// Runs the event loop until Polling has opened (the controls it locks are locked), at most
// `limitMs`.
inline bool WaitForPolling(Form1& window, int limitMs = 5000) {
  const auto* setup = window.findChild<QWidget*>("bbSetup");
  for (int waited = 0; waited < limitMs && setup->isEnabled(); waited += 10) QTest::qWait(10);
  return !setup->isEnabled();
}

// Runs the event loop until the memo holds `line` (the poller's answers are shown on the
// window thread), at most `limitMs`.
inline bool WaitForLogLine(const QPlainTextEdit* memo, const QString& line, int limitMs = 5000) {
  for (int waited = 0; waited < limitMs && !MemoLines(memo).contains(line); waited += 10) {
    QTest::qWait(10);
  }
  return MemoLines(memo).contains(line);
}

// Runs the event loop until the window has shown `count` more steps of its poll.
inline void RunPollTicks(Form1& window, int count) {
  QSignalSpy shown(&window, &Form1::PollStepShown);
  for (int i = 0; i < count; ++i) {
    ASSERT_TRUE(shown.count() > i || shown.wait(5000)) << "step " << i << " was not shown";
  }
}

}  // namespace velta::test
