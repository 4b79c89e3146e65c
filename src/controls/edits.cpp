#include "controls/edits.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>
#include <new>

#include "controls/dialogplus.h"
#include "controls/input.h"
#include "controls/resources.h"
#include "controls/viewcontrols.h"
#include "platform/qt/qtfont.h"
#include "support/fontspec.h"
#include "support/screen.h"
#include "support/textutil.h"
#include "support/uiutil.h"

namespace zeph {
namespace {

bool CtrlDown() { return (g_keyState & kKeyStateCtrl) != 0; }

bool IsNavigationKey(int key) {
  switch (key) {
    case kVkPrior:
    case kVkNext:
    case kVkEnd:
    case kVkHome:
    case kVkUp:
    case kVkDown:
      return true;
    default:
      return false;
  }
}

constexpr int kVkF2 = kVkF1 + 1;
constexpr int kVkF4 = kVkF1 + 3;
constexpr int kVkF5 = kVkF1 + 4;
constexpr int kVkF6 = kVkF1 + 5;
constexpr int kScrollTimerId = 1;

}  // namespace

// ---- CZephoEdit ----

CZephoEdit::CZephoEdit(std::uint32_t keyOptions, QWidget* parent, bool multiLine)
    : QPlainTextEdit(parent), m_multiLine(multiLine) {
  SetKeyOptions(keyOptions);
  // Tab moves on like in any edit of a dialog, unless it is handed to the parent.
  setTabChangesFocus(true);
  if (!m_multiLine) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }
  connect(this, &QPlainTextEdit::textChanged, this, &CZephoEdit::OnTextChanged);
}

std::uint32_t CZephoEdit::SetKeyOptions(std::uint32_t flags) {
  m_forwardEnter = (flags & (kEditForwardEnter | kEditForwardEnterWithModifiers)) != 0 ? 1 : 0;
  m_enterWithModifiers = (flags & kEditForwardEnterWithModifiers) != 0 ? 1 : 0;
  m_forwardNavigation = (flags & kEditForwardNavigation) != 0 ? 1 : 0;
  m_forwardEscape = (flags & kEditForwardEscape) != 0 ? 1 : 0;
  m_forwardTab = (flags & kEditForwardTab) != 0 ? 1 : 0;
  return flags & kEditForwardTab;
}

QSize CZephoEdit::sizeHint() const {
  const QSize base = QPlainTextEdit::sizeHint();
  if (m_multiLine) return base;
  const int margins = 2 * (frameWidth() + static_cast<int>(document()->documentMargin()));
  return {base.width(), fontMetrics().lineSpacing() + margins};
}

QSize CZephoEdit::minimumSizeHint() const {
  if (m_multiLine) return QPlainTextEdit::minimumSizeHint();
  return {QPlainTextEdit::minimumSizeHint().width(), sizeHint().height()};
}

void CZephoEdit::SetWindowText(const QString& text) {
  m_settingText = true;
  setPlainText(text);
  m_settingText = false;
}

void CZephoEdit::GetSel(int& start, int& end) const {
  const QTextCursor cursor = textCursor();
  start = cursor.selectionStart();
  end = cursor.selectionEnd();
}

