// The views' printing on real back ends: a drawing printed to a PDF file through the Qt print
// job, and a printed page drawn on pixels compared with the screen's drawing at the same scale.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

#include "editor/print_fixture.h"
#include "editor_fixture.h"
#include "platform/qt/imagecontext.h"
#include "platform/qt/qtprintersystem.h"

namespace zeph::testing {
namespace {

// A pixel context that says it prints, so that the items take the print scales: the printed
// page as pixels. Every call goes to the image context beneath.
class CPrintedPixels final : public CDrawContext {
 public:
  explicit CPrintedPixels(QImage& image) : m_image(image) {}
  void SetDeviceCaps(const DeviceCaps& caps) { m_image.SetDeviceCaps(caps); }

  bool IsPrinting() const override { return true; }
  DcRect GetClipBox() const override { return m_image.GetClipBox(); }
  void SetClipRect(const DcRect& rect) override { m_image.SetClipRect(rect); }
  void ResetClip() override { m_image.ResetClip(); }
  DcPoint SetWindowOrigin(DcPoint origin) override {
    CDrawContext::SetWindowOrigin(origin);
    return m_image.SetWindowOrigin(origin);
  }
  RasterOp SetRasterOp(RasterOp op) override {
    CDrawContext::SetRasterOp(op);
    return m_image.SetRasterOp(op);
  }
  DcPen SelectPen(const DcPen& pen) override {
    CDrawContext::SelectPen(pen);
    return m_image.SelectPen(pen);
  }
  DcBrush SelectBrush(const DcBrush& brush) override {
    CDrawContext::SelectBrush(brush);
    return m_image.SelectBrush(brush);
  }
  DcFont SelectFont(const DcFont& font) override {
    CDrawContext::SelectFont(font);
    return m_image.SelectFont(font);
  }
  ColourRef SetTextColour(ColourRef colour) override {
    CDrawContext::SetTextColour(colour);
    return m_image.SetTextColour(colour);
  }
  ColourRef SetBkColour(ColourRef colour) override {
    CDrawContext::SetBkColour(colour);
    return m_image.SetBkColour(colour);
  }
  BkMode SetBkMode(BkMode mode) override {
    CDrawContext::SetBkMode(mode);
    return m_image.SetBkMode(mode);
  }
  TextAlign SetTextAlign(TextAlign align) override {
    CDrawContext::SetTextAlign(align);
    return m_image.SetTextAlign(align);
  }
  DcPoint MoveTo(int x, int y) override {
    CDrawContext::MoveTo(x, y);
    return m_image.MoveTo(x, y);
  }
  void LineTo(int x, int y) override {
    m_image.LineTo(x, y);
    SetCurrentPosition(m_image.GetCurrentPosition());
  }
  void SetPixel(int x, int y, ColourRef colour) override { m_image.SetPixel(x, y, colour); }
  void SetPixels(std::span<const DcPoint> points, ColourRef colour) override {
    m_image.SetPixels(points, colour);
  }
  void Ellipse(int left, int top, int right, int bottom) override {
    m_image.Ellipse(left, top, right, bottom);
  }
  bool Arc(int left, int top, int right, int bottom, int sx, int sy, int ex, int ey) override {
    return m_image.Arc(left, top, right, bottom, sx, sy, ex, ey);
  }
  void PolyBezier(const std::array<DcPoint, 4>& points) override {
    m_image.PolyBezier(points);
    SetCurrentPosition(m_image.GetCurrentPosition());
  }
  void Polygon(std::span<const DcPoint> points) override { m_image.Polygon(points); }
  void FillRect(const DcRect& rect, ColourRef colour) override { m_image.FillRect(rect, colour); }
  TextMetrics GetTextMetrics() const override { return m_image.GetTextMetrics(); }
  DcSize GetTextExtent(QStringView text) const override { return m_image.GetTextExtent(text); }
  void TextOut(int x, int y, QStringView text) override { m_image.TextOut(x, y, text); }
  void TextOutClipped(int x, int y, const DcRect& clip, QStringView text) override {
    m_image.TextOutClipped(x, y, clip, text);
  }
  std::unique_ptr<CSavedBits> CreateSavedBits(int, int) override { return nullptr; }
  bool SaveBits(CSavedBits&, int, int) override { return false; }
  bool RestoreBits(const CSavedBits&, int, int) override { return false; }

 protected:
  DeviceCaps QueryDeviceCaps() const override { return m_image.GetDeviceCaps(); }

