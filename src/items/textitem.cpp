#include "items/textitem.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "items/geometry.h"
#include "items/itemservices.h"
#include "items/rotatedtext.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/screen.h"
#include "support/textutil.h"

CFontSpec g_valueTextFont;
std::int16_t g_valueFontWidth = 0;
double g_valueTextAngle = 0.0;

QString g_textEditBuffer;
std::int32_t g_textEditCaret = 0;
std::int32_t g_textCaretShown = 0;

namespace {

constexpr int kGlitchEditKeyNotEditing = 1951;
constexpr int kGlitchSetHandle = 1952;
constexpr int kGlitchHandleX = 1953;
constexpr int kGlitchHandleY = 1954;
constexpr int kGlitchSaveArea = 2001;
constexpr int kGlitchRestoreArea = 2002;

// Texts too small to measure in screen pixels.
constexpr int kSmallestMeasuredText = 2;

int Add(int a, std::int64_t b) { return ClampInt64ToInt(static_cast<std::int64_t>(a) + b); }

// A typed character that may go into a text. Control characters (a tab, Ctrl+Enter's line
// feed, Ctrl+Backspace's 127) are not: the characters of a text are written as one line of
// the drawing file, and 127 is the program's own line-break marker there.
bool IsTypedCharacter(unsigned key) { return key >= 32 && key != 127 && key <= 0xFFFF; }

int BufferLength() { return static_cast<int>(g_textEditBuffer.size()); }

// The caret within the buffer, whatever was stored in the global.
int ClampedCaret() { return std::clamp(g_textEditCaret, 0, BufferLength()); }

}  // namespace

void ResetTextValueFields() {
  g_valueTextFont = CFontSpec();
  g_valueFontWidth = 0;
  g_valueTextAngle = 0.0;
}

void ResetTextEditState() {
  g_textEditBuffer.clear();
  g_textEditCaret = 0;
  g_textCaretShown = 0;
}

// ---- Saved area ----

CSavedTextArea::CSavedTextArea() : m_area(kGlitchSaveArea, kGlitchRestoreArea) {}

int CSavedTextArea::Save(zeph::CDrawContext& dc, const zeph::DcRect& rect, int anchorX,
                         int anchorY) {
  if (m_area.Save(dc, rect) == 0) return 0;
  m_anchorX = anchorX;
  m_anchorY = anchorY;
  return 1;
}

int CSavedTextArea::Restore(zeph::CDrawContext& dc) { return m_area.Restore(dc); }

int CSavedTextArea::IsSavedAt(int x, int y) const {
  return (m_area.IsSaved() != 0 && m_anchorX == x && m_anchorY == y) ? 1 : 0;
}

void CSavedTextArea::Release() { m_area.Release(); }

// ---- Life ----

CTextItem::CTextItem() : CDrawItem(kItemText) {}

CTextItem::~CTextItem() {
  if (m_savedArea) m_savedArea->Release();
}

// ---- Attributes ----

void CTextItem::GetPosition(int& x, int& y) const {
  x = m_x;
  y = m_y;
}

void CTextItem::SetPosition(int x, int y) {
  if (x == m_x && y == m_y) return;
  if (!BeginChange(UndoKind::kPosition)) return;
  m_x = x;
  m_y = y;
}

QString CTextItem::GetText() const { return m_hasText ? m_text : QString(); }

int CTextItem::SetText(const QString& text) {
  if (m_hasText && m_text == text) return 1;
  // The journal keeps the text it is given; QString shares it, so nothing is freed here.
  if (!BeginChange(UndoKind::kTextString)) return 0;
  m_text = text;
  m_hasText = true;
  DropBox();
  return 1;
}

void CTextItem::AttachText(const QString& text) {
  m_text = text;
  m_hasText = true;
  DropBox();
}

int CTextItem::GetTextLength() const {
  if (!m_hasText) return 0;
  return static_cast<int>(std::min<qsizetype>(m_text.size(), kShortRangeMax));
}

void CTextItem::SetFont(const CFontSpec& font) {
  if (m_font.IsEqual(font) != 0) return;
  if (!BeginChange(UndoKind::kFont)) return;
  m_font.CopyFrom(font);
  DropBox();
}

