#include "controls/frontbutton.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <algorithm>

#include "platform/qt/imagecontext.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/screen.h"
#include "support/strings.h"
#include "support/sysinfo.h"
#include "support/uiutil.h"

namespace zeph {
namespace {

struct Rgb {
  int r, g, b;
};

constexpr Rgb kSchemes[kFrontSchemeCount][kFrontSchemeColours] = {
    {{0xFF, 0xE0, 0xF0},
     {0xDD, 0xC9, 0xD6},
     {0xA0, 0x80, 0x8A},
     {0x55, 0x22, 0x2D},
     {0xFF, 0xE0, 0xF0},
     {0xFA, 0xC9, 0xDD}},
    {{0xFF, 0xF0, 0xD3},
     {0xDD, 0xD6, 0xBF},
     {0xA0, 0x97, 0x80},
     {0x55, 0x50, 0x1F},
     {0xFF, 0xFA, 0xD3},
     {0xF5, 0xEB, 0xAE}},
    {{0xBF, 0xFF, 0xF0},
     {0xA0, 0xDD, 0xBF},
     {0x1F, 0xA0, 0x80},
     {0x00, 0x55, 0x36},
     {0xDD, 0xFF, 0xF0},
     {0xBF, 0xF0, 0xD7}},
    {{0xBF, 0xF0, 0xFF},
     {0xA0, 0xBF, 0xDD},
     {0x1F, 0x80, 0xA0},
     {0x00, 0x36, 0x55},
     {0xDD, 0xF0, 0xFF},
     {0xBF, 0xDD, 0xFA}},
    {{0xE0, 0xE0, 0xE0},
     {0xBF, 0xBF, 0xBF},
     {0x80, 0x80, 0x80},
     {0x00, 0x00, 0x00},
     {0xF0, 0xF0, 0xF0},
     {0xD7, 0xD7, 0xD7}},
};

// The classic look's colour-table entries per scheme, on a screen without a usable palette.
constexpr int kClassicUiColours[kFrontSchemeCount][4] = {
    {12, 12, 4, 15}, {14, 14, 6, 0}, {10, 10, 2, 0}, {11, 11, 9, 0}, {8, 8, 7, 0}};

// The schemes whose colours the display reserves.
constexpr int kSchemesInUse[] = {kSchemeBlue};

constexpr ColourRef kWindowBackground = 0x00FFFFFF;
constexpr ColourRef kLook1HoverBase = 0x020097E5;
constexpr ColourRef kLook1FocusBase = 0x02EE8269;

// One ring of the border, inset pixels in from the button's rectangle, with its top and left
// sides in one colour and its bottom and right sides in another. The corner pixels are left
// to the caller.
void DrawRing(CDrawContext& dc, const UiRect& r, int inset, ColourRef topLeft,
              ColourRef bottomRight) {
  const int l = r.left + inset;
  const int t = r.top + inset;
  const int rt = r.right - inset;
  const int b = r.bottom - inset;
  if (rt - l < 2 || b - t < 2) return;
  DrawHorizontalLine(dc, l + 1, rt - 1, t, topLeft);
  DrawVerticalLine(dc, l, t + 1, b - 1, topLeft);
  DrawHorizontalLine(dc, l + 1, rt - 1, b, bottomRight);
  DrawVerticalLine(dc, rt, t + 1, b - 1, bottomRight);
}

// A full ring, corners included, as the classic look draws its edges.
void DrawEdgeRing(CDrawContext& dc, const UiRect& r, int inset, ColourRef topLeft,
                  ColourRef bottomRight) {
  const int l = r.left + inset;
  const int t = r.top + inset;
  const int rt = r.right - inset;
  const int b = r.bottom - inset;
  if (rt < l || b < t) return;
  DrawHorizontalLine(dc, l, rt, b, bottomRight);
  DrawVerticalLine(dc, rt, t, b, bottomRight);
  DrawHorizontalLine(dc, l, rt - 1, t, topLeft);
  DrawVerticalLine(dc, l, t, b - 1, topLeft);
}

}  // namespace

std::int32_t g_frontButtonStyle = 2;

void SetUpFrontButtonStyle() { g_frontButtonStyle = g_osClass == 2 ? 2 : (g_osClass == 1 ? 1 : 0); }

ColourRef FrontSchemeColour(int scheme, int index) {
  scheme = std::clamp(scheme, 0, kFrontSchemeCount - 1);
  index = std::clamp(index, 0, kFrontSchemeColours - 1);
  const Rgb& c = kSchemes[scheme][index];
  return MakeColour(c.r, c.g, c.b) | kPaletteColourFlag;
}

// ---- CFrontButton ----

CFrontButton::CFrontButton(QWidget* parent) : CViewButton(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  // Pressed and released, by mouse or key: the face follows.
  connect(this, &QAbstractButton::pressed, this, [this]() { Redraw(kOdaSelect); });
  connect(this, &QAbstractButton::released, this, [this]() { Redraw(kOdaSelect); });
}

bool CFrontButton::Create(const DcRect& rect, QWidget* parent, int id) {
  if (!CViewButton::Create(rect, parent, id)) return false;
  SplitCaption(LoadProgramString(id));
  m_drawn = 0;
  return true;
}

void CFrontButton::SetFont(const DcFont* font, bool redraw) {
  m_captionFont.reset();
  if (font != nullptr) m_captionFont = *font;
  CViewButton::SetFont(font, false);
  if (redraw) Redraw(kOdaDrawEntire);
}

void CFrontButton::SetScheme(std::int32_t scheme) {
  m_scheme = std::clamp(scheme, 0, kFrontSchemeCount - 1);
  Redraw(kOdaDrawEntire);
}

void CFrontButton::SplitCaption(const QString& caption) {
  m_lineCount = 1;
  for (QString& line : m_lines) line.clear();
  QString rest = caption;
  for (int i = 0; i < 3; ++i) {
    const qsizetype cut = rest.indexOf(u'\n');
    if (cut < 0) break;
    m_lines[static_cast<std::size_t>(m_lineCount - 1)] = rest.left(cut);
    rest = rest.mid(cut + 1);
    ++m_lineCount;
  }
  m_lines[static_cast<std::size_t>(m_lineCount - 1)] = rest;
  for (int i = 0; i < m_lineCount; ++i) {
    QString& line = m_lines[static_cast<std::size_t>(i)];
    line = QLatin1Char(' ') + line + QLatin1Char(' ');
  }
}

const DcFont& CFrontButton::CaptionFont() const {
  return m_captionFont ? *m_captionFont : GetLargeBoldFont();
}

int CFrontButton::GetCaptionWidth(CDrawContext& dc) const {
  const DcFont previous = dc.SelectFont(CaptionFont());
  int widest = 0;
  for (int i = 0; i < m_lineCount; ++i) {
    widest = std::max(widest, GetCaptionTextWidth(dc, m_lines[static_cast<std::size_t>(i)]));
  }
  dc.SelectFont(previous);
  return widest;
}

int CFrontButton::GetLook() const {
  if (g_displayColourMode != kDisplayExactColours) return 0;
  return (g_frontButtonStyle == 1 || g_frontButtonStyle == 2) ? g_frontButtonStyle : 0;
}

void CFrontButton::EnsureBuffer() {
  const QSize size(std::max(1, width()), std::max(1, height()));
  if (m_buffer.size() == size) return;
  m_buffer = QImage(size, QImage::Format_RGB32);
  m_buffer.fill(Qt::white);
  m_drawn = 0;
}

unsigned CFrontButton::CurrentState() const {
  unsigned state = 0;
  if (isDown()) state |= kOdsSelected;
  if (hasFocus()) state |= kOdsFocus;
  return state;
}

void CFrontButton::Redraw(unsigned action) {
  DrawItem({action, CurrentState(), {0, 0, width(), height()}});
}

void CFrontButton::DrawCaption(CDrawContext& dc, bool pressed, ColourRef text, ColourRef back,
                               bool transparent) {
  const DcFont previousFont = dc.SelectFont(CaptionFont());
  const int h = GetLineHeight(dc);
  const int offset = m_borderInUse == 2 ? 1 : 2;
  const int dx = pressed ? 2 * offset : 0;
  const int dy = pressed ? offset : 0;
  const int middle = (m_rect.top + m_rect.bottom) / 2;
  const int firstTop = middle - (m_lineCount * h) / 2;
  dc.SetTextColour(text);
  if (transparent) {
    dc.SetBkMode(BkMode::kTransparent);
  } else {
    dc.SetBkMode(BkMode::kOpaque);
    dc.SetBkColour(back);
  }
  const int inner = m_borderInUse + 1;
  const DcRect clip{m_rect.left + inner, m_rect.top + inner, m_rect.right + 1 - inner,
                    m_rect.bottom + 1 - inner};
  for (int i = 0; i < m_lineCount; ++i) {
    const QString& line = m_lines[static_cast<std::size_t>(i)];
    const int bandTop = firstTop + i * h;
    const DcSize extent = dc.GetTextExtent(line);
    const int x = (m_rect.left + m_rect.right + 1 - extent.cx) / 2 + dx;
    const int y = bandTop + (h - extent.cy) / 2 + dy;
    dc.TextOutClipped(x, y, clip, line);
  }
  if (!pressed && !transparent) {
    const int bandTop = firstTop + m_lineCount * h;
    FillBox(dc, clip.left, bandTop, clip.right - 1, std::min(bandTop + 1, clip.bottom - 1), back);
  }
  dc.SelectFont(previousFont);
}

void CFrontButton::DrawItem(const DrawItemRecord& record) {
  EnsureBuffer();
  CImageContext dc(m_buffer);
  m_rect = {record.rect.left, record.rect.top, record.rect.right - 1, record.rect.bottom - 1};
  const int width = m_rect.right - m_rect.left + 1;
  m_borderInUse = static_cast<std::int16_t>(width < 40 ? 2 : std::clamp(m_borderWidth, 2, 4));
  const bool pressed = (record.state & kOdsSelected) != 0;
  const bool focused = (record.state & kOdsFocus) != 0;
  const bool entire = (record.action & kOdaDrawEntire) != 0;
  const bool select = (record.action & kOdaSelect) != 0;
  const int look = GetLook();
  const int bw = m_borderInUse;
  int borderState = -1;

  if (look == 1) {
    if (g_displayColourMode != kDisplayExactColours) {
      SetGlitchValue(g_displayColourMode);
      ReportGlitch(20035, 1);
      return;
    }
    for (int i = 0; i < 4; ++i)
      m_colours[static_cast<std::size_t>(i)] = FrontSchemeColour(m_scheme, i);
    if (pressed) m_colours[0] = DarkenColour(m_colours[0], 0.075);
    const ColourRef face = m_colours[0];
    if (entire) {
      const UiRect& r = m_rect;
      const ColourRef outline = m_colours[3];
      DrawHorizontalLine(dc, r.left + bw, r.right - bw, r.top, outline);
      DrawHorizontalLine(dc, r.left + bw, r.right - bw, r.bottom, outline);
      DrawVerticalLine(dc, r.left, r.top + bw, r.bottom - bw, outline);
      DrawVerticalLine(dc, r.right, r.top + bw, r.bottom - bw, outline);
      // The cut corners: the page's white outside, a diagonal of corner pixels inside.
      const ColourRef corner = bw == 4 ? m_colours[3] : m_colours[2];
      for (int i = 0; i < bw; ++i) {
        for (int j = 0; j + i < bw; ++j) {
          dc.SetPixel(r.left + i, r.top + j, kWindowBackground);
          dc.SetPixel(r.right - i, r.top + j, kWindowBackground);
          dc.SetPixel(r.left + i, r.bottom - j, kWindowBackground);
          dc.SetPixel(r.right - i, r.bottom - j, kWindowBackground);
        }
        const int k = bw - i;
        dc.SetPixel(r.left + i, r.top + k, corner);
        dc.SetPixel(r.right - i, r.top + k, corner);
        dc.SetPixel(r.left + i, r.bottom - k, corner);
        dc.SetPixel(r.right - i, r.bottom - k, corner);
      }
      FillBox(dc, r.left + 1 + bw, r.top + 1 + bw, r.right - 1 - bw, r.bottom - 1 - bw, face);
      m_drawn = 1;
    }
    if (entire || select) {
      FillBox(dc, m_rect.left + 1 + bw, m_rect.top + 1 + bw, m_rect.right - 1 - bw,
              m_rect.bottom - 1 - bw, face);
      DrawCaption(dc, pressed, m_colours[3], face, false);
      borderState = pressed ? kBorderPressed : (focused ? kBorderFocus : kBorderNormal);
    } else if ((record.action & kOdaFocus) != 0) {
      borderState = focused ? kBorderFocus : kBorderNormal;
    }
    if (m_drawn != 0 && borderState >= 0) DrawBorder(dc, borderState);
  } else if (look == 2) {
    if (g_displayColourMode != kDisplayExactColours) {
      SetGlitchValue(g_displayColourMode);
      ReportGlitch(20037, 1);
      return;
    }
    m_colours = {FrontSchemeColour(m_scheme, 4), FrontSchemeColour(m_scheme, 5),
                 FrontSchemeColour(m_scheme, 2), FrontSchemeColour(m_scheme, 3)};
    if (entire) m_drawn = 1;
    if (entire || select) {
      DrawFaceLook2(dc, pressed ? kBorderPressed : (m_hover != 0 ? kBorderHover : kBorderNormal));
      borderState = pressed ? kBorderPressed : (focused ? kBorderFocus : kBorderNormal);
    } else if ((record.action & kOdaFocus) != 0) {
      borderState = focused ? kBorderFocus : kBorderNormal;
    }
    if (m_drawn != 0 && borderState >= 0) DrawBorder(dc, borderState);
  } else {
    DrawClassic(dc, record);
  }
  update();
}

void CFrontButton::DrawClassic(CDrawContext& dc, const DrawItemRecord& record) {
  if (g_displayColourMode == kDisplayPaletteWithout) {
    for (int i = 0; i < 4; ++i) {
      m_colours[static_cast<std::size_t>(i)] = UiColour(kClassicUiColours[m_scheme][i]);
    }
  } else {
    for (int i = 0; i < 4; ++i)
      m_colours[static_cast<std::size_t>(i)] = FrontSchemeColour(m_scheme, i);
  }
  const bool pressed = (record.state & kOdsSelected) != 0;
  const bool focused = (record.state & kOdsFocus) != 0;
  const int bw = m_borderInUse;
  const UiRect& r = m_rect;
  if ((record.action & kOdaDrawEntire) != 0) {
    FillBox(dc, r.left + bw, r.top + bw, r.right - bw, r.bottom - bw, m_colours[0]);
    m_drawn = 1;
  }
  if ((record.action & (kOdaDrawEntire | kOdaSelect)) != 0) {
    FillBox(dc, r.left + bw + 1, r.top + bw + 1, r.right - bw - 1, r.bottom - bw - 1, m_colours[0]);
    DrawCaption(dc, pressed, m_colours[3], m_colours[0], false);
    if (pressed) {
      DrawEdgeRing(dc, r, 0, m_colours[2], m_colours[2]);
      for (int i = 0; i <= bw; ++i) {
        DrawEdgeRing(dc, r, i + 1, i < 2 ? m_colours[2] : m_colours[0], m_colours[0]);
      }
    } else {
      for (int i = 0; i <= bw; ++i) {
        DrawEdgeRing(dc, r, i, i == 0 ? m_colours[1] : UiColour(kUiWhite), m_colours[2]);
      }
      dc.MoveTo(r.left + bw, r.top + bw);
      LineToWithEnd(dc, r.left, r.top, m_colours[1], 1);
    }
  }
  if ((record.action & kOdaDrawEntire) != 0 || (record.action & kOdaFocus) != 0) {
    if (focused && isEnabled() && isVisible()) {
      DrawBoxOutline(dc, r.left, r.top, r.right, r.bottom, UiColour(kUiBlack), 1);
    } else if ((record.action & kOdaFocus) != 0) {
      DrawEdgeRing(dc, r, 0, m_colours[1], m_colours[2]);
    }
  }
}

void CFrontButton::DrawFaceLook2(CDrawContext& dc, int state) {
  const int bw = m_borderInUse;
  const UiRect& r = m_rect;
  const int left = r.left + bw;
  const int right = r.right - bw;
  const int top = r.top + bw;
  const int bottom = r.bottom - bw;
  const ColourRef c4 = FrontSchemeColour(m_scheme, 4);
  const ColourRef c5 = FrontSchemeColour(m_scheme, 5);
  if (state == kBorderPressed) {
    FillBox(dc, left, top, right, bottom, c5);
  } else if (state == kBorderHover) {
    FillBox(dc, left, top, right, bottom, c4);
  } else {
    const int middle = (top + bottom) / 2;
    FillVerticalGradient(dc, left, top, right, middle, c4, BlendColours(c4, c5, 0.65));
    FillVerticalGradient(dc, left, middle + 1, right, bottom, BlendColours(c4, c5, 0.35), c5);
  }
  DrawCaption(dc, state == kBorderPressed, FrontSchemeColour(m_scheme, 3), c4, true);
}

void CFrontButton::DrawBorder(CDrawContext& dc, int state) {
  const int look = GetLook();
  if (look != 1 && look != 2) {
    ReportGlitch(20033, 1);
    return;
  }
  if (m_borderInUse < 2 || m_borderInUse > 4) {
    ReportGlitch(20033, 2);
    return;
  }
  if (state < kBorderNormal || state > kBorderFocus) {
    ReportGlitch(20033, 3);
    return;
  }
  if (look == 2) {
    DrawBorderLook2(dc, state);
    return;
  }
  const int bw = m_borderInUse;
  std::array<ColourRef, 4> first{};
  std::array<ColourRef, 4> second{};
  if (state == kBorderNormal || state == kBorderPressed) {
    first.fill(m_colours[0]);
    second.fill(m_colours[0]);
  } else {
    const ColourRef base = state == kBorderHover ? kLook1HoverBase : kLook1FocusBase;
    first = {BlendColours(base, kWindowBackground, 0.25),
             BlendColours(base, kWindowBackground, 0.5), m_colours[0], m_colours[0]};
    second = {base, BlendColours(base, kWindowBackground, 0.75), m_colours[0], m_colours[0]};
  }
  for (int i = 0; i < bw; ++i) {
    DrawRing(dc, m_rect, 1 + i, first[static_cast<std::size_t>(i)],
             second[static_cast<std::size_t>(i)]);
  }
  // Rounded corners: the innermost ring's corner pixels in the blend of both sets.
  const ColourRef corner = BlendColours(first[static_cast<std::size_t>(bw - 1)],
                                        second[static_cast<std::size_t>(bw - 1)], 0.5);
  const UiRect& r = m_rect;
  dc.SetPixel(r.left + bw, r.top + bw, corner);
  dc.SetPixel(r.right - bw, r.top + bw, corner);
  dc.SetPixel(r.left + bw, r.bottom - bw, corner);
  dc.SetPixel(r.right - bw, r.bottom - bw, corner);
}

void CFrontButton::DrawBorderLook2(CDrawContext& dc, int state) {
  const int bw = m_borderInUse;
  const ColourRef c4 = FrontSchemeColour(m_scheme, 4);
  const ColourRef c5 = FrontSchemeColour(m_scheme, 5);
  std::array<ColourRef, 4> first{};
  std::array<ColourRef, 4> second{};
  if (state == kBorderNormal || state == kBorderPressed) {
    first.fill(state == kBorderNormal ? c4 : c5);
    second = first;
  } else {
    const ColourRef base = FrontSchemeColour(m_scheme, 2);
    first = {BlendColours(base, kWindowBackground, 0.25),
             BlendColours(base, kWindowBackground, 0.5), c4, c4};
    second = {base, BlendColours(base, kWindowBackground, 0.75), c4, c4};
  }
  const UiRect& r = m_rect;
  for (int i = 0; i < bw; ++i) {
    DrawRing(dc, r, i, first[static_cast<std::size_t>(i)], second[static_cast<std::size_t>(i)]);
  }
  // Rounded corners: the outer corner in the page's white, the ones inside in the blend.
  const ColourRef corner = BlendColours(first[static_cast<std::size_t>(bw - 1)],
                                        second[static_cast<std::size_t>(bw - 1)], 0.5);
  for (const auto& [x, y, sx, sy] :
       {std::array<int, 4>{r.left, r.top, 1, 1}, std::array<int, 4>{r.right, r.top, -1, 1},
        std::array<int, 4>{r.left, r.bottom, 1, -1},
        std::array<int, 4>{r.right, r.bottom, -1, -1}}) {
    dc.SetPixel(x, y, kWindowBackground);
    dc.SetPixel(x + sx, y + sy, first[0]);
    for (int i = 1; i < bw; ++i) dc.SetPixel(x + sx * i, y + sy * i, corner);
  }
}

void CFrontButton::OnMouseMove(unsigned flags, QPoint point) {
  const int look = GetLook();
  if ((look != 1 && look != 2) || m_borderWidth == 0 || !isEnabled() || !isVisible()) return;
  const bool inside = rect().contains(point);
  if ((flags & (kMkLButton | kMkRButton | kMkMButton)) != 0) {
    if (GetCapture() == this) zeph::ReleaseCapture();
    m_hover = 0;
    return;
  }
  EnsureBuffer();
  CImageContext dc(m_buffer);
  if (m_hover != 0 && !inside) {
    if (GetCapture() == this) zeph::ReleaseCapture();
    m_hover = 0;
    if (look == 2) DrawFaceLook2(dc, kBorderNormal);
    DrawBorder(dc, hasFocus() ? kBorderFocus : kBorderNormal);
    update();
  } else if (m_hover == 0 && inside) {
    zeph::SetCapture(this);
    m_hover = 1;
    if (look == 1) {
      DrawBorder(dc, kBorderHover);
    } else {
      DrawFaceLook2(dc, kBorderHover);
    }
    update();
  }
}

void CFrontButton::OnLButtonDown(unsigned, QPoint) {
  if (GetCapture() == this) zeph::ReleaseCapture();
  m_hover = 0;
}

void CFrontButton::paintEvent(QPaintEvent* event) {
  EnsureBuffer();
  if (m_drawn == 0) Redraw(kOdaDrawEntire);
  CopyBufferToWidget(*this, m_buffer, event->rect());
}

void CFrontButton::resizeEvent(QResizeEvent* event) {
  CViewButton::resizeEvent(event);
  EnsureBuffer();
  Redraw(kOdaDrawEntire);
}

void CFrontButton::mouseMoveEvent(QMouseEvent* event) {
  OnMouseMove(MouseFlagsOf(*event), event->position().toPoint());
  const bool wasDown = isDown();
  CViewButton::mouseMoveEvent(event);
  if (wasDown != isDown()) Redraw(kOdaSelect);
}

void CFrontButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    OnLButtonDown(MouseFlagsOf(*event), event->position().toPoint());
  }
  CViewButton::mousePressEvent(event);
}

