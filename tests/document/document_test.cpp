// The drawing document's members, its item list and its intersection cache.
#include <QString>
#include <cmath>
#include <string>
#include <vector>

#include "doc_fixture.h"
#include "items/intersect.h"
#include "items/viewmapping.h"
#include "spell/docdict.h"
#include "spell/spell.h"
#include "support/log.h"
#include "support/options.h"
#include "support/printer.h"

namespace {

using ::testing::Test;

TEST_F(DocumentTest, NewDocumentIsEmptyWithDefaults) {
  CZephDoc doc;
  EXPECT_EQ(doc.GetItemCount(), 0);
  EXPECT_EQ(doc.GetNameCount(), 0);
  EXPECT_EQ(doc.GetObjectCount(), 0);
  EXPECT_TRUE(doc.GetFilePath().isEmpty());
  EXPECT_EQ(doc.GetPrintingScale(), -1.0);
  EXPECT_EQ(doc.GetRealWorldScale(), 1.0);
  EXPECT_EQ(doc.IsUndoEnabled(), 1);
  EXPECT_EQ(doc.CanUndo(), 0);
  EXPECT_EQ(doc.CanRedo(), 0);
  EXPECT_EQ(doc.IsChanged(), 0);
  EXPECT_EQ(doc.GetPictureScale(), 1.0);
  EXPECT_EQ(doc.GetItem(0), nullptr);
  EXPECT_EQ(doc.GetItem(-1), nullptr);
}

TEST_F(DocumentTest, ClearingKeepsScalesAndPictureNewDrawingRestoresDefaults) {
  CZephDoc doc;
  Add(doc, MakeLine(0, 0, 1000, 0));
  doc.SetRealWorldScale(50.0);
  doc.SetPrintingScale(20.0);
  doc.SetPicturePath(QStringLiteral("/tmp/back.png"));
  doc.SetPicturePlace(5, 6, 2.0);
  doc.SetFilePath(QStringLiteral("/a/Plan.zpd"));
  doc.GetSelectedPoints().Add(CItemRef(0, 1));
  doc.AddCorner(CItemRef(0, 0));

  doc.ClearDrawing();
  EXPECT_EQ(doc.GetItemCount(), 0);
  EXPECT_TRUE(doc.GetFilePath().isEmpty());
  EXPECT_EQ(doc.CanUndo(), 0);
  EXPECT_EQ(doc.GetRealWorldScale(), 50.0);
  EXPECT_EQ(doc.GetPrintingScale(), 20.0);
  EXPECT_EQ(doc.GetPicturePath(), QStringLiteral("/tmp/back.png"));
  // Their item indexes would point into the old drawing.
  EXPECT_EQ(doc.GetSelectedPoints().GetCount(), 0);
  EXPECT_EQ(doc.GetCornerCount(), 0);

  doc.ResetDrawing();
  EXPECT_EQ(doc.GetRealWorldScale(), 1.0);
  EXPECT_EQ(doc.GetPrintingScale(), -1.0);
  EXPECT_TRUE(doc.GetPicturePath().isEmpty());
  EXPECT_EQ(doc.GetPictureX(), 0);
  EXPECT_EQ(doc.GetPictureScale(), 1.0);
  EXPECT_EQ(doc.IsChanged(), 0);
}

TEST_F(DocumentTest, WipeCancelsTheToolUnlessKept) {
  CZephDoc doc;
  Add(doc, MakeLine(0, 0, 1000, 0));
  doc.WipeDrawing(1);
  EXPECT_EQ(host.cancelled, 0);
  EXPECT_EQ(doc.GetItemCount(), 0);
  doc.WipeDrawing(0);
  EXPECT_EQ(host.cancelled, 1);
}

TEST_F(DocumentTest, PrintingScaleMarksChangedOnlyWhenDifferent) {
  CZephDoc doc;
  doc.SetPrintingScale(-1.0);
  EXPECT_EQ(doc.IsChanged(), 0);
  doc.SetPrintingScale(50.0);
  EXPECT_EQ(doc.IsChanged(), 1);
  doc.ClearChanged();
  doc.SetPrintingScale(50.0);
  EXPECT_EQ(doc.IsChanged(), 0);
}

TEST_F(DocumentTest, DrawingName) {
  const struct {
    const char* path;
    const char* name;
  } cases[] = {
      {"C:\\a\\Plan.ZPD", "Plan"},
      {"C:\\a\\Plan.zpk", "Plan.zpk"},
      {"/home/pupil/House.zpd", "House"},
      {"/home/pupil/House", "House"},
      {"", ""},
  };
  CZephDoc doc;
  for (const auto& c : cases) {
    doc.SetFilePath(QString::fromUtf8(c.path));
    EXPECT_EQ(doc.GetDrawingName(), QString::fromUtf8(c.name)) << c.path;
  }
}

class PrinterMeasures {
 public:
  PrinterMeasures(int dpi, int width, int height)
      : m_dpiX(g_printerDpiX), m_dpiY(g_printerDpiY), m_w(g_printableWidth), m_h(g_printableHeight) {
    g_printerDpiX = dpi;
    g_printerDpiY = dpi;
    g_printableWidth = width;
    g_printableHeight = height;
  }
  ~PrinterMeasures() {
    g_printerDpiX = m_dpiX;
    g_printerDpiY = m_dpiY;
    g_printableWidth = m_w;
    g_printableHeight = m_h;
  }

