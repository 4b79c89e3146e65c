// The undo journal and undo and redo.
#include <QString>
#include <vector>

#include "doc_fixture.h"
#include "items/hatch.h"
#include "platform/recordingcontext.h"
#include "items/viewmapping.h"
#include "support/log.h"

namespace {

// An item that counts how many of its kind are alive, so tests can see that what the journal
// owns is freed exactly once.
class CCountedItem final : public CDrawItem {
 public:
  static int alive;
  CCountedItem() : CDrawItem(kItemLine) { ++alive; }
  ~CCountedItem() override { --alive; }
  int IsValid() const override { return 1; }
  void MoveBy(int dx, int dy) override {
    if (!BeginMove(dx, dy)) return;
    x += dx;
    y += dy;
  }
  int GetHandleCount() const override { return 0; }
  int x = 0;
  int y = 0;
};
int CCountedItem::alive = 0;

DrawItemPtr Counted() { return std::make_unique<CCountedItem>(); }

std::vector<int> KindBytes(const CZephDoc& doc) {
  std::vector<int> bytes;
  const CUndoJournal& j = doc.GetJournal();
  for (int i = 0; i < j.undoCount; ++i) bytes.push_back(j.records[static_cast<std::size_t>(i)].kindByte);
  return bytes;
}

class UndoTest : public DocumentTest {
 protected:
  void TearDown() override {
    DocumentTest::TearDown();
    EXPECT_EQ(CCountedItem::alive, 0);
  }
};

TEST_F(UndoTest, WithRecordingOffNothingIsRecorded) {
  CZephDoc doc;
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0));
  doc.FreeJournalRecords(0);
  EXPECT_EQ(doc.EnableUndo(0), 1);
  EXPECT_EQ(doc.RecordItemChange(UndoKind::kColour, line), 0);
  EXPECT_EQ(doc.RecordItemMove(UndoKind::kMove, line, 1, 1), 0);
  EXPECT_EQ(doc.RecordListChange(UndoKind::kItemAdded, 0), 0);
  EXPECT_EQ(doc.RecordListMove(UndoKind::kListMove, 0, 0), 0);
  EXPECT_EQ(doc.RecordObjectName(UndoKind::kNameAdded, 3, nullptr), 0);
  line->SetColour(4);
  EXPECT_EQ(doc.GetJournal().undoCount, 0);
  EXPECT_EQ(doc.GetJournal().top, 0);
}

TEST_F(UndoTest, InvalidKindsAreGlitchesAndRecordNothing) {
  CZephDoc doc;
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0));
  const int before = doc.GetJournal().undoCount;
  const int glitches = g_glitchCount;
  EXPECT_EQ(doc.RecordItemChange(UndoKind::kInvalid, line), 0);
  EXPECT_EQ(doc.RecordItemChange(UndoKind::kNameReplaced, line), 0);
  EXPECT_EQ(doc.RecordItemChange(static_cast<UndoKind>(44), line), 0);
  EXPECT_EQ(doc.RecordItemMove(UndoKind::kColour, line, 1, 1), 0);
  EXPECT_EQ(doc.RecordListChange(UndoKind::kColour, 0), 0);
  EXPECT_EQ(doc.RecordListMove(UndoKind::kItemAdded, 0, 0), 0);
  EXPECT_EQ(doc.RecordObjectName(UndoKind::kColour, 1, nullptr), 0);
  EXPECT_EQ(g_glitchCount, glitches + 7);
  EXPECT_EQ(doc.GetJournal().undoCount, before);
}