// A double click presses the button a second time, as any press does.
void CFrontButton::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CFrontButton::leaveEvent(QEvent* event) {
  CViewButton::leaveEvent(event);
  if (GetCapture() == this) {
    OnMouseMove(MouseFlags(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers()),
                PointOutside(*this));
  }
}

void CFrontButton::focusInEvent(QFocusEvent* event) {
  CViewButton::focusInEvent(event);
  Redraw(kOdaFocus);
}

void CFrontButton::focusOutEvent(QFocusEvent* event) {
  CViewButton::focusOutEvent(event);
  Redraw(kOdaFocus);
}

// ---- Palette reserve ----

int GetSchemePaletteEntryCount() {
  return static_cast<int>(std::size(kSchemesInUse)) * kFrontSchemeColours;
}

int AddSchemeColoursToPalette(CLogicalPalette& palette, int first) {
  int index = first;
  int last = first - 1;
  for (const int scheme : kSchemesInUse) {
    for (int i = 0; i < kFrontSchemeColours; ++i, ++index) {
      if (index < 0 || index >= static_cast<int>(palette.entries.size())) {
        SetGlitchValue(index);
        SetGlitchValue(static_cast<int>(palette.entries.size()));
        ReportGlitch(20032, 1);
        return last;
      }
      const Rgb& c = kSchemes[scheme][i];
      palette.entries[static_cast<std::size_t>(index)] = {static_cast<std::uint8_t>(c.r),
                                                          static_cast<std::uint8_t>(c.g),
                                                          static_cast<std::uint8_t>(c.b), 0};
      last = index;
    }
  }
  return last;
}

int CFrontButtonPalette::GetSchemePaletteEntryCount() const {
  return zeph::GetSchemePaletteEntryCount();
}

int CFrontButtonPalette::AddSchemeColoursToPalette(CLogicalPalette& palette, int first) {
  return zeph::AddSchemeColoursToPalette(palette, first);
}

}  // namespace zeph
