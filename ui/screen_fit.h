// Windows on small screens: a scroll area that is as large as what it holds while the screen has
// room for that, and scrolls where it has not, so that no window reaches beyond the screen.
#pragma once

#include <QScrollArea>

// Sits in its window's top layout, which sizes the window to its parts (QLayout::SetFixedSize).
// Its size is that of its contents as long as the screen's available area holds them beside the
// window's frame and the window's other parts; beyond that it takes the room that is left and
// scrolls. It also moves its window back within the available area when it is shown or resized.
class FittingScrollArea : public QScrollArea {
  Q_OBJECT
  // The directions the area may scroll in; in the others it is always as large as its contents.
  Q_PROPERTY(Qt::Orientations scrollDirections READ scrollDirections WRITE setScrollDirections)
 public:
  explicit FittingScrollArea(QWidget* parent = nullptr);

  Qt::Orientations scrollDirections() const { return directions_; }
  void setScrollDirections(Qt::Orientations directions);

  QSize sizeHint() const override;

 protected:
  // The contents' layout changed: the window is sized again.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The room the screen leaves this area: the available area less the window's frame and, in the
  // window's top box layout, its margins and the parts beside this area.
  QSize Room() const;
  void KeepWindowOnScreenLater();

  Qt::Orientations directions_ = Qt::Horizontal | Qt::Vertical;
};

namespace velta {

// A form whose controls sit at fixed positions: they move into a FittingScrollArea that fills the
// window, which is then as large as the form or as the screen allows.
void FitFormToScreen(QWidget& form);

// Moves `window` so that its frame lies within its screen's available area, as far as it fits.
void KeepOnScreen(QWidget& window);

}  // namespace velta
