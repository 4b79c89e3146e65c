// The word-wrapping routine, measured with the recording context's fixed-metrics font: with the
// default font a line is 22 pixels high, most characters 8 pixels wide and "iljI.,:;'|!" 4.
#include <gtest/gtest.h>

#include <QString>
#include <vector>

#include "controls/textlayout.h"
#include "controls_fixture.h"
#include "platform/recordingcontext.h"

namespace zeph::testing {
namespace {

struct DrawnText {
  int x;
  int y;
  QString text;
  ColourRef colour;
};

std::vector<DrawnText> DrawnTexts(const CRecordingContext& dc) {
  std::vector<DrawnText> out;
  for (const DcCall& call : dc.calls()) {
    if (call.op == DcOp::kTextOutClipped || call.op == DcOp::kTextOut) {
      out.push_back({call.points[0].x, call.points[0].y, call.text, call.textColour});
    }
  }
  return out;
}

QString Texts(const std::vector<DrawnText>& drawn) {
  QStringList parts;
  for (const DrawnText& d : drawn) parts << d.text;
  return parts.join(u'|');
}

using TextLayoutTest = ControlsTest;

TEST_F(TextLayoutTest, BreaksLinesAsTheProgramExpects) {
  const QString del = QString(QChar(kLayoutLineBreak));
  struct Case {
    const char* name;
    QString text;
    UiRect rect;
    int firstLine;
    bool halfBlank;
    int result;
    int lineCount;
    QString drawn;        // the texts drawn, '|' between calls
    std::vector<int> ys;  // their y coordinates
    int overlong = 0;
  };
  const Case cases[] = {
      {"empty text", QString(), {0, 0, 99, 21}, 0, false, 1, 1, QString(), {}},
      {"empty text, rectangle below one line",
       QString(),
       {0, 0, 99, 20},
       0,
       false,
       0,
       1,
       QString(),
       {}},
      // "abc," is 28 wide, the blank 8 and "de" 16: the cut falls inside the second word.
      {"break after a comma eats the blank",
       QStringLiteral("abc, defgh"),
       {0, 0, 51, 99},
       0,
       false,
       1,
       2,
       QStringLiteral("abc,|defgh"),
       {0, 22}},
      {"over-long word cut with a hyphen",
       QStringLiteral("abcdefghij"),
       {0, 0, 51, 99},
       0,
       false,
       1,
       2,
       QStringLiteral("abcde|-|fghij"),
       {0, 0, 22},
       1},
      // "Is it you" is exactly 64 wide, so the closing mark alone would start the next line.
      {"closing question mark kept with its word",
       QStringLiteral("Is it you?"),
       {0, 0, 63, 99},
       0,
       false,
       1,
       2,
       QStringLiteral("Is it|you?"),
       {0, 22}},
      {"three lines in a two-line rectangle",
       QStringLiteral("one\ntwo\nthree"),
       {0, 0, 99, 43},
       0,
       false,
       0,
       2,
       QStringLiteral("one|two"),
       {0, 22}},
      {"three lines from the second",
       QStringLiteral("one\ntwo\nthree"),
       {0, 0, 99, 43},
       1,
       false,
       1,
       3,
       QStringLiteral("two|three"),
       {0, 22}},
      {"both line-break characters",
       QStringLiteral("a") + del + QStringLiteral("b\nc"),
       {0, 0, 99, 99},
       0,
       false,
       1,
       3,
       QStringLiteral("a|b|c"),
       {0, 22, 44}},
      {"blank line at full height",
       QStringLiteral("a\n\nb"),
       {0, 0, 99, 99},
       0,
       false,
       1,
       3,
       QStringLiteral("a|b"),
       {0, 44}},
      {"half blank lines",
       QStringLiteral("a\n\nb"),
       {0, 0, 99, 99},
       0,
       true,
       1,
       3,
       QStringLiteral("a|b"),
       {0, 33}},
      {"further blanks begin the next line",
       QStringLiteral("abcd   efgh"),
       {0, 0, 40, 99},
       0,
       false,
       1,
       2,
       QStringLiteral("abcd | efgh"),
       {0, 22}},
  };
  for (const Case& c : cases) {
    CRecordingContext dc;
    CTextLayout layout(1, 1);
    layout.SetHalfBlankLines(c.halfBlank ? 1 : 0);
    EXPECT_EQ(layout.LayOutText(dc, c.rect, c.text, c.firstLine, 0), c.result) << c.name;
    EXPECT_EQ(layout.m_lineCount, c.lineCount) << c.name;
    EXPECT_EQ(layout.m_overlongCount, c.overlong) << c.name;
    const std::vector<DrawnText> drawn = DrawnTexts(dc);
    EXPECT_EQ(Texts(drawn), c.drawn) << c.name;
    ASSERT_EQ(drawn.size(), c.ys.size()) << c.name;
    for (std::size_t i = 0; i < drawn.size(); ++i) EXPECT_EQ(drawn[i].y, c.ys[i]) << c.name;

    // Measuring lays out the same lines and draws nothing.
    CRecordingContext measure;
    CTextLayout measured(1, 1);
    measured.SetHalfBlankLines(c.halfBlank ? 1 : 0);
    measured.LayOutText(measure, c.rect, c.text, -1, 0);
    EXPECT_TRUE(DrawnTexts(measure).empty()) << c.name;
    if (c.firstLine == 0 && c.result == 1) {
      EXPECT_EQ(measured.m_lineCount, c.lineCount) << c.name;
    }
  }
}

TEST_F(TextLayoutTest, WithoutBreakingLongWordsTheWordIsCutWithoutAHyphen) {
  CRecordingContext dc;
  CTextLayout layout(0, 1);
  layout.LayOutText(dc, {0, 0, 51, 99}, u"abcdefghij", 0, 0);
  EXPECT_EQ(Texts(DrawnTexts(dc)), QStringLiteral("abcdef|ghij"));
  EXPECT_EQ(layout.m_overlongCount, 1);
}

TEST_F(TextLayoutTest, KeptPunctuationBreaksAfterTheMark) {
  CRecordingContext dc;
  CTextLayout layout(1, 1);
  layout.m_keepPunctuation = 1;
  // "path/to/" is 64 wide: the line breaks after the last slash that fits.
  layout.LayOutText(dc, {0, 0, 59, 99}, u"path/to/sea", 0, 0);
  EXPECT_EQ(Texts(DrawnTexts(dc)), QStringLiteral("path/|to/sea"));
}

TEST_F(TextLayoutTest, AlignsIndentsAndMeasuresTheWidestLine) {
  CRecordingContext dc;
  CTextLayout layout(1, 1);
  layout.m_firstIndent = 10;
  layout.m_otherIndent = 4;
  layout.LayOutText(dc, {0, 0, 99, 99}, u"ab\ncdef", 0, 1);
  const std::vector<DrawnText> drawn = DrawnTexts(dc);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0].x, 10 + (90 - 16) / 2);  // the first line is 90 wide
  EXPECT_EQ(drawn[1].x, 4 + (95 - 32) / 2);   // later lines one pixel less
  EXPECT_EQ(layout.m_widestLine, 4 + 32);

