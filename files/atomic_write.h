// Files on disk are never left half-written: the content goes to a temporary file beside the
// target, which then replaces the target in one rename.
#pragma once

#include <string>

namespace velta {

// Writes `content` to `path` (created or replaced). False when any step failed; the target is then
// as it was, no temporary file is left behind and `reason` says why in one English sentence.
//
// An existing file keeps its permissions, a new one gets 0666 less the umask. Saving through a
// symbolic link replaces the file it points to and keeps the link. A target that is not a regular
// file (a device, a FIFO, a folder) is refused and left as it is. When the folder does not let
// a file be created but the target itself may be written, the target is overwritten in place;
// only when that write fails is the old content lost, and `reason` then says so.
bool WriteFileAtomically(const std::string& path, const std::string& content,
                         std::string& reason);

// Appends `text` to the regular file `fd` (opened with O_APPEND) whole or not at all: when only a
// part fits (full disk, file size limit), that part is cut off again, so the file never ends in a
// half line that the next line would be joined to. False with `reason` when it was not written.
bool AppendWhole(int fd, const std::string& text, std::string& reason);

// The process's file mode creation mask, read without changing it.
unsigned CurrentUmask();

}  // namespace velta
