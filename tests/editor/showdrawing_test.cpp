// The preview inside dialogs: fitting (centred or scrolled, keeping the view on a resize), the
// picks in the symbol library and the hatch samples, the double click that accepts, and the
// copy of the picked symbol.
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <climits>
#include <cstdint>

#include "controls/dialogplus.h"
#include "document/wholedrawing.h"
#include "editor/showdrawing.h"
#include "editor_fixture.h"
#include "items/transform.h"

namespace zeph::testing {
namespace {

class PreviewDialog : public CDialogPlus {
 public:
  PreviewDialog() : CDialogPlus(1, nullptr) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    preview = new CShowDrawing(this);
    preview->setFixedSize(240, 180);
    layout->addWidget(preview);
  }
  int GetHelpTopic() const override { return 1; }
  CShowDrawing* preview;
};

class ShowDrawingTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ASSERT_EQ(CreateAuxiliaryDocuments(), 1);
    m_preview = std::make_unique<CShowDrawing>();
    m_preview->resize(kWidth, kHeight);
  }
  void TearDown() override {
    m_preview.reset();
    DeleteAuxiliaryDocuments();
    EditorTest::TearDown();
  }

  static void AddTo(CZephDoc* doc, DrawItemPtr item, int object, int group = 0) {
    item->SetObjectNumber(static_cast<std::int16_t>(object));
    item->SetGroupNumber(group);
    ASSERT_EQ(doc->AddItem(item), 1);
  }
  // A square of side units with its bottom-left corner at (x, y), as one object.
  static void AddSquare(CZephDoc* doc, int x, int y, int side, int object) {
    AddTo(doc, MakeLine(x, y, x + side, y), object);
    AddTo(doc, MakeLine(x + side, y, x + side, y + side), object);
    AddTo(doc, MakeLine(x + side, y + side, x, y + side), object);
    AddTo(doc, MakeLine(x, y + side, x, y), object);
  }
  void ShowAndPaint() {
    m_preview->show();
    QApplication::sendPostedEvents();
    m_preview->Invalidate();
    m_preview->UpdateWindow();
  }
  QPoint DeviceOf(int x, int y) const {
    const CViewMapping& m = m_preview->GetMapping();
    return {m.DrawingToDeviceX(x), m.DrawingToDeviceY(y)};
  }
  void Click(QPoint at) { QTest::mouseClick(m_preview.get(), Qt::LeftButton, {}, at); }

  std::unique_ptr<CShowDrawing> m_preview;
};

TEST_F(ShowDrawingTest, SmallSymbolIsCentredWithoutScrollBars) {
  AddSquare(g_symbolDoc, 0, 0, 20000, 1);  // 40 pixels at 500 units a pixel
  ASSERT_EQ(m_preview->SetShowMode(kShowSymbolRotate), 1);
  ShowAndPaint();
  EXPECT_EQ(m_preview->IsFitted(), 1);
  EXPECT_EQ(m_preview->GetMapping().scaleX, 500);
  EXPECT_EQ(m_preview->GetMapping().scaleY, 500);
  EXPECT_FALSE(m_preview->GetHorizontalBar()->isVisible());
  EXPECT_FALSE(m_preview->GetVerticalBar()->isVisible());
  const QPoint centre = DeviceOf(10000, 10000);
  EXPECT_NEAR(centre.x(), kWidth / 2, 1);
  EXPECT_NEAR(centre.y(), kHeight / 2, 1);
  // The symbol is painted where the mapping says.
  const QPoint corner = DeviceOf(0, 0);
  EXPECT_EQ(m_preview->BackBuffer().pixel(corner.x() + 5, corner.y()) & 0xFFFFFF, 0xFF0000u);
  m_preview->BackBuffer().save(RenderPath(QStringLiteral("showdrawing_symbol.png")));
}

