// Arbitrary bytes as a settings or backup file. The text in memory goes straight into the parser:
// loading must never crash, and merging the image into that same text must give a file that loads
// back to exactly the image with version 160. A first byte 0x7E puts the bytes into a file on disk,
// which must load exactly as the text does; 0x7F makes a file over the size cap, refused with a
// reason.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/regular_file.h"
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
  const std::string merged = velta::ImageFileText(text, image, kind);
  velta::ControllerImage again;
  if (velta::LoadImageText(merged, again, kind) != velta::kImageFileVersion) __builtin_trap();
  for (int a = 0; a < velta::ImageFileAddressCount(kind); ++a) {
    if (again.Byte(a) != image.Byte(a)) __builtin_trap();
  }
}

// The bytes as a regular file, through a path the loader opens like any other.
std::string FileOf(const std::string& bytes) {
  static const int fd = memfd_create("settings-fuzz", 0);
  if (fd < 0 || ftruncate(fd, 0) != 0 ||
      pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
    __builtin_trap();
  }
  return "/proc/self/fd/" + std::to_string(fd);
}

void CheckFile(const std::string& bytes) {
  velta::ControllerImage fromFile;
  std::string reason;
  const auto loaded =
      velta::LoadImageFile(FileOf(bytes), fromFile, velta::ImageFileKind::Backup, reason);
  if (bytes.size() > velta::kMaxIniFileSize) {
    if (loaded || reason.empty()) __builtin_trap();
    return;
  }
  velta::ControllerImage fromText;
  const int version = velta::LoadImageText(bytes, fromText, velta::ImageFileKind::Backup);
  if (!loaded || *loaded != version || fromFile.bytes != fromText.bytes) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the entry; the rest is the text. The parser reads a text up to its first
  // NUL byte, and a settings file holds none.
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string_view lines = text.substr(0, text.find('\0'));
  switch (data[0]) {
    case 0x7E:  // a file on disk, read as the text is
      CheckFile(std::string(lines));
      return 0;
    case 0x7F:
      break;
    default:  // the text in memory, straight into the parser: most inputs, so runs stay fast
      CheckKind(lines, data[0] & 1 ? velta::ImageFileKind::Backup : velta::ImageFileKind::Settings);
      return 0;
  }
  // Just over the cap, by 1 to 256 bytes as the next byte tells: the rest and a comment line
  // filling it up. Such a file is refused before it is parsed, so this entry stays quick; a file
  // just under the cap costs a whole parse of a megabyte, and the unit tests load one.
  if (lines.size() < 2) return 0;
  const std::string_view rest = lines.substr(1);
  const std::size_t length = velta::kMaxIniFileSize + 1 + static_cast<std::uint8_t>(lines[0]);
  std::string large(rest.substr(0, length - 2));
  large += "\n;";
  large.resize(length, 'x');
  CheckFile(large);
  return 0;
}
