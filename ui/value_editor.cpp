#include "ui/value_editor.h"

#include <QEvent>
#include <QHelpEvent>
#include <QToolTip>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "ui/text_fit.h"

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (auto* button : {up_, down_}) {
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(17, 11);
    button->setIconSize(QSize(7, 5));
    layout->addWidget(button);
  }
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
  connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void UpDown::setValue(int position) { showStored(std::clamp(position, minimum_, maximum_)); }

void UpDown::showStored(int position) {
  position_ = position;
  ShowPosition();
  MarkOutsideRange();
}

void UpDown::setMinimum(int minimum) {
  minimum_ = std::min(minimum, maximum_);
  setValue(position_);
}

void UpDown::setMaximum(int maximum) {
  maximum_ = maximum;
  minimum_ = std::min(minimum_, maximum_);
  setValue(position_);
}

void UpDown::setBuddy(QLineEdit* buddy, bool fillText) {
  buddy_ = buddy;
  fillBuddy_ = fillText;
  buddy_->setFocusPolicy(Qt::StrongFocus);
  buddy_->installEventFilter(this);
  // A larger desktop font must not push a value's first digits out of its field.
  velta::GrowWithText(*buddy_);
  ShowPosition();
  MarkOutsideRange();
}

void UpDown::stepBy(int steps) {
  if (!isEnabled()) return;
  setValue(position_ + steps * step_);
  emit clicked();
}

int UpDown::pageSteps() const {
  const int steps = (maximum_ - minimum_) / step_;
  return steps > 20 ? steps / 10 : 1;
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == buddy_ && ShowToolTipWithNote(buddy_, event)) return true;
  if (watched == buddy_ && isEnabled()) {
    if (event->type() == QEvent::KeyPress) {
      const int steps = KeySteps(static_cast<QKeyEvent*>(event)->key());
      if (steps != 0) {
        stepBy(steps);
        return true;
      }
    } else if (event->type() == QEvent::Wheel) {
      const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
      if (delta != 0) stepBy(delta > 0 ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

int UpDown::KeySteps(int key) const {
  switch (key) {
    case Qt::Key_Up: return 1;
    case Qt::Key_Down: return -1;
    case Qt::Key_PageUp: return pageSteps();
    case Qt::Key_PageDown: return -pageSteps();
    default: return 0;
  }
}

void UpDown::ShowPosition() {
  if (fillBuddy_ && buddy_ != nullptr) buddy_->setText(QString::number(position_));
}

QString UpDown::rangeNote() const {
  if (!outsideRange()) return {};
  return QStringLiteral("stored value, outside %1..%2").arg(minimum_).arg(maximum_);
}

void UpDown::MarkOutsideRange() {
  if (buddy_ == nullptr) return;
  QFont font = buddy_->font();
  font.setItalic(outsideRange());
  buddy_->setFont(font);
}

bool UpDown::ShowToolTipWithNote(QWidget* widget, QEvent* event) const {
  if (event->type() != QEvent::ToolTip || !outsideRange()) return false;
  const QString own = widget->toolTip();
  QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                     own.isEmpty() ? rangeNote() : own + "\n" + rangeNote(), widget);
  return true;
}

bool UpDown::event(QEvent* event) {
  if (ShowToolTipWithNote(this, event)) return true;
  return QWidget::event(event);
}
