// The tool palette of the editing view: the 28 tools by name down the right edge, separators
// after Insert, Grid and Object, scroll arrows when the window is too short, hover and press
// looks, the flyout list of the tools with sub-modes, and the shortcut letters and digits.
#include <QMouseEvent>
#include <algorithm>
#include <optional>

#include "controls/input.h"
#include "document/document.h"
#include "editor/buttoncolours.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "editor/flyouttools.h"
#include "editor/tooltable.h"
#include "editor/viewframe.h"
#include "platform/qt/imagecontext.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"

using zeph::CDrawContext;
using zeph::ColourRef;
using zeph::DcRect;

namespace {

// Separators follow these tools.
constexpr int kSeparatorsAfter[] = {11, 13, 20};
// Timer periods of the hover: the flyout opens after resting on a tool, and closes after the
// mouse left the tool and its list.
constexpr int kFlyoutDelay = 600;
constexpr int kFlyoutCloseDelay = 1000;

bool IsSeparatorAfter(int tool) {
  return std::find(std::begin(kSeparatorsAfter), std::end(kSeparatorsAfter), tool) !=
         std::end(kSeparatorsAfter);
}

bool IsValidTool(int tool) { return tool >= 0 && tool < kToolCount; }

struct RowLook {
  ColourRef topLeft;
  ColourRef bottomRight;
  ColourRef fill;
  ColourRef text;
};

RowLook RowLookOf(int state) {
  switch (state) {
    case kLookHovered:
      return {UiColour(kUiWhite), UiColour(kUiGrey), g_buttonHoverColour, UiColour(kUiBlack)};
    case kLookPressed:
      return {UiColour(kUiGrey), UiColour(kUiWhite), g_buttonPressedColour, UiColour(kUiBlack)};
    case kLookCurrent:
      return {UiColour(kUiGrey), g_buttonHoverColour, UiColour(kUiWhite), UiColour(kUiBlue)};
    case kLookCurrentHovered:
      return {g_buttonHoverColour, UiColour(kUiGrey), UiColour(kUiWhite), UiColour(kUiBlue)};
    default:
      return {g_buttonFaceColour, g_buttonFaceColour, g_buttonFaceColour, UiColour(kUiBlack)};
  }
}

bool Contains(const DcRect& box, int x, int y) {
  return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
}

UiRect Inclusive(const DcRect& box) { return {box.left, box.top, box.right - 1, box.bottom - 1}; }

// Selects the palette's small font when it was made.
void SelectSmallFont(CDrawContext& dc, std::optional<zeph::DcFont>& first) {
  if (g_smallFontMade != 0) SelectGdiObject(dc, &g_smallFont, first);
}

// While the view holds the mouse without a button down, a move over the drawing window is the
// view's (as the capture gives it elsewhere): so the palette sees the mouse leave it and its
// flyout list, and the editor sees nothing until the view lets the mouse go.
class CPaletteCaptureFilter final : public QObject {
 public:
  CPaletteCaptureFilter(CEditingView& view, QWidget& drawing) : QObject(&view), m_view(view) {
    setObjectName(QStringLiteral("PaletteCaptureFilter"));
    drawing.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::MouseMove || zeph::GetCapture() != &m_view) return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->buttons() != Qt::NoButton) return false;
    const QPoint point =
        static_cast<QWidget*>(watched)->mapTo(&m_view, mouse->position().toPoint());
    m_view.OnMouseMove(zeph::MouseFlagsOf(*mouse), point);
    return true;
  }

 private:
  CEditingView& m_view;
};

// The view takes the mouse for the palette.
void TakePaletteCapture(CEditingView& view, QWidget* drawing) {
  if (zeph::GetCapture() != &view) {
    zeph::SetCapture(&view);
    g_mouseCaptured = 1;
  }
  if (drawing != nullptr &&
      view.findChild<CPaletteCaptureFilter*>(QStringLiteral("PaletteCaptureFilter"),
                                             Qt::FindDirectChildrenOnly) == nullptr) {
    new CPaletteCaptureFilter(view, *drawing);
  }
}

}  // namespace

// ---- Painting ----

