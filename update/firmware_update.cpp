#include "update/firmware_update.h"

#include <chrono>
#include <thread>
#include <vector>

#include "i18n/lookup.h"
#include "link/frames.h"
#include "update/boot_loader.h"
#include "update/update_file.h"

namespace velta {

UpdateOutcome RunFirmwareUpdate(const ConnectionSettings& settings, const std::string& path,
                                Feedback& feedback) {
  std::vector<std::uint8_t> image;
  const UpdateFileResult loaded = LoadUpdateFile(path, image);
  if (loaded != UpdateFileResult::Loaded) {
    feedback.Log(UpdateFileMessage(loaded));
    return UpdateOutcome::FileRefused;
  }
  Channel* channel = OpenFromSettings(settings);
  if (!IsOpenChannel(channel)) return UpdateOutcome::NoChannel;
  feedback.Log(_("Starte Update..."));
  const Frame request = StatusRequest(kUpdateRequest);
  SendFrame(channel, request);
  std::this_thread::sleep_for(std::chrono::milliseconds(kBootLoaderStartMs));
  feedback.SetBarColour(BarColour::Blue);
  feedback.Log(path);
  const int result = ProgramBootLoader(channel, image, feedback);
  CloseChannel(channel);
  return result == kBootLoaderOk ? UpdateOutcome::Programmed : UpdateOutcome::Failed;
}

}  // namespace velta
