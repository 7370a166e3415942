// The table of readings: every value the controller reports, one row each, with its quantity,
// unit and decimals and the name it has in every output: the measurement log's CSV column, the key
// in `velta-cli --json`, the bridge's MQTT state document and /status, the Home Assistant entity and
// the Prometheus metric. The page decoders fill typed values once; every output is generated from
// the rows. A new reading is one row here and a line in its decoder.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace velta {

// In the order the measurement log writes its columns, then the rest.
enum class ReadingId : std::uint8_t {
  Level,
  Pressure,
  PumpPower,
  PumpRunning,
  PumpAverage,
  Temperature,
  ErrorByte1,
  ErrorByte2,
  WaterMeter1,
  WaterMeter2,
  Volume,
  Errors,
  ErrorActive,
  ErrorCodes,
  HandMode,
  SensorMin,
  SensorMax,
  Valve,
  WriteEnabled,
  PumpHours,
  PumpStarts,
  LeakStarts,
  ModuleRinse,
  FilterRinse,
  LevelRaw,
  PressureRaw,
  TemperatureRaw,
  PumpRunThisHour,
  WriteEnableTime,
  Firmware,
  Count
};
constexpr std::size_t kReadingCount = static_cast<std::size_t>(ReadingId::Count);

// An error flag of the Main status page as the controller's display names it, with its text.
struct ErrorFlagText {
  std::string code;  // "Er.P"; the backflow error, which has no display code, is "Overflow"
  std::string text;  // translated
};

// A number with the decimals it came with (a water meter tells its own).
struct Quantity {
  double value;
  int decimals;
};
// None: the controller has not given this value (no level with float switches only, a page that
// has not come yet).
using ReadingValue =
    std::variant<std::monostate, Quantity, bool, std::string, std::vector<ErrorFlagText>>;

enum class ValueKind { Number, Flag, Text, ErrorList };

struct ReadingRow {
  ReadingId id;
  const char* name;  // for people and the Home Assistant entity: "Pressure" (English, VN_)
  const char* unit;  // "%", "bar", "°C", "m³", "L", "h", "s"; "" for none
  int decimals;      // of a number, unless the value brings its own
  ValueKind kind;
  const char* csvColumn;  // the measurement log's column; nullptr: not logged
  // The key in `velta-cli --json`, the MQTT state document and /status, unit in the name.
  const char* key;
  // Listed before its value came (Home Assistant, tables); the others once the controller told it.
  bool alwaysListed;
  struct {
    const char* component;  // nullptr: no entity
    const char* deviceClass;
    const char* stateClass;
    const char* entityCategory;
  } homeAssistant;
  struct {
    const char* name;  // nullptr: no metric
    const char* type;
    const char* labels;  // `meter="1"`; "" for none
    double scale;        // the sample is the value times this (percent as a ratio)
    const char* help;
  } metric;
};

std::span<const ReadingRow> ReadingRows();
const ReadingRow& RowOf(ReadingId id);

// The values of the readings as one poll step or a whole watch has them.
class Readings {
 public:
  const ReadingValue& operator[](ReadingId id) const { return values_[Index(id)]; }
  bool Known(ReadingId id) const { return !std::holds_alternative<std::monostate>((*this)[id]); }
  // Given by the step that made these readings, even when given as none.
  bool Given(ReadingId id) const { return given_[Index(id)]; }
  bool NoneGiven() const { return given_.none(); }

  void Set(ReadingId id, ReadingValue value);
  // A number with the row's decimals.
  void SetNumber(ReadingId id, double value);
  void SetNone(ReadingId id) { Set(id, std::monostate{}); }
  // Takes every value `newer` was given.
  void Merge(const Readings& newer);

  const std::vector<ErrorFlagText>& Errors() const;

 private:
  static std::size_t Index(ReadingId id) { return static_cast<std::size_t>(id); }
  std::array<ReadingValue, kReadingCount> values_{};
  std::bitset<kReadingCount> given_;
};

// The active errors of the error pair (E1, E2), with the rows that follow from them.
void SetErrors(Readings& readings, std::uint8_t e1, std::uint8_t e2,
               std::vector<ErrorFlagText> active);

// A value as a number for a metric sample: a flag is 1 or 0; none for text and lists.
std::optional<double> NumberOf(const ReadingValue& value);
// A value in plain text without unit: "3.4", "1", "Er.b Er.P"; empty for none.
std::string PlainText(const ReadingValue& value);

// A value as a person reads it, with its row's unit: "3.4 bar", "yes", "Er.b Er.P"; "no value" for
// none.
std::string TextWithUnit(const ReadingRow& row, const ReadingValue& value);

// The measurement log's columns, after its time column.
std::vector<const ReadingRow*> CsvRows();

}  // namespace velta
