// Driving the Monitor window's status poll from a test: the open and every exchange run on the
// window's poll worker, so a test waits for their answers to be shown.
#pragma once

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "tests/support/window_test.h"
#include "ui/Unit1.h"

namespace velta::test {

// Runs the event loop until Polling has opened (the poll timer runs), at most `limitMs`.
inline bool WaitForPolling(Form1& window, int limitMs = 5000) {
  auto* timer = window.findChild<QTimer*>("Timer1");
  for (int waited = 0; waited < limitMs && !timer->isActive(); waited += 10) QTest::qWait(10);
  return timer->isActive();
}

// Runs the event loop until the memo holds `line` (the poll worker's answers are shown on the
// window thread), at most `limitMs`.
inline bool WaitForLogLine(const QPlainTextEdit* memo, const QString& line, int limitMs = 5000) {
  for (int waited = 0; waited < limitMs && !MemoLines(memo).contains(line); waited += 10) {
    QTest::qWait(10);
  }
  return MemoLines(memo).contains(line);
}

// Holds the window's own poll timer (it stays on, as Polling says, but does not fire) and runs
// `count` ticks, each until its step is shown.
inline void RunPollTicks(Form1& window, int count) {
  ASSERT_TRUE(WaitForPolling(window)) << "Polling did not start";
  window.findChild<QTimer*>("Timer1")->start(24 * 3600 * 1000);
  for (int i = 0; i < count; ++i) {
    QSignalSpy shown(&window, &Form1::PollStepShown);
    window.Timer1Timer();
    ASSERT_TRUE(shown.wait(5000)) << "tick " << i << " was not shown";
  }
}

}  // namespace velta::test
