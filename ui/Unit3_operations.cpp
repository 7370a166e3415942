#include "ui/Unit3.h"

void Form3::bbReadBCClick() {}
void Form3::bbSendBCClick() {}
void Form3::bbLoadClick() {}
void Form3::bSaveClick() {}
void Form3::bbReadHClick() {}
void Form3::bbWriteHClick() {}
void Form3::cbClrChange() {}
void Form3::bbReadErrorClick() {}
void Form3::bbClrErrorClick() {}
void Form3::cbFehlerspeicherChange() {}
void Form3::bbReadTimerClick() {}
