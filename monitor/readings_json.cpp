#include "monitor/readings_json.h"

#include <cmath>

namespace velta {

nlohmann::json ReadingJson(const ReadingValue& value) {
  if (const auto* number = std::get_if<Quantity>(&value)) {
    // Whole numbers stay integers, so 42 is not written 42.0.
    if (number->decimals <= 0) return static_cast<std::int64_t>(std::llround(number->value));
    return number->value;
  }
  if (const auto* flag = std::get_if<bool>(&value)) return *flag;
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* errors = std::get_if<std::vector<ErrorFlagText>>(&value)) {
    nlohmann::json list = nlohmann::json::array();
    for (const ErrorFlagText& error : *errors) list.push_back({{"code", error.code}, {"text", error.text}});
    return list;
  }
  return nullptr;
}

nlohmann::json ReadingsJson(const Readings& readings) {
  nlohmann::json out = nlohmann::json::object();
  for (const ReadingRow& row : ReadingRows()) out[row.key] = ReadingJson(readings[row.id]);
  return out;
}

nlohmann::json ReadingsJson(const Readings& readings, std::time_t when) {
  std::tm parts{};
  gmtime_r(&when, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  nlohmann::json out = ReadingsJson(readings);
  out["time"] = text;
  return out;
}

}  // namespace velta
