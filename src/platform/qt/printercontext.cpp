#include "platform/qt/printercontext.h"

#include "platform/qt/qtfont.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace zeph {
namespace {

DcRect Intersect(const DcRect& a, const DcRect& b) {
  DcRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? DcRect{} : r;
}

QRect ToQRect(const DcRect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

QPen MakeQtPen(const DcPen& pen) {
  QPen qpen(ToQColor(pen.colour));
  qpen.setWidthF(std::max(1, pen.width));
  const bool flat = pen.style == PenStyle::kGeometricFlat;
  qpen.setCapStyle(flat ? Qt::FlatCap : Qt::RoundCap);
  qpen.setJoinStyle(flat ? Qt::BevelJoin : Qt::RoundJoin);
  return qpen;
}

// The angle, in degrees counter-clockwise on the page, of the point of the ellipse in box
// whose ray from the centre passes through (x, y): the parameter of that point.
double ParameterAngle(const QRectF& box, double x, double y) {
  const double a = box.width() / 2;
  const double b = box.height() / 2;
  const double dx = x - box.center().x();
  const double dy = box.center().y() - y;
  if (dx == 0 && dy == 0) return 0;
  const double angle = std::atan2(b > 0 ? dy / b : dy, a > 0 ? dx / a : dx);
  return angle * 180 / std::numbers::pi;
}

}  // namespace

CPrinterContext::CPrinterContext(QPrinter& printer) : m_printer(printer) {}

CPrinterContext::~CPrinterContext() {
  if (IsDocumentOpen()) m_painter->end();
}

bool CPrinterContext::BeginDocument() {
  if (IsDocumentOpen()) return false;
  m_painter = std::make_unique<QPainter>();
  if (!m_painter->begin(&m_printer)) {
    m_painter.reset();
    return false;
  }
  m_painter->setRenderHint(QPainter::Antialiasing, false);
  ForgetAppliedState();
  return true;
}

bool CPrinterContext::NewPage() {
  if (!IsDocumentOpen()) return false;
  const bool started = m_printer.newPage();
  ForgetAppliedState();
  return started;
}

bool CPrinterContext::EndDocument() {
  if (!IsDocumentOpen()) return false;
  const bool ended = m_painter->end();
  m_painter.reset();
  ForgetAppliedState();
  m_capsValid = false;
  return ended;
}

void CPrinterContext::ForgetAppliedState() {
  m_clipApplied = false;
  m_penApplied = AppliedPen::kUnknown;
  m_brushApplied = false;
  // The page's measures are asked once per page, not once per drawing call.
  m_capsValid = false;
  if (IsDocumentOpen()) {
    m_caps = QueryDeviceCaps();
    m_capsValid = true;
  }
}

bool CPrinterContext::IsDocumentOpen() const { return m_painter && m_painter->isActive(); }

DeviceCaps CPrinterContext::QueryDeviceCaps() const {
  if (m_capsValid) return m_caps;
  DeviceCaps caps;
  caps.dpiX = m_printer.resolution();
  caps.dpiY = m_printer.resolution();
  // From the page's size in millimetres, which is exact, rather than from Qt's page in
  // device pixels, which goes through whole points.
  const QPageLayout layout = m_printer.pageLayout();
  const QRectF paper = layout.fullRect(QPageLayout::Millimeter);
  const QRectF page = m_printer.fullPage() ? paper : layout.paintRect(QPageLayout::Millimeter);
  auto pixels = [](double mm, int dpi) { return static_cast<int>(std::lround(mm * dpi / 25.4)); };
  caps.width = pixels(page.width(), caps.dpiX);
  caps.height = pixels(page.height(), caps.dpiY);
  caps.widthMm = static_cast<int>(std::lround(page.width()));
  caps.heightMm = static_cast<int>(std::lround(page.height()));
  caps.physicalWidth = pixels(paper.width(), caps.dpiX);
  caps.physicalHeight = pixels(paper.height(), caps.dpiY);
  caps.physicalOffsetX = pixels(page.left() - paper.left(), caps.dpiX);
  caps.physicalOffsetY = pixels(page.top() - paper.top(), caps.dpiY);
  caps.plotter = false;
  caps.colourBits = m_printer.colorMode() == QPrinter::Color ? 24 : 1;
  return caps;
}

DcRect CPrinterContext::DeviceClip() const {
  const DeviceCaps caps = QueryDeviceCaps();
  const DcRect page{0, 0, caps.width, caps.height};
  return m_clipped ? Intersect(page, m_clip) : page;
}

DcRect CPrinterContext::GetClipBox() const {
  const DcRect box = DeviceClip();
  if (box.IsEmpty()) return {};
  const DcPoint o = GetWindowOrigin();
  return {box.left + o.x, box.top + o.y, box.right + o.x, box.bottom + o.y};
}

void CPrinterContext::SetClipRect(const DcRect& rect) {
  const DcPoint o = GetWindowOrigin();
  m_clip = {rect.left - o.x, rect.top - o.y, rect.right - o.x, rect.bottom - o.y};
  m_clipped = true;
}

void CPrinterContext::ResetClip() { m_clipped = false; }

QPainter* CPrinterContext::PrepareClip(const DcRect* extraClip) {
  if (!IsDocumentOpen()) return nullptr;
  DcRect visible = DeviceClip();
  if (extraClip != nullptr) visible = Intersect(visible, *extraClip);
  if (visible.IsEmpty()) return nullptr;
  if (!m_clipApplied || !(visible == m_appliedClip)) {
    m_painter->setClipRect(ToQRect(visible));
    m_appliedClip = visible;
    m_clipApplied = true;
  }
  return m_painter.get();
}

QPainter* CPrinterContext::PreparePainter(const DcRect* extraClip) {
  QPainter* painter = PrepareClip(extraClip);
  if (painter == nullptr) return nullptr;
  ApplyPen(GetPen(), GetPen().style == PenStyle::kGeometricFlat);
  ApplyBrush(GetBrush());
  return painter;
}

void CPrinterContext::ApplyPen(const DcPen& pen, bool flatCap) {
  if (m_penApplied == AppliedPen::kPen && m_appliedPen == pen && m_appliedFlatCap == flatCap) {
    return;
  }
  QPen qpen = MakeQtPen(pen);
  if (flatCap) qpen.setCapStyle(Qt::FlatCap);
  m_painter->setPen(qpen);
  m_penApplied = AppliedPen::kPen;
  m_appliedPen = pen;
  m_appliedFlatCap = flatCap;
}

void CPrinterContext::ApplyNoPen() {
  if (m_penApplied == AppliedPen::kNone) return;
  m_painter->setPen(Qt::NoPen);
  m_penApplied = AppliedPen::kNone;
}

void CPrinterContext::ApplyBrush(const DcBrush& brush) {
  // A null brush's colour means nothing: any two null brushes are the same.
  if (m_brushApplied && m_appliedBrush.style == brush.style &&
      (brush.style == BrushStyle::kNull || m_appliedBrush.colour == brush.colour)) {
    return;
  }
  if (brush.style == BrushStyle::kSolid) {
    m_painter->setBrush(ToQColor(brush.colour));
  } else {
    m_painter->setBrush(Qt::NoBrush);
  }
  m_appliedBrush = brush;
  m_brushApplied = true;
}

void CPrinterContext::LineTo(int x, int y) {
  const DcPoint from = GetCurrentPosition();
  SetCurrentPosition({x, y});
  const DcPoint o = GetWindowOrigin();
  QPointF a(double(from.x) - o.x + 0.5, double(from.y) - o.y + 0.5);
  QPointF b(double(x) - o.x + 0.5, double(y) - o.y + 0.5);
  const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
  if (length == 0) return;
  // A line fills nothing, so the brush is left as it is.
  QPainter* painter = PrepareClip(nullptr);
  if (painter == nullptr) return;
  const bool thin = GetPen().width <= 1;
  if (thin) {
    // Cover the start pixel and leave out the end pixel, as on the screen.
    const QPointF half((b.x() - a.x()) / length / 2, (b.y() - a.y()) / length / 2);
    a -= half;
    b -= half;
  }
  ApplyPen(GetPen(), thin || GetPen().style == PenStyle::kGeometricFlat);
  painter->drawLine(a, b);
}

void CPrinterContext::SetPixel(int x, int y, ColourRef colour) {
  QPainter* painter = PrepareClip(nullptr);
  if (painter == nullptr) return;
  const DcPoint o = GetWindowOrigin();
  // A filled square without an outline, as fillRect draws it, keeping the pen off and the
  // brush at this colour for the next pixel.
  ApplyNoPen();
  ApplyBrush({BrushStyle::kSolid, colour});
  painter->drawRect(QRect(x - o.x, y - o.y, 1, 1));
}

void CPrinterContext::Ellipse(int left, int top, int right, int bottom) {
  const DcPoint o = GetWindowOrigin();
  const QRectF box = QRectF(QPointF(left - o.x + 0.5, top - o.y + 0.5),
                            QPointF(right - o.x - 0.5, bottom - o.y - 0.5))
                         .normalized();
  if (left == right || top == bottom) return;
  QPainter* painter = PreparePainter();
  if (painter == nullptr) return;
  painter->drawEllipse(box);
}

bool CPrinterContext::Arc(int left, int top, int right, int bottom, int startX, int startY,
                          int endX, int endY) {
  if (left == right || top == bottom) return false;
  const DcPoint o = GetWindowOrigin();
  const QRectF box = QRectF(QPointF(left - o.x + 0.5, top - o.y + 0.5),
                            QPointF(right - o.x - 0.5, bottom - o.y - 0.5))
                         .normalized();
  QPainter* painter = PreparePainter();
  if (painter == nullptr) return true;
  const double start = ParameterAngle(box, startX - o.x + 0.5, startY - o.y + 0.5);
  const double end = ParameterAngle(box, endX - o.x + 0.5, endY - o.y + 0.5);
  double sweep = std::fmod(end - start, 360.0);
  if (sweep <= 0) sweep += 360;
  QPainterPath path;
  path.arcMoveTo(box, start);
  path.arcTo(box, start, sweep);
  painter->strokePath(path, painter->pen());
  return true;
}

void CPrinterContext::PolyBezier(const std::array<DcPoint, 4>& points) {
  QPainter* painter = PreparePainter();
  if (painter == nullptr) return;
  const DcPoint o = GetWindowOrigin();
  auto at = [&](std::size_t i) {
    return QPointF(points[i].x - o.x + 0.5, points[i].y - o.y + 0.5);
  };
  QPainterPath path(at(0));
  path.cubicTo(at(1), at(2), at(3));
  painter->strokePath(path, painter->pen());
}

void CPrinterContext::Polygon(std::span<const DcPoint> points) {
  if (points.size() < 2) return;
  QPainter* painter = PreparePainter();
  if (painter == nullptr) return;
  const DcPoint o = GetWindowOrigin();
  QPolygonF polygon;
  for (const DcPoint& p : points) polygon << QPointF(p.x - o.x + 0.5, p.y - o.y + 0.5);
  painter->drawPolygon(polygon, Qt::OddEvenFill);
}

void CPrinterContext::FillRect(const DcRect& rect, ColourRef colour) {
  if (rect.IsEmpty()) return;
  QPainter* painter = PrepareClip(nullptr);
  if (painter == nullptr) return;
  const DcPoint o = GetWindowOrigin();
  ApplyNoPen();
  ApplyBrush({BrushStyle::kSolid, colour});
  painter->drawRect(
      ToQRect({rect.left - o.x, rect.top - o.y, rect.right - o.x, rect.bottom - o.y}));
}

const QFont& CPrinterContext::CurrentQtFont() const {
  if (!m_qtFontValid || !(m_qtFontFor == GetFont())) {
    m_qtFontFor = GetFont();
    m_qtFont = MakeQtFont(m_qtFontFor, &m_printer);
    m_qtFontValid = true;
  }
  return m_qtFont;
}

TextMetrics CPrinterContext::GetTextMetrics() const {
  return QtTextMetrics(CurrentQtFont(), GetFont(), &m_printer);
}

DcSize CPrinterContext::GetTextExtent(QStringView text) const {
  return QtTextExtent(CurrentQtFont(), &m_printer, text);
}

void CPrinterContext::DrawText(int x, int y, const DcRect* clip, QStringView text) {
  if (text.isEmpty()) return;
  const DcPoint o = GetWindowOrigin();
  DcRect deviceClip;
  if (clip != nullptr) {
    deviceClip = {clip->left - o.x, clip->top - o.y, clip->right - o.x, clip->bottom - o.y};
  }
  QPainter* painter = PreparePainter(clip != nullptr ? &deviceClip : nullptr);
  if (painter == nullptr) return;
  DrawQtText(*painter, *this, CurrentQtFont(), &m_printer, x - o.x, y - o.y, text);
}

void CPrinterContext::TextOut(int x, int y, QStringView text) { DrawText(x, y, nullptr, text); }

void CPrinterContext::TextOutClipped(int x, int y, const DcRect& clip, QStringView text) {
  DrawText(x, y, &clip, text);
}

std::unique_ptr<CSavedBits> CPrinterContext::CreateSavedBits(int, int) { return nullptr; }
bool CPrinterContext::SaveBits(CSavedBits&, int, int) { return false; }
bool CPrinterContext::RestoreBits(const CSavedBits&, int, int) { return false; }

std::unique_ptr<QPrinter> MakeDefaultPrinter(const QString& pdfPath) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (!info.isNull()) return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(pdfPath);
  printer->setPageSize(QPageSize(QPageSize::A4));
  printer->setPageOrientation(QPageLayout::Portrait);
  printer->setResolution(kFallbackPrinterDpi);
  return printer;
}

}  // namespace zeph
