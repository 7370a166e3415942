#include "service/job_link.h"

#include "link/open_reason.h"

namespace velta::service {

Outcome ReadOutcome(ExchangeOutcome exchange) {
  switch (exchange) {
    case ExchangeOutcome::Good: return Outcome::Done;
    case ExchangeOutcome::WrongSum: return Outcome::WrongSum;
    case ExchangeOutcome::NoChannel: return Outcome::NoLink;
    case ExchangeOutcome::Short: break;
  }
  return Outcome::NoReply;
}

Outcome WriteOutcome(ExchangeOutcome exchange) {
  return exchange == ExchangeOutcome::Short ? Outcome::NotAcknowledged : ReadOutcome(exchange);
}

ChannelHandle OpenJobLink(const ConnectionSettings& settings, Feedback& feedback,
                          const std::string& failureLine, JobResult& failure) {
  ChannelHandle channel = OpenFromSettings(settings);
  if (channel.IsOpen()) return channel;
  failure.outcome = Outcome::NoLink;
  failure.reason = OpenFailureReason(settings);
  if (!failureLine.empty()) feedback.Log(failureLine);
  feedback.Log(failure.reason);
  return channel;
}

}  // namespace velta::service
