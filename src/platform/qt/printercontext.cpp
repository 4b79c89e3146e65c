#include "platform/qt/printercontext.h"

#include "platform/pdfwriter.h"
#include "platform/qt/qtfont.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>

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

// Where the drawing calls land: QPainter on the printer, or our PDF writer.
class CPrintSurface {
 public:
  virtual ~CPrintSurface() = default;
  virtual bool NewPage() = 0;
  virtual bool End() = 0;
  virtual void Abort() = 0;
  virtual void SetClip(const DcRect& clip) = 0;
  virtual void SetPen(const DcPen& pen, bool flatCap) = 0;
  virtual void SetNoPen() = 0;
  virtual void SetBrush(const DcBrush& brush) = 0;
  virtual void Line(QPointF a, QPointF b) = 0;
  virtual void Rect(const DcRect& rect) = 0;
  virtual void EllipseIn(const QRectF& box) = 0;
  // start and sweep in degrees counter-clockwise on the page
  virtual void ArcIn(const QRectF& box, double start, double sweep) = 0;
  virtual void Bezier(const std::array<QPointF, 4>& points) = 0;
  virtual void PolygonOf(const QPolygonF& polygon) = 0;
  virtual void Text(const CDrawContext& dc, const QFont& font, const QPaintDevice* device, int x,
                    int y, QStringView text) = 0;
  // Scales what follows on the page (a preview's texts pass); files are never scaled.
  virtual void SetScale(double /*scale*/) {}
};

namespace {

class CPainterSurface final : public CPrintSurface {
 public:
  explicit CPainterSurface(QPrinter& printer) : m_printer(printer) {}
  bool Begin() {
    if (!m_painter.begin(&m_printer)) return false;
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    return true;
  }
  bool NewPage() override { return m_printer.newPage(); }
  bool End() override { return m_painter.end(); }
  void SetScale(double scale) override {
    m_scaled = scale != 1.0;
    m_painter.setWorldTransform(QTransform::fromScale(scale, scale));
  }
  void Abort() override {
    m_printer.abort();
    m_painter.end();
  }
  void SetClip(const DcRect& clip) override { m_painter.setClipRect(ToQRect(clip)); }
  void SetPen(const DcPen& pen, bool flatCap) override {
    QPen qpen = MakeQtPen(pen);
    if (flatCap) qpen.setCapStyle(Qt::FlatCap);
    m_painter.setPen(qpen);
  }
  void SetNoPen() override { m_painter.setPen(Qt::NoPen); }
  void SetBrush(const DcBrush& brush) override {
    if (brush.style == BrushStyle::kSolid) {
      m_painter.setBrush(ToQColor(brush.colour));
    } else {
      m_painter.setBrush(Qt::NoBrush);
    }
  }
  void Line(QPointF a, QPointF b) override { m_painter.drawLine(a, b); }
  void Rect(const DcRect& rect) override { m_painter.drawRect(ToQRect(rect)); }
  void EllipseIn(const QRectF& box) override { m_painter.drawEllipse(box); }
  void ArcIn(const QRectF& box, double start, double sweep) override {
    QPainterPath path;
    path.arcMoveTo(box, start);
    path.arcTo(box, start, sweep);
    m_painter.strokePath(path, m_painter.pen());
  }
  void Bezier(const std::array<QPointF, 4>& points) override {
    QPainterPath path(points[0]);
    path.cubicTo(points[1], points[2], points[3]);
    m_painter.strokePath(path, m_painter.pen());
  }
  void PolygonOf(const QPolygonF& polygon) override {
    m_painter.drawPolygon(polygon, Qt::OddEvenFill);
  }
  void Text(const CDrawContext& dc, const QFont& font, const QPaintDevice* device, int x, int y,
            QStringView text) override {
    if (!m_scaled) return DrawQtText(m_painter, dc, font, device, x, y, text);
    // Scaled, the glyphs are filled as outlines, as a reader fills the printed page's.
    const QString string = text.toString();
    const QtTextPlacement placement = PlaceQtText(dc, font, device, x, y, string);
    if (dc.GetBkMode() == BkMode::kOpaque) {
      m_painter.fillPath(PathOf(placement.place.map(QPolygonF(QRectF(placement.box)))),
                         ToQColor(dc.GetBkColour()));
    }
    QPainterPath glyphs;
    glyphs.setFillRule(Qt::WindingFill);
    glyphs.addText(placement.baseline, font, string);
    m_painter.fillPath(placement.place.map(glyphs), ToQColor(dc.GetTextColour()));
  }

