// The page layout of printing: the printable area from the drawing's margins, the scale and
// tile grid of a job, one tile of the drawing and the footer of one page.
#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <exception>

#include "document/document.h"
#include "document/printsettings.h"
#include "editor/zephview.h"
#include "items/drawitem.h"
#include "items/measure.h"
#include "platform/drawcontext.h"
#include "platform/printersystem.h"
#include "support/appservices.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/printer.h"
#include "support/screen.h"
#include "support/timevalue.h"

double g_printFooterTop = 0.0;
double g_printFooterHeight = 0.0;
double g_printPageOverlap = 0.0;
std::int32_t g_printOffsetX = 0;
std::int32_t g_printOffsetY = 0;

namespace {

constexpr int kLogCheckOrientation = 2651;
constexpr int kLogPrintDrawingPage = 2659;
constexpr int kLogPrintFooter = 2660;
constexpr int kLogComputePrintPages = 2662;
constexpr int kLogPrintableArea = 4115;

constexpr double kMicrometresPerInch = 25400.0;
constexpr double kCentimetresPerInch = 2.54;
constexpr int kMaxTiles = 32767;
// A drawing scaled to fit exactly can come out a rounding error wider than the paper; that
// must not cost a second page.
constexpr double kFitTolerance = 1e-9;
constexpr int kFooterGap = 2;  // pixels between the footer's two lines

CZephDoc* g_activePrintDrawing = nullptr;
CTime (*g_printClock)() = nullptr;

const std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};

QString TwoDigits(int n) {
  return n < 10 ? QStringLiteral("0") + QString::number(n) : QString::number(n);
}

// The file name without its folder and extension.
QString BareFileName(const QString& path) {
  const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
  QString name = path.mid(slash + 1);
  const qsizetype dot = name.lastIndexOf(u'.');
  if (dot > 0) name.truncate(dot);
  return name;
}

std::int32_t ClampToInt32(double v) {
  if (!(v == v)) return 0;
  return static_cast<std::int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

// Pages of one direction and the offset of a drawing smaller than the paper: false when the
// direction cannot be tiled.
bool LayOutDirection(double printed, double printable, double overlap, int dpi, int position,
                     std::int32_t& pages, std::int32_t& offset) {
  pages = 1;
  offset = 0;
  if (printed > printable + kFitTolerance) {
    pages = CountPrintTiles(printed, printable, overlap);
    return pages > 0;
  }
  const double spare = std::max(0.0, printable - printed);
  if (position == 1) offset = RoundToInt(spare * dpi / 2.0);
  if (position == 2) offset = RoundToInt(spare * dpi);
  return true;
}

}  // namespace

// ---- The active drawing and the printable area ----

CZephDoc* GetActivePrintDrawing() { return g_activePrintDrawing; }

void SetActivePrintDrawing(CZephDoc* doc) { g_activePrintDrawing = doc; }

void ComputeDrawingPrintableArea() {
  LogScope trace(kLogPrintableArea);
  const CZephDoc* doc = g_activePrintDrawing;
  if (doc == nullptr) {
    ReportGlitch(kLogPrintableArea, 1);
    return;
  }
  const CPrintSettings& settings = doc->GetPrintSettings();
  const double left =
      std::max(0.0, settings.GetLeftMargin() / kCentimetresPerInch - g_printerLeftMargin);
  const double right =
      std::max(0.0, settings.GetRightMargin() / kCentimetresPerInch - g_printerRightMargin);
  const double top =
      std::max(0.0, settings.GetTopMargin() / kCentimetresPerInch - g_printerTopMargin);
  const double bottom = std::max(
      0.0, (settings.GetFooterMargin() + settings.GetBottomMargin()) / kCentimetresPerInch -
               g_printerBottomMargin);
  // Margins wider than the paper leave nothing to print on, never a negative area.
  g_printableWidth = std::max(0, RoundToInt(g_printerDpiX * (g_printerWidthInches - left - right)));
  g_printableHeight =
      std::max(0, RoundToInt(g_printerDpiY * (g_printerHeightInches - top - bottom)));
  g_printableOrigin = {RoundToInt(g_printerDpiX * left), RoundToInt(g_printerDpiY * top)};
  g_printFooterTop = top + (g_printerHeightInches - top - bottom);
  g_printFooterHeight = settings.GetFooterMargin() / kCentimetresPerInch;
  g_printPageOverlap = settings.GetMultiPageMargin() / kCentimetresPerInch;
  trace.Exit();
}

