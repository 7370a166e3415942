#include "controller/settings_file.h"

#include <sys/stat.h>

#include <charconv>
#include <fstream>
#include <sstream>

#include "controller/atomic_write.h"
#include "controller/ini_file.h"

namespace velta {
namespace {

constexpr const char* kVersionKey = "Version";

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return text.str();
}

}  // namespace

const char* ImageFileSection(ImageFileKind kind) {
  return kind == ImageFileKind::Backup ? "VELTA Backup" : "VELTA Setup";
}

int ImageFileAddressCount(ImageFileKind kind) {
  return kind == ImageFileKind::Backup ? kImageSize : kParameterBlockSize;
}

std::int32_t ParseIniInteger(const char* text) {
  if (text == nullptr) return 0;
  std::string_view digits(text);
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return 0;
  return value;
}

int LoadImageText(std::string_view text, ControllerImage& image, ImageFileKind kind) {
  CSimpleIniA ini;
  ConfigureIni(ini);
  // A file SimpleIni cannot parse at all reads like one without the section: every key as 0.
  ini.LoadData(text.data(), text.size());
  const char* section = ImageFileSection(kind);
  for (int address = 0; address < ImageFileAddressCount(kind); ++address) {
    const std::string key = std::to_string(address);
    image.SetByte(address,
                  static_cast<std::uint8_t>(ParseIniInteger(ini.GetValue(section, key.c_str()))));
  }
  return ParseIniInteger(ini.GetValue(section, kVersionKey));
}

std::optional<int> LoadImageFile(const std::string& path, ControllerImage& image,
                                 ImageFileKind kind) {
  const auto text = ReadWholeFile(path);
  if (!text) return std::nullopt;
  return LoadImageText(*text, image, kind);
}

std::optional<std::string> ImageFileText(std::string_view existing, const ControllerImage& image,
                                         ImageFileKind kind) {
  CSimpleIniA ini;
  ConfigureIni(ini);
  if (ini.LoadData(existing.data(), existing.size()) < 0) return std::nullopt;
  const char* section = ImageFileSection(kind);
  const int count = ImageFileAddressCount(kind);
  // SimpleIni keeps a key where the file had it and appends new keys; dropping ours first makes
  // them come out as "Version", "0", "1", ... whatever order an older file had.
  ini.Delete(section, kVersionKey, false);
  for (int address = 0; address < count; ++address) {
    ini.Delete(section, std::to_string(address).c_str(), false);
  }
  ini.SetLongValue(section, kVersionKey, kImageFileVersion);
  for (int address = 0; address < count; ++address) {
    ini.SetLongValue(section, std::to_string(address).c_str(), image.Byte(address));
  }
  std::string text;
  if (ini.Save(text) < 0) return std::nullopt;
  return text;
}

bool SaveImageFile(const std::string& path, const ControllerImage& image, ImageFileKind kind) {
  std::string existing;
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    // Other sections of an existing file must survive; one we cannot read is not replaced.
    const auto text = ReadWholeFile(path);
    if (!text || !S_ISREG(info.st_mode)) return false;
    existing = *text;
  }
  const auto text = ImageFileText(existing, image, kind);
  return text && WriteFileAtomically(path, *text);
}

}  // namespace velta
