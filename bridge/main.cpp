// velta-bridge: watches controllers unattended and offers them over MQTT, HTTP and remote service
// sessions. Exit codes: 0 stopped by a signal, 1 refused options or configuration, 2 an address to
// listen on could not be taken.
#include <CLI/CLI.hpp>
#include <clocale>
#include <csignal>
#include <cstdio>

#include "bridge/bridge.h"
#include "i18n/command_line.h"
#include "i18n/language.h"
#include "i18n/lookup.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  velta::UseLanguage(velta::ChooseLanguage(velta::LanguageArgument({argv, argv + argc})));
  velta::bridge::RawOptions raw;
  CLI::App app{VN_("velta-bridge: watches VEL pump controllers and offers them over MQTT (with "
                   "Home Assistant discovery), HTTP (/status, /metrics) and remote service "
                   "sessions")};
  app.name("velta-bridge");
  app.add_option("--tcp", raw.tcp, VN_("host:port of the controller's serial-to-Ethernet adapter"));
  app.add_option("--device", raw.device, VN_("Serial device file, e.g. /dev/ttyUSB0"));
  app.add_option("--port", raw.port, VN_("Serial port COM1..COM255 (9600 8N1)"));
  app.add_option("--name", raw.name, VN_("The controller's id in topics, metrics and log lines"));
  app.add_option("--serve", raw.serve, VN_("ADDR:PORT for remote service sessions (loopback if only a port)"));
  app.add_option("--cistern-litres", raw.cisternLitres, VN_("The cistern's volume, for the volume in litres"));
  app.add_option("--mqtt", raw.mqtt, VN_("Broker URL, mqtt://host:port or mqtts://host:port"));
  app.add_option("--mqtt-user", raw.mqttUser, VN_("User name at the broker"));
  app.add_option("--mqtt-password-file", raw.mqttPasswordFile, VN_("File whose first line is the password"));
  app.add_option("--mqtt-ca", raw.mqttCa, VN_("CA certificate file for mqtts://"));
  app.add_option("--discovery-prefix", raw.discoveryPrefix, VN_("Home Assistant's discovery prefix (default homeassistant)"));
  app.add_option("--state-directory", raw.stateDirectory,
                 VN_("Where to remember the announced controllers (default $STATE_DIRECTORY, else ~/.local/state/velta-bridge)"));
  app.add_option("--http", raw.http, VN_("ADDR:PORT for GET /status and /metrics (loopback if only a port)"));
  app.add_option("--interval", raw.interval, VN_("Pause between poll passes in ms (default 200)"));
  app.add_option("--config", raw.configFile, VN_("INI file: a [bridge] section and one section per controller"));
  std::string language;
  velta::AddLanguageOption(app, language);
  velta::TranslateHelp(app);
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
