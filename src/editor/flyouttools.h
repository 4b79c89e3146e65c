#pragma once
// The flyout list: a small window beside the palette that lists the sub-modes of Shape,
// Corner, Move or Object, one per row. It only paints its rows and tells the editing view
// about the mouse; the view chooses the sub-mode and closes the list.
#include <QPoint>
#include <QString>
#include <optional>
#include <vector>

#include "controls/bufferedwnd.h"

// The flyout list's control id.
inline constexpr int kIdFlyoutTools = 5008;

// Looks of a flyout entry (the palette's rows use the same five).
inline constexpr int kLookNormal = 0;
inline constexpr int kLookHovered = 1;
inline constexpr int kLookPressed = 2;
inline constexpr int kLookCurrent = 3;
inline constexpr int kLookCurrentHovered = 4;

class CFlyoutTools : public zeph::CBufferedWnd {
  Q_OBJECT

 public:
  // The list of the editing view ownerView (its parent; may be null, then nothing is shown
  // and nothing reported).
  explicit CFlyoutTools(QWidget* ownerView);
  ~CFlyoutTools() override;

  // Lists the sub-modes of tool (Shape, Corner, Move or Object) in the plain form or, with
  // numbered, the numbered form; answers the entry count. Another tool is a glitch and 0.
  int SetTool(int tool, int numbered);
  // Shows the list at (x, y) of its owner view, on top of its siblings; 0 without an owner.
  int CreateAt(int x, int y, int width, int height);
  // The font the rows are written in (not owned; null: the context's own).
  void SetFont(const zeph::DcFont* font) { m_font = font; }

  // Paints entry index in look (kLook...), on dc or, when null, straight onto the window.
  void DrawEntry(int index, int look, zeph::CDrawContext* dc);

  int GetTool() const { return m_tool; }
  int GetEntryCount() const { return m_entryCount; }
  QString GetEntryText(int index) const;
  // The text height of the rows' font as last measured.
  int GetRowHeight() const { return m_rowHeight; }

  void OnPaint(zeph::CDrawContext& dc) override;
  void OnEraseBkgnd(zeph::CDrawContext& dc) override;
  void OnMouseMove(unsigned flags, QPoint point) override;
  void OnLButtonUp(unsigned flags, QPoint point) override;
  void OnRButtonUp(unsigned flags, QPoint point) override;

 signals:
  // The mouse moves over the list.
  void mouseOverList();
  // A button was released over the list; the point is in screen coordinates.
  void leftButtonReleased(unsigned flags, QPoint screenPoint);
  void rightButtonReleased(unsigned flags, QPoint screenPoint);

 protected:
  // While the owner view holds the mouse capture, the mouse is the view's: what happens over
  // the list goes to the view in its own coordinates.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  bool ForwardToCapturingOwner(QMouseEvent* event);
  // Selects the rows' font and measures the row height; the previous font goes into first.
  void SelectRowFont(zeph::CDrawContext& dc, std::optional<zeph::DcFont>& first);

  QWidget* m_owner = nullptr;
  int m_tool = -1;
  int m_entryCount = 0;
  int m_numbered = 0;
  int m_rowHeight = 0;
  const zeph::DcFont* m_font = nullptr;
};
