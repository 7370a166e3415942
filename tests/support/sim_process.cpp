#include "tests/support/sim_process.h"
