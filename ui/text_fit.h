// Texts that are never cut off: value fields that grow to their text, lists that ask for their
// widest item and elide their closed text where a small screen squeezes them, and labels whose
// text, where it cannot fit, is elided with the whole of it in the tooltip.
#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace velta {

// The width a control gives its text: a label's contents, a field's or a closed list's text area,
// a button's text beside its icon or box; -1 for other controls.
int TextRoom(const QWidget& control);

// The shown labels, fields, buttons and lists of `window` whose text does not fit their room, as
// "name "text"": each item of a closed list (unless it elides them with the whole in its tooltip),
// a wrapping label's words and lines. A text elided with a tooltip counts as whole.
QStringList CutTexts(const QWidget& window);

// From now on `field` grows to show its whole text whenever that is wider than the field; it
// never shrinks, so a field keeps its place once it has shown its widest value.
void GrowWithText(QLineEdit& field);

// The width `list` needs to show `text` closed, frame and arrow included.
int ListWidthFor(const QComboBox& list, const QString& text);

// Each list of `window` asks for the width of its widest item, anew whenever an item's text
// changes (a new language too). Where its layout gives it less, on a small screen, its closed text
// is elided and the tooltip holds the whole text above the list's own.
void FitListsToItems(QWidget& window);

// From now on the open list of `list` is as wide as its items, also where the closed list is
// narrower.
void KeepOpenListWide(QComboBox& list);

// Shows `text` in `label`, whose width is fixed. Whole when it fits; a wrapping label that would
// break its value apart breaks after the caption's colon instead; otherwise the middle is elided,
// so that the value at the end stays whole, and the tooltip holds the whole text below the
// label's own hint.
void ShowFitted(QLabel& label, const QString& text);

}  // namespace velta
