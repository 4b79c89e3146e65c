// Reading drawing files: a fixture of every version tag, the three read modes, object-number
// mapping, and a table of damaged and foreign files.
#include <QStringList>
#include <array>
#include <vector>

#include "drawingfile_fixture.h"
#include "support/log.h"

namespace {

class DrawingFileReadTest : public DrawingFileTest {};

// ---- Version tags ----

TEST_F(DrawingFileReadTest, TagsChooseVersionAndEncoding) {
  struct Case {
    const char* line;
    int status;
    int version = -1;
    bool utf8 = false;
  };
  const Case cases[] = {
      {"Zavil4", kFileOk, 0, false},      {"Zephorin1", kFileOk, 1, false},
      {"Zephorin2", kFileOk, 2, false},   {"Zephorin2m", kFileOk, 2, false},
      {"Zephorin3", kFileOk, 3, false},   {"Zephorin4", kFileOk, 4, false},
      {"Zephorin5", kFileOk, 5, false},   {"Zephorin6", kFileOk, 5, true},
      {"Zephorin7", kFileOk, 6, true},    {"Zephorin7a", kFileOk, 6, true},
      {"Zephorin8", kFileIncompatible},   {"Zephorin7b", kFileIncompatible},
      {"Zephorin9 beta", kFileIncompatible},
      {"Zephorin", kFileNotDrawing},      {"zephorin7", kFileNotDrawing},
      {"Zephorin5b", kFileNotDrawing},    {"Zephorin7 ", kFileIncompatible},
      {"", kFileNotDrawing},              {"[Zephorin]", kFileNotDrawing},
  };
  for (const Case& c : cases) {
    DrawingFileVersion version = -1;
    bool utf8 = false;
    EXPECT_EQ(IdentifyDrawingFileTag(QString::fromLatin1(c.line), version, utf8), c.status)
        << c.line;
    if (c.status == kFileOk) {
      EXPECT_EQ(version, c.version) << c.line;
      EXPECT_EQ(utf8, c.utf8) << c.line;
    }
  }
}

// ---- One fixture per version ----

struct FixtureCase {
  const char* file;
  // Items of each kind, in type order 0..8.
  std::array<int, kItemTypeCount> counts;
  int names;
  int legacy;
  double realWorldScale;
  double printingScale;
};

constexpr FixtureCase kFixtures[] = {
    {"zavil4.zpd", {2, 1, 1, 0, 0, 0, 1, 0, 0}, 0, 0, 1.0, -1.0},
    {"zephorin1.zpd", {2, 1, 1, 0, 0, 0, 1, 0, 0}, 0, 0, 1.0, -1.0},
    {"zephorin2.zpd", {1, 1, 1, 0, 1, 1, 1, 0, 0}, 2, 2, 2.5, 100.0},
    {"zephorin2m.zpd", {1, 1, 1, 0, 1, 1, 1, 0, 0}, 2, 2, 2.5, 100.0},
    {"zephorin3.zpd", {1, 1, 1, 0, 1, 1, 1, 0, 0}, 2, 2, 2.5, 100.0},
    {"zephorin4.zpd", {2, 1, 1, 2, 1, 1, 1, 1, 0}, 2, 0, 2.5, 50.0},
    {"zephorin5.zpd", {2, 1, 1, 2, 1, 1, 1, 1, 1}, 2, 0, 2.5, 50.0},
    {"zephorin6.zpd", {2, 1, 1, 2, 1, 1, 1, 1, 1}, 2, 0, 2.5, 50.0},
    {"zephorin7.zpd", {2, 1, 1, 2, 1, 1, 1, 1, 1}, 2, 0, 2.5, 50.0},
    {"zephorin7a.zpd", {2, 1, 1, 2, 1, 1, 1, 1, 1}, 2, 0, 2.5, 50.0},
};

TEST_F(DrawingFileReadTest, EveryVersionOpensWhole) {
  int converted = 0;
  static int* s_converted = nullptr;
  s_converted = &converted;
  SetLegacyConversionHook([](CZephDoc&) { ++*s_converted; });
  for (const FixtureCase& f : kFixtures) {
    SCOPED_TRACE(f.file);
    CZephDoc doc;
    const int before = converted;
    ASSERT_EQ(doc.ReadDrawingFile(FixturePath(f.file), kReadOpen), 1);
    EXPECT_EQ(g_fileStatus, kFileOk);
    for (int type = 0; type < kItemTypeCount; ++type) {
      EXPECT_EQ(CountOfType(doc, type), f.counts[static_cast<std::size_t>(type)]) << type;
    }
    EXPECT_EQ(doc.GetNameCount(), f.names);
    EXPECT_EQ(static_cast<int>(doc.GetLegacySegments().size()), f.legacy);
    EXPECT_EQ(converted - before, f.legacy > 0 ? 1 : 0);
    EXPECT_EQ(doc.GetRealWorldScale(), f.realWorldScale);
    EXPECT_EQ(g_realWorldScale, f.realWorldScale);
    EXPECT_EQ(doc.GetPrintingScale(), f.printingScale);
    EXPECT_EQ(doc.GetFilePath(), FixturePath(f.file));
    EXPECT_EQ(doc.IsChanged(), 0);
    EXPECT_EQ(doc.IsUndoEnabled(), 1);
    EXPECT_EQ(doc.CanUndo(), 0);
    // Fills stay in front of everything else, in the file's order.
    for (int i = 0; i < CountOfType(doc, kItemFill); ++i) {
      EXPECT_EQ(doc.GetItem(i)->GetType(), kItemFill);
    }
  }
}

TEST_F(DrawingFileReadTest, OldestVersionsUseThePointTable) {
  for (const char* file : {"zavil4.zpd", "zephorin1.zpd"}) {
    SCOPED_TRACE(file);
    CZephDoc doc;
    ASSERT_EQ(doc.ReadDrawingFile(FixturePath(file), kReadOpen), 1);
    ASSERT_EQ(g_fileStatus, kFileOk);
    // Points 1 and 3, in tenths of a millimetre, times 100; no colours, pen width 1.
    EXPECT_EQ(DumpDrawing(doc),
              "0 c33554432 g0 o2 10000,20000-30000,60000 st1 w1\n"
              "0 c33554432 g0 o1 50000,20000-30000,60000 st4 w1\n"
              "1 c33554432 g0 o3 50000,20000-10000,20000 a" +
                  Number(90.0 * g_radiansPerDegree) +
                  " w1\n"
                  "2 c33554432 g0 o3 30000,30000 r5000 w1\n"
                  // The text's corner drops by its size, its width is fitted to the old one,
                  // and it takes the next free object number.
                  "6 c33554432 g0 o2 10000,95000 'Hello' Arial/65/56/00 0 0 t-1\n");
    EXPECT_EQ(measurer.lastWidthPercent, 100);
  }
}

TEST_F(DrawingFileReadTest, VersionsTwoAndThreeConvertColoursTextsAndDimensions) {
  struct Case {
    const char* file;
    int textPosition;
  };
  for (const Case c : {Case{"zephorin2.zpd", 1}, Case{"zephorin2m.zpd", 2},
                       Case{"zephorin3.zpd", 2}}) {
    SCOPED_TRACE(c.file);
    CZephDoc doc;
    ASSERT_EQ(doc.ReadDrawingFile(FixturePath(c.file), kReadOpen), 1);
    ASSERT_EQ(g_fileStatus, kFileOk);
    EXPECT_EQ(FirstOfType(doc, kItemLine)->GetColour(), 50266112);  // index 3: blue
    EXPECT_EQ(FirstOfType(doc, kItemArc)->GetColour(), 33587200);   // index 2: green
    EXPECT_EQ(FirstOfType(doc, kItemEllipse)->GetColour(), 50331392);
    const CDrawItem* text = FirstOfType(doc, kItemText);
    int x = 0, y = 0;
    text->GetPosition(x, y);
    EXPECT_EQ(x, 10000);
    EXPECT_EQ(y, 44000);  // moved down by its size x 100 at angle 0
    EXPECT_EQ(DumpFont(text->GetFont()), "Arial/13/577/00");  // 20 x 30 x 7.7 / 8 pixels
    EXPECT_EQ(text->GetTextTag(), -1);
    EXPECT_EQ(text->GetGroupNumber(), 0);
    EXPECT_EQ(text->GetColour(), 33619967);  // index 9: yellow
    const CDrawItem* dimension = FirstOfType(doc, kItemDimension);
    EXPECT_EQ(DumpFont(dimension->GetFont()), "Arial/10/100/00");
    EXPECT_EQ(dimension->GetTextPosition(), c.textPosition);
    const CLegacySegment& segment = doc.GetLegacySegments()[1];
    int sx = 0, sy = 0;
    segment.GetEndPoint(0, sx, sy);
    EXPECT_EQ(sy, 2500);
    EXPECT_EQ(segment.GetColour(), 33554687);
    EXPECT_EQ(segment.GetState(), 3);
    EXPECT_EQ(segment.GetCode(), 2500);
    EXPECT_EQ(segment.GetGroupNumber(), 12);
    EXPECT_EQ(doc.GetObjectName(5, 0), QStringLiteral("Walls"));
    EXPECT_EQ(doc.GetObjectName(7, 0), QStringLiteral("Garden"));
  }
}

TEST_F(DrawingFileReadTest, OldHatchesTakeObjectNumbersADrawingCanHold) {
  QFile fixture(FixturePath("zephorin2.zpd"));
  ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
  QByteArray bytes = fixture.readAll();
  // Both hatch segments of object 12 belong to object -2 instead.
  ASSERT_EQ(bytes.count("\r\n12\r\n"), 2);
  bytes.replace("\r\n12\r\n", "\r\n-2\r\n");
  CZephDoc doc;
  ASSERT_EQ(doc.ReadDrawingFile(Put(QStringLiteral("hatch.zpd"), bytes), kReadOpen), 1);
  for (int i = 0; i < doc.GetItemCount(); ++i) EXPECT_GE(doc.GetItem(i)->GetObjectNumber(), 1);
  const auto& segments = doc.GetLegacySegments();
  for (const CLegacySegment& segment : segments) EXPECT_GE(segment.GetGroupNumber(), 1);
}

TEST_F(DrawingFileReadTest, TextEncodingFollowsTheTag) {
  struct Case {
    const char* file;
    const char16_t* text;
  };
  for (const Case c : {Case{"zephorin5.zpd", u"Caf\u00e9"}, Case{"zephorin6.zpd", u"Caf\u00e9 \u20ac"},
                       Case{"zephorin7.zpd", u"Caf\u00e9 \u20ac"}}) {
    CZephDoc doc;
    ASSERT_EQ(doc.ReadDrawingFile(FixturePath(c.file), kReadOpen), 1);
    EXPECT_EQ(FirstOfType(doc, kItemText)->GetText(), QString::fromUtf16(c.text)) << c.file;
  }
  // The UTF-8 bytes of a version 6 file read through the legacy table in a version 5 file.
  QByteArray bytes = FileBytes(FixturePath("zephorin6.zpd"));
  bytes.replace("Zephorin6", "Zephorin5");
  CZephDoc doc;
  ASSERT_EQ(doc.ReadDrawingFile(Put("five.zpd", bytes), kReadOpen), 1);
  EXPECT_NE(FirstOfType(doc, kItemText)->GetText(), QStringLiteral("Caf\u00e9 \u20ac"));
}

TEST_F(DrawingFileReadTest, NewestVersionKeepsPageSetUpPictureWordsAndGroups) {
  StartSpellChecker();
  CZephDoc doc;
  ASSERT_EQ(doc.ReadDrawingFile(FixturePath("zephorin7.zpd"), kReadOpen), 1);
  ASSERT_EQ(g_fileStatus, kFileOk);
  const CPrintSettings& page = doc.GetPrintSettings();
  EXPECT_EQ(page.GetLandscape(), 1);
  EXPECT_EQ(page.GetBottomMargin(), 1.0);
  EXPECT_EQ(page.GetMultiPageMargin(), 0.5);
  EXPECT_EQ(page.GetPageHorizontal(), 1);
  EXPECT_EQ(page.GetFooterFont().GetSize(), 9);
  EXPECT_EQ(page.GetPrintFilename(), 0);
  EXPECT_EQ(page.GetFooterAlignment(), 2);
  EXPECT_EQ(doc.GetPicturePath(), QStringLiteral("Pictures/site.png"));
  EXPECT_EQ(doc.GetPictureX(), -5000);
  EXPECT_EQ(doc.GetPictureY(), 7000);
  EXPECT_EQ(doc.GetPictureScale(), 1.5);
  ASSERT_NE(doc.GetDocDict(), nullptr);
  EXPECT_EQ(doc.GetDocDict()->GetWordCount(), 2);
  EXPECT_EQ(doc.GetDocDict()->ContainsWord(QStringLiteral("O'CLOCK")), 1);
  EXPECT_EQ(doc.GetDocDict()->IsModified(), 0);
  EXPECT_EQ(doc.GetGroupCounter(), 7);
  const CDrawItem* text = FirstOfType(doc, kItemText);
  EXPECT_EQ(text->GetTextTag(), -1);
  EXPECT_EQ(DumpFont(text->GetFont()), "Times New Roman/12/150/10");
  const CDrawItem* fill = FirstOfType(doc, kItemFill);
  EXPECT_EQ(fill->GetHoleCount(), 1);
  EXPECT_EQ(fill->GetBoundary()->GetCount(), 4);
  ASSERT_NE(fill->GetHatchPattern(), nullptr);
  EXPECT_EQ(fill->GetHatchPattern()->GetNumber(), 3);
  // A fill written without a pattern reads back without one.
  EXPECT_EQ(FirstOfType(doc, kItemFill, 1)->GetHatchPattern(), nullptr);
}

TEST_F(DrawingFileReadTest, TextTagIsNoRecentColour) {
  static std::vector<std::uint32_t> s_colours;
  s_colours.clear();
  SetRecentColourHandler([](std::uint32_t colour) { s_colours.push_back(colour); });
  CZephDoc doc;
  ASSERT_EQ(doc.ReadDrawingFile(FixturePath("zephorin7.zpd"), kReadOpen), 1);
  EXPECT_FALSE(s_colours.empty());
  for (std::uint32_t colour : s_colours) EXPECT_NE(colour, 4294967295u);
}

TEST_F(DrawingFileReadTest, OlderVersionsTakePageSetUpFromOptionsAndClearThePicture) {
  CZephDoc doc;
  doc.SetPicturePath(QStringLiteral("old.png"));
  doc.SetPicturePlace(5, 6, 2.0);
  doc.GetPrintSettings().SetLandscape(1 - GetOptionFlag(kOptionPrintLandscape));
  ASSERT_EQ(doc.ReadDrawingFile(FixturePath("zephorin4.zpd"), kReadOpen), 1);
  EXPECT_EQ(doc.GetPrintSettings().GetLandscape(), GetOptionFlag(kOptionPrintLandscape));
  EXPECT_TRUE(doc.GetPicturePath().isEmpty());
  EXPECT_EQ(doc.GetPictureX(), 0);
  EXPECT_EQ(doc.GetPictureScale(), 1.0);
}

// ---- Modes ----

TEST_F(DrawingFileReadTest, InsertRenumbersObjectsInUseAsOneUndoStep) {
  // The drawing uses object 1; the inserted file uses 1 and 3.
  CZephDoc doc;
  DrawItemPtr own = MakeLine(0, 0, 1000, 0);
  own->SetObjectNumber(1);
  doc.EnableUndo(0);
  Add(doc, std::move(own));
  doc.EnableUndo(1);
  doc.SetPicturePath(QStringLiteral("mine.png"));
  doc.GetPrintSettings().SetLandscape(0);
  const QString inserted = Put("insert.zpd", Lines({"Zephorin7", "0", "0", "3", "0", "0", "0",
                                                     "0", "0", "0", "0", "1", "-1", "0",
                                                     // lines: object 1, object 3, object 1
                                                     "0", "0", "10", "0", "1", "1", "33554432",
                                                     "4", "1", "0", "5", "10", "5", "1", "3",
                                                     "33554432", "4", "1", "0", "9", "10", "9",
                                                     "1", "1", "33554432", "5", "1",
                                                     // words, page set-up, picture
                                                     "0", "1", "3", "3", "3", "3", "3", "3",
                                                     "0", "0", "Arial", "9", "0", "0", "0",
                                                     "0", "0", "0", "0", "0", "other.png",
                                                     "1", "2", "3"}));
  doc.ClearChanged();
  ASSERT_EQ(doc.ReadDrawingFile(inserted, kReadInsert), 1);
  ASSERT_EQ(g_fileStatus, kFileOk);
  ASSERT_EQ(doc.GetItemCount(), 4);
  EXPECT_EQ(doc.GetItem(1)->GetObjectNumber(), 2);
  EXPECT_EQ(doc.GetItem(2)->GetObjectNumber(), 3);
  EXPECT_EQ(doc.GetItem(3)->GetObjectNumber(), 2);
  // The inserted groups stay apart from the drawing's.
  EXPECT_GT(doc.GetItem(1)->GetGroupNumber(), 0);
  EXPECT_NE(doc.GetItem(1)->GetGroupNumber(), 4);
  EXPECT_EQ(doc.GetItem(1)->GetGroupNumber(), doc.GetItem(2)->GetGroupNumber());
  EXPECT_NE(doc.GetItem(1)->GetGroupNumber(), doc.GetItem(3)->GetGroupNumber());
  EXPECT_EQ(doc.IsChanged(), 1);
  EXPECT_TRUE(doc.GetFilePath().isEmpty());
  // The open drawing keeps its page set-up and picture.
  EXPECT_EQ(doc.GetPicturePath(), QStringLiteral("mine.png"));
  EXPECT_EQ(doc.GetPrintSettings().GetLandscape(), 0);
  EXPECT_EQ(doc.GetJournal().groupState, 0);
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(doc.GetItemCount(), 1);
  EXPECT_EQ(doc.CanUndo(), 0);
}

// Fills lead the list in the order the file holds them, ahead of the curves the file stores
// before them, whether the drawing is opened or inserted into one that has fills already;
// undoing the insertion takes back exactly what came.
TEST_F(DrawingFileReadTest, FillsLeadTheListInFileOrder) {
  const auto curve = [](int x) {
    DrawItemPtr item = CreateItem(kItemBezier);
    item->SetStart(x, 0);
    item->SetEnd(x + 1000, 0);
    item->SetControlPoint(0, x + 300, 500);
    item->SetControlPoint(1, x + 700, -500);
    return item;
  };
  CZephDoc source;
  for (int k = 0; k < 3; ++k) Add(source, curve(k * 2000));
  for (int k = 0; k < 4; ++k) Add(source, MakeFill(k * 1000, 5000, 500 + k));
  Add(source, MakeLine(0, 0, 100, 100));
  source.WriteDrawingFile(PathOf("fills.zpd"));
  ASSERT_EQ(g_fileStatus, kFileOk);
  // Where each item came from: its kind and first handle.
  const auto order = [](const CZephDoc& doc) {
    std::vector<std::pair<int, int>> kinds;
    for (int i = 0; i < doc.GetItemCount(); ++i) {
      kinds.emplace_back(doc.GetItem(i)->GetType(), doc.GetItem(i)->GetHandleX(0));
    }
    return kinds;
  };
  CZephDoc opened;
  ASSERT_EQ(opened.ReadDrawingFile(PathOf("fills.zpd"), kReadOpen), 1);
  ASSERT_EQ(g_fileStatus, kFileOk);
  EXPECT_EQ(order(opened), order(source));

  CZephDoc target;
  Add(target, MakeFill(-9000, -9000, 100));
  Add(target, MakeLine(-5000, -5000, -4000, -4000));
  const auto before = order(target);
  ASSERT_EQ(target.ReadDrawingFile(PathOf("fills.zpd"), kReadInsert), 1);
  std::vector<std::pair<int, int>> expected = {before[0]};
  const auto all = order(source);
  expected.insert(expected.end(), all.begin(), all.begin() + 4);  // the fills
  expected.push_back(before[1]);
  expected.insert(expected.end(), all.begin() + 4, all.end());  // the curves, the line
  EXPECT_EQ(order(target), expected);
  target.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(order(target), before);
}

TEST_F(DrawingFileReadTest, InsertRunsTheConversionInsideItsUndoStep) {
  static int s_groupState = -1;
  SetLegacyConversionHook([](CZephDoc& d) {
    s_groupState = d.GetJournal().groupState;
    DrawItemPtr made = MakeLine(0, 0, 500, 500);
    d.AddItem(made);
  });
  CZephDoc doc;
  ASSERT_EQ(doc.ReadDrawingFile(FixturePath("zephorin2.zpd"), kReadInsert), 1);
  EXPECT_NE(s_groupState, 0);
  const int items = doc.GetItemCount();
  EXPECT_EQ(items, 7);
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(doc.GetItemCount(), 0);
}

TEST_F(DrawingFileReadTest, LibraryNumbersFromThirtyThousandAndOne) {
  // Objects 5, 7, 5, 0 and 40000, in that order.
  const QString library = Put("lib.zsy", Lines({"Zephorin7", "0", "0", "5", "0", "0", "0", "0",
                                                 "0", "0", "1", "1", "-1", "0",
                                                 "0", "0", "10", "0", "1", "5", "0", "0", "1",
                                                 "0", "1", "10", "1", "1", "7", "0", "0", "1",
                                                 "0", "2", "10", "2", "1", "5", "0", "0", "1",
                                                 "0", "3", "10", "3", "1", "0", "0", "0", "1",
                                                 "0", "4", "10", "4", "1", "32767", "0", "0",
                                                 "1", "5", "Tree", "0", "0", "2", "2", "2", "1",
                                                 "2", "0", "0", "0", "Arial", "9", "0", "0",
                                                 "0", "0", "0", "0", "0", "0", "", "0", "0",
                                                 "1"}));
  CZephDoc doc(DocumentRole::kAuxiliary);
  ASSERT_EQ(doc.ReadDrawingFile(library, kReadSymbolLibrary), 1);
  ASSERT_EQ(g_fileStatus, kFileOk);
  ASSERT_EQ(doc.GetItemCount(), 5);
  EXPECT_EQ(doc.GetItem(0)->GetObjectNumber(), 30001);
  EXPECT_EQ(doc.GetItem(1)->GetObjectNumber(), 30002);
  EXPECT_EQ(doc.GetItem(2)->GetObjectNumber(), 30001);
  EXPECT_EQ(doc.GetItem(3)->GetObjectNumber(), 30003);
  EXPECT_EQ(doc.GetItem(4)->GetObjectNumber(), 30003);
  // The names are read past; the lines after them still in step.
  EXPECT_EQ(doc.GetNameCount(), 0);
  EXPECT_EQ(doc.GetPrintSettings().GetTopMargin(), 2.0);
  EXPECT_EQ(doc.IsChanged(), 0);
  EXPECT_EQ(doc.GetObjectCount(), 3);
}

TEST_F(DrawingFileReadTest, LibraryLeavesTheCheckersListAlone) {
  StartSpellChecker();
  CZephDoc drawing;
  CDocDict* consulted = g_spellChecker->GetCurrentDocDict();
  ASSERT_EQ(consulted, drawing.GetDocDict());
  CZephDoc library(DocumentRole::kAuxiliary);
  ASSERT_EQ(library.ReadDrawingFile(FixturePath("zephorin7.zpd"), kReadSymbolLibrary), 1);
  EXPECT_EQ(g_spellChecker->GetCurrentDocDict(), consulted);
  // Also a drawing document read as a library keeps the list the checker consults.
  CZephDoc other;
  ASSERT_EQ(g_spellChecker->GetCurrentDocDict(), other.GetDocDict());
  ASSERT_EQ(drawing.ReadDrawingFile(FixturePath("zephorin7.zpd"), kReadSymbolLibrary), 1);
  EXPECT_EQ(g_spellChecker->GetCurrentDocDict(), other.GetDocDict());
}

TEST_F(DrawingFileReadTest, InsertMergesWordsAndOpenReplacesThem) {
  StartSpellChecker();
  CZephDoc doc;
  CDocDict* list = doc.GetDocDict();
  list->AddWord(QStringLiteral("BARN"));
  ASSERT_EQ(doc.ReadDrawingFile(FixturePath("zephorin7.zpd"), kReadInsert), 1);
  EXPECT_EQ(doc.GetDocDict(), list);
  EXPECT_EQ(list->ContainsWord(QStringLiteral("BARN")), 1);
  EXPECT_EQ(list->ContainsWord(QStringLiteral("SHED")), 1);
  ASSERT_EQ(doc.ReadDrawingFile(FixturePath("zephorin7.zpd"), kReadOpen), 1);
  EXPECT_EQ(doc.GetDocDict()->ContainsWord(QStringLiteral("BARN")), 0);
  EXPECT_EQ(doc.GetDocDict()->ContainsWord(QStringLiteral("SHED")), 1);
}

TEST_F(DrawingFileReadTest, ForeignFileLeavesTheDrawingAndItsWords) {
  StartSpellChecker();
  CZephDoc doc;
  Add(doc, MakeLine(0, 0, 100, 100));
  doc.GetDocDict()->AddWord(QStringLiteral("BARN"));
  CDocDict* list = doc.GetDocDict();
  for (int mode : {kReadOpen, kReadInsert, kReadSymbolLibrary}) {
    EXPECT_EQ(doc.ReadDrawingFile(Put("other.txt", "[Zephorin]\r\nKey=1\r\n"), mode), 0);
    EXPECT_EQ(g_fileStatus, kFileNotDrawing);
    EXPECT_EQ(doc.GetItemCount(), 1);
    EXPECT_EQ(doc.GetDocDict(), list);
    EXPECT_EQ(list->ContainsWord(QStringLiteral("BARN")), 1);
  }
  EXPECT_EQ(doc.ReadDrawingFile(PathOf("missing.zpd"), kReadOpen), 0);
  EXPECT_EQ(g_fileStatus, kFileNotFound);
  EXPECT_EQ(doc.GetItemCount(), 1);
}

TEST_F(DrawingFileReadTest, InvalidModeIsRefused) {
  CZephDoc doc;
  EXPECT_EQ(doc.ReadDrawingFile(FixturePath("zephorin7.zpd"), 3), 0);
  EXPECT_EQ(doc.GetItemCount(), 0);
}

TEST_F(DrawingFileReadTest, FreshNumbersStopAtTheLargestObjectNumber) {
  CZephDoc doc;
  doc.ClearLoadNumberMap();
  doc.GetLoadNumberMap().nextFree = 32765;
  std::vector<int> given;
  for (int n = 1; n <= 5; ++n) given.push_back(doc.MapLoadedObjectNumber(n, kReadSymbolLibrary));
  EXPECT_EQ(given, (std::vector<int>{32765, 32766, 32767, 32767, 32767}));
  EXPECT_EQ(doc.GetLoadNumberMap().nextFree, 32767);
  EXPECT_EQ(doc.MapLoadedObjectNumber(-5, kReadSymbolLibrary), 32767);
  EXPECT_EQ(doc.MapLoadedObjectNumber(2, kReadSymbolLibrary), 32766);
}

TEST_F(DrawingFileReadTest, IgnoredItemsAreReportedInEveryMode) {
  // Two lines of no length and a fill of a style the program does not know.
  const QByteArray bytes = Lines(
      {"Zephorin7", "0", "1", "2", "0", "0", "0", "0", "0", "0", "0", "1", "-1", "0",
       // the fill: style 9
       "0", "1", "0", "0", "9", "0", "-1", "3", "0", "0", "0", "10", "0", "0", "10", "0", "10",
       "10", "0", "10", "10", "0", "0",
       // two lines from a point to itself
       "5", "5", "5", "5", "1", "1", "0", "0", "1", "7", "7", "7", "7", "1", "1", "0", "0", "1",
       "0", "0", "2", "2", "2", "1", "2", "0", "0", "0", "Arial", "9", "0", "0", "0", "0", "0",
       "0", "0", "0", "", "0", "0", "1"});
  const QString path = Put("ignored.zpd", bytes);
  for (int mode : {kReadOpen, kReadInsert, kReadSymbolLibrary}) {
    SCOPED_TRACE(mode);
    presenter.Clear();
    CZephDoc doc;
    SetOptionFlag(kOptionReportIgnoredItems, 1);
    const int glitches = g_glitchCount;
    ASSERT_EQ(doc.ReadDrawingFile(path, mode), 1);
    EXPECT_EQ(g_glitchCount, glitches);
    EXPECT_EQ(g_fileStatus, kFileOk);
    EXPECT_EQ(doc.GetItemCount(), 0);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_TRUE(presenter.shown()[0].text.contains(QStringLiteral("3 items"))) << presenter.shown()[0].text.toStdString();
    presenter.Clear();
    SetOptionFlag(kOptionReportIgnoredItems, 0);
    ASSERT_EQ(doc.ReadDrawingFile(path, mode), 1);
    EXPECT_TRUE(presenter.shown().empty());
  }
}

// ---- Damaged and foreign files ----

struct DamagedCase {
  const char* name;
  QByteArray (*make)();
  int result;
  int status;
  int messageId;
  int items;  // items left in the drawing
};

QByteArray Newest() { return FileBytes(FixturePath("zephorin7.zpd")); }
// The newest fixture with its line number n (from 0) replaced.
QByteArray NewestWith(int n, const QByteArray& line) {
  QList<QByteArray> lines = Newest().split('\n');
  lines[n] = line + "\r";
  return lines.join('\n');
}

const DamagedCase kDamaged[] = {
    {"empty file", [] { return QByteArray(); }, 0, kFileNotDrawing, kIdsNotDrawing, 0},
    {"other program", [] { return QByteArray("PK\x03\x04\x14\x00\x06\x00binary"); }, 0,
     kFileNotDrawing, kIdsNotDrawing, 0},
    {"newer version", [] { return QByteArray("Zephorin8\r\n1\r\n"); }, 0, kFileIncompatible,
     kIdsIncompatible, 0},
    {"tag only", [] { return QByteArray("Zephorin7\r\n"); }, 1, kFileEndedTooSoon,
     kIdsEndedTooSoon, 0},
    {"header cut short", [] { return Newest().left(40); }, 1, kFileEndedTooSoon,
     kIdsEndedTooSoon, 0},
    {"scale 1e400", [] { return NewestWith(11, "1e400"); }, 1, kFileIllegalValue,
     kIdsIllegalValue, 0},
    {"scale nan", [] { return NewestWith(11, "nan"); }, 1, kFileIllegalValue, kIdsIllegalValue, 0},
    {"negative count", [] { return NewestWith(3, "-1"); }, 1, kFileIllegalValue,
     kIdsIllegalValue, 0},
    // The fill's hole count, then its edge count.
    {"hole count 2^31-1", [] { return NewestWith(26, "2147483647"); }, 1, kFileIllegalValue,
     kIdsIllegalValue, 1},
    {"negative hole count", [] { return NewestWith(26, "-1"); }, 1, kFileIllegalValue,
     kIdsIllegalValue, 1},
    {"negative edge count", [] { return NewestWith(41, "-5"); }, 1, kFileIllegalValue,
     kIdsIllegalValue, 1},
    {"edge kind 4", [] { return NewestWith(42, "4"); }, 1, kFileIllegalValue, kIdsIllegalValue,
     1},
    {"colour not a number", [] { return NewestWith(22, "red"); }, 1, kFileIllegalValue,
     kIdsIllegalValue, 0},
    {"fill style -1", [] { return NewestWith(30, "-1"); }, 1, kFileIllegalValue,
     kIdsIllegalValue, 1},
    {"version 2 colour index 10",
     [] {
       QByteArray b = FileBytes(FixturePath("zephorin2.zpd"));
       return b.replace("\r\n12\r\n1\r\n3\r\n2500", "\r\n12\r\n10\r\n3\r\n2500");
     },
     1, kFileIllegalValue, kIdsIllegalValue, 0},
    {"version 1 point 4 of 3",
     [] {
       QByteArray b = FileBytes(FixturePath("zephorin1.zpd"));
       return b.replace("600\r\n1\r\n3\r\n", "600\r\n1\r\n4\r\n");
     },
     1, kFileIllegalValue, kIdsIllegalValue, 0},
    {"version 1 point 0",
     [] {
       QByteArray b = FileBytes(FixturePath("zephorin1.zpd"));
       return b.replace("600\r\n1\r\n3\r\n", "600\r\n0\r\n3\r\n");
     },
     1, kFileIllegalValue, kIdsIllegalValue, 0},
    {"invalid UTF-8 at a line end",
     [] {
       QByteArray b = Newest();
       return b.replace(QByteArray("Caf\xc3\xa9 \xe2\x82\xac\r\n"), QByteArray("Caf\xc3\r\n"));
     },
     1, kFileOk, 0, 11},
    {"word count larger than the file",
     [] {
       QByteArray b = Newest();
       return b.replace("Garden\r\n5\r\nWalls\r\n2\r\n", "Garden\r\n5\r\nWalls\r\n99999\r\n");
     },
     1, kFileIllegalValue, kIdsIllegalValue, 11},
    {"word count 2^31-1",
     [] {
       QByteArray b = Newest();
       return b.replace("Walls\r\n2\r\n", "Walls\r\n2147483647\r\n");
     },
     1, kFileIllegalValue, kIdsIllegalValue, 11},
    {"word list cut short",
     [] {
       QByteArray b = Newest();
       return b.left(b.indexOf("SHED"));
     },
     1, kFileEndedTooSoon, kIdsEndedTooSoon, 11},
    {"picture damaged",
     [] {
       QByteArray b = Newest();
       return b.replace("Pictures/site.png\r\n-5000", "Pictures/site.png\r\nleft");
     },
     1, kFileIllegalValue, kIdsIllegalValue, 11},
};

TEST_F(DrawingFileReadTest, DamagedFilesStopSafely) {
  for (const DamagedCase& c : kDamaged) {
    SCOPED_TRACE(c.name);
    CZephDoc doc;
    const QString path = Put(QStringLiteral("damaged.zpd"), c.make());
    const int glitches = g_glitchCount;
    EXPECT_EQ(doc.ReadDrawingFile(path, kReadOpen), c.result);
    EXPECT_EQ(g_glitchCount, glitches);
    EXPECT_EQ(g_fileStatus, c.status);
    EXPECT_EQ(FileErrorMessageId(g_fileStatus), c.messageId);
    if (c.status != kFileOk) {
      EXPECT_FALSE(DrawingFileErrorMessage(path).isEmpty());
    }
    EXPECT_EQ(doc.GetItemCount(), c.items);
    // Every read ends in the same state: recording on, not changed.
    EXPECT_EQ(doc.IsUndoEnabled(), 1);
    EXPECT_EQ(doc.IsChanged(), 0);
    // Only a whole file, or one damaged after its items, names the drawing.
    if (c.status != kFileOk && c.items == 0) {
      EXPECT_TRUE(doc.GetFilePath().isEmpty());
    }
  }
}

TEST_F(DrawingFileReadTest, EveryTruncationKeepsTheItemsBeforeIt) {
  const QByteArray whole = Newest();
  const QList<QByteArray> lines = whole.split('\n');
  int previous = 0;
  for (int n = 1; n < lines.size() - 1; ++n) {
    QByteArray cut;
    for (int i = 0; i < n; ++i) cut += lines[i] + '\n';
    for (int mode : {kReadOpen, kReadInsert, kReadSymbolLibrary}) {
      SCOPED_TRACE(testing::Message() << n << " lines, mode " << mode);
      CZephDoc target;
      ASSERT_EQ(target.ReadDrawingFile(Put("cut.zpd", cut), mode), 1);
      EXPECT_EQ(g_fileStatus, kFileEndedTooSoon);
      EXPECT_EQ(target.GetJournal().groupState, 0);
      if (mode == kReadOpen) {
        EXPECT_GE(target.GetItemCount(), previous);
        previous = target.GetItemCount();
        EXPECT_EQ(target.IsChanged(), 0);
        EXPECT_EQ(target.IsUndoEnabled(), 1);
      }
      if (mode == kReadInsert) {
        // What was inserted before the break is one step.
        while (target.CanUndo() != 0) target.Undo(nullptr, nullptr, 1);
        EXPECT_EQ(target.GetItemCount(), 0);
      }
    }
  }
  EXPECT_EQ(previous, 11);
}

TEST_F(DrawingFileReadTest, HugeCountsEndAtTheFirstFailedRead) {
  // An edge count no file holds: the loop reads on into the following lines and stops at the
  // first line that is no edge, or at the end.
  CZephDoc doc;
  ASSERT_EQ(doc.ReadDrawingFile(Put("huge.zpd", NewestWith(41, "2147483647")), kReadOpen), 1);
  EXPECT_TRUE(g_fileStatus == kFileIllegalValue || g_fileStatus == kFileEndedTooSoon);
  EXPECT_EQ(doc.GetItemCount(), 1);
}

TEST_F(DrawingFileReadTest, FittingNeverDividesByNothing) {
  // An old text with no characters, and one the measurer cannot measure.
  measurer.pixelsPerCharacter = 0;
  const QString path = Put("old.zpd", Lines({"Zephorin1", "0", "0", "0", "0", "2", "10", "20",
                                             "", "5", "10", "30", "Hi", "5"}));
  CZephDoc doc;
  ASSERT_EQ(doc.ReadDrawingFile(path, kReadOpen), 1);
  EXPECT_EQ(g_fileStatus, kFileOk);
  // The empty text is ignored; the other keeps its normal width.
  ASSERT_EQ(doc.GetItemCount(), 1);
  EXPECT_EQ(doc.GetItem(0)->GetFont()->GetWidthPercent(), 100);
}

}  // namespace