void InstallPrintableAreaComputer() { SetPrintableAreaComputer(&ComputeDrawingPrintableArea); }

int CheckPrintOrientation() {
  LogScope trace(kLogCheckOrientation);
  zeph::PrinterDefaults defaults;
  try {
    if (!zeph::GetPrinterSystem().GetDefaults(defaults)) {
      return trace.Return(0, kLogMinorFailure, 1);
    }
  } catch (const std::exception& e) {
    LogString(QString::fromLocal8Bit(e.what()));
    return trace.Return(0, kLogMinorFailure, 2);
  }
  if (!defaults.hasOrientation) return trace.Return(0, kLogMinorFailure, 5);
  const bool printerLandscape = defaults.orientation == zeph::PageOrientation::kLandscape;
  bool drawingLandscape = true;
  if (g_activePrintDrawing == nullptr) {
    ReportGlitch(kLogCheckOrientation, 1);
  } else {
    drawingLandscape = g_activePrintDrawing->GetPrintSettings().GetLandscape() != 0;
  }
  return trace.Return(printerLandscape == drawingLandscape ? 1 : 0);
}

void ResetPrintLayoutState() {
  g_printFooterTop = 0.0;
  g_printFooterHeight = 0.0;
  g_printPageOverlap = 0.0;
  g_printOffsetX = 0;
  g_printOffsetY = 0;
  g_activePrintDrawing = nullptr;
  g_printClock = nullptr;
}

// ---- Pieces of the layout ----

int CountPrintTiles(double printedInches, double printableInches, double overlapInches) {
  if (printedInches <= printableInches + kFitTolerance) return 1;
  const double step = printableInches - overlapInches;
  if (!(step > 0.0)) return 0;
  const double pages = std::ceil((printedInches - overlapInches) / step);
  if (!(pages >= 1.0)) return 1;
  return pages >= kMaxTiles ? kMaxTiles : static_cast<int>(pages);
}

bool FormatPrintFooterText(const CPrintSettings& settings, const QString& filePath,
                           const QString& userName, CTime now, QString& out) {
  out.clear();
  const bool filePart = !filePath.isEmpty() && settings.GetPrintFilename() != 0;
  const bool namePart = settings.GetPrintName() != 0 && !userName.isEmpty();
  const bool datePart = settings.GetPrintDate() != 0;
  const bool timePart = settings.GetPrintTime() != 0;
  if (!filePart && !namePart && !datePart && !timePart) return true;
  QString text;
  if (filePart) {
    text = BareFileName(filePath);
    if (namePart || datePart || timePart) text += QStringLiteral(" printed");
  } else {
    text = QStringLiteral("Printed");
  }
  if (datePart || timePart) {
    LocalTimeFields t;
    if (!now.GetLocalFields(t) || t.month < 1 || t.month > 12) return false;
    if (datePart) {
      text += QStringLiteral(" on ") + QString::number(t.day) + u'-' +
              QString::fromLatin1(kMonthNames[static_cast<std::size_t>(t.month - 1)]) + u'-' +
              TwoDigits(t.year % 100);
    }
    if (timePart) {
      text += QStringLiteral(" at ") + QString::number(t.hour) + u':' + TwoDigits(t.minute);
    }
  }
  if (namePart) text += QStringLiteral(" for ") + userName;
  out = text;
  return true;
}

void SetPrintClock(CTime (*clock)()) { g_printClock = clock; }

// ---- The view's page layout ----

