// Undo and Redo by their keys with no menu ever opened, and with the object list shown; a
// drawing of every kind saved, closed, opened again and found the same.
#include <QDir>

#include "editor/tickelements.h"
#include "items/hatch.h"
#include "program/program_fixture.h"

namespace zeph::testing {
namespace {

class UndoFilesTest : public ProgramTest {
 protected:
  static std::string Describe(const CDrawItem* item) {
    std::string text = std::to_string(item->GetType());
    const DrawingPoint s = StartOf(item);
    const DrawingPoint e = EndOf(item);
    text += " " + std::to_string(s.x) + "," + std::to_string(s.y) + " " + std::to_string(e.x) +
            "," + std::to_string(e.y) + " colour " + std::to_string(item->GetColour()) +
            " object " + std::to_string(item->GetObjectNumber()) + " group " +
            std::to_string(item->GetGroupNumber());
    if (item->GetType() == kItemText) text += " \"" + item->GetText().toStdString() + "\"";
    if (item->GetType() == kItemFill && item->GetHatchPattern() != nullptr) {
      text += " hatch " + std::to_string(item->GetHatchPattern()->GetNumber());
    }
    return text;
  }
  std::vector<std::string> DescribeDrawing() {
    std::vector<std::string> items;
    for (int i = 0; i < Count(); ++i) items.push_back(Describe(Item(i)));
    return items;
  }
  CTickElements* ObjectList() { return View().findChild<CTickElements*>(); }
};

TEST_F(UndoFilesTest, UndoAndRedoByTheirKeysWithNoMenuOpened) {
  StartProgram();
  CreateDrawing();
  PickTool(kToolNewLine);
  Click({100, 100});
  for (int i = 1; i <= 4; ++i) Click({100 + 60 * i, 100 + (i % 2) * 60});
  ASSERT_EQ(Count(), 4);
  const std::vector<std::string> drawn = DescribeDrawing();
  for (int i = 1; i <= 4; ++i) {
    KeyOnFocus(Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Count(), 4 - i) << "after Ctrl+Z number " << i;
  }
  for (int i = 1; i <= 4; ++i) {
    KeyOnFocus(Qt::Key_Y, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Count(), i) << "after Ctrl+Y number " << i;
  }
  EXPECT_EQ(DescribeDrawing(), drawn);
}

TEST_F(UndoFilesTest, UndoAndRedoRefillTheObjectListShown) {
  StartProgram();
  CreateDrawing();
  DrawLine({100, 100}, {300, 100});
  // A second object: its name typed into the values bar's object box, then a line in it.
  PickTool(kToolNewLine);
  ClickField(0, 1);
  TypeValue(QStringLiteral("Second"));
  Click({100, 200});
  Click({300, 200});
  ASSERT_EQ(Count(), 2);
  ASSERT_NE(Item(0)->GetObjectNumber(), Item(1)->GetObjectNumber());

  PickTool(kToolDelete);
  ASSERT_NE(ObjectList(), nullptr);
  ASSERT_TRUE(ObjectList()->isVisible());
  EXPECT_EQ(ObjectList()->GetRowCount(), 2);
  KeyOnFocus(Qt::Key_Z, Qt::ControlModifier);
  Settle();
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(ObjectList()->GetRowCount(), 1) << "the undone object's row is gone";
  KeyOnFocus(Qt::Key_Y, Qt::ControlModifier);
  Settle();
  ASSERT_EQ(Count(), 2);
  EXPECT_EQ(ObjectList()->GetRowCount(), 2) << "the redone object's row is back";
}

TEST_F(UndoFilesTest, SavedClosedAndOpenedAgainTheDrawingIsTheSame) {
  StartProgram();
  CreateDrawing();
  DrawEveryKind(5);
  ASSERT_FALSE(HasFailure());
  const std::vector<std::string> drawn = DescribeDrawing();

  const QString path = QDir(QDir::tempPath()).filePath(QStringLiteral("every kind.zpd"));
  m_person.Expect(QStringLiteral("the file's name"),
                  [path](QWidget& window) { ChooseFile(window, path); });
  KeyOnFocus(Qt::Key_S, Qt::ControlModifier);
  Settle(50);
  ASSERT_TRUE(QFile::exists(path));
  EXPECT_EQ(App().GetTitle(), QStringLiteral("every kind"));

  // Closed: a new drawing in its place (nothing to save), then the file opened again.
  KeyOnFocus(Qt::Key_N, Qt::ControlModifier);
  Settle();
  ASSERT_EQ(Count(), 0);
  m_person.Expect(QStringLiteral("the file to open"),
                  [path](QWidget& window) { ChooseFile(window, path); });
  KeyOnFocus(Qt::Key_O, Qt::ControlModifier);
  Settle(50);
  EXPECT_EQ(App().GetTitle(), QStringLiteral("every kind"));
  EXPECT_EQ(DescribeDrawing(), drawn);
}

}  // namespace
}  // namespace zeph::testing
