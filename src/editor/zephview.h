#pragma once
// The base of the program's two views, the start screen and the editing view. What they share
// is printing: the view's drawing is printed at its printing scale (or scaled to fit one page),
// tiled over as many pages as it needs with an overlap, placed on a single page by the
// drawing's page position, with a footer naming the file, date, time, user, page and scale.
// When the printer's paper is turned the other way from the drawing's, printing restarts once
// with the printer turned and the user's print-dialog choices kept.
#include <QWidget>
#include <cstdint>

#include "items/viewmapping.h"
#include "support/printer.h"

class CPrintSettings;
class CTime;
class CZephDoc;
class QPrinter;
namespace zeph {
class CDrawContext;
}

// Command identifiers of the print commands.
inline constexpr int kIdFilePrint = 57607;
inline constexpr int kIdFilePrintDirect = 57608;
inline constexpr int kIdFilePrintPreview = 57609;  // the start screen's own preview command
inline constexpr int kIdEditorPrintPreview = 32784;

// One print job (or preview) as the print loop runs it.
struct CPrintInfo {
  bool preview = false;
  bool direct = false;  // print without showing the print dialog
  PrintDialogChoices choices;
  std::uint32_t minPage = 1;
  std::uint32_t currentPage = 1;
  bool continuePrinting = true;
};

// The print dialog and the page output of a print job. The Qt implementation shows the print
// dialog over the shared printer and starts pages on it; tests install a fake.
class IPrintJobDriver {
 public:
  virtual ~IPrintJobDriver() = default;
  // Shows the print dialog for info (unless info.direct) and keeps the user's choices in
  // info.choices; false when the user cancelled or there is no printer.
  virtual bool DoPreparePrinting(CPrintInfo& info) = 0;
  // The context the pages are printed on; null when it cannot be opened.
  virtual zeph::CDrawContext* BeginJob(const CPrintInfo& info) = 0;
  // Starts page (from 1); false ends the job.
  virtual bool StartPage(int page) = 0;
  virtual void EndPage() = 0;
  // Finishes the job; aborted when the job stopped early.
  virtual void EndJob(bool aborted) = 0;
};
// The driver in use: the Qt one over the shared printer, unless one was installed.
IPrintJobDriver& GetPrintJobDriver();
void SetPrintJobDriver(IPrintJobDriver* driver);

// The drawing whose margins the printable area is computed from (the active drawing).
CZephDoc* GetActivePrintDrawing();
void SetActivePrintDrawing(CZephDoc* doc);
// The printable area from the active drawing's margins and the printer's metrics; installed
// as the printer code's computer when the first view is made.
void ComputeDrawingPrintableArea();
void InstallPrintableAreaComputer();
// 1 when the default printer's paper is turned the same way as the active drawing's.
int CheckPrintOrientation();

// ---- Pieces of the page layout, for the views and their tests ----
// Pages needed for printedInches of drawing on printableInches of paper when neighbouring
// pages repeat overlapInches: 1 when it fits, 0 when it cannot be tiled (the printable size is
// not larger than the overlap). The count is limited to 32767.
int CountPrintTiles(double printedInches, double printableInches, double overlapInches);
// The first footer line's text: the file name, " printed", " on " date, " at " time, " for "
// the user, as the drawing's print settings choose. False (and out empty) when the time
// cannot be converted to local time; the footer is then left out.
bool FormatPrintFooterText(const CPrintSettings& settings, const QString& filePath,
                           const QString& userName, CTime now, QString& out);
// The clock of the footer's date and time: the system's unless one is installed (tests).
void SetPrintClock(CTime (*clock)());

// Program-wide values of the current print job (printer pixels unless noted).
extern double g_printFooterTop;      // inches from the device origin to the footer's top
extern double g_printFooterHeight;   // inches
extern double g_printPageOverlap;    // inches
extern std::int32_t g_printOffsetX;  // placing of a drawing smaller than the page
extern std::int32_t g_printOffsetY;
// The print values above back to their start values. For tests.
void ResetPrintLayoutState();

class CZephView : public QWidget {
  Q_OBJECT

 public:
  explicit CZephView(QWidget* parent = nullptr);
  ~CZephView() override;

  // The drawing this view shows and prints; null when it has none.
  virtual CZephDoc* GetDocument() const { return nullptr; }

  // File > Print and File > Print preview; each takes the command identifier that reached it
  // and returns true (the command was handled).
  bool OnFilePrint(int commandId);
  bool OnFilePrintPreview(int commandId);

  // ---- The print loop's steps ----
  virtual void OnPrepareDC(zeph::CDrawContext& dc, CPrintInfo* info);
  // Each derived view draws itself; reaching the base's is a glitch.
  virtual void OnDraw(zeph::CDrawContext& dc);
  virtual bool OnPreparePrinting(CPrintInfo& info);
  virtual void OnBeginPrinting(zeph::CDrawContext& dc, CPrintInfo& info);
  virtual void OnPrint(zeph::CDrawContext& dc, CPrintInfo& info);
  virtual void OnEndPrinting(zeph::CDrawContext& dc, CPrintInfo& info);

  // ---- Page layout and page printing ----
  // Scale, tile grid and page offsets for the view's drawing: 1, or 0 when it cannot print.
  int ComputePrintPages(zeph::CDrawContext& dc);
  void PrintDrawingPage(zeph::CDrawContext& dc, CPrintInfo& info);
  void PrintFooter(zeph::CDrawContext& dc, CPrintInfo& info);

  // ---- Print preview (the main frame's preview widget calls these) ----
  // Lays out a preview job for the shared printer's metrics: the number of pages, 0 when the
  // drawing cannot be previewed.
  int PreparePrintPreview();
  // Draws page (from 1) of the laid-out job, footer included, on dc as a preview page.
  void DrawPrintPage(zeph::CDrawContext& dc, int page, bool preview);
  // Draws every page of the preview job on printer (a preview printer), each on its own page,
  // laid out for dpi dots per inch (the size at which the pages are shown; 0 for the
  // printer's own resolution). The printer's measures are left as they were.
  void PaintPrintPreview(QPrinter& printer, int dpi = 0);

  // Runs the whole print loop once: preparation, every page in the chosen range, the end.
  // False when the job was refused or cancelled.
  bool RunPrintJob(bool preview);

  int GetPagesAcross() const { return m_pagesAcross; }
  int GetPagesDown() const { return m_pagesDown; }
  int IsRestartPending() const { return m_restartPending; }
  const CViewMapping& GetPrintMapping() const { return m_printMapping; }

 private:
  std::int32_t m_pagesAcross = 1;
  std::int32_t m_pagesDown = 1;
  std::int32_t m_restartPending = 0;
  CRestartPrint m_restartRecord;
  CViewMapping m_printMapping;
};
