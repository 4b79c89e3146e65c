#include "support/printer.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/sharedconfig.h"
#include "support/textutil.h"

std::array<QString, kPrinterTableSize> g_printerNames;
std::array<std::int32_t, kPrinterTableSize> g_printerLineThickness{};
std::array<std::int32_t, kPrinterTableSize> g_printerArcThickness{};
std::array<std::int32_t, kPrinterTableSize> g_printerHatchDotSize{};
std::array<std::int32_t, kPrinterTableSize> g_printerIsColour{};
std::array<std::int32_t, kPrinterTableSize> g_printerSaved{};
std::int16_t g_printerCount = 0;
std::int16_t g_currentPrinter = -1;

std::unique_ptr<zeph::CPrinterDevice> g_printerDC;
std::int32_t g_printerDCExists = 0;
std::int32_t g_printLandscapeRequest = 0;
double g_printerWidthInches = 0;
double g_printerHeightInches = 0;
std::int32_t g_printerDpiX = 0;
std::int32_t g_printerDpiY = 0;
std::int32_t g_printerScreenRatio = 1;
double g_printerLeftMargin = 0;
double g_printerRightMargin = 0;
double g_printerTopMargin = 0;
double g_printerBottomMargin = 0;

zeph::DcPoint g_printableOrigin;
std::int32_t g_printableWidth = 0;
std::int32_t g_printableHeight = 0;

namespace {

// A4 in inches (210 x 297 mm).
constexpr double kA4WidthInches = 8.267716535433072;
constexpr double kA4HeightInches = 11.692913385826772;
constexpr int kFallbackDpi = 300;
constexpr int kFallbackScreenRatio = 3;

// A device the system offers as a printer but that prints nothing.
constexpr char16_t kRenderingSubsystem[] = u"Rendering Subsystem";

std::function<void()> g_computePrintableArea;

bool IsTableRow(int row) { return row >= 0 && row < g_printerCount && row < kPrinterTableSize; }

void MoveRow(int from, int to) {
  g_printerNames[to] = g_printerNames[from];
  g_printerLineThickness[to] = g_printerLineThickness[from];
  g_printerArcThickness[to] = g_printerArcThickness[from];
  g_printerHatchDotSize[to] = g_printerHatchDotSize[from];
  g_printerIsColour[to] = g_printerIsColour[from];
  g_printerSaved[to] = g_printerSaved[from];
}

// Opens the default printer; null (with the failure's step) when it cannot be used.
std::unique_ptr<zeph::CPrinterDevice> OpenPrinter(QString& name, int& failedStep) {
  zeph::IPrinterSystem& system = zeph::GetPrinterSystem();
  zeph::PrinterDefaults defaults;
  if (!system.GetDefaults(defaults)) {
    failedStep = 3;
    return nullptr;
  }
  if (defaults.name == QStringView(kRenderingSubsystem)) {
    failedStep = 2;
    return nullptr;
  }
  std::unique_ptr<zeph::CPrinterDevice> device = system.OpenDefaultPrinter();
  if (device == nullptr) {
    failedStep = 6;
    return nullptr;
  }
  name = defaults.name;
  return device;
}

}  // namespace

// ---- The shared printing context ----

zeph::CDrawContext* GetPrinterDC(int* newPrinter) {
  LogScope trace(20502);
  if (newPrinter != nullptr) *newPrinter = 0;
  if (g_printerDCExists == 1 && g_printerDC != nullptr) return trace.Return(&g_printerDC->Dc());

  QString name;
  int failedStep = 0;
  std::unique_ptr<zeph::CPrinterDevice> device;
  try {
    device = OpenPrinter(name, failedStep);
  } catch (const std::bad_alloc&) {
    failedStep = 1;
  }
  if (device == nullptr) {
    g_printerDCExists = -1;
    return trace.Return<zeph::CDrawContext*>(nullptr, kLogInvalid, failedStep);
  }
  g_printerDC = std::move(device);
  g_printerDCExists = 1;
  zeph::CDrawContext& dc = g_printerDC->Dc();

  int added = 0;
  g_currentPrinter = RegisterPrinter(name, &added);
  if (newPrinter != nullptr) *newPrinter = added;
  const zeph::DeviceCaps caps = dc.GetDeviceCaps();
  if (added != 0 && IsTableRow(g_currentPrinter) && !caps.plotter) {
    const int row = g_currentPrinter;
    const int thickness = std::max(1, std::min(caps.dpiX / 150, caps.dpiY / 150));
    g_printerLineThickness[row] = thickness;
    g_printerIsColour[row] = IsColourPrinter(&dc, 0);
    trace.Step(g_printerIsColour[row] != 0 ? 11 : 12);
    g_printerArcThickness[row] = thickness;
    g_printerHatchDotSize[row] = thickness + 2;
  }
  return trace.Return(&dc);
}

