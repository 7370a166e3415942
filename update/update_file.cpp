#include "update/update_file.h"

#include <filesystem>
#include <fstream>

#include "i18n/lookup.h"

namespace velta {

std::vector<std::uint8_t> PadUpdateImage(std::span<const std::uint8_t> file) {
  const std::size_t padded = ((file.size() - 1) / kUpdateBlockSize + 1) * kUpdateBlockSize;
  std::vector<std::uint8_t> image(padded, 0xFF);
  std::copy(file.begin(), file.end(), image.begin());
  return image;
}

UpdateFileResult LoadUpdateFile(const std::string& path, std::vector<std::uint8_t>& image) {
  image.clear();
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return UpdateFileResult::CannotOpen;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return UpdateFileResult::CannotOpen;
  const std::streamoff size = in.tellg();
  if (size < 0) return UpdateFileResult::Unreadable;
  if (size > kMaxUpdateFileSize) return UpdateFileResult::TooLarge;
  if (size == 0) return UpdateFileResult::Unreadable;
  std::vector<std::uint8_t> file(static_cast<std::size_t>(size));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(file.data()), size);
  if (in.gcount() != size) return UpdateFileResult::Unreadable;
  image = PadUpdateImage(file);
  return UpdateFileResult::Loaded;
}

std::string UpdateFileMessage(UpdateFileResult result) {
  switch (result) {
    case UpdateFileResult::Loaded: return {};
    case UpdateFileResult::CannotOpen: return _("Fehler: kann Datei nicht öffnen");
    case UpdateFileResult::TooLarge: return _("Fehler: Datei ist zu groß");
    case UpdateFileResult::Unreadable: return _("Fehler: Datei konnte nicht gelesen werden.");
  }
  return {};
}

}  // namespace velta
