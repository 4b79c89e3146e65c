#include "controls/displaytext.h"

#include <algorithm>

#include "controls/controls.h"
#include "controls/textlayout.h"
#include "controls/textmetrics.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace zeph {
namespace {

void TrackModifier(int key, bool down) {
  if (key == kVkShift || key == kVkControl) SetModifierKey(key, down);
}

// The new first line for a scrolling key, or -1 for a key that does not scroll. A page of
// fewer than one line still moves by one.
int ScrollKeyTarget(int key, int first, int page, int maximum) {
  const int p = std::max(1, page);
  switch (key) {
    case kVkPrior:
      return std::max(0, first - p + 1);
    case kVkNext:
      return std::min(first + p - 1, maximum);
    case kVkHome:
      return 0;
    case kVkEnd:
      return maximum;
    case kVkUp:
      return std::max(0, first - 1);
    case kVkDown:
      return std::min(first + 1, maximum);
    default:
      return -1;
  }
}

}  // namespace

// ---- CDispTextWnd ----

CDispTextWnd::CDispTextWnd(QWidget* parent)
    : CScrollingWnd(parent), m_textColour(g_foregroundColour), m_backColour(g_backgroundColour) {}

const DcFont& CDispTextWnd::FontInUse() const { return m_font ? *m_font : GetDialogFont(); }

void CDispTextWnd::SetWindowText(const QString& text) {
  m_text = text;
  if (m_lastWidth > 0 && m_lastHeight > 0 && m_ready != 0) RecomputeScroll();
  Invalidate();
}

void CDispTextWnd::SetColours(ColourRef text, ColourRef background) {
  m_textColour = text;
  m_backColour = background;
  m_brushMade = 0;  // the next erase makes the brush again
  Invalidate();
}

void CDispTextWnd::SetAlignment(std::int32_t alignment, std::int32_t centreVertically) {
  m_alignment = alignment;
  m_centreVertically = centreVertically;
  Invalidate();
}

void CDispTextWnd::SetFont(const DcFont* font, bool redraw) {
  if (font != nullptr) {
    m_font = *font;
  } else {
    m_font.reset();
  }
  RecomputeScroll();
  if (redraw) Invalidate();
}

UiRect CDispTextWnd::TextRect() const {
  const DcRect client = GetClientArea();
  return {client.left + m_marginX, client.top + m_marginY, client.right - (m_marginX + 1),
          client.bottom - (m_marginY + 1)};
}

void CDispTextWnd::RecomputeScroll() {
  m_ready = 0;
  ++m_measureCount;
  if (m_scrollMax > 0) SetScrollRange(0, 1);
  CControlDC dc;
  dc->SelectFont(FontInUse());
  int overflow = 0;
  for (int pass = 0; pass < 2; ++pass) {
    CTextLayout layout(1, 1);
    layout.LayOutText(dc.get(), TextRect(), m_text, -1, 0);
    m_linesPerPage = layout.m_fittingLines;
    overflow = std::max(0, layout.m_lineCount - m_linesPerPage);
    if (overflow == 0 || pass == 1) break;
    // The bar narrows the field: measure once more in what is left.
    SetScrollRange(overflow, m_linesPerPage);
  }
  m_firstLine = 0;
  SetScrollRange(overflow, m_linesPerPage);
  SetScrollPos(0);
  m_scrollMax = overflow;
  m_ready = 1;
  Invalidate();
}

void CDispTextWnd::OnSize(int cx, int cy) {
  if (cx <= 0 || cy <= 0 || (cx == m_lastWidth && cy == m_lastHeight)) return;
  m_lastWidth = cx;
  m_lastHeight = cy;
  if (m_ready != 0) RecomputeScroll();
}

void CDispTextWnd::OnEraseBkgnd(CDrawContext& dc) {
  if (m_brushMade == 0) {
    m_brushColour = m_backColour;
    m_brushMade = 1;
  }
  dc.FillRect(dc.GetClipBox(), m_brushColour);
}

