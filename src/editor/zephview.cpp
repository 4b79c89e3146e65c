#include "editor/zephview.h"

#include "editor/viewframe.h"

namespace {
IViewFrame* g_viewFrame = nullptr;
}  // namespace

IViewFrame& GetNullViewFrame() {
  static IViewFrame frame;
  return frame;
}

IViewFrame& GetViewFrame() { return g_viewFrame != nullptr ? *g_viewFrame : GetNullViewFrame(); }

void SetViewFrame(IViewFrame* frame) { g_viewFrame = frame; }

CZephView::CZephView(QWidget* parent) : QWidget(parent) {}

CZephView::~CZephView() = default;

bool CZephView::OnFilePrint(int /*commandId*/) { return true; }
bool CZephView::OnFilePrintPreview(int /*commandId*/) { return true; }
void CZephView::OnPrepareDC(zeph::CDrawContext& /*dc*/, CPrintInfo* /*info*/) {}
void CZephView::OnDraw(zeph::CDrawContext& /*dc*/) {}
bool CZephView::OnPreparePrinting(CPrintInfo& /*info*/) { return false; }
void CZephView::OnBeginPrinting(zeph::CDrawContext& /*dc*/, CPrintInfo& /*info*/) {}
void CZephView::OnPrint(zeph::CDrawContext& /*dc*/, CPrintInfo& /*info*/) {}
void CZephView::OnEndPrinting(zeph::CDrawContext& /*dc*/, CPrintInfo& /*info*/) {}
int CZephView::ComputePrintPages(zeph::CDrawContext& /*dc*/) { return 0; }
void CZephView::PrintDrawingPage(zeph::CDrawContext& /*dc*/, CPrintInfo& /*info*/) {}
void CZephView::PrintFooter(zeph::CDrawContext& /*dc*/, CPrintInfo& /*info*/) {}
int CZephView::PreparePrintPreview() { return 0; }
void CZephView::DrawPrintPage(zeph::CDrawContext& /*dc*/, int /*page*/, bool /*preview*/) {}
void CZephView::PaintPrintPreview(QPrinter& /*printer*/) {}
bool CZephView::RunPrintJob(bool /*preview*/) { return false; }

// Stubs of the printing globals until the page layout lands.
double g_printFooterTop = 0.0;
double g_printFooterHeight = 0.0;
double g_printPageOverlap = 0.0;
std::int32_t g_printOffsetX = 0;
std::int32_t g_printOffsetY = 0;
namespace {
CZephDoc* g_activePrintDrawing = nullptr;
IPrintJobDriver* g_printJobDriver = nullptr;
}  // namespace
void ResetPrintLayoutState() {}
CZephDoc* GetActivePrintDrawing() { return g_activePrintDrawing; }
void SetActivePrintDrawing(CZephDoc* doc) { g_activePrintDrawing = doc; }
void ComputeDrawingPrintableArea() {}
void InstallPrintableAreaComputer() {}
int CheckPrintOrientation() { return 0; }
IPrintJobDriver& GetPrintJobDriver() { return *g_printJobDriver; }
void SetPrintJobDriver(IPrintJobDriver* driver) { g_printJobDriver = driver; }
