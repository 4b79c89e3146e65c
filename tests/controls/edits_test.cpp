// The edit with its forwarded keys, accent and case keys and change reports; the drop list's
// extended keys; the drag list's reordering, removing and scrolling on the manual clock.
#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "controls/dialogplus.h"
#include "controls/edits.h"
#include "controls/input.h"
#include "controls/resources.h"
#include "controls_fixture.h"

namespace zeph::testing {
namespace {

constexpr int kIdEdit = 1803;
constexpr int kIdList = 1810;

using EditTest = ControlsTest;

std::unique_ptr<CZephoEdit> MakeEdit(QWidget* host, std::uint32_t options, bool multiLine = false) {
  auto edit = std::make_unique<CZephoEdit>(options, host, multiLine);
  SetControlId(edit.get(), kIdEdit);
  edit->setGeometry(10, 10, 200, multiLine ? 80 : 24);
  edit->show();
  return edit;
}

TEST_F(EditTest, CtrlFunctionKeysChangeTheCharacterBeforeTheCaret) {
  ShowHost();
  auto edit = MakeEdit(m_host.get(), 0);
  edit->setFocus();
  QTest::keyClicks(edit.get(), QStringLiteral("cafe"));
  QSignalSpy changed(edit.get(), &CZephoEdit::editChanged);
  QTest::keyClick(edit.get(), Qt::Key_F3, Qt::ControlModifier);
  EXPECT_EQ(edit->GetWindowText(), QStringLiteral("caf\u00e9"));
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.at(0).at(0).toInt(), kIdEdit);
  EXPECT_TRUE(edit->GetModify());
  int s = 0;
  int e = 0;
  edit->GetSel(s, e);
  EXPECT_EQ(s, 4);
  EXPECT_EQ(e, 4);
  QTest::keyClick(edit.get(), Qt::Key_F3, Qt::ControlModifier);
  EXPECT_EQ(edit->GetWindowText(), QStringLiteral("cafe"));
  EXPECT_EQ(changed.count(), 2);

