// Arbitrary bytes as the bridge's configuration file, as a broker URL and as a listening or
// connecting address: every parse ends with a configuration or one error line, never a crash, and
// an error line never holds more than the cut quote of a faulty line.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "bridge/bridge_config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  velta::bridge::MqttConfig mqtt;
  velta::bridge::ParseMqttUrl(text, mqtt);
  velta::bridge::Endpoint endpoint;
  velta::bridge::ParseEndpoint(text, true, endpoint);
  velta::bridge::ParseEndpoint(text, false, endpoint);

  static const int file = memfd_create("bridge.conf", MFD_CLOEXEC);
  if (ftruncate(file, 0) != 0 || pwrite(file, data, size, 0) != static_cast<ssize_t>(size)) return 0;
  velta::bridge::RawOptions options;
  options.configFile = "/proc/self/fd/" + std::to_string(file);
  std::string error;
  const bool accepted = velta::bridge::MakeConfig(options, error).has_value();
  if (accepted != error.empty() || error.size() > 403 || error.find('\n') != std::string::npos) {
    __builtin_trap();
  }
  return 0;
}
