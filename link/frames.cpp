#include "link/frames.h"

namespace velta {

std::uint8_t Checksum(std::span<const std::uint8_t> bytes) {
  unsigned sum = 0;
  for (std::uint8_t b : bytes) sum += b;
  return static_cast<std::uint8_t>(sum & 0xFF);
}

Frame BuildFrame(std::uint8_t command, std::uint8_t argument1, std::uint8_t argument2) {
  Frame frame{command, argument1, argument2, 0};
  frame[3] = Checksum(std::span(frame).first(3));
  return frame;
}

Frame StatusRequest(std::uint8_t code) { return BuildFrame(kStatusCommand, 0x00, code); }

Frame ReadRequest(std::uint16_t first, std::uint16_t last) {
  const unsigned address = first & 0x7FF;
  return BuildFrame(static_cast<std::uint8_t>(kReadCommand | (address >> 8)),
                    static_cast<std::uint8_t>(address & 0xFF),
                    static_cast<std::uint8_t>((last - first + 1) & 0xFF));
}

Frame WriteRequest(std::uint8_t writeBase, std::uint16_t address, std::uint8_t value) {
  const unsigned masked = address & 0x7FF;
  return BuildFrame(static_cast<std::uint8_t>(writeBase | (masked >> 8)),
                    static_cast<std::uint8_t>(masked & 0xFF), value);
}

}  // namespace velta
