#include <nlohmann/json.hpp>

#include "bridge/documents.h"

namespace velta::bridge {
namespace {

std::string UtcText(std::time_t time) {
  std::tm parts{};
  gmtime_r(&time, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

nlohmann::json ReadingJson(const ControllerSnapshot& snapshot) {
  const Reading& r = *snapshot.reading;
  nlohmann::json out;
  out["time"] = UtcText(r.time);
  out["level_percent"] = r.levelPercent ? nlohmann::json(*r.levelPercent) : nullptr;
  if (snapshot.cisternLitres > 0) {
    out["volume_litres"] =
        r.levelPercent ? nlohmann::json(*r.levelPercent * snapshot.cisternLitres / 100) : nullptr;
  }
  out["pressure_bar"] = r.pressureBar;
  out["temperature_celsius"] = r.temperatureCelsius;
  out["pump_running"] = r.pumpRunning;
  out["pump_power_percent"] = r.pumpPowerPercent;
  nlohmann::json errors = nlohmann::json::array();
  std::string codes;
  for (const ErrorFlagText& error : r.errors) {
    errors.push_back({{"code", error.code}, {"text", error.text}});
    codes += (codes.empty() ? "" : " ") + error.code;
  }
  out["errors"] = errors;
  out["error_active"] = !r.errors.empty();
  out["error_codes"] = codes.empty() ? "none" : codes;
  for (int meter = 0; meter < 2; ++meter) {
    if (r.waterMeters[meter]) {
      out["water_meter_" + std::to_string(meter + 1) + "_m3"] = *r.waterMeters[meter];
    }
  }
  return out;
}

}  // namespace

std::string StateTopic(const std::string& name) { return "velta/" + name + "/state"; }
std::string AvailabilityTopic(const std::string& name) { return "velta/" + name + "/availability"; }

std::string StateDocument(const ControllerSnapshot& snapshot) {
  nlohmann::json out = snapshot.reading ? ReadingJson(snapshot) : nlohmann::json::object();
  out["session_open"] = snapshot.sessionOpen;
  return out.dump();
}

std::string StatusDocument(const std::vector<ControllerSnapshot>& snapshots) {
  nlohmann::json controllers = nlohmann::json::array();
  for (const ControllerSnapshot& snapshot : snapshots) {
    controllers.push_back({{"name", snapshot.name},
                           {"link", snapshot.link},
                           {"link_up", snapshot.linkUp},
                           {"session_open", snapshot.sessionOpen},
                           {"firmware", snapshot.firmware},
                           {"exchanges", snapshot.exchanges},
                           {"failed_exchanges", snapshot.failedExchanges},
                           {"state", snapshot.reading ? ReadingJson(snapshot) : nullptr}});
  }
  return nlohmann::json{{"controllers", controllers}}.dump(2) + "\n";
}

}  // namespace velta::bridge
