// The flyout list: its rows for each tool with sub-modes, the looks of an entry, the current
// sub-mode shown, and the mouse reported to the view (or given to it while it holds the mouse).
#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <vector>

#include "controls/bufferedwnd.h"
#include "editor/buttoncolours.h"
#include "editor/editorstate.h"
#include "editor/flyouttools.h"
#include "editor/tooltable.h"
#include "platform/qt/imagecontext.h"
#include "support/log.h"
#include "support/screen.h"

namespace zeph::testing {
namespace {

// A view that records the presses it is given.
class COwnerStub final : public CBufferedWnd {
 public:
  std::vector<QPoint> presses;
  void OnLButtonDown(unsigned, QPoint point) override { presses.push_back(point); }
};

class FlyoutTest : public ::testing::Test {
 protected:
  static constexpr int kListWidth = 130;
  static constexpr int kListHeight = 200;  // room for six rows of the default font

  void SetUp() override {
    ResetLogState();
    ResetScreenState();
    QImage screen(8, 8, QImage::Format_RGB32);
    CImageContext dc(screen);
    SetUpDisplay(dc);
    ResetEditorState();
    ResetButtonColours();
    m_owner = std::make_unique<COwnerStub>();
    m_owner->resize(300, 200);
    m_owner->show();
    m_list = new CFlyoutTools(m_owner.get());  // owned by the view, as its child
  }

  void TearDown() override {
    m_owner->ReleaseCapture();
    m_owner.reset();
    if (!m_glitchExpected) {
      EXPECT_EQ(g_glitchCount, 0) << "glitch " << g_firstGlitchCode << "/" << g_firstGlitchNumber;
    }
    ResetEditorState();
    ResetScreenState();
    ResetLogState();
  }

  void Show(int tool, int numbered) {
    ASSERT_GT(m_list->SetTool(tool, numbered), 0);
    ASSERT_EQ(m_list->CreateAt(40, 20, kListWidth, kListHeight), 1);
    QApplication::sendPostedEvents();
    m_list->Invalidate();
    m_list->UpdateWindow();
  }

  ColourRef Pixel(int x, int y) const {
    const QRgb rgb = m_list->BackBuffer().pixel(x, y);
    return MakeColour(qRed(rgb), qGreen(rgb), qBlue(rgb));
  }
  static ColourRef Rgb(ColourRef colour) { return colour & kColourMask; }
  // Top of entry index.
  int EntryTop(int index) const { return index * (m_list->GetRowHeight() + 10) + 3; }
  // Whether any pixel of the row's text area holds the colour.
  bool RowHasColour(int index, ColourRef colour) const {
    const int top = EntryTop(index);
    for (int y = top + 1; y < top + m_list->GetRowHeight() + 2; ++y) {
      for (int x = 4; x < kListWidth - 6; ++x) {
        if (Pixel(x, y) == Rgb(colour)) return true;
      }
    }
    return false;
  }

  void ExpectGlitch(int code, int number) {
    m_glitchExpected = true;
    EXPECT_GE(g_glitchCount, 1);
    EXPECT_EQ(g_firstGlitchCode, code);
    EXPECT_EQ(g_firstGlitchNumber, number);
  }

  std::unique_ptr<COwnerStub> m_owner;
  CFlyoutTools* m_list = nullptr;
  bool m_glitchExpected = false;
};

TEST_F(FlyoutTest, EachToolWithSubModesListsItsRowsPlainAndNumbered) {
  struct Case {
    int tool;
    int count;
    const char16_t* first;
    const char16_t* last;
  };
  const Case cases[] = {
      {8, 3, u"Square", u"Regular polygon"},
      {10, 2, u"Fillet", u"Chamfer"},
      {14, 6, u"Move an item", u"Split a point"},
      {20, 5, u"Identify", u"Delete"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tool);
    EXPECT_EQ(m_list->SetTool(c.tool, 0), c.count);
    EXPECT_EQ(m_list->GetTool(), c.tool);
    EXPECT_EQ(m_list->GetEntryText(0), QString::fromUtf16(c.first));
    EXPECT_EQ(m_list->GetEntryText(c.count - 1), QString::fromUtf16(c.last));
    EXPECT_EQ(m_list->SetTool(c.tool, 1), c.count);
    EXPECT_EQ(m_list->GetEntryText(0), QStringLiteral("1  ") + QString::fromUtf16(c.first));
    EXPECT_EQ(m_list->GetEntryText(c.count - 1),
              QString::number(c.count) + QStringLiteral("  ") + QString::fromUtf16(c.last));
  }
}

TEST_F(FlyoutTest, ToolWithoutSubModesIsRefusedAndTheListKeepsItsRows) {
  ASSERT_EQ(m_list->SetTool(14, 1), 6);
  EXPECT_EQ(m_list->SetTool(15, 0), 0);
  ExpectGlitch(3203, 1);
  EXPECT_EQ(m_list->GetTool(), 14);
  EXPECT_EQ(m_list->GetEntryCount(), 6);
}

TEST_F(FlyoutTest, WithoutAnOwnerViewNothingIsShown) {
  CFlyoutTools orphan(nullptr);
  orphan.SetTool(8, 0);
  EXPECT_EQ(orphan.CreateAt(0, 0, 50, 50), 0);
  EXPECT_FALSE(orphan.isVisible());
}

TEST_F(FlyoutTest, EachLookPaintsItsFillAndEdges) {
  Show(10, 0);
  struct Case {
    int look;
    ColourRef fill, topLeft, bottomRight;
  };
  const Case cases[] = {
      {kLookNormal, g_buttonFaceColour, g_buttonFaceColour, g_buttonFaceColour},
      {kLookHovered, g_buttonHoverColour, UiColour(kUiWhite), UiColour(kUiGrey)},
      {kLookPressed, g_buttonPressedColour, UiColour(kUiGrey), UiColour(kUiWhite)},
      {kLookCurrent, UiColour(kUiWhite), UiColour(kUiGrey), g_buttonHoverColour},
      {kLookCurrentHovered, UiColour(kUiWhite), g_buttonHoverColour, UiColour(kUiGrey)},
  };
  const int top = EntryTop(1);
  const int bottom = top + m_list->GetRowHeight() + 2;
  const int right = kListWidth - 5;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.look);
    m_list->DrawEntry(1, c.look, nullptr);
    EXPECT_EQ(Pixel(right - 2, bottom - 1), Rgb(c.fill));
    EXPECT_EQ(Pixel(3, top + 2), Rgb(c.topLeft));          // left edge
    EXPECT_EQ(Pixel(20, top), Rgb(c.topLeft));             // top edge
    EXPECT_EQ(Pixel(right, top + 2), Rgb(c.bottomRight));  // right edge
    EXPECT_EQ(Pixel(20, bottom), Rgb(c.bottomRight));      // bottom edge
  }
  // Row 0 was left alone.
  EXPECT_FALSE(RowHasColour(0, UiColour(kUiWhite)));
}

