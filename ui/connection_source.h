// The connection the user set up in the Monitor window, asked for by the Settings and Tank table
// windows each time one of their operations opens its own short-lived Channel.
#pragma once

#include <functional>

#include "link/connection.h"

namespace velta {

using ConnectionSource = std::function<ConnectionSettings()>;

}  // namespace velta
