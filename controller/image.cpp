#include "controller/image.h"
