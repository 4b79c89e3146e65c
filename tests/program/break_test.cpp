// Break on a line crossed by another: each piece offered in turn with the prompt area's Yes,
// No and Cancel. Kept pieces stay on the screen and in the saved file, removed ones go, and a
// mix keeps the section answered No. A picture of the question.
#include <QDir>
#include <QImage>

#include "document/document.h"
#include "program/program_fixture.h"

namespace zeph::testing {
namespace {

class BreakTest : public ProgramTest {
 protected:
  // A line from x 100 to 500 at height y, crossed at x 300; answers the long line.
  CDrawItem* CrossedLine(int y) {
    CDrawItem* line = DrawLine({100, y}, {500, y});
    DrawLine({300, y - 40}, {300, y + 40});
    return line;
  }
  // Break offered on the line's left piece, answered in turn.
  void BreakAndAnswer(int y, std::initializer_list<int> answers, const char* shot = nullptr) {
    PickTool(kToolBreak);
    Click({150, y});
    ASSERT_NE(Window().IsBreakOffered(), 0);
    for (const int id : {kIdPromptYes, kIdPromptNo, kIdPromptCancel, kIdPromptHelp}) {
      ASSERT_NE(View().GetPromptButton(id), nullptr) << id;
      EXPECT_FALSE(View().GetPromptButton(id)->text().remove(u'&').isEmpty()) << id;
    }
    if (shot != nullptr) SaveShot(Frame(), QString::fromLatin1(shot));
    for (const int answer : answers) PressPromptButton(answer);
    EXPECT_EQ(Window().IsBreakOffered(), 0);
  }
  bool Listed(const CDrawItem* item) {
    for (int i = 0; i < Count(); ++i) {
      if (Item(i) == item) return true;
    }
    return false;
  }
  // How many of the drawing window's pixels along the row from x0 to x1 are not background.
  int InkAlong(int y, int x0, int x1) {
    const QImage screen = DrawingScreen();
    const QRgb background = screen.pixel(x0, y + 15);
    int ink = 0;
    for (int x = x0; x <= x1; ++x) ink += screen.pixel(x, y) != background ? 1 : 0;
    return ink;
  }
};

TEST_F(BreakTest, NoNoKeepsTheLineOnScreenAndInTheFile) {
  StartProgram();
  CreateDrawing();
  CDrawItem* line = CrossedLine(200);
  ASSERT_NE(line, nullptr);
  const DrawingPoint start = StartOf(line);
  const DrawingPoint end = EndOf(line);
  const int before = Count();
  BreakAndAnswer(200, {kIdPromptNo, kIdPromptNo}, "break_question.png");
  ASSERT_TRUE(Listed(line));
  EXPECT_EQ(Count(), before);
  EXPECT_EQ(StartOf(line), start);
  EXPECT_EQ(EndOf(line), end);
  EXPECT_GT(InkAlong(200, 110, 290), 150) << "the left piece is drawn";
  EXPECT_GT(InkAlong(200, 310, 490), 150) << "the right piece is drawn";

  // Saved, the file holds both lines whole.
  const QString path = QDir(QDir::tempPath()).filePath(QStringLiteral("kept.zpd"));
  m_person.Expect(QStringLiteral("the file's name"),
                  [path](QWidget& window) { ChooseFile(window, path); });
  KeyOnFocus(Qt::Key_S, Qt::ControlModifier);
  Settle(50);
  CZephDoc saved;
  ASSERT_NE(saved.ReadDrawingFile(path, 0), 0);
  ASSERT_EQ(saved.GetItemCount(), 2);
  EXPECT_EQ(StartOf(saved.GetItem(0)), start);
  EXPECT_EQ(EndOf(saved.GetItem(0)), end);
}

TEST_F(BreakTest, YesYesRemovesTheLine) {
  StartProgram();
  CreateDrawing();
  CDrawItem* line = CrossedLine(200);
  ASSERT_NE(line, nullptr);
  const int before = Count();
  BreakAndAnswer(200, {kIdPromptYes, kIdPromptYes});
  EXPECT_FALSE(Listed(line));
  EXPECT_EQ(Count(), before - 1);
  EXPECT_EQ(InkAlong(200, 110, 290), 0);
  EXPECT_LT(InkAlong(200, 310, 490), 3) << "only where the upright line crosses";
}

TEST_F(BreakTest, AMixKeepsTheSectionAnsweredNo) {
  StartProgram();
  CreateDrawing();
  CDrawItem* line = CrossedLine(200);
  CDrawItem* other = CrossedLine(400);
  ASSERT_NE(line, nullptr);
  ASSERT_NE(other, nullptr);
  const int cross = At({300, 200}).x;
  BreakAndAnswer(200, {kIdPromptYes, kIdPromptNo});
  ASSERT_TRUE(Listed(line));
  EXPECT_EQ(std::min(StartOf(line).x, EndOf(line).x), cross);
  EXPECT_EQ(std::max(StartOf(line).x, EndOf(line).x), At({500, 200}).x);
  EXPECT_EQ(InkAlong(200, 110, 290), 0) << "the removed piece is wiped";
  EXPECT_GT(InkAlong(200, 310, 490), 150) << "the kept piece is drawn";
  BreakAndAnswer(400, {kIdPromptNo, kIdPromptYes});
  ASSERT_TRUE(Listed(other));
  EXPECT_EQ(std::min(StartOf(other).x, EndOf(other).x), At({100, 400}).x);
  EXPECT_EQ(std::max(StartOf(other).x, EndOf(other).x), cross);
  EXPECT_GT(InkAlong(400, 110, 290), 150);
  EXPECT_EQ(InkAlong(400, 310, 490), 0);
}

}  // namespace
}  // namespace zeph::testing