  CRecordingContext right;
  CTextLayout rightLayout(1, 1);
  rightLayout.LayOutText(right, {0, 0, 99, 99}, u"ab", 0, 2);
  EXPECT_EQ(DrawnTexts(right).at(0).x, 100 - 16);
}

TEST_F(TextLayoutTest, HighlightedRangeIsDrawnInItsColourAcrossLines) {
  CRecordingContext dc;
  dc.SetTextColour(0x111111);
  CTextLayout layout(1, 1);
  layout.m_highlightStart = 2;
  layout.m_highlightLength = 5;  // "cd ef" across the break
  layout.m_highlightColour = 0x0000FF;
  layout.LayOutText(dc, {0, 0, 39, 99}, u"abcd efgh", 0, 0);
  const std::vector<DrawnText> drawn = DrawnTexts(dc);
  ASSERT_EQ(Texts(drawn), QStringLiteral("ab|cd|ef|gh"));
  EXPECT_EQ(drawn[0].colour, 0x111111u);
  EXPECT_EQ(drawn[1].colour, 0x0000FFu);
  EXPECT_EQ(drawn[1].x, 16);
  EXPECT_EQ(drawn[2].colour, 0x0000FFu);
  EXPECT_EQ(drawn[2].y, 22);
  EXPECT_EQ(drawn[3].colour, 0x111111u);
  EXPECT_EQ(dc.GetTextColour(), 0x111111u);
}