 private:
  static QPainterPath PathOf(const QPolygonF& polygon) {
    QPainterPath path;
    path.addPolygon(polygon);
    return path;
  }

  QPrinter& m_printer;
  QPainter m_painter;
  bool m_scaled = false;
};

// Pages written as PDF operators in printer pixels, y down, under one transformation to
// points; the clip is the only nested graphics state, so a new clip forgets the colours and
// line settings and they are given again before the next drawing.
class CPdfSurface final : public CPrintSurface {
 public:
  explicit CPdfSurface(QPrinter& printer)
      : m_printer(printer), m_grey(printer.colorMode() == QPrinter::GrayScale) {}

  bool Begin() {
    if (!m_writer.Open(m_printer.outputFileName(), m_printer.docName())) return false;
    StartPage();
    return true;
  }
  bool NewPage() override {
    EndPageContent();
    StartPage();
    return true;
  }
  bool End() override {
    EndPageContent();
    return m_writer.Finish();
  }
  void Abort() override { m_writer.Abandon(); }

  void SetClip(const DcRect& clip) override {
    Out() += "Q q\n";
    Number(clip.left);
    Number(clip.top);
    Number(clip.right - clip.left);
    Number(clip.bottom - clip.top);
    Out() += "re\nW n\n";
    ForgetGraphicsState();
  }
  void SetPen(const DcPen& pen, bool flatCap) override {
    m_pen = true;
    m_penColour = pen.colour;
    m_penWidth = std::max(1, pen.width);
    m_cap = flatCap ? 0 : 1;
    m_join = pen.style == PenStyle::kGeometricFlat ? 2 : 1;
  }
  void SetNoPen() override { m_pen = false; }
  void SetBrush(const DcBrush& brush) override {
    m_brush = brush.style == BrushStyle::kSolid;
    m_brushColour = brush.colour;
  }

  // A path's colours and line settings are given before it: nothing but its painting may
  // follow a path.
  void Line(QPointF a, QPointF b) override {
    if (!m_pen) return;
    GiveStroke();
    Point(a);
    Out() += "m ";
    Point(b);
    Out() += "l S\n";
  }
  void Rect(const DcRect& rect) override {
    GivePaint();
    Number(rect.left);
    Number(rect.top);
    Number(rect.right - rect.left);
    Number(rect.bottom - rect.top);
    Out() += "re\n";
    Paint(false);
  }
  void EllipseIn(const QRectF& box) override {
    GivePaint();
    ArcPath(box, 0, 360);
    Out() += "h\n";
    Paint(true);
  }
  void ArcIn(const QRectF& box, double start, double sweep) override {
    if (!m_pen) return;
    GiveStroke();
    ArcPath(box, start, sweep);
    Out() += "S\n";
  }
  void Bezier(const std::array<QPointF, 4>& points) override {
    if (!m_pen) return;
    GiveStroke();
    Point(points[0]);
    Out() += "m\n";
    for (std::size_t i = 1; i < 4; ++i) Point(points[i]);
    Out() += "c\nS\n";
  }
  void PolygonOf(const QPolygonF& polygon) override {
    GivePaint();
    PolygonPath(polygon);
    Paint(true);
  }
  // Text goes on the page as the outlines of its glyphs, placed as on the screen; the file
  // then needs no fonts and shows the same letters on every reader.
  void Text(const CDrawContext& dc, const QFont& font, const QPaintDevice* device, int x, int y,
            QStringView text) override {
    const QString string = text.toString();
    const QtTextPlacement placement = PlaceQtText(dc, font, device, x, y, string);
    if (dc.GetBkMode() == BkMode::kOpaque) {
      GiveFill(dc.GetBkColour());
      PolygonPath(placement.place.map(QPolygonF(QRectF(placement.box))));
      Out() += "f\n";
    }
    QPainterPath glyphs;
    glyphs.setFillRule(Qt::WindingFill);
    glyphs.addText(placement.baseline, font, string);
    FillPath(placement.place.map(glyphs), dc.GetTextColour());
  }