 private:
  std::int32_t m_dpiX, m_dpiY, m_w, m_h;
};

TEST_F(DocumentTest, AutomaticPrintScale) {
  CZephDoc doc;
  // A page 2000 pixels wide and 3000 high at 100 dpi: 20 by 30 inches, 508000 by 762000 units.
  PrinterMeasures printer(100, 2000, 3000);
  doc.SetExtents(0, 0, 508000 - 1, 100000);
  EXPECT_DOUBLE_EQ(doc.GetAutomaticPrintScale(), 1.0);
  doc.SetExtents(0, 0, 508000, 100000);  // one unit more than the page
  EXPECT_GT(doc.GetAutomaticPrintScale(), 1.0);
  EXPECT_LT(doc.GetAutomaticPrintScale(), 1.0001);
  doc.SetExtents(0, 0, 1000, 2 * 762000);
  EXPECT_GT(doc.GetAutomaticPrintScale(), 2.0);
  EXPECT_LT(doc.GetAutomaticPrintScale(), 2.0001);
}

TEST_F(DocumentTest, AutomaticPrintScaleWithoutUsablePrinterIsOne) {
  CZephDoc doc;
  doc.SetExtents(0, 0, 100000, 100000);
  const int measures[][3] = {{0, 2000, 3000}, {100, 0, 3000}, {100, 2000, -5}, {-100, 2000, 3000}};
  for (const auto& m : measures) {
    PrinterMeasures printer(m[0], m[1], m[2]);
    EXPECT_EQ(doc.GetAutomaticPrintScale(), 1.0) << m[0] << " " << m[1] << " " << m[2];
  }
}

TEST_F(DocumentTest, ChooseUnitFactor) {
  const struct {
    int units;
    double scale;
    double factor;
  } cases[] = {
      {1, 1.0, 0.1},        {2, 1000.0, 1.0},      {3, 1.0, 100.0},       {4, 1.0, 100000.0},
      {0, 0.1, 0.1},        {0, 100.0, 100.0},     {0, 99.9, 1.0},        {0, 100000.0, 100000.0},
      {0, 0.05, 0.1},       {0, 1.0, 1.0},
  };
  CZephDoc doc;
  const std::int16_t saved = GetOptionShort(kOptionDisplayUnits);
  const double savedFactor = g_unitFactor;
  for (const auto& c : cases) {
    SetOptionShort(kOptionDisplayUnits, static_cast<std::int16_t>(c.units));
    doc.SetRealWorldScale(c.scale);
    doc.ChooseUnitFactor();
    EXPECT_EQ(g_unitFactor, c.factor) << c.units << " " << c.scale;
  }
  SetOptionShort(kOptionDisplayUnits, saved);
  g_unitFactor = savedFactor;
}

// ---- Item list ----

std::string Kinds(const CZephDoc& doc) {
  std::string s;
  for (int i = 0; i < doc.GetItemCount(); ++i) s += doc.GetItem(i)->GetType() == kItemFill ? 'F' : 'L';
  return s;
}

TEST_F(DocumentTest, FillsAreKeptInTheLeadingBlock) {
  const struct {
    const char* before;
    char added;
    int position;
    const char* after;
  } cases[] = {
      {"", 'F', 0, "F"},        {"FL", 'F', 1, "FFL"}, {"FF", 'L', 2, "FFL"},
      {"FF", 'F', 2, "FFF"},    {"LL", 'F', 0, "FLL"}, {"FLL", 'L', 3, "FLLL"},
  };
  for (const auto& c : cases) {
    CZephDoc doc;
    for (const char* k = c.before; *k != '\0'; ++k) {
      Add(doc, *k == 'F' ? MakeFill(0, 0, 1000) : MakeLine(0, 0, 1000, 0));
    }
    DrawItemPtr item = c.added == 'F' ? MakeFill(0, 0, 1000) : MakeLine(0, 0, 1000, 0);
    CDrawItem* raw = item.get();
    int index = -1;
    EXPECT_EQ(doc.AddItemWithIndex(item, index), 1);
    EXPECT_EQ(index, c.position) << c.before << "+" << c.added;
    EXPECT_EQ(doc.GetItem(index), raw);
    EXPECT_EQ(raw->GetDocument(), &doc);
    EXPECT_EQ(Kinds(doc), c.after);
  }
}

TEST_F(DocumentTest, InvalidItemIsRefusedWithoutUndoStep) {
  CZephDoc doc;
  DrawItemPtr circle = MakeCircle(0, 0, 0);  // no radius: invalid
  EXPECT_EQ(doc.AddItem(circle), 0);
  EXPECT_NE(circle, nullptr);  // still the caller's
  EXPECT_EQ(doc.CanUndo(), 0);
  EXPECT_EQ(doc.IsChanged(), 0);
  DrawItemPtr none;
  EXPECT_EQ(doc.AddItem(none), 0);
}

TEST_F(DocumentTest, FullListShowsMessageAndRefuses) {
  CZephDoc doc;
  CZephDoc::SetItemListLimitForTest(kItemListFirstCapacity);
  doc.EnableUndo(0);
  for (std::uint32_t i = 0; i < kItemListFirstCapacity; ++i) Add(doc, MakeLine(0, 0, 1000, 0));
  DrawItemPtr extra = MakeLine(0, 0, 1000, 0);
  EXPECT_EQ(doc.AddItem(extra), -1);
  EXPECT_NE(extra, nullptr);
  ASSERT_EQ(presenter.shown().size(), 1u);
  EXPECT_TRUE(presenter.shown()[0].text.startsWith(QStringLiteral("There is not enough memory")));
  EXPECT_EQ(doc.GetItemCount(), static_cast<int>(kItemListFirstCapacity));
}

TEST_F(DocumentTest, ItemListCapacityGrowsFromOneThousandAndTwentyFour) {
  CZephDoc doc;
  EXPECT_EQ(doc.GetItemCapacity(), 0u);
  doc.EnableUndo(0);
  Add(doc, MakeLine(0, 0, 1000, 0));
  EXPECT_EQ(doc.GetItemCapacity(), 1024u);
  for (int i = 1; i < 1025; ++i) Add(doc, MakeLine(0, 0, 1000, 0));
  EXPECT_EQ(doc.GetItemCapacity(), 2048u);
}

TEST_F(DocumentTest, RemovingWithRecordingOffDeletesAtOnceAndOnUndoComesBack) {
  CZephDoc doc;
  CDrawItem* a = Add(doc, MakeLine(0, 0, 1000, 0));
  CDrawItem* b = Add(doc, MakeLine(0, 0, 2000, 0));
  CDrawItem* c = Add(doc, MakeLine(0, 0, 3000, 0));
  EXPECT_EQ(doc.RemoveItemAt(3), 0);
  EXPECT_EQ(doc.RemoveItem(b), 1);
  EXPECT_EQ(doc.GetItemCount(), 2);
  EXPECT_EQ(doc.IsListed(b), 0);
  doc.Undo(nullptr, nullptr, 1);
  ASSERT_EQ(doc.GetItemCount(), 3);
  EXPECT_EQ(doc.GetItem(1), b);

  doc.EnableUndo(0);
  const ItemSerial serial = a->GetSerial();
  EXPECT_EQ(doc.RemoveItem(a), 1);
  EXPECT_EQ(doc.GetItem(0), b);
  EXPECT_EQ(doc.GetItem(1), c);
  EXPECT_NE(serial, 0u);
}

TEST_F(DocumentTest, BringToFrontAndSendToBack) {
  CZephDoc doc;
  CDrawItem* f1 = Add(doc, MakeFill(0, 0, 1000));
  CDrawItem* f2 = Add(doc, MakeFill(0, 0, 2000));
  CDrawItem* f3 = Add(doc, MakeFill(0, 0, 3000));
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0));

  EXPECT_EQ(doc.BringToFront(f3), 0);  // already frontmost
  EXPECT_EQ(doc.BringToFront(f1), 1);
  EXPECT_EQ(doc.GetItem(2), f1);
  EXPECT_EQ(doc.GetItem(0), f2);
  EXPECT_EQ(doc.SendToBack(f2), 0);  // already at the back
  EXPECT_EQ(doc.SendToBack(f1), 1);
  EXPECT_EQ(doc.GetItem(0), f1);

  int place = 0;
  int count = 0;
  EXPECT_EQ(doc.GetFillOrder(f1, place, count), 1);
  EXPECT_EQ(place, 3);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(doc.GetFillOrder(f3, place, count), 1);
  EXPECT_EQ(place, 1);
  EXPECT_EQ(doc.GetFillOrder(line, place, count), 0);
  EXPECT_EQ(doc.IsBackmostFill(f1), 1);
  EXPECT_EQ(doc.IsFrontmostFill(f3), 1);
  EXPECT_EQ(doc.IsFrontmostFill(f2), 0);

  // The fills-first order must hold: a line is never sent behind the fills.
  const int glitches = g_glitchCount;
  EXPECT_EQ(doc.SendToBack(line), 0);
  EXPECT_EQ(doc.GetItem(3), line);
  EXPECT_EQ(g_glitchCount, glitches + 1);

  // Undo takes the list moves back one by one.
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(doc.GetItem(0), f2);
  EXPECT_EQ(doc.GetItem(2), f1);
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(doc.GetItem(0), f1);
  EXPECT_EQ(doc.GetItem(1), f2);
  EXPECT_EQ(doc.GetItem(2), f3);
}