void DeletePrinterDC() {
  if (g_printerDCExists != 1) return;
  g_printerDC.reset();
  g_printerDCExists = 0;
}

void MeasurePrinter() {
  LogScope trace(20503);
  DeletePrinterDC();
  const zeph::CDrawContext* dc = GetPrinterDC(nullptr);
  if (dc == nullptr) {
    UseFallbackPrinterMetrics(g_printLandscapeRequest);
    trace.Exit(kLogInvalid, 1);
    return;
  }
  MeasureOpenPrinter();
  trace.Exit();
}

// The print dialog may have chosen another printer or paper on the open context.
void MeasureOpenPrinter() {
  if (g_printerDCExists != 1 || g_printerDC == nullptr) return;
  const zeph::DeviceCaps caps = g_printerDC->Dc().GetDeviceCaps();
  g_printerWidthInches = caps.widthMm / 25.4;
  g_printerHeightInches = caps.heightMm / 25.4;
  g_printerDpiX = caps.dpiX;
  g_printerDpiY = caps.dpiY;
  g_printerScreenRatio = DivideRounded(caps.dpiX, g_screenDpiX);
  if (g_printerScreenRatio < 2) g_printerScreenRatio = 1;
  const double dpiX = caps.dpiX;
  const double dpiY = caps.dpiY;
  g_printerLeftMargin = caps.physicalOffsetX / dpiX;
  g_printerTopMargin = caps.physicalOffsetY / dpiY;
  g_printerRightMargin = caps.physicalWidth / dpiX - g_printerWidthInches - g_printerLeftMargin;
  // Equal margins that differ only by the page size's rounding to whole millimetres.
  if (std::fabs(g_printerRightMargin - g_printerLeftMargin) < 0.02) {
    g_printerRightMargin = g_printerLeftMargin;
  }
  g_printerBottomMargin = caps.physicalHeight / dpiY - g_printerHeightInches - g_printerTopMargin;
  ComputePrintableArea();
}

void UseFallbackPrinterMetrics(int landscape) {
  g_printerWidthInches = landscape != 0 ? kA4HeightInches : kA4WidthInches;
  g_printerHeightInches = landscape != 0 ? kA4WidthInches : kA4HeightInches;
  g_printerDpiX = kFallbackDpi;
  g_printerDpiY = kFallbackDpi;
  g_printerScreenRatio = kFallbackScreenRatio;
  g_printerLeftMargin = 0;
  g_printerRightMargin = 0;
  g_printerTopMargin = 0;
  g_printerBottomMargin = 0;
  ComputePrintableArea();
}

int SetPrinterOrientation(int landscape) {
  LogScope trace(20504);
  g_printLandscapeRequest = landscape;
  zeph::IPrinterSystem& system = zeph::GetPrinterSystem();
  zeph::PrinterDefaults defaults;
  if (!system.GetDefaults(defaults)) {
    UseFallbackPrinterMetrics(landscape);
    return trace.Return(0, kLogInvalid, 1);
  }
  const zeph::PageOrientation wanted =
      landscape != 0 ? zeph::PageOrientation::kLandscape : zeph::PageOrientation::kPortrait;
  if (!defaults.hasOrientation || defaults.orientation == wanted) return trace.Return(0);
  if (!system.SetDefaultOrientation(wanted)) return trace.Return(0, kLogFailed, 1);
  MeasurePrinter();
  return trace.Return(1);
}

// ---- Known printers ----

std::int16_t RegisterPrinter(const QString& name, int* added) {
  LogScope trace(20501);
  QString wanted = name.mid(SkipBlanks(name, 0));
  int place = g_printerCount;
  for (int row = 0; row < g_printerCount; ++row) {
    const int order = CompareNoCaseTrimmed(g_printerNames[row], wanted);
    if (order == 0) {
      if (added != nullptr) *added = 0;
      return trace.Return(static_cast<std::int16_t>(row));
    }
    if (order > 0) {
      place = row;
      break;
    }
  }
  if (g_printerCount >= kPrinterTableSize) {
    // Overwriting a row would lose another printer's settings; the new one stays unknown.
    if (added != nullptr) *added = 0;
    return trace.Return<std::int16_t>(-1, kLogFailed, 9);
  }
  for (int row = g_printerCount; row > place; --row) MoveRow(row - 1, row);
  ++g_printerCount;
  // The default printer's row moves with the rows after the new one.
  if (g_currentPrinter >= place) ++g_currentPrinter;
  TrimText(wanted);
  g_printerNames[place] = wanted;
  g_printerLineThickness[place] = 1;
  g_printerArcThickness[place] = 1;
  g_printerHatchDotSize[place] = 1;
  g_printerIsColour[place] = 0;
  g_printerSaved[place] = 0;
  if (added != nullptr) *added = 1;
  return trace.Return(static_cast<std::int16_t>(place));
}

