#include "bridge/bridge_config.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "bridge/config_file.h"
#include "bridge/documents.h"
#include "files/regular_file.h"
#include "i18n/lookup.h"
#include "link/numbers.h"

namespace velta::bridge {
namespace {

constexpr int kMaxPassPauseMs = 3'600'000;
constexpr int kMaxCisternLitres = 10'000'000;

bool ValidName(const std::string& name) {
  return !name.empty() && name.size() <= 64 &&
         std::all_of(name.begin(), name.end(), [](char c) {
           return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '-' || c == '_';
         });
}

std::string ParseComPort(const std::string& text, ConnectionSettings& connection) {
  const std::optional<std::int32_t> number = velta::ParseComPort(text);
  if (!number) return Format(V_("takes COM1..COM255, not %s"), Quoted(text).c_str());
  connection.comPort = *number;
  return {};
}

// Takes one key of a controller; the link keys may each be given once per controller.
std::string SetControllerKey(ControllerConfig& controller, const std::string& key,
                             const std::string& value) {
  if (key == "name") {
    if (!ValidName(value)) {
      return Format(V_("a name has letters, digits, '-' and '_' only, not %s"), Quoted(value).c_str());
    }
    controller.name = value;
    return {};
  }
  if (key == "serve") {
    Endpoint serve;
    const std::string error = ParseEndpoint(value, true, serve);
    if (error.empty()) controller.serve = serve;
    return error;
  }
  if (key == "cistern-litres") {
    // Decimal digits only: "0x10" or "1e3" in a number here is a typing error.
    const std::optional<long> litres = ParseDecimal(value, 1, kMaxCisternLitres);
    if (!litres) {
      return Format(V_("takes whole litres 1..%ld, not %s"), static_cast<long>(kMaxCisternLitres),
                    Quoted(value).c_str());
    }
    controller.cisternLitres = static_cast<int>(*litres);
    return {};
  }
  if (key != "tcp" && key != "device" && key != "port") return V_("unknown key");
  if (!controller.link.empty()) return V_("a controller has one link, and it already has ") + controller.link;
  controller.link = key + " " + value;
  if (key == "tcp") {
    Endpoint endpoint;
    const std::string error = ParseEndpoint(value, false, endpoint);
    if (!error.empty()) return error;
    controller.connection.useTcp = true;
    controller.connection.tcpHost = endpoint.host;
    controller.connection.tcpPort = endpoint.port;
    return {};
  }
  if (key == "device") {
    if (value.empty() || value[0] != '/') {
      return Format(V_("takes the path of a device file, not %s"), Quoted(value).c_str());
    }
    controller.connection.devicePath = value;
    return {};
  }
  return ParseComPort(value, controller.connection);
}

// What the [bridge] section or the command line say about the faces.
struct FaceTexts {
  std::string mqtt, mqttUser, mqttPasswordFile, mqttCa, discoveryPrefix, stateDirectory, http, interval;
};

std::string* FaceField(FaceTexts& faces, const std::string& key) {
  if (key == "mqtt") return &faces.mqtt;
  if (key == "mqtt-user") return &faces.mqttUser;
  if (key == "mqtt-password-file") return &faces.mqttPasswordFile;
  if (key == "mqtt-ca") return &faces.mqttCa;
  if (key == "discovery-prefix") return &faces.discoveryPrefix;
  if (key == "state-directory") return &faces.stateDirectory;
  if (key == "http") return &faces.http;
  if (key == "interval") return &faces.interval;
  return nullptr;
}

// The first line of the password file; the password never appears on a command line. A file
// others may read is used, with a warning.
std::string ReadPassword(const std::string& path, std::string& password, std::vector<std::string>& warnings) {
  std::string reason;
  const auto text = ReadRegularFile(path, 4096, reason);
  if (!text) return Format(V_("cannot read %s: %s"), path.c_str(), reason.c_str());
  password = text->substr(0, text->find_first_of("\r\n"));
  if (password.empty()) return Format(V_("%s holds no password on its first line"), path.c_str());
  struct stat file {};
  if (stat(path.c_str(), &file) == 0 && (file.st_mode & S_IRWXO) != 0) {
    warnings.push_back(
        Format(V_("warning: %s may be read by every user of this machine (chmod o-rwx)"), path.c_str()));
  }
  return {};
}

// The credential a service unit hands over with LoadCredential=mqtt-password:FILE.
std::string CredentialFile() {
  const char* directory = std::getenv("CREDENTIALS_DIRECTORY");
  if (!directory || !*directory) return {};
  const std::string path = std::string(directory) + "/mqtt-password";
  return access(path.c_str(), F_OK) == 0 ? path : std::string();
}

// A topic prefix of one or more levels: no wildcards, no empty level at either end.
std::string CheckDiscoveryPrefix(const std::string& prefix) {
  if (prefix.empty() || prefix.size() > 128 || prefix.find_first_of("+#", 0) != std::string::npos ||
      prefix.find('\0') != std::string::npos || prefix.front() == '/' || prefix.back() == '/') {
    return Format(V_("takes a topic prefix such as homeassistant (no '+', '#' or '/' at either end), "
                     "not %s"),
                  Quoted(prefix).c_str());
  }
  return {};
}

std::string DefaultStateDirectory() {
  // systemd may list several folders; the first is the unit's own.
  if (const char* state = std::getenv("STATE_DIRECTORY"); state && *state) {
    const std::string folders = state;
    return folders.substr(0, folders.find(':'));
  }
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/velta-bridge";
  if (const char* home = std::getenv("HOME"); home && *home == '/') {
    return std::string(home) + "/.local/state/velta-bridge";
  }
  return {};
}

// Checks the faces; `where(key)` names the place of a key in error texts.
template <typename Where>
std::string MakeFaces(FaceTexts faces, BridgeConfig& config, Where where) {
  if (!faces.mqtt.empty()) {
    MqttConfig mqtt;
    std::string error = ParseMqttUrl(faces.mqtt, mqtt);
    if (!error.empty()) return where("mqtt") + error;
    mqtt.user = faces.mqttUser;
    if (faces.mqttPasswordFile.empty()) faces.mqttPasswordFile = CredentialFile();
    if (!faces.mqttPasswordFile.empty()) {
      error = ReadPassword(faces.mqttPasswordFile, mqtt.password, config.warnings);
      if (!error.empty()) return where("mqtt-password-file") + error;
    }
    if (!faces.mqttCa.empty()) {
      if (!mqtt.tls) return where("mqtt-ca") + V_("a CA file needs an mqtts:// broker");
      std::string reason;
      if (!ReadRegularFile(faces.mqttCa, kMaxIniFileSize, reason)) {
        return where("mqtt-ca") + Format(V_("cannot read %s: %s"), faces.mqttCa.c_str(), reason.c_str());
      }
      mqtt.caFile = faces.mqttCa;
    }
    mqtt.discoveryPrefix = faces.discoveryPrefix.empty() ? kDefaultDiscoveryPrefix : faces.discoveryPrefix;
    error = CheckDiscoveryPrefix(mqtt.discoveryPrefix);
    if (!error.empty()) return where("discovery-prefix") + error;
    mqtt.stateDirectory = faces.stateDirectory.empty() ? DefaultStateDirectory() : faces.stateDirectory;
    config.mqtt = mqtt;
  } else {
    for (const char* key : {"mqtt-user", "mqtt-password-file", "mqtt-ca", "discovery-prefix", "state-directory"}) {
      if (!FaceField(faces, key)->empty()) {
        return where(key) + V_("is of no use without an MQTT broker (mqtt)");
      }
    }
  }
  if (!faces.http.empty()) {
    Endpoint http;
    const std::string error = ParseEndpoint(faces.http, true, http);
    if (!error.empty()) return where("http") + error;
    config.http = http;
  }
  if (!faces.interval.empty()) {
    const std::optional<long> pause = ParseDecimal(faces.interval, 0, kMaxPassPauseMs);
    if (!pause) {
      return where("interval") + Format(V_("takes milliseconds 0..%ld, not %s"),
                                        static_cast<long>(kMaxPassPauseMs), Quoted(faces.interval).c_str());
    }
    config.passPauseMs = static_cast<int>(*pause);
  }
  return {};
}

// What a controller's link reaches, so two sections on one device or adapter are told apart from
// two on different ones however each names it (COM5 pointed at the same file, a link to it).
std::string LinkTarget(const ConnectionSettings& connection) {
  if (connection.useTcp) return "tcp " + connection.tcpHost + ":" + std::to_string(connection.tcpPort);
  const std::string path = SerialDevicePath(connection);
  if (path.empty()) return "COM" + std::to_string(connection.comPort);
  std::error_code ignored;
  return std::filesystem::weakly_canonical(path, ignored).string();
}

// Names, links, serve addresses and the HTTP address must not collide. `where(i)` names the
// place where controller i was given.
template <typename Where>
std::string CheckControllers(BridgeConfig& config, Where where) {
  std::set<std::string> names, listeners;
  std::map<std::string, std::string> links;  // what a link reaches, and the controller on it
  if (config.http) listeners.insert(config.http->Text());
  for (std::size_t i = 0; i < config.controllers.size(); ++i) {
    ControllerConfig& controller = config.controllers[i];
    if (!names.insert(controller.name).second) {
      return where(i) + V_("a second controller named ") + controller.name;
    }
    const auto [link, added] = links.emplace(LinkTarget(controller.connection), controller.name);
    if (!added) return where(i) + controller.link + " is the link of " + link->second + " already";
    if (controller.serve && !listeners.insert(controller.serve->Text()).second) {
      return where(i) + Format(V_("serve address %s is already taken"), controller.serve->Text().c_str());
    }
  }
  return {};
}

std::optional<BridgeConfig> FromCommandLine(const RawOptions& options, std::string& error) {
  BridgeConfig config;
  ControllerConfig controller;
  controller.name = "velta";
  for (const auto& [key, value] :
       {std::pair<const char*, const std::string&>{"tcp", options.tcp}, {"device", options.device},
        {"port", options.port}, {"name", options.name}, {"serve", options.serve},
        {"cistern-litres", options.cisternLitres}}) {
    if (value.empty()) continue;
    error = SetControllerKey(controller, key, value);
    if (!error.empty()) {
      error = std::string("--") + key + ": " + error;
      return std::nullopt;
    }
  }
  if (controller.link.empty()) {
    error = V_("give the controller's link (--tcp HOST:PORT, --device PATH or --port COMn) or --config FILE");
    return std::nullopt;
  }
  config.controllers.push_back(controller);
  return config;
}

}  // namespace

std::string ParseEndpoint(const std::string& text, bool listening, Endpoint& endpoint) {
  const auto colon = text.rfind(':');
  // A listener given by its port alone stays on loopback.
  const bool portOnly = listening && colon == std::string::npos;
  const std::string host = portOnly ? kLoopback : text.substr(0, colon == std::string::npos ? 0 : colon);
  const std::string port = portOnly ? text : text.substr(colon + 1);
  const std::optional<long> number = ParseDecimal(port, 1, 65535);
  if ((!portOnly && (colon == std::string::npos || host.empty())) ||
      host.find_first_of(" \t/") != std::string::npos || !number) {
    return Format(listening ? V_("takes HOST:PORT with a decimal port 1..65535 (or the port alone for loopback), not %s")
                            : V_("takes HOST:PORT with a decimal port 1..65535, not %s"),
                  Quoted(text).c_str());
  }
  endpoint.host = host;
  endpoint.port = static_cast<std::uint16_t>(*number);
  return {};
}

std::string ParseMqttUrl(const std::string& text, MqttConfig& mqtt) {
  const std::string plain = "mqtt://", secure = "mqtts://";
  const bool tls = text.rfind(secure, 0) == 0;
  if (!tls && text.rfind(plain, 0) != 0) {
    return Format(V_("takes mqtt://HOST[:PORT] or mqtts://HOST[:PORT], not %s"), Quoted(text).c_str());
  }
  std::string rest = text.substr(tls ? secure.size() : plain.size());
  // Not quoted back: the text may hold a password, and error lines go to the journal.
  if (rest.find('@') != std::string::npos) {
    return V_("a user or password does not go into the URL: give them in mqtt-user and "
              "mqtt-password-file");
  }
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  if (rest.find(':') == std::string::npos) rest += tls ? ":8883" : ":1883";
  const std::string error = ParseEndpoint(rest, false, mqtt.broker);
  if (!error.empty()) return Format(V_("takes mqtt://HOST[:PORT] or mqtts://HOST[:PORT], not %s"), Quoted(text).c_str());
  mqtt.url = text;
  mqtt.tls = tls;
  return {};
}

namespace {

constexpr std::array<const char*, 8> kFaceKeys{"mqtt",    "mqtt-user",        "mqtt-password-file",
                                               "mqtt-ca", "discovery-prefix", "state-directory",
                                               "http",    "interval"};

std::optional<BridgeConfig> FromFile(const RawOptions& options, FaceTexts lineFaces,
                                     std::string& error) {
  for (const std::string* given : {&options.tcp, &options.device, &options.port, &options.name,
                                   &options.serve, &options.cisternLitres}) {
    if (!given->empty()) {
      error = V_("with --config the controllers are given in the file, not on the command line");
      return std::nullopt;
    }
  }
  const std::optional<ConfigFile> file = ReadConfigFile(options.configFile, error);
  if (!file) return std::nullopt;
  const auto at = [&](int line) { return options.configFile + ":" + std::to_string(line) + ": "; };
  BridgeConfig config;
  std::vector<int> sectionLines;
  FaceTexts faces;
  for (const ConfigSection& section : file->sections) {
    if (section.name == "bridge") {
      for (const ConfigEntry& entry : section.entries) {
        std::string* field = FaceField(faces, entry.key);
        if (!field) {
          error = at(entry.line) + entry.key + V_(": unknown key in [bridge]");
          return std::nullopt;
        }
        *field = entry.value;
      }
      continue;
    }
    ControllerConfig controller;
    controller.name = section.name;
    for (const ConfigEntry& entry : section.entries) {
      error = SetControllerKey(controller, entry.key, entry.value);
      if (!error.empty()) {
        error = at(entry.line) + entry.key + ": " + error;
        return std::nullopt;
      }
    }
    if (!ValidName(controller.name)) {
      error = at(section.line) +
              Format(V_("[%s]: a name has letters, digits, '-' and '_' only; give the controller a name="),
                     section.name.c_str());
      return std::nullopt;
    }
    if (controller.link.empty()) {
      error = at(section.line) +
              Format(V_("[%s] has no link: give tcp=, device= or port="), section.name.c_str());
      return std::nullopt;
    }
    config.controllers.push_back(controller);
    sectionLines.push_back(section.line);
  }
  if (config.controllers.empty()) {
    error = options.configFile + V_(": no controller section");
    return std::nullopt;
  }
  // The command line wins over the [bridge] section.
  std::set<std::string> fromLine;
  for (const char* key : kFaceKeys) {
    if (FaceField(lineFaces, key)->empty()) continue;
    *FaceField(faces, key) = *FaceField(lineFaces, key);
    fromLine.insert(key);
  }
  const ConfigSection* bridge = file->Find("bridge");
  error = MakeFaces(faces, config, [&](const std::string& key) {
    if (fromLine.count(key)) return "--" + key + ": ";
    return at(bridge ? bridge->LineOf(key) : 0) + key + ": ";
  });
  if (error.empty()) {
    error = CheckControllers(config, [&](std::size_t i) { return at(sectionLines[i]); });
  }
  if (!error.empty()) return std::nullopt;
  return config;
}

// Error lines stop here.
constexpr std::size_t kLongestError = 400;

std::optional<BridgeConfig> MakeConfigUncut(const RawOptions& options, std::string& error) {
  const FaceTexts lineFaces{options.mqtt,   options.mqttUser,        options.mqttPasswordFile,
                            options.mqttCa, options.discoveryPrefix, options.stateDirectory,
                            options.http,   options.interval};
  if (!options.configFile.empty()) return FromFile(options, lineFaces, error);
  std::optional<BridgeConfig> config = FromCommandLine(options, error);
  if (!config) return std::nullopt;
  error = MakeFaces(lineFaces, *config, [](const std::string& key) { return "--" + key + ": "; });
  if (error.empty()) {
    error = CheckControllers(*config, [](std::size_t) { return std::string("--serve: "); });
  }
  if (!error.empty()) return std::nullopt;
  return config;
}

}  // namespace

std::optional<BridgeConfig> MakeConfig(const RawOptions& options, std::string& error) {
  std::optional<BridgeConfig> config = MakeConfigUncut(options, error);
  // Names, keys and paths are echoed as written; a line of any length costs the log one short line.
  if (error.size() > kLongestError) error = error.substr(0, kLongestError) + "...";
  return config;
}

}  // namespace velta::bridge
