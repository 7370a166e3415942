#include "ui/smoke_check.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QList>
#include <QSize>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <string>

#include "i18n/lookup.h"
#include "ui/text_fit.h"

namespace velta {
namespace {

void Report(const QWidget& window) {
  QList<QSize> sizes = window.windowIcon().availableSizes();
  std::sort(sizes.begin(), sizes.end(),
            [](const QSize& a, const QSize& b) { return a.width() < b.width(); });
  std::string sizeList;
  for (const QSize& size : sizes) sizeList += " " + std::to_string(size.width());
  // Whether this desktop's fonts leave every text of the window whole.
  const QStringList cut = CutTexts(window);
  std::printf("title: %s\ncatalogue: %s\ndesktop file: %s\nicon sizes:%s\ncut texts: %s\n",
              window.windowTitle().toUtf8().constData(), _("Statusabfrage").c_str(),
              QGuiApplication::desktopFileName().toUtf8().constData(), sizeList.c_str(),
              cut.isEmpty() ? "none" : cut.join(", ").toUtf8().constData());
  std::fflush(stdout);
}

// Waits for the window's first show, then reports from the event loop, once the show handlers
// have run.
class ShowWatcher : public QObject {
 public:
  explicit ShowWatcher(QWidget& window) : QObject(&window), window_(window) {
    window.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::Show) {
      window_.removeEventFilter(this);
      QTimer::singleShot(0, this, [this] {
        Report(window_);
        QCoreApplication::quit();
      });
    }
    return false;
  }

 private:
  QWidget& window_;
};

}  // namespace

void ArmSmokeCheck(QWidget& window) {
  if (qgetenv("VELTA_SMOKE_TEST") == "1") new ShowWatcher(window);
}

void NoteMainPageShown() {
  static bool noted = false;
  if (noted || qgetenv("VELTA_SMOKE_TEST") != "main-page") return;
  noted = true;
  std::printf("first Main page shown\n");
  std::fflush(stdout);
  QCoreApplication::quit();
}

}  // namespace velta
