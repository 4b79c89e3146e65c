// Choosing a tool: the state, action caption, prompt and object list each tool starts with,
// what the old tool leaves behind, and the remembered counts and options of Copy and the
// transform tools.
#include "fake_tool.h"

namespace zeph::testing {
namespace {

using SetToolTest = FakeToolTest;

TEST_F(SetToolTest, EachToolStartsInItsState) {
  struct Case {
    int oldTool;
    int tool;
    int subMode;
    int state;
    int action;
    int prompt;
    int objectList;
    int currentTool;
  };
  const Case cases[] = {
      {kToolNewLine, kToolArc, -1, 0, 0, 0, 0, kToolArc},
      {kToolNewLine, kToolLine, -1, 0, 0, 0, 0, kToolNewLine},  // no line start yet
      {kToolNewLine, kToolShape, 2, 0, 0, 0, 0, kToolShape},
      {kToolNewLine, kToolMove, 0, 0, 0, 171, 0, kToolMove},
      {kToolNewLine, kToolMove, 1, 1, 50, 160, 1, kToolMove},
      {kToolNewLine, kToolMove, 2, 0, 0, 0, 0, kToolMove},
      {kToolNewLine, kToolMove, 3, 0, 54, 170, 0, kToolMove},
      {kToolNewLine, kToolCopy, -1, 1, 48, 150, 1, kToolCopy},
      {kToolNewLine, kToolRotate, -1, 1, 49, 162, 1, kToolRotate},
      {kToolNewLine, kToolReflect, -1, 1, 51, 166, 1, kToolReflect},
      {kToolNewLine, kToolEnlarge, -1, 1, 52, 164, 1, kToolEnlarge},
      {kToolNewLine, kToolStretch, -1, 1, 53, 168, 1, kToolStretch},
      {kToolNewLine, kToolObject, 0, 9, 0, 193, 1, kToolObject},
      {kToolNewLine, kToolObject, 1, 9, 0, 194, 1, kToolObject},
      {kToolNewLine, kToolObject, 2, 1, 56, 195, 1, kToolObject},
      {kToolNewLine, kToolObject, 3, 8, 0, 192, 1, kToolObject},
      {kToolNewLine, kToolObject, 4, 10, 59, 196, 1, kToolObject},
      {kToolNewLine, kToolDelete, -1, 1, 55, 0, 1, kToolDelete},
      {kToolNewLine, kToolModify, -1, 3, 0, 0, 0, kToolModify},
      {kToolNewLine, kToolValues, -1, 2, 0, 0, 0, kToolValues},
      {kToolNewLine, kToolColour, -1, 1, 0, 172, 1, kToolColour},
      {kToolMove, kToolText, -1, 0, 0, 0, 0, kToolText},
      {kToolNewLine, kToolHunt, -1, 0, 0, 0, 0, kToolNewLine},  // refused: a snap switch
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.oldTool << " -> " << c.tool << " / " << c.subMode);
    g_currentTool = c.oldTool;
    g_toolState = 0;
    m_view.calls.clear();
    const int result = m_fake->SetTool(c.tool, c.subMode);
    EXPECT_EQ(result, c.tool == kToolHunt ? 0 : 1);
    EXPECT_EQ(g_currentTool, c.currentTool);
    EXPECT_EQ(g_toolState, c.state);
    if (result == 0) {
      EXPECT_TRUE(m_view.calls.isEmpty());
      continue;
    }
    EXPECT_EQ(g_currentSubMode, c.subMode);
    EXPECT_EQ(m_fake->GetActionId(), c.action);
    EXPECT_EQ(m_fake->GetPromptId(), c.prompt);
    EXPECT_EQ(m_view.Calls(QStringLiteral("SetAction")),
              QStringList{QStringLiteral("SetAction %1 0").arg(c.action)});
    EXPECT_EQ(m_view.Calls(QStringLiteral("SetPromptText")),
              QStringList{QStringLiteral("SetPromptText %1").arg(c.prompt)});
    EXPECT_EQ(m_view.Calls(QStringLiteral("ShowObjectList")),
              QStringList{QStringLiteral("ShowObjectList %1").arg(c.objectList)});
    EXPECT_EQ(m_view.Calls(QStringLiteral("RemovePromptButtons")).size(), 1);
    EXPECT_EQ(m_fake->GetClickStep(), 0);
  }
  EXPECT_EQ(g_shapeSubMode, 2);
  EXPECT_EQ(g_objectSubMode, 4);
}

TEST_F(SetToolTest, LineContinuesFromTheLineStartWithItsMark) {
  g_lineStart = {10 * Scale(), 10 * Scale()};
  g_lineStartSet = 1;
  g_currentTool = kToolNewLine;
  ASSERT_EQ(m_fake->SetTool(kToolLine, -1), 1);
  EXPECT_EQ(g_currentTool, kToolLine);
  EXPECT_EQ(m_fake->GetMarkCount(), 1);
  // Leaving Line takes the mark away.
  ASSERT_EQ(m_fake->SetTool(kToolCircle, -1), 1);
  EXPECT_EQ(m_fake->GetMarkCount(), 0);
}

TEST_F(SetToolTest, ChoosingAToolCancelsTheGestureInProgress) {
  g_currentTool = kToolLine;
  m_fake->SetConstructionItem(MakeLine(0, 0, 1000, 1000));
  m_fake->SetClickStep(4);
  ASSERT_EQ(m_fake->SetTool(kToolCircle, -1), 1);
  EXPECT_EQ(m_fake->GetClickStep(), 0);
  EXPECT_EQ(m_fake->GetConstructionItem(), nullptr);
}

TEST_F(SetToolTest, OriginChosenTwiceResetsTheReadoutOrigin) {
  g_currentTool = kToolNewLine;
  g_readoutOrigin = {500, 700};
  m_fake->SetTool(kToolOrigin, -1);
  EXPECT_EQ(g_readoutOrigin, (DrawingPoint{500, 700}));
  m_fake->SetTool(kToolOrigin, -1);
  EXPECT_EQ(g_readoutOrigin, (DrawingPoint{}));
}

TEST_F(SetToolTest, LeavingObjectHideHidesTheChosenObjects) {
  Add(MakeLine(0, 0, 1000, 0));
  Add(MakeLine(0, 0, 0, 1000));
  g_currentTool = kToolNewLine;
  m_fake->SetTool(kToolObject, 3);
  m_doc.GetItem(1)->Select();
  m_fake->SetTool(kToolNewLine, -1);
  EXPECT_EQ(m_doc.GetItem(0)->IsHidden(), 0);
  EXPECT_EQ(m_doc.GetItem(1)->IsHidden(), 1);
}

TEST_F(SetToolTest, ActionCountsAndOptionsOfCopyAndTheTransforms) {
  g_currentTool = kToolNewLine;
  g_toolActionCounts = {3, 0, 5, 0};
  SetOptionFlag(kOptionCopyNewObject, 1);
  SetOptionFlag(kOptionTransformKeepOriginal, 1);
  m_fake->SetTool(kToolCopy, -1);
  EXPECT_EQ(g_actionCount, 3);
  EXPECT_EQ(g_makeNewObject, 1);
  // The Copy option is read once a run; a change in the values bar stays.
  g_makeNewObject = 0;
  m_fake->SetTool(kToolCopy, -1);
  EXPECT_EQ(g_makeNewObject, 0);
  m_fake->SetTool(kToolRotate, -1);
  EXPECT_EQ(g_actionCount, 1) << "no remembered count";
  EXPECT_EQ(g_keepOriginals, 1);
  m_fake->SetTool(kToolEnlarge, -1);
  EXPECT_EQ(g_actionCount, 5);
  g_toolActionCounts[1] = 4;
  m_fake->SetTool(kToolReflect, -1);
  EXPECT_EQ(g_actionCount, 1) << "Reflect always starts with one";
  m_fake->SetTool(kToolStretch, -1);
  EXPECT_EQ(g_stretchWarningArmed, 1);
}

TEST_F(SetToolTest, LeavingAChoiceEndsTheChoosingDisplay) {
  Add(MakeLine(0, 0, 1000, 0));
  m_doc.GetItem(0)->Select();
  m_fake->SetSelectionShown(1);
  g_currentTool = kToolDelete;
  m_fake->SetTool(kToolNewLine, -1);
  EXPECT_EQ(m_fake->GetSelectionShown(), 0);
  EXPECT_EQ(m_doc.GetItem(0)->IsSelected(), 0);
}

TEST_F(SetToolTest, ModifyAndValuesKeepTheirPickedItem) {
  Add(MakeLine(0, 0, 1000, 0));
  g_currentTool = kToolValues;
  m_fake->AddPicked(m_doc.GetItem(0));
  m_fake->SetTool(kToolModify, -1);
  EXPECT_EQ(m_fake->GetPickCount(), 1);
  m_fake->SetTool(kToolValues, -1);
  EXPECT_EQ(m_fake->GetPickCount(), 1);
  m_fake->SetTool(kToolDelete, -1);
  EXPECT_EQ(m_fake->GetPickCount(), 0);
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

TEST_F(SetToolTest, TextEditedInModifyStaysForValuesAndIsCommittedOnLeaving) {
  DrawItemPtr text = CreateItem(kItemText);
  text->SetPosition(20 * Scale(), 40 * Scale());
  text->SetText(QStringLiteral("abc"));
  Add(std::move(text));
  g_currentTool = kToolValues;
  m_fake->AddPicked(m_doc.GetItem(0));
  m_fake->SetTool(kToolModify, -1);
  EXPECT_EQ(m_fake->GetTextState(), kTextEditing);
  EXPECT_EQ(m_view.Calls(QStringLiteral("SetPromptText 141")).size(), 1);
  m_fake->SetTool(kToolValues, -1);
  EXPECT_EQ(m_fake->GetTextState(), kTextKept);
  EXPECT_EQ(m_fake->GetPickCount(), 1);
  m_fake->SetTool(kToolDelete, -1);
  EXPECT_EQ(m_fake->GetTextState(), kTextNone);
  EXPECT_EQ(m_fake->GetPickCount(), 0);
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(m_doc.GetItem(0)->GetText(), QStringLiteral("abc"));
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

TEST_F(SetToolTest, RightClickEntersModifyOnTheItemUnderTheCursor) {
  Add(MakeLine(0, 0, 100 * Scale(), 0));
  Add(MakeLine(0, 50 * Scale(), 100 * Scale(), 50 * Scale()));
  g_currentTool = kToolLine;
  m_fake->OnRButtonUp(0, {60, kHeight - 20 - 48});
  EXPECT_EQ(g_currentTool, kToolModify);
  EXPECT_EQ(g_toolState, 3);
  EXPECT_EQ(
      m_view.Calls(QStringLiteral("DrawToolButton")),
      (QStringList{QStringLiteral("DrawToolButton 1 0"), QStringLiteral("DrawToolButton 22 3")}));
  ASSERT_EQ(m_fake->GetPickCount(), 1);
  EXPECT_EQ(m_fake->GetPicked(0), m_doc.GetItem(1));
  EXPECT_EQ(m_fake->GetSelectionShown(), 1);
  EXPECT_EQ(m_doc.GetItem(0)->IsSelected(), 1);
  // A second right click in Modify moves the pick to the other item.
  m_fake->OnRButtonUp(0, {60, kHeight - 20 - 1});
  ASSERT_EQ(m_fake->GetPickCount(), 1);
  EXPECT_EQ(m_fake->GetPicked(0), m_doc.GetItem(0));
  EXPECT_EQ(m_doc.GetItem(1)->IsSelected(), 1);
}

TEST_F(SetToolTest, RightClickOnEmptyPaperPicksNothing) {
  g_currentTool = kToolCircle;
  m_fake->OnRButtonUp(0, {60, 60});
  EXPECT_EQ(g_currentTool, kToolModify);
  EXPECT_EQ(m_fake->GetPickCount(), 0);
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

using RightClickTest = EditorTest;

// A window on which Modify cannot be chosen.
class CNoModifyWindow final : public CEditDrawing {
 public:
  int IsToolAvailable(int tool) const override {
    return tool == kToolModify ? 0 : CEditDrawing::IsToolAvailable(tool);
  }
};

TEST_F(RightClickTest, RefusedWhileModifyCannotBeUsed) {
  m_window = std::make_unique<CNoModifyWindow>();
  m_window->resize(kWidth, kHeight);
  m_window->show();
  QApplication::sendPostedEvents();
  SetZoom(8, 20, kHeight - 20);
  m_window->SetDocument(&m_doc);
  Add(MakeLine(0, 0, 100 * Scale(), 0));
  g_currentTool = kToolNewLine;
  m_window->OnRButtonUp(0, {60, kHeight - 20});
  EXPECT_EQ(g_currentTool, kToolNewLine);
  EXPECT_EQ(m_window->GetPickCount(), 0);
  EXPECT_EQ(m_doc.GetItem(0)->IsSelected(), 0);
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

using CancelTest = FakeToolTest;

TEST_F(CancelTest, CancellingUndoesOnlyWhatTheGestureRecorded) {
  Add(MakeLine(0, 0, 1000, 0));  // the user's previous step
  for (int tool : {kToolMove, kToolCorner}) {
    SCOPED_TRACE(tool);
    g_currentTool = tool;
    // A gesture that opened its group but changed nothing yet.
    m_fake->SetClickStep(1);
    m_doc.SetUndoGroup(1);
    m_fake->CancelOperation();
    EXPECT_EQ(m_doc.GetItemCount(), 1);
    EXPECT_EQ(m_doc.GetJournal().groupState, 0);
    // A gesture that changed the drawing.
    m_fake->SetClickStep(4);
    m_doc.SetUndoGroup(1);
    Add(MakeLine(0, 0, 0, 1000));
    Add(MakeLine(0, 0, 500, 500));
    m_fake->CancelOperation();
    EXPECT_EQ(m_doc.GetItemCount(), 1);
    EXPECT_EQ(m_doc.GetJournal().groupState, 0);
    EXPECT_EQ(m_fake->GetClickStep(), 0);
  }
  EXPECT_EQ(m_doc.CanUndo(), 1) << "the previous step is still there to undo";
}

}  // namespace
}  // namespace zeph::testing
