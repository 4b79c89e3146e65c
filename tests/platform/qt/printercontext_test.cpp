// The printer context, printing to PDF files (there is no printer in CI).
#include "platform/qt/printercontext.h"

#include "common/pdfpage.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <vector>

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
  font.escapement = 300;
  dc.SelectFont(font);
  dc.SetBkMode(BkMode::kOpaque);
  dc.SetBkColour(MakeColour(255, 255, 150));
  dc.TextOut(1200, 2400, u"Turned on opaque");
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

// The pages' content streams, unpacked, in file order.
std::vector<QByteArray> PageContents(const QByteArray& pdf) {
  std::vector<QByteArray> pages;
  qsizetype at = 0;
  while ((at = pdf.indexOf("stream\n", at)) >= 0) {
    const qsizetype start = at + 7;
    const qsizetype end = pdf.indexOf("endstream", start);
    if (end < 0) break;
    at = end + 9;
    const qsizetype dictionary = pdf.lastIndexOf("<<", start);
    if (dictionary < 0 || !pdf.mid(dictionary, start - dictionary).contains("/FlateDecode")) {
      continue;
    }
    // qUncompress wants the unpacked size first; a guess is enough.
    QByteArray packed("\x00\x10\x00\x00", 4);
    packed += pdf.mid(start, end - start);
    const QByteArray content = qUncompress(packed);
    if (content.contains(" cm")) pages.push_back(content);
  }
  return pages;
}

qsizetype CountOf(const QByteArray& text, const char* what) { return text.count(what); }

// What follows the path of the last ellipse drawn: "S" strokes it, "B*" fills and strokes it.
QByteArray LastEllipsePaint(const QByteArray& content) {
  const qsizetype curve = content.lastIndexOf(" c\n");
  if (curve < 0) return {};
  const qsizetype close = content.indexOf("h\n", curve);
  if (close < 0) return {};
  const qsizetype end = content.indexOf('\n', close + 2);
  return content.mid(close + 2, end - close - 2).trimmed();
}

TEST(PrinterContext, PixelsAndFilledRectanglesLeaveTheSelectedBrushAlone) {
  struct Case {
    const char* name;
    BrushStyle brush;
    bool fillFirst;  // a filled rectangle before the pixel
    const char* paint;
  };
  for (const Case& c : {Case{"hollow after a pixel", BrushStyle::kNull, false, "S"},
                        Case{"hollow after a rectangle", BrushStyle::kNull, true, "S"},
                        Case{"filled after a pixel", BrushStyle::kSolid, false, "B*"}}) {
    SCOPED_TRACE(c.name);
    PdfPrinter pdf(300);
    CPrinterContext dc(pdf.printer);
    ASSERT_TRUE(dc.BeginDocument());
    dc.SelectPen({PenStyle::kSolid, 3, 0});
    dc.SelectBrush({c.brush, MakeColour(0, 0, 255)});
    dc.Ellipse(100, 100, 301, 301);
    if (c.fillFirst) dc.FillRect({400, 400, 500, 500}, MakeColour(255, 0, 0));
    dc.SetPixel(50, 50, MakeColour(0, 255, 0));
    dc.Ellipse(600, 600, 801, 801);
    ASSERT_TRUE(dc.EndDocument());
    const auto pages = PageContents(pdf.Written());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(LastEllipsePaint(pages[0]), QByteArray(c.paint));
    // The pixel and the rectangle themselves are filled without an outline.
    EXPECT_TRUE(pages[0].contains("50 50 1 1 re\nf\n"));
  }
}

TEST(PrinterContext, ClipIsGivenOncePerPageAndAfterClippedText) {
  PdfPrinter pdf(300);
  CPrinterContext dc(pdf.printer);
  const DeviceCaps caps = dc.GetDeviceCaps();
  ASSERT_TRUE(dc.BeginDocument());
  for (int i = 0; i < 200; ++i) {
    dc.DrawLineWithEnd({PenStyle::kSolid, 2, 0}, 10 * i, 0, 10 * i + 5, 1000);
  }
  ASSERT_TRUE(dc.NewPage());
  dc.TextOutClipped(100, 200, {100, 200, 400, 250}, u"Clipped text");
  dc.MoveTo(0, 0);
  dc.LineTo(1000, 1000);
  ASSERT_TRUE(dc.EndDocument());
  const auto pages = PageContents(pdf.Written());
  ASSERT_EQ(pages.size(), 2u);
  // Two hundred lines under one clip, not one clip each.
  EXPECT_LE(CountOf(pages[0], "W* n") + CountOf(pages[0], "W n"), 2);
  EXPECT_GE(CountOf(pages[0], "W* n") + CountOf(pages[0], "W n"), 1);
  // The new page is clipped again; the line after the clipped text gets the whole page back.
  const QByteArray& second = pages[1];
  const qsizetype lastClip = std::max(second.lastIndexOf("W* n"), second.lastIndexOf("W n"));
  ASSERT_GE(lastClip, 0);
  const qsizetype clipStart = second.lastIndexOf("Q q", lastClip);
  ASSERT_GE(clipStart, 0);
  const QByteArray clip = second.mid(clipStart, lastClip - clipStart);
  EXPECT_TRUE(clip.contains(QByteArray::number(caps.width))) << clip.constData();
  EXPECT_TRUE(clip.contains(QByteArray::number(caps.height))) << clip.constData();
  EXPECT_LT(lastClip, second.lastIndexOf(" l"));
}

