// The print preview shows the page as it prints: the Bridge sample's preview page, drawn at
// the size it is shown, and its printed page read back from the PDF file at the same
// resolution have their dark pixels in the same places, within a pixel. Arcs set pixel by
// pixel must come out as lines, not as scattered dots, and one-pixel lines as dark as printed.
#include <QDir>
#include <QFile>
#include <QGraphicsView>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdlib>

#include "app_fixture.h"
#include "directprint.h"
#include "common/pdfpage.h"
#include "platform/printersystem.h"
#include "platform/qt/qtprintersystem.h"
#include "support/printer.h"
#include "support/timevalue.h"

namespace zeph::testing {
namespace {

CTime FixedNow() { return CTime::FromLocal(2024, 3, 5, 9, 7, 0); }

bool Dark(QRgb pixel) { return qGray(pixel) < 160; }

// The dark pixels of a that have no dark pixel of b within one pixel, marked in colour on
// marks when given.
int UnmatchedDarkPixels(const QImage& a, const QImage& b, QImage* marks = nullptr,
                        QRgb colour = 0) {
  int unmatched = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (!Dark(a.pixel(x, y))) continue;
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy) {
        for (int dx = -1; dx <= 1 && !near; ++dx) {
          const QPoint p(x + dx, y + dy);
          near = b.valid(p) && Dark(b.pixel(p));
        }
      }
      if (!near && marks != nullptr && marks->valid(x, y)) marks->setPixel(x, y, colour);
      unmatched += near ? 0 : 1;
    }
  }
  return unmatched;
}

int DarkPixels(const QImage& image) {
  int dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) dark += Dark(image.pixel(x, y)) ? 1 : 0;
  }
  return dark;
}

class PreviewPageTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    m_printers = std::make_unique<CQtPrinterSystem>(FilePath(QStringLiteral("printed.pdf")));
    SetPrinterSystem(m_printers.get());
    m_driver = std::make_unique<CDirectPrintDriver>(GetPrintJobDriver());
    SetPrintJobDriver(m_driver.get());
    SetPrintClock(&FixedNow);
  }
  void TearDown() override {
    AppTest::TearDown();
    SetPrintClock(nullptr);
    SetPrintJobDriver(nullptr);
    DeletePrinterDC();
    SetPrinterSystem(nullptr);
    ResetPrinterState();
  }

  // The preview's first page as the screen shows it: the white paper found in the view.
  QImage ShownPage() {
    auto* view = Frame().GetPreviewWidget()->findChild<QGraphicsView*>();
    if (view == nullptr) return {};
    const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The paper is the largest white area; the background around it is not white.
    int left = shot.width();
    int top = shot.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < shot.height(); ++y) {
      for (int x = 0; x < shot.width(); ++x) {
        if ((shot.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) continue;
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
      }
    }
    if (right < left) return {};
    return shot.copy(left, top, right - left + 1, bottom - top + 1);
  }

  std::unique_ptr<CQtPrinterSystem> m_printers;
  std::unique_ptr<CDirectPrintDriver> m_driver;
};

