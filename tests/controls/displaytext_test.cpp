// The display text and display list, measured with fixed metrics (a line 22 pixels high, most
// characters 8 wide) so that line breaks and scroll ranges do not depend on installed fonts.
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "controls/displaytext.h"
#include "controls/textmetrics.h"
#include "controls_fixture.h"
#include "platform/recordingcontext.h"

namespace zeph::testing {
namespace {

const DcFont kFont{QStringLiteral("Arial"), 16};

class DisplayTextTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    SetControlTextMetrics(&m_metrics);
  }
  void TearDown() override {
    SetControlTextMetrics(nullptr);
    ControlsTest::TearDown();
  }

  // A 200 x 100 field: its text rectangle is 190 wide and holds four lines.
  std::unique_ptr<CDisplayText> MakeField(const QString& text) {
    auto field = std::make_unique<CDisplayText>(m_host.get());
    field->SetFont(&kFont, false);
    field->SetWindowText(text);
    field->resize(200, 100);
    ShowHost();
    field->show();  // a hidden widget hears of its size only when shown
    return field;
  }

  // Where the field's paint puts its lines, as recorded.
  static std::vector<DcPoint> PaintedLines(CDispTextWnd& field) {
    CRecordingContext dc;
    field.OnPaint(dc);
    std::vector<DcPoint> points;
    for (const DcCall& call : dc.calls()) {
      if (call.op == DcOp::kTextOutClipped) points.push_back(call.points[0]);
    }
    return points;
  }

  static QString Lines(int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i) lines << QStringLiteral("line %1").arg(i);
    return lines.join(u'\n');
  }

  static void Wheel(QWidget* w, int delta) {
    QWheelEvent event(QPointF(10, 10), w->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
  }

  CFixedTextMetrics m_metrics;
};

TEST_F(DisplayTextTest, ShortTextIsCentredBothWays) {
  auto field = MakeField(QStringLiteral("Hello"));
  EXPECT_EQ(field->GetScrollMax(), 0);
  EXPECT_FALSE(field->IsScrollBarShown());
  const std::vector<DcPoint> lines = PaintedLines(*field);
  ASSERT_EQ(lines.size(), 1u);
  // "Hello" is 32 wide in 190; the line (end y 26) moves down by (95 - 26) / 2.
  EXPECT_EQ(lines[0].x, 5 + (190 - 32) / 2);
  EXPECT_EQ(lines[0].y, 4 + 34);

  field->SetAlignment(0, 0);
  const std::vector<DcPoint> left = PaintedLines(*field);
  EXPECT_EQ(left.at(0).x, 5);
  EXPECT_EQ(left.at(0).y, 4);
}

TEST_F(DisplayTextTest, LongTextStartsAtTheTopWithAScrollBar) {
  auto field = MakeField(Lines(10));
  EXPECT_TRUE(field->IsScrollBarShown());
  EXPECT_EQ(field->GetLinesPerPage(), 4);
  EXPECT_EQ(field->GetScrollMax(), 6);
  const std::vector<DcPoint> lines = PaintedLines(*field);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].y, 4);
  EXPECT_EQ(field->ScrollBar()->maximum(), 6);
}

TEST_F(DisplayTextTest, ScrollBarOnlyWhenTheTextNeedsIt) {
  // Four words of 23 letters (184 wide) fill the four lines at full width: no bar.
  const QString word(23, u'a');
  const QString four = QStringList{word, word, word, word}.join(u' ');
  auto fits = MakeField(four);
  EXPECT_FALSE(fits->IsScrollBarShown());
  EXPECT_EQ(fits->GetScrollMax(), 0);
  EXPECT_EQ(fits->GetMeasureCount(), 2);  // the font, then the size

  // A fifth word overflows by one line at full width; the bar then narrows the field below a
  // word's width, every word is cut in two and the text is measured once more.
  ASSERT_GE(fits->ScrollBarWidth(), 7);
  auto five = MakeField(four + u' ' + word);
  EXPECT_TRUE(five->IsScrollBarShown());
  EXPECT_EQ(five->GetScrollMax(), 10 - 4);
}

TEST_F(DisplayTextTest, KeysScrollWithinTheRange) {
  auto field = MakeField(Lines(20));  // 20 lines, 4 to a page: maximum 16
  ASSERT_EQ(field->GetScrollMax(), 16);
  struct Step {
    Qt::Key key;
    int expected;
  };
  const Step steps[] = {
      {Qt::Key_PageDown, 3}, {Qt::Key_PageDown, 6}, {Qt::Key_Up, 5},   {Qt::Key_PageUp, 2},
      {Qt::Key_PageUp, 0},   {Qt::Key_Up, 0},       {Qt::Key_End, 16}, {Qt::Key_PageDown, 16},
      {Qt::Key_Down, 16},    {Qt::Key_Home, 0},     {Qt::Key_Down, 1},
  };
  for (const Step& step : steps) {
    QTest::keyClick(field.get(), step.key);
    EXPECT_EQ(field->GetFirstLine(), step.expected)
        << QKeySequence(step.key).toString().toStdString();
    EXPECT_EQ(field->ScrollBar()->value(), step.expected);
  }
  const std::vector<DcPoint> lines = PaintedLines(*field);
  EXPECT_EQ(lines.at(0).y, 4);  // from the first line shown, not centred
}

