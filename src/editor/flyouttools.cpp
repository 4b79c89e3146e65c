#include "editor/flyouttools.h"

#include <QApplication>
#include <QMouseEvent>

#include "editor/buttoncolours.h"
#include "editor/editorstate.h"
#include "editor/tooltable.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/screen.h"

using zeph::CDrawContext;
using zeph::ColourRef;

namespace {

// Space between two rows.
constexpr int kRowGap = 10;

struct EntryLook {
  ColourRef fill;
  ColourRef text;
  ColourRef topLeft;
  ColourRef bottomRight;
};

EntryLook LookColours(int look) {
  switch (look) {
    case kLookHovered:
      return {g_buttonHoverColour, UiColour(kUiBlack), UiColour(kUiWhite), UiColour(kUiGrey)};
    case kLookPressed:
      return {g_buttonPressedColour, UiColour(kUiBlack), UiColour(kUiGrey), UiColour(kUiWhite)};
    case kLookCurrent:
      return {UiColour(kUiWhite), UiColour(kUiBlue), UiColour(kUiGrey), g_buttonHoverColour};
    case kLookCurrentHovered:
      return {UiColour(kUiWhite), UiColour(kUiBlue), g_buttonHoverColour, UiColour(kUiGrey)};
    default:
      return {g_buttonFaceColour, UiColour(kUiBlack), g_buttonFaceColour, g_buttonFaceColour};
  }
}

}  // namespace

CFlyoutTools::CFlyoutTools(QWidget* ownerView) : zeph::CBufferedWnd(ownerView), m_owner(ownerView) {
  setObjectName(QStringLiteral("FlyoutTools"));
  setWindowTitle(QStringLiteral("Flyout tools"));
  setMouseTracking(true);
  SetBackgroundColour(g_buttonFaceColour);
  hide();
}

CFlyoutTools::~CFlyoutTools() = default;

int CFlyoutTools::SetTool(int tool, int numbered) {
  LogScope trace(3203);
  const int count = GetToolFlyoutCount(tool);
  if (count == 0) {
    SetGlitchValue(tool);
    ReportGlitch(3203, 1);
    return trace.Return(0, kLogInvalid, 1);
  }
  m_tool = tool;
  m_entryCount = count;
  m_numbered = numbered != 0 ? 1 : 0;
  return trace.Return(count);
}

QString CFlyoutTools::GetEntryText(int index) const {
  return GetToolFlyoutText(m_tool, index, m_numbered);
}

int CFlyoutTools::CreateAt(int x, int y, int width, int height) {
  if (m_owner == nullptr) return 0;
  setProperty("controlId", kIdFlyoutTools);
  setGeometry(x, y, width, height);
  show();
  raise();
  return 1;
}

void CFlyoutTools::SelectRowFont(CDrawContext& dc, std::optional<zeph::DcFont>& first) {
  SelectGdiObject(dc, m_font, first);
  m_rowHeight = dc.GetTextMetrics().height;
}

void CFlyoutTools::DrawEntry(int index, int look, CDrawContext* dc) {
  LogScope trace(3201);
  if (index < 0 || index >= m_entryCount) {
    SetGlitchValue(index);
    ReportGlitch(3201, 1);
    return;
  }
  if (look < 0 || look > kLookCurrentHovered) {
    SetGlitchValue(look);
    ReportGlitch(3201, 2);
    return;
  }
  std::optional<CClientDC> own;
  if (dc == nullptr) {
    own.emplace(*this);
    dc = &own->get();
  }
  std::optional<zeph::DcFont> firstFont;
  SelectRowFont(*dc, firstFont);
  const EntryLook colours = LookColours(look);
  const int left = 3;
  const int right = width() - 5;
  const int top = index * (m_rowHeight + kRowGap) + 3;
  const int bottom = top + m_rowHeight + 2;
  FillBox(*dc, left, top, right, bottom, colours.fill);
  // Pressed and current rows sit one pixel lower and to the right.
  const int shift = look >= kLookPressed ? 1 : 0;
  SetTextColour(*dc, colours.text);
  SetOpaqueBkColour(*dc, colours.fill);
  dc->TextOut(6 + shift, top + 1 + shift, GetEntryText(index));
  // The edges: up the left and across the top, then down the right and back along the
  // bottom; each line leaves out its end point, so each corner is drawn once.
  const zeph::DcPen oldPen = dc->SelectPen({zeph::PenStyle::kSolid, 1, colours.topLeft});
  dc->MoveTo(left, bottom);
  dc->LineTo(left, top);
  dc->LineTo(right, top);
  dc->SelectPen({zeph::PenStyle::kSolid, 1, colours.bottomRight});
  dc->LineTo(right, bottom);
  dc->LineTo(left, bottom);
  dc->SelectPen(oldPen);
  if (firstFont) dc->SelectFont(*firstFont);
}

void CFlyoutTools::OnEraseBkgnd(CDrawContext& dc) {
  dc.FillRect(dc.GetClipBox(), g_buttonFaceColour);
}

void CFlyoutTools::OnPaint(CDrawContext& dc) {
  std::optional<zeph::DcFont> firstFont;
  SelectRowFont(dc, firstFont);
  SetTextColourUi(dc, kUiBlack);
  SetOpaqueBkColour(dc, g_buttonFaceColour);
  for (int i = 0; i < m_entryCount; ++i) {
    dc.TextOut(6, 4 + i * (m_rowHeight + kRowGap), GetEntryText(i));
  }
  if (g_currentSubMode >= 0 && g_currentTool == m_tool && g_currentSubMode < m_entryCount) {
    DrawEntry(g_currentSubMode, kLookCurrent, &dc);
  }
  DrawBoxOutline(dc, 0, 0, width() - 1, height() - 1, g_buttonShadowColour, 1);
  if (firstFont) dc.SelectFont(*firstFont);
}

void CFlyoutTools::OnMouseMove(unsigned, QPoint) { emit mouseOverList(); }

void CFlyoutTools::OnLButtonUp(unsigned flags, QPoint point) {
  if (m_owner != nullptr) emit leftButtonReleased(flags, mapToGlobal(point));
}

void CFlyoutTools::OnRButtonUp(unsigned flags, QPoint point) {
  if (m_owner != nullptr) emit rightButtonReleased(flags, mapToGlobal(point));
}

bool CFlyoutTools::ForwardToCapturingOwner(QMouseEvent* event) {
  if (m_owner == nullptr || zeph::GetCapture() != m_owner) return false;
  QMouseEvent copy(event->type(), m_owner->mapFromGlobal(event->globalPosition()),
                   event->globalPosition(), event->button(), event->buttons(), event->modifiers());
  QApplication::sendEvent(m_owner, &copy);
  event->accept();
  return true;
}

void CFlyoutTools::mousePressEvent(QMouseEvent* event) {
  if (!ForwardToCapturingOwner(event)) zeph::CBufferedWnd::mousePressEvent(event);
}

void CFlyoutTools::mouseReleaseEvent(QMouseEvent* event) {
  if (!ForwardToCapturingOwner(event)) zeph::CBufferedWnd::mouseReleaseEvent(event);
}

void CFlyoutTools::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!ForwardToCapturingOwner(event)) zeph::CBufferedWnd::mouseDoubleClickEvent(event);
}

void CFlyoutTools::mouseMoveEvent(QMouseEvent* event) {
  if (!ForwardToCapturingOwner(event)) zeph::CBufferedWnd::mouseMoveEvent(event);
}