 private:
  CImageContext m_image;
};

DrawItemPtr MakeCircle(int x, int y, int radius) {
  DrawItemPtr circle = CreateItem(kItemCircle);
  circle->SetCentre(x, y);
  circle->SetRadius(radius);
  circle->SetColour(0x00FF0000);
  return circle;
}

class ViewPrintTest : public PrintTest {
 protected:
  void SetUp() override {
    PrintTest::SetUp();
    QImage screen(8, 8, QImage::Format_RGB32);
    CImageContext dc(screen);
    SetUpDisplay(dc);
  }
};

// A page at 254 dots per inch and scale 1 to 1 is 100 drawing units a pixel, as the screen at
// that zoom: the printed tile shows the same pixels as the screen's drawing of the same part.
TEST_F(ViewPrintTest, PrintedPageMatchesTheScreenDrawingAtTheSameScale) {
  SetPrinterSystem(nullptr);
  // A 4 x 3 inch page without unprintable margins; a half-inch margin all round and a
  // half-inch footer.
  g_printerDpiX = kPrinterDpi;
  g_printerDpiY = kPrinterDpi;
  g_printerWidthInches = 4.0;
  g_printerHeightInches = 3.0;
  CPrintSettings& s = m_doc.GetPrintSettings();
  s.SetLeftMargin(1.27);
  s.SetRightMargin(1.27);
  s.SetTopMargin(1.27);
  s.SetBottomMargin(0.0);
  s.SetFooterMargin(1.27);
  s.SetPageHorizontal(0);
  s.SetPageVertical(0);
  ComputeDrawingPrintableArea();
  Add(MakePrintLine(0, 0, 25000, 14000));
  Add(MakePrintLine(0, 14000, 25000, 0));
  Add(MakeCircle(12000, 7000, 6000));

  const int width = 4 * kPrinterDpi;
  const int height = 3 * kPrinterDpi;
  QImage printed(width, height, QImage::Format_RGB32);
  printed.fill(Qt::white);
  CPrintedPixels page(printed);
  DeviceCaps caps = PageCaps(false);
  caps.width = width;
  caps.height = height;
  page.SetDeviceCaps(caps);
  ASSERT_EQ(m_view->ComputePrintPages(page), 1);
  ASSERT_EQ(m_view->GetPagesAcross() * m_view->GetPagesDown(), 1);
  m_view->DrawPrintPage(page, 1, false);

  QImage screen(width, height, QImage::Format_RGB32);
  screen.fill(Qt::white);
  {
    CImageContext dc(screen);
    CViewMapping mapping;
    mapping.scaleX = 100;
    mapping.scaleY = 100;
    mapping.originX = m_view->GetPrintMapping().originX;
    mapping.originY = m_view->GetPrintMapping().originY;
    for (int i = 0; i < m_doc.GetItemCount(); ++i) {
      m_doc.GetItem(i)->Draw(&dc, &mapping, kDrawOwnColour, 0);
    }
  }
  printed.save(RenderPath(QStringLiteral("printed-page.png")));
  screen.save(RenderPath(QStringLiteral("printed-page-screen.png")));

  int inked = 0;
  int differing = 0;
  for (int y = g_printableOrigin.y; y < g_printableOrigin.y + g_printableHeight; ++y) {
    for (int x = g_printableOrigin.x; x < g_printableOrigin.x + g_printableWidth; ++x) {
      if (screen.pixel(x, y) != qRgb(255, 255, 255)) ++inked;
      if (printed.pixel(x, y) != screen.pixel(x, y)) ++differing;
    }
  }
  EXPECT_GT(inked, 500);
  EXPECT_EQ(differing, 0);
  // The footer is printed below the printable area, not over the drawing.
  int footerInk = 0;
  for (int y = g_printableOrigin.y + g_printableHeight; y < height; ++y) {
    for (int x = 0; x < width; ++x) footerInk += printed.pixel(x, y) != qRgb(255, 255, 255);
  }
  EXPECT_GT(footerInk, 0);
}

// The pages of a real job: each tile is one page of the PDF file, and a chosen range prints
// only its pages.
TEST_F(ViewPrintTest, PrintsEachTileAsAPageOfAPdfFile) {
  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed";
  QTemporaryDir folder;
  const QString pdf = folder.filePath(QStringLiteral("job.pdf"));
  CQtPrinterSystem printers(pdf);
  SetPrinterSystem(&printers);
  // The Qt job with the dialog's answer scripted.
  SetPrintJobDriver(nullptr);
  IPrintJobDriver& qt = GetPrintJobDriver();
  struct Driver final : IPrintJobDriver {
    explicit Driver(IPrintJobDriver& inner) : qt(inner) {}
    bool DoPreparePrinting(CPrintInfo& info) override {
      info.choices.fromPage = from;
      info.choices.toPage = to;
      return true;
    }
    CDrawContext* BeginJob(const CPrintInfo& info) override { return qt.BeginJob(info); }
    bool StartPage(int page) override { return qt.StartPage(page); }
    void EndPage() override { qt.EndPage(); }
    void EndJob(bool aborted) override { qt.EndJob(aborted); }
    IPrintJobDriver& qt;
    std::uint16_t from = 1;
    std::uint16_t to = 0xFFFF;
  } driver(qt);
  SetPrintJobDriver(&driver);

  CPrintSettings& s = m_doc.GetPrintSettings();
  s.SetLeftMargin(2.0);
  s.SetRightMargin(2.0);
  s.SetTopMargin(2.0);
  s.SetPrintDate(1);
  // 40 cm across an A4 page less 4 cm of margins: three pages across, one down.
  Add(MakePrintLine(0, 0, 400000, 100000));
  Add(MakeCircle(200000, 50000, 40000));

  auto pageCount = [&pdf] {
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
  };
  EXPECT_TRUE(m_view->OnFilePrint(kIdFilePrint));
  EXPECT_EQ(m_view->GetPagesAcross(), 3);
  EXPECT_EQ(m_view->GetPagesDown(), 1);
  EXPECT_EQ(pageCount(), 3);

  driver.from = 2;
  driver.to = 3;
  ASSERT_TRUE(QFile::remove(pdf));
  m_view->OnFilePrint(kIdFilePrint);
  EXPECT_EQ(pageCount(), 2);

  // The print preview draws every page on the preview's printer, at the shared printer's
  // resolution, whatever resolution it came with.
  ASSERT_TRUE(QFile::remove(pdf));
  QPrinter preview(QPrinter::HighResolution);
  preview.setOutputFormat(QPrinter::PdfFormat);
  preview.setOutputFileName(pdf);
  m_view->PaintPrintPreview(preview);
  EXPECT_EQ(pageCount(), 3);
  EXPECT_EQ(preview.resolution(), g_printerDpiX);
  SetPrintJobDriver(nullptr);
  SetPrinterSystem(nullptr);
}

}  // namespace
}  // namespace zeph::testing
