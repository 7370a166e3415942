#include "monitor/service_requests.h"

namespace velta {

ExchangeOutcome RequestClearErrors(const ChannelHandle& channel) {
  return ExchangeAcknowledged(channel, StatusRequest(kClearErrorsRequest));
}

void RequestWriteEnable(const ChannelHandle& channel) {
  SendRequest(channel, StatusRequest(kWriteEnableRequest));
}

}  // namespace velta
