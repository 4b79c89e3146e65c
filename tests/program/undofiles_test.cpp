// Undo and Redo by their keys with no menu ever opened, and with the object list shown; a
// drawing of every kind saved, closed, opened again and found the same.
#include <QDir>
#include <algorithm>

#include "editor/tickelements.h"
#include "items/hatch.h"
#include "program/program_fixture.h"

namespace zeph::testing {
namespace {

class UndoFilesTest : public ProgramTest {
 protected:
  // An item as the file keeps it: its kind, its geometry through the getters of its kind, its
  // colour, object, group, text and hatch.
  static std::string Describe(const CDrawItem* item) {
    const auto point = [](int x, int y) {
      return " " + std::to_string(x) + "," + std::to_string(y);
    };
    const int type = item->GetType();
    std::string text = std::to_string(type);
    int x = 0;
    int y = 0;
    switch (type) {
      case kItemLine:
      case kItemArc:
      case kItemDimension:
      case kItemBezier:
      case kItemEllipseArc:
        text += point(StartOf(item).x, StartOf(item).y) + point(EndOf(item).x, EndOf(item).y);
        break;
      case kItemCircle:
        item->GetCentre(x, y);
        text += point(x, y) + " r " + std::to_string(item->GetRadius());
        break;
      case kItemEllipse: {
        int a = 0;
        int b = 0;
        item->GetCentre(x, y);
        item->GetSemiAxes(a, b);
        text += point(x, y) + point(a, b);
        break;
      }
      case kItemText:
        item->GetPosition(x, y);
        text += point(x, y) + " \"" + item->GetText().toStdString() + "\"";
        break;
      default:
        break;
    }
    text += " colour " + std::to_string(item->GetColour()) + " object " +
            std::to_string(item->GetObjectNumber()) + " group " +
            std::to_string(item->GetGroupNumber());
    if (type == kItemFill && item->GetHatchPattern() != nullptr &&
        item->GetHatchPattern()->GetNumber() >= 0) {
      text += " hatch " + std::to_string(item->GetHatchPattern()->GetNumber());
    }
    return text;
  }
  // The file keeps the items kind by kind, fills first: the drawing compared as a set.
  std::vector<std::string> DescribeDrawing() {
    std::vector<std::string> items;
    for (int i = 0; i < Count(); ++i) items.push_back(Describe(Item(i)));
    std::sort(items.begin(), items.end());
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
  // A copy goes into an object of its own.
  PickTool(kToolCopy);
  Click({200, 100});
  PressPromptButton(kIdPromptOK);
  Drag({300, 100}, {300, 200});
  ASSERT_EQ(Count(), 2);
  ASSERT_NE(Item(0)->GetObjectNumber(), Item(1)->GetObjectNumber());

  PickTool(kToolDelete);
  ASSERT_NE(ObjectList(), nullptr);
  ASSERT_TRUE(ObjectList()->isVisible());
  EXPECT_EQ(ObjectList()->GetRowCount(), 2);
  KeyOnFocus(Qt::Key_Z, Qt::ControlModifier);
  Settle();
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(ObjectList()->GetRowCount(), 1) << "the undone copy's object has gone from the list";
  KeyOnFocus(Qt::Key_Y, Qt::ControlModifier);
  Settle();
  ASSERT_EQ(Count(), 2);
  EXPECT_EQ(ObjectList()->GetRowCount(), 2) << "the redone copy's object is back";
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
  EXPECT_TRUE(App().GetTitle().endsWith(QStringLiteral("every kind")))
      << App().GetTitle().toStdString();

  // Closed: a new drawing in its place (nothing to save), then the file opened again.
  KeyOnFocus(Qt::Key_N, Qt::ControlModifier);
  Settle();
  ASSERT_EQ(Count(), 0);
  m_person.Expect(QStringLiteral("the file to open"),
                  [path](QWidget& window) { ChooseFile(window, path); });
  KeyOnFocus(Qt::Key_O, Qt::ControlModifier);
  Settle(50);
  EXPECT_TRUE(App().GetTitle().endsWith(QStringLiteral("every kind")))
      << App().GetTitle().toStdString();
  EXPECT_EQ(DescribeDrawing(), drawn);
}

}  // namespace
}  // namespace zeph::testing