 private:
  std::string& Out() { return m_writer.Content(); }
  void Number(double value) {
    CPdfWriter::AppendNumber(Out(), value);
    Out() += ' ';
  }
  void Point(QPointF p) {
    Number(p.x());
    Number(p.y());
  }

  void StartPage() {
    const QPageLayout layout = m_printer.pageLayout();
    const QRectF paper = layout.fullRect(QPageLayout::Point);
    const QRectF page = m_printer.fullPage() ? paper : layout.paintRect(QPageLayout::Point);
    m_writer.BeginPage(paper.width(), paper.height());
    const double scale = 72.0 / std::max(1, m_printer.resolution());
    Out() += "q\n";
    Number(scale);
    Out() += "0 0 ";
    Number(-scale);
    Number(page.left() - paper.left());
    Number(paper.height() - (page.top() - paper.top()));
    Out() += "cm\nq\n";
    ForgetGraphicsState();
  }
  void EndPageContent() { Out() += "Q\nQ\n"; }
  void ForgetGraphicsState() {
    m_givenStroke.reset();
    m_givenFill.reset();
    m_givenWidth = -1;
    m_givenCap = -1;
    m_givenJoin = -1;
  }

  void Colour(ColourRef colour, bool stroke) {
    if (m_grey) {
      const int grey = (RedOf(colour) * 11 + GreenOf(colour) * 16 + BlueOf(colour) * 5) / 32;
      Number(grey / 255.0);
      Out() += stroke ? "G\n" : "g\n";
      return;
    }
    Number(RedOf(colour) / 255.0);
    Number(GreenOf(colour) / 255.0);
    Number(BlueOf(colour) / 255.0);
    Out() += stroke ? "RG\n" : "rg\n";
  }
  void GiveStroke() {
    if (m_givenStroke != m_penColour) {
      Colour(m_penColour, true);
      m_givenStroke = m_penColour;
    }
    if (m_givenWidth != m_penWidth) {
      Out() += std::to_string(m_penWidth) + " w\n";
      m_givenWidth = m_penWidth;
    }
    if (m_givenCap != m_cap) {
      Out() += std::to_string(m_cap) + " J\n";
      m_givenCap = m_cap;
    }
    if (m_givenJoin != m_join) {
      Out() += std::to_string(m_join) + " j\n";
      m_givenJoin = m_join;
    }
  }
  void GiveFill(ColourRef colour) {
    if (m_givenFill == colour) return;
    Colour(colour, false);
    m_givenFill = colour;
  }
  // The brush and the pen, given before a path that Paint paints.
  void GivePaint() {
    if (m_brush) GiveFill(m_brushColour);
    if (m_pen) GiveStroke();
  }
  // Paints the path just written with the brush and the pen, filling by the even-odd rule
  // where asked, as the painter does for polygons and ellipses.
  void Paint(bool evenOdd) {
    const bool fill = m_brush;
    if (fill && m_pen) {
      Out() += evenOdd ? "B*\n" : "B\n";
    } else if (fill) {
      Out() += evenOdd ? "f*\n" : "f\n";
    } else if (m_pen) {
      Out() += "S\n";
    } else {
      Out() += "n\n";
    }
  }
  // A closed path through the polygon's corners.
  void PolygonPath(const QPolygonF& polygon) {
    for (qsizetype i = 0; i < polygon.size(); ++i) {
      Point(polygon[i]);
      Out() += i == 0 ? "m\n" : "l\n";
    }
    Out() += "h\n";
  }
  void FillPath(const QPainterPath& path, ColourRef colour) {
    if (path.isEmpty()) return;
    GiveFill(colour);
    for (int i = 0; i < path.elementCount(); ++i) {
      const QPainterPath::Element e = path.elementAt(i);
      Point(QPointF(e.x, e.y));
      switch (e.type) {
        case QPainterPath::MoveToElement:
          Out() += "m\n";
          break;
        case QPainterPath::LineToElement:
          Out() += "l\n";
          break;
        case QPainterPath::CurveToElement:
          break;
        case QPainterPath::CurveToDataElement:
          // The second of the two points after a curve's first control point ends it.
          if (i > 0 && path.elementAt(i - 1).type == QPainterPath::CurveToDataElement) {
            Out() += "c\n";
          }
          break;
      }
    }
    Out() += path.fillRule() == Qt::OddEvenFill ? "f*\n" : "f\n";
  }
  // The arc of the ellipse in box as cubic curves of at most a quarter turn each.
  void ArcPath(const QRectF& box, double start, double sweep) {
    const double a = box.width() / 2;
    const double b = box.height() / 2;
    const double cx = box.center().x();
    const double cy = box.center().y();
    const double t0 = start * std::numbers::pi / 180;
    const double span = sweep * std::numbers::pi / 180;
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / 90 - 1e-9)));
    const double step = span / pieces;
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    auto at = [&](double t) { return QPointF(cx + a * std::cos(t), cy - b * std::sin(t)); };
    auto slope = [&](double t) { return QPointF(-a * std::sin(t), -b * std::cos(t)); };
    Point(at(t0));
    Out() += "m\n";
    for (int i = 0; i < pieces; ++i) {
      const double from = t0 + step * i;
      const double to = i + 1 == pieces ? t0 + span : from + step;
      const QPointF p0 = at(from);
      const QPointF p3 = at(to);
      Point(p0 + k * slope(from));
      Point(p3 - k * slope(to));
      Point(p3);
      Out() += "c\n";
    }
  }

  QPrinter& m_printer;
  const bool m_grey;
  CPdfWriter m_writer;
  // What the next drawing asks for.
  bool m_pen = true;
  ColourRef m_penColour = 0;
  int m_penWidth = 1;
  int m_cap = 1;
  int m_join = 1;
  bool m_brush = false;
  ColourRef m_brushColour = 0;
  // What the page's graphics state holds.
  std::optional<ColourRef> m_givenStroke;
  std::optional<ColourRef> m_givenFill;
  int m_givenWidth = -1;
  int m_givenCap = -1;
  int m_givenJoin = -1;
};

