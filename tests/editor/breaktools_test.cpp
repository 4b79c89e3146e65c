// The Break, Extend and Origin tools driven with the mouse: the pieces of a broken line
// offered and answered through the prompt handlers, the protected shapes, a line extended to
// what lies ahead of it, and the read-outs' origin.
#include "document/dochost.h"
#include "drawtools_fixture.h"
#include "editor/editorstate.h"
#include "editor/tickelements.h"
#include "editor/viewparts.h"
#include "items/intersect.h"
#include "support/strings.h"

namespace zeph::testing {
namespace {

class BreakToolsTest : public DrawToolTest {
 protected:
  void SetUp() override {
    DrawToolTest::SetUp();
    InstallEditorPromptParts();
  }
  void TearDown() override {
    m_window->EndBreakOffer();
    CZephDoc::FreeSplitPieces();
    SetPromptHandlers(nullptr);
    SetObjectListFactory(nullptr);
    DrawToolTest::TearDown();
  }

  // A horizontal line from x 0 to 100 pixels at y 50, crossed by two upright lines at x 30
  // and 70; the horizontal one is item 0.
  void AddCrossedLine(int group = 0) {
    const int s = Scale();
    DrawItemPtr line = MakeLine(0, 50 * s, 100 * s, 50 * s);
    line->SetGroupNumber(group);
    Add(std::move(line));
    Add(MakeLine(30 * s, 20 * s, 30 * s, 80 * s, kBlue));
    Add(MakeLine(70 * s, 20 * s, 70 * s, 80 * s, kBlue));
  }
  // A point of the horizontal line, in pixels from the drawing's origin.
  QPoint OnLine(int x) const { return DeviceOf({x * Scale(), 50 * Scale()}); }
  QString LastMessage() const {
    return m_presenter.shown().empty() ? QString() : m_presenter.shown().back().text;
  }
};

TEST_F(BreakToolsTest, YesNoNoRemovesTheFirstPieceOfThree) {
  const int s = Scale();
  AddCrossedLine();
  Use(kToolBreak);
  Click(OnLine(10));
  ASSERT_EQ(m_window->GetBreakPieceIndex(), 0);
  EXPECT_EQ(g_splitCount - 1, 3) << "three pieces";
  EXPECT_EQ(m_window->GetBreakItem(), m_doc.GetItem(0));
  EXPECT_NE(m_window->GetTimerId(kTimerFlashBreak), 0);
  // A click while the pieces are offered does nothing.
  Click(OnLine(50));
  EXPECT_EQ(m_window->GetBreakPieceIndex(), 0);
  GetPromptHandlers().OnPromptYes(*m_window);
  EXPECT_EQ(m_window->GetBreakPieceIndex(), 1);
  GetPromptHandlers().OnPromptNo(*m_window);
  GetPromptHandlers().OnPromptNo(*m_window);
  EXPECT_EQ(m_window->GetBreakPieceIndex(), -1);
  EXPECT_EQ(m_window->GetTimerId(kTimerFlashBreak), 0);
  ASSERT_EQ(m_doc.GetItemCount(), 3);
  // What is left of the line runs from the first crossing to its end.
  std::vector<std::pair<int, int>> horizontal;
  for (int i = 0; i < m_doc.GetItemCount(); ++i) {
    const CDrawItem* item = m_doc.GetItem(i);
    if (StartOf(item).y == 50 * s && EndOf(item).y == 50 * s) {
      horizontal.emplace_back(StartOf(item).x, EndOf(item).x);
    }
  }
  ASSERT_EQ(horizontal.size(), 1u);
  EXPECT_EQ(std::min(horizontal[0].first, horizontal[0].second), 30 * s);
  EXPECT_EQ(std::max(horizontal[0].first, horizontal[0].second), 100 * s);
  EXPECT_TRUE(m_presenter.shown().empty());
}

TEST_F(BreakToolsTest, CancelRestoresTheLine) {
  const int s = Scale();
  AddCrossedLine();
  Repaint();
  Use(kToolBreak);
  Click(OnLine(10));
  ASSERT_EQ(m_window->GetBreakPieceIndex(), 0);
  GetPromptHandlers().OnPromptYes(*m_window);
  GetPromptHandlers().OnPromptCancel(*m_window);
  EXPECT_EQ(m_window->GetBreakPieceIndex(), -1);
  EXPECT_EQ(m_window->GetTimerId(kTimerFlashBreak), 0);
  ASSERT_EQ(m_doc.GetItemCount(), 3);
  EXPECT_EQ(StartOf(m_doc.GetItem(0)).x, 0);
  EXPECT_EQ(EndOf(m_doc.GetItem(0)).x, 100 * s);
  // The whole line is back on the screen.
  m_window->HideCrossHairs();
  EXPECT_EQ(Pixel(OnLine(50).x(), OnLine(50).y()), kRed);
  EXPECT_EQ(Pixel(OnLine(10).x(), OnLine(10).y()), kRed);
}

// The drawing's host in the program draws what the document asks on the editor window.
class CWindowHost final : public IDocumentHost {
 public:
  explicit CWindowHost(CEditDrawing& window) : m_window(window) {}
  void DrawItem(const CDrawItem* item, int colourMode) override {
    m_window.DrawItem(item, colourMode);
  }

