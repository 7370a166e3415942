#include "ui/text_fit.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QToolTip>
#include <algorithm>

namespace velta {
namespace {

// QLineEdit keeps this margin on either side of its text; the cursor takes a pixel after it.
constexpr int kFieldInnerMargin = 2;
constexpr int kCursorWidth = 1;
// A closed list keeps this margin beside its text.
constexpr int kListTextMargin = 2;
constexpr int kIconSpacing = 4;

QStyleOptionComboBox ListOption(const QComboBox& list) {
  QStyleOptionComboBox option;
  option.initFrom(&list);
  option.frame = list.hasFrame();
  option.subControls = QStyle::SC_All;
  option.currentText = list.currentText();
  option.currentIcon = list.itemIcon(list.currentIndex());
  option.iconSize = list.iconSize();
  if (list.view()->isVisible()) option.state |= QStyle::State_On;
  return option;
}

int FieldRoom(const QLineEdit& field) {
  QStyleOptionFrame option;
  option.initFrom(&field);
  const QStyle& style = *field.style();
  option.lineWidth = field.hasFrame() ? style.pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
  const QMargins margins = field.textMargins();
  return style.subElementRect(QStyle::SE_LineEditContents, &option, &field).width() -
         margins.left() - margins.right() - 2 * kFieldInnerMargin - kCursorWidth;
}

int ButtonRoom(const QAbstractButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  const QStyle::SubElement contents = qobject_cast<const QCheckBox*>(&button)
                                          ? QStyle::SE_CheckBoxContents
                                      : qobject_cast<const QRadioButton*>(&button)
                                          ? QStyle::SE_RadioButtonContents
                                          : QStyle::SE_PushButtonContents;
  const int icon = button.icon().isNull() ? 0 : button.iconSize().width() + kIconSpacing;
  return button.style()->subElementRect(contents, &option, &button).width() - icon;
}

QString ElidedListText(const QComboBox& list, const QString& text) {
  return list.fontMetrics().elidedText(text, Qt::ElideRight, TextRoom(list));
}

// The closed text of a list narrower than it: elided, with the whole text in the tooltip above
// the list's own.
class ElidingList : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // A list being destroyed is a QComboBox no longer; its last events are not ours.
    auto* list = qobject_cast<QComboBox*>(watched);
    if (list == nullptr) return false;
    if (event->type() == QEvent::Paint) {
      // As QComboBox paints itself, with the text elided.
      QStylePainter painter(list);
      painter.setPen(list->palette().color(QPalette::Text));
      QStyleOptionComboBox option = ListOption(*list);
      painter.drawComplexControl(QStyle::CC_ComboBox, option);
      option.currentText = ElidedListText(*list, option.currentText);
      painter.drawControl(QStyle::CE_ComboBoxLabel, option);
      return true;
    }
    const QString whole = list->currentText();
    if (event->type() != QEvent::ToolTip || ElidedListText(*list, whole) == whole) return false;
    const QString own = list->toolTip();
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                       own.isEmpty() ? whole : whole + '\n' + own, list);
    return true;
  }
};

constexpr char kElides[] = "veltaElides";

// The caption's own hint, kept aside the first time the label shows a value.
QString Hint(QLabel& label) {
  constexpr char kHint[] = "veltaHint";
  if (!label.property(kHint).isValid()) label.setProperty(kHint, label.toolTip());
  return label.property(kHint).toString();
}

}  // namespace

int TextRoom(const QWidget& control) {
  if (const auto* label = qobject_cast<const QLabel*>(&control)) {
    return label->contentsRect().width() - 2 * std::max(label->margin(), 0) -
           std::max(label->indent(), 0);
  }
  if (const auto* field = qobject_cast<const QLineEdit*>(&control)) return FieldRoom(*field);
  if (const auto* list = qobject_cast<const QComboBox*>(&control)) {
    const QStyleOptionComboBox option = ListOption(*list);
    return list->style()
               ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list)
               .width() - 2 * kListTextMargin;
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
    return ButtonRoom(*button);
  }
  return -1;
}

