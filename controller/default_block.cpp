#include "controller/default_block.h"

#include <algorithm>

namespace velta {

void LoadDefaultBlock(ControllerImage& image) {
  std::copy(kDefaultBlock.begin(), kDefaultBlock.end(), image.bytes.begin());
}

}  // namespace velta