TEST_F(UndoTest, GroupsCoalesceRepeatedChangesOfOneItem) {
  CZephDoc doc;
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0, 1));
  CDrawItem* other = Add(doc, MakeLine(0, 0, 2000, 0, 1));
  doc.FreeJournalRecords(0);

  doc.SetUndoGroup(1);
  line->SetColour(2);
  other->SetColour(5);
  line->SetColour(3);
  doc.SetUndoGroup(0);
  EXPECT_EQ(doc.GetJournal().undoCount, 2);
  EXPECT_EQ(doc.GetJournal().records[0].a, 1);  // the colour from before the step
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(line->GetColour(), 1);
  EXPECT_EQ(other->GetColour(), 1);
  doc.Redo(nullptr, nullptr);
  EXPECT_EQ(line->GetColour(), 3);

  doc.FreeJournalRecords(0);
  line->SetColour(7);
  line->SetColour(8);
  EXPECT_EQ(doc.GetJournal().undoCount, 2);  // outside a group: a step each
  EXPECT_EQ(KindBytes(doc), (std::vector<int>{UndoKindNumber(UndoKind::kColour),
                                              UndoKindNumber(UndoKind::kColour)}));
}

TEST_F(UndoTest, MovesWithinAStepAddUp) {
  CZephDoc doc;
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0));
  doc.FreeJournalRecords(0);
  doc.SetUndoGroup(1);
  line->MoveBy(1, 0);
  line->MoveBy(2, 0);
  line->MoveBy(3, 5);
  doc.SetUndoGroup(0);
  ASSERT_EQ(doc.GetJournal().undoCount, 1);
  EXPECT_EQ(doc.GetJournal().records[0].a, 6);
  EXPECT_EQ(doc.GetJournal().records[0].b, 5);
  doc.Undo(nullptr, nullptr, 1);
  int x = 0;
  int y = 0;
  line->GetStart(x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST_F(UndoTest, AMoveIsNotAddedAcrossAnotherChangeOfTheItem) {
  CZephDoc doc;
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0));
  doc.FreeJournalRecords(0);
  doc.SetUndoGroup(1);
  line->MoveBy(100, 0);
  line->SetStart(50, 50);
  line->MoveBy(10, 10);
  doc.SetUndoGroup(0);
  EXPECT_EQ(doc.GetJournal().undoCount, 3);
  doc.Undo(nullptr, nullptr, 1);
  int x = 0;
  int y = 0;
  line->GetStart(x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  line->GetEnd(x, y);
  EXPECT_EQ(x, 1000);
  EXPECT_EQ(y, 0);
  doc.Redo(nullptr, nullptr);
  line->GetStart(x, y);
  EXPECT_EQ(x, 60);
  EXPECT_EQ(y, 60);
}

TEST_F(UndoTest, TextChangesAreEachRecorded) {
  CZephDoc doc;
  DrawItemPtr text = CreateItem(kItemText);
  text->SetText(QStringLiteral("one"));
  CDrawItem* raw = Add(doc, std::move(text));
  doc.FreeJournalRecords(0);
  doc.SetUndoGroup(1);
  raw->SetText(QStringLiteral("two"));
  raw->SetText(QStringLiteral("three"));
  doc.SetUndoGroup(0);
  EXPECT_EQ(doc.GetJournal().undoCount, 2);
  EXPECT_EQ(KindBytes(doc),
            (std::vector<int>{UndoKindNumber(UndoKind::kTextString),
                              UndoKindNumber(UndoKind::kTextString) | kUndoSameStep}));
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(raw->GetText(), QStringLiteral("one"));
  doc.Redo(nullptr, nullptr);
  EXPECT_EQ(raw->GetText(), QStringLiteral("three"));
}

TEST_F(UndoTest, StepKindBytesAndReplayOrder) {
  CZephDoc doc;
  doc.SetUndoGroup(1);
  CDrawItem* a = Add(doc, MakeLine(0, 0, 1000, 0));
  CDrawItem* b = Add(doc, MakeLine(0, 0, 2000, 0));
  a->SetColour(9);
  doc.SetUndoGroup(0);
  EXPECT_EQ(KindBytes(doc), (std::vector<int>{UndoKindNumber(UndoKind::kItemAdded),
                                              UndoKindNumber(UndoKind::kItemAdded) | kUndoSameStep,
                                              UndoKindNumber(UndoKind::kColour) | kUndoSameStep}));
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(doc.GetItemCount(), 0);
  EXPECT_EQ(doc.CanUndo(), 0);
  EXPECT_EQ(doc.GetJournal().redoCount, 3);
  doc.Redo(nullptr, nullptr);
  ASSERT_EQ(doc.GetItemCount(), 2);
  EXPECT_EQ(doc.GetItem(0), a);  // the same objects come back
  EXPECT_EQ(doc.GetItem(1), b);
  EXPECT_EQ(a->GetColour(), 9);
  EXPECT_EQ(doc.CanRedo(), 0);
}