void CEditingView::DrawPalette(CDrawContext& dc) {
  std::optional<zeph::DcFont> firstFont;
  SelectSmallFont(dc, firstFont);
  SetTextColourUi(dc, kUiBlack);
  SetOpaqueBkColour(dc, g_buttonFaceColour);
  const int h = ::GetLineHeight(dc);
  const int area = m_drawingAreaHeight;
  const int right = m_lastWidth;

  // 1-2. How many rows fit; the arrows only where tools are hidden that way.
  m_paletteFlags &= static_cast<std::int16_t>(~(kArrowForwardShown | kArrowBackShown));
  const int rows = (area - 20) / (h + 1);
  if (rows > kToolCount - 1) {
    m_firstTool = 0;
    m_endTool = kToolCount;
  } else {
    // However short the window, one row is kept.
    const int n = std::max(rows - 1, 1);
    m_firstTool = static_cast<std::int16_t>(std::clamp<int>(m_firstTool, 0, kToolCount - 1));
    m_endTool = static_cast<std::int16_t>(m_firstTool + n);
    if (m_endTool > kToolCount - 1) {
      m_endTool = kToolCount;
      m_firstTool = static_cast<std::int16_t>(kToolCount - n);
    } else {
      m_paletteFlags |= kArrowForwardShown;
    }
    if (m_firstTool > 0) m_paletteFlags |= kArrowBackShown;
  }

  // 3-4. The rows share the height, with room for the separators in view.
  int separators = 0;
  for (int tool : kSeparatorsAfter) {
    if (tool >= m_firstTool && tool < m_endTool) ++separators;
  }
  int count = m_endTool - m_firstTool;
  if (count == kToolCount) count = kToolCount - 1;
  int step = h + 1;
  if (count > 0) {
    step = (area - 9 * separators - h - 8) / count;
    step = std::clamp(step, h + 1, h + 10);
  }
  const int halfGap = (step - h) / 2;

  // 5. The names, and the separators after Insert, Grid and Object.
  int y = 4;
  for (int tool = m_firstTool; tool < m_endTool; ++tool) {
    m_toolTops[static_cast<std::size_t>(tool)] = y;
    DrawTextLine(dc, m_paletteLeft + 6, y, GetPaletteToolName(tool), right - 6);
    const int rowTop = y;
    y += step;
    if (IsSeparatorAfter(tool)) {
      const int line = rowTop + step - halfGap / 2 + 1;
      DrawHorizontalLine(dc, m_paletteLeft + 4, right - 4, line, g_buttonShadowColour);
      DrawHorizontalLineUi(dc, m_paletteLeft + 4, right - 4, line + 1, kUiWhite);
      y = line + 3 * halfGap / 2 + 3;
    }
  }

  // 6. The arrows, in the bottom right corner.
  if ((m_paletteFlags & kArrowForwardShown) != 0) {
    m_downArrowBox = {right - 3 - h, area - 3 - h, right - 3, area - 3};
    Draw3dArrowButton(dc, Inclusive(m_downArrowBox), kArrowDown,
                      (m_paletteFlags & kArrowForwardPressed) != 0 ? 1 : 0);
  } else {
    m_downArrowBox = {};
  }
  if ((m_paletteFlags & kArrowBackShown) != 0) {
    m_upArrowBox = {right - 6 - 2 * h, area - 3 - h, right - 6 - h, area - 3};
    Draw3dArrowButton(dc, Inclusive(m_upArrowBox), kArrowUp,
                      (m_paletteFlags & kArrowBackPressed) != 0 ? 1 : 0);
  } else {
    m_upArrowBox = {};
  }

  // 7. The rows that are not plain.
  if (IsValidTool(g_currentTool)) DrawToolButton(g_currentTool, kLookCurrent, &dc);
  DrawSnapToolButton(1, &dc);
  if (m_hotTool >= 0) {
    const int look = m_toolPressed != 0        ? kLookPressed
                     : IsToolActive(m_hotTool) ? kLookCurrentHovered
                                               : kLookHovered;
    DrawToolButton(m_hotTool, look, &dc);
  }
  if (m_hotEntry >= 0 && m_entryPressed != 0) DrawFlyoutEntry(m_hotEntry, kLookPressed);
  if (firstFont) dc.SelectFont(*firstFont);
}

