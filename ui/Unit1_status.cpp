#include "ui/Unit1.h"

void Form1::Timer1Timer() {}
void Form1::ResetPollForStart() {}
bool Form1::View3D() const { return false; }
void Form1::SetView3D(bool) {}
void Form1::MemoErrorDblClick() {}
void Form1::MemoErrorStoreDblClick() {}
void Form1::edFileDblClick() {}
void Form1::imgStoreClick() {}
void Form1::Image1Click() {}
void Form1::Chart1Click() {}
void Form1::bbClrErrorClick() {}
void Form1::bbWriteEnableClick() {}