TEST_F(UndoTest, RemovalsOfOneStepComeBackInTheirPlaces) {
  CZephDoc doc;
  std::vector<CDrawItem*> items;
  for (int i = 0; i < 5; ++i) items.push_back(Add(doc, MakeLine(0, 0, 1000 + i, 0)));
  doc.SetUndoGroup(1);
  EXPECT_EQ(doc.RemoveItem(items[1]), 1);
  EXPECT_EQ(doc.RemoveItem(items[3]), 1);
  EXPECT_EQ(doc.RemoveItem(items[0]), 1);
  doc.SetUndoGroup(0);
  EXPECT_EQ(doc.GetItemCount(), 2);
  doc.Undo(nullptr, nullptr, 1);
  ASSERT_EQ(doc.GetItemCount(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(doc.GetItem(i), items[static_cast<std::size_t>(i)]);
}

TEST_F(UndoTest, ColourAlternatesBetweenUndoAndRedo) {
  CZephDoc doc;
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0, 1));
  line->SetColour(2);
  for (int i = 0; i < 3; ++i) {
    doc.Undo(nullptr, nullptr, 1);
    EXPECT_EQ(line->GetColour(), 1);
    doc.Redo(nullptr, nullptr);
    EXPECT_EQ(line->GetColour(), 2);
  }
}

TEST_F(UndoTest, UndoWithoutRecordsDoesNothing) {
  CZephDoc doc;
  doc.Undo(nullptr, nullptr, 1);
  doc.Redo(nullptr, nullptr);
  EXPECT_EQ(doc.IsUndoEnabled(), 1);
  EXPECT_EQ(doc.CanRedo(), 0);
}

TEST_F(UndoTest, TwoUndosAndARedoThenANewChangeFreesTheRest) {
  CZephDoc doc;
  CDrawItem* first = Add(doc, Counted());
  Add(doc, Counted());
  EXPECT_EQ(CCountedItem::alive, 2);
  doc.Undo(nullptr, nullptr, 1);
  doc.Undo(nullptr, nullptr, 1);
  doc.Redo(nullptr, nullptr);
  EXPECT_EQ(doc.GetJournal().redoCount, 1);
  EXPECT_EQ(CCountedItem::alive, 2);  // the undone addition is kept for redo
  first->SetColour(3);
  EXPECT_EQ(doc.CanRedo(), 0);
  EXPECT_EQ(CCountedItem::alive, 1);  // freed once, with the redo record
  doc.FreeJournalRecords(0);
  EXPECT_EQ(CCountedItem::alive, 1);
}

TEST_F(UndoTest, EmptyingAJournalDeletesRemovedItemsOnce) {
  {
    CZephDoc doc;
    CDrawItem* item = Add(doc, Counted());
    EXPECT_EQ(doc.RemoveItem(item), 1);
    EXPECT_EQ(CCountedItem::alive, 1);
    doc.FreeJournalRecords(0);
    EXPECT_EQ(CCountedItem::alive, 0);
  }
  {
    CZephDoc doc;
    CDrawItem* item = Add(doc, Counted());
    EXPECT_EQ(doc.RemoveItem(item), 1);
  }  // the document's end frees the journal's item
}

