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

}  // namespace velta::cli
