#include "platform/qt/qtdialogwindow.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>
#include <algorithm>

#include "platform/qt/qtfont.h"

namespace zeph {
namespace {

DcRect ToDcRect(const QRect& r) {
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect ToQRect(const DcRect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

}  // namespace

CQtDialogWindow::CQtDialogWindow(QWidget& dialog) : m_dialog(dialog) {
  for (QObject* object : dialog.children()) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget != nullptr && !widget->isWindow()) m_children.append(widget);
  }
}

QWidget* CQtDialogWindow::Child(int index) const {
  if (index < 0 || index >= m_children.size()) return nullptr;
  return m_children.at(index).data();
}

TextMetrics CQtDialogWindow::GetOwnFontMetrics() const {
  const QFontMetrics fm(m_dialog.font(), &m_dialog);
  TextMetrics tm;
  tm.ascent = fm.ascent();
  tm.descent = fm.descent();
  tm.height = tm.ascent + tm.descent;
  tm.externalLeading = std::max(0, fm.leading());
  tm.averageCharWidth = fm.averageCharWidth();
  tm.maxCharWidth = fm.maxWidth();
  tm.italic = m_dialog.font().italic();
  return tm;
}

TextMetrics CQtDialogWindow::GetFontMetrics(const DcFont& font) const {
  return QtTextMetrics(MakeQtFont(font, &m_dialog), font, &m_dialog);
}

DcRect CQtDialogWindow::GetWindowRect() const { return ToDcRect(m_dialog.frameGeometry()); }

DcSize CQtDialogWindow::GetClientSize() const { return {m_dialog.width(), m_dialog.height()}; }

void CQtDialogWindow::MoveWindow(const DcRect& rect, bool repaint) {
  const QRect frame = m_dialog.frameGeometry();
  const int frameWidth = frame.width() - m_dialog.width();
  const int frameHeight = frame.height() - m_dialog.height();
  m_dialog.move(rect.left, rect.top);
  m_dialog.resize(std::max(0, rect.right - rect.left - frameWidth),
                  std::max(0, rect.bottom - rect.top - frameHeight));
  if (repaint) m_dialog.update();
}

void CQtDialogWindow::SetFont(const DcFont& font, bool redraw) {
  m_dialog.setFont(MakeQtFont(font, &m_dialog));
  if (redraw) m_dialog.update();
}

int CQtDialogWindow::GetChildCount() const { return static_cast<int>(m_children.size()); }

DialogChildKind CQtDialogWindow::GetChildKind(int index) const {
  QWidget* child = Child(index);
  if (qobject_cast<QComboBox*>(child) != nullptr) return DialogChildKind::kComboBox;
  if (const auto* label = qobject_cast<QLabel*>(child)) {
    if (!label->pixmap().isNull() && !label->hasScaledContents()) {
      return DialogChildKind::kRealSizePicture;
    }
  }
  return DialogChildKind::kOther;
}

// Qt sizes a combo box's list itself, so the rectangle is the box's own.
DcRect CQtDialogWindow::GetChildRect(int index) const {
  QWidget* child = Child(index);
  return child != nullptr ? ToDcRect(child->geometry()) : DcRect{};
}

void CQtDialogWindow::SetChildFont(int index, const DcFont& font) {
  if (QWidget* child = Child(index)) child->setFont(MakeQtFont(font, child));
}

void CQtDialogWindow::MoveChild(int index, const DcRect& rect) {
  if (QWidget* child = Child(index)) child->setGeometry(ToQRect(rect));
}

}  // namespace zeph
