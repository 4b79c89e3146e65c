// The print preview inside the main window: it takes the view's place, steps through the
// pages, and closing the window during it ends only the preview.
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolBar>

#include "app_fixture.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "platform/printersystem.h"
#include "platform/qt/qtprintersystem.h"
#include "support/printer.h"

namespace zeph::testing {
namespace {

class PreviewTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    m_printers = std::make_unique<CQtPrinterSystem>(FilePath(QStringLiteral("preview.pdf")));
    SetPrinterSystem(m_printers.get());
  }
  void TearDown() override {
    AppTest::TearDown();
    DeletePrinterDC();
    SetPrinterSystem(nullptr);
    ResetPrinterState();
  }

  // A drawing two metres wide printed at full size: several pages.
  void DrawWideDrawing(CZephDoc& doc) {
    DrawItemPtr line = CreateItem(kItemLine);
    line->SetStart(0, 0);
    line->SetEnd(2000000, 600000);
    line->SetColour(0);
    line->SetLineStyle(kLineStyleUnbroken);
    ASSERT_NE(doc.AddItem(line), 0);
    doc.SetPrintingScale(1.0);
  }

  std::unique_ptr<CQtPrinterSystem> m_printers;
};

TEST_F(PreviewTest, OpensInsideTheFrameStepsPagesAndClosingEndsOnlyThePreview) {
  CZephApp& app = Start();
  SetOptionFlag(kOptionToolBar, 1);
  app.ShowEditingView();
  DrawWideDrawing(*app.GetActiveDocument());
  ASSERT_TRUE(Frame().IsToolBarShown());

  auto* view = app.GetViews().AsPrintView(app.GetEditingView());
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(Frame().OnFilePrintPreview(*view));
  ASSERT_TRUE(Frame().IsPreviewShown());
  QPrintPreviewWidget* preview = Frame().GetPreviewWidget();
  auto* stack = qobject_cast<QStackedWidget*>(Frame().centralWidget());
  ASSERT_NE(stack, nullptr);
  EXPECT_TRUE(stack->currentWidget()->isAncestorOf(preview));
  EXPECT_FALSE(Frame().IsToolBarShown());  // hidden while the preview shows
  QApplication::processEvents();

  ASSERT_GT(preview->pageCount(), 1);
  EXPECT_EQ(preview->currentPage(), 1);
  Frame().StepPreviewPage(1);
  EXPECT_EQ(preview->currentPage(), 2);
  Frame().StepPreviewPage(-5);
  EXPECT_EQ(preview->currentPage(), 1);

  // Closing the main window only ends the preview; the program keeps its drawing.
  EXPECT_FALSE(Frame().close());
  EXPECT_FALSE(Frame().IsPreviewShown());
  EXPECT_EQ(stack->currentWidget(), app.GetEditingView());
  EXPECT_TRUE(Frame().IsToolBarShown());
  EXPECT_NE(app.GetActiveDocument(), nullptr);
  EXPECT_NE(g_symbolDoc, nullptr);
  EXPECT_EQ(Frame().IsClosing(), 0);
}

}  // namespace
}  // namespace zeph::testing
