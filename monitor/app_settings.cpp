#include "monitor/app_settings.h"

#include <QByteArray>
#include <QStandardPaths>
#include <QStringList>
#include <cstdint>
#include <cstdio>

#include "files/ini_edit.h"
#include "controller/ini_file.h"
#include "files/regular_file.h"
#include "link/numbers.h"
#include "link/port_search.h"
#include "i18n/lookup.h"

namespace velta {
namespace {

const char kOrganisation[] = "Korvelt";
const char kApplication[] = "VELTA";

}  // namespace

bool ReadStoreInteger(QSettings& store, const char* key, long long& value) {
  if (!store.contains(key)) return false;
  const QString text = store.value(key).toString().trimmed();
  const bool hex = text.startsWith("0x", Qt::CaseInsensitive);
  bool ok = false;
  const long long read = hex ? text.mid(2).toLongLong(&ok, 16) : text.toLongLong(&ok, 10);
  if (ok) value = read;
  return ok;
}

namespace {

// A value beyond 32 bits is unreadable, not cut: cut, a port number would name another port.
void ReadInt32(QSettings& store, const char* key, std::int32_t& field) {
  long long value = 0;
  if (ReadStoreInteger(store, key, value) && value >= INT32_MIN && value <= INT32_MAX) {
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
    if (ReadStoreInteger(store, key, value)) field = value != 0;
  }
}

void ReadText(QSettings& store, const char* key, std::string& field) {
  if (store.contains(key)) field = store.value(key).toString().toStdString();
}

// "5=/dev/serial/by-id/usb-..." per pin; an entry without a number 1..255 or a path is skipped.
void ReadPins(QSettings& store, std::map<std::int32_t, std::string>& pins) {
  if (!store.contains("ComPins")) return;
  pins.clear();
  for (const QString& entry : store.value("ComPins").toStringList()) {
    const qsizetype equals = entry.indexOf('=');
    const std::optional<std::int32_t> port = ParseComPort(entry.left(equals).toStdString());
    if (equals < 0 || !port || equals + 1 >= entry.size()) continue;
    pins[*port] = entry.mid(equals + 1).toStdString();
  }
}

QStringList PinEntries(const std::map<std::int32_t, std::string>& pins) {
  QStringList entries;
  for (const auto& [port, path] : pins) {
    entries.append(QString::number(port) + "=" + QString::fromStdString(path));
  }
  return entries;
}

}  // namespace

std::string SettingsStorePath() {
  const QByteArray dir = qgetenv("VELTA_CONFIG_DIR");
  const QString folder =
      dir.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                    : QString::fromLocal8Bit(dir);
  return (folder + "/" + kOrganisation + "/" + kApplication + ".conf").toStdString();
}

std::unique_ptr<QSettings> OpenSettingsStore() {
  const std::string path = SettingsStorePath();
  std::string reason;
  if (IsOddFile(path, reason)) {
    // QSettings would wait for a writer on a FIFO and replace a device at the next save. A file
    // below /dev/null can neither be read nor created: the store then lives in memory only.
    std::fprintf(stderr, "%s\n",
                 Format(V_("Settings store %s not used, the defaults apply: %s"), path.c_str(),
                        reason.c_str())
                     .c_str());
    return std::make_unique<QSettings>("/dev/null/settings.conf", QSettings::NativeFormat);
  }
  return std::make_unique<QSettings>(QString::fromStdString(path), QSettings::NativeFormat);
}

void ReadAppSettings(QSettings& store, AppSettings& settings) {
  ConnectionSettings& connection = settings.connection;
  ReadInt32(store, "ComPort", connection.comPort);
  ReadInt32(store, "ComPortIndex", settings.comPortIndex);
  ReadBool(store, "StartSend", settings.startSend);
  ReadBool(store, "Store", settings.store);
  ReadText(store, "File", settings.file);
  long long admin = 0;
  if (ReadStoreInteger(store, "Admin", admin))
    connection.admin = static_cast<std::uint8_t>(admin & 0xFF);
  ReadBool(store, "View3D", settings.view3D);
  ReadText(store, "TCPHost", connection.tcpHost);
  ReadInt32(store, "TCPPort", connection.tcpPort);
  ReadBool(store, "UseTCP", connection.useTcp);
  ReadPins(store, settings.comPins);
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
  store.setValue("ComPins", PinEntries(settings.comPins));
  store.sync();
}

std::string ReadLanguageChoice(QSettings& store) {
  std::string language;
  ReadText(store, "Language", language);
  return language;
}

void WriteLanguageChoice(QSettings& store, const std::string& language) {
  store.setValue("Language", QString::fromStdString(language));
  store.sync();
}

void ApplyComPins(const std::map<std::int32_t, std::string>& pins) {
  for (const auto& [port, path] : pins) SetComPortOverride(static_cast<std::uint32_t>(port), path);
}

std::optional<TcpAddress> LoadTcpAddressFile(const std::string& path, std::string& reason) {
  const auto text = ReadRegularFile(path, kMaxIniFileSize, reason);
  if (!text) return std::nullopt;
  CSimpleIniA ini;
  ConfigureIni(ini);
  const std::string lines = SectionLines(*text, "TCP");
  ini.LoadData(lines.data(), lines.size());
  return TcpAddress{ini.GetValue("TCP", "Host", "Host"), ini.GetValue("TCP", "Port", "Port")};
}

bool SaveTcpAddressFile(const std::string& path, const std::string& host, const std::string& port,
                        std::string& reason) {
  return SaveIniValues(path, "TCP", {{"Host", host}, {"Port", port}}, reason);
}

}  // namespace velta
