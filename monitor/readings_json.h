// The readings as JSON data: numbers as numbers in the row's unit, flags as booleans, null where
// the controller gave no value, active errors as a list of code and text.
#pragma once

#include <ctime>
#include <nlohmann/json.hpp>

#include "monitor/readings.h"

namespace velta {

nlohmann::json ReadingJson(const ReadingValue& value);
// Every row under its key, and under "time" when the Main page came, in UTC ("...T21:00:05Z").
nlohmann::json ReadingsJson(const Readings& readings);
nlohmann::json ReadingsJson(const Readings& readings, std::time_t when);

}  // namespace velta
