#pragma once
// A Qt dialog seen as the program's dialog window, so that it can be grown to a larger font.
// Its controls are the dialog's direct child widgets, in creation order.
#include "platform/dialogwindow.h"

#include <QList>
#include <QPointer>

class QWidget;

namespace zeph {

class CQtDialogWindow final : public IDialogWindow {
 public:
  // The dialog must outlive this object.
  explicit CQtDialogWindow(QWidget& dialog);

  TextMetrics GetOwnFontMetrics() const override;
  TextMetrics GetFontMetrics(const DcFont& font) const override;
  DcRect GetWindowRect() const override;
  DcSize GetClientSize() const override;
  void MoveWindow(const DcRect& rect, bool repaint) override;
  void SetFont(const DcFont& font, bool redraw) override;

  int GetChildCount() const override;
  DialogChildKind GetChildKind(int index) const override;
  DcRect GetChildRect(int index) const override;
  void SetChildFont(int index, const DcFont& font) override;
  void MoveChild(int index, const DcRect& rect) override;

 private:
  QWidget* Child(int index) const;

  QWidget& m_dialog;
  QList<QPointer<QWidget>> m_children;
};

}  // namespace zeph
