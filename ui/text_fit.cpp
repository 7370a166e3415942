#include "ui/text_fit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
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
  for (QComboBox* list : window.findChildren<QComboBox*>()) {
    if (list->minimumWidth() == list->maximumWidth()) continue;
    int needed = list->minimumWidth();
    for (int item = 0; item < list->count(); ++item)
      needed = std::max(needed, ListWidthFor(*list, list->itemText(item)));
    list->setMinimumWidth(needed);
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
