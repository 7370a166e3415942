// The controller's error memory: one count per error kind at addresses 64..74, in the order of
// the error choice list.
#pragma once

#include <string>
#include <vector>

#include "controller/feedback.h"
#include "controller/image.h"
#include "link/connection.h"

namespace velta {

// The read-out: an empty line, the heading and one "label count" line per error kind.
std::vector<std::string> ErrorMemoryLines(const ControllerImage& image);

// Reads addresses 0..81, copies the counts into the image and logs the read-out. False (nothing
// listed) when the read failed.
bool ReadErrorMemory(const ConnectionSettings& settings, Feedback& feedback,
                     ControllerImage& image);

// Sets the count of error kind `index` (0..10) to 0 in the controller; the image is unchanged
// until the next read.
bool ClearErrorCounter(const ConnectionSettings& settings, Feedback& feedback, int index);

}  // namespace velta