void CZephoEdit::SetSel(int start, int end) {
  const int length = static_cast<int>(toPlainText().size());
  QTextCursor cursor = textCursor();
  cursor.setPosition(std::clamp(start, 0, length));
  cursor.setPosition(std::clamp(end, 0, length), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
}

void CZephoEdit::ReportChange() {
  m_modified = 1;
  emit editChanged(ControlIdOf(this));
}

void CZephoEdit::OnTextChanged() {
  if (!m_settingText) ReportChange();
}

bool CZephoEdit::FillBuffer() {
  const QString text = toPlainText();
  const int length = static_cast<int>(text.size());
  try {
    if (static_cast<int>(m_buffer.size()) < length + 1) {
      std::vector<char16_t> buffer(static_cast<std::size_t>(std::max(length, 100) + 51));
      m_buffer.swap(buffer);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::copy(text.utf16(), text.utf16() + length, m_buffer.begin());
  m_buffer[static_cast<std::size_t>(length)] = 0;
  m_bufferLength = length;
  return true;
}

void CZephoEdit::SetTextFromBuffer() {
  SetWindowText(QString::fromUtf16(m_buffer.data(), m_bufferLength));
}

bool CZephoEdit::ChangeCharacterBeforeCaret(int key) {
  int (*change)(char16_t*) = nullptr;
  switch (key) {
    case kVkF2:
      change = &CycleAccent;
      break;
    case kVkF3:
      change = &ToggleAcute;
      break;
    case kVkF4:
      change = &ToggleGrave;
      break;
    case kVkF5:
      change = &ToggleDiaeresis;
      break;
    case kVkF6:
      change = &ToggleHatAccent;
      break;
    default:
      return false;
  }
  int s = 0;
  int e = 0;
  GetSel(s, e);
  if (!CtrlDown() || s != e || s <= 0) return false;
  if (!FillBuffer()) return false;
  if (s > m_bufferLength || change(&m_buffer[static_cast<std::size_t>(s - 1)]) == 0) return true;
  SetTextFromBuffer();
  SetSel(s, s);
  ensureCursorVisible();
  SetModify(true);
  ReportChange();
  return true;
}

bool CZephoEdit::CycleCaseAtCaret() {
  if (!FillBuffer()) return false;
  int s = 0;
  int e = 0;
  GetSel(s, e);
  const int count = s == e ? (s < m_bufferLength ? 1 : 0) : e - s;
  const int changed = count > 0 ? CycleCase(&m_buffer[static_cast<std::size_t>(s)], count) : 0;
  if (changed != 0) SetTextFromBuffer();
  if (s == e) {
    SetSel(std::min(s + 1, m_bufferLength), std::min(s + 1, m_bufferLength));
  } else {
    SetSel(s, e);
  }
  if (changed != 0) {
    SetModify(true);
    ReportChange();
  }
  return true;
}

bool CZephoEdit::OnKeyDown(int key) {
  if (ChangeCharacterBeforeCaret(key)) return true;
  if (IsNavigationKey(key)) {
    if (m_forwardNavigation == 0) return false;
    emit controlKey(ControlIdOf(this), key);
    return true;
  }
  if (key == kVkF7) return CycleCaseAtCaret();
  return false;
}

bool CZephoEdit::OnChar(int character) {
  const int id = ControlIdOf(this);
  switch (character) {
    case kCharEnter:
      if (m_forwardEnter != 0 &&
          (m_enterWithModifiers != 0 || (g_keyState & (kKeyStateShift | kKeyStateCtrl)) == 0)) {
        emit controlKey(id, kCharEnter);
        return true;
      }
      return false;
    case kCharEscape:
      if (m_forwardEscape == 0) return false;
      emit controlKey(id, kCharEscape);
      return true;
    case kCharTab:
      if (m_forwardTab == 0) return false;
      emit controlKey(id, kCharTab);
      return true;
    default:
      return false;
  }
}

void CZephoEdit::OnSetFocus() { m_modified = 0; }

bool CZephoEdit::event(QEvent* event) {
  // Tab would move Qt's focus before keyPressEvent saw it.
  if (event->type() == QEvent::KeyPress && m_forwardTab != 0) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      HandleKeyPress(*key);
      return true;
    }
  }
  return QPlainTextEdit::event(event);
}

void CZephoEdit::HandleKeyPress(QKeyEvent& event) {
  TrackKeyModifiers(event);
  const KeyInput input = TranslateKey(event);
  // A paste is about to change the text.
  if (input.virtualKey == 'V' && CtrlDown()) emit editChanged(ControlIdOf(this));
  if (input.virtualKey != 0 && OnKeyDown(input.virtualKey)) {
    event.accept();
    return;
  }
  if (input.character >= 0 && !input.system && OnChar(input.character)) {
    event.accept();
    return;
  }
  // Enter of a one-line edit and Esc belong to the dialog's buttons; a Tab that is not handed
  // to the parent never becomes text.
  const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
  const bool tab = event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab;
  if ((enter && !m_multiLine) || event.key() == Qt::Key_Escape || tab) {
    event.ignore();
    return;
  }
  QPlainTextEdit::keyPressEvent(&event);
}

void CZephoEdit::keyPressEvent(QKeyEvent* event) { HandleKeyPress(*event); }

void CZephoEdit::keyReleaseEvent(QKeyEvent* event) {
  TrackKeyModifiers(*event);
  QPlainTextEdit::keyReleaseEvent(event);
}

void CZephoEdit::focusInEvent(QFocusEvent* event) {
  QPlainTextEdit::focusInEvent(event);
  OnSetFocus();
}

void CZephoEdit::insertFromMimeData(const QMimeData* source) {
  if (m_multiLine || source == nullptr || !source->hasText()) {
    QPlainTextEdit::insertFromMimeData(source);
    return;
  }
  // A one-line edit takes the first line of what is pasted.
  QString text = source->text();
  const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
  if (end >= 0) text.truncate(end);
  insertPlainText(text);
}

// ---- CDropComboBox ----

CDropComboBox::CDropComboBox(QWidget* parent) : QComboBox(parent) {}

void CDropComboBox::focusInEvent(QFocusEvent* event) {
  if (m_extendedUiPending != 0) {
    m_extendedUi = true;
    m_extendedUiPending = 0;
  }
  QComboBox::focusInEvent(event);
}

void CDropComboBox::keyPressEvent(QKeyEvent* event) {
  if (m_extendedUi && (event->modifiers() & Qt::AltModifier) == 0) {
    if (event->key() == Qt::Key_Down) {
      // The list opens, instead of the next entry being chosen.
      if (!view()->isVisible()) showPopup();
      event->accept();
      return;
    }
    if (event->key() == Qt::Key_F4) {
      event->accept();
      return;
    }
  }
  QComboBox::keyPressEvent(event);
}

// ---- CListDragBox ----

const QCursor& GetRemoveModeCursor(int mode) {
  static const QCursor removeCursor = LoadOwnCursor(QStringLiteral("dragremove"), 1, 1);
  static const QCursor deleteCursor = LoadOwnCursor(QStringLiteral("dragdelete"), 1, 1);
  return mode == 2 ? deleteCursor : removeCursor;
}

CListDragBox::CListDragBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

CListDragBox::~CListDragBox() = default;

int CListDragBox::Id() const { return ControlIdOf(this); }

int CListDragBox::AddItem(const QString& text, qint64 data) {
  InsertItem(count(), text, data);
  return count() - 1;
}

void CListDragBox::InsertItem(int index, const QString& text, qint64 data) {
  auto* item = new QListWidgetItem(text);
  item->setData(Qt::UserRole, data);
  insertItem(index, item);
}

qint64 CListDragBox::GetItemData(int index) const {
  const QListWidgetItem* it = item(index);
  return it != nullptr ? it->data(Qt::UserRole).toLongLong() : 0;
}

int CListDragBox::GetTopIndex() const { return verticalScrollBar()->value(); }

void CListDragBox::SetTopIndex(int index) { verticalScrollBar()->setValue(index); }

int CListDragBox::ItemHeight() {
  if (m_itemHeight <= 0) {
    m_itemHeight = count() > 0 ? sizeHintForRow(0) : fontMetrics().height();
    m_itemHeight = std::max(1, m_itemHeight);
  }
  return m_itemHeight;
}

void CListDragBox::StopScrollTimer() {
  if (m_timerId != 0) KillTimer(m_timerId);
  m_timerId = 0;
  m_scrollDirection = 0;
}

void CListDragBox::RemoveItem(int index) {
  const qint64 data = GetItemData(index);
  delete takeItem(index);
  if (m_movableItem == index) {
    m_movableItem = -1;
  } else if (m_movableItem > index) {
    --m_movableItem;
  }
  emit dragItemRemoved(Id(), data);
  clearSelection();
  setCurrentRow(-1);
}

void CListDragBox::MoveItem(int from, int to) {
  setUpdatesEnabled(false);
  QListWidgetItem* moving = takeItem(from);
  insertItem(to, moving);
  setCurrentRow(to);
  if (m_movableItem == from) m_movableItem = to;
  setUpdatesEnabled(true);
}

void CListDragBox::keyPressEvent(QKeyEvent* event) {
  TrackKeyModifiers(*event);
  const bool arrow = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
  const bool modifier = (g_keyState & (kKeyStateShift | kKeyStateCtrl)) != 0;
  const int selected = currentRow();
  if (m_dragging != 0 && arrow && modifier && selected >= 0 && currentItem()->isSelected()) {
    if (event->key() == Qt::Key_Up && selected > 0) MoveItem(selected, selected - 1);
    if (event->key() == Qt::Key_Down && selected + 1 < count()) MoveItem(selected, selected + 1);
    event->accept();  // used even when the item cannot move
    return;
  }
  QListWidget::keyPressEvent(event);
}

void CListDragBox::keyReleaseEvent(QKeyEvent* event) {
  TrackKeyModifiers(*event);
  const int key = VirtualKeyOf(event->key(), event->modifiers());
  const int selected = currentRow();
  if ((key == kVkDelete || key == kVkSpace) && m_removeMode != 0 && selected >= 0 &&
      currentItem()->isSelected() && !event->isAutoRepeat()) {
    RemoveItem(selected);
    event->accept();
    return;
  }
  QListWidget::keyReleaseEvent(event);
}

QRect CListDragBox::DragTextRect() const {
  return {m_textX - 1, m_textY, m_textWidth + 2, m_textHeight};
}

void CListDragBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && m_dragging != 0 && m_dragItem < 0) {
    const int h = ItemHeight();
    m_visibleCount = (viewport()->height() - 1) / h;
    const QPoint p = event->position().toPoint();
    const int index = GetTopIndex() + p.y() / h;
    if (p.y() >= 0 && index < count() && (m_movableItem == -1 || m_movableItem == index)) {
      m_dragItem = index;
      m_dragText = item(index)->text();
      m_textX = 2;
      m_textY = (index - GetTopIndex()) * h;
      m_offsetX = m_textX - p.x();
      m_offsetY = m_textY - p.y();
      m_textWidth = QFontMetrics(QtFontOf(GetDialogFont(), this)).horizontalAdvance(m_dragText);
      m_textHeight = h;
    }
    m_scrollDirection = 0;
  }
  QListWidget::mousePressEvent(event);
}

