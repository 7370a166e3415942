// The whole firmware update after the user has confirmed it and chosen the file.
#pragma once

#include <string>

#include "controller/feedback.h"
#include "link/connection.h"

namespace velta {

// The boot loader needs this long after the Update request before it listens.
constexpr int kBootLoaderStartMs = 1250;

enum class UpdateOutcome {
  FileRefused,  // missing, empty, unreadable or too large: one log line, nothing sent
  NoChannel,    // the Channel could not be opened: nothing logged, nothing sent
  Programmed,
  Failed,  // the boot loader did not answer as it should (the log says where)
};

// Reads and checks the file first, so a refused file never switches the controller into its boot
// loader. Then opens the Channel, sends the Update request, waits for the boot loader, programs
// the image and closes the Channel. `refusal`, when given, receives why a file was refused.
UpdateOutcome RunFirmwareUpdate(const ConnectionSettings& settings, const std::string& path,
                                Feedback& feedback, std::string* refusal = nullptr);

}  // namespace velta
