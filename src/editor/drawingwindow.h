#pragma once
// The window that shows one drawing: its view mapping, background picture and grid, the items
// in list order, and the exclusive-or overlays kept over them (marks at chosen points, grips at
// handles, the guide line and the rubber band). The editor window and the read-only preview
// derive from it and paint through PaintDrawing.
//
// Marks and grips are kept in drawing units and identified by their device position: two
// points on the same pixel are one mark. Overlays are drawn in exclusive-or, so drawing one
// twice leaves the window as it was; a paint draws the marks and grips again in their places.
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "controls/bufferedwnd.h"
#include "items/viewmapping.h"

class CZephDoc;
class CImage;
class CItemRefList;

// Grid modes of a drawing window.
inline constexpr int kGridShown = 0;
inline constexpr int kGridHidden = 1;
inline constexpr int kGridByOptions = 2;

inline constexpr int kMarkLimit = 4;
inline constexpr int kGripLimit = 1000;

class CDrawingWindow : public zeph::CBufferedWnd {
  Q_OBJECT

 public:
  explicit CDrawingWindow(QWidget* parent = nullptr);
  ~CDrawingWindow() override;

  // The drawing shown (not owned); null detaches.
  void SetDocument(CZephDoc* document);
  CZephDoc* GetDocument() const { return m_document; }

  CViewMapping& GetMapping() { return m_mapping; }
  const CViewMapping& GetMapping() const { return m_mapping; }

  // Selected items are painted in the highlight colour.
  void SetSelectionShown(int shown) { m_selectionShown = shown; }
  int GetSelectionShown() const { return m_selectionShown; }
  // -1 none; otherwise the colour mode every unselected item is painted with.
  void SetOverrideColour(int colourMode) { m_overrideColour = colourMode; }
  int GetOverrideColour() const { return m_overrideColour; }
  // kGridShown, kGridHidden or kGridByOptions (the normal value).
  void SetGridMode(int mode) { m_gridMode = mode; }
  int GetGridMode() const { return m_gridMode; }
  // Whether the last paint showed the grid.
  int IsGridShown() const { return m_gridShown; }
  void SetShowPicture(int shown) { m_pictureShown = shown; }
  int IsPictureShown() const { return m_pictureShown; }

  // Stores the drawing point under the device point in g_cursorPoint.
  void SetCursorPoint(int deviceX, int deviceY);

  // Paints the drawing into dc: background picture, grid, items, marks and grips.
  void PaintDrawing(zeph::CDrawContext& dc);

  // ---- Marks (at most 4) ----
  // Removes the mark on the point's pixel, or adds one; 0 when 4 marks exist already.
  int ToggleMark(int x, int y);
  // With toggle, ToggleMark first (nothing is drawn when it refuses). Null dc: the window's.
  void DrawMark(int x, int y, zeph::CDrawContext* dc, int toggle);
  void ClearMarks();
  void ToggleSnapMark();
  void ToggleLineStartMark(zeph::CDrawContext* dc);
  int GetMarkCount() const { return m_markCount; }
  DrawingPoint GetMark(int index) const;

  // ---- Grips (at most 1000) ----
  int ToggleGrip(int x, int y);
  void DrawGrip(int x, int y, zeph::CDrawContext* dc, int toggle);
  void DrawGrips(zeph::CDrawContext& dc);
  void ClearGrips();
  // Draws a grip at the point and keeps it as the only one (no grip may be shown).
  void SetOnlyGrip(int x, int y);
  // The grip at the device position; -1 when none.
  int FindGrip(int deviceX, int deviceY) const;
  // The first grip within 5 pixels of the cursor point in x and in y; -1 when none.
  int FindGripAtCursor() const;
  // The grip nearest the cursor point (sum of the distances in x and y); 0 without grips.
  int FindNearestGrip(int& x, int& y) const;
  // Moves every grip by a drawing offset without drawing.
  void MoveGrips(int dx, int dy);
  // Grips at every handle of the items shown and not dormant.
  void ShowGripsOfActive();
  // Grips exactly at the points of the list: those already shown stay, others are drawn and
  // the grips at no point are erased.
  void SyncGripsToPoints(const CItemRefList& points);
  int GetGripCount() const { return m_gripCount; }
  DrawingPoint GetGrip(int index) const;

