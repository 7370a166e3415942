// The Parameter block the program starts from before the registry cache or the controller says
// otherwise.
#pragma once

#include <array>
#include <cstdint>

#include "controller/image.h"

namespace velta {

inline constexpr std::array<std::uint8_t, kParameterBlockSize> kDefaultBlock = {
    3, 3,   5, 1,  78,  32,  1, 43, 1,  100, 35, 20,  0,   3,   20,  20, 7,   58,
    0, 172, 1, 71, 30,  123, 0, 0,  37, 10,  95, 195, 1,   183, 0,   22, 135, 211,
    1, 183, 0, 96, 143, 61,  0, 0,  10, 48,  99, 5,   185, 2,   221, 141};

// Bytes 0..51 := the Default block; the rest of the image is left alone.
void LoadDefaultBlock(ControllerImage& image);

}  // namespace velta