void CDispTextWnd::OnPaint(CDrawContext& target) {
  LogScope trace(20026);
  CControlDC dc(target);
  const DcFont previousFont = dc->SelectFont(FontInUse());
  const DcRect client = GetClientArea();
  const UiRect outline{0, 0, client.right - 1, client.bottom - 1};
  if (m_border != 0) {
    DrawBoxOutlineUi(dc.get(), outline.left, outline.top, outline.right, outline.bottom, kUiBlack,
                     1);
  }
  const UiRect rect{outline.left + m_marginX, outline.top + m_marginY, outline.right - m_marginX,
                    outline.bottom - m_marginY};
  SetTextColour(dc.get(), m_textColour);
  SetOpaqueBkColour(dc.get(), m_backColour);
  CTextLayout layout(1, 1);
  layout.SetHalfBlankLines(m_halfBlankLines);
  trace.Step(10, m_scrollMax);
  if (m_scrollMax <= 0 && m_centreVertically != 0) {
    layout.LayOutTextCentred(dc.get(), rect, m_text, m_alignment);
  } else {
    layout.LayOutText(dc.get(), rect, m_text, m_firstLine, m_alignment);
  }
  dc->SelectFont(previousFont);
  if (m_hasFocus != 0 && IsFocusRectSuppressed() == 0) {
    DrawFocusRect(dc.get(), {1, 1, client.right - 1, client.bottom - 1});
  }
  trace.Exit();
}

void CDispTextWnd::ToggleFocusMark() {
  if (IsFocusRectSuppressed() != 0) return;
  const DcRect client = GetClientArea();
  CClientDC dc(*this);
  DrawFocusRect(dc.get(), {1, 1, client.right - 1, client.bottom - 1});
}

void CDispTextWnd::OnSetFocus() {
  if (m_hasFocus == 0) ToggleFocusMark();
  m_hasFocus = 1;
}

void CDispTextWnd::OnKillFocus() {
  if (m_hasFocus != 0) ToggleFocusMark();
  m_hasFocus = 0;
}

void CDispTextWnd::ScrollTo(int firstLine) {
  if (firstLine == m_firstLine) return;
  m_firstLine = firstLine;
  SetScrollPos(firstLine);
  Invalidate();
  UpdateWindow();
}

void CDispTextWnd::OnKeyDown(int key, int, unsigned) {
  TrackModifier(key, true);
  const int target = ScrollKeyTarget(key, m_firstLine, m_linesPerPage, std::max(0, m_scrollMax));
  if (target >= 0) ScrollTo(target);
}

void CDispTextWnd::OnKeyUp(int key, int, unsigned) { TrackModifier(key, false); }

void CDispTextWnd::OnVScroll(unsigned code, unsigned thumb) {
  int position = m_firstLine;
  if (ApplyScrollCode(position, std::max(0, m_scrollMax), m_linesPerPage, code, thumb, -1, 1) !=
      0) {
    ScrollTo(position);
  }
}

CDisplayText::CDisplayText(QWidget* parent) : CDispTextWnd(parent) { SetBorder(1); }

// ---- CDispListWnd ----

CDispListWnd::CDispListWnd(QWidget* parent) : CScrollingWnd(parent) {}

const DcFont& CDispListWnd::FontInUse() const { return m_font ? *m_font : GetDialogFont(); }

void CDispListWnd::AddLine(const QString& line) {
  m_lines.push_back(line);
  if (m_lastWidth > 0 && m_lastHeight > 0 && m_ready != 0) ComputePage();
  Invalidate();
}

void CDispListWnd::SetFont(const DcFont* font, bool redraw) {
  if (font != nullptr) {
    m_font = *font;
  } else {
    m_font.reset();
  }
  m_lineHeight = 0;
  if (m_lastWidth > 0 && m_lastHeight > 0 && m_ready != 0) ComputePage();
  if (redraw) Invalidate();
}

