#include "i18n/translate_component.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>

#include <set>
#include <utility>

#include "i18n/lookup.h"

namespace velta {
namespace {

std::set<std::pair<std::string, std::string>>& Exclusions() {
  static std::set<std::pair<std::string, std::string>> exclusions;
  return exclusions;
}

// Excluded for this object's class or any class it derives from, by property or as a whole.
bool ExcludedFor(const QObject* object, const char* property) {
  for (const QMetaObject* meta = object->metaObject(); meta; meta = meta->superClass()) {
    if (IsExcluded(meta->className(), property) || IsExcluded(meta->className(), "")) return true;
  }
  return false;
}

// The walk in progress looks its texts up in the system's catalogue or in the program's own.
std::string (*walkLookup)(const char*) = Translate;

// The catalogue's text, or the text itself; true when the catalogue changed it.
bool Lookup(const QString& text, QString& translated) {
  if (text.isEmpty()) return false;
  translated = QString::fromStdString(walkLookup(text.toStdString().c_str()));
  return translated != text;
}

// The plain string properties the walk translates, by the class that declares them.
struct StringProperty {
  const char* className;
  const char* property;
};
constexpr StringProperty kStringProperties[] = {
    {"QWidget", "windowTitle"},       {"QWidget", "toolTip"},
    {"QWidget", "statusTip"},         {"QWidget", "whatsThis"},
    {"QLabel", "text"},               {"QAbstractButton", "text"},
    {"QGroupBox", "title"},           {"QLineEdit", "text"},
    {"QLineEdit", "placeholderText"}, {"QPlainTextEdit", "placeholderText"},
    {"QTextEdit", "placeholderText"}, {"QAbstractSpinBox", "specialValueText"},
    {"QSpinBox", "prefix"},           {"QSpinBox", "suffix"},
    {"QDoubleSpinBox", "prefix"},     {"QDoubleSpinBox", "suffix"},
    {"QMenu", "title"},               {"QAction", "text"},
    {"QAction", "iconText"},          {"QAction", "toolTip"},
    {"QAction", "statusTip"},         {"QAction", "whatsThis"},
};

void TranslateStringProperties(QObject* object) {
  for (const StringProperty& entry : kStringProperties) {
    if (!object->inherits(entry.className) || ExcludedFor(object, entry.property)) continue;
    QString translated;
    if (Lookup(object->property(entry.property).toString(), translated)) {
      object->setProperty(entry.property, translated);
    }
  }
}

// A memo's lines are looked up one by one, like the entries of a list.
QString TranslateLines(const QString& text, bool& changed) {
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) {
    QString translated;
    if (Lookup(line, translated)) {
      line = translated;
      changed = true;
    }
  }
  return lines.join(QLatin1Char('\n'));
}

void TranslateItems(QObject* object) {
  if (ExcludedFor(object, "items")) return;
  QString translated;
  if (auto* combo = qobject_cast<QComboBox*>(object)) {
    for (int i = 0; i < combo->count(); ++i) {
      if (Lookup(combo->itemText(i), translated)) combo->setItemText(i, translated);
    }
  } else if (auto* list = qobject_cast<QListWidget*>(object)) {
    for (int i = 0; i < list->count(); ++i) {
      if (Lookup(list->item(i)->text(), translated)) list->item(i)->setText(translated);
    }
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(object)) {
    bool changed = false;
    const QString text = TranslateLines(memo->toPlainText(), changed);
    if (changed) memo->setPlainText(text);
  } else if (auto* memo = qobject_cast<QTextEdit*>(object)) {
    bool changed = false;
    const QString text = TranslateLines(memo->toPlainText(), changed);
    if (changed) memo->setPlainText(text);
  }
}

void TranslateTabs(QObject* object) {
  auto* tabs = qobject_cast<QTabWidget*>(object);
  if (tabs == nullptr || ExcludedFor(object, "tabText")) return;
  QString translated;
  for (int i = 0; i < tabs->count(); ++i) {
    if (Lookup(tabs->tabText(i), translated)) tabs->setTabText(i, translated);
  }
}

// Qt's own helper widgets (the edit line inside a spin box or an editable combo box) show the
// value of their owner, not a caption.
bool IsInnerWidget(const QObject* object) {
  if (object->objectName().startsWith(QLatin1String("qt_"))) return true;
  const QObject* parent = object->parent();
  return object->inherits("QLineEdit") && parent != nullptr &&
         (parent->inherits("QComboBox") || parent->inherits("QAbstractSpinBox"));
}

void TranslateObject(QObject* object) {
  if (object->property("notr").toBool() || IsInnerWidget(object)) return;
  TranslateStringProperties(object);
  TranslateItems(object);
  TranslateTabs(object);
}

// A separate window parented to the walked one is not part of it; a menu is, although Qt makes
// its popup a window.
bool IsSeparateWindow(const QObject* object) {
  const auto* widget = qobject_cast<const QWidget*>(object);
  return widget != nullptr && widget->isWindow() && qobject_cast<const QMenu*>(widget) == nullptr;
}

void Walk(QObject* object) {
  TranslateObject(object);
  for (QObject* child : object->children()) {
    if (!IsSeparateWindow(child)) Walk(child);
  }
}

}  // namespace

void RegisterExclusion(const std::string& className, const std::string& propertyName) {
  Exclusions().emplace(className, propertyName);
}

bool IsExcluded(const std::string& className, const std::string& propertyName) {
  return Exclusions().count({className, propertyName}) != 0;
}

void TranslateComponent(QWidget* window) {
  if (window == nullptr) return;
  walkLookup = Translate;
  Walk(window);
}

void TranslateOwnTexts(QWidget* window) {
  if (window == nullptr || !GermanSelected()) return;
  walkLookup = TranslateOwn;
  Walk(window);
  walkLookup = Translate;
}

}  // namespace velta
