#include "editor/zephview.h"

#include <QPageLayout>
#include <QPrinter>
#include <algorithm>

#include "document/document.h"
#include "document/printsettings.h"
#include "editor/viewframe.h"
#include "platform/drawcontext.h"
#include "platform/qt/printercontext.h"
#include "platform/qt/qtprintersystem.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/printer.h"

namespace {

constexpr int kLogOnDraw = 2602;
constexpr int kLogFilePrintPreview = 2653;
constexpr int kLogFilePrint = 2654;
constexpr int kLogPreparePrinting = 2656;
constexpr int kLogOnPrint = 2657;

IViewFrame* g_viewFrame = nullptr;

// Turns the printer to the drawing's paper and measures it again, for the restarted job.
void ApplyPrintOrientation(const CZephDoc* doc) {
  const int landscape = doc != nullptr ? doc->GetPrintSettings().GetLandscape() : 1;
  SetPrinterOrientation(landscape);
}

}  // namespace

// ---- The frame ----

IViewFrame& GetNullViewFrame() {
  static IViewFrame frame;
  return frame;
}

IViewFrame& GetViewFrame() { return g_viewFrame != nullptr ? *g_viewFrame : GetNullViewFrame(); }

void SetViewFrame(IViewFrame* frame) { g_viewFrame = frame; }

// ---- The view ----

CZephView::CZephView(QWidget* parent) : QWidget(parent) { InstallPrintableAreaComputer(); }

CZephView::~CZephView() = default;

void CZephView::OnDraw(zeph::CDrawContext& /*dc*/) { ReportGlitch(kLogOnDraw, 0); }

// The page-continuation rule of a plain print loop does not apply: the page count decides.
void CZephView::OnPrepareDC(zeph::CDrawContext& /*dc*/, CPrintInfo* /*info*/) {}

void CZephView::OnBeginPrinting(zeph::CDrawContext& /*dc*/, CPrintInfo& /*info*/) {}

void CZephView::OnEndPrinting(zeph::CDrawContext& /*dc*/, CPrintInfo& /*info*/) { update(); }

bool CZephView::OnFilePrint(int commandId) {
  LogScope trace(kLogFilePrint);
  if (commandId != kIdFilePrint) {
    SetGlitchValue(commandId);
    ReportGlitch(kLogFilePrint, 1);
  }
  m_restartPending = 0;
  RunPrintJob(false);
  if (m_restartPending != 0) {
    ApplyPrintOrientation(GetDocument());
    MeasurePrinter();
    RunPrintJob(false);
  }
  return trace.Return(true);
}

bool CZephView::OnFilePrintPreview(int commandId) {
  LogScope trace(kLogFilePrintPreview);
  // The editing view's preview command and the start screen's own both show the preview.
  if (commandId != kIdEditorPrintPreview && commandId != kIdFilePrintPreview) {
    SetGlitchValue(commandId);
    ReportGlitch(kLogFilePrintPreview, 1);
  }
  if (PreparePrintPreview() == 0) return trace.Return(true, kLogFailed, 1);
  GetViewFrame().OnFilePrintPreview(*this);
  return trace.Return(true);
}

bool CZephView::OnPreparePrinting(CPrintInfo& info) {
  LogScope trace(kLogPreparePrinting);
  if (GetPrinterDC(nullptr) == nullptr) return trace.Return(false, kLogFailed, 1);
  CZephDoc* doc = GetDocument();
  int landscape = 1;
  if (doc == nullptr) {
    ReportGlitch(kLogPreparePrinting, 2);
  } else {
    landscape = doc->GetPrintSettings().GetLandscape();
    SetActivePrintDrawing(doc);
  }
  SetPrinterOrientation(landscape);
  MeasurePrinter();
  // Measuring opens the printer anew: take its context again.
  zeph::CDrawContext* dc = GetPrinterDC(nullptr);
  bool result = dc != nullptr && ComputePrintPages(*dc) != 0;
  if (!result) {
    update();
    return trace.Return(false, kLogFailed, 3);
  }
  info.choices.maxPage = static_cast<std::uint32_t>(m_pagesAcross) * m_pagesDown;
  info.choices.preview = info.preview;
  if (!info.preview && m_restartPending != 0) info.direct = true;
  result = info.preview || GetPrintJobDriver().DoPreparePrinting(info);
  if (result && !info.preview) {
    if (m_restartPending != 0) {
      m_restartRecord.Restore(info.choices);
      m_restartPending = 0;
    } else if (CheckPrintOrientation() == 0) {
      m_restartPending = 1;
      m_restartRecord.Save(info.choices);
      return trace.Return(false, kLogOk, 1);
    } else {
      // The dialog may have chosen another printer or paper.
      MeasureOpenPrinter();
      dc = GetPrinterDC(nullptr);
      result = dc != nullptr && ComputePrintPages(*dc) != 0;
    }
  }
  if (!result) update();
  return trace.Return(result);
}

void CZephView::OnPrint(zeph::CDrawContext& dc, CPrintInfo& info) {
  LogScope trace(kLogOnPrint);
  const zeph::DcRect clip = dc.GetClipBox();
  PrintFooter(dc, info);
  PrintDrawingPage(dc, info);
  if (!clip.IsEmpty()) {
    dc.SetClipRect(clip);
  } else {
    dc.ResetClip();
  }
  LimitMaxPageToToPage(info.choices);
  trace.Exit();
}

