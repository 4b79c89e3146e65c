// The document's named objects and object numbers: the name table in natural order, finding
// objects, unique names for copies, the object list with its ticks, the copy map and groups.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "doc_fixture.h"
#include "document/document.h"
#include "items/drawitem.h"
#include "items/viewmapping.h"
#include "platform/presenter.h"
#include "support/log.h"

static void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace {

class ObjectsTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    ResetItemGlobals();
    ResetViewGlobals();
    m_doc = std::make_unique<CZephDoc>();
    ResetLogState();
  }
  void TearDown() override {
    m_doc.reset();
    DocumentTest::TearDown();
  }

  // Exactly one glitch since the log was reset, with this code and number.
  static void ExpectGlitch(int code, int n, const std::string& name = "") {
    EXPECT_EQ(g_glitchCount, 1) << name;
    EXPECT_EQ(g_firstGlitchCode, code) << name;
    EXPECT_EQ(g_firstGlitchNumber, n) << name;
  }

  // A line of the given object number and group, added to the document.
  CDrawItem* AddLine(int objectNumber, int group = 0, int x = 0) {
    DrawItemPtr line = MakeLine(x, 0, x + 1000, 500);
    line->SetObjectNumber(static_cast<std::int16_t>(objectNumber));
    line->SetGroupNumber(group);
    return Add(*m_doc, std::move(line));
  }

  // Items numbered 1..count, without undo records, and the object list rebuilt.
  void FillNumbers(int count) {
    const int was = m_doc->EnableUndo(0);
    for (int n = 1; n <= count; ++n) AddLine(n, 0, n);
    m_doc->EnableUndo(was);
    EXPECT_EQ(m_doc->RebuildObjectList(), count);
  }

  QStringList Names() const {
    QStringList names;
    for (int i = 0; i < m_doc->GetNameCount(); ++i) names << m_doc->GetNameAt(i);
    return names;
  }

  std::vector<int> ObjectList() const {
    std::vector<int> numbers;
    for (int i = 0; i < m_doc->GetObjectCount(); ++i)
      numbers.push_back(m_doc->GetObjectNumberAt(i));
    return numbers;
  }

  std::optional<UndoKind> TopKind() const {
    const CUndoJournal& j = m_doc->GetJournal();
    if (j.undoCount == 0) return std::nullopt;
    return j.records[static_cast<std::size_t>(j.undoCount - 1)].Kind();
  }

  std::unique_ptr<CZephDoc> m_doc;
};