void CTextItem::SetFontSize(int widthPercent) {
  const auto percent = static_cast<std::int16_t>(widthPercent & 0xFFFF);
  if (m_font.GetWidthPercent() == percent) return;
  if (!BeginChange(UndoKind::kFont)) return;
  m_font.SetWidthPercent(percent);
  DropBox();
}

void CTextItem::SetTextAngle(double angle) {
  if (UpdateField(m_angle, angle, UndoKind::kTextAngle, false) > 0) DropBox();
}

void CTextItem::SetTextParameter(double parameter) {
  if (UpdateField(m_parameter, parameter, UndoKind::kTextParameter, false) > 0) DropBox();
}

void CTextItem::SetTextTag(int tag) { UpdateField(m_tag, tag, UndoKind::kTextTag, false); }

// ---- Handles ----

int CTextItem::GetHandleX(int handle) const {
  return HandleCoordinate(handle, handle, {m_x}, kGlitchHandleX);
}

int CTextItem::GetHandleY(int handle) const {
  return HandleCoordinate(handle, handle, {m_y}, kGlitchHandleY);
}

void CTextItem::SetHandle(int handle, int x, int y) {
  if (CheckHandle(handle, 1, handle, kGlitchSetHandle)) SetPosition(x, y);
}

void CTextItem::MoveHandle(int handle, int dx, int dy) {
  MoveHandleShared(handle, dx, dy);
  Recalculate();
}

void CTextItem::MoveBy(int dx, int dy) {
  if (!BeginMove(dx, dy)) return;
  m_x = Add(m_x, dx);
  m_y = Add(m_y, dy);
}

void CTextItem::CopyFrom(const CDrawItem* other) {
  CopyBaseAttributes(other);
  if (other == nullptr || other->GetType() != kItemText) return;
  other->GetPosition(m_x, m_y);
  m_text = other->GetText();
  m_hasText = true;
  const CFontSpec* font = other->GetFont();
  if (font != nullptr) m_font.CopyFrom(*font);
  m_angle = other->GetTextAngle();
  m_parameter = other->GetTextParameter();
  m_tag = other->GetTextTag();
  DropBox();
}

int CTextItem::IsValid() const {
  if (!m_hasText || m_text.isEmpty()) return 0;
  if (!IsValidX(m_x) || !IsValidY(m_y)) return 0;
  // Both are written to the drawing file, which never holds NaN or infinity.
  return (std::isfinite(m_angle) && std::isfinite(m_parameter)) ? 1 : 0;
}

void CTextItem::Transform(const CTransform& transform) {
  transform.TransformPoint(m_x, m_y);
  if (transform.GetKind() == kTransformRotation) {
    m_angle = NormaliseAngle(m_angle + transform.GetParameter(), 0);
  } else if (transform.GetKind() == kTransformEnlargement) {
    // A negative factor turns the text half round about its moved position and scales it by
    // the magnitude, as a circle takes the magnitude: a size never becomes negative.
    const double factor = transform.GetParameter();
    if (factor < 0) m_angle = NormaliseAngle(m_angle + kPi, 0);
    m_font.SetSize(RoundToShort(m_font.GetSize() * std::fabs(factor)));
  }
  DropBox();
}

// ---- Measuring ----

QString CTextItem::ShownText() const { return m_editing != 0 ? g_textEditBuffer : m_text; }

bool CTextItem::MeasureDeviceBox(zeph::CDrawContext& dc, const CViewMapping& mapping, int& h,
                                 int& w) const {
  const std::int16_t height = TruncateToShort(GetMeasuringHeight(m_font.GetSize(), mapping));
  if (height < kSmallestMeasuredText) return false;
  const CMeasuringFont font(dc, m_font, height, AngleInDegrees(m_angle));
  const double f = GetMeasuringFactor(mapping);
  h = TruncateToInt(GetLineHeight(dc) * f);
  const int blank = dc.GetTextExtent(u" ").cx;
  w = TruncateToInt((GetTextWidth(dc, ShownText(), -1, 1) + blank / 4) * f);
  return true;
}

