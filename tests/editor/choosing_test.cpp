// Choosing items: dormant and chosen items on the screen, whole groups, the pick list, objects
// chosen from the object list, recolouring as one undo step and the choice after an undo.
#include "editor_fixture.h"
#include "items/intersect.h"
#include "recording_view.h"

namespace zeph::testing {
namespace {

class ChoosingTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    m_view.document = &m_doc;
    m_window->SetOwnerView(&m_view);
    m_window->AttachDrawing();
  }

  // A line on device row `row` from column 20 to 120, of an object and a group.
  void AddRowLine(int row, int object = 0, int group = 0, ColourRef colour = kRed) {
    const int s = Scale();
    const int y = (kHeight - 20 - row) * s;
    DrawItemPtr line = MakeLine(0, y, 100 * s, y, colour);
    line->SetGroupNumber(group);
    line->SetObjectNumber(static_cast<std::int16_t>(object));
    Add(std::move(line));
  }
  void StartChoice() {
    m_window->SetSelectionShown(1);
    m_window->SetAllSelected(1);
  }
  ColourRef Dormant() const { return g_highlightColour & kColourMask; }

  CRecordingView m_view;
};

TEST_F(ChoosingTest, OneLineOfAShapeChoosesTheWholeGroup) {
  for (int row : {20, 30, 40, 50}) AddRowLine(row, 0, 7);
  AddRowLine(70);
  StartChoice();
  EXPECT_EQ(Pixel(60, 20), Dormant());
  ASSERT_EQ(m_window->ToggleChosen(m_doc.GetItem(2), 1, 1), 1);
  EXPECT_EQ(m_window->GetPickCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(m_doc.GetItem(i)->IsSelected(), 0) << i;
  EXPECT_EQ(m_doc.GetItem(4)->IsSelected(), 1);
  EXPECT_EQ(Pixel(60, 20), kRed);
  EXPECT_EQ(Pixel(60, 50), kRed);
  EXPECT_EQ(Pixel(60, 70), Dormant());
  // Choosing it again changes nothing; un-choosing takes the group back out.
  m_window->ToggleChosen(m_doc.GetItem(0), 1, 1);
  EXPECT_EQ(m_window->GetPickCount(), 4);
  m_window->ToggleChosen(m_doc.GetItem(3), 0, 1);
  EXPECT_EQ(m_window->GetPickCount(), 0);
  EXPECT_EQ(Pixel(60, 30), Dormant());
}

TEST_F(ChoosingTest, UnchoosingAnItemNotPickedIsAGlitchWithNoChange) {
  AddRowLine(20);
  AddRowLine(40);
  StartChoice();
  m_window->ToggleChosen(m_doc.GetItem(0), 1, 1);
  // Item 1 is chosen behind the pick list's back.
  m_doc.GetItem(1)->ClearSelected();
  m_window->ToggleChosen(m_doc.GetItem(1), 0, 1);
  EXPECT_EQ(m_window->GetPickCount(), 1);
  EXPECT_EQ(m_window->GetPicked(0), m_doc.GetItem(0));
  EXPECT_EQ(m_doc.GetItem(1)->IsSelected(), 0);
  ExpectGlitch(2424, 1);
}

TEST_F(ChoosingTest, UnchoosingADormantItemChangesNothing) {
  AddRowLine(20);
  StartChoice();
  m_window->ToggleChosen(m_doc.GetItem(0), 0, 0);
  EXPECT_EQ(m_window->GetChosenCount(), 0);
  EXPECT_EQ(m_doc.GetItem(0)->IsSelected(), 1);
}

TEST_F(ChoosingTest, ChoosingAnObjectFirstMakesEverythingElseDormant) {
  AddRowLine(20, 3);
  AddRowLine(40, 4);
  AddRowLine(60, 3);
  g_currentTool = kToolRotate;
  m_window->ChooseObject(3, 0);
  EXPECT_EQ(m_window->GetSelectionShown(), 1);
  EXPECT_EQ(m_window->GetChosenCount(), 2);
  EXPECT_EQ(Pixel(60, 20), kRed);
  EXPECT_EQ(Pixel(60, 40), Dormant());
  EXPECT_EQ(m_view.Calls(QStringLiteral("EnableOKButton")).last(),
            QStringLiteral("EnableOKButton 1"));
  m_window->ChooseObject(3, 1);
  EXPECT_EQ(m_window->GetChosenCount(), 0);
  EXPECT_EQ(m_view.Calls(QStringLiteral("EnableOKButton")).last(),
            QStringLiteral("EnableOKButton 0"));
}

TEST_F(ChoosingTest, IdentifyHoldsOneObjectAtATime) {
  AddRowLine(20, 3);
  AddRowLine(40, 4);
  g_currentTool = kToolObject;
  g_toolState = 9;
  m_window->ChooseObject(3, 0);
  m_window->ChooseObject(4, 0);
  EXPECT_EQ(m_doc.GetItem(0)->IsSelected(), 1);
  EXPECT_EQ(m_doc.GetItem(1)->IsSelected(), 0);
  EXPECT_EQ(m_window->GetChosenCount(), 1);
  EXPECT_EQ(g_currentObject, 4);
  EXPECT_EQ(g_objectChosen, 1);
}

TEST_F(ChoosingTest, StretchLeavesShapesDormantAndWarnsOnce) {
  AddRowLine(20, 3, 9);
  AddRowLine(40, 3);
  g_currentTool = kToolStretch;
  g_stretchWarningArmed = 1;
  m_window->ChooseObject(3, 0);
  m_window->ChooseObject(3, 0);
  EXPECT_EQ(m_doc.GetItem(0)->IsSelected(), 1);
  EXPECT_EQ(m_doc.GetItem(1)->IsSelected(), 0);
  EXPECT_EQ(m_presenter.shown().size(), 1u);
}

TEST_F(ChoosingTest, RecolouringTheChosenItemsIsOneUndoStep) {
  AddRowLine(20);
  AddRowLine(40);
  AddRowLine(60);
  StartChoice();
  g_currentTool = kToolColour;
  m_window->ToggleChosen(m_doc.GetItem(0), 1, 0);
  m_window->ToggleChosen(m_doc.GetItem(2), 1, 0);
  EXPECT_EQ(m_window->GetChosenCount(), 2);
  m_window->RecolourChosen(static_cast<int>(kBlue));
  EXPECT_EQ(m_doc.GetItem(0)->GetColour(), static_cast<int>(kBlue));
  EXPECT_EQ(m_doc.GetItem(1)->GetColour(), static_cast<int>(kRed));
  EXPECT_EQ(m_doc.GetItem(2)->GetColour(), static_cast<int>(kBlue));
  EXPECT_EQ(m_window->GetSelectionShown(), 0);
  EXPECT_EQ(Pixel(60, 40), kRed) << "choosing ended: nothing dormant";
  QImage scratch(8, 8, QImage::Format_RGB32);
  CImageContext dc(scratch);
  m_doc.Undo(&dc, &m_window->GetMapping(), 1);
  EXPECT_EQ(m_doc.GetItem(0)->GetColour(), static_cast<int>(kRed));
  EXPECT_EQ(m_doc.GetItem(2)->GetColour(), static_cast<int>(kRed));
}

TEST_F(ChoosingTest, AfterAnUndoTheChoiceFollowsTheDrawing) {
  AddRowLine(20);
  AddRowLine(40);
  g_currentTool = kToolDelete;
  StartChoice();
  m_window->ToggleChosen(m_doc.GetItem(1), 1, 0);
  QImage scratch(8, 8, QImage::Format_RGB32);
  CImageContext dc(scratch);
  m_doc.Undo(&dc, &m_window->GetMapping(), 1);  // the chosen line goes
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  m_view.calls.clear();
  m_window->ResyncChoice();
  EXPECT_EQ(m_window->GetChosenCount(), 0);
  EXPECT_EQ(m_view.Calls(QStringLiteral("EnableOKButton")),
            QStringList{QStringLiteral("EnableOKButton 0")});
}

TEST_F(ChoosingTest, ModifyKeepsOnlyAPickStillInTheDrawing) {
  AddRowLine(20);
  AddRowLine(40);
  g_currentTool = kToolModify;
  g_toolState = 3;
  m_window->AddToPickList(m_doc.GetItem(1));
  QImage scratch(8, 8, QImage::Format_RGB32);
  CImageContext dc(scratch);
  m_doc.Undo(&dc, &m_window->GetMapping(), 1);
  m_window->ResyncChoice();
  EXPECT_EQ(m_window->GetPickCount(), 0);
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

TEST_F(ChoosingTest, RepeatCopyAlongAFixedOffsetIsOneUndoStep) {
  AddRowLine(20);
  AddRowLine(40);
  StartChoice();
  m_window->ToggleChosen(m_doc.GetItem(0), 1, 0);
  g_copyDistance = 10000;
  g_copyDistanceSet = 1;
  g_copyAngle = 0;
  g_copyAngleSet = 1;
  g_actionCount = 3;
  m_window->RepeatCopy();
  ASSERT_EQ(m_doc.GetItemCount(), 5);
  int x0 = 0;
  int y0 = 0;
  m_doc.GetItem(0)->GetStart(x0, y0);
  for (int j = 1; j <= 3; ++j) {
    int x = 0;
    int y = 0;
    m_doc.GetItem(1 + j)->GetStart(x, y);
    EXPECT_EQ(x, x0 + j * 10000) << j;
    EXPECT_EQ(y, y0) << j;
    EXPECT_EQ(m_doc.GetItem(1 + j)->IsSelected(), 1) << "copies stay dormant";
  }
  EXPECT_EQ(m_doc.GetItem(0)->IsSelected(), 1);
  QImage scratch(8, 8, QImage::Format_RGB32);
  CImageContext dc(scratch);
  m_doc.Undo(&dc, &m_window->GetMapping(), 1);
  EXPECT_EQ(m_doc.GetItemCount(), 2);
}

TEST_F(ChoosingTest, RepeatCopyNeedsDistanceAndAngle) {
  AddRowLine(20);
  g_copyDistanceSet = 1;
  m_window->RepeatCopy();
  EXPECT_EQ(m_doc.GetItemCount(), 1);
  ExpectGlitch(2408, 1);
}

TEST_F(ChoosingTest, BreakOfferPaintsTheKeptPiecesInPlaceOfTheItem) {
  const int s = Scale();
  AddRowLine(30);  // the item being broken (red), columns 20 to 120
  std::vector<DrawItemPtr> pieces;
  pieces.push_back(MakeLine(0, (kHeight - 50) * s, 30 * s, (kHeight - 50) * s, kBlue));
  pieces.push_back(MakeLine(30 * s, (kHeight - 50) * s, 60 * s, (kHeight - 50) * s, kBlue));
  pieces.push_back(MakeLine(60 * s, (kHeight - 50) * s, 100 * s, (kHeight - 50) * s, kBlue));
  g_splitPieces = {pieces[0].get(), pieces[1].get(), pieces[2].get()};
  g_splitKeep = {1, 1, 1};
  m_window->SetBreakOffer(m_doc.GetItem(0), 2);  // pieces 0 and 1 answered "keep"
  Repaint();
  // The pieces lie on the item's row 30: columns 20-50, 50-80 and 80-120.
  EXPECT_EQ(Pixel(35, 30), kBlue);
  EXPECT_EQ(Pixel(65, 30), kBlue) << "the piece just kept is painted too";
  EXPECT_EQ(Pixel(100, 30), Background()) << "neither the whole item nor an unanswered piece";
  EXPECT_EQ(m_doc.GetItem(0)->IsInvisible(), 0);
  m_window->SetBreakOffer(nullptr, -1);
  g_splitPieces.clear();
  g_splitKeep.clear();
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

TEST_F(ChoosingTest, CurveHandlesShowRepaintAndLeaveNothingBehind) {
  const int s = Scale();
  DrawItemPtr curve = CreateItem(kItemBezier);
  curve->SetStart(10 * s, 10 * s);
  curve->SetEnd(100 * s, 10 * s);
  curve->SetControlPoint(0, 30.0 * s, 70.0 * s);
  curve->SetControlPoint(1, 80.0 * s, 70.0 * s);
  curve->SetColour(static_cast<int>(kRed));
  Add(std::move(curve));
  Repaint();
  const QImage before = m_window->BackBuffer().copy();
  g_currentTool = kToolModify;
  g_toolState = 4;
  m_window->AddToPickList(m_doc.GetItem(0));
  m_window->DrawCurveHandles(0, nullptr);
  EXPECT_EQ(m_window->GetGripCount(), 2);
  EXPECT_EQ(m_window->FindGrip(20 + 30, kHeight - 20 - 70), 0);
  const QImage shown = m_window->BackBuffer().copy();
  EXPECT_NE(shown, before);
  Repaint();
  EXPECT_EQ(m_window->BackBuffer(), shown) << "a paint draws the lines and grips again";
  m_window->DrawCurveHandles(2, nullptr);
  EXPECT_EQ(m_window->GetGripCount(), 0);
  EXPECT_EQ(m_window->BackBuffer(), before);
}

TEST_F(ChoosingTest, CurveHandlesNeedAPickedCurve) {
  g_toolState = 4;
  m_window->DrawCurveHandles(0, nullptr);
  ExpectGlitch(2421, 1);
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

TEST_F(ChoosingTest, HiddenObjectsLeaveTheScreenUnlessShown) {
  AddRowLine(20);
  AddRowLine(40);
  m_doc.GetItem(1)->SetHidden();
  Repaint();
  EXPECT_EQ(Pixel(60, 40), kRed);
  m_window->RefreshHiddenObjects(1);
  EXPECT_EQ(g_hiddenObjectsExist, 1);
  EXPECT_EQ(m_doc.GetItem(1)->IsInvisible(), 1);
  EXPECT_EQ(Pixel(60, 40), Background());
  Repaint();
  EXPECT_EQ(Pixel(60, 40), Background());
  g_showHiddenObjects = 1;
  m_window->RefreshHiddenObjects(1);
  EXPECT_EQ(m_doc.GetItem(1)->IsInvisible(), 0);
  EXPECT_EQ(Pixel(60, 40), kRed);
  // Choosing what to hide: the hidden item is shown dormant and loses its mark.
  g_toolState = 8;
  m_window->SetSelectionShown(1);
  m_window->RefreshHiddenObjects(1);
  EXPECT_EQ(m_doc.GetItem(1)->IsHidden(), 0);
  EXPECT_EQ(m_doc.GetItem(1)->IsSelected(), 1);
  EXPECT_EQ(Pixel(60, 40), Dormant());
  EXPECT_EQ(Pixel(60, 20), kRed);
}

TEST_F(ChoosingTest, ItemsOfTheSelectedPointsEachOnce) {
  const int s = Scale();
  Add(MakeLine(0, 0, 50 * s, 0));
  Add(MakeLine(50 * s, 0, 50 * s, 50 * s));
  Add(MakeLine(0, 90 * s, 50 * s, 90 * s));
  m_doc.SelectPointsAt(50 * s, 0);
  ASSERT_EQ(m_window->PickItemsOfPoints(), 1);
  ASSERT_EQ(m_window->GetPickCount(), 2);
  EXPECT_EQ(m_window->GetPicked(0), m_doc.GetItem(0));
  EXPECT_EQ(m_window->GetPicked(1), m_doc.GetItem(1));
  m_window->ShowGripsOfList({m_doc.GetItem(0), m_doc.GetItem(1)});
  EXPECT_EQ(m_window->GetGripCount(), 3) << "the shared end is one grip";
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

TEST_F(ChoosingTest, CancellingABreakOfferTakesEveryShownPieceAwayAndShowsTheItemWhole) {
  const int s = Scale();
  AddRowLine(30);  // the item being broken
  g_currentTool = kToolBreak;
  // Pieces drawn two rows below the item, so that what cancelling erases can be seen apart
  // from the item drawn whole again.
  const int y = (kHeight - 20 - 32) * s;
  std::vector<DrawItemPtr> pieces;
  pieces.push_back(MakeLine(0, y, 30 * s, y, kBlue));
  pieces.push_back(MakeLine(30 * s, y, 60 * s, y, kBlue));
  pieces.push_back(MakeLine(60 * s, y, 100 * s, y, kBlue));
  g_splitPieces = {pieces[0].get(), pieces[1].get(), pieces[2].get()};
  g_splitKeep = {1, 1, 1};
  m_window->SetBreakOffer(m_doc.GetItem(0), 2);  // pieces 0 and 1 kept, piece 2 offered
  ASSERT_EQ(m_window->GetBreakFlashPhase(), 1);
  Repaint();
  m_window->DrawItem(pieces[2].get(), kDrawOwnColour);  // the offered piece flashing on
  EXPECT_EQ(Pixel(65, 32), kBlue);
  m_window->OnPromptCancel();
  EXPECT_EQ(Pixel(35, 32), Background());
  EXPECT_EQ(Pixel(65, 32), Background()) << "the piece just answered keep goes too";
  EXPECT_EQ(Pixel(100, 32), Background()) << "the offered piece, shown at the time";
  EXPECT_EQ(Pixel(65, 30), kRed);
  EXPECT_EQ(m_window->GetBreakPieceIndex(), -1);
  EXPECT_EQ(m_view.Calls(QStringLiteral("RemovePromptButtons")).size(), 1);
  // A paint now shows the item whole.
  Repaint();
  EXPECT_EQ(Pixel(100, 30), kRed);
  g_splitPieces.clear();
  g_splitKeep.clear();
}

TEST_F(ChoosingTest, PromptCancelBelongsToBreak) {
  AddRowLine(30);
  g_currentTool = kToolMove;
  m_window->OnPromptCancel();
  ExpectGlitch(2410, 1);
  EXPECT_TRUE(m_view.Calls(QStringLiteral("RemovePromptButtons")).empty());
}

TEST_F(ChoosingTest, TheSymbolBeingInsertedSurvivesAPaintAndIsErasedCleanly) {
  const int s = Scale();
  AddRowLine(30);
  CZephDoc symbol;
  DrawItemPtr part = MakeLine(10 * s, 60 * s, 80 * s, 100 * s, kBlue);
  ASSERT_EQ(symbol.AddItem(part), 1);
  CZephDoc* const savedSymbol = g_symbolDoc;
  g_symbolDoc = &symbol;
  Repaint();
  const QImage before = m_window->BackBuffer().copy();
  g_currentTool = kToolInsert;
  m_window->SetClickStep(1);
  m_window->SetOnlyGrip(10 * s, 60 * s);
  m_window->DrawSymbolFeedback(nullptr);
  m_window->SetFeedbackDrawn(1);
  const QImage shown = m_window->BackBuffer().copy();
  EXPECT_NE(shown, before);
  Repaint();
  EXPECT_EQ(m_window->BackBuffer(), shown) << "the paint draws the moving symbol again";
  m_window->EraseFeedback();
  EXPECT_EQ(m_window->BackBuffer(), before);
  EXPECT_EQ(m_window->GetGripCount(), 0);
  EXPECT_EQ(m_window->IsFeedbackDrawn(), 0);
  m_window->SetClickStep(0);
  g_symbolDoc = savedSymbol;
}

}  // namespace
}  // namespace zeph::testing
