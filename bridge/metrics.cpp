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
    for (const ControllerSnapshot& s : snapshots) {
      if (!s.reading) continue;
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
