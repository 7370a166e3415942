#include "tests/support/recording_feedback.h"
