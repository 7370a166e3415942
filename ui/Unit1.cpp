#include "ui/Unit1.h"

Form1::Form1(QWidget* parent) : QWidget(parent) { setWindowTitle("VEL Control V1.60.0"); }

Form1::~Form1() = default;

void Form1::SetBlueLedCaption(const QString&) {}
