#include "controller/settings_transfer.h"

#include <algorithm>
#include <span>

#include "controller/fields.h"
#include "controller/read_range.h"
#include "i18n/lookup.h"

namespace velta {
namespace {

constexpr int kLastParameter = kParameterBlockSize - 1;
constexpr int kLastAddress = kImageSize - 1;

// The offsets 0..51 at which the two blocks differ.
std::vector<int> ChangedParameterAddresses(const ControllerImage& before,
                                           const ControllerImage& after) {
  std::vector<int> addresses;
  for (int address = 0; address < kParameterBlockSize; ++address) {
    if (before.Byte(address) != after.Byte(address)) addresses.push_back(address);
  }
  return addresses;
}

void CopyInto(ControllerImage& image, int firstAddress, std::span<const std::uint8_t> data) {
  std::copy(data.begin(), data.end(), image.bytes.begin() + firstAddress);
}

}  // namespace

bool ReadParameterBlock(const ConnectionSettings& settings, Feedback& feedback,
                        ControllerImage& image) {
  const ReadResult read = ReadRange(settings, feedback, 0, kLastParameter);
  if (read.success) CopyInto(image, 0, read.data);
  return read.success;
}

bool ReadBackupImage(const ConnectionSettings& settings, Feedback& feedback,
                     ControllerImage& image) {
  // One read carries at most 255 bytes: addresses 1..255 first, then 0 (read as 0..1).
  const ReadResult upper = ReadRange(settings, feedback, 1, kLastAddress);
  if (upper.success) CopyInto(image, 1, upper.data);
  const ReadResult lower = ReadRange(settings, feedback, 0, 1);
  if (lower.success) image.SetByte(0, lower.data[0]);
  return upper.success;
}

bool FetchControllerReferences(const ConnectionSettings& settings, Feedback& feedback,
                               ControllerImage& image) {
  const ReadResult read = ReadRange(settings, feedback, 0, kLastParameter);
  if (!read.success) {
    feedback.Log(_("Fehler beim auslesen des Moduls!"));
    feedback.Beep();
    return false;
  }
  // The cistern reference values are measured on site by the controller; a settings write keeps
  // the controller's own unless the user asks to send the view's.
  ControllerImage controller;
  CopyInto(controller, 0, read.data);
  Set(image, field::RefZistVoll, Get(controller, field::RefZistVoll));
  Set(image, field::RefZistLeer, Get(controller, field::RefZistLeer));
  return true;
}

ExchangeOutcome TransferParameterBlock(const ConnectionSettings& settings, Feedback& feedback,
                                       const ControllerImage& image) {
  WritePlan plan;
  plan.values = std::span(image.bytes).first(kParameterBlockSize);
  plan.openFailure = "Fehler beim öffnen der Schnittstelle!";
  plan.startLine = "Übertrage alle Einstellungen zur Steuerung...";
  plan.closing = ClosingRequest::SettingsDone;
  return WriteBytes(settings, feedback, plan);
}

ExchangeOutcome TransferChangedParameters(const ConnectionSettings& settings, Feedback& feedback,
                                          ControllerImage& image, bool sendReferences,
                                          std::vector<int>* written) {
  const ReadResult read = ReadRange(settings, feedback, 0, kLastParameter);
  if (!read.success) {
    feedback.Log(_("Fehler beim auslesen des Moduls!"));
    feedback.Beep();
    return ExchangeOutcome::Short;
  }
  ControllerImage controller;
  CopyInto(controller, 0, read.data);
  if (!sendReferences) {
    Set(image, field::RefZistVoll, Get(controller, field::RefZistVoll));
    Set(image, field::RefZistLeer, Get(controller, field::RefZistLeer));
  }
  const std::vector<int> changed = ChangedParameterAddresses(controller, image);
  if (written != nullptr) *written = changed;

  WritePlan plan;
  plan.values = std::span(image.bytes).first(kParameterBlockSize);
  plan.openFailure = "Fehler beim öffnen der Schnittstelle!";
  plan.startLine = "Übertrage alle Einstellungen zur Steuerung...";
  plan.closing = ClosingRequest::SettingsDone;
  if (changed.empty()) {
    // Nothing differs: the closing request alone, so the controller ends the write as usual.
    plan.values = {};
  }
  plan.onlyOffsets = changed;
  return WriteBytes(settings, feedback, plan);
}

ExchangeOutcome TransferBackupImage(const ConnectionSettings& settings, Feedback& feedback,
                                    const ControllerImage& image) {
  WritePlan plan;
  plan.values = image.bytes;
  plan.openFailure = "Fehler beim öffnen der Schnittstelle!";
  plan.startLine = "Übertrage das komplette Backup zur Steuerung...";
  plan.closing = ClosingRequest::Restart;
  plan.closingLine = "Neustart der Steuerung !!!";
  return WriteBytes(settings, feedback, plan);
}

}  // namespace velta