 private:
  CEditDrawing& m_window;
};

// After the answers the screen shows the line where it was kept and nothing where it was
// erased, whatever the mix of Yes (erase), No (keep) and Cancel.
TEST_F(BreakToolsTest, TheScreenShowsWhatTheAnswersKept) {
  CWindowHost host(*m_window);
  SetDocumentHost(&host);
  const struct {
    const char* answers;  // per piece: Y erase, N keep, C cancel the offer
    const char* shown;    // per piece afterwards: 1 the line is on the screen there
  } cases[] = {
      {"NNN", "111"}, {"YYY", "000"}, {"YNN", "011"}, {"NYN", "101"},
      {"NNY", "110"}, {"YYN", "001"}, {"NC", "111"},  {"YNC", "111"},
  };
  const int middles[] = {10, 50, 90};  // a point of each piece
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers);
    m_doc.ClearDrawing();
    AddCrossedLine();
    Repaint();
    Use(kToolBreak);
    Click(OnLine(10));
    ASSERT_EQ(m_window->GetBreakPieceIndex(), 0);
    for (const char* a = c.answers; *a != 0; ++a) {
      // The flashing may have hidden the piece offered: the answer must not depend on it.
      m_clock.Advance(200);
      if (*a == 'Y') GetPromptHandlers().OnPromptYes(*m_window);
      if (*a == 'N') GetPromptHandlers().OnPromptNo(*m_window);
      if (*a == 'C') GetPromptHandlers().OnPromptCancel(*m_window);
    }
    ASSERT_EQ(m_window->GetBreakPieceIndex(), -1);
    m_window->HideCrossHairs();
    for (int i = 0; i < 3; ++i) {
      const QPoint at = OnLine(middles[i]);
      EXPECT_EQ(Pixel(at.x(), at.y()), c.shown[i] == '1' ? kRed : Background()) << "piece " << i;
    }
  }
  SetDocumentHost(nullptr);
}