bool CTextItem::MeasureInDrawingUnits(const CViewMapping& mapping, std::int16_t angleDegrees,
                                      double& height, double& width) const {
  const CBorrowedMeasuringContext borrowed;
  zeph::CDrawContext* dc = borrowed.Get();
  if (dc == nullptr) return false;
  const std::int16_t measuring =
      RaiseMeasuringHeight(CeilToShort(GetMeasuringHeight(m_font.GetSize(), mapping)));
  const CMeasuringFont font(*dc, m_font, measuring, angleDegrees);
  const double f = GetMeasuringFactor(mapping);
  height = GetLineHeight(*dc) * f * mapping.GetScaleY();
  width = GetTextWidth(*dc, ShownText(), -1, 1) * f * mapping.GetScaleX();
  return true;
}

int CTextItem::GetTextDeviceCorners(zeph::CDrawContext* dc, int dx, int dy,
                                    const CViewMapping* mapping, zeph::DcPoint corners[4]) const {
  if (dc == nullptr || mapping == nullptr || corners == nullptr) return 0;
  int h = 0;
  int w = 0;
  if (!MeasureDeviceBox(*dc, *mapping, h, w)) return 0;
  const double c = std::cos(m_angle);
  const double s = std::sin(m_angle);
  const int acrossX = RoundToInt(h * s);
  const int acrossY = RoundToInt(h * c);
  corners[0] = {dx, dy};
  corners[1] = {Add(dx, RoundToInt(w * c)), Add(dy, -static_cast<std::int64_t>(RoundToInt(w * s)))};
  corners[2] = {Add(corners[1].x, acrossX), Add(corners[1].y, acrossY)};
  corners[3] = {Add(dx, acrossX), Add(dy, acrossY)};
  return 1;
}

int CTextItem::GetTextDeviceBox(zeph::CDrawContext* dc, int dx, int dy, const CViewMapping* mapping,
                                zeph::DcRect& box) const {
  if (dc == nullptr || mapping == nullptr) return 0;
  // Offsets are pixels: a new zoom, or characters that change as they are typed, need new
  // ones.
  if (m_boxValid == 0 || m_boxScale != mapping->scaleX || m_editing != 0) {
    int h = 0;
    int w = 0;
    if (!MeasureDeviceBox(*dc, *mapping, h, w)) return 0;
    const double c = std::cos(m_angle);
    const double s = std::sin(m_angle);
    const int acrossX = RoundToInt(h * s);
    const int acrossY = RoundToInt(h * c);
    const int alongX = RoundToInt(w * c);
    const int alongY = -RoundToInt(w * s);
    const int xs[] = {0, acrossX, alongX, Add(acrossX, alongX)};
    const int ys[] = {0, acrossY, alongY, Add(acrossY, alongY)};
    m_box[0] = *std::min_element(std::begin(xs), std::end(xs));
    m_box[1] = *std::min_element(std::begin(ys), std::end(ys));
    m_box[2] = *std::max_element(std::begin(xs), std::end(xs));
    m_box[3] = *std::max_element(std::begin(ys), std::end(ys));
    m_boxValid = 1;
    m_boxScale = mapping->scaleX;
  }
  box = {Add(dx, m_box[0]), Add(dy, m_box[1]), Add(dx, m_box[2]), Add(dy, m_box[3])};
  return 1;
}

double CTextItem::GetPickDistance(const CViewMapping* mapping) const {
  if (mapping == nullptr) return kFarAway;
  double height = 0.0;
  double width = 0.0;
  if (!MeasureInDrawingUnits(*mapping, 0, height, width)) return kFarAway;
  const double halfH = TruncateToInt(height / 2.0);
  const double w = TruncateToInt(width);
  const double c = std::cos(m_angle);
  const double s = std::sin(m_angle);
  const double px = m_x + halfH * s;
  const double py = m_y - halfH * c;
  const double ux = w * c;
  const double uy = w * s;
  const double dx = g_cursorPoint.x - px;
  const double dy = g_cursorPoint.y - py;
  const double ex = dx - ux;
  const double ey = dy - uy;
  if (ex * ux + ey * uy > 0) return Hypot(ex, ey);
  if (dx * ux + dy * uy < 0 || w == 0) return Hypot(dx, dy);
  // Signed distance from the centre line, positive towards the top of the text; the band
  // reaches further down, where descenders are.
  double t = c * dy - s * dx;
  const double band = t > 0 ? 0.5 * halfH : 0.7 * halfH;
  t = std::fabs(t);
  return t <= band ? 0.0 : t - band;
}

