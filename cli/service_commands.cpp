// counters, errors and write-enable: the Settings window's counter and error memory groups and
// the Monitor window's write-enable request.
#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/confirm.h"
#include "cli/messages.h"
#include "controller/counters.h"
#include "controller/error_memory.h"
#include "controller/fields.h"
#include "i18n/lookup.h"
#include "service/counter_jobs.h"
#include "service/request_jobs.h"

namespace velta::cli {
namespace {

// The counters by their command-line names, in the order of the window's choice list.
constexpr const char* kCounterNames[] = {"hours", "starts", "mains", "cistern"};

int ShowCounters(CliContext& context) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const service::MemoryRead read =
      service::ReadCounters(settings, context.feedback, context.Records());
  if (!read.Done()) return Finish(read);
  nlohmann::json out = nlohmann::json::object();
  for (int i = 0; i < static_cast<int>(std::size(kCounterNames)); ++i) {
    out[kCounterNames[i]] = std::stoull(CounterText(read.image, static_cast<Counter>(i)));
  }
  if (context.json) {
    std::printf("%s\n", out.dump().c_str());
  } else {
    for (const auto& [name, value] : out.items()) std::printf("%-8s %s\n", name.c_str(), value.dump().c_str());
  }
  return kExitOk;
}

// Carries out a planned counter set or error clear as the user and the plan allow: a copy
// before the write that could not be kept (without --no-history) stops it; the question lists the
// change; the change record follows the write.
int CarryOutPlan(CliContext& context, const ConnectionSettings& settings,
                 service::SmallWritePlan plan, const std::string& question,
                 const std::string& doneLine) {
  if (!plan.Done()) return Finish(plan);
  if (const int stopped = StopWithoutHistory(context, plan.historyFailure)) return stopped;
  const ChangeRecord record{plan.changes, ChangeLines(plan.changes), plan.changes.empty()};
  if (!context.yes) {
    for (const std::string& line : record.lines) std::fprintf(stderr, "%s\n", line.c_str());
    if (!Confirm(context, question)) return kExitRefused;
  }
  const service::MemoryWrite written =
      service::CarryOut(std::move(plan), settings, context.feedback);
  if (written.Done()) record.Print(context.json);
  return Finish(written, doneLine);
}

int SetCounter(CliContext& context, const std::string& assignment) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const auto equals = assignment.find('=');
  const std::string name = assignment.substr(0, equals);
  const auto* found = std::find(std::begin(kCounterNames), std::end(kCounterNames), name);
  const std::string number = equals == std::string::npos ? "" : assignment.substr(equals + 1);
  // Unlike the window's empty field, an empty value here is a script's unset variable: never 0.
  const bool blank = number.find_first_not_of(" \t") == std::string::npos;
  if (found != std::end(kCounterNames) && equals != std::string::npos && blank) {
    return Fail(kExitRefused, TypedRefusal(Typed::CounterBlank, assignment));
  }
  const std::optional<std::uint32_t> value =
      equals == std::string::npos ? std::nullopt : ParseCounterValue(number);
  if (found == std::end(kCounterNames) || !value) {
    return Fail(kExitRefused, TypedRefusal(Typed::CounterSet, assignment));
  }
  const auto counter = static_cast<Counter>(found - std::begin(kCounterNames));
  return CarryOutPlan(
      context, settings,
      service::PlanCounterSet(settings, context.feedback, context.Records(), counter, *value),
      V_("Set this counter in the controller?"),
      Format(V_("Counter %s set to %u; the controller restarts."), name.c_str(), *value));
}

// Reads the error memory as the window's read does (kept in the history); on failure says why
// and `failure` gets the exit code.
std::optional<ControllerImage> ReadErrors(CliContext& context, const ConnectionSettings& settings,
                                          int& failure) {
  const service::MemoryRead read = service::ReadErrorCounts(settings, context.feedback,
                                                            context.Records(), ControllerImage{});
  failure = Finish(read);
  if (!read.Done()) return std::nullopt;
  return read.image;
}

int ShowErrors(CliContext& context) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  int failure = kExitOk;
  const std::optional<ControllerImage> image = ReadErrors(context, settings, failure);
  if (!image) return failure;
  nlohmann::json out = nlohmann::json::object();
  for (int i = 0; i < kErrorCounterCount; ++i) {
    const unsigned count = Get(*image, field::ErrorCounter(i));
    if (!context.json) std::printf("%-10s %u\n", kErrorKinds[i].code, count);
    out[kErrorKinds[i].code] = count;
  }
  if (context.json) std::printf("%s\n", out.dump().c_str());
  return kExitOk;
}

int ClearError(CliContext& context, const std::string& code) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  const int index = ErrorKindIndex(code);
  if (index < 0) return Fail(kExitRefused, TypedRefusal(Typed::ErrorCode, code));
  const std::string known = kErrorKinds[index].code;
  return CarryOutPlan(context, settings,
                      service::PlanErrorClear(settings, context.feedback, context.Records(), index),
                      V_("Clear this error count in the controller?"),
                      Format(V_("Error count %s cleared."), known.c_str()));
}

int RequestWriteEnable(CliContext& context) {
  ConnectionSettings settings;
  if (!context.Connection(settings)) return kExitRefused;
  return Finish(service::AskWriteEnable(settings, context.feedback),
                V_("Write enable requested. 'velta-cli status' shows whether the controller granted "
                   "it."));
}

}  // namespace

void AddServiceCommands(CLI::App& app, CliContext& context, int& result) {
  static std::string counterAssignment, errorCode;
  CLI::App* counters = app.add_subcommand("counters", VN_("Show the four counters, or set one"));
  counters->add_option("--set", counterAssignment, VN_("hours=N, starts=N, mains=N or cistern=N"));
  counters->callback([&] {
    result = counterAssignment.empty() ? ShowCounters(context) : SetCounter(context, counterAssignment);
  });

  CLI::App* errors = app.add_subcommand("errors", VN_("Show the error memory, or clear one count"));
  errors->add_option("--clear", errorCode, VN_("Error code (Er.P, P.LE, ...) or its number 0..10"));
  errors->callback([&] {
    result = errorCode.empty() ? ShowErrors(context) : ClearError(context, errorCode);
  });

  CLI::App* enable = app.add_subcommand(
      "write-enable", VN_("Ask the controller for write enable (the Monitor window's button)"));
  enable->callback([&] { result = RequestWriteEnable(context); });
}

}  // namespace velta::cli
