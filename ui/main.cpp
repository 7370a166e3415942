#include <QApplication>
#include <QCoreApplication>

#include "i18n/lookup.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/forms.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("VELTA Control");
  QCoreApplication::setOrganizationName("Korvelt");
  // The texts are German in the program and shown in English from the catalogue beside it.
  velta::UseLanguage("en");
  // Monitor window first: it is the main window; the other two are opened from the Settings window.
  form1 = new Form1;
  form3 = new Form3;
  form2 = new Form2(form3);
  form1->show();
  const int result = QApplication::exec();
  delete form2;
  delete form3;
  delete form1;
  return result;
}
