// Files on disk are never left half-written: the content goes to a temporary file beside the
// target, which then replaces the target in one rename.
#pragma once

#include <string>

namespace velta {

// Writes `content` to `path` (created or replaced). False when any step failed; the target is then
// as it was and no temporary file is left behind.
bool WriteFileAtomically(const std::string& path, const std::string& content);

}  // namespace velta