void CListDragBox::mouseMoveEvent(QMouseEvent* event) {
  if (m_dragItem < 0) {
    QListWidget::mouseMoveEvent(event);
    return;
  }
  if (m_textX != 0x7FFF) viewport()->update(DragTextRect());
  const QPoint p = event->position().toPoint();
  const QRect client = viewport()->rect();
  const int h = ItemHeight();
  const bool across = p.x() >= client.left() && p.x() <= client.right();
  const bool above = across && p.y() < client.top() && p.y() >= client.top() - h;
  const bool below = across && p.y() > client.bottom() && p.y() <= client.bottom() + h;
  if (client.contains(p)) {
    StopScrollTimer();
    m_textX = p.x() + m_offsetX;
    m_textY = p.y() + m_offsetY;
    viewport()->update(DragTextRect());
    viewport()->setCursor(Qt::ArrowCursor);
  } else if (above || below) {
    m_textX = 0x7FFF;
    viewport()->setCursor(Qt::SizeVerCursor);
    m_scrollDirection = above ? 1 : 2;
    if (m_timerId == 0) {
      m_timerId = SetTimer(kScrollTimerId, 100);
      m_tickCount = 0;
    }
  } else {
    StopScrollTimer();
    m_textX = 0x7FFF;
    // What a release here would do.
    if (m_removeMode == 1 || m_removeMode == 2) {
      viewport()->setCursor(GetRemoveModeCursor(m_removeMode));
    } else {
      viewport()->setCursor(Qt::ForbiddenCursor);
    }
  }
  event->accept();
}

