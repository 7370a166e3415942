// What the bridge is told to do: the controllers it watches and the faces it offers (MQTT, HTTP,
// service sessions), from the command line or from an INI file. Everything is checked here, before
// any port, socket or broker connection is opened.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/connection.h"

namespace velta::bridge {

// A listening or connecting address: a host name or dotted address and a port.
struct Endpoint {
  std::string host;
  std::uint16_t port = 0;
  std::string Text() const { return host + ":" + std::to_string(port); }
};

struct ControllerConfig {
  std::string name;  // letters, digits, '-' and '_': the id in topics, metrics and log lines
  std::string link;  // how the link was given, for log lines: "tcp 10.0.0.7:10001"
  ConnectionSettings connection;
  std::optional<Endpoint> serve;
  int cisternLitres = 0;  // 0: the cistern's volume is not known, only its level
};

struct MqttConfig {
  std::string url;  // as given, for log lines
  bool tls = false;
  Endpoint broker;
  std::string user;
  std::string password;  // read from the password file
  std::string caFile;
  std::string discoveryPrefix;  // Home Assistant's discovery prefix, "homeassistant" unless given
  // Where the bridge keeps what it announced, to remove the entities of controllers taken out of
  // the configuration: --state-directory, else systemd's $STATE_DIRECTORY, else the user's
  // $XDG_STATE_HOME/velta-bridge (~/.local/state/velta-bridge).
  std::string stateDirectory;
};

// Every listener defaults to loopback; a wider address must be written out.
constexpr const char* kLoopback = "127.0.0.1";
// As the window polls: the pass's first step follows the last one after the usual 200 ms.
constexpr int kDefaultPassPauseMs = 200;

struct BridgeConfig {
  std::vector<ControllerConfig> controllers;
  std::vector<std::string> warnings;  // said at start; nothing refused
  std::optional<MqttConfig> mqtt;
  std::optional<Endpoint> http;
  int passPauseMs = kDefaultPassPauseMs;  // --interval: the pause between poll passes
};

// The options as the user wrote them, before checking. Empty means not given.
struct RawOptions {
  std::string tcp, device, port, name, serve, cisternLitres;
  std::string mqtt, mqttUser, mqttPasswordFile, mqttCa, discoveryPrefix, stateDirectory, http, interval;
  std::string configFile;
};

// Checks the options and, with a config file, reads it. On failure returns nothing and sets
// `error` to one line: "FILE:LINE: what is wrong" for a fault in the file.
std::optional<BridgeConfig> MakeConfig(const RawOptions& options, std::string& error);

// Pieces the checks are made of, each returning an error text (empty when the value is good).
std::string ParseEndpoint(const std::string& text, bool listening, Endpoint& endpoint);
std::string ParseMqttUrl(const std::string& text, MqttConfig& mqtt);

}  // namespace velta::bridge
