// A value editor's stepper: it holds the raw value as the controller stores it; the text field
// beside it shows that value as its setting field describes (controller/setting_fields.h).
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// The stepper: a pair of arrow buttons holding an integer position within [minimum, maximum],
// moved by its step. The text field beside it is written by the window's display handler.
// Editors that show the bare number have a buddy field the stepper fills itself.
class UpDown : public QWidget {
  Q_OBJECT
 public:
  explicit UpDown(QWidget* parent = nullptr);

  int value() const { return position_; }
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  int singleStep() const { return step_; }
  // Out-of-range positions show the nearest limit. A minimum above the maximum is held at the
  // maximum, so the position never leaves the stepper's range.
  void setValue(int position);
  // Holds a position as a block stores it, even outside the range: the field shows it in italics
  // and the tooltips of both add the range note, until a step or a new position brings it into
  // the range.
  void showStored(int position);
  bool outsideRange() const { return position_ < minimum_ || position_ > maximum_; }
  // "stored value, outside 35..100" while the position lies outside the range, else empty.
  QString rangeNote() const;
  void setMinimum(int minimum);
  void setMaximum(int maximum);
  void setSingleStep(int step) { step_ = step > 0 ? step : 1; }
  // The text field the stepper writes its decimal position into. It takes the focus by Tab and by
  // click, and its keys and wheel step the stepper. Editors with a display handler attach their
  // field without filling it.
  void setBuddy(QLineEdit* buddy, bool fillText);

  // Steps up (+) or down (-) as that many clicks on an arrow would, then clicked() once.
  void stepBy(int steps);
  // The steps PageUp and PageDown take: a tenth of a range of more than twenty steps, one step in
  // a smaller range.
  int pageSteps() const;

 signals:
  void clicked();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowPosition();
  void MarkOutsideRange();
  // A tooltip event for `widget`: its own tooltip with the range note below. False when there is
  // no note, so the usual tooltip shows.
  bool ShowToolTipWithNote(QWidget* widget, QEvent* event) const;
  // The steps a key of the text field takes; 0 for keys that do not step.
  int KeySteps(int key) const;

  QToolButton* up_;
  QToolButton* down_;
  QLineEdit* buddy_ = nullptr;
  bool fillBuddy_ = false;
  int minimum_ = 0;
  int maximum_ = 100;
  int step_ = 1;
  int position_ = 0;
};
