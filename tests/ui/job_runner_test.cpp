// A window's job on its worker thread: every feedback call reaches the window thread in the order
// the job made it and before RunJob returns, the window thread goes on with its timers meanwhile,
// and the job's result or exception comes back to the handler.
#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/qt_app.h"
#include "ui/job_runner.h"

namespace {

// Writes down each call as a word, and whether any came on another thread than the window's.
class CallRecorder : public velta::Feedback {
 public:
  void Log(const std::string& line) override { Note(line); }
  void ClearLog() override { Note("clear"); }
  void Beep() override { Note("beep"); }
  void SetBarColour(velta::BarColour colour) override {
    Note("colour " + std::to_string(static_cast<int>(colour)));
  }
  void SetBarMaximum(int maximum) override { Note("max " + std::to_string(maximum)); }
  void SetBarPosition(int position) override { Note("at " + std::to_string(position)); }
  void FillBar() override { Note("fill"); }
  void EmptyBar() override { Note("empty"); }
  void Repaint() override { Note("repaint"); }
  void ShowWriteButtons(bool visible) override { Note(visible ? "buttons" : "no buttons"); }

  std::vector<std::string> calls;
  int offThread = 0;

 private:
  void Note(const std::string& call) {
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) ++offThread;
    calls.push_back(call);
  }
};

// Each kind of feedback call, as a job makes it and as the window should see it.
struct Step {
  void (*make)(velta::Feedback&, int);
  std::string (*seen)(int);
};
const Step kSteps[] = {
    {[](velta::Feedback& f, int i) { f.Log("line " + std::to_string(i)); },
     [](int i) { return "line " + std::to_string(i); }},
    {[](velta::Feedback& f, int i) { f.SetBarPosition(i); },
     [](int i) { return "at " + std::to_string(i); }},
    {[](velta::Feedback& f, int) { f.Repaint(); }, [](int) { return std::string("repaint"); }},
    {[](velta::Feedback& f, int i) { f.SetBarMaximum(i); },
     [](int i) { return "max " + std::to_string(i); }},
    {[](velta::Feedback& f, int) { f.FillBar(); }, [](int) { return std::string("fill"); }},
    {[](velta::Feedback& f, int) { f.EmptyBar(); }, [](int) { return std::string("empty"); }},
    {[](velta::Feedback& f, int) { f.Beep(); }, [](int) { return std::string("beep"); }},
    {[](velta::Feedback& f, int) { f.ClearLog(); }, [](int) { return std::string("clear"); }},
    {[](velta::Feedback& f, int) { f.SetBarColour(velta::BarColour::Blue); },
     [](int) { return std::string("colour 2"); }},
    {[](velta::Feedback& f, int i) { f.ShowWriteButtons(i % 2 == 0); },
     [](int i) { return std::string(i % 2 == 0 ? "buttons" : "no buttons"); }},
};

class JobRunnerTest : public ::testing::Test {
 protected:
  JobRunnerTest() { velta::test::EnsureApplication(); }
};

TEST_F(JobRunnerTest, EveryCallReachesTheWindowThreadInOrderBeforeTheJobReturns) {
  CallRecorder window;
  std::vector<std::string> expected;
  constexpr int kRounds = 300;
  for (int i = 0; i < kRounds; ++i) {
    for (const Step& step : kSteps) expected.push_back(step.seen(i));
  }
  velta::RunJob(window, [](velta::Feedback& f) {
    for (int i = 0; i < kRounds; ++i) {
      for (const Step& step : kSteps) step.make(f, i);
    }
  });
  EXPECT_EQ(window.offThread, 0) << "a window's feedback ran on the worker";
  ASSERT_EQ(window.calls.size(), expected.size());
  EXPECT_EQ(window.calls, expected);
}

TEST_F(JobRunnerTest, TheJobRunsOnAnotherThreadWhileTheWindowThreadKeepsItsTimers) {
  CallRecorder window;
  std::atomic<int> ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(10);
  const auto jobThread = velta::RunJob(window, [&](velta::Feedback&) {
    // Blocks like an exchange with a peer that does not answer, until the window has ticked.
    for (int i = 0; i < 500 && ticks < 5; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return std::this_thread::get_id();
  });
  EXPECT_NE(jobThread, std::this_thread::get_id());
  EXPECT_GE(ticks, 5) << "the window thread stood still during the job";
}

TEST_F(JobRunnerTest, ResultsAndExceptionsComeBackToTheHandler) {
  CallRecorder window;
  EXPECT_EQ(velta::RunJob(window, [](velta::Feedback&) { return std::string("block"); }), "block");
  EXPECT_THROW(velta::RunJob(window,
                             [](velta::Feedback& f) -> int {
                               f.Log("before");
                               throw std::runtime_error("job failed");
                             }),
               std::runtime_error);
  EXPECT_EQ(window.calls, std::vector<std::string>{"before"});
}

}  // namespace