void CDispListWnd::ComputePage() {
  ++m_pageCount;
  if (m_lineHeight == 0) {
    CControlDC dc;
    dc->SelectFont(FontInUse());
    m_lineHeight = std::max(1, GetLineHeight(dc.get()));
  }
  m_linesPerPage = std::max(0, (m_lastHeight - 8) / m_lineHeight);
  const int maximum = std::max(0, GetLineCount() - m_linesPerPage);
  if (maximum != m_scrollMax) {
    m_ready = 0;
    m_scrollMax = maximum;
    SetScrollRange(maximum, m_linesPerPage);
    SetScrollPos(0);
    m_firstLine = 0;
    m_ready = 1;
  }
}

void CDispListWnd::OnSize(int cx, int cy) {
  if (cx <= 0 || cy <= 0 || (cx == m_lastWidth && cy == m_lastHeight)) return;
  m_lastWidth = cx;
  m_lastHeight = cy;
  if (m_ready != 0) ComputePage();
}

void CDispListWnd::OnPaint(CDrawContext& target) {
  CControlDC dc(target);
  const DcFont previousFont = dc->SelectFont(FontInUse());
  m_lineHeight = std::max(1, GetLineHeight(dc.get()));
  const DcRect client = GetClientArea();
  if (m_border != 0) {
    DrawBoxOutlineUi(dc.get(), 0, 0, client.right - 1, client.bottom - 1, kUiBlack, 1);
  }
  SetTextColourUi(dc.get(), kUiBlack);
  SetOpaqueBkColourUi(dc.get(), kUiWhite);
  for (int i = 0; i < m_linesPerPage; ++i) {
    const int line = m_firstLine + i;
    if (line >= GetLineCount()) break;
    const QString& text = m_lines[static_cast<std::size_t>(line)];
    if (text.isEmpty()) continue;  // keeps its place
    DrawTextInBox(dc.get(), client.left + 5, client.top + 4 + i * m_lineHeight, text,
                  client.right - 6, kAlignLeft);
  }
  dc->SelectFont(previousFont);
  if (m_hasFocus != 0 && IsFocusRectSuppressed() == 0) {
    DrawFocusRect(dc.get(), {1, 1, client.right - 1, client.bottom - 1});
  }
}

void CDispListWnd::ToggleFocusMark() {
  if (IsFocusRectSuppressed() != 0) return;
  const DcRect client = GetClientArea();
  CClientDC dc(*this);
  DrawFocusRect(dc.get(), {1, 1, client.right - 1, client.bottom - 1});
}

void CDispListWnd::OnSetFocus() {
  if (m_hasFocus == 0) ToggleFocusMark();
  m_hasFocus = 1;
}

void CDispListWnd::OnKillFocus() {
  if (m_hasFocus != 0) ToggleFocusMark();
  m_hasFocus = 0;
}

void CDispListWnd::ScrollTo(int firstLine) {
  if (firstLine == m_firstLine) return;
  m_firstLine = firstLine;
  SetScrollPos(firstLine);
  Invalidate();
  UpdateWindow();
}

void CDispListWnd::OnKeyDown(int key, int, unsigned) {
  TrackModifier(key, true);
  const int target = ScrollKeyTarget(key, m_firstLine, m_linesPerPage, std::max(0, m_scrollMax));
  if (target >= 0) ScrollTo(target);
}

void CDispListWnd::OnKeyUp(int key, int, unsigned) { TrackModifier(key, false); }

void CDispListWnd::OnVScroll(unsigned code, unsigned thumb) {
  int position = m_firstLine;
  if (ApplyScrollCode(position, std::max(0, m_scrollMax), m_linesPerPage, code, thumb, -1, 1) !=
      0) {
    ScrollTo(position);
  }
}

CDisplayList::CDisplayList(QWidget* parent) : CDispListWnd(parent) { SetBorder(1); }

}  // namespace zeph