int CZephView::ComputePrintPages(zeph::CDrawContext& dc) {
  LogScope trace(kLogComputePrintPages);
  CZephDoc* doc = GetDocument();
  int minX = 0;
  int minY = 0;
  int maxX = 0;
  int maxY = 0;
  if (doc == nullptr || doc->GetExtents(nullptr, minX, minY, maxX, maxY, 1) == 0) {
    return trace.Return(0, kLogFailed, 1);
  }
  double scale = doc->GetPrintingScale();
  if (scale <= 0.0) {
    doc->ComputeExtents(nullptr, 1);
    scale = doc->GetAutomaticPrintScale();
  }
  const int dpiX = g_printerDpiX;
  const int dpiY = g_printerDpiY;
  if (dpiX <= 0 || dpiY <= 0 || !(scale > 0.0) || !std::isfinite(scale)) {
    return trace.Return(0, kLogInvalid, 3);
  }
  const double ux = scale * kMicrometresPerInch / dpiX;
  const double uy = scale * kMicrometresPerInch / dpiY;
  m_printMapping.printScaleX = ux;
  m_printMapping.printScaleY = uy;
  // Plain printer pixels from the page's origin.
  dc.SetWindowOrigin({0, 0});

  const double width = (static_cast<double>(maxX) - minX + 1.0) / ux / dpiX;
  const double height = (static_cast<double>(maxY) - minY + 1.0) / uy / dpiY;
  const double printableWidth = static_cast<double>(g_printableWidth) / dpiX;
  const double printableHeight = static_cast<double>(g_printableHeight) / dpiY;
  const CPrintSettings& settings = doc->GetPrintSettings();
  if (!LayOutDirection(width, printableWidth, g_printPageOverlap, dpiX,
                       settings.GetPageHorizontal(), m_pagesAcross, g_printOffsetX)) {
    m_pagesAcross = 1;
    return trace.Return(0, kLogInvalid, 1);
  }
  if (!LayOutDirection(height, printableHeight, g_printPageOverlap, dpiY,
                       settings.GetPageVertical(), m_pagesDown, g_printOffsetY)) {
    m_pagesDown = 1;
    return trace.Return(0, kLogInvalid, 2);
  }
  LogNumber(g_printOffsetX);
  LogNumber(g_printOffsetY);
  return trace.Return(1);
}

void CZephView::PrintDrawingPage(zeph::CDrawContext& dc, CPrintInfo& info) {
  LogScope trace(kLogPrintDrawingPage);
  LogNumber(static_cast<int>(info.currentPage));
  CZephDoc* doc = GetDocument();
  int minX = 0;
  int minY = 0;
  int maxX = 0;
  int maxY = 0;
  if (doc == nullptr || doc->GetExtents(nullptr, minX, minY, maxX, maxY, 1) == 0) {
    trace.Exit(kLogInvalid, 1);
    return;
  }
  const int across = std::max(1, m_pagesAcross);
  const int page = static_cast<int>(std::min<std::uint32_t>(info.currentPage, 0x7FFFFFFF));
  int row = (page - 1) / across;
  int column = page - across * row - 1;
  if (column < 0 || column >= across) {
    SetGlitchValue(column);
    SetGlitchValue(across);
    SetGlitchValue(page);
    ReportGlitch(kLogPrintDrawingPage, 1);
    column = 0;
  }
  if (row < 0 || row >= m_pagesDown) {
    SetGlitchValue(row);
    SetGlitchValue(m_pagesDown);
    SetGlitchValue(page);
    ReportGlitch(kLogPrintDrawingPage, 2);
    row = 0;
  }
  const double ux = m_printMapping.printScaleX;
  const double uy = m_printMapping.printScaleY;
  const double overlap = g_printPageOverlap;
  const double x = static_cast<double>(minX) - RoundToInt(g_printableOrigin.x * ux) +
                   RoundToInt(column * (g_printableWidth - g_printerDpiX * overlap) * ux) -
                   RoundToInt(g_printOffsetX * ux);
  const double y = static_cast<double>(RoundToInt(g_printableOrigin.y * uy)) + maxY -
                   RoundToInt(row * (g_printableHeight - g_printerDpiY * overlap) * uy) +
                   RoundToInt(g_printOffsetY * uy);
  m_printMapping.originX = ClampToInt32(x);
  m_printMapping.originY = ClampToInt32(y);

  dc.SetClipRect({g_printableOrigin.x, g_printableOrigin.y, g_printableOrigin.x + g_printableWidth,
                  g_printableOrigin.y + g_printableHeight});
  const int thin = info.preview ? 1 : 0;
  const int count = doc->GetItemCount();
  for (int i = 0; i < count; ++i) {
    const CDrawItem* item = doc->GetItem(i);
    if (item == nullptr || item->IsHidden() != 0 || item->IsInvisible() != 0) continue;
    item->Draw(&dc, &m_printMapping, kDrawOwnColour, thin);
  }
  trace.Exit();
}