TEST_F(DocumentTest, CopyOfAnItemHasNoOwnerAndIsAdded) {
  CZephDoc doc;
  CDrawItem* line = Add(doc, MakeLine(10, 20, 1000, 0, 5));
  DrawItemPtr copy = doc.CopyItem(line);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetDocument(), nullptr);
  EXPECT_EQ(copy->GetColour(), 5);
  EXPECT_EQ(doc.AddCopyOfItem(line), 1);
  EXPECT_EQ(doc.GetItemCount(), 2);
  DrawItemPtr invalid = MakeCircle(0, 0, 0);
  EXPECT_EQ(doc.CopyItem(invalid.get()), nullptr);
  EXPECT_EQ(doc.AddCopyOfItem(invalid.get()), 0);
}

TEST_F(DocumentTest, ReplacingAnItemIsUndone) {
  CZephDoc doc;
  CDrawItem* old = Add(doc, MakeLine(0, 0, 1000, 0));
  DrawItemPtr replacement = MakeCircle(0, 0, 500);
  CDrawItem* circle = replacement.get();
  EXPECT_EQ(doc.ReplaceItemAt(0, replacement), 1);
  EXPECT_EQ(doc.GetItem(0), circle);
  EXPECT_EQ(doc.IsListed(old), 0);
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(doc.GetItem(0), old);
  doc.Redo(nullptr, nullptr);
  EXPECT_EQ(doc.GetItem(0), circle);
}

