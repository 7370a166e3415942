#include "monitor/app_settings.h"