bool CZephView::RunPrintJob(bool preview) {
  CPrintInfo info;
  info.preview = preview;
  if (!OnPreparePrinting(info)) return false;
  if (preview) return true;
  // The grid laid out after the dialog decides the pages, and the chosen range keeps within it.
  const std::uint32_t pages = static_cast<std::uint32_t>(m_pagesAcross) * m_pagesDown;
  info.choices.maxPage = pages;
  const std::uint32_t from = std::max<std::uint32_t>(info.choices.fromPage, info.minPage);
  const std::uint32_t to = std::min<std::uint32_t>(info.choices.toPage, pages);
  if (from > to) {
    // Every chosen page lies beyond the drawing: no empty job is sent to the printer.
    update();
    return false;
  }
  IPrintJobDriver& driver = GetPrintJobDriver();
  zeph::CDrawContext* dc = driver.BeginJob(info);
  if (dc == nullptr) {
    update();
    return false;
  }
  OnBeginPrinting(*dc, info);
  bool aborted = false;
  for (std::uint32_t page = from; page <= to && page <= info.choices.maxPage; ++page) {
    info.currentPage = page;
    OnPrepareDC(*dc, &info);
    if (!driver.StartPage(static_cast<int>(page))) {
      aborted = true;
      break;
    }
    OnPrint(*dc, info);
    driver.EndPage();
  }
  driver.EndJob(aborted);
  OnEndPrinting(*dc, info);
  return !aborted;
}

// ---- Print preview ----

int CZephView::PreparePrintPreview() {
  CPrintInfo info;
  info.preview = true;
  if (!OnPreparePrinting(info)) return 0;
  return m_pagesAcross * m_pagesDown;
}

void CZephView::DrawPrintPage(zeph::CDrawContext& dc, int page, bool preview) {
  CPrintInfo info;
  info.preview = preview;
  info.choices.preview = preview;
  info.choices.maxPage = static_cast<std::uint32_t>(m_pagesAcross) * m_pagesDown;
  info.currentPage = static_cast<std::uint32_t>(std::max(1, page));
  OnPrepareDC(dc, &info);
  OnPrint(dc, info);
}

namespace {

// The printer's measures and the printable area, which a preview at its own resolution
// changes while it draws and gives back afterwards.
struct PrintMeasures {
  std::int32_t dpiX = g_printerDpiX;
  std::int32_t dpiY = g_printerDpiY;
  zeph::DcPoint origin = g_printableOrigin;
  std::int32_t width = g_printableWidth;
  std::int32_t height = g_printableHeight;
  std::int32_t offsetX = g_printOffsetX;
  std::int32_t offsetY = g_printOffsetY;

  void Restore() const {
    g_printerDpiX = dpiX;
    g_printerDpiY = dpiY;
    g_printableOrigin = origin;
    g_printableWidth = width;
    g_printableHeight = height;
    g_printOffsetX = offsetX;
    g_printOffsetY = offsetY;
  }
};

}  // namespace

void CZephView::PaintPrintPreview(QPrinter& printer, int dpi) {
  const int pages = PreparePrintPreview();
  if (pages <= 0) return;
  // The preview shows the pages on the shared printer's paper.
  if (auto* device = dynamic_cast<zeph::CQtPrinterDevice*>(g_printerDC.get())) {
    printer.setPageLayout(device->printer().pageLayout());
  }
  // Arcs are set pixel by pixel and thin lines are one pixel wide: a page drawn at the
  // printer's resolution and scaled down to the screen loses both. The shapes are drawn at
  // the resolution at which the page is shown instead, with the printed job's scale and tile
  // grid and its printable area in the same inches. Texts, whose sizes are whole pixels, are
  // laid out at the printer's resolution as printed and drawn scaled to the shown size.
  const PrintMeasures printed;
  const CViewMapping printedMapping = m_printMapping;
  if (dpi <= 0) dpi = g_printerDpiX;
  printer.setResolution(dpi);
  zeph::CPrinterContext context(printer);
  const bool ownResolution = dpi != printed.dpiX || dpi != printed.dpiY;
  const auto useShownResolution = [&] {
    g_printerDpiX = dpi;
    g_printerDpiY = dpi;
    ComputePrintableArea();
    m_printMapping.printScaleX = printedMapping.printScaleX * printed.dpiX / dpi;
    m_printMapping.printScaleY = printedMapping.printScaleY * printed.dpiY / dpi;
    g_printOffsetX = RoundToInt(static_cast<double>(printed.offsetX) * dpi / printed.dpiX);
    g_printOffsetY = RoundToInt(static_cast<double>(printed.offsetY) * dpi / printed.dpiY);
    context.SetPreviewPass(zeph::CPrinterContext::PreviewPass::kShapes);
    context.SetWindowOrigin({0, 0});
  };
  const auto usePrinterResolution = [&] {
    printed.Restore();
    m_printMapping = printedMapping;
    context.SetPreviewPass(zeph::CPrinterContext::PreviewPass::kTexts, printed.dpiY);
    context.SetWindowOrigin({0, 0});
  };
  if (context.BeginDocument()) {
    for (int page = 1; page <= pages; ++page) {
      if (page > 1 && !context.NewPage()) break;
      if (ownResolution) {
        useShownResolution();
        DrawPrintPage(context, page, true);
        usePrinterResolution();
      }
      DrawPrintPage(context, page, true);
    }
    context.EndDocument();
  }
  printed.Restore();
  m_printMapping = printedMapping;
}
