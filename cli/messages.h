// velta-cli's own words: how a job's result reads on the terminal and the exit code it gives.
// The windows' catalogue texts are not used here.
#pragma once

#include <string>

#include "cli/cli_context.h"
#include "service/job_result.h"

namespace velta::cli {

// Refused input 1; the link, the controller or the update 2; success 0.
ExitCode ExitCodeFor(service::Outcome outcome);

// What went wrong and what to do next, in one or two sentences.
std::string FailureMessage(const service::JobResult& result);

// The end of a command that ran a job: on success prints `doneLine` (when given) on stderr, else
// the failure message; returns the exit code.
int Finish(const service::JobResult& result, const std::string& doneLine = std::string());

// What the command line takes where a user types a value. Every number is decimal (only --admin
// also takes hexadecimal behind "0x"), and each refusal names the range.
enum class Typed {
  Connection,    // not exactly one of --port, --device, --tcp
  Port,          // --port COM1..COM255
  Tcp,           // --tcp host:port, port 1..65535
  Admin,         // --admin 0..255
  Seconds,       // --seconds 0..kMostWatchSeconds
  CounterSet,    // counters --set NAME=N
  CounterBlank,  // counters --set NAME= with no number
  ErrorCode,     // errors --clear CODE or 0..10
  HistoryEntry,  // history:N
};

// A watch longer than a year is refused: the clock's count of nanoseconds holds about 292 years,
// and a year already outlasts any site visit.
inline constexpr double kMostWatchSeconds = 31536000;

// The refusal of `typed` for `what`, in full sentences, quoting what was typed.
std::string TypedRefusal(Typed what, const std::string& typed);

}  // namespace velta::cli
