#include "controller/settings_file.h"

#include <charconv>

#include "files/ini_edit.h"
#include "controller/ini_file.h"
#include "files/regular_file.h"

namespace velta {
namespace {

constexpr const char* kVersionKey = "Version";

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
  const char* section = ImageFileSection(kind);
  CSimpleIniA ini;
  ConfigureIni(ini);
  // A file SimpleIni cannot parse at all reads like one without the section: every key as 0.
  const std::string lines = SectionLines(text, section);
  ini.LoadData(lines.data(), lines.size());
  for (int address = 0; address < ImageFileAddressCount(kind); ++address) {
    const std::string key = std::to_string(address);
    image.SetByte(address,
                  static_cast<std::uint8_t>(ParseIniInteger(ini.GetValue(section, key.c_str()))));
  }
  return ParseIniInteger(ini.GetValue(section, kVersionKey));
}

std::optional<int> LoadImageFile(const std::string& path, ControllerImage& image,
                                 ImageFileKind kind, std::string& reason) {
  const auto text = ReadRegularFile(path, kMaxIniFileSize, reason);
  if (!text) return std::nullopt;
  return LoadImageText(*text, image, kind);
}

namespace {

IniValues ImageFileValues(const ControllerImage& image, ImageFileKind kind) {
  IniValues values{{kVersionKey, std::to_string(kImageFileVersion)}};
  for (int address = 0; address < ImageFileAddressCount(kind); ++address) {
    values.emplace_back(std::to_string(address), std::to_string(image.Byte(address)));
  }
  return values;
}

}  // namespace

std::string ImageFileText(std::string_view existing, const ControllerImage& image,
                          ImageFileKind kind) {
  return SetIniValues(existing, ImageFileSection(kind), ImageFileValues(image, kind));
}

bool SaveImageFile(const std::string& path, const ControllerImage& image, ImageFileKind kind,
                   std::string& reason) {
  return SaveIniValues(path, ImageFileSection(kind), ImageFileValues(image, kind), reason);
}

}  // namespace velta
