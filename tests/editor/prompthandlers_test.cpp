// The prompt buttons' handlers over an editor window: Delete's OK as one undo step, Move's OK
// taking the chosen items up, the transforms' value questions, removing shape protection, the
// fill order buttons and the glitches of buttons pressed for the wrong tool.
#include <numbers>

#include "editor/editordialogs.h"
#include "editor/ownerview.h"
#include "editor/tickelements.h"
#include "editor/valuesbarparams.h"
#include "editor/viewparts.h"
#include "editor_fixture.h"

namespace zeph::testing {
namespace {

// What the handlers ask of the view, one line per call.
class PromptView final : public IOwnerView {
 public:
  QStringList calls;
  CZephDoc* document = nullptr;
  CZephDoc* GetDocument() const override { return document; }
  void CloseValueEditor() override { calls << QStringLiteral("CloseValueEditor"); }
  void EnableOKButton(int enable) override { calls << QStringLiteral("EnableOK %1").arg(enable); }
  void SetRestartCaption(int id) override { calls << QStringLiteral("Restart %1").arg(id); }
  void SetPromptText(int id) override { calls << QStringLiteral("Prompt %1").arg(id); }
  void RemovePromptButtons() override { calls << QStringLiteral("RemoveButtons"); }
  void ShowObjectList(int show) override { calls << QStringLiteral("ObjectList %1").arg(show); }
  int RefreshObjectList() override {
    calls << QStringLiteral("RefreshObjectList");
    return 1;
  }
  void UpdateObjectListTicks() override { calls << QStringLiteral("UpdateTicks"); }
};

// The value question answered as the test says, counted.
class ValueDialogs final : public IEditorDialogs {
 public:
  int asked = 0;
  int lastPrompt = 0;
  int lastHelp = 0;
  int answer = 0;  // 1 OK, 0 Cancel
  double value = 0.0;
  int ChooseValue(double& v, int promptId, int helpTopic) override {
    ++asked;
    lastPrompt = promptId;
    lastHelp = helpTopic;
    if (answer != 0) v = value;
    return answer;
  }
};

class PromptHandlersTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    m_view.document = &m_doc;
    m_window->SetOwnerView(&m_view);
    m_window->AttachDrawing();
    InstallEditorPromptParts();
    SetEditorDialogs(&m_dialogs);
  }
  void TearDown() override {
    SetEditorDialogs(nullptr);
    SetObjectListFactory(nullptr);
    SetPromptHandlers(nullptr);
    EditorTest::TearDown();
  }
  void AddRowLine(int row, int group = 0) {
    const int s = Scale();
    const int y = (kHeight - 20 - row) * s;
    DrawItemPtr line = MakeLine(0, y, 100 * s, y);
    line->SetGroupNumber(group);
    Add(std::move(line));
  }
  void StartChoice() {
    m_window->SetSelectionShown(1);
    m_window->SetAllSelected(1);
  }
  IPromptHandlers& Handlers() { return GetPromptHandlers(); }
  bool Called(const QString& call) const { return m_view.calls.contains(call); }

  PromptView m_view;
  ValueDialogs m_dialogs;
};

TEST_F(PromptHandlersTest, DeleteRemovesTheChosenItemsAsOneUndoStep) {
  for (int row : {20, 40, 60, 80}) AddRowLine(row);
  const CDrawItem* kept = m_doc.GetItem(1);
  g_currentTool = kToolDelete;
  StartChoice();
  m_window->ToggleChosen(m_doc.GetItem(0), 1, 0);
  m_window->ToggleChosen(m_doc.GetItem(2), 1, 0);
  m_window->ToggleChosen(m_doc.GetItem(3), 1, 0);
  ASSERT_EQ(m_window->GetChosenCount(), 3);
  Handlers().OnPromptOK(*m_window);
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(m_doc.GetItem(0), kept);
  EXPECT_EQ(m_window->GetChosenCount(), 0);
  EXPECT_EQ(m_window->GetSelectionShown(), 0);
  EXPECT_TRUE(Called(QStringLiteral("EnableOK 0")));
  EXPECT_TRUE(Called(QStringLiteral("UpdateTicks")));
  // The deleted lines are gone from the screen, the kept one is not.
  Repaint();
  EXPECT_EQ(Pixel(60, 20), Background());
  EXPECT_EQ(Pixel(60, 40), kRed);
  m_doc.Undo(nullptr, nullptr, 1);
  EXPECT_EQ(m_doc.GetItemCount(), 4);
  EXPECT_EQ(m_doc.GetItem(1), kept);
}