TEST_F(ShowDrawingTest, SymbolSpanningTheWholeCoordinateRangeScrollsFromItsStart) {
  // Symbol > Enlarge by 60000: the ends lie further apart than an int holds.
  AddTo(g_symbolDoc, MakeLine(-20'000, -15'000, 20'000, 15'000), 1);
  CTransform enlarge;
  enlarge.SetEnlargement(60'000, 0, 0);
  ASSERT_EQ(g_symbolDoc->TransformItems(enlarge, kTransformAllItems, kNoCopyIndex), 1);
  DrawingPoint low;
  DrawingPoint high;
  g_symbolDoc->GetItem(0)->GetStart(low.x, low.y);
  g_symbolDoc->GetItem(0)->GetEnd(high.x, high.y);
  ASSERT_GT(std::int64_t{high.x} - low.x, std::int64_t{INT_MAX});

  ASSERT_EQ(m_preview->SetShowMode(kShowSymbolEnlarge), 1);
  ShowAndPaint();
  QScrollBar* h = m_preview->GetHorizontalBar();
  QScrollBar* v = m_preview->GetVerticalBar();
  ASSERT_TRUE(h->isVisible());
  ASSERT_TRUE(v->isVisible());
  EXPECT_EQ(h->value(), 0);
  EXPECT_EQ(v->value(), 0);
  // Steps of 10 pixels over the span at 500 units a pixel and the margins, less the room.
  const auto steps = [](std::int64_t span, int room) {
    return (span / 500 + 2 * CShowDrawing::kMargin - room) / 10;
  };
  EXPECT_NEAR(h->maximum(), steps(std::int64_t{high.x} - low.x, kWidth - v->width()), 2);
  EXPECT_NEAR(v->maximum(), steps(std::int64_t{high.y} - low.y, kHeight - h->height()), 2);
  // The start shows the top-left end of the line, the margin away from the corner; the end
  // of both ranges its bottom-right end.
  QPoint corner = DeviceOf(low.x, high.y);
  EXPECT_NEAR(corner.x(), CShowDrawing::kMargin, 2);
  EXPECT_NEAR(corner.y(), CShowDrawing::kMargin, 2);
  h->setValue(h->maximum());
  v->setValue(v->maximum());
  corner = DeviceOf(high.x, low.y);
  EXPECT_NEAR(corner.x(), kWidth - v->width() - CShowDrawing::kMargin, 10);
  EXPECT_NEAR(corner.y(), kHeight - h->height() - CShowDrawing::kMargin, 10);
}

TEST_F(ShowDrawingTest, TallHatchSheetScrollsAndKeepsItsViewOnResize) {
  SetOptionShort(kOptionHatchPatternAcross, 2);
  ASSERT_EQ(m_preview->SetShowMode(kShowHatchSamples), 1);
  ShowAndPaint();
  QScrollBar* bar = m_preview->GetVerticalBar();
  ASSERT_TRUE(bar->isVisible());
  EXPECT_FALSE(m_preview->GetHorizontalBar()->isVisible());
  EXPECT_EQ(bar->value(), 0);
  ASSERT_GT(bar->maximum(), 5);
  m_preview->BackBuffer().save(RenderPath(QStringLiteral("showdrawing_hatches.png")));

  const int topY = m_preview->GetMapping().originY;
  bar->setValue(4);
  EXPECT_EQ(m_preview->VerticalScroll().position, 4);
  // The drawing under the top edge moves by 10 pixels a step.
  EXPECT_EQ(m_preview->GetMapping().originY, topY - 4 * 10 * 500);
  // A taller window keeps the drawing under its bottom edge and shows more above it, instead
  // of jumping back to the top.
  const int bottomY = m_preview->GetMapping().originY - kHeight * 500;
  m_preview->resize(kWidth, kHeight + 30);
  QApplication::sendPostedEvents();
  EXPECT_EQ(bar->value(), 1);
  EXPECT_EQ(m_preview->GetMapping().originY - (kHeight + 30) * 500, bottomY);
  // A new mode starts from the top again.
  ASSERT_EQ(m_preview->SetShowMode(kShowHatchSamples), 1);
  ShowAndPaint();
  EXPECT_EQ(bar->value(), 0);
}

TEST_F(ShowDrawingTest, PickingASecondSampleReturnsTheFirstToPlainColour) {
  SetOptionShort(kOptionHatchPatternAcross, 3);
  ASSERT_EQ(m_preview->SetShowMode(kShowHatchSamples), 1);
  ShowAndPaint();
  EXPECT_EQ(m_preview->GetChosenHatch(), -1);
  CZephDoc* sheet = g_hatchSamplesDoc;
  // The first cell's top-left corner (its top side is the first line), then the second's.
  int firstLine = 0;
  while (sheet->GetItem(firstLine)->GetType() != kItemLine) ++firstLine;
  auto cornerOfObject = [&](int& object) {
    const CDrawItem* line = sheet->GetItem(object);
    int x = 0;
    int y = 0;
    line->GetStart(x, y);
    object = line->GetObjectNumber();
    return DeviceOf(x, y);
  };
  int first = firstLine;
  Click(cornerOfObject(first));
  EXPECT_EQ(m_preview->GetChosenHatch(), first);
  int second = -1;
  for (int i = 0; i < sheet->GetItemCount() && second < 0; ++i) {
    if (sheet->GetItem(i)->GetType() == kItemLine && sheet->GetItem(i)->GetObjectNumber() != first) {
      second = i;
    }
  }
  ASSERT_GE(second, 0);
  Click(cornerOfObject(second));
  EXPECT_EQ(m_preview->GetChosenHatch(), second);
  int picked = 0;
  int plain = 0;
  for (int i = 0; i < sheet->GetItemCount(); ++i) {
    const CDrawItem* item = sheet->GetItem(i);
    if (item->GetType() != kItemFill && item->GetType() != kItemText) continue;
    const int colour = item->GetColour();
    if (item->GetObjectNumber() == second) {
      EXPECT_EQ(colour, static_cast<int>(g_colourTable[12]));
      ++picked;
    } else if (item->GetObjectNumber() == first) {
      EXPECT_EQ(colour, static_cast<int>(g_colourTable[0]));
      ++plain;
    }
  }
  EXPECT_GE(picked, 1);
  EXPECT_GE(plain, 1);
  m_preview->UpdateWindow();
  m_preview->BackBuffer().save(RenderPath(QStringLiteral("showdrawing_hatch_picked.png")));
}

TEST_F(ShowDrawingTest, DoubleClickInTheLibraryPicksAndAcceptsTheDialog) {
  AddSquare(g_symbolLibraryDoc, 0, 0, 10000, 30001);
  AddSquare(g_symbolLibraryDoc, 20000, 0, 10000, 30002);
  PreviewDialog dialog;
  dialog.show();
  QApplication::sendPostedEvents();
  CShowDrawing* preview = dialog.preview;
  ASSERT_EQ(preview->SetShowMode(kShowSymbolLibrary), 1);
  preview->UpdateWindow();
  // The whole library is dormant until a pick.
  for (int i = 0; i < g_symbolLibraryDoc->GetItemCount(); ++i) {
    EXPECT_EQ(g_symbolLibraryDoc->GetItem(i)->IsSelected(), 1);
  }
  const CViewMapping& m = preview->GetMapping();
  const QPoint at(m.DrawingToDeviceX(30000), m.DrawingToDeviceY(10000));
  // The system's order: press, release (the pick), then the double click.
  QTest::mouseClick(preview, Qt::LeftButton, {}, at);
  QTest::mouseDClick(preview, Qt::LeftButton, {}, at);
  EXPECT_EQ(dialog.result(), kIdOk);
  EXPECT_EQ(preview->GetPickedPoint().IsInvalid(), 0);
  EXPECT_EQ(preview->GetChosenHatch(), -1);
  for (int i = 0; i < g_symbolLibraryDoc->GetItemCount(); ++i) {
    const CDrawItem* item = g_symbolLibraryDoc->GetItem(i);
    EXPECT_EQ(item->IsSelected(), item->GetObjectNumber() == 30002 ? 0 : 1) << i;
  }

  // The picked symbol's origin is the picked point.
  preview->CopyPickedSymbol();
  ASSERT_EQ(g_symbolDoc->GetItemCount(), 4);
  int minX = 1 << 30;
  int maxY = -(1 << 30);
  for (int i = 0; i < 4; ++i) {
    const CDrawItem* item = g_symbolDoc->GetItem(i);
    EXPECT_EQ(item->IsSelected(), 1);
    EXPECT_EQ(item->GetObjectNumber(), 30002);
    int x = 0;
    int y = 0;
    item->GetStart(x, y);
    minX = std::min(minX, x);
    maxY = std::max(maxY, y);
  }
  EXPECT_EQ(minX, -10000);
  EXPECT_EQ(maxY, 0);
}

TEST_F(ShowDrawingTest, CopyingKeepsNoTextsAndNeedsTheLibraryMode) {
  DrawItemPtr text = CreateItem(kItemText);
  text->SetPosition(1000, 1000);
  text->SetText(QStringLiteral("abc"));
  AddTo(g_symbolLibraryDoc, std::move(text), 30001);
  AddTo(g_symbolDoc, MakeLine(0, 0, 1000, 0), 5);  // an earlier symbol, replaced
  ASSERT_EQ(m_preview->SetShowMode(kShowSymbolLibrary), 1);
  ShowAndPaint();
  Click(DeviceOf(1000, 1000));
  ASSERT_EQ(m_preview->GetPickedPoint().IsInvalid(), 0);
  m_preview->CopyPickedSymbol();
  EXPECT_EQ(g_symbolDoc->GetItemCount(), 0);

  // Outside the library mode nothing is copied, and a mode outside 1..6 is refused.
  AddTo(g_symbolDoc, MakeLine(0, 0, 1000, 0), 5);
  ASSERT_EQ(m_preview->SetShowMode(kShowSymbolReflect), 1);
  m_preview->CopyPickedSymbol();
  EXPECT_EQ(g_symbolDoc->GetItemCount(), 1);
  ExpectGlitch(2505, 1);
  EXPECT_EQ(m_preview->SetShowMode(7), 0);
  EXPECT_EQ(m_preview->GetShowMode(), kShowSymbolReflect);
}

}  // namespace
}  // namespace zeph::testing
