#include "platform/recordingcontext.h"

#include <algorithm>
#include <string_view>

namespace zeph {
namespace {

QString Num(int value) { return QString::number(value); }

QString Hex(ColourRef colour) {
  return QStringLiteral("0x") + QString::number(colour, 16).rightJustified(8, QLatin1Char('0'));
}

QString RectText(const DcRect& r) {
  return Num(r.left) + u' ' + Num(r.top) + u' ' + Num(r.right) + u' ' + Num(r.bottom);
}

QString PointsText(std::span<const DcPoint> points) {
  QString text;
  for (const DcPoint& p : points) {
    if (!text.isEmpty()) text += u' ';
    text += Num(p.x) + u' ' + Num(p.y);
  }
  return text;
}

QString Quoted(QStringView text) {
  return QStringLiteral("\"") + text.toString() + QStringLiteral("\"");
}

class CRecordedBits final : public CSavedBits {
 public:
  CRecordedBits(int width, int height) : m_width(width), m_height(height) {}
  int Width() const override { return m_width; }
  int Height() const override { return m_height; }

 private:
  int m_width;
  int m_height;
};

}  // namespace

TextMetrics FakeTextMetrics(const DcFont& font) {
  const int h = std::max(1, font.height);
  TextMetrics tm;
  tm.internalLeading = h / 4;
  tm.height = h + tm.internalLeading;
  tm.descent = h / 5;
  tm.ascent = tm.height - tm.descent;
  tm.externalLeading = h / 8;
  tm.averageCharWidth = font.averageWidth > 0 ? font.averageWidth : std::max(1, h / 2);
  tm.maxCharWidth = tm.averageCharWidth * 3 / 2;
  tm.italic = font.italic;
  return tm;
}

int FakeCharWidth(QChar c, const DcFont& font) {
  const int average = FakeTextMetrics(font).averageCharWidth;
  static constexpr char16_t kNarrow[] = u"iljI.,:;'|!";
  static constexpr char16_t kWide[] = u"mwMW@";
  if (std::u16string_view(kNarrow).find(c.unicode()) != std::u16string_view::npos) {
    return std::max(1, average / 2);
  }
  if (std::u16string_view(kWide).find(c.unicode()) != std::u16string_view::npos) {
    return average * 3 / 2;
  }
  return average;
}

CRecordingContext::CRecordingContext(int width, int height) {
  m_caps.width = width;
  m_caps.height = height;
  m_caps.physicalWidth = width;
  m_caps.physicalHeight = height;
  m_caps.widthMm = width * 254 / (10 * kFallbackScreenDpi);
  m_caps.heightMm = height * 254 / (10 * kFallbackScreenDpi);
}

void CRecordingContext::SetFailing(DcOp op, bool failing) {
  std::erase(m_failing, op);
  if (failing) m_failing.push_back(op);
}

bool CRecordingContext::IsFailing(DcOp op) const {
  return std::find(m_failing.begin(), m_failing.end(), op) != m_failing.end();
}

QList<QString> CRecordingContext::Lines() const {
  QList<QString> lines;
  lines.reserve(static_cast<qsizetype>(m_calls.size()));
  for (const DcCall& call : m_calls) lines.push_back(call.description);
  return lines;
}

DcCall& CRecordingContext::Record(DcOp op, QString description) {
  DcCall& call = m_calls.emplace_back();
  call.op = op;
  call.description = std::move(description);
  call.pen = GetPen();
  call.brush = GetBrush();
  call.font = GetFont();
  call.rasterOp = GetRasterOp();
  call.origin = GetWindowOrigin();
  call.textColour = GetTextColour();
  call.bkColour = GetBkColour();
  call.bkMode = GetBkMode();
  call.textAlign = GetTextAlign();
  return call;
}

DcRect CRecordingContext::GetClipBox() const {
  DcRect box{0, 0, m_caps.width, m_caps.height};
  if (m_clipped) {
    box.left = std::max(box.left, m_clip.left);
    box.top = std::max(box.top, m_clip.top);
    box.right = std::min(box.right, m_clip.right);
    box.bottom = std::min(box.bottom, m_clip.bottom);
  }
  if (box.IsEmpty()) return {};
  const DcPoint o = GetWindowOrigin();
  return {box.left + o.x, box.top + o.y, box.right + o.x, box.bottom + o.y};
}

void CRecordingContext::SetClipRect(const DcRect& rect) {
  const DcPoint o = GetWindowOrigin();
  m_clip = {rect.left - o.x, rect.top - o.y, rect.right - o.x, rect.bottom - o.y};
  m_clipped = true;
  Record(DcOp::kSetClipRect, QStringLiteral("SetClipRect ") + RectText(rect)).rect = rect;
}

void CRecordingContext::ResetClip() {
  m_clipped = false;
  Record(DcOp::kResetClip, QStringLiteral("ResetClip"));
}

DcPoint CRecordingContext::SetWindowOrigin(DcPoint origin) {
  const DcPoint previous = CDrawContext::SetWindowOrigin(origin);
  Record(DcOp::kSetWindowOrigin, QStringLiteral("SetWindowOrigin ") + PointsText({&origin, 1}))
      .points = {origin};
  return previous;
}

RasterOp CRecordingContext::SetRasterOp(RasterOp op) {
  const RasterOp previous = CDrawContext::SetRasterOp(op);
  Record(DcOp::kSetRasterOp,
         QStringLiteral("SetRasterOp ") +
             (op == RasterOp::kXor ? QStringLiteral("xor") : QStringLiteral("copy")));
  return previous;
}

DcPen CRecordingContext::SelectPen(const DcPen& pen) {
  DcPen previous = CDrawContext::SelectPen(pen);
  const QString style =
      pen.style == PenStyle::kSolid ? QStringLiteral("solid") : QStringLiteral("flat");
  Record(DcOp::kSelectPen,
         QStringLiteral("SelectPen ") + style + u' ' + Num(pen.width) + u' ' + Hex(pen.colour))
      .colour = pen.colour;
  return previous;
}

DcBrush CRecordingContext::SelectBrush(const DcBrush& brush) {
  DcBrush previous = CDrawContext::SelectBrush(brush);
  Record(DcOp::kSelectBrush, brush.style == BrushStyle::kNull
                                 ? QStringLiteral("SelectBrush null")
                                 : QStringLiteral("SelectBrush solid ") + Hex(brush.colour))
      .colour = brush.colour;
  return previous;
}

DcFont CRecordingContext::SelectFont(const DcFont& font) {
  DcFont previous = CDrawContext::SelectFont(font);
  QString text = QStringLiteral("SelectFont ") + Quoted(font.face) + u' ' + Num(font.height) +
                 QStringLiteral(" w") + Num(font.averageWidth) + QStringLiteral(" e") +
                 Num(font.escapement);
  if (font.bold) text += QStringLiteral(" bold");
  if (font.italic) text += QStringLiteral(" italic");
  Record(DcOp::kSelectFont, text);
  return previous;
}

ColourRef CRecordingContext::SetTextColour(ColourRef colour) {
  const ColourRef previous = CDrawContext::SetTextColour(colour);
  Record(DcOp::kSetTextColour, QStringLiteral("SetTextColour ") + Hex(colour)).colour = colour;
  return previous;
}

ColourRef CRecordingContext::SetBkColour(ColourRef colour) {
  const ColourRef previous = CDrawContext::SetBkColour(colour);
  Record(DcOp::kSetBkColour, QStringLiteral("SetBkColour ") + Hex(colour)).colour = colour;
  return previous;
}

BkMode CRecordingContext::SetBkMode(BkMode mode) {
  const BkMode previous = CDrawContext::SetBkMode(mode);
  Record(DcOp::kSetBkMode,
         QStringLiteral("SetBkMode ") +
             (mode == BkMode::kOpaque ? QStringLiteral("opaque") : QStringLiteral("transparent")));
  return previous;
}

TextAlign CRecordingContext::SetTextAlign(TextAlign align) {
  const TextAlign previous = CDrawContext::SetTextAlign(align);
  static const char* const kNames[] = {"left", "centre", "right"};
  Record(DcOp::kSetTextAlign,
         QStringLiteral("SetTextAlign ") + QLatin1String(kNames[static_cast<int>(align)]));
  return previous;
}

DcPoint CRecordingContext::MoveTo(int x, int y) {
  const DcPoint previous = CDrawContext::MoveTo(x, y);
  Record(DcOp::kMoveTo, QStringLiteral("MoveTo ") + Num(x) + u' ' + Num(y)).points = {{x, y}};
  return previous;
}

void CRecordingContext::LineTo(int x, int y) {
  DcCall& call = Record(DcOp::kLineTo, QStringLiteral("LineTo ") + Num(x) + u' ' + Num(y));
  call.points = {GetCurrentPosition(), {x, y}};
  SetCurrentPosition({x, y});
}

void CRecordingContext::SetPixel(int x, int y, ColourRef colour) {
  DcCall& call = Record(DcOp::kSetPixel,
                        QStringLiteral("SetPixel ") + Num(x) + u' ' + Num(y) + u' ' + Hex(colour));
  call.points = {{x, y}};
  call.colour = colour;
}

void CRecordingContext::Ellipse(int left, int top, int right, int bottom) {
  const DcRect box{left, top, right, bottom};
  Record(DcOp::kEllipse, QStringLiteral("Ellipse ") + RectText(box)).rect = box;
}

bool CRecordingContext::Arc(int left, int top, int right, int bottom, int startX, int startY,
                            int endX, int endY) {
  const DcRect box{left, top, right, bottom};
  const DcPoint ends[2] = {{startX, startY}, {endX, endY}};
  DcCall& call =
      Record(DcOp::kArc, QStringLiteral("Arc ") + RectText(box) + u' ' + PointsText(ends));
  call.rect = box;
  call.points.assign(std::begin(ends), std::end(ends));
  return !IsFailing(DcOp::kArc) && !box.IsEmpty();
}

void CRecordingContext::PolyBezier(const std::array<DcPoint, 4>& points) {
  Record(DcOp::kPolyBezier, QStringLiteral("PolyBezier ") + PointsText(points))
      .points.assign(points.begin(), points.end());
}

void CRecordingContext::Polygon(std::span<const DcPoint> points) {
  Record(DcOp::kPolygon, QStringLiteral("Polygon ") + PointsText(points))
      .points.assign(points.begin(), points.end());
}

void CRecordingContext::FillRect(const DcRect& rect, ColourRef colour) {
  DcCall& call =
      Record(DcOp::kFillRect, QStringLiteral("FillRect ") + RectText(rect) + u' ' + Hex(colour));
  call.rect = rect;
  call.colour = colour;
}

TextMetrics CRecordingContext::GetTextMetrics() const { return FakeTextMetrics(GetFont()); }

DcSize CRecordingContext::GetTextExtent(QStringView text) const {
  int width = 0;
  for (QChar c : text) width += FakeCharWidth(c, GetFont());
  return {width, FakeTextMetrics(GetFont()).height};
}

void CRecordingContext::TextOut(int x, int y, QStringView text) {
  DcCall& call = Record(DcOp::kTextOut,
                        QStringLiteral("TextOut ") + Num(x) + u' ' + Num(y) + u' ' + Quoted(text));
  call.points = {{x, y}};
  call.text = text.toString();
}

void CRecordingContext::TextOutClipped(int x, int y, const DcRect& clip, QStringView text) {
  DcCall& call =
      Record(DcOp::kTextOutClipped, QStringLiteral("TextOutClipped ") + Num(x) + u' ' + Num(y) +
                                        u' ' + RectText(clip) + u' ' + Quoted(text));
  call.points = {{x, y}};
  call.rect = clip;
  call.text = text.toString();
}

std::unique_ptr<CSavedBits> CRecordingContext::CreateSavedBits(int width, int height) {
  Record(DcOp::kCreateSavedBits,
         QStringLiteral("CreateSavedBits ") + Num(width) + u' ' + Num(height));
  if (IsFailing(DcOp::kCreateSavedBits) || width <= 0 || height <= 0) return nullptr;
  return std::make_unique<CRecordedBits>(width, height);
}

bool CRecordingContext::SaveBits(CSavedBits& bits, int left, int top) {
  Record(DcOp::kSaveBits, QStringLiteral("SaveBits ") + Num(bits.Width()) + u' ' +
                              Num(bits.Height()) + u' ' + Num(left) + u' ' + Num(top))
      .points = {{left, top}};
  return !IsFailing(DcOp::kSaveBits) && dynamic_cast<CRecordedBits*>(&bits) != nullptr;
}

bool CRecordingContext::RestoreBits(const CSavedBits& bits, int left, int top) {
  Record(DcOp::kRestoreBits, QStringLiteral("RestoreBits ") + Num(bits.Width()) + u' ' +
                                 Num(bits.Height()) + u' ' + Num(left) + u' ' + Num(top))
      .points = {{left, top}};
  return !IsFailing(DcOp::kRestoreBits) && dynamic_cast<const CRecordedBits*>(&bits) != nullptr;
}

}  // namespace zeph