void CEditingView::DrawToolButton(int tool, int look, CDrawContext* dc) {
  if (!IsValidTool(tool)) {
    SetGlitchValue(tool);
    ReportGlitch(2821, 1);
    return;
  }
  if (look < 0 || look > kLookCurrentHovered) {
    SetGlitchValue(look);
    ReportGlitch(2821, 2);
    return;
  }
  if (tool < m_firstTool || tool >= m_endTool) return;
  EnsureScreen();
  std::optional<zeph::CImageContext> own;
  if (dc == nullptr) {
    own.emplace(m_screen);
    dc = &*own;
  }
  std::optional<zeph::DcFont> firstFont;
  SelectSmallFont(*dc, firstFont);
  const int h = ::GetLineHeight(*dc);
  const RowLook colours = RowLookOf(look);
  const int top = m_toolTops[static_cast<std::size_t>(tool)] - 1;
  const int bottom = top + h + 2;
  const int left = m_paletteLeft + 3;
  const int right = m_paletteLeft + m_paletteWidth - 3;
  FillBox(*dc, left, top, right, bottom, colours.fill);
  // Pressed and selected rows sit one pixel lower and to the right.
  const int shift = look >= kLookPressed ? 1 : 0;
  SetTextColour(*dc, colours.text);
  SetOpaqueBkColour(*dc, colours.fill);
  DrawTextInBox(*dc, left + 3 + shift, top + 1 + shift, GetPaletteToolName(tool), right - 1,
                kAlignLeft);
  DrawHorizontalLine(*dc, left, right, top, colours.topLeft);
  DrawVerticalLine(*dc, left, top, bottom, colours.topLeft);
  DrawHorizontalLine(*dc, left + 1, right, bottom, colours.bottomRight);
  DrawVerticalLine(*dc, right, top + 1, bottom, colours.bottomRight);
  if (firstFont) dc->SelectFont(*firstFont);
  if (own) update(left, top, right - left + 1, bottom - top + 1);
}

void CEditingView::DrawSnapToolButton(int flag, CDrawContext* dc) {
  if (g_snapMode != kSnapHunt && g_snapMode != kSnapGrid) return;
  DrawToolButton(g_snapMode == kSnapHunt ? kToolHunt : kToolGrid,
                 flag != 0 ? kLookCurrent : kLookNormal, dc);
}

