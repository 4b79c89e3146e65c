// Printing: the tile grid, where each tile's origin lies, the page offsets of a small drawing,
// the footer lines, refused jobs, and the restart of a job whose paper was turned in the
// print dialog.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QStringList>
#include <cmath>

#include "editor/print_fixture.h"
#include "support/timevalue.h"

namespace zeph::testing {
namespace {

using ::testing::ElementsAre;

// ---- The tile count ----

TEST(PrintTilesTest, CountsTilesWithAndWithoutOverlap) {
  struct Case {
    double printed, printable, overlap;
    int tiles;
  };
  const Case cases[] = {
      {8.0, 8.0, 0.0, 1},          // exactly the printable width
      {8.0 + 1e-4, 8.0, 0.0, 2},   // a little wider
      {16.0, 8.0, 0.0, 2},         // tiles abut
      {16.0 + 1e-4, 8.0, 0.0, 3},  // a little over two widths
      {15.0, 8.0, 1.0, 2},         // (15 - 1) / (8 - 1)
      {15.1, 8.0, 1.0, 3},         // a little over
      {3.0, 8.0, 9.0, 1},          // fits: the overlap does not matter
      {9.0, 8.0, 8.0, 0},          // printable not larger than the overlap: refused
      {9.0, 8.0, 8.5, 0},          // overlap wider than the paper
      {1e12, 8.0, 0.0, 32767},     // limited
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountPrintTiles(c.printed, c.printable, c.overlap), c.tiles)
        << c.printed << " on " << c.printable << " overlap " << c.overlap;
  }
}

// ---- The page layout of a view's drawing ----

TEST_F(PrintTest, PrintableAreaComesFromTheDrawingsMargins) {
  CPrintSettings& s = m_doc.GetPrintSettings();
  s.SetLeftMargin(2.54);
  s.SetRightMargin(1.27);
  s.SetTopMargin(2.54);
  s.SetBottomMargin(1.27);
  s.SetFooterMargin(1.27);
  s.SetMultiPageMargin(0.254);
  Measure();
  EXPECT_EQ(g_printableOrigin.x, kPrinterDpi);
  EXPECT_EQ(g_printableOrigin.y, kPrinterDpi);
  EXPECT_EQ(g_printableWidth, 2159);  // 10 - 1 - 0.5 inches
  EXPECT_EQ(g_printableHeight, 13 * kPrinterDpi);
  EXPECT_DOUBLE_EQ(g_printFooterTop, 14.0);
  EXPECT_DOUBLE_EQ(g_printFooterHeight, 0.5);
  EXPECT_DOUBLE_EQ(g_printPageOverlap, 0.1);
}

TEST_F(PrintTest, ExactlyThePrintableWidthIsOnePageAndOneUnitMoreIsTwo) {
  Measure();
  ASSERT_EQ(g_printableWidth, 10 * kPrinterDpi);
  AddLineOfWidth(10 * kPrinterDpi, 0);
  ASSERT_EQ(m_view->ComputePrintPages(PrinterDc()), 1);
  EXPECT_EQ(m_view->GetPagesAcross(), 1);
  EXPECT_EQ(m_view->GetPagesDown(), 1);
  EXPECT_DOUBLE_EQ(m_view->GetPrintMapping().printScaleX, 100.0);

  m_doc.RemoveItemAt(0);
  AddLineOfWidth(10 * kPrinterDpi, 1);
  ASSERT_EQ(m_view->ComputePrintPages(PrinterDc()), 1);
  EXPECT_EQ(m_view->GetPagesAcross(), 2);
}

TEST_F(PrintTest, AutomaticScaleFitsOnePage) {
  Measure();
  AddLineOfWidth(50 * kPrinterDpi, 0);
  m_doc.SetPrintingScale(0.0);
  ASSERT_EQ(m_view->ComputePrintPages(PrinterDc()), 1);
  EXPECT_EQ(m_view->GetPagesAcross(), 1);
  EXPECT_EQ(m_view->GetPagesDown(), 1);
  EXPECT_NEAR(m_view->GetPrintMapping().printScaleX, 100.0 * 50 / 10, 1e-9);
}

TEST_F(PrintTest, RefusesAnEmptyDrawingAndAnOverlapAsWideAsThePaper) {
  Measure();
  EXPECT_EQ(m_view->ComputePrintPages(PrinterDc()), 0);
  AddLineOfWidth(20 * kPrinterDpi, 0);
  m_doc.GetPrintSettings().SetMultiPageMargin(10 * 2.54);
  Measure();
  EXPECT_EQ(m_view->ComputePrintPages(PrinterDc()), 0);
  // Not refused when it fits one page across, whatever the overlap.
  m_doc.SetPrintingScale(4.0);
  EXPECT_EQ(m_view->ComputePrintPages(PrinterDc()), 1);
}

// Each tile shows the drawing from the last overlap of its left and upper neighbours on: its
// origin steps by the printable size less the overlap, and the extents' top-left corner lands
// on the printable area's top-left corner.
TEST_F(PrintTest, TileOriginsStepByThePrintableSizeLessTheOverlap) {
  CPrintSettings& s = m_doc.GetPrintSettings();
  s.SetLeftMargin(2.54);
  s.SetTopMargin(2.54);
  s.SetMultiPageMargin(2.54 / 2);
  Measure();
  const int pw = g_printableWidth;   // 10 - 1 = 9 inches
  const int ph = g_printableHeight;  // 15 - 1 - 1 (footer) = 13 inches
  ASSERT_EQ(pw, 9 * kPrinterDpi);
  ASSERT_EQ(ph, 13 * kPrinterDpi);
  // 14 inches across and 20 down: two pages each way with a half-inch overlap.
  AddLineOfWidth(14 * kPrinterDpi, 0, 0);
  Add(MakePrintLine(5000, -20 * kPrinterDpi * 100 + 400, 6000, -20 * kPrinterDpi * 100 + 400));
  ASSERT_EQ(m_view->ComputePrintPages(PrinterDc()), 1);
  ASSERT_EQ(m_view->GetPagesAcross(), 2);
  ASSERT_EQ(m_view->GetPagesDown(), 2);
  int minX = 0, minY = 0, maxX = 0, maxY = 0;
  m_doc.GetExtents(minX, minY, maxX, maxY);

  const int stepX = (pw - kPrinterDpi / 2) * 100;
  const int stepY = (ph - kPrinterDpi / 2) * 100;
  const int origin = kPrinterDpi * 100;  // the printable area starts an inch in
  struct Tile {
    int page, column, row;
  };
  for (const Tile t : {Tile{1, 0, 0}, Tile{2, 1, 0}, Tile{3, 0, 1}, Tile{4, 1, 1}}) {
    CPrintInfo info;
    info.currentPage = static_cast<std::uint32_t>(t.page);
    m_view->PrintDrawingPage(PrinterDc(), info);
    const CViewMapping& m = m_view->GetPrintMapping();
    EXPECT_EQ(m.originX, minX - origin + t.column * stepX) << "page " << t.page;
    EXPECT_EQ(m.originY, origin + maxY - t.row * stepY) << "page " << t.page;
  }
  // The first tile puts the extents' corner on the printable area's corner.
  CPrintInfo first;
  m_view->PrintDrawingPage(PrinterDc(), first);
  EXPECT_EQ(m_view->GetPrintMapping().DrawingToDeviceX(minX, &PrinterDc()), kPrinterDpi);
  EXPECT_EQ(m_view->GetPrintMapping().DrawingToDeviceY(maxY, &PrinterDc()), kPrinterDpi);
  // The page is clipped to the printable area.
  const QStringList lines = PrinterDc().Lines();
  EXPECT_TRUE(lines.contains(QStringLiteral("SetClipRect %1 %1 %2 %3")
                                 .arg(kPrinterDpi)
                                 .arg(kPrinterDpi + pw)
                                 .arg(kPrinterDpi + ph)))
      << lines.join(u'\n').toStdString();
}

TEST_F(PrintTest, SmallDrawingIsPlacedByThePagePosition) {
  Measure();
  AddLineOfWidth(2 * kPrinterDpi, 0);  // 2 of 10 inches across
  int minX = 0, minY = 0, maxX = 0, maxY = 0;
  m_doc.GetExtents(nullptr, minX, minY, maxX, maxY, 1);
  const int spareX = 8 * kPrinterDpi;
  const int spareY = 14 * kPrinterDpi * 100 - (maxY - minY + 1);  // in drawing units
  struct Case {
    short position;
    int offsetX;
    double offsetY;
  };
  for (const Case c :
       {Case{0, 0, 0.0}, Case{1, spareX / 2, spareY / 200.0}, Case{2, spareX, spareY / 100.0}}) {
    m_doc.GetPrintSettings().SetPageHorizontal(c.position);
    m_doc.GetPrintSettings().SetPageVertical(c.position);
    ASSERT_EQ(m_view->ComputePrintPages(PrinterDc()), 1);
    EXPECT_EQ(g_printOffsetX, c.offsetX) << c.position;
    EXPECT_EQ(g_printOffsetY, static_cast<int>(std::lround(c.offsetY))) << c.position;
    CPrintInfo info;
    m_view->PrintDrawingPage(PrinterDc(), info);
    EXPECT_EQ(m_view->GetPrintMapping().DrawingToDeviceX(minX, &PrinterDc()), c.offsetX);
    EXPECT_EQ(m_view->GetPrintMapping().DrawingToDeviceY(maxY, &PrinterDc()), g_printOffsetY);
  }
}

TEST_F(PrintTest, PageOutsideTheGridIsReportedAndPrintsTheFirstTile) {
  Measure();
  AddLineOfWidth(12 * kPrinterDpi, 0);
  ASSERT_EQ(m_view->ComputePrintPages(PrinterDc()), 1);
  ASSERT_EQ(m_view->GetPagesAcross(), 2);
  CPrintInfo info;
  info.currentPage = 1;
  m_view->PrintDrawingPage(PrinterDc(), info);
  const int first = m_view->GetPrintMapping().originX;
  info.currentPage = 3;  // row 1 of a grid one row high
  m_view->PrintDrawingPage(PrinterDc(), info);
  EXPECT_EQ(m_view->GetPrintMapping().originX, first);
  ExpectGlitch(2659, 2);
}

// ---- The footer ----

CTime FixedNow() { return CTime::FromLocal(2026, 3, 5, 9, 7, 0); }

TEST(PrintFooterTextTest, NamesFileDateTimeAndUser) {
  struct Case {
    const char* path;
    int file, name, date, time;
    const char* user;
    const char* text;
  };
  const Case cases[] = {
      {"/home/a/Bridge plan.zph", 1, 1, 1, 0, "Ann", "Bridge plan printed on 5-March-26 for Ann"},
      {"/home/a/Bridge.zph", 1, 0, 0, 1, "", "Bridge printed at 9:07"},
      {"C:\\old\\gear.v2.zph", 1, 0, 0, 0, "", "gear.v2"},
      {"", 1, 0, 1, 1, "", "Printed on 5-March-26 at 9:07"},
      {"", 0, 1, 0, 0, "Bo", "Printed for Bo"},
      {"/a/b.zph", 0, 1, 0, 0, "", ""},  // a name part needs a user name
      {"/a/b.zph", 0, 0, 0, 0, "Bo", ""},
  };
  for (const Case& c : cases) {
    CPrintSettings s;
    s.SetPrintFilename(c.file);
    s.SetPrintName(c.name);
    s.SetPrintDate(c.date);
    s.SetPrintTime(c.time);
    QString text;
    EXPECT_TRUE(FormatPrintFooterText(s, QString::fromUtf8(c.path), QString::fromUtf8(c.user),
                                      FixedNow(), text));
    EXPECT_EQ(text, QString::fromUtf8(c.text)) << c.path;
  }
  CPrintSettings s;
  s.SetPrintDate(1);
  QString text;
  EXPECT_TRUE(FormatPrintFooterText(s, QString(), QString(),
                                    CTime::FromLocal(2009, 12, 31, 23, 59, 0), text));
  EXPECT_EQ(text, QStringLiteral("Printed on 31-December-09"));
}

class PrintFooterTest : public PrintTest {
 protected:
  void SetUp() override {
    PrintTest::SetUp();
    SetPrintClock(&FixedNow);
    g_userName = QStringLiteral("Ann");
    CPrintSettings& s = m_doc.GetPrintSettings();
    s.SetPrintName(1);
    s.SetPrintDate(1);
    s.SetPrintScale(1);
    Measure();
  }

