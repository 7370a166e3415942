#include "ui/program_identity.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QIcon>
#include <QString>

namespace velta {

void SetProgramIdentity(const char* desktopFileName) {
  QGuiApplication::setDesktopFileName(QString::fromUtf8(desktopFileName));
  // The icon is built in at every size drawn (:/icons/<size>/...png), so a taskbar or title bar
  // takes the nearest bitmap instead of scaling a single one.
  QIcon icon;
  QDirIterator bitmaps(":/icons", {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
  while (bitmaps.hasNext()) icon.addFile(bitmaps.next());
  QGuiApplication::setWindowIcon(icon);
}

}  // namespace velta
