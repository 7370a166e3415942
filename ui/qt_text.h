// Text crossing between the program's strings (UTF-8 std::string, as the controller layer and the
// catalogue hand them out) and the toolkit's QString. Every window converts through these.
#pragma once

#include <QString>
#include <string>

namespace velta {

inline QString ToQString(const std::string& text) { return QString::fromStdString(text); }
inline std::string ToStdString(const QString& text) { return text.toStdString(); }

// A path chosen in a file dialog, made absolute, as the file functions take it.
std::string AbsoluteFilePath(const QString& chosen);

}  // namespace velta