// ---- Intersection cache ----

TEST_F(DocumentTest, IntersectionCacheByPairInEitherOrderDroppedOnChange) {
  CZephDoc doc;
  CDrawItem* a = Add(doc, MakeLine(0, 0, 1000, 0));
  CDrawItem* b = Add(doc, MakeLine(0, 0, 0, 1000));
  CDrawItem* c = Add(doc, MakeLine(0, 0, 500, 500));
  ASSERT_EQ(EnsureIntersectionCapacity(2), 1);
  g_intersectX[0] = 7;
  g_intersectY[0] = 8;
  doc.CacheIntersections(1, a, b);
  doc.CacheIntersections(0, b, c);
  EXPECT_EQ(doc.FindCachedIntersections(b, a), 1);
  EXPECT_EQ(g_intersectX[0], 7);
  EXPECT_EQ(doc.FindCachedIntersections(c, b), 0);  // "no crossing" is an answer
  EXPECT_EQ(doc.FindCachedIntersections(a, c), -1);

  a->MoveBy(10, 0);
  EXPECT_EQ(doc.FindCachedIntersections(a, b), -1);
  EXPECT_EQ(doc.FindCachedIntersections(b, c), 0);

  // A deleted item's entries go with it, however it was deleted.
  doc.EnableUndo(0);
  EXPECT_EQ(doc.RemoveItem(c), 1);
  EXPECT_EQ(doc.GetCachedIntersectionCount(), 0);

  // An item outside the document is never cached.
  DrawItemPtr outside = MakeLine(0, 0, 1, 1);
  doc.CacheIntersections(0, a, outside.get());
  EXPECT_EQ(doc.GetCachedIntersectionCount(), 0);

  doc.CacheIntersections(0, a, b);
  doc.ClearDrawing();
  EXPECT_EQ(doc.GetCachedIntersectionCount(), 0);
}