void CTextItem::CalcBoundingBox(const CViewMapping* mapping) const {
  g_itemBounds = {m_x, m_y, m_x, m_y};
  if (mapping == nullptr) return;
  double height = 0.0;
  double width = 0.0;
  if (!MeasureInDrawingUnits(*mapping, AngleInDegrees(m_angle), height, width)) return;
  const int h = TruncateToInt(height);
  const int w = TruncateToInt(width);
  const double c = std::cos(m_angle);
  const double s = std::sin(m_angle);
  const std::int64_t downX = RoundToInt(h * s);
  const std::int64_t downY = -static_cast<std::int64_t>(RoundToInt(h * c));
  const std::int64_t alongX = RoundToInt(w * c);
  const std::int64_t alongY = RoundToInt(w * s);
  ExtendItemBounds(Add(m_x, downX), Add(m_y, downY));
  ExtendItemBounds(Add(m_x, alongX), Add(m_y, alongY));
  ExtendItemBounds(Add(m_x, downX + alongX), Add(m_y, downY + alongY));
}

int CTextItem::GetCharIndexAtCursor(const CViewMapping* mapping) const {
  if (mapping == nullptr) return -1;
  const CBorrowedMeasuringContext borrowed;
  zeph::CDrawContext* dc = borrowed.Get();
  if (dc == nullptr) return -1;
  const std::int16_t measuring =
      RaiseMeasuringHeight(CeilToShort(GetMeasuringHeight(m_font.GetSize(), *mapping)));
  const CMeasuringFont font(*dc, m_font, measuring, 0);
  const double f = GetMeasuringFactor(*mapping);
  const QString text = ShownText();
  const int h = TruncateToInt(GetLineHeight(*dc) * f * mapping->GetScaleY());
  const int w = TruncateToInt(GetTextWidth(*dc, text, -1, 1) * f * mapping->GetScaleX());
  const double dx = static_cast<double>(g_cursorPoint.x) - m_x;
  const double dy = static_cast<double>(g_cursorPoint.y) - m_y;
  const double r = Hypot(dx, dy);
  const double b = std::atan2(dy, dx) - m_angle;
  const double along = r * std::cos(b);
  const double down = -r * std::sin(b);
  if (!(down >= 0 && down <= h && along >= 0 && along <= w)) return -1;
  const int pixels = RoundToInt(along / (f * mapping->GetScaleX()));
  return FitTextToWidth(*dc, text, pixels, 1, -1, 1);
}

// ---- Drawing ----

void CTextItem::Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
                     int thin) const {
  if (dc == nullptr || mapping == nullptr) return;
  if (colourMode == kDrawXor) {
    if (!m_savedArea) {
      try {
        m_savedArea = std::make_unique<CSavedTextArea>();
      } catch (const std::bad_alloc&) {
        // Drawn with exclusive or below.
      }
    }
    if (m_savedArea) {
      const int dx = mapping->DrawingToDeviceX(m_x);
      const int dy = mapping->DrawingToDeviceY(m_y);
      if (m_savedArea->IsSavedAt(dx, dy) == 0) {
        zeph::DcRect box;
        // The box's corners are inside it; the saved rectangle leaves out right and bottom.
        if (GetTextDeviceBox(dc, dx, dy, mapping, box) != 0 &&
            m_savedArea->Save(*dc, {box.left, box.top, Add(box.right, 1), Add(box.bottom, 1)}, dx,
                              dy) != 0) {
          colourMode = kDrawOwnColour;
        }
      } else if (m_savedArea->Restore(*dc) != 0) {
        return;
      }
    }
  }
  DrawRotatedText(*this, dc, mapping, m_x, m_y, ShownText(), m_angle, m_font, colourMode, thin);
}

void CTextItem::DrawEditBuffer(zeph::CDrawContext* dc, const CViewMapping* mapping,
                               int colourMode) const {
  DrawRotatedText(*this, dc, mapping, m_x, m_y, g_textEditBuffer, m_angle, m_font, colourMode, 0);
}