TEST_F(ObjectsTest, NamesAreKeptInNaturalOrderWithTheirNumbers) {
  EXPECT_EQ(m_doc->SetObjectName(1, QStringLiteral("Wall 10")), 1);
  EXPECT_EQ(m_doc->SetObjectName(2, QStringLiteral("Wall 9")), 1);
  EXPECT_EQ(m_doc->SetObjectName(3, QStringLiteral("wall 2")), 1);
  EXPECT_EQ(Names(), QStringList({"wall 2", "Wall 9", "Wall 10"}));
  EXPECT_EQ(m_doc->GetNameNumberAt(0), 3);
  EXPECT_EQ(m_doc->GetNameNumberAt(2), 1);
  EXPECT_EQ(m_doc->FindObjectNameIndex(2), 1);
  EXPECT_EQ(m_doc->FindObjectNameIndex(4), -1);

  // Several names in a row with noSort, then one sort.
  m_doc->SetObjectName(4, QStringLiteral("Arch"), 1);
  EXPECT_EQ(m_doc->GetNameAt(3), QStringLiteral("Arch"));
  m_doc->SortObjectNames();
  EXPECT_EQ(Names(), QStringList({"Arch", "wall 2", "Wall 9", "Wall 10"}));
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(ObjectsTest, SettingANameAddsReplacesOrRemovesWithItsUndoKind) {
  EXPECT_EQ(m_doc->SetObjectName(5, QStringLiteral("A name far too long")), 1);
  EXPECT_EQ(m_doc->GetObjectName(5, 0), QStringLiteral("A name far too l"));
  EXPECT_EQ(TopKind(), UndoKind::kNameAdded);
  EXPECT_EQ(m_doc->IsChanged(), 1);

  m_doc->SetObjectName(5, QStringLiteral("Shed"));
  EXPECT_EQ(m_doc->GetObjectName(5, 0), QStringLiteral("Shed"));
  EXPECT_EQ(m_doc->GetNameCount(), 1);
  EXPECT_EQ(TopKind(), UndoKind::kNameReplaced);

  m_doc->SetObjectName(5, QString());
  EXPECT_EQ(m_doc->GetNameCount(), 0);
  EXPECT_EQ(TopKind(), UndoKind::kNameRemoved);

  // Nothing to remove: nothing recorded, nothing changed.
  const int records = m_doc->GetJournal().undoCount;
  m_doc->ClearChanged();
  EXPECT_EQ(m_doc->SetObjectName(5, QString()), 1);
  EXPECT_EQ(m_doc->GetJournal().undoCount, records);
  EXPECT_EQ(m_doc->IsChanged(), 0);

  // Each step undoes back to the name before it, and redoes again.
  m_doc->Undo(nullptr, nullptr, 1);
  EXPECT_EQ(m_doc->GetObjectName(5, -1), QStringLiteral("Shed"));
  m_doc->Undo(nullptr, nullptr, 1);
  EXPECT_EQ(m_doc->GetObjectName(5, -1), QStringLiteral("A name far too l"));
  m_doc->Undo(nullptr, nullptr, 1);
  EXPECT_EQ(m_doc->GetNameCount(), 0);
  m_doc->Redo(nullptr, nullptr);
  m_doc->Redo(nullptr, nullptr);
  EXPECT_EQ(m_doc->GetObjectName(5, -1), QStringLiteral("Shed"));
  m_doc->Redo(nullptr, nullptr);
  EXPECT_EQ(m_doc->GetNameCount(), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(ObjectsTest, ARefusedStepLeavesTheNameTableAsItWas) {
  // The journal can get no room, and the user declines to go on without undo.
  g_journalAllocationLimit = 0;
  m_doc->EnableUndo(0);
  m_doc->SetObjectName(1, QStringLiteral("Gate"));
  m_doc->EnableUndo(1);
  presenter.QueueAnswer(zeph::kIdNo);
  EXPECT_EQ(m_doc->SetObjectName(2, QStringLiteral("Door")), -1);
  presenter.QueueAnswer(zeph::kIdNo);
  EXPECT_EQ(m_doc->SetObjectName(1, QStringLiteral("Fence")), -1);
  presenter.QueueAnswer(zeph::kIdNo);
  EXPECT_EQ(m_doc->SetObjectName(1, QString()), -1);
  EXPECT_EQ(Names(), QStringList({"Gate"}));
  EXPECT_EQ(m_doc->GetNameNumberAt(0), 1);
  EXPECT_EQ(presenter.shown().size(), 3U);
}

TEST_F(ObjectsTest, NumbersOutsideTheObjectRangeGetNoName) {
  for (const int number : {0, -5, 32768, 70000}) {
    ResetLogState();
    EXPECT_EQ(m_doc->SetObjectName(number, QStringLiteral("Ghost")), 0) << number;
    ExpectGlitch(1260, 1, std::to_string(number));
  }
  EXPECT_EQ(m_doc->GetNameCount(), 0);
  EXPECT_EQ(m_doc->SetObjectName(32767, QStringLiteral("Top")), 1);
  EXPECT_EQ(m_doc->FindObjectByName(QStringLiteral("top")), 32767);
}

TEST_F(ObjectsTest, TheNameTableGrowsByDoublingAndStopsAt16384Names) {
  m_doc->EnableUndo(0);
  m_doc->SetObjectName(1, QStringLiteral("n"), 1);
  EXPECT_EQ(m_doc->GetNameCapacity(), 128);
  for (int n = 2; n <= 129; ++n) m_doc->SetObjectName(n, QStringLiteral("n"), 1);
  EXPECT_EQ(m_doc->GetNameCapacity(), 256);
  for (int n = 130; n <= kNameTableLimit; ++n) m_doc->SetObjectName(n, QStringLiteral("n"), 1);
  EXPECT_EQ(m_doc->GetNameCount(), kNameTableLimit);
  EXPECT_EQ(m_doc->GetNameCapacity(), kNameTableLimit);
  // Dropped without a message; a name for a number that has one still changes.
  EXPECT_EQ(m_doc->SetObjectName(kNameTableLimit + 1, QStringLiteral("extra"), 1), 1);
  EXPECT_EQ(m_doc->GetNameCount(), kNameTableLimit);
  EXPECT_EQ(m_doc->FindObjectNameIndex(kNameTableLimit + 1), -1);
  m_doc->SetObjectName(7, QStringLiteral("seven"), 1);
  EXPECT_EQ(m_doc->GetObjectName(7, 0), QStringLiteral("seven"));
  EXPECT_TRUE(presenter.shown().empty());
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(ObjectsTest, FindingAnObjectByNameOrNumber) {
  m_doc->SetObjectName(4, QStringLiteral("Garage"));
  m_doc->SetObjectName(9, QStringLiteral("Shed 2"));
  struct Case {
    const char* text;
    int number;
  };
  for (const Case& c : {Case{"  garage", 4}, Case{"GARAGE  ", 4}, Case{"shed 2", 9},
                        Case{"gar", -1}, Case{"25", 25}, Case{"30000", 30000}, Case{"30001", -1},
                        Case{"0", -1}, Case{"-3", -1}, Case{"", -1}, Case{"Shed", -1}}) {
    EXPECT_EQ(m_doc->FindObjectByName(QString::fromUtf8(c.text)), c.number) << c.text;
  }
}

TEST_F(ObjectsTest, UniqueNamesContinueAboveTheHighestNumberOfTheirStem) {
  struct Case {
    const char* name;
    int first;
    const char* expected;
  };
  m_doc->SetObjectName(1, QStringLiteral("Box"));
  m_doc->SetObjectName(2, QStringLiteral("Box 2"));
  m_doc->SetObjectName(3, QStringLiteral("box 5"));
  m_doc->SetObjectName(4, QStringLiteral("ABCDEFGHIJKLMN 9"));
  m_doc->SetObjectName(5, QStringLiteral("Boxes 12345"));
  for (const Case& c : {
           Case{"Box", 2, "Box 6"},
           Case{"Box 7", 2, "Box 6"},  // the number of the name given does not count
           Case{"BOX", 9, "BOX 9"}, Case{"Crate", 2, "Crate 2"},
           Case{"PQRSTUVWXYZABCDE", 2, "PQRSTUVWXYZABC 2"},  // 16 characters: cut to 14
           // " 10" does not fit after 14 characters; the shorter stem is free again.
           Case{"ABCDEFGHIJKLMN", 2, "ABCDEFGHIJKLM 2"},
           Case{"Boxes", 2, "Boxes 2"},  // five digits are no trailing number
       }) {
    QString name = QString::fromUtf8(c.name);
    m_doc->MakeObjectNameUnique(name, c.first);
    EXPECT_EQ(name, QString::fromUtf8(c.expected)) << c.name;
    EXPECT_LE(name.size(), kObjectNameLength) << c.name;
  }
}

TEST_F(ObjectsTest, RebuildListsNamedObjectsFirstThenTheOthersAscending) {
  m_doc->SetObjectName(9, QStringLiteral("B"));
  m_doc->SetObjectName(12, QStringLiteral("A"));
  AddLine(5);
  AddLine(3);
  AddLine(9);
  AddLine(0);
  AddLine(5);
  EXPECT_EQ(m_doc->RebuildObjectList(), 4);
  EXPECT_EQ(ObjectList(), std::vector<int>({12, 9, 3, 5}));
  EXPECT_EQ(m_doc->FindObjectIndex(3), 2);
  EXPECT_EQ(m_doc->IsObjectListed(5), 1);
  EXPECT_EQ(m_doc->IsObjectListed(0), 0);

  EXPECT_EQ(m_doc->GetObjectNameAt(0, 1), QStringLiteral("A"));
  EXPECT_EQ(m_doc->GetObjectNameAt(1, 1), QStringLiteral("B"));
  EXPECT_EQ(m_doc->GetObjectNameAt(2, 1), QStringLiteral("Object 3"));
  EXPECT_EQ(m_doc->GetObjectNameAt(3, 0), QStringLiteral("5"));
  EXPECT_EQ(g_glitchCount, 0);

  // Inserting keeps the unnamed part ascending and moves the ticks with their numbers.
  m_doc->SetObjectTickByNumber(5, kObjectTicked);
  m_doc->InsertObjectNumber(4);
  m_doc->InsertObjectNumber(9);
  m_doc->InsertObjectNumber(1);
  EXPECT_EQ(ObjectList(), std::vector<int>({12, 9, 1, 3, 4, 5}));
  EXPECT_EQ(m_doc->GetObjectTick(5), kObjectTicked);
  EXPECT_EQ(m_doc->GetObjectTick(4), kObjectNotTicked);
  EXPECT_EQ(m_doc->CountTickedObjects(), 1);
}

TEST_F(ObjectsTest, PositionsOutsideTheObjectListAreGlitchesOrNeutral) {
  AddLine(3);
  m_doc->RebuildObjectList();
  EXPECT_EQ(m_doc->GetObjectNumberAt(1), 1);
  ExpectGlitch(1225, 1);
  ResetLogState();
  EXPECT_EQ(m_doc->GetObjectNameAt(-1, 1), QString());
  ExpectGlitch(1226, 1);
  ResetLogState();
  // Ticks outside the list read 0 and are not written.
  m_doc->SetObjectTick(1, kObjectTicked);
  m_doc->SetObjectTick(-1, kObjectTicked);
  EXPECT_EQ(m_doc->GetObjectTick(1), 0);
  EXPECT_EQ(m_doc->CountTickedObjects(), 0);
  m_doc->SetObjectTickByNumber(8, kObjectTicked);
  EXPECT_EQ(m_doc->CountTickedObjects(), 0);
  EXPECT_EQ(g_glitchCount, 0);

  // A cleared drawing has an empty list whose ticks can be set again after a rebuild.
  m_doc->ClearDrawing();
  EXPECT_EQ(m_doc->GetObjectTick(0), 0);
  AddLine(6);
  m_doc->RebuildObjectList();
  m_doc->SetObjectTick(0, kObjectPartlyTicked);
  EXPECT_EQ(m_doc->GetObjectTick(0), kObjectPartlyTicked);
  m_doc->InsertObjectNumber(2);
  EXPECT_EQ(ObjectList(), std::vector<int>({2, 6}));
  EXPECT_EQ(m_doc->GetObjectTick(1), kObjectPartlyTicked);
}

TEST_F(ObjectsTest, CaptionsOfUnnamedObjects) {
  EXPECT_EQ(CZephDoc::GetObjectCaption(7, 1), QStringLiteral("Object 7"));
  EXPECT_EQ(CZephDoc::GetObjectCaption(7, 0), QStringLiteral("7"));
  EXPECT_EQ(CZephDoc::GetObjectCaption(7, -1), QString());
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_EQ(CZephDoc::GetObjectCaption(7, 2), QString());
  ExpectGlitch(1215, 1);
  m_doc->SetObjectName(7, QStringLiteral("Porch"));
  EXPECT_EQ(m_doc->GetObjectName(7, 1), QStringLiteral("Porch"));
  EXPECT_EQ(m_doc->GetObjectName(8, 1), QStringLiteral("Object 8"));
}

TEST_F(ObjectsTest, TickedNamesAreDeletedEachAsAnUndoableRemoval) {
  m_doc->SetObjectName(1, QStringLiteral("Roof"));
  m_doc->SetObjectName(2, QStringLiteral("Wall"));
  AddLine(1);
  AddLine(2);
  AddLine(3);
  m_doc->RebuildObjectList();
  m_doc->SetObjectTickByNumber(1, kObjectTicked);
  m_doc->SetObjectTickByNumber(3, kObjectPartlyTicked);
  m_doc->SetUndoGroup(1);
  EXPECT_EQ(m_doc->DeleteTickedObjectNames(), 1);
  m_doc->SetUndoGroup(0);
  EXPECT_EQ(Names(), QStringList({"Wall"}));
  EXPECT_EQ(TopKind(), UndoKind::kNameRemoved);
  m_doc->Undo(nullptr, nullptr, 1);
  EXPECT_EQ(Names(), QStringList({"Roof", "Wall"}));
  EXPECT_EQ(m_doc->GetObjectName(1, -1), QStringLiteral("Roof"));
  EXPECT_EQ(g_glitchCount, 0);
}

class CountingStatistics : public IElementStatistics {
 public:
  void AddItem(const CDrawItem* item) override { items.push_back(item); }
  std::vector<const CDrawItem*> items;
};

TEST_F(ObjectsTest, ObjectContentsGoToTheStatisticsOfTheirListPosition) {
  m_doc->SetObjectName(4, QStringLiteral("Named"));
  const CDrawItem* a = AddLine(2);
  const CDrawItem* b = AddLine(4);
  const CDrawItem* c = AddLine(2);
  AddLine(0);
  AddLine(7);
  m_doc->RebuildObjectList();  // 4, 2, 7
  CountingStatistics named;
  CountingStatistics two;
  std::vector<IElementStatistics*> statistics = {&named, &two};  // none for 7
  m_doc->CountObjectContents(statistics);
  EXPECT_EQ(named.items, std::vector<const CDrawItem*>({b}));
  EXPECT_EQ(two.items, std::vector<const CDrawItem*>({a, c}));
}

TEST_F(ObjectsTest, CopyNumbersAreHandedOutCopyByCopyRowByRow) {
  AddLine(1);
  AddLine(2);
  AddLine(4);
  m_doc->RebuildObjectList();
  m_doc->SetObjectTickByNumber(1, kObjectTicked);
  m_doc->SetObjectTickByNumber(4, kObjectTicked);
  m_doc->PrepareCopyNumbers(3);
  ASSERT_EQ(m_doc->GetCopyRows(), 2);
  ASSERT_EQ(m_doc->GetCopiesPerRow(), 3);
  // Rows [1, 3, 6, 8] and [4, 5, 7, 9].
  struct Case {
    int number;
    int copy;
    int expected;
  };
  for (const Case& c : {Case{1, 0, 3}, Case{1, 1, 6}, Case{1, 2, 8}, Case{4, 0, 5}, Case{4, 1, 7},
                        Case{4, 2, 9}, Case{3, 1, 6},  // a copy of the first copy
                        Case{7, 2, 9}, Case{2, 0, 2}, Case{1, 3, 1}, Case{1, -1, 1}}) {
    EXPECT_EQ(m_doc->GetCopyObjectNumber(c.number, c.copy), c.expected)
        << c.number << " copy " << c.copy;
  }

  // Nothing ticked, or no copies: no map.
  m_doc->PrepareCopyNumbers(0);
  EXPECT_EQ(m_doc->GetCopyRows(), 0);
  EXPECT_EQ(m_doc->GetCopyObjectNumber(1, 0), 1);
}

TEST_F(ObjectsTest, CopiesOfNamedObjectsGetUniqueNamesAndAllAreListed) {
  m_doc->SetObjectName(1, QStringLiteral("Box"));
  AddLine(1);
  AddLine(2);
  AddLine(4);
  m_doc->RebuildObjectList();
  m_doc->SetObjectTickByNumber(1, kObjectTicked);
  m_doc->SetObjectTickByNumber(4, kObjectTicked);
  m_doc->PrepareCopyNumbers(3);
  m_doc->NameCopiedObjects(1);
  EXPECT_EQ(Names(), QStringList({"Box", "Box 2", "Box 3", "Box 4"}));
  EXPECT_EQ(m_doc->GetObjectName(3, -1), QStringLiteral("Box 2"));
  EXPECT_EQ(m_doc->GetObjectName(6, -1), QStringLiteral("Box 3"));
  EXPECT_EQ(m_doc->GetObjectName(8, -1), QStringLiteral("Box 4"));
  for (const int number : {3, 5, 6, 7, 8, 9}) {
    EXPECT_EQ(m_doc->IsObjectListed(number), 1) << number;
  }
  EXPECT_EQ(m_doc->GetObjectName(5, -1), QString());
  EXPECT_EQ(m_doc->GetCopyRows(), 0);
  EXPECT_EQ(m_doc->GetCopiesPerRow(), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(ObjectsTest, FreeNumbersStayWithinOneTo32767) {
  EXPECT_EQ(m_doc->GetFreeObjectNumber(0), 1);
  EXPECT_EQ(m_doc->GetFreeObjectNumber(-40), 1);
  EXPECT_EQ(m_doc->GetFreeObjectNumber(40000), 32767);
  FillNumbers(32766);
  EXPECT_EQ(m_doc->GetFreeObjectNumber(1), 32767);
  EXPECT_EQ(m_doc->GetFreeObjectNumber(32767), 32767);
  m_doc->InsertObjectNumber(32767);
  // Every number taken: the answer stays at the top.
  EXPECT_EQ(m_doc->GetFreeObjectNumber(1), 32767);
  EXPECT_EQ(m_doc->GetObjectCount(), 32767);
}

TEST_F(ObjectsTest, ACopyMapThatWouldPassTheLargestNumberIsDropped) {
  FillNumbers(32765);
  m_doc->SetObjectTickByNumber(10, kObjectTicked);
  m_doc->PrepareCopyNumbers(2);
  EXPECT_EQ(m_doc->GetCopyObjectNumber(10, 0), 32766);
  EXPECT_EQ(m_doc->GetCopyObjectNumber(10, 1), 32767);

  m_doc->PrepareCopyNumbers(3);
  EXPECT_EQ(m_doc->GetCopyRows(), 0);
  EXPECT_EQ(m_doc->GetCopiesPerRow(), 0);
  for (int copy = 0; copy < 3; ++copy) EXPECT_EQ(m_doc->GetCopyObjectNumber(10, copy), 10);
  m_doc->NameCopiedObjects(1);  // nothing to name
  EXPECT_EQ(m_doc->GetObjectCount(), 32765);

  // Far more copies than numbers.
  m_doc->SetObjectTickByNumber(11, kObjectTicked);
  m_doc->PrepareCopyNumbers(30000);
  EXPECT_EQ(m_doc->GetCopiesPerRow(), 0);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(ObjectsTest, GroupNumbersAndTheirRemappingForCopies) {
  EXPECT_EQ(m_doc->NewGroupNumber(), 1);
  m_doc->RaiseGroupCounter(40);
  m_doc->RaiseGroupCounter(12);
  EXPECT_EQ(m_doc->GetGroupCounter(), 40);
  EXPECT_EQ(m_doc->MapGroupNumber(7), 7);  // remapping off

  m_doc->SetGroupRemapping(1);
  EXPECT_EQ(m_doc->MapGroupNumber(0), 0);
  EXPECT_EQ(m_doc->MapGroupNumber(7), 41);
  EXPECT_EQ(m_doc->MapGroupNumber(3), 42);
  EXPECT_EQ(m_doc->MapGroupNumber(7), 41);
  m_doc->SetGroupRemapping(1);  // a new table for the next copy
  EXPECT_EQ(m_doc->MapGroupNumber(7), 43);
  m_doc->SetGroupRemapping(0);
  EXPECT_EQ(m_doc->MapGroupNumber(7), 7);

  // Many groups: the table grows past its first 1000 entries.
  m_doc->SetGroupRemapping(1);
  for (int g = 1; g <= 2500; ++g) EXPECT_EQ(m_doc->MapGroupNumber(g), 43 + g);
  EXPECT_EQ(m_doc->MapGroupNumber(1), 44);
  EXPECT_EQ(m_doc->MapGroupNumber(2500), 2543);

  // A counter read at the top stays there instead of overflowing.
  m_doc->RaiseGroupCounter(2147483647);
  EXPECT_EQ(m_doc->NewGroupNumber(), 2147483647);
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(ObjectsTest, CopiedItemsShareOneFreshGroupPerOriginalGroup) {
  CDrawItem* a = AddLine(0, 5);
  CDrawItem* b = AddLine(0, 5, 2000);
  m_doc->RaiseGroupCounter(5);
  m_doc->SetGroupRemapping(1);
  DrawItemPtr copyA = m_doc->CopyItem(a);
  DrawItemPtr copyB = m_doc->CopyItem(b);
  m_doc->SetGroupRemapping(0);
  ASSERT_TRUE(copyA && copyB);
  EXPECT_EQ(copyA->GetGroupNumber(), 6);
  EXPECT_EQ(copyB->GetGroupNumber(), 6);
}

TEST_F(ObjectsTest, ClearingTheLoadNumberMap) {
  CZephDoc::LoadNumberMap& map = m_doc->GetLoadNumberMap();
  map.read = {3, 4};
  map.given = {30, 40};
  map.nextFree = 41;
  map.outOfRange = 45;
  m_doc->ClearLoadNumberMap();
  EXPECT_TRUE(map.read.empty());
  EXPECT_TRUE(map.given.empty());
  EXPECT_EQ(map.nextFree, 1);
  EXPECT_EQ(map.outOfRange, 0);
}

}  // namespace
