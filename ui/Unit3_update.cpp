#include "ui/Unit3.h"

void Form3::bbUpdateClick() {}
