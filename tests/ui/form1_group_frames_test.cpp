// The Monitor window's group boxes as they are drawn: the design places the first row of controls
// just below a group's top edge, where the caption sits on the frame line. No caption may cover a
// control and no top frame line may run through one.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QStyle>
#include <QStyleOptionGroupBox>

#include "tests/support/qt_app.h"
#include "ui/Unit1.h"

namespace {

struct DrawnGroup {
  QRect caption;  // window coordinates
  QRect frame;    // its top edge is the frame line under the caption
};

DrawnGroup Drawn(QGroupBox* box, QWidget* window) {
  box->ensurePolished();
  QStyleOptionGroupBox option;
  option.initFrom(box);
  option.text = box->title();
  option.lineWidth = 1;
  option.textAlignment = box->alignment();
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  const QPoint origin = box->mapTo(window, QPoint(0, 0));
  QStyle* style = box->style();
  return {style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box)
              .translated(origin),
          style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, box)
              .translated(origin)};
}

TEST(Form1GroupFrames, NoCaptionOrTopFrameLineRunsThroughAControl) {
  velta::test::EnsureApplication();
  Form1 window;
  window.ensurePolished();
  const QList<QGroupBox*> groups = window.findChildren<QGroupBox*>();
  ASSERT_FALSE(groups.isEmpty());
  for (QGroupBox* group : groups) {
    const DrawnGroup drawn = Drawn(group, &window);
    const std::string name = group->objectName().toStdString();
    for (QWidget* control : window.findChildren<QWidget*>()) {
      // Controls are the widgets the form places: children of the window or of a group box.
      QWidget* parent = control->parentWidget();
      if (control == group || control->isAncestorOf(group) ||
          (parent != &window && qobject_cast<QGroupBox*>(parent) == nullptr)) {
        continue;
      }
      const QRect at(control->mapTo(&window, QPoint(0, 0)), control->size());
      const std::string other = control->objectName().toStdString();
      EXPECT_FALSE(at.intersects(drawn.caption)) << "caption of " << name << " covers " << other;
      const int line = drawn.frame.top();
      const bool acrossLine = at.top() <= line && at.bottom() >= line &&
                              at.right() >= drawn.frame.left() && at.left() <= drawn.frame.right();
      EXPECT_FALSE(acrossLine) << "top frame line of " << name << " runs through " << other;
    }
  }
}

}  // namespace
