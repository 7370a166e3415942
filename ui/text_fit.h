// Texts that are never cut off: value fields that grow to their text, lists as wide as the items
// they show, and labels whose text, where it cannot fit, is elided with the whole of it in the
// tooltip.
#pragma once

#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;

namespace velta {

// From now on `field` grows to show its whole text whenever that is wider than the field; it
// never shrinks, so a field keeps its place once it has shown its widest value.
void GrowWithText(QLineEdit& field);

// The width `list` needs to show `text` closed, frame and arrow included.
int ListWidthFor(const QComboBox& list, const QString& text);

// Shows `text` in `label`, whose width is fixed. Whole when it fits; a wrapping label that would
// break its value apart breaks after the caption's colon instead; otherwise the middle is elided,
// so that the value at the end stays whole, and the tooltip holds the whole text below the
// label's own hint.
void ShowFitted(QLabel& label, const QString& text);

}  // namespace velta
