// Settings files (*.ini, section "VELTA Setup", addresses 0..51) and backup files (*.bak, section
// "VELTA Backup", addresses 0..255): INI text with "Version" and one key per controller address.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "controller/image.h"

namespace velta {

enum class ImageFileKind { Settings, Backup };

// Always written as "Version"; a load that finds another number warns the user.
constexpr int kImageFileVersion = 160;

const char* ImageFileSection(ImageFileKind kind);
int ImageFileAddressCount(ImageFileKind kind);

// A value as the loader reads it: an optional sign and decimal digits within 32 bits; anything
// else (missing, empty, trailing characters, out of range) reads as 0.
std::int32_t ParseIniInteger(const char* text);

// Stores the low byte of every address key of the kind's section into the image (missing keys
// as 0) and returns the file's "Version" (0 when missing). Other sections are not looked at.
int LoadImageText(std::string_view text, ControllerImage& image, ImageFileKind kind);

// The same from a file; nothing (image untouched) when the file cannot be read, which `reason`
// then explains in one English sentence. Only regular files up to kMaxIniFileSize are read.
std::optional<int> LoadImageFile(const std::string& path, ControllerImage& image,
                                 ImageFileKind kind, std::string& reason);

// `existing` with "Version" and the addresses set in the kind's section: keys already there are
// replaced where they stand, new ones follow in the order "Version", "0", "1", ...; every other
// line stays as it was.
std::string ImageFileText(std::string_view existing, const ControllerImage& image,
                          ImageFileKind kind);

// Merges the image into the file at `path` (created if missing) and replaces it in one step.
// False when the existing file cannot be read or the new one cannot be written; then the file
// on disk is unchanged (see WriteFileAtomically for the one exception) and `reason` says why.
bool SaveImageFile(const std::string& path, const ControllerImage& image, ImageFileKind kind,
                   std::string& reason);

}  // namespace velta
