// What every subcommand shares: the connection chosen on the command line, the output form, the
// answer to write questions, the exit codes and the terminal feedback.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/terminal_feedback.h"
#include "i18n/lookup.h"
#include "controller/history.h"
#include "controller/write_baseline.h"
#include "link/connection.h"
#include "service/records.h"

namespace velta::cli {

// The program's exit codes.
enum ExitCode : int {
  kExitOk = 0,
  kExitRefused = 1,  // refused input: a file, a value or a question answered no
  kExitFailure = 2,  // the controller or the link failed
};

struct CliContext {
  std::string port;    // --port: "COM5" or "5"
  std::string device;  // --device: a device file, under its COM number when the mapping gives one
  std::string tcp;     // --tcp: host:port
  std::string admin = "0";  // --admin: the Admin flags, decimal or 0x hex
  bool json = false;
  bool yes = false;
  bool verbose = false;  // --verbose: also the windows' log lines of each job
  bool noHistory = false;  // --no-history: write even when the before-write copy cannot be kept
  TerminalFeedback feedback;
  // Every block read and overwritten is kept where the windows keep theirs; the baseline holds
  // what this run has read or written.
  History history;
  Baselines baselines;
  TankBaselines tankBaselines;

  // What the next job starts from.
  service::Records Records() { return {history, baselines}; }

  // The connection settings the options give; empty with a message on stderr when they are
  // not usable.
  bool Connection(ConnectionSettings& settings) const;
  // The serial connection a command used, for the latency hint once it is done.
  mutable std::optional<ConnectionSettings> serialUsed;
};

// Writes `message` (already translated) on stderr and returns `code`.
int Fail(ExitCode code, const std::string& message);

}  // namespace velta::cli
