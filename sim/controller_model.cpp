#include "link/frames.h"
