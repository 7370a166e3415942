#include "cli/messages.h"

#include <cstdio>

#include "i18n/lookup.h"

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
      return result.reason + V_(". Nothing was sent.");
    case Outcome::NoLink:
      return V_("Could not open the connection to the controller.\n") + result.reason;
    case Outcome::NoReply:
      return V_("The controller did not answer in full. Check the cable and that the controller "
                "is switched on, then try again.");
    case Outcome::WrongSum:
      return V_("The controller's answer was damaged on the way (wrong checksum). Try again; if "
                "it happens again, check the cable.");
    case Outcome::NotAcknowledged:
      return V_("The controller did not accept the write, possibly because write enable is off. "
                "Request it with 'velta-cli write-enable', then try again.");
    case Outcome::FileRefused:
      return V_("The firmware file cannot be used") +
             (result.reason.empty() ? std::string(".") : ": " + result.reason) +
             V_(" Nothing was sent.");
    case Outcome::UpdateFailed:
      return V_("The firmware update failed: the controller's boot loader did not answer as "
                "expected. Run the update again with --verbose to see its answers.");
  }
  return {};
}

int Finish(const service::JobResult& result, const std::string& doneLine) {
  if (!result.Done()) return Fail(ExitCodeFor(result.outcome), FailureMessage(result));
  if (!doneLine.empty()) std::fprintf(stderr, "%s\n", doneLine.c_str());
  return kExitOk;
}

}  // namespace velta::cli