int IsColourPrinter(const zeph::CDrawContext* dc, int useTable) {
  if (useTable != 0 && IsTableRow(g_currentPrinter)) return g_printerIsColour[g_currentPrinter];
  // Without a device nothing says the printer is black and white.
  if (dc == nullptr) return 1;
  return dc->GetDeviceCaps().colourBits > 1 ? 1 : 0;
}

int GetPrinterLineThickness() {
  return IsTableRow(g_currentPrinter) ? g_printerLineThickness[g_currentPrinter] : 1;
}

int GetPrinterArcThickness() {
  return IsTableRow(g_currentPrinter) ? g_printerArcThickness[g_currentPrinter] : 1;
}

int GetPrinterHatchDotSize() {
  return IsTableRow(g_currentPrinter) ? g_printerHatchDotSize[g_currentPrinter] : 1;
}

// ---- Print dialog choices ----

void LimitMaxPageToToPage(PrintDialogChoices& choices) {
  if (choices.preview) return;
  if (choices.toPage < choices.maxPage) choices.maxPage = choices.toPage;
}

void CRestartPrint::Save(const PrintDialogChoices& choices) {
  m_fromPage = choices.fromPage;
  m_toPage = choices.toPage;
  m_copies = choices.copies;
  m_flags = choices.flags;
  m_saved = 1;
}

void CRestartPrint::Restore(PrintDialogChoices& choices) const {
  if (m_saved == 0) return;
  choices.fromPage = m_fromPage;
  choices.toPage = m_toPage;
  choices.copies = m_copies;
  choices.flags = m_flags;
}

// ---- The printable area ----

void SetPrintableAreaComputer(std::function<void()> compute) {
  g_computePrintableArea = std::move(compute);
}

void ComputePrintableArea() {
  if (g_computePrintableArea) g_computePrintableArea();
}

void InstallPrinterHooks() {
  PrinterTableHooks& table = GetPrinterTableHooks();
  table.registerSavedPrinter = [](const PrinterSettingsRow& settings) {
    const int row = RegisterPrinter(settings.name, nullptr);
    if (!IsTableRow(row)) return;
    g_printerLineThickness[row] = settings.lineThickness;
    g_printerArcThickness[row] = settings.arcThickness;
    g_printerHatchDotSize[row] = settings.hatchDotSize;
    g_printerIsColour[row] = settings.isColour != 0 ? 1 : 0;
    g_printerSaved[row] = 1;
  };
  table.savedPrinters = [] {
    std::vector<PrinterSettingsRow> rows;
    for (int row = 0; row < g_printerCount; ++row) {
      if (g_printerSaved[row] == 0) continue;
      rows.push_back({g_printerNames[row], g_printerLineThickness[row], g_printerArcThickness[row],
                      g_printerHatchDotSize[row], g_printerIsColour[row]});
    }
    return rows;
  };
  LogHooks& log = GetLogHooks();
  log.selectedPrinter = [] { return IsTableRow(g_currentPrinter) ? int(g_currentPrinter) : -1; };
  log.knownPrinters = [] {
    QStringList names;
    for (int row = 0; row < g_printerCount; ++row) names.append(g_printerNames[row]);
    return names;
  };
}

void ResetPrinterState() {
  g_printerNames.fill(QString());
  g_printerLineThickness.fill(0);
  g_printerArcThickness.fill(0);
  g_printerHatchDotSize.fill(0);
  g_printerIsColour.fill(0);
  g_printerSaved.fill(0);
  g_printerCount = 0;
  g_currentPrinter = -1;
  g_printerDC.reset();
  g_printerDCExists = 0;
  g_printLandscapeRequest = 0;
  g_printerWidthInches = 0;
  g_printerHeightInches = 0;
  g_printerDpiX = 0;
  g_printerDpiY = 0;
  g_printerScreenRatio = 1;
  g_printerLeftMargin = 0;
  g_printerRightMargin = 0;
  g_printerTopMargin = 0;
  g_printerBottomMargin = 0;
  g_printableOrigin = zeph::DcPoint();
  g_printableWidth = 0;
  g_printableHeight = 0;
  g_computePrintableArea = nullptr;
}
