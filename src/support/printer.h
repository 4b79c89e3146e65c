#pragma once
// Printer set-up: one shared printing context on the default printer, the printer's metrics
// (or an A4 page at 300 dots per inch when there is no printer), the default printer's paper
// orientation, and the table of known printers with the factors by which printed line, arc
// and hatch-dot sizes grow and whether the printer prints colour. The manager adjusts the
// table; its saved rows are kept in the maker-wide settings file "Corvelle.cmf".
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/drawcontext.h"
#include "platform/printersystem.h"

// ---- Known printers (kept sorted by name) ----
inline constexpr int kPrinterTableSize = 50;
extern std::array<QString, kPrinterTableSize> g_printerNames;
extern std::array<std::int32_t, kPrinterTableSize> g_printerLineThickness;
extern std::array<std::int32_t, kPrinterTableSize> g_printerArcThickness;
extern std::array<std::int32_t, kPrinterTableSize> g_printerHatchDotSize;
extern std::array<std::int32_t, kPrinterTableSize> g_printerIsColour;
extern std::array<std::int32_t, kPrinterTableSize> g_printerSaved;  // has a line in the file
extern std::int16_t g_printerCount;
extern std::int16_t g_currentPrinter;  // row of the default printer, -1 none

// ---- The shared printing context and the metrics ----
extern std::unique_ptr<zeph::CPrinterDevice> g_printerDC;
// 1 while g_printerDC is open; 0 none; -1 after a failed attempt.
extern std::int32_t g_printerDCExists;
extern std::int32_t g_printLandscapeRequest;  // the orientation last asked for (non-zero landscape)
extern double g_printerWidthInches;           // the printable width and height
extern double g_printerHeightInches;
extern std::int32_t g_printerDpiX;
extern std::int32_t g_printerDpiY;
extern std::int32_t g_printerScreenRatio;  // printer dpi x / screen dpi x, rounded, at least 1
extern double g_printerLeftMargin;         // unprintable margins, inches
extern double g_printerRightMargin;
extern double g_printerTopMargin;
extern double g_printerBottomMargin;

// The shared printing context, opened on first use; null when there is no usable default
// printer. *newPrinter (when given) is 1 when the printer was added to the table by this call.
zeph::CDrawContext* GetPrinterDC(int* newPrinter);
// Closes the shared context when it is open.
void DeletePrinterDC();
// Opens the context anew (so a changed default printer is picked up) and measures it, or uses
// the A4 fallback; then the printable area is recomputed.
void MeasurePrinter();
// Measures the shared context as it is now (the print dialog may have chosen another printer
// or paper on it) without opening it anew, then recomputes the printable area. Nothing
// happens while no context is open.
void MeasureOpenPrinter();
// A4 (portrait, or landscape when landscape is non-zero) at 300 dots per inch, no margins.
void UseFallbackPrinterMetrics(int landscape);
// Turns the default printer's paper; 1 when that changed something (the printer is then
// measured again), else 0.
int SetPrinterOrientation(int landscape);
// The printer's row, added in name order when new (*added = 1). -1 when the table is full and
// the printer is not in it.
std::int16_t RegisterPrinter(const QString& name, int* added);
// With useTable and a current row: that row's colour flag; otherwise whether the device shows
// more than two colours.
int IsColourPrinter(const zeph::CDrawContext* dc, int useTable);
// The current row's factors; 1 without a current row.
int GetPrinterLineThickness();
int GetPrinterArcThickness();
int GetPrinterHatchDotSize();

// ---- Print dialog choices ----
// What the print dialog holds for one job.
struct PrintDialogChoices {
  bool preview = false;
  std::uint32_t maxPage = 0xFFFF;
  std::uint16_t fromPage = 1;
  std::uint16_t toPage = 0xFFFF;
  std::uint16_t copies = 1;
  std::uint32_t flags = 0;
};
// Except in print preview, lowers the last page to the "to" page when that is smaller.
void LimitMaxPageToToPage(PrintDialogChoices& choices);

// Keeps the user's print-dialog choices so that printing can restart with them after the
// orientation changed.
class CRestartPrint {
 public:
  CRestartPrint() = default;
  virtual ~CRestartPrint() = default;
  void Save(const PrintDialogChoices& choices);
  // Writes the kept choices back when some were saved.
  void Restore(PrintDialogChoices& choices) const;
  std::int32_t IsSaved() const { return m_saved; }

 private:
  std::int32_t m_saved = 0;
  std::uint16_t m_fromPage = 0;
  std::uint16_t m_toPage = 0;
  std::uint16_t m_copies = 0;
  std::uint32_t m_flags = 0;
};

// ---- The printable area (computed by the printing code) ----
// The printable area of the current page in printer pixels after the page margins.
extern zeph::DcPoint g_printableOrigin;
extern std::int32_t g_printableWidth;
extern std::int32_t g_printableHeight;
// The printing code's computation of the printable area of the active drawing, called after
// every measurement of the printer. Empty (nothing is computed) until it is registered.
void SetPrintableAreaComputer(std::function<void()> compute);
void ComputePrintableArea();

// Connects the known-printer table to the maker-wide settings file and to glitch reports.
// The application calls it at start-up, before the printer settings are read.
void InstallPrinterHooks();

// Puts every global above back as at program start (the printing context closed). For tests.
void ResetPrinterState();
