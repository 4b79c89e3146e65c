// Each kind of item the tools make, taken by a click: opened with Modify (the item clicked is
// the one picked), and chosen with Delete and removed with OK (that item goes, and only it).
#include "program/program_fixture.h"

namespace zeph::testing {
namespace {

using ItemKindsTest = ProgramTest;

bool Listed(CZephDoc& doc, const CDrawItem* item) {
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    if (doc.GetItem(i) == item) return true;
  }
  return false;
}

TEST_F(ItemKindsTest, EachKindIsOpenedByModifyAndDeletedByDelete) {
  StartProgram();
  CreateDrawing();
  const std::vector<Placed> placed = DrawEveryKind();
  ASSERT_FALSE(HasFailure());

  for (const Placed& p : placed) {
    SCOPED_TRACE(std::string("Modify: ") + p.kind);
    PickTool(kToolModify);
    Click(p.click);
    ASSERT_EQ(Window().GetPickCount(), 1);
    EXPECT_EQ(Window().GetPicked(0), p.item);
    EXPECT_EQ(Window().GetPicked(0)->GetType(), p.type);
    if (p.type == kItemText) KeyOnFocus(Qt::Key_Return);  // ends the edit the click opened
  }

  for (const Placed& p : placed) {
    SCOPED_TRACE(std::string("Delete: ") + p.kind);
    PickTool(kToolDelete);
    const int before = Count();
    Click(p.click);
    PressPromptButton(kIdPromptOK);
    EXPECT_FALSE(Listed(Doc(), p.item)) << "the " << p.kind << " is still there";
    // A fill or a shape's line takes nothing else with it; the rest are alone in their group.
    EXPECT_EQ(Count(), before - 1);
  }
}

}  // namespace
}  // namespace zeph::testing
