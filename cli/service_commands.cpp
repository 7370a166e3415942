// counters and errors: the Settings window's counter and error memory groups.
#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <strings.h>

#include "cli/commands.h"
#include "cli/confirm.h"
#include "controller/counters.h"
#include "controller/error_memory.h"
#include "controller/fields.h"
#include "controller/read_range.h"
#include "i18n/lookup.h"

namespace velta::cli {
namespace {

// The counters by their command-line names, in the order of the window's choice list.
constexpr const char* kCounterNames[] = {"hours", "starts", "mains", "cistern"};
// Reaches the last counter byte (the pump starts at 84..87) and the error memory.
constexpr int kServiceReadLast = 87;

// Reads the memory that holds the counters and the error memory.
std::optional<ControllerImage> ReadServiceMemory(CliContext& context) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return std::nullopt;
  const ReadResult read = ReadRange(settings, context.feedback, 0, kServiceReadLast);
  if (!read.success) return std::nullopt;
  ControllerImage image;
  std::copy(read.data.begin(), read.data.end(), image.bytes.begin());
  return image;
}

int ShowCounters(CliContext& context) {
  const std::optional<ControllerImage> image = ReadServiceMemory(context);
  if (!image) return kExitFailure;
  nlohmann::json out = nlohmann::json::object();
  for (int i = 0; i < 4; ++i) {
    out[kCounterNames[i]] = std::stoull(CounterText(*image, static_cast<Counter>(i)));
  }
  if (context.json) {
    std::printf("%s\n", out.dump().c_str());
  } else {
    for (const auto& [name, value] : out.items()) std::printf("%-8s %s\n", name.c_str(), value.dump().c_str());
  }
  return kExitOk;
}

int SetCounter(CliContext& context, const std::string& assignment) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const auto equals = assignment.find('=');
  const std::string name = assignment.substr(0, equals);
  const auto* found = std::find(std::begin(kCounterNames), std::end(kCounterNames), name);
  const std::optional<std::uint32_t> value =
      equals == std::string::npos ? std::nullopt : ParseCounterValue(assignment.substr(equals + 1));
  if (found == std::end(kCounterNames) || !value) {
    return Fail(kExitRefused, "--set takes hours=N, starts=N, mains=N or cistern=N");
  }
  if (!Confirm(context, _("ACHTUNG:\nSollen die neuen Zähler zur Steuerung übertragen werden?\n")))
    return kExitRefused;
  ControllerImage image;
  const auto counter = static_cast<Counter>(found - std::begin(kCounterNames));
  return WriteCounter(settings, context.feedback, image, counter, *value) ? kExitOk : kExitFailure;
}

// An error kind's code as the read-out labels it ("Er.P"), in the current language.
std::string ErrorCode(const std::string& line) {
  return line.substr(0, line.rfind(' '));
}

// The error kinds' codes, from the read-out's labels.
std::vector<std::string> ErrorCodes(const ControllerImage& image) {
  std::vector<std::string> codes;
  const std::vector<std::string> lines = ErrorMemoryLines(image);
  for (std::size_t i = 2; i < lines.size(); ++i) codes.push_back(ErrorCode(lines[i]));
  return codes;
}

int ShowErrors(CliContext& context) {
  const std::optional<ControllerImage> image = ReadServiceMemory(context);
  if (!image) return kExitFailure;
  if (!context.json) {
    for (const std::string& line : ErrorMemoryLines(*image)) std::printf("%s\n", line.c_str());
    return kExitOk;
  }
  nlohmann::json out = nlohmann::json::object();
  const std::vector<std::string> codes = ErrorCodes(*image);
  for (int i = 0; i < kErrorCounterCount; ++i) {
    out[codes[static_cast<std::size_t>(i)]] = Get(*image, field::ErrorCounter(i));
  }
  std::printf("%s\n", out.dump().c_str());
  return kExitOk;
}

int ClearError(CliContext& context, const std::string& code) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const std::vector<std::string> codes = ErrorCodes(ControllerImage{});
  int index = -1;
  for (int i = 0; i < kErrorCounterCount; ++i) {
    const std::string& known = codes[static_cast<std::size_t>(i)];
    if (strcasecmp(known.c_str(), code.c_str()) == 0 || std::to_string(i) == code) index = i;
  }
  if (index < 0) return Fail(kExitRefused, "Unknown error code " + code);
  if (!Confirm(context, _("ACHTUNG:\nSoll der ausgewählte Fehlerzähler wirklich gelöscht werden?\n")))
    return kExitRefused;
  return ClearErrorCounter(settings, context.feedback, index) ? kExitOk : kExitFailure;
}

}  // namespace

void AddServiceCommands(CLI::App& app, CliContext& context, int& result) {
  static std::string counterAssignment, errorCode;
  CLI::App* counters = app.add_subcommand("counters", "Show the four counters, or set one");
  counters->add_option("--set", counterAssignment, "hours=N, starts=N, mains=N or cistern=N");
  counters->callback([&] {
    result = counterAssignment.empty() ? ShowCounters(context) : SetCounter(context, counterAssignment);
  });

  CLI::App* errors = app.add_subcommand("errors", "Show the error memory, or clear one count");
  errors->add_option("--clear", errorCode, "Error code (Er.P, P.LE, ...) or its number 0..10");
  errors->callback([&] {
    result = errorCode.empty() ? ShowErrors(context) : ClearError(context, errorCode);
  });
}

}  // namespace velta::cli
