#include "ui/job_runner.h"

#include <QEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <exception>
#include <thread>

namespace velta {
namespace {

// Hands each feedback call of the worker to the window thread as a queued call on `receiver`, a
// window-thread object; queued calls run in the order they were posted. Data is copied, since
// the worker's buffers change on after the call.
class RelayFeedback : public Feedback {
 public:
  RelayFeedback(QObject& receiver, Feedback& window) : receiver_(receiver), window_(window) {}

  void Log(const std::string& line) override {
    Post([line](Feedback& window) { window.Log(line); });
  }
  void ClearLog() override {
    Post([](Feedback& window) { window.ClearLog(); });
  }
  void Beep() override {
    Post([](Feedback& window) { window.Beep(); });
  }
  void SetBarColour(BarColour colour) override {
    Post([colour](Feedback& window) { window.SetBarColour(colour); });
  }
  void SetBarMaximum(int maximum) override {
    Post([maximum](Feedback& window) { window.SetBarMaximum(maximum); });
  }
  void SetBarPosition(int position) override {
    Post([position](Feedback& window) { window.SetBarPosition(position); });
  }
  void FillBar() override {
    Post([](Feedback& window) { window.FillBar(); });
  }
  void EmptyBar() override {
    Post([](Feedback& window) { window.EmptyBar(); });
  }
  void Repaint() override {
    Post([](Feedback& window) { window.Repaint(); });
  }
  void ShowWriteButtons(bool visible) override {
    Post([visible](Feedback& window) { window.ShowWriteButtons(visible); });
  }

 private:
  template <typename Call>
  void Post(Call call) {
    QMetaObject::invokeMethod(
        &receiver_, [call = std::move(call), &window = window_] { call(window); },
        Qt::QueuedConnection);
  }

  QObject& receiver_;
  Feedback& window_;
};

// Input a person gives; painting, timers and the program's own calls are none of it.
bool IsUserInput(const QEvent& event) {
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return true;
    case QEvent::Close:
      // The window manager's close button; a close the program makes itself goes through.
      return event.spontaneous();
    default:
      return false;
  }
}

// Installed on the application for the length of a job: input to any window is dropped, not
// kept for later, so a click on a greyed button or on another window never runs afterwards.
class InputDropper : public QObject {
 public:
  InputDropper() { QCoreApplication::instance()->installEventFilter(this); }
  ~InputDropper() override { QCoreApplication::instance()->removeEventFilter(this); }
  InputDropper(const InputDropper&) = delete;
  InputDropper& operator=(const InputDropper&) = delete;

  bool eventFilter(QObject*, QEvent* event) override {
    if (!IsUserInput(*event)) return false;
    event->ignore();
    return true;
  }
};

}  // namespace

void RunOnWorker(Feedback& windowFeedback, const std::function<void(Feedback&)>& job) {
  QObject receiver;
  RelayFeedback relay(receiver, windowFeedback);
  InputDropper dropper;
  QEventLoop loop;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      job(relay);
    } catch (...) {
      failure = std::current_exception();
    }
    // Posted after every feedback call of the job, so the loop ends once they have all run.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  // The loop ends early only when the program quits; the job still ends, and its feedback runs.
  worker.join();
  QCoreApplication::sendPostedEvents(&receiver, QEvent::MetaCall);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace velta
