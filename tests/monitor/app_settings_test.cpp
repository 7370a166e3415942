// Application settings in the settings store and the TCP address files, without a window.
#include "monitor/app_settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/config_dir.h"
#include "tests/support/files.h"

namespace velta {
namespace {

class AppSettingsTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  std::string reason;
  QString StorePath() const { return dir.filePath("store.ini"); }
};

TEST_F(AppSettingsTest, EmptyStoreGivesTheFirstStartDefaults) {
  QSettings store(StorePath(), QSettings::IniFormat);
  const AppSettings s = ReadAppSettings(store);
  EXPECT_EQ(s.connection.comPort, 1);
  EXPECT_EQ(s.comPortIndex, 0);
  EXPECT_FALSE(s.startSend);
  EXPECT_FALSE(s.connection.useTcp);
  EXPECT_EQ(s.connection.tcpHost, "");
  EXPECT_EQ(s.connection.tcpPort, 10001);
  EXPECT_EQ(s.connection.admin, 0);
  EXPECT_FALSE(s.store);
  EXPECT_FALSE(s.view3D);
}

TEST_F(AppSettingsTest, WrittenSettingsReadBackUnchanged) {
  AppSettings written;
  written.connection.comPort = 17;
  written.connection.useTcp = true;
  written.connection.tcpHost = "pump-7.example.net";
  written.connection.tcpPort = 502;
  written.comPortIndex = -1;
  written.startSend = true;
  written.store = true;
  written.file = "c:\\error.txt";
  written.view3D = true;
  {
    QSettings store(StorePath(), QSettings::IniFormat);
    WriteAppSettings(store, written);
  }
  QSettings store(StorePath(), QSettings::IniFormat);
  const AppSettings read = ReadAppSettings(store);
  EXPECT_EQ(read.connection.comPort, 17);
  EXPECT_TRUE(read.connection.useTcp);
  EXPECT_EQ(read.connection.tcpHost, "pump-7.example.net");
  EXPECT_EQ(read.connection.tcpPort, 502);
  EXPECT_EQ(read.comPortIndex, -1);
  EXPECT_TRUE(read.startSend);
  EXPECT_TRUE(read.store);
  EXPECT_EQ(read.file, "c:\\error.txt");
  EXPECT_TRUE(read.view3D);
  // The value names are part of the store's format.
  for (const char* key : {"ComPort", "ComPortIndex", "StartSend", "Store", "File", "View3D",
                          "TCPHost", "TCPPort", "UseTCP"}) {
    EXPECT_TRUE(store.contains(key)) << key;
  }
}

TEST_F(AppSettingsTest, AdminIsReadAsItsLowEightBitsAndNeverWritten) {
  struct Row {
    const char* stored;
    std::uint8_t flags;
  };
  for (const Row& row : {Row{"0", 0x00}, Row{"9", 0x09}, Row{"268", 0x0C}, Row{"0x10C", 0x0C},
                         Row{"255", 0xFF}, Row{"-1", 0xFF}, Row{"256", 0x00}, Row{"010", 0x0A},
                         Row{"0X1f", 0x1F}}) {
    QFile::remove(StorePath());
    QSettings store(StorePath(), QSettings::IniFormat);
    store.setValue("Admin", row.stored);
    EXPECT_EQ(ReadAppSettings(store).connection.admin, row.flags) << row.stored;
  }
  QFile::remove(StorePath());
  QSettings store(StorePath(), QSettings::IniFormat);
  AppSettings settings;
  settings.connection.admin = 0x09;
  WriteAppSettings(store, settings);
  EXPECT_FALSE(store.contains("Admin"));
  store.setValue("Admin", 1);
  WriteAppSettings(store, settings);
  EXPECT_EQ(store.value("Admin").toInt(), 1);
}

TEST_F(AppSettingsTest, AbsentOrUnreadableValuesKeepWhatTheCallerHad) {
  QSettings store(StorePath(), QSettings::IniFormat);
  store.setValue("TCPPort", 4001);
  store.setValue("ComPort", "not a number");
  AppSettings settings;
  settings.connection.comPort = 5;  // chosen by the port search before the store is read
  settings.file = "c:\\error.txt";  // the window's translated default
  ReadAppSettings(store, settings);
  EXPECT_EQ(settings.connection.tcpPort, 4001);
  EXPECT_EQ(settings.connection.comPort, 5);
  EXPECT_EQ(settings.file, "c:\\error.txt");
  store.setValue("File", "");
  ReadAppSettings(store, settings);
  EXPECT_EQ(settings.file, "") << "a stored empty path is a value, not an absent one";
}

TEST_F(AppSettingsTest, NumbersAreDecimalAndNeverCutTo32Bits) {
  struct Row {
    const char* key;
    const char* stored;
    std::int32_t comPort, tcpPort;  // after reading into the first-start defaults
  };
  for (const Row& row : {Row{"ComPort", "08", 8, 10001}, Row{"TCPPort", "010", 1, 10},
                         Row{"TCPPort", "4294967798", 1, 10001},
                         Row{"ComPort", "-4294967294", 1, 10001}}) {
    QFile::remove(StorePath());
    QSettings store(StorePath(), QSettings::IniFormat);
    store.setValue(row.key, row.stored);
    const AppSettings read = ReadAppSettings(store);
    EXPECT_EQ(read.connection.comPort, row.comPort) << row.key << "=" << row.stored;
    EXPECT_EQ(read.connection.tcpPort, row.tcpPort) << row.key << "=" << row.stored;
  }
}

TEST_F(AppSettingsTest, ConfigDirectoryOfTheEnvironmentHoldsTheStore) {
  const test::TempConfigDir configDir;
  {
    auto store = OpenSettingsStore();
    AppSettings settings;
    settings.connection.tcpHost = "10.1.2.3";
    WriteAppSettings(*store, settings);
    EXPECT_TRUE(store->fileName().startsWith(configDir.Path())) << store->fileName().toStdString();
  }
  auto reopened = OpenSettingsStore();
  EXPECT_EQ(ReadAppSettings(*reopened).connection.tcpHost, "10.1.2.3");
}

// A FIFO or a device as the store's file is neither waited on nor replaced: the defaults apply.
// Run in a child under an alarm, so a store that waits for a writer fails instead of hanging.
TEST_F(AppSettingsTest, StoreFileThatIsNotARegularFileIsNeitherReadNorReplaced) {
  const test::TempConfigDir configDir;
  const std::string path = SettingsStorePath();
  ASSERT_TRUE(QDir().mkpath(configDir.FilePath("Korvelt")));
  ASSERT_EQ(::mkfifo(path.c_str(), 0666), 0) << path;
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(10);
    AppSettings settings = ReadAppSettings(*OpenSettingsStore());
    settings.connection.tcpHost = "10.1.2.3";
    WriteAppSettings(*OpenSettingsStore(), settings);
    ::_exit(settings.connection.tcpPort == 10001 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_EQ(QDir(configDir.FilePath("Korvelt")).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                                             QDir::NoDotAndDotDot),
            QStringList{"VELTA.conf"});
}

TEST_F(AppSettingsTest, TcpAddressFileRoundTripKeepsOtherSections) {
  const std::string path = dir.filePath("plant.tcp").toStdString();
  test::WriteFile(path, "[Notes]\nsite=north shed\n[TCP]\nHost=old\n");
  ASSERT_TRUE(SaveTcpAddressFile(path, "192.168.0.40", "10001", reason));
  const TcpAddress loaded = LoadTcpAddressFile(path, reason).value();
  EXPECT_EQ(loaded.host, "192.168.0.40");
  EXPECT_EQ(loaded.port, "10001");
  const std::string text = test::ReadFile(path);
  EXPECT_NE(text.find("Host=192.168.0.40"), std::string::npos) << text;
  EXPECT_NE(text.find("Port=10001"), std::string::npos) << text;
  EXPECT_NE(text.find("site=north shed"), std::string::npos) << text;
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file left behind";
}

// The save goes through a temporary file of its own: a file that happens to carry the name the
// temporary might have had is not touched, and the address file keeps its permissions.
TEST_F(AppSettingsTest, TcpAddressFileSaveLeavesNeighboursAndPermissionsAlone) {
  const std::string path = dir.filePath("plant.tcp").toStdString();
  test::WriteFile(path, "[TCP]\nHost=old\n");
  ASSERT_TRUE(QFile::setPermissions(QString::fromStdString(path),
                                    QFile::ReadOwner | QFile::WriteOwner));
  test::WriteFile(path + ".tmp", "someone else's file");
  ASSERT_TRUE(SaveTcpAddressFile(path, "10.0.0.9", "10002", reason));
  EXPECT_EQ(LoadTcpAddressFile(path, reason).value().host, "10.0.0.9");
  EXPECT_EQ(test::ReadFile(path + ".tmp"), "someone else's file");
  EXPECT_EQ(QFile::permissions(QString::fromStdString(path)) & QFile::ReadOther, 0)
      << "the owner-only file became readable by others";
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file left behind";
}

TEST_F(AppSettingsTest, TcpAddressFileWithoutKeysGivesTheLiteralNames) {
  struct Row {
    const char* content;
    const char* host;
    const char* port;
  };
  const std::string path = dir.filePath("partial.tcp").toStdString();
  for (const Row& row :
       {Row{"[TCP]\nHost=pump\n", "pump", "Port"}, Row{"[TCP]\nPort=8080\n", "Host", "8080"},
        Row{"[Other]\nHost=x\nPort=1\n", "Host", "Port"}, Row{"", "Host", "Port"}}) {
    test::WriteFile(path, row.content);
    const TcpAddress loaded = LoadTcpAddressFile(path, reason).value();
    EXPECT_EQ(loaded.host, row.host) << row.content;
    EXPECT_EQ(loaded.port, row.port) << row.content;
  }
}

TEST_F(AppSettingsTest, TcpAddressFileThatCannotBeWrittenIsReportedAndLeavesNothing) {
  const std::string path = dir.filePath("missing-folder/plant.tcp").toStdString();
  EXPECT_FALSE(SaveTcpAddressFile(path, "host", "1", reason));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path + ".tmp")));
}

}  // namespace
}  // namespace velta