  // ---- Guide line (Reflect and Stretch) ----
  void SetGuideVertical(int vertical) { m_guideVertical = vertical; }
  // Moves the guide line to the snap point (show non-zero) or removes it.
  void MoveGuideLine(int show);
  int GetGuidePosition() const { return m_guidePosition; }

  // ---- Rubber band ----
  void StartRubberBand(int x, int y);
  void UpdateRubberBand(unsigned flags, int x, int y);
  void TrackRubberBand(unsigned flags, int x, int y);
  void EndRubberBand(unsigned flags, int x, int y);
  void HideRubberBand();
  int IsRubberBandVisible() const { return m_bandVisible; }
  void SetRubberBandVisible(int visible) { m_bandVisible = visible; }
  zeph::DcRect GetRubberBandRect() const { return m_bandRect; }

  // The scroll state: per direction position, maximum, page and base.
  struct ScrollState {
    std::int32_t position = 0;
    std::int32_t maximum = 0;
    std::int32_t page = 0;
    std::int32_t base = 0;
  };
  ScrollState& HorizontalScroll() { return m_scrollH; }
  ScrollState& VerticalScroll() { return m_scrollV; }
  // One scroll unit in pixels.
  static constexpr int kScrollUnit = 10;
  // The scroll bars of the area the window is the viewport of were moved to these positions:
  // the origin follows (x = base + position units, y = base - position units) and the window
  // is painted again. Nothing happens while the window sets the bars itself.
  void OnScrollBars(int horizontal, int vertical);
  // Gives the scroll bars of the area around the window (when there is one) the ranges,
  // page sizes and positions of the scroll state.
  void PushScrollBars();
  // The wheel scrolls the drawing as the scroll bars do, by their own steps: up and down, or
  // sideways with Shift or a horizontal wheel. It never zooms.
  void OnMouseWheel(unsigned flags, int delta, QPoint point) override;
  void OnMouseHWheel(unsigned flags, int delta, QPoint point) override;

  void OnEraseBkgnd(zeph::CDrawContext& dc) override;
  void OnPaint(zeph::CDrawContext& dc) override;

 protected:
  void DrawMarkAt(zeph::CDrawContext& dc, int u, int v) const;
  void DrawGripAt(zeph::CDrawContext& dc, int u, int v) const;
  // Appends a grip (drawn) unless one is on the pixel or the limit is reached.
  void AddGripIfNew(zeph::CDrawContext& dc, int x, int y);

  int m_cursorReadout = 0;

 private:
  bool DecideGrid(const CViewMapping& mapping);
  void DrawGrid(zeph::CDrawContext& dc, const zeph::DcRect& client);
  void PaintPicture(zeph::CDrawContext& dc);
  void DrawBand(zeph::CDrawContext& dc) const;
  void DrawGuideLine(zeph::CDrawContext& dc, int position) const;
  bool SameDevicePoint(int x1, int y1, int x2, int y2) const;

  CZephDoc* m_document = nullptr;
  int m_selectionShown = 0;
  int m_overrideColour = -1;
  int m_gridMode = kGridByOptions;
  CViewMapping m_mapping;
  int m_pictureShown = 0;
  std::unique_ptr<CImage> m_picture;
  QString m_picturePathTried;  // the path the picture was last loaded (or tried) from

  int m_markCount = 0;
  std::array<DrawingPoint, kMarkLimit> m_marks{};
  int m_gripCount = 0;
  std::array<DrawingPoint, kGripLimit> m_grips{};
  std::array<std::int16_t, kGripLimit> m_gripKept{};

  int m_guideVertical = 0;
  int m_guidePosition = -1;

  int m_bandVisible = 0;
  zeph::DcPoint m_bandAnchor;
  zeph::DcPoint m_bandLast;
  zeph::DcRect m_bandRect;

  ScrollState m_scrollH;
  ScrollState m_scrollV;
  int m_pushingScrollBars = 0;
  // What the wheel turned short of a whole step, per bar.
  int m_wheelRestH = 0;
  int m_wheelRestV = 0;
  int m_gridShown = 0;

 private:
  // Moves the bar by delta (120 a notch; positive: towards the end of the bar).
  void ScrollByWheel(bool horizontal, int delta);
};