TEST_F(UndoTest, JournalGrowsFromSixteenKilobytesToOneMegabyteAndNoFurther) {
  CZephDoc doc;
  doc.EnableUndo(0);
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0));
  doc.EnableUndo(1);
  EXPECT_EQ(doc.GetJournal().capacity, 0);
  line->SetColour(1);
  EXPECT_EQ(doc.GetJournal().capacity, kJournalFirstCapacity);
  // Room for ever larger records doubles the space, with 1024 bytes to spare.
  const struct {
    int bytes;
    int capacity;
  } cases[] = {
      {16380, 32768}, {40000, 65536}, {100000, 131072}, {200000, 262144},
      {400000, 524288}, {600000, 1048576}, {1000000, 1048576},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(doc.ReserveJournal(c.bytes), 1) << c.bytes;
    EXPECT_EQ(doc.GetJournal().capacity, c.capacity) << c.bytes;
  }
  // Not even an empty journal of the largest size can take this one: the question.
  presenter.QueueAnswer(zeph::kIdNo);
  EXPECT_EQ(doc.ReserveJournal(kJournalLimit), -1);
  EXPECT_EQ(doc.GetJournal().capacity, kJournalLimit);
  EXPECT_EQ(presenter.shown().size(), 1u);
}

TEST_F(UndoTest, DroppingOldStepsKeepsWholeSteps) {
  CZephDoc doc;
  g_journalAllocationLimit = kJournalFirstCapacity;
  std::vector<CDrawItem*> lines;
  for (int i = 0; i < 4; ++i) lines.push_back(Add(doc, MakeLine(0, 0, 1000 + i, 0)));
  doc.FreeJournalRecords(0);
  int colour = 0;
  // Steps of four records, until the 16 KB journal is full and has dropped steps.
  for (int step = 0; step < 400; ++step) {
    doc.SetUndoGroup(1);
    ++colour;
    for (CDrawItem* line : lines) line->SetColour(colour);
    doc.SetUndoGroup(0);
  }
  EXPECT_EQ(doc.GetJournal().capacity, kJournalFirstCapacity);
  EXPECT_EQ(doc.GetJournal().undoCount % 4, 0);
  EXPECT_FALSE(doc.GetJournal().records[0].SameStep());
  EXPECT_LE(doc.GetJournal().top + kJournalSpare, kJournalFirstCapacity);
}

TEST_F(UndoTest, NoSpaceAnsweredNoInAGroupRollsTheStepBack) {
  CZephDoc doc;
  doc.EnableUndo(0);
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0, 1));
  doc.EnableUndo(1);
  g_journalAllocationLimit = 0;
  presenter.QueueAnswer(zeph::kIdNo);
  doc.SetUndoGroup(1);
  line->SetColour(2);  // the question; No
  EXPECT_EQ(line->GetColour(), 1);
  EXPECT_EQ(doc.RecordItemChange(UndoKind::kColour, line), -1);
  line->MoveBy(5, 5);
  int x = 0;
  int y = 0;
  line->GetStart(x, y);
  EXPECT_EQ(x, 0);
  doc.SetUndoGroup(0);
  ASSERT_EQ(presenter.shown().size(), 1u);
  EXPECT_TRUE(presenter.shown()[0].text.startsWith(QStringLiteral("There is not enough space in the Undo buffer")));
  EXPECT_EQ(doc.GetJournal().groupStatus, 1);
  // Outside a group the refusal stops just that change.
  presenter.QueueAnswer(zeph::kIdNo);
  line->SetColour(6);
  EXPECT_EQ(line->GetColour(), 1);
}