void CTextItem::DrawEditText(zeph::CDrawContext* dc, const CViewMapping* mapping) {
  DrawEditBuffer(dc, mapping, kDrawOwnColour);
}

void CTextItem::EraseTextBox(zeph::CDrawContext* dc, const CViewMapping* mapping) {
  if (dc == nullptr || mapping == nullptr) return;
  zeph::DcPoint corners[4];
  if (GetTextDeviceCorners(dc, mapping->DrawingToDeviceX(m_x), mapping->DrawingToDeviceY(m_y),
                           mapping, corners) == 0) {
    return;
  }
  FillPolygon(*dc, corners, g_backgroundColour);
}

// ---- Editing ----

void CTextItem::BeginEdit(int caret) {
  m_editing = 1;
  // The whole text: a longer one read from a file is edited, never cut.
  g_textEditBuffer = m_hasText ? m_text : QString();
  const int n = BufferLength();
  g_textEditCaret = caret < 0 ? n : std::min(caret, n);
  g_textCaretShown = 0;
  m_caretStale = 1;
}

template <typename Change>
void CTextItem::ChangeBuffer(zeph::CDrawContext* dc, const CViewMapping* mapping, Change change) {
  DrawEditBuffer(dc, mapping, static_cast<int>(g_backgroundColour));
  change();
  DrawEditBuffer(dc, mapping, kDrawOwnColour);
}

int CTextItem::EditKey(zeph::CDrawContext* dc, IDrawingWindow* window, unsigned key, int isKeyDown,
                       std::int16_t& outcome) {
  outcome = kEditGoesOn;
  if (m_editing == 0) {
    ReportGlitch(kGlitchEditKeyNotEditing, 1);
    return 0;
  }
  CViewMapping copy;
  const CViewMapping* mapping = nullptr;
  if (window != nullptr && window->GetViewMapping() != nullptr) {
    copy = *window->GetViewMapping();
    mapping = &copy;
  }
  HideCaret(dc, mapping);
  const int n = BufferLength();
  int caret = ClampedCaret();
  int result = 0;
  if (isKeyDown != 0) {
    switch (key) {
      case kEditKeyDelete:
        if (caret < n) {
          ChangeBuffer(dc, mapping, [caret] { g_textEditBuffer.remove(caret, 1); });
          result = 1;
        }
        break;
      case kEditKeyLeft:
        if (caret > 0) {
          --caret;
          result = 1;
        }
        break;
      case kEditKeyRight:
        if (caret < n) {
          ++caret;
          result = 1;
        }
        break;
      case kEditKeyF7:
        if (caret < n) {
          ChangeBuffer(dc, mapping, [caret] {
            char16_t c = g_textEditBuffer[caret].unicode();
            CycleCase(&c, 1);
            g_textEditBuffer[caret] = QChar(c);
          });
          ++caret;
          result = 1;
        }
        break;
      default:
        break;
    }
    g_textEditCaret = caret;
  } else {
    switch (key) {
      case kEditCharBackspace:
        if (caret > 0) {
          --caret;
          ChangeBuffer(dc, mapping, [caret] { g_textEditBuffer.remove(caret, 1); });
          result = 1;
        }
        g_textEditCaret = caret;
        break;
      case kEditCharEnter:
        CheckSpelling(window);
        outcome = kEditAccepted;
        result = 1;
        break;
      case kEditCharEscape:
        DrawEditBuffer(dc, mapping, static_cast<int>(g_backgroundColour));
        outcome = kEditCancelled;
        m_editing = 0;
        result = 1;
        break;
      default:
        // The pound sign goes in as itself like any other character: 127 is the stored
        // line-break marker.
        if (IsTypedCharacter(key) && n < kTextEditLimit) {
          ChangeBuffer(dc, mapping, [caret, key] {
            g_textEditBuffer.insert(caret, QChar(static_cast<char16_t>(key)));
          });
          ++caret;
          result = 1;
        }
        g_textEditCaret = caret;
        break;
    }
  }
  m_caretStale = 1;
  return result;
}

