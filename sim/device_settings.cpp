// The settings of the simulated controller by name: the command line's --set, the scenario
// file and the control port's "set" all come through Device::Set.
#include <iomanip>
#include <sstream>

#include "sim/device.h"
#include "sim/hex.h"

namespace velta::sim {

namespace {

struct FlagSetting {
  const char* name;
  bool LiveState::*field;
  const char* help;
};
constexpr FlagSetting kFlags[] = {
    {"watermeter", &LiveState::waterMeter, "water meter present (page 15 polled)"},
    {"modulerinse", &LiveState::moduleRinse, "module rinse configured (page 10 polled)"},
    {"filter", &LiveState::filterRinse, "filter rinse configured; 0: page 11 reads FF FF FF FF"},
    {"levelsensor", &LiveState::levelSensor, "level measurement on"},
    {"flow", &LiveState::flowSensor, "flow sensor on"},
    {"sensormin", &LiveState::sensorMin, "input SensorMin on"},
    {"sensormax", &LiveState::sensorMax, "input SensorMax on"},
    {"backflow", &LiveState::backflowSensor, "backflow sensor on (red LED)"},
    {"button", &LiveState::buttonPressed, "front panel button pressed"},
    {"hand", &LiveState::hand, "manual mode instead of automatic"},
    {"beep", &LiveState::beep, "warning tone on"},
    {"overflow", &LiveState::overflowAlarm, "overflow alarm shown"},
    {"pumpoff", &LiveState::pumpSwitchedOff, "pump switched off"},
    {"blueled", &LiveState::blueLed, "blue LED lit"},
    {"makeup", &LiveState::makeUp, "supplying mains make-up water"},
    {"valve", &LiveState::valve, "valve output on"},
    {"rinse", &LiveState::rinseRunning, "module rinse running"},
    {"meterindicator", &LiveState::meterIndicator, "water meter pulse indicator"},
};

struct NumberSetting {
  const char* name;
  int LiveState::*intField;
  double LiveState::*realField;
  long long maximum;
  const char* help;
};
constexpr NumberSetting kNumbers[] = {
    {"level", nullptr, &LiveState::level, 255, "cistern level, percent"},
    {"pump", &LiveState::pumpPower, nullptr, 255, "pump power, 0 = off"},
    {"pressure", &LiveState::pressure, nullptr, 255, "pressure, tenths of a bar"},
    {"temp", &LiveState::temperatureRaw, nullptr, 255, "temperature sensor byte"},
    {"mean", &LiveState::meanPower, nullptr, 255, "percent in the pump group, 255 = none"},
    {"runticks", nullptr, &LiveState::runTicks, 65535, "pump run time this hour, ticks"},
    {"leak", &LiveState::leakStarts, nullptr, 255, "leak start count"},
    {"modulerinsetime", nullptr, &LiveState::moduleRinseTicks, 0xFFFFFFFF, "module rinse time, ticks"},
    {"rinseprogress", nullptr, &LiveState::rinseProgressTicks, 65535, "running rinse time, ticks"},
    {"filtertime", nullptr, &LiveState::filterRinseTicks, 0xFFFFFFFF, "filter rinse time, ticks"},
    {"historyinterval", nullptr, &LiveState::historyInterval, 86400, "seconds per history sample, 0 = none"},
};

struct CounterSetting {
  const char* name;
  int address;
  const char* help;
};
constexpr CounterSetting kCounters[] = {
    {"mains", kMainsMeterAddress, "mains water meter pulses (52..55)"},
    {"cistern", kCisternMeterAddress, "cistern water meter pulses (56..59)"},
    {"starts", kPumpStartsAddress, "pump starts (84..87)"},
};

std::optional<bool> ParseFlag(std::string_view value) {
  if (value == "1" || value == "on" || value == "yes" || value == "true") return true;
  if (value == "0" || value == "off" || value == "no" || value == "false") return false;
  return std::nullopt;
}

std::string Bad(std::string_view key, std::string_view value) {
  return "bad value for " + std::string(key) + ": " + std::string(value);
}

}  // namespace

std::string Device::Set(std::string_view key, std::string_view value) {
  for (const auto& f : kFlags) {
    if (key != f.name) continue;
    const auto on = ParseFlag(value);
    if (!on) return Bad(key, value);
    state_.*f.field = *on;
    return {};
  }
  const auto number = ParseNumber(value);
  for (const auto& n : kNumbers) {
    if (key != n.name) continue;
    if (!number || *number < 0 || *number > n.maximum) return Bad(key, value);
    if (n.intField) state_.*n.intField = static_cast<int>(*number);
    if (n.realField) state_.*n.realField = static_cast<double>(*number);
    return {};
  }
  for (const auto& c : kCounters) {
    if (key != c.name) continue;
    if (!number || *number < 0 || *number > 0xFFFFFFFFLL) return Bad(key, value);
    memory_.SetLong(c.address, static_cast<std::uint32_t>(*number));
    return {};
  }
  if (key == "hours") {
    if (!number || *number < 0 || *number > 0xFFFF) return Bad(key, value);
    memory_.SetLong(kPumpTimeAddress, static_cast<std::uint32_t>(*number));
    return {};
  }
  if (key == "error" || key == "error2") {
    if (!number || *number < 0 || *number > 0xFF) return Bad(key, value);
    const auto bits = static_cast<std::uint8_t>(*number);
    RaiseErrors(state_, memory_, key == "error" ? bits : state_.errors1,
                key == "error2" ? bits : state_.errors2);
    return {};
  }
  if (key == "historypos") {
    if (!number || *number < 0 || *number > 0xFF) return Bad(key, value);
    memory_.SetByte(kHistoryPositionAddress, static_cast<std::uint8_t>(*number));
    return {};
  }
  if (key == "ack") {
    if (!number || *number < 0 || *number > 0xFF) return Bad(key, value);
    acknowledge_ = static_cast<std::uint8_t>(*number);
    return {};
  }
  if (key == "version") {
    if (value.size() != 8 && value.size() != 9) return Bad(key, value);
    version_ = std::string(value.substr(0, 8));
    versionTail_ = value.size() == 9 ? static_cast<std::uint8_t>(value[8]) : 0x00;
    return {};
  }
  if (key == "writeenable") {
    writeEnableAlways_ = value == "always";
    if (writeEnableAlways_) return {};
    const auto on = ParseFlag(value);
    if (!on) return Bad(key, value);
    writeEnableUntil_ = *on ? state_.seconds + writeEnableDuration_ : -1;
    return {};
  }
  if (key == "writeenabletime") {
    if (!number || *number < 1 || *number > 86400) return Bad(key, value);
    writeEnableDuration_ = static_cast<double>(*number);
    return {};
  }
  if (key == "live") {
    const auto on = ParseFlag(value);
    if (!on) return Bad(key, value);
    live_ = *on;
    return {};
  }
  if (key == "display") {
    if (value == "auto") {
      state_.displayOverride = false;
      return {};
    }
    const auto bytes = ParseHexBytes(value);
    if (!bytes || bytes->size() != 3) return Bad(key, value);
    state_.displayOverride = true;
    for (int i = 0; i < 3; ++i) state_.display[i] = (*bytes)[static_cast<std::size_t>(i)];
    return {};
  }
  if (key == "mode") {
    if (value == "boot") {
      inBootLoader_ = true;
      boot_.Enter(receivedAt_);
    } else if (value == "normal") {
      inBootLoader_ = false;
    } else {
      return Bad(key, value);
    }
    return {};
  }
  if (key == "fault") return AddFault(value);
  return "unknown setting: " + std::string(key);
}

std::vector<std::string> Device::Settings() const {
  std::vector<std::string> lines;
  for (const auto& f : kFlags) lines.push_back(std::string(f.name) + "=" + (state_.*f.field ? "1" : "0"));
  for (const auto& n : kNumbers) {
    const long long v = n.intField ? state_.*n.intField : static_cast<long long>(state_.*n.realField);
    lines.push_back(std::string(n.name) + "=" + std::to_string(v));
  }
  for (const auto& c : kCounters) lines.push_back(std::string(c.name) + "=" + std::to_string(memory_.Long(c.address)));
  lines.push_back("hours=" + std::to_string(memory_.Word(kPumpHoursAddress)));
  lines.push_back("error=" + std::to_string(state_.errors1));
  lines.push_back("error2=" + std::to_string(state_.errors2));
  lines.push_back("historypos=" + std::to_string(memory_.Byte(kHistoryPositionAddress)));
  lines.push_back("ack=" + std::to_string(acknowledge_));
  lines.push_back("version=" + version_);
  lines.push_back("writeenable=" + std::string(writeEnableAlways_ ? "always" : WriteEnableSeconds() > 0 ? "1" : "0"));
  lines.push_back("writeenabletime=" + std::to_string(static_cast<int>(writeEnableDuration_)));
  lines.push_back("live=" + std::string(live_ ? "1" : "0"));
  lines.push_back("display=" + (state_.displayOverride ? HexBytes(state_.display, "") : std::string("auto")));
  lines.push_back("mode=" + Mode());
  for (const auto& fault : DescribeFaults(faults_)) lines.push_back("fault=" + fault);
  return lines;
}

std::string Device::SettingsHelp() {
  std::ostringstream help;
  auto line = [&help](const std::string& form, const char* text) {
    help << "  " << std::left << std::setw(24) << form << text << "\n";
  };
  for (const auto& f : kFlags) line(std::string(f.name) + "=0|1", f.help);
  for (const auto& n : kNumbers) line(std::string(n.name) + "=N", n.help);
  for (const auto& c : kCounters) line(std::string(c.name) + "=N", c.help);
  line("hours=N", "pump operating hours (62..63; 60..61 become 0)");
  line("error=N", "error flags E1 (main page byte 5, bits 2..7); new errors are counted");
  line("error2=N", "error flags E2 (main page byte 6, bits 0..4)");
  line("historypos=N", "history position byte at address 154 (98..153 valid)");
  line("ack=N", "byte that acknowledges writes and Clear errors (default 0)");
  line("version=TEXT", "8 characters of the Version query reply, optional 9th (1.601.60)");
  line("writeenable=0|1|always", "revoke, grant for writeenabletime, grant for good");
  line("writeenabletime=N", "seconds a Write enable request grants (default 60)");
  line("live=0|1", "the installation runs by itself (pump cycles, level drift, history)");
  line("display=HHHHHH|auto", "fixed segment bytes of the three digits");
  line("mode=normal|boot", "leave or enter the boot loader");
  line("fault=FAULT", "add a fault (see below)");
  return help.str();
}

}  // namespace velta::sim
