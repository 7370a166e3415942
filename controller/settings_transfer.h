// The Settings window's writes of the Parameter block and of the whole Backup image, each on a
// Channel the caller has opened.
#pragma once

#include <vector>

#include "controller/feedback.h"
#include "controller/image.h"
#include "controller/write_loop.h"
#include "link/connection.h"

namespace velta {

// Writes image bytes 0..51, then the Settings done request.
ExchangeOutcome TransferParameterBlock(const ChannelHandle& channel,
                                       const ConnectionSettings& settings, Feedback& feedback,
                                       const ControllerImage& image);

// The addresses 0..51 at which the two blocks differ.
std::vector<int> ChangedParameterAddresses(const ControllerImage& before,
                                           const ControllerImage& after);

// The changed-only write: writes only `addresses` (from ChangedParameterAddresses) of `image`,
// then the Settings done request; with nothing to change only the Settings done request is sent.
ExchangeOutcome TransferChangedParameters(const ChannelHandle& channel,
                                          const ConnectionSettings& settings, Feedback& feedback,
                                          const ControllerImage& image,
                                          const std::vector<int>& addresses);

// Writes image bytes 0..255, then the Restart request.
ExchangeOutcome TransferBackupImage(const ChannelHandle& channel,
                                    const ConnectionSettings& settings, Feedback& feedback,
                                    const ControllerImage& image);

}  // namespace velta
