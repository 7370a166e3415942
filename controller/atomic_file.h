// Writing a whole file so that readers see either the old or the new content, never a part.
#pragma once

#include <string>
#include <string_view>

namespace velta {

// Writes `text` to a new file beside `path`, flushes it to disk and renames it over `path`.
// On any failure the temporary file is removed, `path` is left as it was and false is returned.
bool WriteFileAtomically(const std::string& path, std::string_view text);

}  // namespace velta
