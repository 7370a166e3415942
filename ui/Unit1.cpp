#include "ui/Unit1.h"

#include "ui_Unit1.h"

Form1::Form1(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::Form1>()) {
  ui->setupUi(this);
  setWindowTitle("VEL Control V1.60.0");
}

Form1::~Form1() = default;

void Form1::SetBlueLedCaption(const QString&) {}