TEST_F(PromptHandlersTest, MoveItemsWithNothingChosenOnlyDisablesOK) {
  AddRowLine(20);
  g_currentTool = kToolMove;
  g_toolSubMode = 1;
  StartChoice();
  m_view.calls.clear();
  Handlers().OnPromptOK(*m_window);
  EXPECT_EQ(m_view.calls, QStringList({QStringLiteral("CloseValueEditor"),
                                       QStringLiteral("EnableOK 0")}));
  EXPECT_EQ(g_moveDragging, 0);
  EXPECT_EQ(m_window->GetPickCount(), 0);
  EXPECT_EQ(m_window->GetSelectionShown(), 1);
}

TEST_F(PromptHandlersTest, MoveItemsTakesTheChosenItemsUp) {
  for (int row : {20, 40, 60}) AddRowLine(row);
  g_currentTool = kToolMove;
  g_toolSubMode = 1;
  StartChoice();
  m_window->ToggleChosen(m_doc.GetItem(2), 1, 0);
  m_window->ToggleChosen(m_doc.GetItem(0), 1, 0);
  Handlers().OnPromptOK(*m_window);
  EXPECT_EQ(g_moveDragging, 1);
  ASSERT_EQ(m_window->GetPickCount(), 2);
  // In the drawing's order.
  EXPECT_EQ(m_window->GetPicked(0), m_doc.GetItem(0));
  EXPECT_EQ(m_window->GetPicked(1), m_doc.GetItem(2));
  EXPECT_EQ(m_window->GetSelectionShown(), 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(m_doc.GetItem(i)->IsSelected(), 0) << i;
  EXPECT_TRUE(Called(QStringLiteral("ObjectList 0")));
  EXPECT_TRUE(Called(QStringLiteral("Restart 57")));
  EXPECT_EQ(m_view.calls.last(), QStringLiteral("Prompt 161"));
  EXPECT_EQ(m_window->GetPromptId(), 161);
}

TEST_F(PromptHandlersTest, TransformsAskForTheirValueUnlessItIsFixed) {
  struct Case {
    int tool;
    int alreadySet;
    int answer;
    double typed;
    int asked;
    int setAfter;
    double valueAfter;
    int prompt;
  };
  const double pi = std::numbers::pi;
  const Case cases[] = {
      // A fixed angle: no question, straight to the centre.
      {kToolRotate, 1, 1, 45.0, 0, 1, 0.25, 163},
      {kToolRotate, 0, 1, 90.0, 1, 1, pi / 2, 163},
      // Cancel still goes on to the centre, without a fixed angle.
      {kToolRotate, 0, 0, 90.0, 1, 0, 0.25, 163},
      // An empty box (-1) fixes nothing, as Cancel does.
      {kToolRotate, 0, 1, -1.0, 1, 0, 0.25, 163},
      {kToolEnlarge, 0, 1, 2.5, 1, 1, 2.5, 165},
      {kToolEnlarge, 0, 1, -1.0, 1, 0, 0.25, 165},
      {kToolStretch, 0, 1, 0.5, 1, 1, 0.5, 169},
      {kToolStretch, 0, 1, 0.0, 1, 0, 0.25, 169},
      {kToolReflect, 0, 1, 3.0, 0, 0, 0.25, 167},
  };
  for (const Case& c : cases) {
    g_currentTool = c.tool;
    g_rotateAngle = g_enlargeFactor = g_stretchFactor = 0.25;
    g_rotateAngleSet = g_enlargeFactorSet = g_stretchFactorSet = c.alreadySet;
    m_dialogs.asked = 0;
    m_dialogs.answer = c.answer;
    m_dialogs.value = c.typed;
    m_window->SetClickStep(0);
    m_view.calls.clear();
    Handlers().OnPromptOK(*m_window);
    const double value = c.tool == kToolEnlarge   ? g_enlargeFactor
                         : c.tool == kToolStretch ? g_stretchFactor
                                                  : g_rotateAngle;
    const int set = c.tool == kToolEnlarge   ? g_enlargeFactorSet
                    : c.tool == kToolStretch ? g_stretchFactorSet
                                             : g_rotateAngleSet;
    SCOPED_TRACE(::testing::Message() << "tool " << c.tool << " typed " << c.typed);
    EXPECT_EQ(m_dialogs.asked, c.asked);
    if (c.tool != kToolReflect) {
      EXPECT_EQ(set, c.setAfter);
    }
    EXPECT_DOUBLE_EQ(value, c.valueAfter);
    EXPECT_EQ(m_window->GetClickStep(), 3);
    EXPECT_TRUE(Called(QStringLiteral("RemoveButtons")));
    EXPECT_EQ(m_window->GetPromptId(), c.prompt);
  }
  g_currentTool = kToolRotate;
  g_rotateAngleSet = 0;
  Handlers().OnPromptOK(*m_window);
  EXPECT_EQ(m_dialogs.lastPrompt, 512);
  EXPECT_EQ(m_dialogs.lastHelp, 51);
}

TEST_F(PromptHandlersTest, RemovingShapeProtectionFreesAGroupOfAnySize) {
  for (int size : {1, 3}) {
    SCOPED_TRACE(size);
    const int first = m_doc.GetItemCount();
    for (int i = 0; i < size; ++i) AddRowLine(20 + 10 * (first + i), 7 + size);
    g_currentTool = kToolModify;
    for (int i = 0; i < size; ++i) m_window->AddPicked(m_doc.GetItem(first + i));
    Handlers().OnPromptOK(*m_window);
    for (int i = 0; i < size; ++i) EXPECT_EQ(m_doc.GetItem(first + i)->GetGroupNumber(), 0);
    EXPECT_EQ(m_window->GetPickCount(), 0);
    EXPECT_EQ(m_window->GetSelectionShown(), 0);
  }
}

TEST_F(PromptHandlersTest, RemovingProtectionOfMixedGroupsIsAGlitch) {
  AddRowLine(20, 4);
  AddRowLine(40, 5);
  g_currentTool = kToolModify;
  m_window->AddPicked(m_doc.GetItem(0));
  m_window->AddPicked(m_doc.GetItem(1));
  Handlers().OnPromptOK(*m_window);
  EXPECT_EQ(m_doc.GetItem(0)->GetGroupNumber(), 4);
  EXPECT_EQ(m_doc.GetItem(1)->GetGroupNumber(), 5);
  EXPECT_EQ(m_window->GetPickCount(), 2);
  ExpectGlitch(2413, 6);
}

TEST_F(PromptHandlersTest, OrderButtonsNeedOnePickedFill) {
  AddRowLine(20);
  AddRowLine(40);
  g_currentTool = kToolModify;
  m_window->AddPicked(m_doc.GetItem(0));
  const CDrawItem* first = m_doc.GetItem(0);
  Handlers().OnPromptBringToFront(*m_window);
  EXPECT_EQ(m_doc.GetItem(0), first);
  EXPECT_EQ(m_window->GetPickCount(), 1);
  ExpectGlitch(2411, 1);
}

TEST_F(PromptHandlersTest, YesAndNoAnswerEachPieceAndTheLastRebuildsTheItem) {
  Add(MakeLine(0, 500, 3000, 500));
  Add(MakeLine(1000, 0, 1000, 1000));
  Add(MakeLine(2000, 0, 2000, 1000));
  CDrawItem* item = m_doc.GetItem(0);
  ASSERT_EQ(m_doc.SplitItemAtCrossings(item), 4);
  g_currentTool = kToolBreak;
  m_window->SetBreakOffer(item, 0);
  Handlers().OnPromptYes(*m_window);  // the first piece goes
  EXPECT_EQ(m_window->GetBreakPieceIndex(), 1);
  EXPECT_EQ(m_window->GetBreakFlashPhase(), 1);
  Handlers().OnPromptNo(*m_window);  // the middle one stays
  EXPECT_EQ(m_window->GetBreakPieceIndex(), 2);
  EXPECT_FALSE(Called(QStringLiteral("RemoveButtons")));
  Handlers().OnPromptYes(*m_window);  // the last goes: the offer ends
  EXPECT_EQ(m_window->GetBreakPieceIndex(), -1);
  EXPECT_TRUE(Called(QStringLiteral("RemoveButtons")));
  int x = 0;
  int y = 0;
  item->GetStart(x, y);
  EXPECT_EQ(x, 1000);
  item->GetEnd(x, y);
  EXPECT_EQ(x, 2000);
  EXPECT_EQ(m_doc.GetItemCount(), 3);
  // One undo brings the whole line back.
  m_doc.Undo(nullptr, nullptr, 1);
  m_doc.GetItem(0)->GetEnd(x, y);
  EXPECT_EQ(x, 3000);
}

TEST_F(PromptHandlersTest, ButtonsOfOtherToolsChangeNothing) {
  AddRowLine(20);
  g_currentTool = kToolLine;
  Handlers().OnPromptOK(*m_window);
  EXPECT_EQ(m_doc.GetItemCount(), 1);
  ExpectGlitch(2413, 10);
  ResetLogState();
  Handlers().OnPromptYes(*m_window);
  ExpectGlitch(2415, 1);
  ResetLogState();
  Handlers().OnPromptSendToBack(*m_window);
  ExpectGlitch(2409, 1);
  // Restart of another tool is ignored without a glitch.
  ResetLogState();
  m_glitchExpected = false;
  Handlers().OnPromptRestart(*m_window);
  EXPECT_EQ(g_glitchCount, 0);
}

}  // namespace
}  // namespace zeph::testing
