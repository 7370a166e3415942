#include "monitor/app_settings.h"

// The INI parser is compiled here, so sanitizer builds instrument it too.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace velta {
namespace {

const char kOrganisation[] = "Korvelt";
const char kApplication[] = "VELTA";

// Reads an integer value when present and well-formed: decimal, or hexadecimal behind "0x",
// because hand-edited stores write the Admin mask that way. A leading zero is no octal prefix
// ("010" is ten).
bool ReadInteger(QSettings& store, const char* key, long long& value) {
  if (!store.contains(key)) return false;
  const QString text = store.value(key).toString().trimmed();
  const bool hex = text.startsWith("0x", Qt::CaseInsensitive);
  bool ok = false;
  const long long read = hex ? text.mid(2).toLongLong(&ok, 16) : text.toLongLong(&ok, 10);
  if (ok) value = read;
  return ok;
}

// A value beyond 32 bits is unreadable, not cut: cut, a port number would name another port.
void ReadInt32(QSettings& store, const char* key, std::int32_t& field) {
  long long value = 0;
  if (ReadInteger(store, key, value) && value >= INT32_MIN && value <= INT32_MAX) {
    field = static_cast<std::int32_t>(value);
  }
}

void ReadBool(QSettings& store, const char* key, bool& field) {
  if (!store.contains(key)) return;
  const QString text = store.value(key).toString().trimmed();
  if (text.compare("true", Qt::CaseInsensitive) == 0) {
    field = true;
  } else if (text.compare("false", Qt::CaseInsensitive) == 0) {
    field = false;
  } else {
    long long value = 0;
    if (ReadInteger(store, key, value)) field = value != 0;
  }
}

void ReadText(QSettings& store, const char* key, std::string& field) {
  if (store.contains(key)) field = store.value(key).toString().toStdString();
}

// Writes `text` to a temporary file beside `path` and renames it over the target, so a crash or a
// full disk never leaves a half-written file behind.
bool ReplaceFile(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  const bool complete = written == text.size() && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !complete || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<QSettings> OpenSettingsStore() {
  const QByteArray dir = qgetenv("VELTA_CONFIG_DIR");
  if (!dir.isEmpty()) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromLocal8Bit(dir));
  }
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kOrganisation,
                                     kApplication);
}

void ReadAppSettings(QSettings& store, AppSettings& settings) {
  ConnectionSettings& connection = settings.connection;
  ReadInt32(store, "ComPort", connection.comPort);
  ReadInt32(store, "ComPortIndex", settings.comPortIndex);
  ReadBool(store, "StartSend", settings.startSend);
  ReadBool(store, "Store", settings.store);
  ReadText(store, "File", settings.file);
  long long admin = 0;
  if (ReadInteger(store, "Admin", admin))
    connection.admin = static_cast<std::uint8_t>(admin & 0xFF);
  ReadBool(store, "View3D", settings.view3D);
  ReadText(store, "TCPHost", connection.tcpHost);
  ReadInt32(store, "TCPPort", connection.tcpPort);
  ReadBool(store, "UseTCP", connection.useTcp);
}

AppSettings ReadAppSettings(QSettings& store) {
  AppSettings settings;
  ReadAppSettings(store, settings);
  return settings;
}

void WriteAppSettings(QSettings& store, const AppSettings& settings) {
  const ConnectionSettings& connection = settings.connection;
  store.setValue("ComPort", connection.comPort);
  store.setValue("ComPortIndex", settings.comPortIndex);
  store.setValue("StartSend", settings.startSend ? 1 : 0);
  store.setValue("Store", settings.store ? 1 : 0);
  store.setValue("File", QString::fromStdString(settings.file));
  store.setValue("View3D", settings.view3D ? 1 : 0);
  store.setValue("TCPHost", QString::fromStdString(connection.tcpHost));
  store.setValue("TCPPort", connection.tcpPort);
  store.setValue("UseTCP", connection.useTcp ? 1 : 0);
  store.sync();
}

TcpAddress LoadTcpAddressFile(const std::string& path) {
  CSimpleIniA ini;
  ini.LoadFile(path.c_str());  // an unreadable file behaves like one without the keys
  return {ini.GetValue("TCP", "Host", "Host"), ini.GetValue("TCP", "Port", "Port")};
}

bool SaveTcpAddressFile(const std::string& path, const std::string& host, const std::string& port) {
  CSimpleIniA ini;
  ini.SetSpaces(false);
  ini.LoadFile(path.c_str());  // keeps the other sections of an existing file
  ini.SetValue("TCP", "Host", host.c_str());
  ini.SetValue("TCP", "Port", port.c_str());
  std::string text;
  if (ini.Save(text) < 0) return false;
  return ReplaceFile(path, text);
}

}  // namespace velta