  // The texts drawn on the printer, in order.
  QStringList Texts() {
    QStringList texts;
    for (const QString& line : PrinterDc().Lines()) {
      const qsizetype quote = line.indexOf(u'"');
      if (line.startsWith(QStringLiteral("TextOut")) && quote >= 0) {
        texts.append(line.mid(quote + 1, line.size() - quote - 2));
      }
    }
    return texts;
  }

  void PrintPage(int page) {
    CPrintInfo info;
    info.currentPage = static_cast<std::uint32_t>(page);
    PrinterDc().Clear();
    m_view->PrintFooter(PrinterDc(), info);
  }
};

TEST_F(PrintFooterTest, MultiPagePrintNumbersItsPages) {
  AddLineOfWidth(12 * kPrinterDpi, 0);
  Add(MakePrintLine(0, -15 * kPrinterDpi * 100, 10, -15 * kPrinterDpi * 100));
  ASSERT_EQ(m_view->ComputePrintPages(PrinterDc()), 1);
  ASSERT_EQ(m_view->GetPagesAcross() * m_view->GetPagesDown(), 4);
  PrintPage(2);
  const QStringList texts = Texts();
  ASSERT_EQ(texts.size(), 3) << texts.join(u'|').toStdString();
  EXPECT_EQ(texts[0], QStringLiteral("Printed on 5-March-26 for Ann"));
  EXPECT_EQ(texts[1], QStringLiteral("Page 2 of 4"));
  EXPECT_TRUE(texts[2].startsWith(QStringLiteral("Scale: "))) << texts[2].toStdString();
}

TEST_F(PrintFooterTest, SinglePageAtAutomaticScaleHasNoPageNumber) {
  AddLineOfWidth(20 * kPrinterDpi, 0);
  m_doc.SetPrintingScale(0.0);
  ASSERT_EQ(m_view->ComputePrintPages(PrinterDc()), 1);
  PrintPage(1);
  const QStringList texts = Texts();
  ASSERT_EQ(texts.size(), 2) << texts.join(u'|').toStdString();
  EXPECT_EQ(texts[0], QStringLiteral("Printed on 5-March-26 for Ann"));
  EXPECT_TRUE(texts[1].startsWith(QStringLiteral("Automatic scale: "))) << texts[1].toStdString();
}

TEST_F(PrintFooterTest, FooterTallerThanItsMarginIsLeftOut) {
  AddLineOfWidth(2 * kPrinterDpi, 0);
  m_doc.GetPrintSettings().SetFooterMargin(0.05);
  Measure();
  ASSERT_EQ(m_view->ComputePrintPages(PrinterDc()), 1);
  PrintPage(1);
  EXPECT_TRUE(Texts().isEmpty());
  // The drawing itself still prints.
  CPrintInfo info;
  PrinterDc().Clear();
  m_view->OnPrint(PrinterDc(), info);
  EXPECT_TRUE(PrinterDc().Lines().join(u'\n').contains(QStringLiteral("LineTo")));
}

// ---- Jobs ----

TEST_F(PrintTest, JobPrintsTheChosenPages) {
  AddLineOfWidth(25 * kPrinterDpi, 0);  // three pages across
  m_driver.onDialog = [](CPrintInfo& info) {
    EXPECT_EQ(info.choices.maxPage, 3u);
    info.choices.fromPage = 2;
    info.choices.toPage = 3;
  };
  EXPECT_TRUE(m_view->OnFilePrint(kIdFilePrint));
  EXPECT_EQ(m_driver.dialogs.size(), 1u);
  EXPECT_THAT(m_driver.pages, ElementsAre(2, 3));
  EXPECT_EQ(m_driver.ended, 1);
}

TEST_F(PrintTest, JobIsRefusedWithoutPrinterOrDrawingAndWhenCancelled) {
  m_system.installed = false;
  AddLineOfWidth(2 * kPrinterDpi, 0);
  m_view->OnFilePrint(kIdFilePrint);
  EXPECT_TRUE(m_driver.dialogs.empty());
  m_system.installed = true;
  m_driver.answer = false;
  m_view->OnFilePrint(kIdFilePrint);
  EXPECT_EQ(m_driver.dialogs.size(), 1u);
  EXPECT_EQ(m_driver.jobs, 0);
  CZephDoc empty;
  CTestPrintView emptyView(&empty);
  emptyView.OnFilePrint(kIdFilePrint);
  EXPECT_EQ(m_driver.dialogs.size(), 1u);
}

// A printer changed in the dialog can make the grid smaller than the pages chosen: only the
// pages that exist are printed.
TEST_F(PrintTest, PagesAreLaidOutAgainForThePrinterChosenInTheDialog) {
  AddLineOfWidth(12 * kPrinterDpi, 0);  // two pages on portrait paper, one on landscape
  m_driver.onDialog = [this](CPrintInfo& info) {
    info.choices.fromPage = 1;
    info.choices.toPage = 2;
    static_cast<FakePrinterDevice&>(*g_printerDC).Recording().SetDeviceCaps(PageCaps(true));
  };
  m_view->OnFilePrint(kIdFilePrint);
  EXPECT_EQ(m_view->GetPagesAcross(), 1);
  EXPECT_THAT(m_driver.pages, ElementsAre(1));
  // Pages chosen wholly beyond the new grid start no job at all.
  m_driver.onDialog = [this](CPrintInfo& info) {
    info.choices.fromPage = 2;
    info.choices.toPage = 2;
    static_cast<FakePrinterDevice&>(*g_printerDC).Recording().SetDeviceCaps(PageCaps(true));
  };
  m_view->OnFilePrint(kIdFilePrint);
  EXPECT_EQ(m_driver.jobs, 1);
}

// The paper turned the other way in the print dialog: the first attempt prints nothing, the
// printer is turned back to the drawing's paper, and the job runs again without the dialog,
// with the pages and copies the user chose.
TEST_F(PrintTest, TurnedPaperRestartsTheJobWithTheChosenPages) {
  m_doc.GetPrintSettings().SetLandscape(1);
  AddLineOfWidth(40 * kPrinterDpi, 0);
  m_driver.onDialog = [this](CPrintInfo& info) {
    info.choices.fromPage = 2;
    info.choices.toPage = 3;
    info.choices.copies = 4;
    m_system.SetDefaultOrientation(PageOrientation::kPortrait);
  };
  EXPECT_TRUE(m_view->OnFilePrint(kIdFilePrint));
  ASSERT_EQ(m_driver.dialogs.size(), 2u);
  EXPECT_FALSE(m_driver.dialogs[0].direct);
  EXPECT_TRUE(m_driver.dialogs[1].direct);
  EXPECT_EQ(m_driver.jobs, 1);
  EXPECT_THAT(m_driver.pages, ElementsAre(2, 3));
  EXPECT_EQ(m_system.orientation, PageOrientation::kLandscape);
  EXPECT_EQ(m_view->IsRestartPending(), 0);
  // The kept choices reach the print loop.
  EXPECT_EQ(m_driver.job.choices.fromPage, 2);
  EXPECT_EQ(m_driver.job.choices.toPage, 3);
  EXPECT_EQ(m_driver.job.choices.copies, 4);
}

TEST_F(PrintTest, PreviewNeedsNoDialogAndAsksTheFrame) {
  struct Frame final : IViewFrame {
    bool OnFilePrintPreview(CZephView& view) override {
      shown = &view;
      return true;
    }
    CZephView* shown = nullptr;
  } frame;
  SetViewFrame(&frame);
  AddLineOfWidth(12 * kPrinterDpi, 0);
  EXPECT_TRUE(m_view->OnFilePrintPreview(kIdEditorPrintPreview));
  SetViewFrame(nullptr);
  EXPECT_EQ(frame.shown, m_view.get());
  EXPECT_TRUE(m_driver.dialogs.empty());
  EXPECT_EQ(m_view->PreparePrintPreview(), 2);
}

TEST_F(PrintTest, UnexpectedCommandIsReportedAndStillPrints) {
  AddLineOfWidth(2 * kPrinterDpi, 0);
  EXPECT_TRUE(m_view->OnFilePrint(12345));
  EXPECT_EQ(m_driver.jobs, 1);
  ExpectGlitch(2654, 1);
}

}  // namespace
}  // namespace zeph::testing
