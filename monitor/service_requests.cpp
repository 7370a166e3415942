#include "monitor/service_requests.h"

#include "link/frames.h"

namespace velta {

ClearErrorsResult RequestClearErrors(const ConnectionSettings& settings) {
  Channel* channel = OpenFromSettings(settings);
  if (!IsOpenChannel(channel)) return ClearErrorsResult::NotOpened;
  SendFrame(channel, StatusRequest(kClearErrorsRequest));
  std::uint8_t acknowledgement = 0;
  const bool acknowledged = IsAcknowledgement(ChannelReceive(channel, &acknowledgement, 1));
  CloseChannel(channel);
  return acknowledged ? ClearErrorsResult::Acknowledged : ClearErrorsResult::NoReply;
}

bool RequestWriteEnable(const ConnectionSettings& settings) {
  Channel* channel = OpenFromSettings(settings);
  if (!IsOpenChannel(channel)) return false;
  SendFrame(channel, StatusRequest(kWriteEnableRequest));
  CloseChannel(channel);
  return true;
}

}  // namespace velta
