#include "monitor/service_requests.h"

namespace velta {

ExchangeOutcome RequestClearErrors(const ConnectionSettings& settings) {
  const ChannelHandle channel = OpenFromSettings(settings);
  return ExchangeAcknowledged(channel, StatusRequest(kClearErrorsRequest));
}

bool RequestWriteEnable(const ConnectionSettings& settings) {
  const ChannelHandle channel = OpenFromSettings(settings);
  return SendRequest(channel, StatusRequest(kWriteEnableRequest)) == ExchangeOutcome::Good;
}

}  // namespace velta
