// The printer context, printing to PDF files (there is no printer in CI).
#include "platform/qt/printercontext.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>

namespace zeph {
namespace {

struct PdfPrinter {
  explicit PdfPrinter(int dpi, QPageLayout::Orientation orientation = QPageLayout::Portrait)
      : printer(QPrinter::HighResolution) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("page.pdf")));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(orientation);
    printer.setResolution(dpi);
  }
  QByteArray Written() const {
    QFile file(printer.outputFileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QTemporaryDir dir;
  QPrinter printer;
};

// The pages' sizes in points as the PDF file gives them.
std::vector<std::pair<double, double>> MediaBoxes(const QByteArray& pdf) {
  std::vector<std::pair<double, double>> boxes;
  static const QRegularExpression pattern(
      QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+)\s*\])"));
  auto it = pattern.globalMatch(QString::fromLatin1(pdf));
  while (it.hasNext()) {
    const QRegularExpressionMatch m = it.next();
    boxes.emplace_back(m.captured(1).toDouble(), m.captured(2).toDouble());
  }
  return boxes;
}

void DrawSomething(CDrawContext& dc) {
  dc.SelectPen({PenStyle::kGeometricFlat, 8, MakeColour(0, 0, 200)});
  dc.MoveTo(100, 100);
  dc.LineTo(1000, 400);
  dc.SelectPen({PenStyle::kSolid, 1, 0});
  dc.SetPixel(50, 50, 0);
  dc.SelectBrush({BrushStyle::kNull, 0});
  dc.Ellipse(200, 500, 801, 901);
  dc.Arc(200, 1000, 801, 1401, 1000, 1200, 500, 900);
  dc.PolyBezier({DcPoint{100, 1500}, DcPoint{400, 1200}, DcPoint{700, 1800}, DcPoint{1000, 1500}});
  const DcPoint triangle[] = {{1200, 500}, {1800, 500}, {1500, 1000}};
  dc.SelectBrush({BrushStyle::kSolid, MakeColour(255, 220, 120)});
  dc.Polygon(triangle);
  dc.FillRect({1200, 1200, 1800, 1300}, MakeColour(0, 150, 0));
  DcFont font;
  font.face = QStringLiteral("Arial");
  font.height = 100;
  dc.SelectFont(font);
  dc.TextOut(100, 2000, u"Printed text");
  dc.TextOutClipped(100, 2200, {100, 2200, 400, 2250}, u"Clipped text");
}

TEST(PrinterContext, A4PageMeasuresAtThePrintersResolution) {
  struct Case {
    int dpi;
    int width;  // 210 mm and 297 mm in printer pixels
    int height;
  };
  for (const Case& c : {Case{300, 2480, 3508}, Case{600, 4961, 7016}, Case{150, 1240, 1754}}) {
    SCOPED_TRACE(c.dpi);
    PdfPrinter pdf(c.dpi);
    CPrinterContext dc(pdf.printer);
    EXPECT_TRUE(dc.IsPrinting());
    const DeviceCaps caps = dc.GetDeviceCaps();
    EXPECT_EQ(caps.dpiX, c.dpi);
    EXPECT_EQ(caps.dpiY, c.dpi);
    EXPECT_EQ(caps.physicalWidth, c.width);
    EXPECT_EQ(caps.physicalHeight, c.height);
    // The printable area lies on the page, its size in millimetres agreeing with its pixels.
    EXPECT_GT(caps.width, 0);
    EXPECT_GE(caps.physicalOffsetX, 0);
    EXPECT_GE(caps.physicalOffsetY, 0);
    EXPECT_LE(caps.physicalOffsetX + caps.width, caps.physicalWidth);
    EXPECT_LE(caps.physicalOffsetY + caps.height, caps.physicalHeight);
    EXPECT_NEAR(caps.widthMm, caps.width * 25.4 / c.dpi, 1);
    EXPECT_NEAR(caps.heightMm, caps.height * 25.4 / c.dpi, 1);
    EXPECT_FALSE(caps.plotter);
    EXPECT_GT(caps.colourBits, 1);
    EXPECT_EQ(dc.GetClipBox(), (DcRect{0, 0, caps.width, caps.height}));

    ASSERT_TRUE(dc.BeginDocument());
    DrawSomething(dc);
    EXPECT_TRUE(dc.NewPage());
    DrawSomething(dc);
    EXPECT_TRUE(dc.EndDocument());
    const QByteArray written = pdf.Written();
    ASSERT_TRUE(written.startsWith("%PDF"));
    const auto boxes = MediaBoxes(written);
    ASSERT_EQ(boxes.size(), 2u);
    if (c.dpi == 300) {  // kept under the build folder for a person to look at
      QFile::remove(QStringLiteral("printer_sample.pdf"));
      QFile::copy(pdf.printer.outputFileName(), QStringLiteral("printer_sample.pdf"));
    }
    for (const auto& [width, height] : boxes) {  // A4 in whole points
      EXPECT_NEAR(width, 210 / 25.4 * 72, 0.5);
      EXPECT_NEAR(height, 297 / 25.4 * 72, 0.5);
      EXPECT_NEAR(width / 72 * c.dpi, c.width, c.dpi / 72.0);
      EXPECT_NEAR(height / 72 * c.dpi, c.height, c.dpi / 72.0);
    }
  }
}

