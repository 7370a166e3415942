// The windows by keyboard alone: Tab reaches every control in the order the eye reads the window,
// group by group, and the value editors step by their keys exactly as by their arrows.
#include <QApplication>
#include <QGroupBox>
#include <QLayout>
#include <QTest>
#include <algorithm>
#include <array>
#include <vector>

#include "tests/ui/form3_fixture.h"

namespace velta::test {
namespace {

// Where a control sits in its window.
QRect InWindow(const QWidget* control) {
  return QRect(control->mapTo(control->window(), QPoint(0, 0)), control->size());
}

// The controls Tab visits in the shown `window`, from the first one round to it again.
std::vector<QWidget*> TabCycle(QWidget* window) {
  window->show();
  window->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(window));
  if (window->focusWidget() == nullptr) QTest::keyClick(window, Qt::Key_Tab);
  QWidget* first = window->focusWidget();
  std::vector<QWidget*> visited;
  if (first == nullptr) return visited;
  for (QWidget* at = first; visited.size() < 200;) {
    visited.push_back(at);
    QTest::keyClick(at, Qt::Key_Tab);
    at = window->focusWidget();
    if (at == first || at == nullptr) break;
  }
  return visited;
}

// Every shown and enabled control of `window` that Tab can reach.
std::vector<QWidget*> TabStops(QWidget* window) {
  std::vector<QWidget*> stops;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() &&
        w->focusProxy() == nullptr && !w->objectName().isEmpty() &&
        !w->objectName().startsWith("qt_")) {
      stops.push_back(w);
    }
  }
  return stops;
}

// Checks that `visited` holds each of `window`'s tab stops once, goes through `blocks` (areas of
// the window in reading order) one after the other, and reads each block as text is read: rows
// from the top, each row from the left.
void ExpectVisualOrder(QWidget* window, const std::vector<QWidget*>& visited,
                       const std::vector<QRect>& blocks) {
  std::vector<QWidget*> expected = TabStops(window);
  EXPECT_EQ(visited.size(), expected.size());
  for (QWidget* stop : expected) {
    EXPECT_EQ(std::count(visited.begin(), visited.end(), stop), 1)
        << stop->objectName().toStdString() << " is not visited once";
  }
  auto blockOf = [&](const QWidget* w) {
    const QPoint centre = InWindow(w).center();
    for (std::size_t i = 0; i < blocks.size(); ++i)
      if (blocks[i].contains(centre)) return static_cast<int>(i);
    ADD_FAILURE() << w->objectName().toStdString() << " lies in no block";
    return -1;
  };
  for (std::size_t i = 1; i < visited.size(); ++i) {
    const QWidget* before = visited[i - 1];
    const QWidget* after = visited[i];
    const std::string step =
        before->objectName().toStdString() + " -> " + after->objectName().toStdString();
    const int from = blockOf(before), to = blockOf(after);
    EXPECT_LE(from, to) << step << " goes back to an earlier part of the window";
    if (from != to) continue;
    const QRect a = InWindow(before), b = InWindow(after);
    const bool sameRow = b.top() < a.bottom() && a.top() < b.bottom();
    if (sameRow) {
      EXPECT_GT(b.left(), a.left()) << step << " goes left within a row";
    } else {
      EXPECT_GT(b.top(), a.top()) << step << " goes up";
    }
  }
}

class KeyboardTest : public Form3Test {
 protected:
  // The expert view with every value editor shown: filter rinse, run-time window, retries,
  // regulation without a flow sensor (the Er.1 editors), and the PWM power stage unlocked. Every
  // editor starts within its range (without a flow sensor the pump minimum is at least 60).
  void OpenWithEveryEditor() {
    OpenExpert();
    ShowBlock({{0, 2}, {22, 70}, {24, 5}, {25, 2}, {51, 0x09}});
    for (const Editor& editor : Editors()) {
      ASSERT_TRUE(Shown(editor.field)) << editor.field.data();
      ASSERT_TRUE(Control(editor.field)->isEnabled()) << editor.field.data();
    }
  }

  struct Editor {
    QByteArray stepper, field;
  };
  // Every value editor of the window: a stepper ud<Name> or up<Name> beside its field ed<Name>.
  std::vector<Editor> Editors() {
    std::vector<Editor> editors;
    for (const UpDown* stepper : form3->findChildren<UpDown*>()) {
      const QByteArray name = stepper->objectName().toLatin1();
      editors.push_back({name, "ed" + name.mid(2)});
    }
    return editors;
  }

  // What the user sees of every editor, and what goes straight into the block.
  struct EditorState {
    int value, minimum, maximum;
    QString text;
    bool shown;
    bool operator==(const EditorState&) const = default;
  };
  struct WindowState {
    std::vector<EditorState> editors;
    std::array<std::uint8_t, 52> block;
    QString preset;
    bool operator==(const WindowState&) const = default;
  };
  WindowState State() {
    WindowState state;
    for (const Editor& editor : Editors()) {
      auto* stepper = Control<UpDown>(editor.stepper);
      state.editors.push_back({stepper->value(), stepper->minimum(), stepper->maximum(),
                               Text(editor.field), Shown(editor.field)});
    }
    for (int address = 0; address < 52; ++address)
      state.block[address] = form3->Image().Byte(address);
    state.preset = Item("cbRegelungsart");
    return state;
  }
  // Back to the block the test started from, limits and all.
  void Restore(const std::array<std::uint8_t, 52>& block) {
    for (int address = 0; address < 52; ++address) form3->Image().SetByte(address, block[address]);
    form3->ShowBlock();
    form3->SelectPreset();
  }
};