  // F2 cycles the vowel through its accented forms.
  const QString cycle[] = {QStringLiteral("caf\u00e9"), QStringLiteral("caf\u00e8"),
                           QStringLiteral("caf\u00eb"), QStringLiteral("caf\u00ea"),
                           QStringLiteral("cafe")};
  for (const QString& expected : cycle) {
    QTest::keyClick(edit.get(), Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(edit->GetWindowText(), expected);
  }

  // Nothing changes without Ctrl, with a selection, or at the start of the text.
  const int reports = changed.count();
  QTest::keyClick(edit.get(), Qt::Key_F3);
  edit->SetSel(1, 3);
  QTest::keyClick(edit.get(), Qt::Key_F3, Qt::ControlModifier);
  edit->SetSel(0, 0);
  QTest::keyClick(edit.get(), Qt::Key_F3, Qt::ControlModifier);
  edit->SetSel(1, 1);
  QTest::keyClick(edit.get(), Qt::Key_F3, Qt::ControlModifier);  // 'c' has no acute form
  EXPECT_EQ(edit->GetWindowText(), QStringLiteral("cafe"));
  EXPECT_EQ(changed.count(), reports);
}

TEST_F(EditTest, F7CyclesTheCaseOfTheSelectionOrTheNextCharacter) {
  ShowHost();
  auto edit = MakeEdit(m_host.get(), 0);
  edit->SetWindowText(QStringLiteral("hello world"));
  QSignalSpy changed(edit.get(), &CZephoEdit::editChanged);
  edit->SetSel(0, 0);
  QTest::keyClick(edit.get(), Qt::Key_F7);
  EXPECT_EQ(edit->GetWindowText(), QStringLiteral("Hello world"));
  int s = 0;
  int e = 0;
  edit->GetSel(s, e);
  EXPECT_EQ(s, 1);  // the caret moves on
  EXPECT_EQ(changed.count(), 1);
  edit->SetSel(6, 11);
  QTest::keyClick(edit.get(), Qt::Key_F7);
  EXPECT_EQ(edit->GetWindowText(), QStringLiteral("Hello World"));
  edit->GetSel(s, e);
  EXPECT_EQ(s, 6);
  EXPECT_EQ(e, 11);
  edit->SetSel(11, 11);  // at the end: nothing to change
  QTest::keyClick(edit.get(), Qt::Key_F7);
  EXPECT_EQ(changed.count(), 2);
}

TEST_F(EditTest, PastingReportsBeforeAndAfterTheChange) {
  ShowHost();
  auto edit = MakeEdit(m_host.get(), 0);
  edit->setFocus();
  QApplication::clipboard()->setText(QStringLiteral("first\nsecond"));
  QSignalSpy changed(edit.get(), &CZephoEdit::editChanged);
  QTest::keyClick(edit.get(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(changed.count(), 2);
  EXPECT_EQ(edit->GetWindowText(), QStringLiteral("first"));  // one line only
  EXPECT_EQ(edit->IsChanged(), 1);

  auto lines = MakeEdit(m_host.get(), 0, true);
  lines->setFocus();
  EXPECT_EQ(lines->IsChanged(), 0);
  QTest::keyClick(lines.get(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(lines->GetWindowText(), QStringLiteral("first\nsecond"));

  // Text set by the program is not reported; the focus clears the changed mark.
  QSignalSpy quiet(edit.get(), &CZephoEdit::editChanged);
  edit->SetWindowText(QStringLiteral("set"));
  EXPECT_EQ(quiet.count(), 0);
  edit->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(edit->IsChanged(), 0);
}

TEST_F(EditTest, KeysGoToTheParentAsTheOptionsSay) {
  struct Case {
    const char* name;
    std::uint32_t options;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int forwarded;  // -1: not forwarded
  };
  const Case cases[] = {
      {"Enter", kEditForwardEnter, Qt::Key_Return, Qt::NoModifier, kCharEnter},
      {"Shift+Enter without the modifier bit", kEditForwardEnter, Qt::Key_Return, Qt::ShiftModifier,
       -1},
      {"Shift+Enter", kEditForwardEnterWithModifiers, Qt::Key_Return, Qt::ShiftModifier,
       kCharEnter},
      {"Enter not asked for", 0, Qt::Key_Return, Qt::NoModifier, -1},
      {"Page Down", kEditForwardNavigation, Qt::Key_PageDown, Qt::NoModifier, kVkNext},
      {"Up", kEditForwardNavigation, Qt::Key_Up, Qt::NoModifier, kVkUp},
      {"Home not asked for", kEditForwardEnter, Qt::Key_Home, Qt::NoModifier, -1},
      {"Esc", kEditForwardEscape, Qt::Key_Escape, Qt::NoModifier, kCharEscape},
      {"Tab", kEditForwardTab, Qt::Key_Tab, Qt::NoModifier, kCharTab},
      {"Tab not asked for", kEditForwardEscape, Qt::Key_Tab, Qt::NoModifier, -1},
  };
  ShowHost();
  for (const Case& c : cases) {
    auto edit = MakeEdit(m_host.get(), c.options);
    edit->setFocus();
    QSignalSpy keys(edit.get(), &CZephoEdit::controlKey);
    QTest::keyClick(edit.get(), c.key, c.modifiers);
    if (c.forwarded < 0) {
      EXPECT_EQ(keys.count(), 0) << c.name;
    } else {
      ASSERT_EQ(keys.count(), 1) << c.name;
      EXPECT_EQ(keys.at(0).at(0).toInt(), kIdEdit) << c.name;
      EXPECT_EQ(keys.at(0).at(1).toInt(), c.forwarded) << c.name;
    }
    EXPECT_TRUE(edit->GetWindowText().isEmpty()) << c.name;
  }
  CZephoEdit edit;
  EXPECT_EQ(edit.SetKeyOptions(0x1F), 0x10u);
  EXPECT_EQ(edit.SetKeyOptions(0x0F), 0u);
}

TEST_F(EditTest, DropListOpensWithTheDownArrowOnceFocused) {
  ShowHost();
  CDropComboBox box(m_host.get());
  box.addItems({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
  box.show();
  EXPECT_FALSE(box.IsExtendedUi());
  box.setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(box.IsExtendedUi());
  QTest::keyClick(&box, Qt::Key_Down);
  EXPECT_TRUE(box.view()->isVisible());
  EXPECT_EQ(box.currentIndex(), 0);  // the list opened; the choice did not move
  box.hidePopup();
}

class DragListTest : public ControlsTest {
 protected:
  // Ten items (data 100 + index) in a list showing about five.
  std::unique_ptr<CListDragBox> MakeList(int items = 10) {
    auto list = std::make_unique<CListDragBox>(m_host.get());
    SetControlId(list.get(), kIdList);
    for (int i = 0; i < items; ++i) list->AddItem(QStringLiteral("item %1").arg(i), 100 + i);
    ShowHost();
    list->setGeometry(10, 10, 150, 10);
    list->show();
    h = list->sizeHintForRow(0);
    list->setGeometry(10, 10, 150, 5 * h + 2 * list->frameWidth() + 1);
    QApplication::processEvents();
    return list;
  }

  QStringList Texts(const CListDragBox& list) const {
    QStringList out;
    for (int i = 0; i < list.count(); ++i) out << list.item(i)->text();
    return out;
  }

  static void Send(CListDragBox& list, QEvent::Type type, QPoint p) {
    QWidget* viewport = list.viewport();
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(p), viewport->mapToGlobal(QPointF(p)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
  }

  // Presses on item index's middle, moves by dy and releases there.
  void Drag(CListDragBox& list, int index, int dy) {
    const QPoint start(20, (index - list.GetTopIndex()) * h + h / 2);
    Send(list, QEvent::MouseButtonPress, start);
    Send(list, QEvent::MouseMove, start + QPoint(0, dy));
    Send(list, QEvent::MouseButtonRelease, start + QPoint(0, dy));
  }

  int h = 0;
};

TEST_F(DragListTest, ArrowsWithCtrlOrShiftMoveTheSelectedItem) {
  auto list = MakeList(4);
  list->setFocus();
  list->setCurrentRow(0);
  list->SetMovableItem(0);
  QTest::keyClick(list.get(), Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Texts(*list), (QStringList{"item 0", "item 1", "item 2", "item 3"}));
  EXPECT_EQ(list->currentRow(), 0);
  QTest::keyClick(list.get(), Qt::Key_Down, Qt::ControlModifier);
  QTest::keyClick(list.get(), Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(Texts(*list), (QStringList{"item 1", "item 2", "item 0", "item 3"}));
  EXPECT_EQ(list->currentRow(), 2);
  EXPECT_EQ(list->GetMovableItem(), 2);
  EXPECT_EQ(list->GetItemData(2), 100);
  QTest::keyClick(list.get(), Qt::Key_Down);  // a plain arrow only moves the selection
  EXPECT_EQ(list->currentRow(), 3);
  EXPECT_EQ(Texts(*list), (QStringList{"item 1", "item 2", "item 0", "item 3"}));
}

TEST_F(DragListTest, DraggingReordersOnlyBeyondTheNextItem) {
  auto list = MakeList(5);
  ASSERT_GT(h, 6);
  Drag(*list, 1, 0);  // onto itself
  EXPECT_EQ(Texts(*list), (QStringList{"item 0", "item 1", "item 2", "item 3", "item 4"}));
  Drag(*list, 1, h / 2 + 1);  // onto the next item's upper half
  EXPECT_EQ(Texts(*list), (QStringList{"item 0", "item 1", "item 2", "item 3", "item 4"}));
  Drag(*list, 0, 2 * h + 4);
  EXPECT_EQ(Texts(*list), (QStringList{"item 1", "item 2", "item 0", "item 3", "item 4"}));
  EXPECT_EQ(list->currentRow(), 2);
  Drag(*list, 4, -3 * h);
  EXPECT_EQ(Texts(*list), (QStringList{"item 1", "item 4", "item 2", "item 0", "item 3"}));
  EXPECT_EQ(list->GetItemData(1), 104);
  EXPECT_FALSE(list->IsDragging());

  // Only the movable item can be dragged.
  list->SetMovableItem(0);
  Drag(*list, 3, -2 * h);
  EXPECT_EQ(list->item(3)->text(), QStringLiteral("item 0"));
  Drag(*list, 0, 2 * h + 4);
  EXPECT_EQ(list->item(0)->text(), QStringLiteral("item 4"));
}

TEST_F(DragListTest, DraggingOutRemovesOnlyInRemoveMode) {
  auto list = MakeList(5);
  QSignalSpy removed(list.get(), &CListDragBox::dragItemRemoved);
  const int outside = list->viewport()->height() + 3 * h;
  Drag(*list, 2, outside);
  EXPECT_EQ(list->count(), 5);
  EXPECT_EQ(removed.count(), 0);

  for (const int mode : {1, 2}) {
    list->SetRemoveMode(mode);
    const QPoint start(20, 2 * h + h / 2);
    Send(*list, QEvent::MouseButtonPress, start);
    Send(*list, QEvent::MouseMove, start + QPoint(300, 0));
    EXPECT_EQ(list->viewport()->cursor().shape(), Qt::BitmapCursor) << mode;
    Send(*list, QEvent::MouseButtonRelease, start + QPoint(300, 0));
    EXPECT_EQ(list->viewport()->cursor().shape(), Qt::ArrowCursor);
  }
  ASSERT_EQ(removed.count(), 2);
  EXPECT_EQ(removed.at(0).at(0).toInt(), kIdList);
  EXPECT_EQ(removed.at(0).at(1).toLongLong(), 102);
  EXPECT_EQ(removed.at(1).at(1).toLongLong(), 103);
  EXPECT_EQ(list->selectedItems().size(), 0);
  EXPECT_EQ(GetRemoveModeCursor(1).shape(), Qt::BitmapCursor);
  EXPECT_EQ(GetRemoveModeCursor(2).shape(), Qt::BitmapCursor);

  // Delete and Space remove the selected item too.
  list->setFocus();
  list->setCurrentRow(0);
  QTest::keyClick(list.get(), Qt::Key_Delete);
  EXPECT_EQ(removed.count(), 3);
  EXPECT_EQ(removed.at(2).at(1).toLongLong(), 100);
  EXPECT_EQ(Texts(*list), (QStringList{"item 1", "item 4"}));
}

TEST_F(DragListTest, HoldingAnItemBeyondTheListScrollsItSlowlyThenFaster) {
  auto list = MakeList(40);
  list->SetTopIndex(30);
  ASSERT_EQ(list->GetTopIndex(), 30);
  const QPoint start(20, h / 2);
  Send(*list, QEvent::MouseButtonPress, start);
  Send(*list, QEvent::MouseMove, QPoint(20, -h / 2));  // just above the list
  EXPECT_EQ(list->GetScrollDirection(), 1);
  EXPECT_EQ(list->viewport()->cursor().shape(), Qt::SizeVerCursor);
  m_clock.Advance(100);
  EXPECT_EQ(list->GetTopIndex(), 30);
  m_clock.Advance(100);
  EXPECT_EQ(list->GetTopIndex(), 29);
  m_clock.Advance(1800);  // two seconds: one item every 200 ms
  EXPECT_EQ(list->GetTopIndex(), 20);
  m_clock.Advance(100);
  EXPECT_EQ(list->GetTopIndex(), 19);
  m_clock.Advance(300);  // then every 100 ms
  EXPECT_EQ(list->GetTopIndex(), 16);

  // Back inside the list the scrolling stops; below it, it goes down.
  Send(*list, QEvent::MouseMove, QPoint(20, h));
  EXPECT_EQ(list->GetScrollDirection(), 0);
  m_clock.Advance(1000);
  EXPECT_EQ(list->GetTopIndex(), 16);
  Send(*list, QEvent::MouseMove, QPoint(20, list->viewport()->height() + 2));
  EXPECT_EQ(list->GetScrollDirection(), 2);
  m_clock.Advance(200);
  EXPECT_EQ(list->GetTopIndex(), 17);
  Send(*list, QEvent::MouseButtonRelease, QPoint(20, list->viewport()->height() + 2));
  EXPECT_EQ(list->GetScrollDirection(), 0);
  m_clock.Advance(1000);
  EXPECT_EQ(list->GetTopIndex(), 17);
  EXPECT_EQ(list->count(), 40);  // released beyond the list without remove mode
}

}  // namespace
}  // namespace zeph::testing