TEST_F(FlyoutTest, AnEntryOutsideTheListOrAnUnknownLookDrawsNothing) {
  Show(14, 0);
  const QImage before = m_list->BackBuffer().copy();
  m_list->DrawEntry(6, kLookHovered, nullptr);
  ExpectGlitch(3201, 1);
  m_list->DrawEntry(-1, kLookHovered, nullptr);
  EXPECT_EQ(g_glitchCount, 2);
  ResetLogState();
  m_list->DrawEntry(2, 5, nullptr);
  ExpectGlitch(3201, 2);
  EXPECT_EQ(m_list->BackBuffer(), before);
}

TEST_F(FlyoutTest, TheCurrentSubModeIsShownOnlyInTheListOfTheCurrentTool) {
  g_currentTool = kToolMove;
  g_currentSubMode = 3;
  Show(14, 0);
  for (int row = 0; row < 6; ++row) {
    SCOPED_TRACE(row);
    // The current row: white with blue text; the others on the face colour in black.
    EXPECT_EQ(RowHasColour(row, UiColour(kUiWhite)), row == 3);
    EXPECT_EQ(RowHasColour(row, UiColour(kUiBlue)), row == 3);
    EXPECT_TRUE(RowHasColour(row, row == 3 ? UiColour(kUiBlue) : UiColour(kUiBlack)));
  }
  // The frame around the list.
  EXPECT_EQ(Pixel(0, 0), Rgb(g_buttonShadowColour));
  EXPECT_EQ(Pixel(kListWidth - 1, kListHeight - 1), Rgb(g_buttonShadowColour));

  m_list->SetTool(kToolObject, 0);
  m_list->Invalidate();
  m_list->UpdateWindow();
  for (int row = 0; row < 5; ++row) EXPECT_FALSE(RowHasColour(row, UiColour(kUiWhite))) << row;
}

TEST_F(FlyoutTest, MovesAndReleasesAreReportedWithScreenPoints) {
  Show(20, 0);
  QSignalSpy over(m_list, &CFlyoutTools::mouseOverList);
  QSignalSpy left(m_list, &CFlyoutTools::leftButtonReleased);
  QSignalSpy right(m_list, &CFlyoutTools::rightButtonReleased);
  const QPoint at(30, 25);
  QTest::mouseMove(m_list, at);
  EXPECT_GE(over.count(), 1);

  QTest::mousePress(m_list, Qt::RightButton, {}, at);
  QTest::mouseRelease(m_list, Qt::RightButton, {}, at);
  ASSERT_EQ(right.count(), 1);
  EXPECT_EQ(left.count(), 0);
  EXPECT_EQ(right.at(0).at(1).toPoint(), m_list->mapToGlobal(at));

  QTest::mousePress(m_list, Qt::LeftButton, {}, at);
  QTest::mouseRelease(m_list, Qt::LeftButton, {}, at);
  ASSERT_EQ(left.count(), 1);
  EXPECT_EQ(right.count(), 1);
  EXPECT_EQ(left.at(0).at(1).toPoint(), m_list->mapToGlobal(at));
  EXPECT_TRUE(m_owner->presses.empty());
}

TEST_F(FlyoutTest, WhileTheViewHoldsTheMouseItGetsThePressInItsOwnCoordinates) {
  Show(8, 0);
  m_owner->SetCapture();
  QSignalSpy left(m_list, &CFlyoutTools::leftButtonReleased);
  QTest::mousePress(m_list, Qt::LeftButton, {}, QPoint(10, 12));
  QTest::mouseRelease(m_list, Qt::LeftButton, {}, QPoint(10, 12));
  ASSERT_EQ(m_owner->presses.size(), 1U);
  EXPECT_EQ(m_owner->presses[0], QPoint(50, 32));
  EXPECT_EQ(left.count(), 0);  // the view had the release itself
}

}  // namespace
}  // namespace zeph::testing
