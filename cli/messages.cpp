#include "cli/messages.h"

#include <cstdio>

#include "i18n/lookup.h"
#include "link/channel.h"

namespace velta::cli {

using service::Outcome;

ExitCode ExitCodeFor(Outcome outcome) {
  switch (outcome) {
    case Outcome::Done: return kExitOk;
    case Outcome::Refused:
    case Outcome::FileRefused: return kExitRefused;
    case Outcome::NoLink:
    case Outcome::NoReply:
    case Outcome::WrongSum:
    case Outcome::NotAcknowledged:
    case Outcome::UpdateFailed: break;
  }
  return kExitFailure;
}

std::string FailureMessage(const service::JobResult& result) {
  switch (result.outcome) {
    case Outcome::Done:
      return {};
    case Outcome::Refused:
      return result.reason + ". Nothing was sent.";
    case Outcome::NoLink:
      return "Could not open the connection to the controller.\n" + result.reason +
             (LastOpenError() == OpenError::NoSuchDevice
                  ? " 'velta-cli ports' lists the serial ports there are."
                  : "");
    case Outcome::NoReply:
      return "The controller did not answer in full. Check the cable and that the controller is "
             "switched on, then try again.";
    case Outcome::WrongSum:
      return "The controller's answer was damaged on the way (wrong checksum). Try again; if it "
             "happens again, check the cable.";
    case Outcome::NotAcknowledged:
      return "The controller did not accept the write, possibly because write enable is off. "
             "Request it with 'velta-cli write-enable', then try again.";
    case Outcome::FileRefused:
      return "The firmware file cannot be used" +
             (result.reason.empty() ? std::string(".") : ": " + result.reason) +
             " Nothing was sent.";
    case Outcome::UpdateFailed:
      return "The firmware update failed: the controller's boot loader did not answer as "
             "expected. Run the update again with --verbose to see its answers.";
  }
  return {};
}

int Finish(const service::JobResult& result, const std::string& doneLine) {
  if (!result.Done()) return Fail(ExitCodeFor(result.outcome), FailureMessage(result));
  if (!doneLine.empty()) std::fprintf(stderr, "%s\n", doneLine.c_str());
  return kExitOk;
}

std::string TypedRefusal(Typed what, const std::string& typed) {
  struct Row {
    Typed what;
    const char* text;  // %s: what was typed
  };
  static constexpr Row kTable[] = {
      {Typed::Connection, "Give exactly one of --port, --device or --tcp."},
      {Typed::Port, "--port takes a serial port from COM1 to COM255, or its number alone, written "
                    "in decimal digits; \"%s\" is none of them."},
      {Typed::Tcp, "--tcp takes host:port, the port a number from 1 to 65535 written in decimal "
                   "digits; \"%s\" is not of that form."},
      {Typed::Admin, "--admin takes the Admin flags, a number from 0 to 255 written in decimal "
                     "digits or in hexadecimal behind 0x (0x02 is 2); \"%s\" is neither."},
      {Typed::Seconds, "--seconds takes a number of seconds from 0 to 31536000 (one year) written "
                       "in decimal digits, with a fraction if needed (30 or 2.5); \"%s\" is not "
                       "one."},
      {Typed::CounterSet, "--set takes NAME=N: NAME one of hours, starts, mains or cistern, N a "
                          "number from 0 to 4294967295 written in decimal digits; \"%s\" is not "
                          "of that form."},
      {Typed::CounterBlank, "--set \"%s\" gives no number, and an empty value is never taken as 0. "
                            "Write the number, for example hours=0 to set the counter to 0."},
      {Typed::ErrorCode, "There is no error count \"%s\". --clear takes an error code as "
                         "'velta-cli errors' lists it, or its number from 0 to 10 written in "
                         "decimal digits."},
      {Typed::HistoryEntry, "There is no history entry \"%s\". history:N takes N from 1 (the "
                            "newest kept block) upwards, written in decimal digits."},
  };
  for (const Row& row : kTable) {
    if (row.what == what) return Format(row.text, typed.c_str());
  }
  return {};
}

}  // namespace velta::cli
