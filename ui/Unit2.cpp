#include "ui/Unit2.h"

Form2::Form2(QWidget* parent) : QDialog(parent) {}
