// A settings store folder of a test's own: VELTA_CONFIG_DIR points into a fresh temporary folder
// while the object lives, so no test reads or leaves settings in the user's real store. The data
// folder (XDG_DATA_HOME, where the history goes) likewise.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <cstdlib>

namespace velta::test {

class TempConfigDir {
 public:
  TempConfigDir() { setenv("VELTA_CONFIG_DIR", dir_.path().toLocal8Bit().constData(), 1); }
  ~TempConfigDir() { unsetenv("VELTA_CONFIG_DIR"); }
  TempConfigDir(const TempConfigDir&) = delete;
  TempConfigDir& operator=(const TempConfigDir&) = delete;

  QString Path() const { return dir_.path(); }
  QString FilePath(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};

class TempDataDir {
 public:
  TempDataDir() { setenv("XDG_DATA_HOME", dir_.path().toLocal8Bit().constData(), 1); }
  ~TempDataDir() { unsetenv("XDG_DATA_HOME"); }
  TempDataDir(const TempDataDir&) = delete;
  TempDataDir& operator=(const TempDataDir&) = delete;

  QString Path() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
};

}  // namespace velta::test
