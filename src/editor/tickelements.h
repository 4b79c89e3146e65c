#pragma once
// The floating list of the drawing's objects that the editing view shows in a corner of the
// drawing area while a choosing tool runs. Ticking an object chooses all its items, unticking
// un-chooses them; the optional first row "All objects" ticks or unticks every object at once;
// the small triangles in the other three corners move the list to that corner. The list keeps
// no object data of its own: names, numbers and ticks live in the drawing's object list.
#include <QPoint>
#include <array>
#include <cstdint>

#include "controls/bufferedwnd.h"
#include "editor/viewparts.h"
#include "platform/drawcontext.h"

class CEditingView;
class QScrollBar;

inline constexpr int kIdTickElements = 5007;

class CTickElements : public zeph::CBufferedWnd, public IObjectListWindow {
 public:
  // Corners of the drawing area the list sits in.
  enum Corner { kTopLeft = 0, kTopRight = 1, kBottomRight = 2, kBottomLeft = 3 };

  explicit CTickElements(CEditingView* owner);
  ~CTickElements() override;

  // Makes the window a hidden child of the owner view with its font: 0 without an owner view.
  int Create();

  // ---- IObjectListWindow ----
  QWidget* GetWindow() override { return this; }
  int Fill(CZephDoc* /*document*/) override { return Refill(); }
  int Refresh() override { return Refill(); }
  void SelectObject(int objectNumber, int select) override { SetTick(objectNumber, select); }
  int UpdateTicks() override;
  CZephDoc* GetDocument() const override;

  // Fills the rows from the drawing, all ticks cleared (in Object > Hide the objects with a
  // hidden item ticked): 1, or 0 without a drawing.
  int Refill();
  void SetViewSize(int width, int height);
  // Sizes the window to its rows and puts it into its corner of the drawing area.
  void Place();
  void SetUpScroll();
  // A scroll-bar code (support/uiutil.h) for the rows.
  void OnVScroll(unsigned code, unsigned thumb);
  // The object's tick is to be worked out again from its items.
  void InvalidateTick(int objectNumber);
  void SetTick(int objectNumber, int on);
  void UpdateAllTick();

  // ---- State, for the view and tests ----
  int IsAllObjectsShown() const { return m_allShown; }
  int GetAllTick() const { return m_allTick; }
  int GetRowCount() const { return m_rowCount; }
  int GetRowHeight() const { return m_rowHeight; }
  int GetCorner() const { return m_corner; }
  int GetFirstRow() const { return m_firstRow; }
  int GetScrollMax() const { return m_scrollMax; }
  int GetVisibleRows() const { return m_visibleRows; }
  int GetHoveredRow() const { return m_hoveredRow; }
  int GetHoveredCorner() const { return m_hoveredCorner; }
  int IsAllHovered() const { return m_allHovered; }
  // The middle of a row (index into the object list) or of the "All objects" row (-1), in
  // client pixels; the centre of a corner's box.
  QPoint RowPoint(int row) const;
  QPoint CornerPoint(int corner) const;
  QScrollBar* GetScrollBar() const { return m_scrollBar; }

  // ---- Handlers ----
  void OnPaint(zeph::CDrawContext& dc) override;
  void OnEraseBkgnd(zeph::CDrawContext& dc) override;
  void OnSize(int cx, int cy) override;
  void OnMouseMove(unsigned flags, QPoint point) override;
  void OnLButtonUp(unsigned flags, QPoint point) override;

 private:
  int MakeFont();
  void UpdateCornerBoxes();
  int RowsTop() const;
  int ClientWidth() const;
  zeph::DcRect BoxRect(int row) const;  // row -1: the "All objects" box
  void DrawRow(zeph::CDrawContext& dc, int row, int highlighted);
  void DrawAllRow(zeph::CDrawContext& dc, int highlighted);
  void DrawBox(zeph::CDrawContext& dc, const zeph::DcRect& box, int tick);
  void DrawTriangle(zeph::CDrawContext& dc, int corner, zeph::ColourRef colour);
  int TickAt(int row) const;
  // Tells the view to choose (ticked) or un-choose the object; reversed in Object > Hide.
  void TellView(int objectNumber, int ticked);

  CEditingView* m_owner;
  int m_lastWidth = 0;
  int m_lastHeight = 0;
  int m_allShown = 1;
  int m_corner = kTopRight;
  int m_viewWidth = 0;
  int m_viewHeight = 0;
  std::uint8_t m_allTick = 0;
  int m_rowCount = 0;
  zeph::DcFont m_font;
  int m_fontMade = 0;
  int m_rowHeight = 14;
  int m_windowWidth = 100;
  static constexpr int kBoxX = 5;
  static constexpr int kTopGap = 6;
  static constexpr int kTriangleSize = 8;
  static constexpr int kTriangleColour = 23;
  int m_allHovered = 0;
  int m_hoveredRow = -1;
  int m_hoveredCorner = -1;
  std::array<zeph::DcRect, 4> m_cornerBoxes{};
  int m_firstRow = 0;
  int m_scrollMax = 0;
  int m_visibleRows = 0;
  QScrollBar* m_scrollBar = nullptr;
};

// The factory that makes the list for a view, and its installation.
class CTickElementsFactory : public IObjectListFactory {
 public:
  std::unique_ptr<IObjectListWindow> Create(CEditingView& view, QWidget* parent) override;
};
// Installs the object list and the prompt buttons' handlers as the editing view's parts.
void InstallEditorPromptParts();