TEST_F(BreakToolsTest, NothingToOfferOrAProtectedShape) {
  const int s = Scale();
  const struct {
    const char* name;
    int group;
    bool crossed;
    int message;  // 0 none
  } cases[] = {{"crossing nothing", 0, false, 0}, {"a line of a shape", 4, true, 70}};
  for (const auto& c : cases) {
    m_doc.ClearDrawing();
    m_presenter.Clear();
    if (c.crossed) {
      AddCrossedLine(c.group);
    } else {
      Add(MakeLine(0, 50 * s, 100 * s, 50 * s));
    }
    const int count = m_doc.GetItemCount();
    Use(kToolBreak);
    Click(OnLine(10));
    EXPECT_EQ(m_window->GetBreakPieceIndex(), -1) << c.name;
    EXPECT_EQ(m_doc.GetItemCount(), count) << c.name;
    EXPECT_EQ(EndOf(m_doc.GetItem(0)).x, 100 * s) << c.name;
    EXPECT_EQ(m_window->GetClickStep(), 0) << c.name;
    if (c.message == 0) {
      EXPECT_TRUE(m_presenter.shown().empty()) << c.name;
    } else {
      ASSERT_EQ(m_presenter.shown().size(), 1u) << c.name;
      EXPECT_EQ(LastMessage(), LoadProgramString(c.message)) << c.name;
    }
  }
}

TEST_F(BreakToolsTest, ExtendReachesTheNextItemOrSaysThereIsNone) {
  const int s = Scale();
  // A short line ending at x 40 pointing at an upright line at x 70, and another one with
  // nothing ahead of it.
  Add(MakeLine(10 * s, 50 * s, 40 * s, 50 * s));
  Add(MakeLine(70 * s, 20 * s, 70 * s, 80 * s, kBlue));
  Add(MakeLine(10 * s, 100 * s, 40 * s, 100 * s));
  Use(kToolExtend);
  Click(DeviceOf({41 * s, 50 * s}));
  EXPECT_TRUE(m_presenter.shown().empty());
  EXPECT_EQ(EndOf(m_doc.GetItem(0)).x, 70 * s);
  EXPECT_EQ(EndOf(m_doc.GetItem(0)).y, 50 * s);
  UndoOnce();
  EXPECT_EQ(EndOf(m_doc.GetItem(0)).x, 40 * s);
  Click(DeviceOf({41 * s, 100 * s}));
  ASSERT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_EQ(LastMessage(), LoadProgramString(72));
  EXPECT_EQ(EndOf(m_doc.GetItem(2)).x, 40 * s);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  // With only a shape's line there is nothing to pick: no message, nothing changes.
  m_doc.ClearDrawing();
  m_presenter.Clear();
  DrawItemPtr side = MakeLine(10 * s, 50 * s, 40 * s, 50 * s);
  side->SetGroupNumber(3);
  Add(std::move(side));
  Click(DeviceOf({41 * s, 50 * s}));
  EXPECT_TRUE(m_presenter.shown().empty());
  EXPECT_EQ(EndOf(m_doc.GetItem(0)).x, 40 * s);
}

TEST_F(BreakToolsTest, OriginIsTheReleasedPointAndACancelledPressLeavesItAtZero) {
  const int s = Scale();
  g_readoutOrigin = {5 * s, 5 * s};
  Use(kToolOrigin);
  const QPoint at(80, 70);
  QTest::mouseMove(m_window.get(), at);
  QTest::mousePress(m_window.get(), Qt::LeftButton, {}, at);
  // While the button is held the read-outs show drawing coordinates.
  EXPECT_EQ(g_readoutOrigin.x, 0);
  EXPECT_EQ(g_readoutOrigin.y, 0);
  EXPECT_EQ(m_window->GetMarkCount(), 1);
  QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, at);
  EXPECT_EQ(g_readoutOrigin.x, At(at).x);
  EXPECT_EQ(g_readoutOrigin.y, At(at).y);
  EXPECT_EQ(m_window->GetClickStep(), 0);
  EXPECT_EQ(m_window->GetMarkCount(), 0);
  // A press cancelled before its release.
  QTest::mousePress(m_window.get(), Qt::LeftButton, {}, {40, 40});
  m_window->CancelOperation();
  EXPECT_EQ(g_readoutOrigin.x, 0);
  EXPECT_EQ(g_readoutOrigin.y, 0);
  EXPECT_EQ(m_window->GetMarkCount(), 0);
}

}  // namespace
}  // namespace zeph::testing
