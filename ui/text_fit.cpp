#include "ui/text_fit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QHelpEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QToolTip>
#include <algorithm>

namespace velta {
namespace {

// QLineEdit keeps this margin beside its text, and the cursor takes a pixel after it.
constexpr int kFieldInnerMargin = 2;
constexpr int kCursorWidth = 1;

int FieldWidthFor(const QLineEdit& field, const QString& text) {
  QStyleOptionFrame option;
  option.initFrom(&field);
  option.lineWidth = field.hasFrame() ? field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
  const QMargins margins = field.textMargins();
  const int width = field.fontMetrics().horizontalAdvance(text) + 2 * kFieldInnerMargin +
                    kCursorWidth + margins.left() + margins.right();
  return field.style()
      ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(width, field.height()), &field)
      .width();
}

// The caption's own hint, kept aside the first time the label shows a value.
QString Hint(QLabel& label) {
  constexpr char kHint[] = "veltaHint";
  if (!label.property(kHint).isValid()) label.setProperty(kHint, label.toolTip());
  return label.property(kHint).toString();
}

// The closed text of a list that is narrower than it: elided, with the whole text in the tooltip
// above the list's own.
class ElidedListText : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* list = static_cast<QComboBox*>(watched);
    if (event->type() == QEvent::Paint) {
      Paint(*list);
      return true;
    }
    if (event->type() == QEvent::ToolTip) {
      const QString whole = list->currentText();
      if (Elided(*list, whole) == whole) return false;
      const QString own = list->toolTip();
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                         own.isEmpty() ? whole : whole + '\n' + own, list);
      return true;
    }
    return false;
  }

 private:
  static QStyleOptionComboBox Option(const QComboBox& list) {
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
  static QString Elided(const QComboBox& list, const QString& text) {
    const QStyleOptionComboBox option = Option(list);
    const QRect field = list.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, &list);
    return list.fontMetrics().elidedText(text, Qt::ElideRight, field.width() - 2);
  }
  // As QComboBox paints itself, with the text elided.
  static void Paint(QComboBox& list) {
    QStylePainter painter(&list);
    painter.setPen(list.palette().color(QPalette::Text));
    QStyleOptionComboBox option = Option(list);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = Elided(list, option.currentText);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
  }
};

}  // namespace

void GrowWithText(QLineEdit& field) {
  const auto grow = [&field] {
    const int needed = FieldWidthFor(field, field.text());
    if (needed <= field.width() && needed <= field.minimumWidth()) return;
    if (needed > field.minimumWidth()) field.setMinimumWidth(needed);
    if (needed > field.maximumWidth()) field.setMaximumWidth(needed);
  };
  QObject::connect(&field, &QLineEdit::textChanged, &field, grow);
  grow();
}

int ListWidthFor(const QComboBox& list, const QString& text) {
  QStyleOptionComboBox option;
  option.initFrom(&list);
  option.frame = list.hasFrame();
  option.currentText = text;
  const QSize contents(list.fontMetrics().horizontalAdvance(text) + 2, list.height());
  return list.style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, &list).width();
}

void FitListsToItems(QWidget& window) {
  static ElidedListText elided;
  for (QComboBox* list : window.findChildren<QComboBox*>()) {
    if (list->isEditable()) continue;
    // The width of the widest item, anew whenever an item's text changes.
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    list->installEventFilter(&elided);
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
  const int room = label.contentsRect().width();
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
