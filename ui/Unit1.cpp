#include "ui/Unit1.h"

Form1::Form1(QWidget* parent) : QWidget(parent) { setWindowTitle("VEL Control V1.60.0"); }

void Form1::SetBlueLedCaption(const QString&) {}
