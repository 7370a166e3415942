#include "update/update_file.h"

#include <unistd.h>

#include <cerrno>

#include "files/regular_file.h"
#include "i18n/lookup.h"

namespace velta {

std::vector<std::uint8_t> PadUpdateImage(std::span<const std::uint8_t> file) {
  const std::size_t padded = ((file.size() - 1) / kUpdateBlockSize + 1) * kUpdateBlockSize;
  std::vector<std::uint8_t> image(padded, 0xFF);
  std::copy(file.begin(), file.end(), image.begin());
  return image;
}

UpdateFileResult LoadUpdateFile(const std::string& path, std::vector<std::uint8_t>& image,
                                std::string& reason) {
  image.clear();
  const RegularFile file(path);
  if (!file.IsOpen()) {
    reason = file.Reason();
    return UpdateFileResult::CannotOpen;
  }
  if (file.Size() > kMaxUpdateFileSize) return UpdateFileResult::TooLarge;
  if (file.Size() == 0) {
    reason = "The file is empty.";
    return UpdateFileResult::Unreadable;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(file.Fd(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      reason = n < 0 ? ErrorText(errno) : "The file became shorter while it was read.";
      return UpdateFileResult::Unreadable;
    }
    done += static_cast<std::size_t>(n);
  }
  image = PadUpdateImage(bytes);
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
