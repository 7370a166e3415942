#include "ui/screen_fit.h"

#include <QBoxLayout>
#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <algorithm>

namespace {

// The window's frame. Until the window system has framed the window, room for a title bar and a
// border is kept, so that a window first shown at the fitted size does not grow past the screen.
QMargins FrameMargins(const QWidget& window) {
  if (const QWindow* handle = window.windowHandle()) {
    if (!handle->frameMargins().isNull()) return handle->frameMargins();
  }
  const QStyle* style = window.style();
  const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
  const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
  return QMargins(border, title + border, border, border);
}

// Moves a start position so that a length from it lies within the range, as far as it fits.
int Within(int start, int length, int rangeStart, int rangeLength) {
  return std::clamp(start, rangeStart, std::max(rangeStart, rangeStart + rangeLength - length));
}

}  // namespace

FittingScrollArea::FittingScrollArea(QWidget* parent) : QScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  // Lays the viewport out without the frame at once, not only when first shown, so the contents
  // sit where they sat before they moved into the area.
  setViewportMargins(0, 0, 0, 0);
  setWidgetResizable(true);
  // Tab goes through the contents, scrolling each control into view; the area is no stop itself.
  setFocusPolicy(Qt::NoFocus);
}

void FittingScrollArea::setScrollDirections(Qt::Orientations directions) {
  directions_ = directions;
  setHorizontalScrollBarPolicy(directions & Qt::Horizontal ? Qt::ScrollBarAsNeeded
                                                           : Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(directions & Qt::Vertical ? Qt::ScrollBarAsNeeded
                                                       : Qt::ScrollBarAlwaysOff);
  updateGeometry();
}

QSize FittingScrollArea::sizeHint() const {
  const QWidget* contents = widget();
  if (contents == nullptr) return QScrollArea::sizeHint();
  // A layout that has not run yet (the window was never shown) still holds the sizes of its
  // columns from before controls were hidden or shown; running it brings them up to date.
  if (QLayout* layout = contents->layout()) layout->activate();
  // Contents placed by position have no layout to ask; their fixed size is their size.
  const QSize full = contents->sizeHint().expandedTo(contents->minimumSize());
  const QSize room = Room();
  // A scroll bar in one direction takes room from the other.
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  const bool tooWide = full.width() > room.width();
  const bool tooHigh = full.height() + (tooWide ? bar : 0) > room.height();
  const bool scrollsAcross = tooWide || full.width() + (tooHigh ? bar : 0) > room.width();
  const QSize withBars(full.width() + (tooHigh ? bar : 0),
                       full.height() + (scrollsAcross ? bar : 0));
  return withBars.boundedTo(room);
}

QSize FittingScrollArea::Room() const {
  constexpr int kUnlimited = QWIDGETSIZE_MAX;
  const QWidget* window = this->window();
  const QScreen* screen = window->screen();
  if (screen == nullptr) return QSize(kUnlimited, kUnlimited);
  QSize room = screen->availableGeometry().size().shrunkBy(FrameMargins(*window));
  if (const auto* box = qobject_cast<const QBoxLayout*>(window->layout())) {
    room = room.shrunkBy(box->contentsMargins());
    const Qt::Orientation along =
        box->direction() == QBoxLayout::LeftToRight || box->direction() == QBoxLayout::RightToLeft
            ? Qt::Horizontal
            : Qt::Vertical;
    // Only an area that scrolls along the layout gives way to the parts beside it. (Two areas
    // beside each other cannot both give way: each would ask the other's size.)
    for (int i = 0; i < box->count() && (directions_ & along); ++i) {
      QLayoutItem* item = box->itemAt(i);
      if (item->widget() == this || item->isEmpty()) continue;
      if (along == Qt::Horizontal) {
        room.rwidth() -= item->sizeHint().width() + box->spacing();
      } else {
        room.rheight() -= item->sizeHint().height() + box->spacing();
      }
    }
  }
  // However small the screen, the area keeps room for its scroll bars and a little of its contents.
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  room = room.expandedTo(QSize(4 * bar, 4 * bar));
  if (!(directions_ & Qt::Horizontal)) room.setWidth(kUnlimited);
  if (!(directions_ & Qt::Vertical)) room.setHeight(kUnlimited);
  return room;
}

bool FittingScrollArea::eventFilter(QObject* watched, QEvent* event) {
  if (watched == widget() && event->type() == QEvent::LayoutRequest) updateGeometry();
  return QScrollArea::eventFilter(watched, event);
}

void FittingScrollArea::showEvent(QShowEvent* event) {
  QScrollArea::showEvent(event);
  // Now the window has its screen and, with most window systems, its frame.
  if (QWindow* handle = window()->windowHandle()) {
    connect(handle, &QWindow::screenChanged, this, &QWidget::updateGeometry, Qt::UniqueConnection);
  }
  // The contents were shown just before and lists have taken their width; the window takes its
  // size now, before a dialog centres itself on the screen.
  updateGeometry();
  if (QLayout* top = window()->layout()) top->activate();
  KeepWindowOnScreenLater();
}

void FittingScrollArea::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  if (window()->isVisible()) KeepWindowOnScreenLater();
}

void FittingScrollArea::KeepWindowOnScreenLater() {
  // After the window has placed itself: a dialog centres itself only if nothing moved it before.
  QMetaObject::invokeMethod(
      this, [this] { velta::KeepOnScreen(*window()); }, Qt::QueuedConnection);
}

namespace velta {

void FitFormToScreen(QWidget& form) {
  auto* controls = new QWidget;
  controls->setObjectName(form.objectName() + "Controls");
  controls->setFixedSize(form.size());
  for (QWidget* control : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!control->isWindow()) control->setParent(controls);
  }
  auto* area = new FittingScrollArea;
  area->setWidget(controls);
  auto* layout = new QVBoxLayout(&form);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(area);
}

void KeepOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  const QRect frame = window.frameGeometry();
  const QPoint inside(Within(frame.x(), frame.width(), available.x(), available.width()),
                      Within(frame.y(), frame.height(), available.y(), available.height()));
  if (inside != frame.topLeft()) window.move(inside);
}

}  // namespace velta