TEST_F(UndoTest, NoSpaceAnsweredYesGoesOnWithoutUndoAndEmptiesTheJournal) {
  CZephDoc doc;
  CDrawItem* a = Add(doc, Counted());
  CDrawItem* b = Add(doc, MakeLine(0, 0, 1000, 0, 1));
  EXPECT_EQ(doc.RemoveItem(a), 1);  // the journal holds a
  EXPECT_EQ(CCountedItem::alive, 1);
  // A journal that cannot take one more record, and cannot grow.
  g_journalAllocationLimit = 0;
  const_cast<CUndoJournal&>(doc.GetJournal()).capacity = doc.GetJournal().top + 5;
  presenter.QueueAnswer(zeph::kIdYes);
  doc.SetUndoGroup(1);
  b->SetColour(2);
  EXPECT_EQ(b->GetColour(), 2);
  EXPECT_EQ(doc.RecordItemChange(UndoKind::kColour, b), 0);
  // No older step may name an item this step deletes: the whole journal has gone.
  EXPECT_EQ(doc.CanUndo(), 0);
  EXPECT_EQ(CCountedItem::alive, 0);
  EXPECT_EQ(doc.RemoveItem(b), 1);  // deleted at once
  doc.SetUndoGroup(0);
  EXPECT_EQ(doc.CanUndo(), 0);
  EXPECT_EQ(doc.GetItemCount(), 0);
}

TEST_F(UndoTest, AnOpenStepLargerThanTheJournalAsksTheQuestion) {
  CZephDoc doc;
  g_journalAllocationLimit = kJournalFirstCapacity;
  std::vector<CDrawItem*> lines;
  doc.EnableUndo(0);
  for (int i = 0; i < 2000; ++i) lines.push_back(Add(doc, MakeLine(0, 0, 1000 + i, 0, 1)));
  doc.EnableUndo(1);
  presenter.QueueAnswer(zeph::kIdNo);
  doc.SetUndoGroup(1);
  for (CDrawItem* line : lines) line->SetColour(2);  // 2000 x 9 bytes: more than 16 KB
  doc.SetUndoGroup(0);
  ASSERT_EQ(presenter.shown().size(), 1u);
  // Refused: the whole step was taken back.
  for (CDrawItem* line : lines) ASSERT_EQ(line->GetColour(), 1);
  EXPECT_LE(doc.GetJournal().top, doc.GetJournal().capacity);
}

TEST_F(UndoTest, RedoRecordsAreFreedBeforeOldStepsAreDropped) {
  CZephDoc doc;
  g_journalAllocationLimit = kJournalFirstCapacity;
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0));
  int colour = 0;
  while (doc.GetJournal().top + 200 < kJournalFirstCapacity - kJournalSpare) line->SetColour(++colour);
  // Steps that add items, undone: their items are owned by redo records.
  for (int i = 0; i < 10; ++i) Add(doc, Counted());
  for (int i = 0; i < 10; ++i) doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(CCountedItem::alive, 10);
  EXPECT_EQ(doc.GetJournal().redoCount, 10);
  // Records until old steps must be dropped.
  for (int i = 0; i < 100; ++i) line->SetColour(++colour);
  EXPECT_EQ(CCountedItem::alive, 0);
  EXPECT_EQ(doc.CanRedo(), 0);
}

TEST_F(UndoTest, AnItemRefusedByTheListGetsNoRecords) {
  // Break replaces a circle by arcs it sets up as the drawing's own before adding them; an
  // arc that turns out invalid is refused and deleted, and no record may name it then.
  CZephDoc doc;
  CDrawItem* circle = Add(doc, MakeCircle(0, 0, 1000));
  doc.FreeJournalRecords(0);
  doc.SetUndoGroup(1);
  EXPECT_EQ(doc.RemoveItem(circle), 1);
  {
    DrawItemPtr arc = CreateItem(kItemArc);
    arc->SetColour(4);
    arc->SetDocument(&doc);
    arc->SetStart(1000, 0);
    arc->SetEnd(1000, 0);  // start equals end: no arc
    arc->SetAngleFromCentre(0.0, 0.0);
    arc->MoveBy(5, 5);
    EXPECT_EQ(doc.AddItem(arc), 0);
  }  // deleted
  doc.SetUndoGroup(0);
  EXPECT_EQ(doc.GetJournal().undoCount, 1);
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(doc.GetItem(0), circle);
  doc.Redo(nullptr, nullptr);
  EXPECT_EQ(doc.GetItemCount(), 0);
}

