#include <QApplication>
#include <QCoreApplication>
#include <csignal>
#include <exception>

#include "i18n/lookup.h"
#include "ui/desktop.h"
#include "ui/program.h"
#include "ui/program_identity.h"
#include "ui/qt_text.h"
#include "ui/smoke_check.h"

namespace {

// An exception that escapes a handler is shown in a message box and the program goes on, instead
// of unwinding through the toolkit's event loop.
class Application : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
      velta::CurrentDesktop().ShowMessage(velta::ToQString(error.what()));
    } catch (...) {
      velta::CurrentDesktop().ShowMessage(velta::ToQString(V_("Unknown error")));
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  // A file grown to the size limit makes the write fail instead of ending the program, so the
  // writers can take back what they wrote.
  std::signal(SIGXFSZ, SIG_IGN);
  Application app(argc, argv);
  QApplication::setApplicationName("VELTA Control");
  QCoreApplication::setOrganizationName("Korvelt");
  velta::SetProgramIdentity(VELTA_APP_ID);
  // The Monitor window is the main window; the others are opened from it.
  velta::Program program;
  velta::ArmSmokeCheck(*program.monitor);
  program.monitor->show();
  return QApplication::exec();
}
