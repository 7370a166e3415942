#include "ui/qt_text.h"

#include <QFileInfo>

namespace velta {

std::string AbsoluteFilePath(const QString& chosen) {
  return ToStdString(QFileInfo(chosen).absoluteFilePath());
}

}  // namespace velta