TEST_F(UndoTest, HatchPatternsChangedTwiceInAStepAreFreedAndRestored) {
  CZephDoc doc;
  CDrawItem* fill = Add(doc, MakeFill(0, 0, 10000));
  ASSERT_EQ(fill->SetHatch(0, 0.0, 1.0), 1);
  CHatchPattern* first = fill->GetHatchPattern();
  doc.FreeJournalRecords(0);
  doc.SetUndoGroup(1);
  ASSERT_EQ(fill->SetHatch(1, 0.0, 1.0), 1);
  ASSERT_EQ(fill->SetHatch(2, 0.5, 2.0), 1);
  doc.SetUndoGroup(0);
  EXPECT_EQ(doc.GetJournal().undoCount, 1);
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(fill->GetHatchPattern(), first);
  doc.Redo(nullptr, nullptr);
  EXPECT_NE(fill->GetHatchPattern(), first);
}

TEST_F(UndoTest, ACorruptRecordIsAbandonedWithItsMessage) {
  CZephDoc doc;
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0, 1));
  line->SetColour(2);
  doc.CorruptTopRecordForTest(UndoKindNumber(UndoKind::kInvalid));
  const int glitches = g_glitchCount;
  doc.Undo(nullptr, nullptr, 1);
  ASSERT_EQ(presenter.shown().size(), 1u);
  EXPECT_EQ(presenter.shown()[0].text, QStringLiteral("Sorry - the undo system has been corrupted."));
  EXPECT_EQ(g_glitchCount, glitches + 1);
  EXPECT_EQ(doc.CanUndo(), 0);
  EXPECT_EQ(doc.CanRedo(), 0);
  EXPECT_EQ(doc.IsUndoEnabled(), 0);  // until a drawing is opened
  line->SetColour(3);
  EXPECT_EQ(doc.CanUndo(), 0);

  doc.EnableUndo(1);
  line->SetColour(4);
  doc.Undo(nullptr, nullptr, 1);
  const_cast<CUndoJournal&>(doc.GetJournal()).records[0].kindByte = 60;
  doc.Redo(nullptr, nullptr);
  ASSERT_EQ(presenter.shown().size(), 2u);
  EXPECT_EQ(presenter.shown()[1].text, QStringLiteral("Sorry - the redo system has been corrupted."));
  EXPECT_EQ(doc.CanRedo(), 0);
}

TEST_F(UndoTest, UndoWithoutKeepingForRedoFreesTheStep) {
  CZephDoc doc;
  Add(doc, Counted());
  doc.Undo(nullptr, nullptr, 0);
  EXPECT_EQ(doc.CanRedo(), 0);
  EXPECT_EQ(CCountedItem::alive, 0);
}

TEST_F(UndoTest, JournalChangesAreAnnouncedToTheHost) {
  CZephDoc doc;
  const int before = host.journalNotices;
  Add(doc, MakeLine(0, 0, 1000, 0));
  EXPECT_GT(host.journalNotices, before);
  const int afterAdd = host.journalNotices;
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_GT(host.journalNotices, afterAdd);
}

TEST_F(UndoTest, UndoOfAnAdditionUnderAPickingToolDrawsAndSelects) {
  CZephDoc doc;
  host.tool = kToolMove;
  CDrawItem* line = Add(doc, MakeLine(0, 0, 1000, 0));
  EXPECT_EQ(doc.RemoveItem(line), 1);
  zeph::CRecordingContext dc;
  CViewMapping mapping;
  doc.Undo(&dc, &mapping, 1);
  EXPECT_EQ(line->IsSelected(), 1);
  EXPECT_EQ(line->HasUndoMark(), 0);
  EXPECT_FALSE(dc.calls().empty());
}

TEST_F(UndoTest, UndoKeepsTheLineToolsChainingPoint) {
  CZephDoc doc;
  host.lineStartSet = 1;
  host.lineX = 1000;
  host.lineY = 0;
  Add(doc, MakeLine(0, 0, 1000, 0));
  doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(host.lineX, 0);
  doc.Redo(nullptr, nullptr);
  EXPECT_EQ(host.lineX, 1000);
}

}  // namespace