// A printer that writes a PDF file; a preview's printer draws on its pages instead.
bool WritesPdfFile(const QPrinter& printer) {
  const QPaintEngine* engine = printer.paintEngine();
  return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty() &&
         engine != nullptr && engine->type() == QPaintEngine::Pdf;
}

}  // namespace

CPrinterContext::CPrinterContext(QPrinter& printer) : m_printer(printer) {}

// A job still open is finished with what was drawn, so nothing drawn is lost.
CPrinterContext::~CPrinterContext() {
  if (IsDocumentOpen()) m_surface->End();
}

bool CPrinterContext::BeginDocument() {
  if (IsDocumentOpen()) return false;
  if (WritesPdfFile(m_printer)) {
    auto pdf = std::make_unique<CPdfSurface>(m_printer);
    if (!pdf->Begin()) return false;
    m_surface = std::move(pdf);
  } else {
    auto painter = std::make_unique<CPainterSurface>(m_printer);
    if (!painter->Begin()) return false;
    m_surface = std::move(painter);
  }
  ForgetAppliedState();
  return true;
}

bool CPrinterContext::NewPage() {
  if (!IsDocumentOpen()) return false;
  const bool started = m_surface->NewPage();
  ForgetAppliedState();
  return started;
}

bool CPrinterContext::EndDocument() {
  if (!IsDocumentOpen()) return false;
  const bool ended = m_surface->End();
  m_surface.reset();
  ForgetAppliedState();
  m_capsValid = false;
  return ended;
}

