// The scope guard of an undo step: it opens the step once, closes it on every way out of its
// scope, and nested guards behave exactly as the same nested SetUndoGroup calls.
#include <gtest/gtest.h>

#include <vector>

#include "document/document.h"
#include "document/undo.h"
#include "document/undostep.h"
#include "items/drawitem.h"
#include "items/geometry.h"

namespace {

CDrawItem* AddLine(CZephDoc& doc) {
  DrawItemPtr line = CreateItem(kItemLine);
  line->SetStart(0, 0);
  line->SetEnd(1000, 0);
  line->SetLineStyle(kLineStyleUnbroken);
  CDrawItem* raw = line.get();
  EXPECT_EQ(doc.AddItem(line), 1);
  return raw;
}

std::vector<int> KindBytes(const CZephDoc& doc) {
  std::vector<int> bytes;
  const CUndoJournal& j = doc.GetJournal();
  for (int i = 0; i < j.undoCount; ++i)
    bytes.push_back(j.records[static_cast<std::size_t>(i)].kindByte);
  return bytes;
}

// Changes the colour twice, returning between the two when asked to.
void TwoColours(CZephDoc& doc, CDrawItem* line, bool returnEarly) {
  CUndoStep step(doc);
  EXPECT_EQ(doc.GetJournal().groupState, 1);
  line->SetColour(2);
  if (returnEarly) return;
  line->MoveBy(5, 5);
}

TEST(UndoStepTest, OpensOnceAndClosesOnEveryWayOut) {
  for (const bool returnEarly : {false, true}) {
    SCOPED_TRACE(returnEarly);
    CZephDoc doc;
    CDrawItem* line = AddLine(doc);
    doc.FreeJournalRecords(0);
    TwoColours(doc, line, returnEarly);
    EXPECT_EQ(doc.GetJournal().groupState, 0);
    EXPECT_EQ(doc.GetJournal().undoCount, returnEarly ? 1 : 2);
    // One step: one Undo takes all of it back.
    doc.Undo(nullptr, nullptr, 1);
    EXPECT_EQ(doc.CanUndo(), 0);
    EXPECT_EQ(line->GetColour(), 0);
  }
}

TEST(UndoStepTest, CloseEndsTheStepOnceAndANullDocumentOpensNothing) {
  CZephDoc doc;
  CDrawItem* line = AddLine(doc);
  doc.FreeJournalRecords(0);
  {
    CUndoStep step(&doc);
    line->SetColour(3);
    step.Close();
    EXPECT_EQ(doc.GetJournal().groupState, 0);
    // A step opened after the early close is not the guard's to close.
    doc.SetUndoGroup(1);
  }
  EXPECT_EQ(doc.GetJournal().groupState, 1);
  doc.SetUndoGroup(0);
  {
    CUndoStep none(nullptr);
    line->SetColour(4);
  }
  EXPECT_EQ(doc.GetJournal().groupState, 0);
  EXPECT_EQ(doc.GetJournal().undoCount, 2);
}

TEST(UndoStepTest, NestedGuardsKeepTheJournalOfNestedGroupCalls) {
  auto nested = [](bool guards) {
    CZephDoc doc;
    CDrawItem* line = AddLine(doc);
    doc.FreeJournalRecords(0);
    if (guards) {
      CUndoStep outer(doc);
      line->SetColour(1);
      {
        CUndoStep inner(doc);
        line->MoveBy(1, 0);
        line->SetColour(2);
      }
      line->MoveBy(0, 1);
    } else {
      doc.SetUndoGroup(1);
      line->SetColour(1);
      doc.SetUndoGroup(1);
      line->MoveBy(1, 0);
      line->SetColour(2);
      doc.SetUndoGroup(0);
      line->MoveBy(0, 1);
      doc.SetUndoGroup(0);
    }
    EXPECT_EQ(doc.GetJournal().groupState, 0);
    return KindBytes(doc);
  };
  const std::vector<int> explicitCalls = nested(false);
  EXPECT_EQ(nested(true), explicitCalls);
  // The inner opening starts a step of its own, and the inner closing ends the outer one.
  const int move = UndoKindNumber(UndoKind::kMove);
  const int colour = UndoKindNumber(UndoKind::kColour);
  EXPECT_EQ(explicitCalls, (std::vector<int>{colour, move, colour | kUndoSameStep, move}));
}

}  // namespace