void CEditingView::RedrawPalette() {
  EnsureScreen();
  const DcRect area{m_paletteLeft, 0, std::max(m_lastWidth, m_paletteLeft),
                    std::max(m_drawingAreaHeight + 1, 0)};
  {
    zeph::CImageContext dc(m_screen);
    OnEraseBkgnd(dc, area);
    DrawPalette(dc);
  }
  repaint(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

// ---- Hit-testing ----

int CEditingView::HitTestPalette(int x, int y, int& tool) const {
  tool = -1;
  if (x < m_paletteLeft || x >= m_lastWidth || y < 0 || y > m_drawingAreaHeight) return 0;
  if (x < m_paletteLeft + 4 || x > m_paletteLeft + m_paletteWidth - 3) return 1;
  const int h = m_lineHeight;
  for (int i = m_firstTool; i < m_endTool; ++i) {
    const int top = m_toolTops[static_cast<std::size_t>(i)];
    if (y < top - 1) break;
    if (y <= top + h + 1) {
      tool = i;
      break;
    }
  }
  return 1;
}

int CEditingView::HitTestFlyout(int x, int y, int& entry) const {
  entry = -1;
  if (m_flyoutOpen == 0 || m_flyout == nullptr) return 0;
  const QRect box = m_flyout->geometry();
  if (x < box.left() || x > m_paletteLeft + 4 || y < box.top() || y > box.bottom()) return 0;
  const int d = y - box.top();
  const int p = m_lineHeight + m_flyoutSpacing;
  if (p <= 0) return 1;
  const int within = d % p;
  if (within > 3 && within < m_lineHeight + 4 && d / p < m_flyout->GetEntryCount()) {
    entry = d / p;
  }
  return 1;
}

int CEditingView::IsViewPointInFlyout(QPoint point) const {
  if (m_flyoutOpen == 0 || m_flyout == nullptr || !m_flyout->isVisible()) return 0;
  return m_flyout->geometry().contains(point) ? 1 : 0;
}

int CEditingView::IsPointInFlyout(QPoint point) const {
  const QPoint inView = m_drawing != nullptr ? m_drawing->mapTo(this, point) : point;
  return IsViewPointInFlyout(inView);
}

int CEditingView::IsToolActive(int tool) const {
  if (tool == g_currentTool) return 1;
  if (tool == kToolHunt) return g_snapMode == kSnapHunt ? 1 : 0;
  if (tool == kToolGrid) return g_snapMode == kSnapGrid ? 1 : 0;
  return 0;
}

int CEditingView::GetFlyoutEntryCount(int tool) { return GetToolFlyoutCount(tool); }

// ---- Selecting ----

void CEditingView::SelectTool(int tool, int subMode) {
  // 1. A Break offer in progress is cancelled as its Cancel button would.
  if (m_drawing != nullptr && m_drawing->IsBreakOffered() != 0) OnPromptCancel();
  bool repaintDrawing = false;
  const auto hasItems = [](const CZephDoc* doc) {
    return doc != nullptr && doc->GetItemCount() > 0;
  };
  if (tool == kToolInsert && !hasItems(g_symbolDoc)) {
    // 2. Insert needs a symbol: the library first, then a symbol of it.
    if (m_hotTool >= 0) DrawToolButton(m_hotTool, kLookNormal);
    if (!hasItems(g_symbolLibraryDoc)) GetViewFrame().ChooseSymbolLibrary();
    if (hasItems(g_symbolLibraryDoc) && !hasItems(g_symbolDoc)) GetViewFrame().ChooseSymbol();
    if (!hasItems(g_symbolDoc)) return;
  }
  if (tool == kToolHunt) {
    // 3. Hunt toggles hunting; from grid snapping it switches over.
    DrawSnapToolButton(0);
    if (g_snapMode == kSnapHunt) {
      g_snapMode = kSnapNone;
    } else {
      if (g_snapMode == kSnapGrid) {
        SetOptionFlag(kOptionGridSnap, 0);
        repaintDrawing = true;
      }
      g_snapMode = kSnapHunt;
      DrawToolButton(kToolHunt, kLookCurrent);
    }
  } else if (tool == kToolGrid) {
    // 4. Grid toggles grid snapping, remembered in the options.
    DrawSnapToolButton(0);
    if (g_snapMode == kSnapGrid) {
      g_snapMode = kSnapNone;
      SetOptionFlag(kOptionGridSnap, 0);
    } else {
      g_snapMode = kSnapGrid;
      SetOptionFlag(kOptionGridSnap, 1);
      DrawToolButton(kToolGrid, kLookCurrent);
    }
    repaintDrawing = true;
  } else {
    // 5. Any other tool is taken up by the editor.
    if (IsValidTool(g_currentTool)) DrawToolButton(g_currentTool, kLookNormal);
    if (m_drawing != nullptr) m_drawing->SetTool(tool, subMode);
    if (IsValidTool(g_currentTool)) DrawToolButton(g_currentTool, kLookCurrent);
  }
  // 6. The grid shows only while grid snapping unless the options say otherwise.
  if (repaintDrawing && GetOptionShort(kOptionGridShow) == 0 && m_drawing != nullptr) {
    m_drawing->Invalidate();
    m_drawing->UpdateWindow();
  }
}

// ---- The flyout list ----

void CEditingView::OpenFlyout(int keyboard) {
  LogScope trace(2834);
  if (m_flyout != nullptr) CloseFlyout();
  const int n = GetFlyoutEntryCount(m_flyoutTool);
  if (n == 0) return;
  auto* flyout = new (std::nothrow) CFlyoutTools(this);
  if (flyout == nullptr) {
    SetGlitchValue(8991);
    ReportGlitch(2834, 1);
    return;
  }
  flyout->SetTool(m_flyoutTool, keyboard);
  flyout->SetFont(g_smallFontMade != 0 ? &g_smallFont : nullptr);
  connect(flyout, &CFlyoutTools::mouseOverList, this, &CEditingView::KeepFlyoutToolHighlighted);
  // Presses and releases over the list reach the view through its capture, which the first
  // move over the list gives it; the list's own release reports come only while the program
  // is inactive, and the view leaves them alone.
  const int height = n * m_lineHeight + (n - 1) * m_flyoutSpacing + 10;
  const int top = m_toolTops[static_cast<std::size_t>(m_flyoutTool)] - 4;
  if (flyout->CreateAt(m_paletteLeft - m_flyoutWidth, top, m_flyoutWidth, height) == 0) {
    SetGlitchValue(9001);
    ReportGlitch(2834, 2);
    delete flyout;
    return;
  }
  m_flyout = flyout;
  m_flyoutOpen = 1;
  trace.Exit();
}

void CEditingView::CloseFlyout() {
  if (m_flyout != nullptr) {
    // The list may be closed from inside its own mouse handling: it goes once that is over.
    m_flyout->hide();
    m_flyout->deleteLater();
    m_flyout = nullptr;
  }
  m_flyoutOpen = 0;
  m_hotEntry = -1;
  m_entryPressed = 0;
}

void CEditingView::DrawFlyoutEntry(int entry, int look, CDrawContext* dc) {
  if (m_flyoutOpen == 0 || m_flyout == nullptr) return;
  m_flyout->DrawEntry(entry, look, dc);
}

void CEditingView::KeepFlyoutToolHighlighted() {
  if (g_appActive == 0) return;
  TakePaletteCapture(*this, m_drawing);
  if (m_hotTool < 0 && IsValidTool(m_flyoutTool)) {
    m_hotTool = static_cast<std::int16_t>(m_flyoutTool);
    m_lastHotTool = m_hotTool;
    DrawToolButton(m_hotTool, kLookHovered);
  }
}

// ---- Mouse ----

namespace {

// The look of a flyout entry at rest or under the mouse: its own look when it is the current
// sub-mode of the current tool.
int EntryLook(int flyoutTool, int entry, bool hovered) {
  const bool current = flyoutTool == g_currentTool && entry == g_currentSubMode;
  if (current) return hovered ? kLookCurrentHovered : kLookCurrent;
  return hovered ? kLookHovered : kLookNormal;
}

}  // namespace

void CEditingView::OnPaletteMouseMove(unsigned flags, QPoint point) {
  if ((flags & zeph::kMkLButton) != 0) {
    // A held button: the pressed tool or entry looks pressed only while the mouse is on it.
    int tool = -1;
    HitTestPalette(point.x(), point.y(), tool);
    if (m_hotTool >= 0 && m_toolPressed != 0 && tool != m_hotTool) {
      DrawToolButton(m_hotTool, kLookHovered);
      m_toolPressed = 0;
    } else if (m_hotTool >= 0 && m_toolPressed == 0 && m_mouseDown != 0 && tool == m_hotTool) {
      DrawToolButton(m_hotTool, kLookPressed);
      m_toolPressed = 1;
    }
    return;
  }
  int entry = -1;
  const bool overFlyout = HitTestFlyout(point.x(), point.y(), entry) != 0;
  int tool = -1;
  const bool overPalette = !overFlyout && HitTestPalette(point.x(), point.y(), tool) != 0;
  if (m_keyboardFlyout != 0 && m_flyoutOpen != 0) {
    // The list opened by a letter waits for a digit or a click; the mouse going elsewhere
    // is the editor's again.
    if (!overPalette && !overFlyout && zeph::GetCapture() == this) ReleaseMouseCapture();
    return;
  }
  if (g_systemKeyDown != 0) {
    g_systemKeyDown = 0;
    if (m_hotTool >= 0) DrawToolButton(m_hotTool, kLookNormal);
    m_hotTool = -1;
    return;
  }

  // 1. The tool under the mouse; over the open flyout list its tool stays the hot one.
  int hot = -1;
  if (g_appActive != 0) hot = overFlyout ? m_flyoutTool : tool;
  if (overPalette || overFlyout) {
    TakePaletteCapture(*this, m_drawing);
  } else if (zeph::GetCapture() == this) {
    ReleaseMouseCapture();
  }

  // 2. The hot tool changes.
  if (hot != m_hotTool) {
    if (m_hotTool >= 0) {
      DrawToolButton(m_hotTool, IsToolActive(m_hotTool) != 0 ? kLookCurrent : kLookNormal);
      if (m_timers[1] != 0) {
        KillTimer(kViewTimerHover);
        m_timers[1] = 0;
      }
      if (m_timers[2] == 0) m_timers[2] = SetTimer(kViewTimerFlyout, kFlyoutCloseDelay);
    }
    if (hot >= 0) {
      if (m_timers[2] != 0) {
        KillTimer(kViewTimerFlyout);
        m_timers[2] = 0;
      }
      if (m_flyoutOpen != 0) CloseFlyout();
      DrawToolButton(hot, IsToolActive(hot) != 0 ? kLookCurrentHovered : kLookHovered);
      if (GetFlyoutEntryCount(hot) > 0) {
        if (m_timers[1] == 0) m_timers[1] = SetTimer(kViewTimerHover, kFlyoutDelay);
        m_flyoutTool = hot;
      }
    }
    m_hotTool = static_cast<std::int16_t>(hot);
    if (hot != -1) m_lastHotTool = static_cast<std::int16_t>(hot);
  }

  // 4. Over the open list the entry under the mouse lights up.
  if (overFlyout) {
    if (m_timers[2] != 0) {
      KillTimer(kViewTimerFlyout);
      m_timers[2] = 0;
    }
  }
  const int hotEntry = overFlyout ? entry : -1;
  if (hotEntry != m_hotEntry && m_flyoutOpen != 0) {
    if (m_hotEntry >= 0) DrawFlyoutEntry(m_hotEntry, EntryLook(m_flyoutTool, m_hotEntry, false));
    if (hotEntry >= 0) DrawFlyoutEntry(hotEntry, EntryLook(m_flyoutTool, hotEntry, true));
    m_hotEntry = static_cast<std::int16_t>(hotEntry);
  }
}

void CEditingView::OnPaletteLButtonDown(unsigned, QPoint point) {
  m_keyboardFlyout = 0;
  CloseValueEditor();
  int entry = -1;
  int tool = -1;
  if (HitTestFlyout(point.x(), point.y(), entry) != 0) {
    if (entry >= 0) {
      if (m_hotEntry >= 0 && m_hotEntry != entry) {
        DrawFlyoutEntry(m_hotEntry, EntryLook(m_flyoutTool, m_hotEntry, false));
      }
      m_hotEntry = static_cast<std::int16_t>(entry);
      DrawFlyoutEntry(entry, kLookPressed);
      m_entryPressed = 1;
    }
  } else if (HitTestPalette(point.x(), point.y(), tool) != 0 && tool >= 0) {
    if (m_hotTool >= 0 && m_hotTool != tool) {
      DrawToolButton(m_hotTool, IsToolActive(m_hotTool) != 0 ? kLookCurrent : kLookNormal);
    }
    m_hotTool = static_cast<std::int16_t>(tool);
    m_lastHotTool = static_cast<std::int16_t>(tool);
    DrawToolButton(tool, kLookPressed);
    m_toolPressed = 1;
  } else if ((m_paletteFlags & kArrowForwardShown) != 0 &&
             Contains(m_downArrowBox, point.x(), point.y())) {
    m_paletteFlags |= kArrowForwardPressed;
    StartAutoScroll();
    RedrawPalette();
  } else if ((m_paletteFlags & kArrowBackShown) != 0 &&
             Contains(m_upArrowBox, point.x(), point.y())) {
    m_paletteFlags |= kArrowBackPressed;
    StartAutoScroll();
    RedrawPalette();
  }
  // The view keeps the mouse until the release.
  TakePaletteCapture(*this, m_drawing);
}

void CEditingView::OnPaletteLButtonUp(unsigned, QPoint) {
  if (m_hotEntry >= 0) {
    if (m_entryPressed != 0) SelectTool(m_lastHotTool, m_hotEntry);
    CloseFlyout();
  } else if (m_hotTool >= 0 && m_toolPressed != 0) {
    const int tool = m_hotTool;
    if (GetFlyoutEntryCount(tool) == 0) {
      SelectTool(tool, -1);
    } else {
      if (m_flyoutOpen == 0) {
        m_flyoutTool = tool;
        OpenFlyout(0);
      }
      DrawToolButton(tool, kLookHovered);
    }
    m_toolPressed = 0;
    if ((tool == kToolHunt || tool == kToolGrid) && g_snapMode == kSnapNone) {
      DrawToolButton(tool, kLookHovered);
    }
  } else if (m_hotTool >= 0) {
    DrawToolButton(m_hotTool, kLookNormal);
    if (m_hotTool == g_currentTool) {
      DrawToolButton(m_hotTool, kLookCurrent);
    } else {
      m_hotTool = -1;
    }
  }
  if ((m_paletteFlags & (kArrowForwardPressed | kArrowBackPressed)) != 0) {
    m_paletteFlags &= static_cast<std::int16_t>(~(kArrowForwardPressed | kArrowBackPressed));
    RedrawPalette();
  }
}

void CEditingView::OnPaletteTimer(int id) {
  if (id == kViewTimerHover) {
    KillTimer(kViewTimerHover);
    m_timers[1] = 0;
    if (m_flyoutOpen == 0 && m_hotTool >= 0 && m_hotTool == m_flyoutTool) OpenFlyout(0);
  } else if (id == kViewTimerFlyout) {
    KillTimer(kViewTimerFlyout);
    m_timers[2] = 0;
    if (m_flyoutOpen != 0) CloseFlyout();
  } else {
    SetGlitchValue(id);
    ReportGlitch(2815, 1);
  }
}

// ---- Keys ----

int CEditingView::OnPaletteChar(int character) {
  const char16_t key = QChar(static_cast<char16_t>(character)).toUpper().unicode();
  // 1. Letters shared by several tools step through them from the tool in use.
  const int start = m_flyoutOpen != 0 ? m_flyoutTool : g_currentTool;
  for (int k = 1; k <= kToolCount; ++k) {
    const int tool = ((start + k) % kToolCount + kToolCount) % kToolCount;
    if (GetToolLetter(tool) != key) continue;
    // 2. The first tool with that letter.
    if (m_flyoutOpen != 0) {
      if (IsValidTool(m_flyoutTool)) {
        DrawToolButton(m_flyoutTool, IsToolActive(m_flyoutTool) != 0 ? kLookCurrent : kLookNormal);
      }
      CloseFlyout();
    }
    if (tool < m_firstTool || tool >= m_endTool) {
      // A tool out of view becomes the top row.
      m_firstTool = static_cast<std::int16_t>(tool);
      RedrawPalette();
    }
    if (GetFlyoutEntryCount(tool) == 0) {
      SelectTool(tool, -1);
      m_keyboardFlyout = 0;
    } else {
      // Its sub-modes are offered numbered; a digit picks one.
      if (m_hotTool >= 0) DrawToolButton(m_hotTool, kLookNormal);
      m_hotTool = static_cast<std::int16_t>(tool);
      m_lastHotTool = static_cast<std::int16_t>(tool);
      DrawToolButton(tool, kLookHovered);
      m_flyoutTool = tool;
      OpenFlyout(1);
      m_keyboardFlyout = 1;
    }
    return 1;
  }
  // 3. A digit picks a sub-mode of the hot tool, open list or not.
  if (m_hotTool >= 0) {
    const int n = GetFlyoutEntryCount(m_hotTool);
    if (n > 0 && key >= u'1' && key <= u'0' + n) {
      SelectTool(m_hotTool, key - u'1');
      CloseFlyout();
      m_keyboardFlyout = 0;
      return 1;
    }
  }
  // 4. Esc ends what the drawing window is doing.
  if (character == 27) {
    if (m_drawing != nullptr) m_drawing->CancelOperation();
    return 1;
  }
  return 0;
}

void CEditingView::leaveEvent(QEvent* event) {
  CZephView::leaveEvent(event);
  if (zeph::GetCapture() == this) OnMouseMove(0, zeph::PointOutside(*this));
}
