// The window walk: replaces every caption, title, tool tip, text and combo-box item of a window's
// widgets by its catalogue lookup.
#pragma once

class QWidget;

namespace velta {

void TranslateComponent(QWidget* window);

}  // namespace velta
