#pragma once
// The drawing context of printed pages on a QPrinter: QPainter on the printer, or, when the
// printer writes a PDF file, our own PDF writer, which writes a large drawing several times
// faster. Coordinates are printer pixels from the top-left corner of the printable area. A
// page cannot be combined by exclusive or, so every raster op draws as a copy, and a printer
// keeps no pixels to save.
#include "platform/drawcontext.h"

#include <QFont>
#include <memory>

class QPrinter;

namespace zeph {

class CPrintSurface;

class CPrinterContext final : public CDrawContext {
 public:
  // Measures and draws on printer, which must outlive the context. Measuring needs no open
  // document; drawing outside one does nothing.
  explicit CPrinterContext(QPrinter& printer);
  ~CPrinterContext() override;

  // Starts the print job (or the PDF file); false when it cannot be started.
  bool BeginDocument();
  // Ends the page and starts the next one.
  bool NewPage();
  // Finishes the job; false when nothing was open or the file could not be written.
  bool EndDocument();
  // Drops the job; a PDF file being written is not left behind.
  void AbortDocument();
  bool IsDocumentOpen() const;

  // A preview shown at a lower resolution than the printer's draws each page twice, both
  // times through this context: the shapes at the shown resolution, where arcs set pixel by
  // pixel and one-pixel lines stay whole, then the texts alone at the printer's resolution
  // (printerDpi), scaled to the shown size, so that they are laid out as printed.
  enum class PreviewPass : unsigned char { kAll, kShapes, kTexts };
  void SetPreviewPass(PreviewPass pass, int printerDpi = 0);

  bool IsPrinting() const override { return true; }
  DcRect GetClipBox() const override;
  void SetClipRect(const DcRect& rect) override;
  void ResetClip() override;

  void LineTo(int x, int y) override;
  void SetPixel(int x, int y, ColourRef colour) override;
  void DrawLineWithEnd(const DcPen& pen, int x1, int y1, int x2, int y2) override;
  void Ellipse(int left, int top, int right, int bottom) override;
  bool Arc(int left, int top, int right, int bottom, int startX, int startY, int endX,
           int endY) override;
  void PolyBezier(const std::array<DcPoint, 4>& points) override;
  void Polygon(std::span<const DcPoint> points) override;
  void FillRect(const DcRect& rect, ColourRef colour) override;

  TextMetrics GetTextMetrics() const override;
  DcSize GetTextExtent(QStringView text) const override;
  void TextOut(int x, int y, QStringView text) override;
  void TextOutClipped(int x, int y, const DcRect& clip, QStringView text) override;

  std::unique_ptr<CSavedBits> CreateSavedBits(int width, int height) override;
  bool SaveBits(CSavedBits& bits, int left, int top) override;
  bool RestoreBits(const CSavedBits& bits, int left, int top) override;

 protected:
  DeviceCaps QueryDeviceCaps() const override;

 private:
  DcRect DeviceClip() const;
  // The open surface, prepared with the clip and the selected pen and brush; null when no
  // document is open or nothing is visible.
  CPrintSurface* PrepareSurface(const DcRect* extraClip = nullptr);
  // The surface with the clip alone; pen and brush are left as they are.
  CPrintSurface* PrepareClip(const DcRect* extraClip);
  // Each change of the drawing state starts a new graphics state in a PDF file (for the clip,
  // its whole path again), so a state is handed to the surface only when it changed.
  void ApplyPen(const DcPen& pen, bool flatCap);
  void ApplyNoPen();
  void ApplyBrush(const DcBrush& brush);
  // Forgets what the surface was given, for a new document or page.
  void ForgetAppliedState();
  const QFont& CurrentQtFont() const;
  void DrawText(int x, int y, const DcRect* clip, QStringView text);

  QPrinter& m_printer;
  std::unique_ptr<CPrintSurface> m_surface;
  bool m_clipped = false;
  DcRect m_clip;  // device coordinates
  // What was last handed to the surface.
  bool m_clipApplied = false;
  DcRect m_appliedClip;
  enum class AppliedPen : unsigned char { kUnknown, kNone, kPen };
  AppliedPen m_penApplied = AppliedPen::kUnknown;
  DcPen m_appliedPen;
  bool m_appliedFlatCap = false;
  bool m_brushApplied = false;
  DcBrush m_appliedBrush;
  // The page's measures while a document is open; they stay fixed within a page.
  bool m_capsValid = false;
  DeviceCaps m_caps;
  PreviewPass m_pass = PreviewPass::kAll;
  int m_passDpi = 0;  // the resolution the texts pass measures in; 0 the printer's
  mutable DcFont m_qtFontFor;
  mutable QFont m_qtFont;
  mutable bool m_qtFontValid = false;
};

// The default printer; where none is installed, a PDF printer writing pdfPath, A4 portrait
// at 300 dots per inch.
std::unique_ptr<QPrinter> MakeDefaultPrinter(const QString& pdfPath);

}  // namespace zeph