TEST_F(KeyboardTest, KeysStepEveryEditorAsItsArrowsDo) {
  OpenWithEveryEditor();
  ASSERT_EQ(Editors().size(), 29u);
  const WindowState start = State();
  for (const Editor& editor : Editors()) {
    auto* stepper = Control<UpDown>(editor.stepper);
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown}) {
      Restore(start.block);
      const int before = stepper->value();
      QTest::keyClick(Control<QLineEdit>(editor.field), key);
      const WindowState byKey = State();
      // Whole steps, counting a last part step that ends at a limit off the step grid.
      const int moved = stepper->value() - before, step = stepper->singleStep();
      const int steps = moved >= 0 ? (moved + step - 1) / step : (moved - step + 1) / step;
      const bool up = key == Qt::Key_Up || key == Qt::Key_PageUp;
      if (before != (up ? stepper->maximum() : stepper->minimum())) {
        EXPECT_NE(steps, 0) << editor.field.data() << " did not move on key " << key;
      }
      Restore(start.block);
      Step(editor.stepper, steps);
      EXPECT_TRUE(byKey == State()) << editor.field.data() << " key " << key << " moved " << steps
                                    << " steps unlike as many arrow clicks";
    }
  }
}

TEST_F(KeyboardTest, PageKeysTakeLargeStepsThroughLargeRanges) {
  OpenWithEveryEditor();
  const WindowState start = State();
  for (const Editor& editor : Editors()) {
    Restore(start.block);
    auto* stepper = Control<UpDown>(editor.stepper);
    auto* field = Control<QLineEdit>(editor.field);
    const int steps = (stepper->maximum() - stepper->minimum()) / stepper->singleStep();
    for (int i = 0; i < 3 * steps && stepper->value() > stepper->minimum(); ++i)
      QTest::keyClick(field, Qt::Key_PageDown);
    ASSERT_EQ(stepper->value(), stepper->minimum()) << editor.field.data();
    QTest::keyClick(field, Qt::Key_PageUp);
    const int page = (stepper->value() - stepper->minimum()) / stepper->singleStep();
    if (steps > 20) {
      // Through the range in ten to twenty presses.
      EXPECT_GE(page * 20, steps) << editor.field.data();
      EXPECT_LE(page * 10, steps) << editor.field.data();
    } else {
      EXPECT_EQ(page, 1) << editor.field.data();
    }
    int presses = 1;
    while (stepper->value() < stepper->maximum() && presses < 40) {
      QTest::keyClick(field, Qt::Key_PageUp);
      ++presses;
    }
    EXPECT_EQ(stepper->value(), stepper->maximum()) << editor.field.data();
    QTest::keyClick(field, Qt::Key_PageUp);
    EXPECT_EQ(stepper->value(), stepper->maximum()) << editor.field.data() << " passed its limit";
  }
}

TEST_F(KeyboardTest, TabReachesTheSettingsControlsColumnByColumn) {
  OpenWithEveryEditor();
  const std::vector<QWidget*> visited = TabCycle(form3);
  for (const Editor& editor : Editors()) {
    EXPECT_NE(std::find(visited.begin(), visited.end(), Control(editor.field)), visited.end())
        << editor.field.data() << " cannot be reached with Tab";
  }
  std::vector<QRect> columns;
  for (const char* name : {"column1", "column2", "column3", "column4", "column5"}) {
    const QLayout* column = form3->findChild<QLayout*>(name);
    ASSERT_NE(column, nullptr) << name;
    // A column that is the whole of its widget (the command column in its scroll area) covers it.
    const QWidget* owner = column->parentWidget();
    const QRect area = owner->layout() == column ? owner->rect() : column->geometry();
    columns.push_back(QRect(owner->mapTo(form3, area.topLeft()), area.size()));
  }
  ExpectVisualOrder(form3, visited, columns);
  // The editor that has the focus takes the arrow keys.
  Control<QLineEdit>("edTempOff")->setFocus(Qt::TabFocusReason);
  QTest::keyClick(form3->focusWidget(), Qt::Key_Up);
  EXPECT_EQ(Position("udTempOff"), 173);
  EXPECT_EQ(Text("edTempOff"), "~87°C (173)");
}

TEST_F(KeyboardTest, TabReachesTheMonitorControlsAreaByArea) {
  RestartProgramWithAdmin(0x09);  // the error clearing and write enable buttons shown
  const std::vector<QWidget*> visited = TabCycle(form1);
  const QWidget* info = form1->findChild<QWidget*>("gbInfo");
  const QWidget* portGroup = form1->findChild<QWidget*>("gbPort");
  ASSERT_TRUE(info && portGroup);
  const QRect whole = form1->rect();
  // The panel groups across the top, then the error lists on the left, then the connection
  // on the right.
  const QRect top(whole.topLeft(), QPoint(whole.right(), InWindow(info).bottom()));
  const QRect left(QPoint(0, top.bottom() + 1),
                   QPoint(InWindow(portGroup).left() - 1, whole.bottom()));
  const QRect right(QPoint(left.right() + 1, top.bottom() + 1), whole.bottomRight());
  ExpectVisualOrder(form1, visited, {top, left, right});
}

TEST_F(KeyboardTest, TabReachesTheTankTableControlsTopDown) {
  Open();
  const std::vector<QWidget*> visited = TabCycle(form2);
  ExpectVisualOrder(form2, visited, {form2->rect()});
  EXPECT_GE(visited.size(), 4u);
}

}  // namespace
}  // namespace velta::test
