// The Update file: an opaque firmware image of 1 to 14336 bytes, sent to the boot loader in
// 32-byte blocks, the last one filled up with 0xFF.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velta {

constexpr std::int64_t kMaxUpdateFileSize = 14336;
constexpr int kUpdateBlockSize = 32;

enum class UpdateFileResult {
  Loaded,
  CannotOpen,  // "Fehler: kann Datei nicht öffnen"
  TooLarge,    // "Fehler: Datei ist zu groß"
  Unreadable,  // "Fehler: Datei konnte nicht gelesen werden." (also an empty file)
};

// The file's bytes followed by 0xFF up to the next multiple of 32. `file` must not be empty.
std::vector<std::uint8_t> PadUpdateImage(std::span<const std::uint8_t> file);

// Reads the whole file into a padded image. Anything but Loaded leaves `image` empty; only a
// regular file is read, and for CannotOpen and Unreadable `reason` says why in English.
UpdateFileResult LoadUpdateFile(const std::string& path, std::vector<std::uint8_t>& image,
                                std::string& reason);

// The translated log line of a refusal; empty for Loaded.
std::string UpdateFileMessage(UpdateFileResult result);

}  // namespace velta
