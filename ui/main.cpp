#include <QApplication>

#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/forms.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("VELTA Control");
  form1 = new Form1;
  form3 = new Form3;
  form2 = new Form2(form3);  // a child of the Settings window stays usable while that runs modally
  form1->show();
  return QApplication::exec();
}