void CTextItem::DrawCaret(zeph::CDrawContext* dc, const CViewMapping* mapping) {
  if (dc == nullptr || mapping == nullptr) return;
  if (g_textCaretShown == 0 && m_caretStale == 1) {
    const std::int16_t measuring =
        RaiseMeasuringHeight(TruncateToShort(GetMeasuringHeight(m_font.GetSize(), *mapping)));
    const CMeasuringFont font(*dc, m_font, measuring, AngleInDegrees(m_angle));
    const double f = GetMeasuringFactor(*mapping);
    const int h = TruncateToInt(GetLineHeight(*dc) * f * mapping->GetScaleY());
    const int caret = ClampedCaret();
    const int along = caret == 0 ? 0
                                 : TruncateToInt(GetTextWidth(*dc, g_textEditBuffer, caret, 1) * f *
                                                 mapping->GetScaleX());
    const double c = std::cos(m_angle);
    const double s = std::sin(m_angle);
    const int x1 = Add(m_x, RoundToInt(along * c));
    const int y1 = Add(m_y, RoundToInt(along * s));
    const int x2 = Add(x1, RoundToInt(h * s));
    const int y2 = Add(y1, -static_cast<std::int64_t>(RoundToInt(h * c)));
    m_caretLine[0] = mapping->DrawingToDeviceX(x1);
    m_caretLine[1] = mapping->DrawingToDeviceY(y1);
    m_caretLine[2] = mapping->DrawingToDeviceX(x2);
    m_caretLine[3] = mapping->DrawingToDeviceY(y2);
    m_caretStale = 0;
  }
  g_textCaretShown = g_textCaretShown == 0 ? 1 : 0;
  // Exclusive or with the background (white) inverts the pixels; the same line again puts
  // them back.
  const zeph::RasterOp previous = dc->SetRasterOp(zeph::RasterOp::kXor);
  dc->MoveTo(m_caretLine[0], m_caretLine[1]);
  LineToWithEnd(*dc, m_caretLine[2], m_caretLine[3], g_backgroundColour, 1);
  dc->SetRasterOp(previous);
}

void CTextItem::HideCaret(zeph::CDrawContext* dc, const CViewMapping* mapping) {
  if (g_textCaretShown == 1) DrawCaret(dc, mapping);
}

void CTextItem::SetCaret(int index) {
  if (m_editing == 0) return;
  const int n = BufferLength();
  g_textEditCaret = (index >= 0 && index < n) ? index : n;
  m_caretStale = 1;
}

void CTextItem::EndEdit(zeph::CDrawContext* dc, const CViewMapping* mapping) {
  HideCaret(dc, mapping);
  DrawEditBuffer(dc, mapping, static_cast<int>(g_backgroundColour));
  m_editing = 0;
}

void CTextItem::CheckSpelling(IDrawingWindow* window) {
  if (m_editing == 0) return;
  ITextSpellCheck* check = GetTextSpellCheck();
  if (GetOptionFlag(kOptionSpellCheck) != 0 && IsSpellCheckerReady() != 0 && check != nullptr) {
    const int result = check->CheckText(g_textEditBuffer, 1);
    if (result == kSpellTextChanged) {
      if (window != nullptr) {
        Draw(window->GetDrawContext(), window->GetViewMapping(),
             static_cast<int>(g_backgroundColour), 0);
      }
      g_textEditBuffer = check->GetCorrectedText();
      g_textEditCaret = ClampedCaret();
    } else if (result == kSpellCheckSwitchedOff) {
      SetOptionFlag(kOptionSpellCheck, 0);
    }
  }
  SetText(g_textEditBuffer);
  m_editing = 0;
}

// ---- Values bar ----

void CTextItem::PublishProperties() const {
  PublishFieldIds({kFieldColourObject, kFieldTextFont, kFieldTextWidthAngle});
  g_valueColour = GetColour();
  g_valueObject = GetObjectNumber();
  g_valueTextFont = m_font;
  g_valueFontWidth = m_font.GetWidthPercent();
  g_valueTextAngle = m_angle;
}

void CTextItem::PublishInformation() const {
  PublishFieldIds({kFieldStart});
  g_valueStartX = m_x;
  g_valueStartY = m_y;
}
