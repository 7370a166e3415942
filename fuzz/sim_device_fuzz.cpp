// Arbitrary bytes on the simulated controller's line: request frames, line noise and boot
// loader traffic in any order must never crash it or read outside its memory.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "sim/device.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velta::sim::Device device;
  device.Set("writeenable", "always");
  // A leading text line up to the first newline is a fault description for the run.
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto newline = text.find('\n');
  if (newline != std::string_view::npos && newline < 40) {
    device.AddFault(text.substr(0, newline));
    data += newline + 1;
    size -= newline + 1;
  }
  velta::sim::LinkState link;
  double now = 0;
  // Bytes arrive in chunks of up to 7, with time passing between them.
  while (size > 0) {
    const std::size_t chunk = std::min<std::size_t>(size, 1 + data[0] % 7);
    velta::sim::DeviceOutput out;
    device.Receive(link, std::span(data, chunk), now, out);
    now += 0.05 * (data[0] & 7);
    data += chunk;
    size -= chunk;
  }
  return 0;
}
