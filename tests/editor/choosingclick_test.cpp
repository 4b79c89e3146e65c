// The click that chooses, shared by the tools that work on chosen items: a click toggles the
// nearest item, a rubber band chooses what lies inside it (Shift: takes it out again), the
// first choice shows every other item dormant, and the tools' own exclusions hold.
#include <vector>

#include "controls/input.h"
#include "editor_fixture.h"
#include "recording_view.h"

namespace zeph::testing {
namespace {

// A tool whose whole gesture is the choosing click at the release.
class CChoosingToolWindow final : public CEditDrawing {
 public:
  void DispatchClick() override {
    if (GetClickStep() % 3 == 2) {
      ChooseAtRelease();
      SetClickStep(0);
    }
  }
  int IsToolAvailable(int) const override { return 1; }
};

class ChoosingClickTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    m_window = std::make_unique<CChoosingToolWindow>();
    m_window->resize(kWidth, kHeight);
    m_window->show();
    QApplication::sendPostedEvents();
    SetZoom(8, 20, kHeight - 20);
    m_view.document = &m_doc;
    m_window->SetOwnerView(&m_view);
    m_window->AttachDrawing();
    g_appActive = 1;
    g_currentTool = kToolDelete;
  }

  // A line on device row `row` from column 20 to column 20 + length.
  void AddRowLine(int row, int length = 100, int object = 0, int group = 0,
                  ColourRef colour = kRed) {
    const int s = Scale();
    const int y = (kHeight - 20 - row) * s;
    DrawItemPtr line = MakeLine(0, y, length * s, y, colour);
    line->SetObjectNumber(static_cast<std::int16_t>(object));
    line->SetGroupNumber(group);
    Add(std::move(line));
  }
  void Click(QPoint point, unsigned flags = 0) {
    m_window->OnMouseMove(0, point);
    m_window->OnLButtonDown(kMkLButton | flags, point);
    m_window->OnLButtonUp(flags, point);
  }
  void Band(QPoint from, QPoint to, unsigned flags = 0) {
    m_window->OnMouseMove(0, from);
    m_window->OnLButtonDown(kMkLButton | flags, from);
    m_window->OnMouseMove(kMkLButton | flags, to);
    m_window->OnLButtonUp(flags, to);
  }
  std::vector<int> Dormant() const {
    std::vector<int> bits;
    for (int i = 0; i < m_doc.GetItemCount(); ++i) bits.push_back(m_doc.GetItem(i)->IsSelected());
    return bits;
  }
  static ColourRef DormantColour() { return g_highlightColour & kColourMask; }

  CRecordingView m_view;
};

TEST_F(ChoosingClickTest, FirstClickShowsTheOthersDormantAndASecondClickUnchooses) {
  SetOptionFlag(kOptionCrossHairsCursor, 1);
  AddRowLine(30, 100, 4);
  AddRowLine(60, 100, 5, 0, kBlue);
  Click({60, 32});
  EXPECT_EQ(m_window->IsSelectionShown(), 1);
  EXPECT_EQ(Dormant(), (std::vector<int>{0, 1}));
  EXPECT_EQ(m_window->GetChosenCount(), 1);
  EXPECT_EQ(Pixel(70, 30), kRed);
  EXPECT_EQ(Pixel(70, 60), DormantColour());
  EXPECT_EQ(m_view.Calls(QStringLiteral("UpdateObjectListRow")),
            QStringList{QStringLiteral("UpdateObjectListRow 4")});
  EXPECT_EQ(m_view.Calls(QStringLiteral("UpdateObjectListTicks")).size(), 1);
  // The cross-hairs come back once the items are drawn.
  EXPECT_EQ(m_window->AreCrossHairsShown(), 1);
  Click({60, 28});
  EXPECT_EQ(Dormant(), (std::vector<int>{1, 1}));
  EXPECT_EQ(m_window->GetChosenCount(), 0);
  EXPECT_EQ(m_window->IsSelectionShown(), 1) << "the choice stays on the screen, empty";
  EXPECT_EQ(Pixel(70, 30), DormantColour());
}

TEST_F(ChoosingClickTest, ClickOnAShapeChoosesTheWholeGroup) {
  for (int row : {20, 30, 40, 50}) AddRowLine(row, 100, 0, 9);
  AddRowLine(80);
  Click({60, 41});
  EXPECT_EQ(Dormant(), (std::vector<int>{0, 0, 0, 0, 1}));
  EXPECT_EQ(m_window->GetChosenCount(), 4);
  Click({60, 21});
  EXPECT_EQ(m_window->GetChosenCount(), 0);
}

TEST_F(ChoosingClickTest, BandChoosesWhatLiesInsideAndShiftTakesItOut) {
  AddRowLine(30);
  AddRowLine(60);
  AddRowLine(90, 170);  // reaches past the band's right edge
  // A band over empty paper before any choice shows nothing.
  Band({5, 100}, {15, 140});
  EXPECT_EQ(m_window->IsSelectionShown(), 0);
  EXPECT_EQ(Dormant(), (std::vector<int>{0, 0, 0}));
  Band({10, 20}, {150, 100});
  EXPECT_EQ(Dormant(), (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(m_window->GetChosenCount(), 2);
  EXPECT_EQ(m_window->IsRubberBandVisible(), 0);
  EXPECT_EQ(Pixel(70, 90), DormantColour());
  // Shift takes out what lies inside, whatever was chosen before.
  Band({10, 50}, {150, 70}, kMkShift);
  EXPECT_EQ(Dormant(), (std::vector<int>{0, 1, 1}));
  EXPECT_EQ(m_window->GetChosenCount(), 1);
  EXPECT_EQ(Pixel(70, 60), DormantColour());
  // The band's own dotted outline is gone from the screen.
  EXPECT_EQ(Pixel(10, 50), Background());
}

TEST_F(ChoosingClickTest, StretchNeverChoosesAShapeAndWarnsOnce) {
  g_currentTool = kToolStretch;
  g_stretchWarningArmed = 1;
  for (int row : {20, 30}) AddRowLine(row, 100, 0, 3);
  AddRowLine(60);
  Click({60, 21});
  EXPECT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_EQ(m_window->GetChosenCount(), 0);
  EXPECT_EQ(m_window->IsSelectionShown(), 0);
  Click({60, 31});
  EXPECT_EQ(m_presenter.shown().size(), 1u) << "the warning is given once";
  // A band over the shape and the plain line chooses the line alone.
  Band({10, 10}, {150, 70});
  EXPECT_EQ(Dormant(), (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(m_window->GetChosenCount(), 1);
}

}  // namespace
}  // namespace zeph::testing
