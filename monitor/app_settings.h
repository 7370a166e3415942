// The Application settings of the Monitor window, kept in the settings store (QSettings,
// organisation "Korvelt", application "VELTA").
#pragma once

#include "link/connection.h"
