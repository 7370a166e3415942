// The Application settings of the Monitor window, kept in the settings store (QSettings,
// organisation "Korvelt", application "VELTA", native format), and the TCP address files.
#pragma once

#include <QSettings>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "link/connection.h"

namespace velta {

// What the Monitor window persists. The defaults are those of a first start.
struct AppSettings {
  ConnectionSettings connection;  // ComPort, UseTCP, TCPHost, TCPPort, Admin
  std::int32_t comPortIndex = 0;  // selected entry of the port list, -1 = none
  bool startSend = false;         // Polling was on
  bool store = false;             // append error lines to the error file
  std::string file;               // error file path; empty = keep the window's default
  bool view3D = false;            // history chart drawn in 3D
  // COM numbers pinned to a stable device name (/dev/serial/by-id/...), stored as "ComPins".
  std::map<std::int32_t, std::string> comPins;
};

// Points each pinned COM number at its device name; a pin is stronger than the fixed mapping and
// VELTA_COM<n>.
void ApplyComPins(const std::map<std::int32_t, std::string>& pins);

// The settings store's file: Korvelt/VELTA.conf in the user's configuration folder, or in
// VELTA_CONFIG_DIR when set (the demo and the tests), so the user's own settings are never touched.
std::string SettingsStorePath();

// The program's settings store. A file there that is not a regular file (a FIFO, a device) is
// neither read nor replaced: the defaults apply, changes are not kept and stderr says why.
std::unique_ptr<QSettings> OpenSettingsStore();

// Reads an integer value when present and well-formed: decimal, or hexadecimal behind "0x",
// because hand-edited stores write the Admin and Expert masks that way. A leading zero is no
// octal prefix ("010" is ten).
bool ReadStoreInteger(QSettings& store, const char* key, long long& value);

// Each value is read only when present; an absent one keeps the value already in `settings`.
// "Admin" keeps only its low 8 bits.
void ReadAppSettings(QSettings& store, AppSettings& settings);
AppSettings ReadAppSettings(QSettings& store);
// Writes every value except "Admin", which is only ever read.
void WriteAppSettings(QSettings& store, const AppSettings& settings);

// The language chosen in the Monitor window ("de" or "en", value "Language"), applied at the
// next start; empty while none was chosen.
std::string ReadLanguageChoice(QSettings& store);
void WriteLanguageChoice(QSettings& store, const std::string& language);

// TCP address file: INI section "TCP" with "Host" and "Port" (the port text as typed).
struct TcpAddress {
  std::string host;
  std::string port;
};
// Missing keys give the literal texts "Host" and "Port". Nothing when the file is refused (not a
// regular file, larger than kMaxIniFileSize, unreadable); `reason` then says why.
std::optional<TcpAddress> LoadTcpAddressFile(const std::string& path, std::string& reason);
// Keeps every other line of an existing file; the file is replaced in one step. Returns false,
// with the reason, when the existing file cannot be read or the new one cannot be written.
bool SaveTcpAddressFile(const std::string& path, const std::string& host, const std::string& port,
                        std::string& reason);

}  // namespace velta
