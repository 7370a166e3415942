#include "ui/Unit3.h"

Form3::Form3(QWidget* parent) : QDialog(parent) {}

void Form3::ResetView() {}
void Form3::SetUpdateButtonVisible(bool) {}
bool Form3::FlowSensorTicked() const { return false; }
