// Arbitrary bytes as a settings or backup file: loading must never crash, and merging the image
// into that same text must give a file that loads back to exactly the image with version 160.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "controller/settings_file.h"

namespace {

void CheckKind(std::string_view text, velta::ImageFileKind kind) {
  velta::ControllerImage loaded;
  velta::LoadImageText(text, loaded, kind);
  // Different bytes than the file holds, so the merge has to replace every value.
  velta::ControllerImage image;
  for (int a = 0; a < velta::kImageSize; ++a) {
    image.SetByte(a, static_cast<std::uint8_t>(loaded.Byte(a) ^ 0xA5));
  }
  const auto merged = velta::ImageFileText(text, image, kind);
  if (!merged) return;
  velta::ControllerImage again;
  if (velta::LoadImageText(*merged, again, kind) != velta::kImageFileVersion) __builtin_trap();
  for (int a = 0; a < velta::ImageFileAddressCount(kind); ++a) {
    if (again.Byte(a) != image.Byte(a)) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckKind(text, velta::ImageFileKind::Settings);
  CheckKind(text, velta::ImageFileKind::Backup);
  return 0;
}