TEST_F(DisplayTextTest, WheelDeltasAddUpToWholeLines) {
  auto field = MakeField(Lines(20));
  Wheel(field.get(), -40);
  Wheel(field.get(), -40);
  EXPECT_EQ(field->GetFirstLine(), 0);
  Wheel(field.get(), -40);
  EXPECT_EQ(field->GetFirstLine(), 1);
  EXPECT_EQ(field->GetWheelRemainder(), 0);
  Wheel(field.get(), -250);  // two lines, 10 kept
  EXPECT_EQ(field->GetFirstLine(), 3);
  EXPECT_EQ(field->GetWheelRemainder(), -10);
  Wheel(field.get(), 370);  // 360 after the remainder: three lines up
  EXPECT_EQ(field->GetFirstLine(), 0);
  EXPECT_EQ(field->GetWheelRemainder(), 0);
}

TEST_F(DisplayTextTest, ScrollBarActionsMoveTheText) {
  auto field = MakeField(Lines(20));
  field->OnVScroll(kSbPageDown, 0);
  EXPECT_EQ(field->GetFirstLine(), 4);
  field->OnVScroll(kSbThumbTrack, 12);
  EXPECT_EQ(field->GetFirstLine(), 12);
  field->ScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(field->GetFirstLine(), 13);
  EXPECT_EQ(field->ScrollBar()->value(), 13);
}

TEST_F(DisplayTextTest, ColoursFocusMarkAndResizing) {
  auto field = MakeField(QStringLiteral("x"));
  field->UpdateWindow();
  const ColourRef red = MakeColour(255, 0, 0);
  field->SetColours(g_foregroundColour, red);
  field->UpdateWindow();
  EXPECT_EQ(field->BackBuffer().pixel(3, 3), qRgb(255, 0, 0));
  EXPECT_EQ(field->BackBuffer().pixel(0, 50), qRgb(0, 0, 0));  // the border

  field->setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(field->HasFocusMark());
  field->UpdateWindow();
  const QRgb marked = field->BackBuffer().pixel(3, 1);
  field->clearFocus();
  QApplication::processEvents();
  EXPECT_FALSE(field->HasFocusMark());
  EXPECT_NE(field->BackBuffer().pixel(3, 1), marked);

  // The same size again measures nothing; a new size measures again.
  const int measured = field->GetMeasureCount();
  field->resize(200, 100);
  EXPECT_EQ(field->GetMeasureCount(), measured);
  field->resize(150, 100);
  EXPECT_EQ(field->GetMeasureCount(), measured + 1);
}

TEST_F(DisplayTextTest, ScreenshotOfDisplayTexts) {
  SetControlTextMetrics(nullptr);  // the real font, for a person to look at
  QWidget page;
  page.resize(420, 170);
  page.setStyleSheet(QStringLiteral("background: white"));
  CDisplayText centred(&page);
  centred.setGeometry(10, 10, 190, 150);
  centred.SetWindowText(QStringLiteral("A short text is centred in its field."));
  CDisplayText longer(&page);
  longer.setGeometry(215, 10, 195, 110);
  longer.SetWindowText(QStringLiteral(
      "A longer text starts at the top and brings a scroll bar. Words wrap at blanks, a comma, "
      "stays with its word, and an overlongwordwithoutanyblankinit is cut with a hyphen.\n"
      "Line breaks start new lines.\nThe wheel, the keys and the bar scroll the text a line at a "
      "time or a page at a time, and the last page stops at the end of the text."));
  page.show();
  QApplication::processEvents();
  EXPECT_TRUE(longer.IsScrollBarShown());
  EXPECT_FALSE(centred.IsScrollBarShown());
  EXPECT_TRUE(page.grab().save(RenderPath(QStringLiteral("display_text.png"))));
}

TEST_F(DisplayTextTest, DisplayListScrollsItsLines) {
  CDisplayList list(m_host.get());
  list.SetFont(&kFont, false);
  list.resize(200, 96);  // (96 - 8) / 22 = 4 lines to a page
  ShowHost();
  list.show();
  QTest::keyClick(&list, Qt::Key_End);
  QTest::keyClick(&list, Qt::Key_PageDown);
  EXPECT_EQ(list.GetFirstLine(), 0);  // empty: nothing to scroll
  EXPECT_FALSE(list.IsScrollBarShown());
  for (int i = 0; i < 10; ++i) list.AddLine(i == 3 ? QString() : QStringLiteral("row %1").arg(i));
  EXPECT_EQ(list.GetLinesPerPage(), 4);
  EXPECT_EQ(list.GetScrollMax(), 6);
  EXPECT_TRUE(list.IsScrollBarShown());
  QTest::keyClick(&list, Qt::Key_PageDown);
  EXPECT_EQ(list.GetFirstLine(), 3);
  QTest::keyClick(&list, Qt::Key_End);
  EXPECT_EQ(list.GetFirstLine(), 6);
  QTest::keyClick(&list, Qt::Key_Down);
  EXPECT_EQ(list.GetFirstLine(), 6);

  CRecordingContext dc;
  list.OnPaint(dc);
  QStringList shown;
  for (const DcCall& call : dc.calls()) {
    if (call.op == DcOp::kTextOutClipped) shown << call.text;
  }
  EXPECT_EQ(shown.join(u','), QStringLiteral("row 6,row 7,row 8,row 9"));

  const int pages = list.GetPageCount();
  list.resize(200, 96);
  EXPECT_EQ(list.GetPageCount(), pages);
}

}  // namespace
}  // namespace zeph::testing
