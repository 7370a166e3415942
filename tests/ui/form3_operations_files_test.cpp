// The Settings window's "Einstellungen laden" and "Einstellungen speichern" through the file
// dialogs, in settings and in backup mode.
#include <QFile>

#include "tests/support/files.h"
#include "tests/ui/form3_operations_support.h"

namespace velta::test {
namespace {

class Form3Files : public Form3OperationsTest {
 protected:
  QString Path(const QString& name) { return files.filePath(name); }
  static std::string Read(const QString& path) { return ReadFile(path.toStdString()); }
  static void Write(const QString& path, const std::string& text) {
    WriteFile(path.toStdString(), text);
  }

  QTemporaryDir files;
};

TEST_F(Form3Files, SavedSettingsComeFromTheEditors) {
  Control<QLineEdit>("edRefZistVoll")->setText("258");
  desktop.fileNames = {Path("a.ini")};
  Click("bSave");
  EXPECT_EQ(desktop.dialogs, QStringList{"Setup (*.ini)|ini"});
  const std::string text = Read(Path("a.ini"));
  EXPECT_EQ(text.rfind("[VELTA Setup]\nVersion=160\n0=3\n", 0), 0u) << text;
  EXPECT_NE(text.find("\n4=1\n5=2\n"), std::string::npos) << "collected before saving";
  EXPECT_NE(text.find("\n51="), std::string::npos);
  EXPECT_EQ(text.find("\n52="), std::string::npos);
  EXPECT_EQ(Memo(), QStringList{"Attitudes in " + Path("a.ini") + " stored"});
}

TEST_F(Form3Files, LoadedFileFillsViewAndEnablesWriting) {
  Write(Path("b.ini"), "[VELTA Setup]\nVersion=160\n4=300\n5=-1\n11=abc\n");
  desktop.fileNames = {Path("b.ini")};
  Click("bbLoad");
  EXPECT_EQ(form3->Image().Byte(4), 44);
  EXPECT_EQ(form3->Image().Byte(5), 255);
  EXPECT_EQ(form3->Image().Byte(11), 0);
  EXPECT_EQ(Control<QLineEdit>("edRefZistVoll")->text(), "11519");
  EXPECT_EQ(Memo(), QStringList{Path("b.ini") + " loaded"});
  EXPECT_TRUE(desktop.enabledWhenBeeped.empty());
  EXPECT_TRUE(Control("bbSendBC")->isEnabled());
}

// A file of any other version loads and warns, a newer one as well as an older one.
TEST_F(Form3Files, OtherFileVersionsLoadWithAWarning) {
  for (const char* version : {"161", "159"}) {
    Control<QPlainTextEdit>("Memo3")->clear();
    Write(Path("v.ini"), std::string("[VELTA Setup]\nVersion=") + version + "\n0=7\n");
    desktop.fileNames = {Path("v.ini")};
    Click("bbLoad");
    EXPECT_EQ(form3->Image().Byte(0), 7) << version;
    EXPECT_EQ(Memo(), (QStringList{Path("v.ini") + " loaded", "",
                                   "Version differences of the file!", "Settings examine!"}))
        << version;
  }
  EXPECT_EQ(desktop.beeps, 2);
}

TEST_F(Form3Files, SettingsFileInBackupModeZeroesEverythingAndWarns) {
  Write(Path("c.ini"), "[VELTA Setup]\nVersion=160\n0=7\n");
  Control<QAbstractButton>("cbBackup")->setChecked(true);
  form3->Image().bytes.fill(5);
  desktop.fileNames = {Path("c.ini")};
  Click("bbLoad");
  EXPECT_EQ(desktop.dialogs, QStringList{"Backup (*.bak)|bak"});
  EXPECT_EQ(form3->Image().bytes, ControllerImage{}.bytes);
  EXPECT_EQ(Memo(), (QStringList{Path("c.ini") + " loaded", "", "Version differences of the file!",
                                 "Settings examine!"}));
  EXPECT_EQ(desktop.enabledWhenBeeped.size(), 1u);
}

TEST_F(Form3Files, BackupSaveKeepsTheImageAndAnExistingSettingsSection) {
  Write(Path("d.bak"), "[VELTA Setup]\nVersion=160\n0=9\n");
  Control<QAbstractButton>("cbBackup")->setChecked(true);
  form3->Image().SetByte(255, 77);
  Control<QLineEdit>("edRefZistVoll")->setText("1");  // not collected in backup mode
  desktop.fileNames = {Path("d.bak")};
  Click("bSave");
  const std::string text = Read(Path("d.bak"));
  EXPECT_EQ(text.rfind("[VELTA Setup]\nVersion=160\n0=9\n", 0), 0u) << text;
  EXPECT_NE(text.find("[VELTA Backup]\nVersion=160\n0="), std::string::npos);
  EXPECT_NE(text.find("\n255=77\n"), std::string::npos);
  EXPECT_NE(text.find("\n5=32\n"), std::string::npos) << "the Default block's byte, not 1";
  EXPECT_EQ(Memo(), QStringList{"Backup in " + Path("d.bak") + " stored"});
}

TEST_F(Form3Files, CancelledDialogsChangeNothing) {
  const ControllerImage before = form3->Image();
  desktop.fileNames = {QString(), QString()};
  Click("bbLoad");
  Click("bSave");
  EXPECT_EQ(desktop.dialogs.size(), 2);
  EXPECT_EQ(form3->Image().bytes, before.bytes);
  EXPECT_TRUE(Memo().isEmpty());
  EXPECT_FALSE(Control("bbSendBC")->isEnabled());
}

TEST_F(Form3Files, FilesThatCannotBeUsedAreReported) {
  const QString missing = Path("missing.ini");
  const QString unwritable = Path("no/such/folder/e.ini");
  const ControllerImage before = form3->Image();
  desktop.fileNames = {missing, unwritable};
  Click("bbLoad");
  EXPECT_EQ(form3->Image().bytes, before.bytes);
  Click("bSave");
  EXPECT_EQ(Memo(), (QStringList{"File " + missing + " cannot be opened.",
                                 "No such file or directory.",
                                 "File " + unwritable + " cannot be opened.",
                                 "No such file or directory."}));
  EXPECT_EQ(desktop.enabledWhenBeeped.size(), 2u);
  EXPECT_FALSE(QFile::exists(unwritable));
}

}  // namespace
}  // namespace velta::test
