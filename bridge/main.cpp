// velta-bridge: watches controllers unattended and offers them over MQTT, HTTP and remote service
// sessions. Exit codes: 0 stopped by a signal, 1 refused options or configuration, 2 an address to
// listen on could not be taken.
#include <CLI/CLI.hpp>
#include <clocale>
#include <csignal>
#include <cstdio>

#include "bridge/bridge.h"
#include "i18n/lookup.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  // The controller's error texts in English; the bridge's own lines are English as written.
  velta::UseLanguage("en");
  velta::bridge::RawOptions raw;
  CLI::App app{"velta-bridge: watches VEL pump controllers and offers them over MQTT (with Home "
               "Assistant discovery), HTTP (/status, /metrics) and remote service sessions"};
  app.name("velta-bridge");
  app.add_option("--tcp", raw.tcp, "host:port of the controller's serial-to-Ethernet adapter");
  app.add_option("--device", raw.device, "Serial device file, e.g. /dev/ttyUSB0");
  app.add_option("--port", raw.port, "Serial port COM1..COM255 (9600 8N1)");
  app.add_option("--name", raw.name, "The controller's id in topics, metrics and log lines");
  app.add_option("--serve", raw.serve, "ADDR:PORT for remote service sessions (loopback if only a port)");
  app.add_option("--cistern-litres", raw.cisternLitres, "The cistern's volume, for the volume in litres");
  app.add_option("--mqtt", raw.mqtt, "Broker URL, mqtt://host:port or mqtts://host:port");
  app.add_option("--mqtt-user", raw.mqttUser, "User name at the broker");
  app.add_option("--mqtt-password-file", raw.mqttPasswordFile, "File whose first line is the password");
  app.add_option("--mqtt-ca", raw.mqttCa, "CA certificate file for mqtts://");
  app.add_option("--discovery-prefix", raw.discoveryPrefix, "Home Assistant's discovery prefix (default homeassistant)");
  app.add_option("--state-directory", raw.stateDirectory,
                 "Where to remember the announced controllers (default $STATE_DIRECTORY, else ~/.local/state/velta-bridge)");
  app.add_option("--http", raw.http, "ADDR:PORT for GET /status and /metrics (loopback if only a port)");
  app.add_option("--interval", raw.interval, "Pause between poll passes in ms (default 200)");
  app.add_option("--config", raw.configFile, "INI file: a [bridge] section and one section per controller");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    app.exit(error);
    return velta::bridge::kExitRefused;
  }

  std::string error;
  const std::optional<velta::bridge::BridgeConfig> config = velta::bridge::MakeConfig(raw, error);
  if (!config) {
    std::fprintf(stderr, "velta-bridge: %s\n", error.c_str());
    return velta::bridge::kExitRefused;
  }
  for (const std::string& warning : config->warnings) std::fprintf(stderr, "velta-bridge: %s\n", warning.c_str());
  return velta::bridge::RunBridge(*config);
}
