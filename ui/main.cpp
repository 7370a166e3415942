#include <QApplication>
#include <QCoreApplication>
#include <exception>

#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/desktop.h"
#include "ui/forms.h"
#include "ui/program_identity.h"
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
      velta::CurrentDesktop().ShowMessage(QString::fromUtf8(error.what()));
    } catch (...) {
      velta::CurrentDesktop().ShowMessage("Unknown error");
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  Application app(argc, argv);
  QApplication::setApplicationName("VELTA Control");
  QCoreApplication::setOrganizationName("Korvelt");
  velta::SetProgramIdentity(VELTA_APP_ID);
  // The Monitor window is the main window and comes first: it registers the catalogue's
  // exclusions and selects English before any window is translated. The Tank table window
  // belongs to the Settings window, from which it is opened.
  form1 = new Form1;
  form3 = new Form3;
  form2 = new Form2(form3);
  velta::ArmSmokeCheck(*form1);
  form1->show();
  const int result = QApplication::exec();
  delete form2;
  delete form3;
  delete form1;
  return result;
}