TEST_F(PreviewPageTest, TheBridgePreviewPageMatchesTheBridgePrintedPage) {
  const QString bridge = FilePath(QStringLiteral("Bridge.zpd"));
  ASSERT_TRUE(QFile::copy(
      QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../resources/samples/Bridge.zpd"), bridge));
  CZephApp& app = Start();
  app.ShowEditingView();
  CZephDoc& doc = *app.GetActiveDocument();
  ASSERT_NE(doc.OpenFile(bridge), 0);
  ASSERT_GT(doc.GetItemCount(), 0);
  auto* view = app.GetViews().AsPrintView(app.GetEditingView());
  ASSERT_NE(view, nullptr);

  // The printed page.
  ASSERT_TRUE(view->OnFilePrint(kIdFilePrint));
  QString why;
  const QImage printed = RenderPdfPage(FilePath(QStringLiteral("printed.pdf")), 1, 100, why, false);
  ASSERT_TRUE(why.isEmpty()) << why.toStdString();
  if (printed.isNull()) GTEST_SKIP() << "pdftoppm is not installed";

  // The preview page at the same resolution, in a window that holds it whole.
  Frame().resize(1400, 1400);
  QApplication::processEvents();
  ASSERT_TRUE(Frame().OnFilePrintPreview(*view));
  Frame().SetPreviewDpi(100);
  QApplication::processEvents();
  EXPECT_EQ(Frame().GetPreviewDpi(), 100);
  const QImage shown = ShownPage();
  QDir().mkpath(QStringLiteral(ZEPH_RENDER_DIR));
  shown.save(QStringLiteral(ZEPH_RENDER_DIR "/bridge_preview_100dpi.png"));
  printed.save(QStringLiteral(ZEPH_RENDER_DIR "/bridge_printed_100dpi.png"));
  // The paper's size in whole pixels: the reader rounds up, the preview down.
  ASSERT_LE(std::abs(shown.width() - printed.width()), 1);
  ASSERT_LE(std::abs(shown.height() - printed.height()), 1);

  const int shownDark = DarkPixels(shown);
  const int printedDark = DarkPixels(printed);
  ASSERT_GT(printedDark, 1000);
  // Where they differ, for a person to look at: shown alone red, printed alone blue.
  QImage marks = shown.copy();
  const int shownAlone = UnmatchedDarkPixels(shown, printed, &marks, qRgb(255, 0, 0));
  const int printedAlone = UnmatchedDarkPixels(printed, shown, &marks, qRgb(0, 0, 255));
  marks.save(QStringLiteral(ZEPH_RENDER_DIR "/bridge_preview_difference.png"));
  EXPECT_EQ(shownAlone, 0) << "of " << shownDark << " shown";
  EXPECT_EQ(printedAlone, 0) << "of " << printedDark << " printed";
}

TEST_F(PreviewPageTest, ZoomingDrawsThePageAgainAtTheShownSize) {
  const QString bridge = FilePath(QStringLiteral("Bridge.zpd"));
  ASSERT_TRUE(QFile::copy(
      QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../resources/samples/Bridge.zpd"), bridge));
  CZephApp& app = Start();
  app.ShowEditingView();
  ASSERT_NE(app.GetActiveDocument()->OpenFile(bridge), 0);
  auto* view = app.GetViews().AsPrintView(app.GetEditingView());
  ASSERT_NE(view, nullptr);
  Frame().resize(900, 700);
  QApplication::processEvents();
  ASSERT_TRUE(Frame().OnFilePrintPreview(*view));
  QApplication::processEvents();
  QPrintPreviewWidget* preview = Frame().GetPreviewWidget();
  auto* graphics = preview->findChild<QGraphicsView*>();
  ASSERT_NE(graphics, nullptr);

  // Fitted: the whole paper in the window, one page pixel to one screen pixel.
  const int fitted = Frame().GetPreviewDpi();
  EXPECT_GT(fitted, 20);
  const QSizeF paper = m_printers->MakePrinter()->pageLayout().fullRect(QPageLayout::Inch).size();
  EXPECT_LE(paper.height() * fitted, graphics->viewport()->height());
  EXPECT_LE(graphics->sceneRect().height(), graphics->maximumViewportSize().height());
  EXPECT_LE(graphics->sceneRect().width(), graphics->maximumViewportSize().width());
  EXPECT_TRUE(graphics->transform().isIdentity());

  const struct {
    const char* button;
    bool larger;
  } steps[] = {{"PreviewZoomIn", true}, {"PreviewZoomIn", true}, {"PreviewZoomOut", false}};
  for (const auto& step : steps) {
    const int before = Frame().GetPreviewDpi();
    auto* button = Frame().findChild<QPushButton*>(QString::fromLatin1(step.button));
    ASSERT_NE(button, nullptr);
    button->click();
    QApplication::processEvents();
    EXPECT_EQ(Frame().GetPreviewDpi() > before, step.larger) << step.button;
    EXPECT_TRUE(graphics->transform().isIdentity()) << step.button;
  }
  // A zoomed page keeps its size when the window changes; the fit is left.
  const int zoomed = Frame().GetPreviewDpi();
  Frame().resize(1000, 800);
  QApplication::processEvents();
  EXPECT_EQ(Frame().GetPreviewDpi(), zoomed);
}

}  // namespace
}  // namespace zeph::testing