TEST_F(TextLayoutTest, CentredLayoutMovesAFittingTextDown) {
  CRecordingContext dc;
  CTextLayout layout(1, 1);
  // One line in a rectangle 100 high: end y 22, moved down by (99 - 22) / 2.
  layout.LayOutTextCentred(dc, {0, 0, 99, 99}, u"ab", 0);
  EXPECT_EQ(DrawnTexts(dc).at(0).y, 38);

  CRecordingContext tall;
  CTextLayout tallLayout(1, 1);
  tallLayout.LayOutTextCentred(tall, {0, 0, 99, 30}, u"a\nb\nc", 0);
  EXPECT_EQ(DrawnTexts(tall).at(0).y, 0);  // does not fit: from the top
}

TEST_F(TextLayoutTest, RecordsLineEndsUpToTheCapacity) {
  CRecordingContext dc;
  CTextLayout layout(1, 1);
  std::int32_t ends[2] = {-1, -1};
  layout.SetLineEnds(ends, 2);
  layout.LayOutText(dc, {0, 0, 99, 99}, u"ab\ncd\nef", -1, 0);
  EXPECT_EQ(layout.m_lineCount, 3);
  EXPECT_EQ(ends[0], 2);
  EXPECT_EQ(ends[1], 5);
}

TEST_F(TextLayoutTest, FirstLineForSelectionStaysWithinTheText) {
  // One character per line, 1,500 lines: far more than a fixed table of line ends holds.
  QString lines;
  for (int i = 0; i < 1500; ++i) lines += i == 0 ? QStringLiteral("x") : QStringLiteral("\nx");
  struct Case {
    const char* name;
    QString text;
    int start;
    int length;
    int expected;
  };
  const Case cases[] = {
      {"empty text", QString(), 5, 3, 0},
      {"selection on the first page", lines, 2, 1, 0},
      {"selection on line 1200 of 1500", lines, 2400, 1, 1199},
      {"selection on the last line", lines, 2998, 1, 1498},
      {"selection past the end", lines, 100000, 10, 1499},
      {"short text, selection past its end", QStringLiteral("a\nb\nc"), 50, 2, 2},
  };
  for (const Case& c : cases) {
    CRecordingContext dc;
    CTextLayout layout(1, 1);
    layout.m_highlightStart = c.start;
    layout.m_highlightLength = c.length;
    // Two lines to a rectangle.
    EXPECT_EQ(layout.GetFirstLineForSelection(dc, {0, 0, 99, 43}, c.text), c.expected) << c.name;
  }
  // A rectangle lower than a line still shows one.
  CRecordingContext dc;
  CTextLayout layout(1, 1);
  layout.m_highlightStart = 8;
  layout.m_highlightLength = 1;
  EXPECT_EQ(layout.GetFirstLineForSelection(dc, {0, 0, 99, 5}, u"a\nb\nc\nd\ne"), 4);
}

TEST_F(TextLayoutTest, PunctuationHelpers) {
  EXPECT_EQ(IsOnlyPunctuation(u"?"), 1);
  EXPECT_EQ(IsOnlyPunctuation(u"  ! "), 1);
  EXPECT_EQ(IsOnlyPunctuation(u"?!"), 0);
  EXPECT_EQ(IsOnlyPunctuation(u"a"), 0);
  EXPECT_EQ(IsOnlyPunctuation(u"   "), 0);
  for (const char16_t c : u"!\"%',./?\\") {
    if (c != 0) {
      EXPECT_EQ(IsKeptPunctuation(c), 1) << char(c);
    }
  }
  EXPECT_EQ(IsKeptPunctuation(u';'), 0);
  EXPECT_EQ(IsKeptPunctuation(u'-'), 0);
}

}  // namespace
}  // namespace zeph::testing