QStringList CutTexts(const QWidget& window) {
  QStringList cut;
  const auto check = [&cut](const QWidget& control, const QString& text) {
    const bool elided = text.contains(QChar(0x2026)) && !control.toolTip().isEmpty();
    if (!elided && control.fontMetrics().horizontalAdvance(QString(text).remove('&')) >
                       TextRoom(control))
      cut << QString("%1 \"%2\"").arg(control.objectName(), text);
  };
  for (const QWidget* control : window.findChildren<QWidget*>()) {
    const auto* label = qobject_cast<const QLabel*>(control);
    const auto* list = qobject_cast<const QComboBox*>(control);
    const QString text = control->property("text").toString();
    if (!control->isVisible() || TextRoom(*control) < 0) continue;
    if (label && label->wordWrap()) {  // whole words, on the lines its height holds
      if (label->heightForWidth(label->width()) > label->height()) cut << text;
      for (const QString& word : text.split(QRegularExpression("\\s"))) check(*control, word);
    } else if (list) {
      for (int item = 0; item < list->count() && !list->property(kElides).toBool(); ++item)
        check(*control, list->itemText(item));
    } else if (!label || !text.isEmpty()) {
      check(*control, text);
    }
  }
  return cut;
}

void GrowWithText(QLineEdit& field) {
  // Its minimum, not only its width, so that no layout squeezes the text out again.
  const auto grow = [&field] {
    const int frame = field.width() - TextRoom(field);
    const int needed = field.fontMetrics().horizontalAdvance(field.text()) + frame;
    if (needed > field.minimumWidth()) field.setMinimumWidth(needed);
    if (needed > field.maximumWidth()) field.setMaximumWidth(needed);
  };
  QObject::connect(&field, &QLineEdit::textChanged, &field, grow);
  grow();
}

int ListWidthFor(const QComboBox& list, const QString& text) {
  QStyleOptionComboBox option = ListOption(list);
  option.currentText = text;
  const QSize contents(list.fontMetrics().horizontalAdvance(text) + 2 * kListTextMargin,
                       list.height());
  return list.style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, &list).width();
}

void FitListsToItems(QWidget& window) {
  static ElidingList eliding;
  for (QComboBox* list : window.findChildren<QComboBox*>()) {
    if (list->isEditable()) continue;
    // The width of the widest item, anew whenever an item's text changes.
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    list->installEventFilter(&eliding);
    list->setProperty(kElides, true);
  }
}

void KeepOpenListWide(QComboBox& list) {
  const auto fit = [&list] {
    QAbstractItemView* view = list.view();
    view->setMinimumWidth(view->sizeHintForColumn(0) + 2 * view->frameWidth());
  };
  QObject::connect(list.model(), &QAbstractItemModel::rowsInserted, &list, fit);
  QObject::connect(list.model(), &QAbstractItemModel::dataChanged, &list, fit);
  fit();
}

void ShowFitted(QLabel& label, const QString& text) {
  const QString hint = Hint(label);
  const int room = TextRoom(label);
  const QFontMetrics metrics = label.fontMetrics();
  QString shown = text;
  bool elided = false;
  if (metrics.horizontalAdvance(text) > room) {
    const qsizetype colon = text.indexOf(':');
    const QString value = text.mid(colon + 1).trimmed();
    if (label.wordWrap() && colon > 0 && metrics.horizontalAdvance(value) <= room) {
      shown = text.left(colon + 1) + '\n' + value;
    } else if (!label.wordWrap()) {
      shown = metrics.elidedText(text, Qt::ElideMiddle, room);
      elided = true;
    }
  }
  label.setText(shown);
  if (!elided) {
    label.setToolTip(hint);
  } else {
    label.setToolTip(hint.isEmpty() ? text : hint + '\n' + text);
  }
}

}  // namespace velta
