#include "controller/settings_transfer.h"

#include <span>

namespace velta {
namespace {

WritePlan ParameterPlan(const ControllerImage& image) {
  WritePlan plan;
  plan.values = std::span(image.bytes).first(kParameterBlockSize);
  plan.startLine = "Übertrage alle Einstellungen zur Steuerung...";
  plan.closing = ClosingRequest::SettingsDone;
  return plan;
}

}  // namespace

std::vector<int> ChangedParameterAddresses(const ControllerImage& before,
                                           const ControllerImage& after) {
  std::vector<int> addresses;
  for (int address = 0; address < kParameterBlockSize; ++address) {
    if (before.Byte(address) != after.Byte(address)) addresses.push_back(address);
  }
  return addresses;
}

ExchangeOutcome TransferParameterBlock(const ChannelHandle& channel,
                                       const ConnectionSettings& settings, Feedback& feedback,
                                       const ControllerImage& image) {
  return WriteBytes(channel, settings, feedback, ParameterPlan(image));
}

ExchangeOutcome TransferChangedParameters(const ChannelHandle& channel,
                                          const ConnectionSettings& settings, Feedback& feedback,
                                          const ControllerImage& image,
                                          const std::vector<int>& addresses) {
  WritePlan plan = ParameterPlan(image);
  // Nothing differs: the closing request alone, so the controller ends the write as usual.
  if (addresses.empty()) plan.values = {};
  plan.onlyOffsets = addresses;
  return WriteBytes(channel, settings, feedback, plan);
}

ExchangeOutcome TransferBackupImage(const ChannelHandle& channel,
                                    const ConnectionSettings& settings, Feedback& feedback,
                                    const ControllerImage& image) {
  WritePlan plan;
  plan.values = image.bytes;
  plan.startLine = "Übertrage das komplette Backup zur Steuerung...";
  plan.closing = ClosingRequest::Restart;
  plan.closingLine = "Neustart der Steuerung !!!";
  return WriteBytes(channel, settings, feedback, plan);
}

}  // namespace velta