void CListDragBox::OnTimer(int) {
  ++m_tickCount;
  // Slowly for the first two seconds, then at every tick.
  if (m_tickCount <= 20 && (m_tickCount % 2) != 0) return;
  const int top = GetTopIndex();
  switch (m_scrollDirection) {
    case 1:
      if (top > 0) SetTopIndex(top - 1);
      break;
    case 2: {
      const int perPage = std::max(1, viewport()->height() / ItemHeight());
      if (top < count() - perPage) SetTopIndex(top + 1);
      break;
    }
    default:
      StopScrollTimer();
      break;
  }
}

void CListDragBox::mouseReleaseEvent(QMouseEvent* event) {
  if (m_dragItem < 0 || event->button() != Qt::LeftButton) {
    QListWidget::mouseReleaseEvent(event);
    return;
  }
  StopScrollTimer();
  const int dragged = m_dragItem;
  m_dragItem = -1;
  if (m_textX == 0x7FFF) {
    // Released outside the list.
    if (m_removeMode != 0 && dragged < count()) RemoveItem(dragged);
  } else {
    const int h = ItemHeight();
    int t = std::clamp((m_textY - 3 + h) / h, 0, std::max(0, m_visibleCount));
    t = std::min(GetTopIndex() + t, count());
    if (t < dragged) {
      MoveItem(dragged, t);
    } else if (dragged < t - 1) {
      MoveItem(dragged, t - 1);  // inserted before t, the old entry taken out
    }
  }
  m_textX = 0x7FFF;
  viewport()->unsetCursor();
  viewport()->update();
  QListWidget::mouseReleaseEvent(event);
}

void CListDragBox::paintEvent(QPaintEvent* event) {
  QListWidget::paintEvent(event);
  if (m_dragItem < 0 || m_textX == 0x7FFF) return;
  QPainter painter(viewport());
  painter.setClipRect(viewport()->rect());
  const QRect box(m_textX, m_textY, m_textWidth, m_textHeight);
  painter.fillRect(box, ToQColor(UiColour(14)));
  painter.setPen(ToQColor(UiColour(kUiBlack)));
  painter.setFont(QtFontOf(GetDialogFont(), this));
  painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, m_dragText);
}

}  // namespace zeph