TEST_F(DocumentTest, CachedAnswerOfAJournalledItemGoesWhenTheJournalFreesIt) {
  CZephDoc doc;
  CDrawItem* a = Add(doc, MakeLine(0, 0, 1000, 0));
  CDrawItem* b = Add(doc, MakeLine(0, 0, 0, 1000));
  doc.CacheIntersections(0, a, b);
  EXPECT_EQ(doc.RemoveItem(b), 1);  // the journal keeps b
  doc.FreeJournalRecords(0);        // and now deletes it
  EXPECT_EQ(doc.GetCachedIntersectionCount(), 0);
}

// ---- Word lists ----

class WordListTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    g_spellChecker = std::make_unique<CSpell>();
  }
  void TearDown() override {
    g_spellChecker.reset();
    DocumentTest::TearDown();
  }
};

TEST_F(WordListTest, TheDrawingsListIsConsultedNeverAnAuxiliaryOne) {
  CZephDoc drawing;
  ASSERT_NE(drawing.GetDocDict(), nullptr);
  EXPECT_EQ(g_spellChecker->GetCurrentDocDict(), drawing.GetDocDict());
  ASSERT_EQ(CreateAuxiliaryDocuments(), 1);
  EXPECT_EQ(g_spellChecker->GetCurrentDocDict(), drawing.GetDocDict());
  EXPECT_EQ(g_symbolDoc->IsUndoEnabled(), 0);
  EXPECT_EQ(g_hatchSamplesDoc->EnableUndo(1), 0);
  EXPECT_EQ(g_hatchSamplesDoc->IsUndoEnabled(), 0);  // never records
  g_symbolLibraryDoc->ResetDrawing();
  EXPECT_EQ(g_spellChecker->GetCurrentDocDict(), drawing.GetDocDict());
  DeleteAuxiliaryDocuments();
  EXPECT_EQ(g_symbolDoc, nullptr);

  drawing.ResetDictionary();
  EXPECT_EQ(g_spellChecker->GetCurrentDocDict(), drawing.GetDocDict());
}

TEST_F(DocumentTest, WithoutSpellCheckerThereIsNoWordList) {
  CZephDoc doc;
  EXPECT_EQ(doc.GetDocDict(), nullptr);
}

}  // namespace
