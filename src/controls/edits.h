#pragma once
// Qt's edit, combo box and list extended for the program's dialogs and views.
//
// CZephoEdit hands the keys its owner asks for to the parent (controlKey), reports every change
// of its text by typing or pasting (editChanged; a paste also just before it happens), and
// offers the accent keys (Ctrl+F2 to Ctrl+F6 change the character before the caret) and case
// cycling (F7). It is one line unless made multi-line; a multi-line subclass may paint its text
// itself (paintEvent of the viewport) and add to the key handlers, which are virtual.
//
// CDropComboBox opens its list with the Down arrow once it has had the focus.
//
// CListDragBox lets the user reorder its items with Shift or Ctrl and the arrows or by
// dragging them, and in remove mode delete them with Delete, Space or by dragging them out of
// the list; while an item is dragged just above or below the list, the list scrolls.
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QString>
#include <cstdint>
#include <vector>

#include "controls/timers.h"

namespace zeph {

// Key-option bits of CZephoEdit.
inline constexpr std::uint32_t kEditForwardEnter = 0x01;
inline constexpr std::uint32_t kEditForwardEnterWithModifiers = 0x02;  // implies Enter
inline constexpr std::uint32_t kEditForwardNavigation = 0x04;  // Page Up/Down, End, Home, Up, Down
inline constexpr std::uint32_t kEditForwardEscape = 0x08;
inline constexpr std::uint32_t kEditForwardTab = 0x10;

class CZephoEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit CZephoEdit(std::uint32_t keyOptions = 0, QWidget* parent = nullptr,
                      bool multiLine = false);

  // Answers flags & kEditForwardTab.
  std::uint32_t SetKeyOptions(std::uint32_t flags);
  bool IsMultiLine() const { return m_multiLine; }

  QString GetWindowText() const { return toPlainText(); }
  // Sets the text as the program does: no change is reported.
  void SetWindowText(const QString& text);
  void GetSel(int& start, int& end) const;
  void SetSel(int start, int end);
  // The edit's own modified mark (set by the accent and case keys, as by typing).
  void SetModify(bool modified) { document()->setModified(modified); }
  bool GetModify() const { return document()->isModified(); }
  // Set whenever the text changes, cleared when the edit gets the focus.
  std::int32_t IsChanged() const { return m_modified; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void controlKey(int id, int key);
  void editChanged(int id);

 protected:
  // The handlers, as a key reaches the edit; true when the key was used (the default handling
  // is then skipped).
  virtual bool OnKeyDown(int key);
  virtual bool OnChar(int character);
  virtual void OnSetFocus();
  // Marks the text changed and tells the parent.
  void ReportChange();

  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  void HandleKeyPress(QKeyEvent& event);
  void OnTextChanged();
  // The text into the buffer; false when it could not be made.
  bool FillBuffer();
  void SetTextFromBuffer();
  bool ChangeCharacterBeforeCaret(int key);
  bool CycleCaseAtCaret();

  std::int32_t m_forwardEnter = 0;
  std::int32_t m_enterWithModifiers = 0;
  std::int32_t m_forwardNavigation = 0;
  std::int32_t m_forwardEscape = 0;
  std::int32_t m_forwardTab = 0;
  std::vector<char16_t> m_buffer;
  int m_bufferLength = 0;
  std::int32_t m_modified = 0;
  bool m_multiLine;
  bool m_settingText = false;
};

class CDropComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit CDropComboBox(QWidget* parent = nullptr);
  bool IsExtendedUi() const { return m_extendedUi; }

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::int32_t m_extendedUiPending = 1;
  bool m_extendedUi = false;
};

// The cursors shown while a list item would be removed by dropping it outside its list: the
// program's cursors 122 (mode 1) and 141 (mode 2).
const QCursor& GetRemoveModeCursor(int mode);

class CListDragBox : public QListWidget, public CTimerOwner {
  Q_OBJECT

 public:
  explicit CListDragBox(QWidget* parent = nullptr);
  ~CListDragBox() override;

  // Items with their data value.
  int AddItem(const QString& text, qint64 data);
  void InsertItem(int index, const QString& text, qint64 data);
  qint64 GetItemData(int index) const;
  int GetTopIndex() const;
  void SetTopIndex(int index);

  void SetDragging(std::int32_t flag) { m_dragging = flag; }
  // 0 off; 1 or 2 on, choosing the cursor shown outside the list.
  void SetRemoveMode(std::int32_t mode) { m_removeMode = mode; }
  // -1: every item moves; otherwise only that one, the index following it.
  void SetMovableItem(std::int32_t index) { m_movableItem = index; }
  std::int32_t GetMovableItem() const { return m_movableItem; }
  bool IsDragging() const { return m_dragItem >= 0; }
  // The scroll direction while dragging beyond the list: 0 none, 1 up, 2 down.
  std::int16_t GetScrollDirection() const { return m_scrollDirection; }
  void StopScrollTimer();

  void OnTimer(int id) override;

 signals:
  // An item was deleted by key or by dragging it out of the list.
  void dragItemRemoved(int id, qint64 data);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  int Id() const;
  int ItemHeight();
  // Deletes the item, tells the parent and leaves no selection.
  void RemoveItem(int index);
  // Moves the item from one index to another, keeping its text and data; selects it there.
  void MoveItem(int from, int to);
  QRect DragTextRect() const;

  std::int32_t m_dragging = 1;
  std::int32_t m_removeMode = 0;
  std::int32_t m_movableItem = -1;
  std::int32_t m_visibleCount = 0;
  std::int32_t m_dragItem = -1;
  QString m_dragText;
  std::int32_t m_itemHeight = -1;
  std::int32_t m_textX = 0x7FFF;  // 0x7FFF while the text is not shown
  std::int32_t m_textY = 0;
  std::int32_t m_offsetX = 0;
  std::int32_t m_offsetY = 0;
  std::int32_t m_textWidth = 0;
  std::int32_t m_textHeight = 0;
  std::int16_t m_scrollDirection = 0;
  std::int32_t m_timerId = 0;
  std::int32_t m_tickCount = 0;
};

}  // namespace zeph