// A round pen two pixels wide or more ends in a disc that holds the end pixel: the page is
// printed without a square there and shows the same dots, seen as a printer sets them (four
// dots a pixel, no antialiasing). Thin and flat pens keep their end pixels.
TEST(PrinterContext, EndPixelsUnderRoundEndsAreLeftOut) {
  constexpr int kDpi = 300;
  auto print = [](bool squares, QTemporaryDir& dir) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(
        dir.filePath(squares ? QStringLiteral("squares.pdf") : QStringLiteral("lines.pdf")));
    printer.setPageSize(QPageSize(QSizeF(40, 40), QPageSize::Millimeter));
    printer.setFullPage(true);
    printer.setResolution(kDpi);
    CPrinterContext dc(printer);
    EXPECT_TRUE(dc.BeginDocument());
    std::uint32_t seed = 7;
    auto next = [&seed](int n) {
      seed = seed * 1103515245u + 12345u;
      return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
    };
    for (int i = 0; i < 150; ++i) {
      const DcPen pen{PenStyle::kSolid, 2 + next(5), MakeColour(next(200), 0, 0)};
      const int x1 = 20 + next(420), y1 = 20 + next(420);
      const int x2 = next(4) == 0 ? x1 + next(3) - 1 : 20 + next(420);
      const int y2 = next(4) == 0 ? y1 + next(3) - 1 : 20 + next(420);
      if (!squares) {
        dc.DrawLineWithEnd(pen, x1, y1, x2, y2);
        continue;
      }
      // As every context draws a line with its end pixel.
      dc.SelectPen(pen);
      if (x1 != x2 || y1 != y2) {
        dc.MoveTo(x1, y1);
        dc.LineTo(x2, y2);
      }
      dc.SetPixel(x2, y2, pen.colour);
    }
    EXPECT_TRUE(dc.EndDocument());
    return printer.outputFileName();
  };
  QTemporaryDir dir;
  const QString withSquares = print(true, dir);
  const QString withoutSquares = print(false, dir);
  QFile file(withoutSquares);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const auto pages = PageContents(file.readAll());
  ASSERT_EQ(pages.size(), 1u);
  // Only lines of no length keep a square.
  EXPECT_LT(CountOf(pages[0], " 1 1 re\nf\n"), 40);
  EXPECT_GT(CountOf(pages[0], " l S\n"), 100);

  QString why;
  const QImage expected = testing::RenderPdfPage(withSquares, 1, 4 * kDpi, why, false);
  ASSERT_TRUE(why.isEmpty()) << why.toStdString();
  if (expected.isNull()) GTEST_SKIP() << "pdftoppm is not installed";
  const QImage seen = testing::RenderPdfPage(withoutSquares, 1, 4 * kDpi, why, false);
  ASSERT_TRUE(why.isEmpty()) << why.toStdString();
  EXPECT_TRUE(seen == expected);

  for (const DcPen& pen : {DcPen{PenStyle::kSolid, 1, 0}, DcPen{PenStyle::kGeometricFlat, 3, 0}}) {
    PdfPrinter pdf(kDpi);
    CPrinterContext dc(pdf.printer);
    ASSERT_TRUE(dc.BeginDocument());
    dc.DrawLineWithEnd(pen, 100, 100, 300, 200);
    ASSERT_TRUE(dc.EndDocument());
    EXPECT_TRUE(PageContents(pdf.Written())[0].contains("300 200 1 1 re\nf\n")) << pen.width;
  }
}