void CPrinterContext::AbortDocument() {
  if (!IsDocumentOpen()) return;
  m_surface->Abort();
  m_surface.reset();
  ForgetAppliedState();
  m_capsValid = false;
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

bool CPrinterContext::IsDocumentOpen() const { return m_surface != nullptr; }

void CPrinterContext::SetPreviewPass(PreviewPass pass, int printerDpi) {
  m_pass = pass;
  m_passDpi = pass == PreviewPass::kTexts && printerDpi > 0 ? printerDpi : 0;
  // A clip belongs to the pixels of the pass that set it.
  m_clipped = false;
  m_capsValid = false;
  m_qtFontValid = false;
  if (IsDocumentOpen()) {
    m_surface->SetScale(m_passDpi > 0 ? static_cast<double>(m_printer.resolution()) / m_passDpi
                                      : 1.0);
  }
  ForgetAppliedState();
}

DeviceCaps CPrinterContext::QueryDeviceCaps() const {
  if (m_capsValid) return m_caps;
  DeviceCaps caps;
  caps.dpiX = m_passDpi > 0 ? m_passDpi : m_printer.resolution();
  caps.dpiY = caps.dpiX;
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

CPrintSurface* CPrinterContext::PrepareClip(const DcRect* extraClip) {
  if (!IsDocumentOpen()) return nullptr;
  DcRect visible = DeviceClip();
  if (extraClip != nullptr) visible = Intersect(visible, *extraClip);
  if (visible.IsEmpty()) return nullptr;
  if (!m_clipApplied || !(visible == m_appliedClip)) {
    m_surface->SetClip(visible);
    m_appliedClip = visible;
    m_clipApplied = true;
  }
  return m_surface.get();
}

CPrintSurface* CPrinterContext::PrepareSurface(const DcRect* extraClip) {
  CPrintSurface* surface = PrepareClip(extraClip);
  if (surface == nullptr) return nullptr;
  ApplyPen(GetPen(), GetPen().style == PenStyle::kGeometricFlat);
  ApplyBrush(GetBrush());
  return surface;
}

void CPrinterContext::ApplyPen(const DcPen& pen, bool flatCap) {
  if (m_penApplied == AppliedPen::kPen && m_appliedPen == pen && m_appliedFlatCap == flatCap) {
    return;
  }
  m_surface->SetPen(pen, flatCap);
  m_penApplied = AppliedPen::kPen;
  m_appliedPen = pen;
  m_appliedFlatCap = flatCap;
}

void CPrinterContext::ApplyNoPen() {
  if (m_penApplied == AppliedPen::kNone) return;
  m_surface->SetNoPen();
  m_penApplied = AppliedPen::kNone;
}

void CPrinterContext::ApplyBrush(const DcBrush& brush) {
  // A null brush's colour means nothing: any two null brushes are the same.
  if (m_brushApplied && m_appliedBrush.style == brush.style &&
      (brush.style == BrushStyle::kNull || m_appliedBrush.colour == brush.colour)) {
    return;
  }
  m_surface->SetBrush(brush);
  m_appliedBrush = brush;
  m_brushApplied = true;
}

void CPrinterContext::LineTo(int x, int y) {
  const DcPoint from = GetCurrentPosition();
  SetCurrentPosition({x, y});
  if (m_pass == PreviewPass::kTexts) return;
  const DcPoint o = GetWindowOrigin();
  QPointF a(double(from.x) - o.x + 0.5, double(from.y) - o.y + 0.5);
  QPointF b(double(x) - o.x + 0.5, double(y) - o.y + 0.5);
  const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
  if (length == 0) return;
  // A line fills nothing, so the brush is left as it is.
  CPrintSurface* surface = PrepareClip(nullptr);
  if (surface == nullptr) return;
  const bool thin = GetPen().width <= 1;
  if (thin) {
    // Cover the start pixel and leave out the end pixel, as on the screen.
    const QPointF half((b.x() - a.x()) / length / 2, (b.y() - a.y()) / length / 2);
    a -= half;
    b -= half;
  }
  ApplyPen(GetPen(), thin || GetPen().style == PenStyle::kGeometricFlat);
  surface->Line(a, b);
}

void CPrinterContext::SetPixel(int x, int y, ColourRef colour) {
  if (m_pass == PreviewPass::kTexts) return;
  CPrintSurface* surface = PrepareClip(nullptr);
  if (surface == nullptr) return;
  const DcPoint o = GetWindowOrigin();
  // A filled square without an outline, as FillRect draws it, keeping the pen off and the
  // brush at this colour for the next pixel.
  ApplyNoPen();
  ApplyBrush({BrushStyle::kSolid, colour});
  surface->Rect({x - o.x, y - o.y, x - o.x + 1, y - o.y + 1});
}

void CPrinterContext::DrawLineWithEnd(const DcPen& pen, int x1, int y1, int x2, int y2) {
  // A round pen two pixels wide or more ends in a disc of radius one pixel or more about the
  // end pixel's centre, which holds the whole end pixel: a square set there shows nothing
  // more, and a large drawing's squares are tens of thousands of shapes for a PDF viewer.
  if (pen.style == PenStyle::kSolid && pen.width >= 2 && (x1 != x2 || y1 != y2)) {
    const DcPen previous = SelectPen(pen);
    MoveTo(x1, y1);
    LineTo(x2, y2);
    SelectPen(previous);
    return;
  }
  CDrawContext::DrawLineWithEnd(pen, x1, y1, x2, y2);
}

void CPrinterContext::Ellipse(int left, int top, int right, int bottom) {
  if (m_pass == PreviewPass::kTexts) return;
  const DcPoint o = GetWindowOrigin();
  const QRectF box = QRectF(QPointF(left - o.x + 0.5, top - o.y + 0.5),
                            QPointF(right - o.x - 0.5, bottom - o.y - 0.5))
                         .normalized();
  if (left == right || top == bottom) return;
  CPrintSurface* surface = PrepareSurface();
  if (surface == nullptr) return;
  surface->EllipseIn(box);
}

bool CPrinterContext::Arc(int left, int top, int right, int bottom, int startX, int startY,
                          int endX, int endY) {
  if (left == right || top == bottom) return false;
  if (m_pass == PreviewPass::kTexts) return true;
  const DcPoint o = GetWindowOrigin();
  const QRectF box = QRectF(QPointF(left - o.x + 0.5, top - o.y + 0.5),
                            QPointF(right - o.x - 0.5, bottom - o.y - 0.5))
                         .normalized();
  CPrintSurface* surface = PrepareSurface();
  if (surface == nullptr) return true;
  const double start = ParameterAngle(box, startX - o.x + 0.5, startY - o.y + 0.5);
  const double end = ParameterAngle(box, endX - o.x + 0.5, endY - o.y + 0.5);
  double sweep = std::fmod(end - start, 360.0);
  if (sweep <= 0) sweep += 360;
  surface->ArcIn(box, start, sweep);
  return true;
}

void CPrinterContext::PolyBezier(const std::array<DcPoint, 4>& points) {
  if (m_pass == PreviewPass::kTexts) return;
  CPrintSurface* surface = PrepareSurface();
  if (surface == nullptr) return;
  const DcPoint o = GetWindowOrigin();
  std::array<QPointF, 4> at;
  for (std::size_t i = 0; i < 4; ++i) {
    at[i] = QPointF(points[i].x - o.x + 0.5, points[i].y - o.y + 0.5);
  }
  surface->Bezier(at);
}

void CPrinterContext::Polygon(std::span<const DcPoint> points) {
  if (points.size() < 2 || m_pass == PreviewPass::kTexts) return;
  CPrintSurface* surface = PrepareSurface();
  if (surface == nullptr) return;
  const DcPoint o = GetWindowOrigin();
  QPolygonF polygon;
  for (const DcPoint& p : points) polygon << QPointF(p.x - o.x + 0.5, p.y - o.y + 0.5);
  surface->PolygonOf(polygon);
}

void CPrinterContext::FillRect(const DcRect& rect, ColourRef colour) {
  if (rect.IsEmpty() || m_pass == PreviewPass::kTexts) return;
  CPrintSurface* surface = PrepareClip(nullptr);
  if (surface == nullptr) return;
  const DcPoint o = GetWindowOrigin();
  ApplyNoPen();
  ApplyBrush({BrushStyle::kSolid, colour});
  surface->Rect({rect.left - o.x, rect.top - o.y, rect.right - o.x, rect.bottom - o.y});
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
  if (text.isEmpty() || m_pass == PreviewPass::kShapes) return;
  const DcPoint o = GetWindowOrigin();
  DcRect deviceClip;
  if (clip != nullptr) {
    deviceClip = {clip->left - o.x, clip->top - o.y, clip->right - o.x, clip->bottom - o.y};
  }
  CPrintSurface* surface = PrepareSurface(clip != nullptr ? &deviceClip : nullptr);
  if (surface == nullptr) return;
  surface->Text(*this, CurrentQtFont(), &m_printer, x - o.x, y - o.y, text);
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
