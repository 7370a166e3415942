// How a controller job ended, as every face words it: the windows in their log, velta-cli in its
// messages and exit code.
#pragma once

#include <string>

#include "link/exchange.h"

namespace velta::service {

enum class Outcome {
  Done,
  Refused,          // an input outside its range: nothing was sent; `reason` names it
  NoLink,           // the link did not open; `reason` is the open reason line
  NoReply,          // the controller's reply was short or did not come
  WrongSum,         // a reply came in full but its sum did not match
  NotAcknowledged,  // a written byte was not acknowledged (possibly no write enable)
  FileRefused,      // the file to send could not be used; nothing was sent
  UpdateFailed,     // the boot loader did not answer as it should
};

struct JobResult {
  Outcome outcome = Outcome::Done;
  std::string reason;  // English; for Refused and NoLink, else empty

  bool Done() const { return outcome == Outcome::Done; }
};

// A read's or a request's exchange outcome in a job's words.
Outcome ReadOutcome(ExchangeOutcome exchange);
// A write's: a missing acknowledgement is NotAcknowledged.
Outcome WriteOutcome(ExchangeOutcome exchange);

}  // namespace velta::service
