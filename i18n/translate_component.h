// The window walk: replaces every caption, title, tool tip, text and list item of a window and of
// the widgets and actions it owns by its catalogue lookup.
#pragma once

#include <string>

class QObject;
class QWidget;

namespace velta {

// Keeps `propertyName` of every object of class `className` (or of a class derived from it) out
// of the walk; an empty property name keeps out the whole class. Class names are Qt's
// ("QAction", "QWidget", "QFont"); property names are those the walk translates: "windowTitle",
// "text", "title", "toolTip", "statusTip", "whatsThis", "placeholderText", "iconText", "prefix",
// "suffix", "specialValueText", "items" (combo and list entries, memo lines) and "tabText".
// The program registers its exclusions once, before it selects the language and builds a window.
void RegisterExclusion(const std::string& className, const std::string& propertyName = "");

// Whether the registry keeps `propertyName` of exactly the class `className` out of the walk.
bool IsExcluded(const std::string& className, const std::string& propertyName);

// Walks `window` and every widget and action it owns, but not separate windows parented to it
// (their owners decide whether they are translated). A text changes only when the catalogue has
// an entry for it. An object with the dynamic property "notr" set to true keeps its own texts
// (for texts the code fills in); what it owns is still walked.
void TranslateComponent(QWidget* window);

// The same walk for the program's own English texts, looked up in its German catalogue; does
// nothing unless German is selected. Exclusions and "notr" apply as above.
void TranslateOwnTexts(QWidget* window);

}  // namespace velta
