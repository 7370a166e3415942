// The Prometheus text format: for each metric its HELP and TYPE lines, then one sample per
// controller, so a scrape of many bridges aggregates by the controller label.
#include <functional>
#include <optional>
#include <sstream>

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

std::optional<double> FromReading(const ControllerSnapshot& s,
                                  const std::function<std::optional<double>(const Reading&)>& take) {
  return s.reading ? take(*s.reading) : std::nullopt;
}

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
      {"velta_level_ratio", "gauge", "Cistern level, 0 empty to 1 full (not with float switches).",
       [](const ControllerSnapshot& s) {
         return FromReading(s, [](const Reading& r) -> std::optional<double> {
           if (!r.levelPercent) return std::nullopt;
           return *r.levelPercent / 100.0;
         });
       }},
      {"velta_pressure_bar", "gauge", "Water pressure behind the pump in bar.",
       [](const ControllerSnapshot& s) {
         return FromReading(s, [](const Reading& r) { return std::optional(r.pressureBar); });
       }},
      {"velta_temperature_celsius", "gauge", "Temperature inside the controller.",
       [](const ControllerSnapshot& s) {
         return FromReading(s, [](const Reading& r) {
           return std::optional<double>(r.temperatureCelsius);
         });
       }},
      {"velta_pump_running", "gauge", "1 while the pump runs.",
       [](const ControllerSnapshot& s) {
         return FromReading(s, [](const Reading& r) { return std::optional(r.pumpRunning ? 1.0 : 0.0); });
       }},
      {"velta_pump_power_ratio", "gauge", "Pump power, 0 off to 1 full.",
       [](const ControllerSnapshot& s) {
         return FromReading(s, [](const Reading& r) {
           return std::optional(r.pumpPowerPercent / 100.0);
         });
       }},
  };
  return metrics;
}

std::string Labels(const ControllerSnapshot& s, const std::string& more = "") {
  // Names hold letters, digits, '-' and '_' only, so nothing needs escaping.
  return "{controller=\"" + s.name + "\"" + more + "}";
}

}  // namespace

std::string MetricsText(const std::vector<ControllerSnapshot>& snapshots) {
  std::ostringstream out;
  out.precision(10);
  for (const Metric& metric : Metrics()) {
    out << "# HELP " << metric.name << ' ' << metric.help << '\n'
        << "# TYPE " << metric.name << ' ' << metric.type << '\n';
    for (const ControllerSnapshot& s : snapshots) {
      if (const auto value = metric.value(s)) out << metric.name << Labels(s) << ' ' << *value << '\n';
    }
  }
  out << "# HELP velta_water_meter_cubic_meters_total Water meter reading.\n"
         "# TYPE velta_water_meter_cubic_meters_total counter\n";
  for (const ControllerSnapshot& s : snapshots) {
    for (int meter = 0; s.reading && meter < 2; ++meter) {
      if (!s.reading->waterMeters[meter]) continue;
      out << "velta_water_meter_cubic_meters_total"
          << Labels(s, ",meter=\"" + std::to_string(meter + 1) + "\"") << ' '
          << *s.reading->waterMeters[meter] << '\n';
    }
  }
  out << "# HELP velta_error_active 1 for each error the controller reports now.\n"
         "# TYPE velta_error_active gauge\n";
  for (const ControllerSnapshot& s : snapshots) {
    for (std::size_t i = 0; s.reading && i < s.reading->errors.size(); ++i) {
      out << "velta_error_active" << Labels(s, ",code=\"" + s.reading->errors[i].code + "\"")
          << " 1\n";
    }
  }
  return out.str();
}

}  // namespace velta::bridge