TEST(PrinterContext, LandscapeExchangesWidthAndHeight) {
  PdfPrinter pdf(300, QPageLayout::Landscape);
  CPrinterContext dc(pdf.printer);
  const DeviceCaps caps = dc.GetDeviceCaps();
  EXPECT_EQ(caps.physicalWidth, 3508);
  EXPECT_EQ(caps.physicalHeight, 2480);
}

TEST(PrinterContext, MeasuresTextWithoutADocument) {
  PdfPrinter pdf(600);
  CPrinterContext dc(pdf.printer);
  DcFont font;
  font.face = QStringLiteral("Arial");
  font.height = 83;  // 10 points at 600 dots per inch
  dc.SelectFont(font);
  const TextMetrics tm = dc.GetTextMetrics();
  EXPECT_GE(tm.height, 83);
  EXPECT_EQ(tm.height, tm.ascent + tm.descent);
  EXPECT_GT(dc.GetTextExtent(u"Measured").cx, 4 * tm.averageCharWidth);
  EXPECT_EQ(dc.GetTextExtent(u"Measured").cy, tm.height);
  // Without a document drawing does nothing, and no file is started.
  DrawSomething(dc);
  EXPECT_FALSE(dc.NewPage());
  EXPECT_FALSE(dc.EndDocument());
  EXPECT_FALSE(QFile::exists(pdf.printer.outputFileName()));
}

TEST(PrinterContext, KeepsNoPixelsAndDrawsXorAsCopy) {
  PdfPrinter pdf(300);
  CPrinterContext dc(pdf.printer);
  EXPECT_EQ(dc.CreateSavedBits(10, 10), nullptr);
  ASSERT_TRUE(dc.BeginDocument());
  EXPECT_EQ(dc.SetRasterOp(RasterOp::kXor), RasterOp::kCopy);
  dc.MoveTo(0, 0);
  dc.LineTo(100, 100);
  EXPECT_EQ(dc.GetRasterOp(), RasterOp::kXor);
  EXPECT_TRUE(dc.EndDocument());
}

TEST(PrinterContext, MonochromePrinterReportsOneBit) {
  PdfPrinter pdf(300);
  pdf.printer.setColorMode(QPrinter::GrayScale);
  CPrinterContext dc(pdf.printer);
  EXPECT_EQ(dc.GetDeviceCaps().colourBits, 1);
  EXPECT_EQ(dc.GetNearestColour(MakeColour(0, 0, 200)), 0u);
  EXPECT_EQ(dc.GetNearestColour(MakeColour(250, 250, 200)), 0x00FFFFFFu);
}

TEST(PrinterContext, ClipAndOriginAreInLogicalCoordinates) {
  PdfPrinter pdf(300);
  CPrinterContext dc(pdf.printer);
  const DeviceCaps caps = dc.GetDeviceCaps();
  dc.SetClipRect({-100, 100, 500, 600});
  EXPECT_EQ(dc.GetClipBox(), (DcRect{0, 100, 500, 600}));
  dc.SetWindowOrigin({-50, -50});
  EXPECT_EQ(dc.GetClipBox(), (DcRect{-50, 50, 450, 550}));
  dc.ResetClip();
  EXPECT_EQ(dc.GetClipBox(), (DcRect{-50, -50, caps.width - 50, caps.height - 50}));
}

TEST(PrinterContext, DefaultPrinterFallsBackToAnA4PdfFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("fallback.pdf"));
  const std::unique_ptr<QPrinter> printer = MakeDefaultPrinter(path);
  ASSERT_NE(printer, nullptr);
  if (printer->outputFormat() != QPrinter::PdfFormat) {
    GTEST_SKIP() << "a printer is installed on this machine";
  }
  EXPECT_EQ(printer->outputFileName(), path);
  CPrinterContext dc(*printer);
  const DeviceCaps caps = dc.GetDeviceCaps();
  EXPECT_EQ(caps.dpiX, 300);
  EXPECT_EQ(caps.physicalWidth, 2480);
  EXPECT_EQ(caps.physicalHeight, 3508);
  ASSERT_TRUE(dc.BeginDocument());
  DrawSomething(dc);
  EXPECT_TRUE(dc.EndDocument());
  EXPECT_TRUE(QFile::exists(path));
}

}  // namespace
}  // namespace zeph
