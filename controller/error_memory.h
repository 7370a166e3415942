// The controller's error memory: one count per error kind at addresses 64..74, in the order of
// the error choice list.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "controller/feedback.h"
#include "controller/image.h"
#include "link/channel_handle.h"
#include "link/connection.h"

namespace velta {

// The read-out: an empty line, the heading and one "label count" line per error kind.
std::vector<std::string> ErrorMemoryLines(const ControllerImage& image);

// The read that covers the error memory: addresses 0..kErrorMemoryReadLast.
inline constexpr int kErrorMemoryReadLast = 81;

// Copies the counts of a read of 0..kErrorMemoryReadLast into the image and logs the read-out.
void ListErrorMemory(std::span<const std::uint8_t> read, Feedback& feedback,
                     ControllerImage& image);

// Sets the count of error kind `index` (0..10) to 0 in the controller; the image is unchanged
// until the next read.
bool ClearErrorCounter(const ChannelHandle& channel, const ConnectionSettings& settings,
                       Feedback& feedback, int index);

}  // namespace velta