TEST(PrinterContext, PdfPagesShowWhatWasDrawn) {
  constexpr int kDpi = 300;
  constexpr int kShown = 75;  // a pixel of the rendered page is four printer pixels
  struct Case {
    const char* name;
    QPrinter::ColorMode mode;
  };
  for (const Case& c : {Case{"colour", QPrinter::Color}, Case{"grey", QPrinter::GrayScale}}) {
    SCOPED_TRACE(c.name);
    PdfPrinter pdf(kDpi);
    pdf.printer.setColorMode(c.mode);
    CPrinterContext dc(pdf.printer);
    const DeviceCaps caps = dc.GetDeviceCaps();
    ASSERT_TRUE(dc.BeginDocument());
    dc.SetWindowOrigin({-100, -100});  // logical coordinates are 100 pixels off the device's
    dc.FillRect({300, 300, 700, 500}, MakeColour(0, 150, 0));
    dc.SelectPen({PenStyle::kSolid, 20, MakeColour(0, 0, 255)});
    dc.MoveTo(0, 900);
    dc.LineTo(1400, 900);
    dc.SelectPen({PenStyle::kSolid, 16, MakeColour(255, 0, 0)});
    dc.SelectBrush({BrushStyle::kNull, 0});
    dc.Ellipse(900, 1100, 1501, 1701);
    dc.SelectPen({PenStyle::kSolid, 1, 0});
    dc.SelectBrush({BrushStyle::kSolid, MakeColour(255, 220, 0)});
    const DcPoint triangle[] = {{1700, 300}, {2100, 300}, {1900, 700}};
    dc.Polygon(triangle);
    DcFont font;
    font.face = QStringLiteral("DejaVu Sans");
    font.height = 200;
    dc.SelectFont(font);
    dc.SetBkMode(BkMode::kTransparent);
    dc.TextOut(0, 1900, u"HHHH");
    // Clipped to its left half: nothing of it lies right of the clip.
    dc.TextOutClipped(0, 2300, {0, 2300, 300, 2600}, u"HHHHHHHH");
    ASSERT_TRUE(dc.EndDocument());

    QString why;
    const QImage page = testing::RenderPdfPage(pdf.printer.outputFileName(), 1, kShown, why);
    ASSERT_TRUE(why.isEmpty()) << why.toStdString();
    if (page.isNull()) GTEST_SKIP() << "pdftoppm is not installed";
    // The device point (x, y) of the drawing's logical coordinates, on the rendered page.
    auto at = [&](int x, int y) {
      return page.pixel((x + 100 + caps.physicalOffsetX) * kShown / kDpi,
                        (y + 100 + caps.physicalOffsetY) * kShown / kDpi);
    };
    auto expectColour = [&](int x, int y, QColor colour, const char* what) {
      if (c.mode == QPrinter::GrayScale) {
        const int grey = (colour.red() * 11 + colour.green() * 16 + colour.blue() * 5) / 32;
        colour = QColor(grey, grey, grey);
      }
      const QColor seen = QColor::fromRgb(at(x, y));
      EXPECT_NEAR(seen.red(), colour.red(), 3) << what;
      EXPECT_NEAR(seen.green(), colour.green(), 3) << what;
      EXPECT_NEAR(seen.blue(), colour.blue(), 3) << what;
    };
    expectColour(500, 400, QColor(0, 150, 0), "inside the filled rectangle");
    expectColour(500, 560, Qt::white, "below the filled rectangle");
    expectColour(700, 900, Qt::blue, "on the wide line");
    expectColour(700, 940, Qt::white, "beside the wide line");
    expectColour(1200, 1400, Qt::white, "inside the hollow circle");
    expectColour(900, 1400, Qt::red, "on the circle's left edge");
    expectColour(1200, 1100, Qt::red, "on the circle's top edge");
    expectColour(1900, 420, QColor(255, 220, 0), "inside the triangle");
    auto darkPixels = [&](int left, int top, int right, int bottom) {
      int dark = 0;
      for (int y = top; y < bottom; y += 4) {
        for (int x = left; x < right; x += 4) dark += qGray(at(x, y)) < 128 ? 1 : 0;
      }
      return dark;
    };
    EXPECT_GT(darkPixels(0, 1900, 800, 2150), 100) << "the text's letters";
    EXPECT_GT(darkPixels(0, 2300, 300, 2600), 50) << "the clipped text's left half";
    EXPECT_EQ(darkPixels(304, 2280, 1800, 2620), 0) << "right of the text's clip";
  }
}

TEST(PrinterContext, AnAbortedPdfJobLeavesTheEarlierFile) {
  PdfPrinter pdf(300);
  {
    QFile earlier(pdf.printer.outputFileName());
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
  }
  CPrinterContext dc(pdf.printer);
  ASSERT_TRUE(dc.BeginDocument());
  DrawSomething(dc);
  dc.AbortDocument();
  EXPECT_FALSE(dc.EndDocument());
  EXPECT_EQ(pdf.Written(), QByteArray("earlier"));
  // A job that cannot create its file does not start.
  pdf.printer.setOutputFileName(pdf.dir.filePath(QStringLiteral("missing/page.pdf")));
  EXPECT_FALSE(dc.BeginDocument());
  DrawSomething(dc);
  EXPECT_FALSE(dc.EndDocument());
}

TEST(PrinterContext, AContextDroppedWithItsJobOpenFinishesTheFile) {
  PdfPrinter pdf(300);
  {
    CPrinterContext dc(pdf.printer);
    ASSERT_TRUE(dc.BeginDocument());
    DrawSomething(dc);
  }
  const QByteArray written = pdf.Written();
  EXPECT_TRUE(written.startsWith("%PDF"));
  EXPECT_TRUE(written.endsWith("%%EOF\n"));
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
