// The Settings window's transfers of the Parameter block and of the whole Backup image between
// the controller and the controller image.
#pragma once

#include "controller/feedback.h"
#include "controller/image.h"
#include "controller/write_loop.h"
#include "link/connection.h"

namespace velta {

// Reads addresses 0..51 into the image; false (image unchanged) when the read failed.
bool ReadParameterBlock(const ConnectionSettings& settings, Feedback& feedback,
                        ControllerImage& image);

// Reads the 256-byte Backup image in two requests (1..255, then 0..1), each copied on its own
// success. True when the large read succeeded, which is when the view has new data to show.
bool ReadBackupImage(const ConnectionSettings& settings, Feedback& feedback,
                     ControllerImage& image);

// Replaces the image's cistern reference values with the controller's own, read with a fresh
// block read. On failure logs that the module could not be read, beeps and leaves the image.
bool FetchControllerReferences(const ConnectionSettings& settings, Feedback& feedback,
                               ControllerImage& image);

// Writes image bytes 0..51, then the Settings done request.
ExchangeOutcome TransferParameterBlock(const ConnectionSettings& settings, Feedback& feedback,
                                       const ControllerImage& image);

// Writes image bytes 0..255, then the Restart request.
ExchangeOutcome TransferBackupImage(const ConnectionSettings& settings, Feedback& feedback,
                                    const ControllerImage& image);

}  // namespace velta