void CZephView::PrintFooter(zeph::CDrawContext& dc, CPrintInfo& info) {
  LogScope trace(kLogPrintFooter);
  const CZephDoc* doc = GetDocument();
  if (doc == nullptr) {
    trace.Exit(kLogFailed, 1);
    return;
  }
  const CPrintSettings& settings = doc->GetPrintSettings();
  zeph::DcFont font;
  if (settings.GetFooterFont().CreateFont(&font, &dc, 100, 0) == 0) {
    trace.Exit(kLogFailed, 1);
    return;
  }
  const zeph::DcFont previous = dc.SelectFont(font);
  // Whatever way the footer ends, the context gets its font back.
  struct FontRestorer {
    zeph::CDrawContext& dc;
    const zeph::DcFont& font;
    ~FontRestorer() { dc.SelectFont(font); }
  } restorer{dc, previous};

  const int footerHeight = RoundToInt(g_printerDpiY * g_printFooterHeight);
  const int lineHeight = GetLineHeight(dc);
  if (lineHeight > footerHeight) {
    trace.Exit(kLogHandled, 2);
    return;
  }
  const int left = g_printableOrigin.x;
  const int right = left + g_printableWidth;
  int y = RoundToInt(g_printerDpiY * g_printFooterTop) + footerHeight - lineHeight;
  const bool scaleLine = settings.GetPrintScale() != 0;
  if (scaleLine) y -= lineHeight + kFooterGap;

  int textAlign = kAlignLeft;
  int numberAlign = kAlignRight;
  if (settings.GetFooterAlignment() == 1) {
    textAlign = kAlignCentre;
  } else if (settings.GetFooterAlignment() == 2) {
    textAlign = kAlignRight;
    numberAlign = kAlignLeft;
  }

  const CTime now = g_printClock != nullptr ? g_printClock() : CTime::GetCurrentTime();
  QString text;
  if (!FormatPrintFooterText(settings, doc->GetFilePath(), g_userName, now, text)) {
    trace.Exit(kLogMinorFailure, 6);
    return;
  }
  SetTextColourUi(dc, 0);
  SetOpaqueBkColourUi(dc, 15);
  if (!text.isEmpty()) DrawTextInBox(dc, left, y, text, right, textAlign);

  const std::int64_t pages = static_cast<std::int64_t>(m_pagesAcross) * m_pagesDown;
  if (pages > 1) {
    const QString number = QStringLiteral("Page ") + QString::number(info.currentPage) +
                           QStringLiteral(" of ") + QString::number(pages);
    DrawTextInBox(dc, left, y, number, right, numberAlign);
  }
  if (scaleLine) {
    y += lineHeight + kFooterGap;
    const double scale = doc->GetPrintingScale();
    const double world = doc->GetRealWorldScale();
    QString one;
    QString other;
    FormatLength(1.0, one, 64);
    QString line;
    if (scale <= 0.0) {
      FormatLength(doc->GetAutomaticPrintScale() * world, other, 64);
      line = QStringLiteral("Automatic scale: ") + one + QStringLiteral(" to ") + other;
    } else {
      FormatLength(scale * world, other, 64);
      line = QStringLiteral("Scale: ") + one + QStringLiteral(" to ") + other;
    }
    DrawTextInBox(dc, left, y, line, right, textAlign);
  }
  trace.Exit();
}
