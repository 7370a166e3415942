// The Main status page (status page 1): where each value sits among its 14 data bytes and what
// each bit of its bit bytes means. The poll cycle steers by some of them, the decoder shows them
// all, and the simulated controller builds its page from them.
#pragma once

#include <cstdint>

namespace velta::main_page {

// Bytes 0..2 are the display digits, left to right.
constexpr int kInputsByte = 3;
constexpr int kOutputsByte = 4;
constexpr int kStateByte = 5;         // state bits and the error byte E1
constexpr int kFlagsByte = 6;         // the error byte E2 and state bits
constexpr int kLevelByte = 7;         // cistern level, percent
constexpr int kPumpPowerByte = 8;     // 0 = pump off, else percent
constexpr int kPressureByte = 9;      // tenths of a bar
constexpr int kTemperatureByte = 10;  // the temperature sensor's reading divided by 4
constexpr int kPumpHoursByte = 11;    // 16-bit pump operating hours
constexpr int kPumpAverageByte = 13;  // percent, 255 = none

// Byte 3: inputs and configuration.
constexpr std::uint8_t kSensorMin = 0x01;
constexpr std::uint8_t kSensorMax = 0x02;
constexpr std::uint8_t kOverflowSensor = 0x04;
constexpr std::uint8_t kButtonOff = 0x08;
constexpr std::uint8_t kModuleRinseConfigured = 0x10;
constexpr std::uint8_t kNoLevelMeasurement = 0x20;  // float switches only
constexpr std::uint8_t kFlowSensor = 0x40;

// Byte 4: LEDs and outputs.
constexpr std::uint8_t kYellowLed = 0x01;
constexpr std::uint8_t kGreenLed = 0x02;
constexpr std::uint8_t kRedLed = 0x04;
constexpr std::uint8_t kBlueLed = 0x08;
constexpr std::uint8_t kValve = 0x10;
constexpr std::uint8_t kRelay1Cistern = 0x20;  // clear: mains make-up water
constexpr std::uint8_t kRelay2Cistern = 0x40;
constexpr std::uint8_t kRinseRunning = 0x80;

// Byte 5: state bits; bits 2..7 are the error byte E1.
constexpr std::uint8_t kHandMode = 0x01;
constexpr std::uint8_t kWarningTone = 0x02;
constexpr std::uint8_t kOverflowAlarm = 0x10;  // also E1's backflow error
constexpr std::uint8_t kErrors1Mask = 0xFC;

// Byte 6: bits 0..4 are the error byte E2; state bits.
constexpr std::uint8_t kErrors2Mask = 0x1F;
constexpr std::uint8_t kWaterMeterPresent = 0x20;
constexpr std::uint8_t kWriteEnabled = 0x40;
constexpr std::uint8_t kPumpSwitchedOff = 0x80;

// Error flags of E1, with the code the controller's display shows.
constexpr std::uint8_t kCisternSensorError = 0x04;  // Er.b
constexpr std::uint8_t kDryRunError = 0x08;         // Er.P
constexpr std::uint8_t kBackflowError = kOverflowAlarm;  // the red LED
constexpr std::uint8_t kOverTemperatureError = 0x20;     // Er.t
constexpr std::uint8_t kPressureSensorError = 0x40;      // Er.2
constexpr std::uint8_t kMaxRunTimeError = 0x80;          // Er.h
// Error flags of E2.
constexpr std::uint8_t kLeakError = 0x01;         // Er.L
constexpr std::uint8_t kMaxLoadError = 0x02;      // Er.1
constexpr std::uint8_t kAirDrawnError = 0x04;     // Er.C
constexpr std::uint8_t kWaterLeakError = 0x08;    // P.LE
constexpr std::uint8_t kFlowSensorStuck = 0x10;   // Er.F

}  // namespace velta::main_page
