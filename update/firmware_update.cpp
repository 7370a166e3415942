#include "update/firmware_update.h"

#include <chrono>
#include <thread>
#include <vector>

#include "i18n/lookup.h"
#include "link/exchange.h"
#include "link/open_reason.h"
#include "update/boot_loader.h"
#include "update/update_file.h"

namespace velta {

UpdateOutcome RunFirmwareUpdate(const ConnectionSettings& settings, const std::string& path,
                                Feedback& feedback, std::string* refusal) {
  std::vector<std::uint8_t> image;
  std::string reason;
  const UpdateFileResult loaded = LoadUpdateFile(path, image, reason);
  if (loaded != UpdateFileResult::Loaded) {
    feedback.Log(UpdateFileMessage(loaded));
    if (!reason.empty()) feedback.Log(reason);
    if (refusal != nullptr) *refusal = reason;
    return UpdateOutcome::FileRefused;
  }
  const ChannelHandle channel = OpenFromSettings(settings);
  if (!channel.IsOpen()) {
    feedback.Log(OpenFailureReason(settings));
    return UpdateOutcome::NoChannel;
  }
  feedback.Log(_("Starte Update..."));
  SendRequest(channel, StatusRequest(kUpdateRequest));
  std::this_thread::sleep_for(std::chrono::milliseconds(kBootLoaderStartMs));
  feedback.SetBarColour(BarColour::Blue);
  feedback.Log(path);
  const int result = ProgramBootLoader(channel, image, feedback);
  return result == kBootLoaderOk ? UpdateOutcome::Programmed : UpdateOutcome::Failed;
}

}  // namespace velta
