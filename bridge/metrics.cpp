// The Prometheus text format: for each metric its HELP and TYPE lines, then one sample per
// controller, so a scrape of many bridges aggregates by the controller label.
#include <functional>
#include <optional>
#include <sstream>
#include <string_view>

#include "bridge/documents.h"

namespace velta::bridge {
namespace {

using Value = std::function<std::optional<double>(const ControllerSnapshot&)>;

struct Metric {
  const char* name;
  const char* type;
  const char* help;
  Value value;  // none: no sample for this controller
};

const std::vector<Metric>& Metrics() {
  static const std::vector<Metric> metrics{
      {"velta_link_up", "gauge", "1 while the link to the controller answers, else 0.",
       [](const ControllerSnapshot& s) { return s.linkUp ? 1.0 : 0.0; }},
      {"velta_session_open", "gauge", "1 while a remote service session has the controller.",
       [](const ControllerSnapshot& s) { return s.sessionOpen ? 1.0 : 0.0; }},
      {"velta_exchanges_total", "counter", "Poll exchanges with the controller.",
       [](const ControllerSnapshot& s) { return static_cast<double>(s.exchanges); }},
      {"velta_exchanges_failed_total", "counter",
       "Poll exchanges that got no reply, a short one or one with a wrong sum.",
       [](const ControllerSnapshot& s) { return static_cast<double>(s.failedExchanges); }},
      {"velta_last_reading_timestamp_seconds", "gauge",
       "When the controller's last Main status page came, in seconds since 1970.",
       [](const ControllerSnapshot& s) {
         return s.reading ? std::optional<double>(static_cast<double>(s.reading->time)) : std::nullopt;
       }},
      {"velta_mqtt_connected", "gauge", "1 while the controller's connection to the MQTT broker stands.",
       [](const ControllerSnapshot& s) {
         return s.mqttConnected ? std::optional<double>(*s.mqttConnected ? 1.0 : 0.0) : std::nullopt;
       }},
  };
  return metrics;
}

std::string Labels(const ControllerSnapshot& s, const std::string& more = "") {
  // Names hold letters, digits, '-' and '_' only, so nothing needs escaping.
  return "{controller=\"" + s.name + "\"" + more + "}";
}

}  // namespace

std::string MetricsText(const std::vector<ControllerSnapshot>& snapshots, std::time_t now) {
  std::ostringstream out;
  out.precision(10);
  out << "# HELP velta_build_info The bridge's version.\n# TYPE velta_build_info gauge\n"
      << "velta_build_info{version=\"" << VELTA_VERSION << "\"} 1\n"
      << "# HELP velta_controller_info The controller's firmware, once it told it.\n"
      << "# TYPE velta_controller_info gauge\n";
  for (const ControllerSnapshot& s : snapshots) {
    // Firmware texts are digits and dots, so nothing needs escaping.
    if (!s.firmware.empty()) out << "velta_controller_info" << Labels(s, ",firmware=\"" + s.firmware + "\"") << " 1\n";
  }
  for (const Metric& metric : Metrics()) {
    out << "# HELP " << metric.name << ' ' << metric.help << '\n'
        << "# TYPE " << metric.name << ' ' << metric.type << '\n';
    for (const ControllerSnapshot& s : snapshots) {
      if (const auto value = metric.value(s)) out << metric.name << Labels(s) << ' ' << *value << '\n';
    }
  }
  // The readings: rows that share a metric (the water meters) follow each other in the table.
  const char* described = "";
  for (const ReadingRow& row : ReadingRows()) {
    if (row.metric.name == nullptr) continue;
    if (std::string_view(row.metric.name) != described) {
      out << "# HELP " << row.metric.name << ' ' << row.metric.help << '\n'
          << "# TYPE " << row.metric.name << ' ' << row.metric.type << '\n';
      described = row.metric.name;
    }
    const std::string labels = *row.metric.labels ? std::string(",") + row.metric.labels : "";
    const bool counter = std::string_view(row.metric.type) == "counter";
    for (const ControllerSnapshot& s : snapshots) {
      // A gauge shows the present; one the controller does not give now is absent, not frozen.
      if (!s.reading || (!counter && !ReadingIsLive(s, now))) continue;
      const ReadingValue& value = s.reading->values[row.id];
      if (row.kind == ValueKind::ErrorList) {
        for (const ErrorFlagText& error : s.reading->values.Errors()) {
          out << row.metric.name << Labels(s, ",code=\"" + error.code + "\"") << " 1\n";
        }
      } else if (const std::optional<double> number = NumberOf(value)) {
        out << row.metric.name << Labels(s, labels) << ' ' << *number * row.metric.scale << '\n';
      }
    }
  }
  return out.str();
}

}  // namespace velta::bridge
