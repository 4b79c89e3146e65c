// The undo journal against the drawing file: a drawing read from a file, edited at random and
// then undone to its start, writes exactly the bytes it was read from.
#include <QString>
#include <random>

#include "drawingfile_fixture.h"

namespace {

class UndoFilePropertyTest : public DrawingFileTest {};

// One change of the kinds a user makes, on items of every kind.
void RandomChange(CZephDoc& doc, CRandomDrawing& random) {
  const int count = doc.GetItemCount();
  CDrawItem* item = count > 0 ? doc.GetItem(random.Pick(count)) : nullptr;
  switch (random.Pick(10)) {
    case 0: {
      DrawItemPtr added = random.Item(random.Pick(kItemTypeCount));
      doc.AddItem(added);
      break;
    }
    case 1:
      if (count > 0) doc.RemoveItemAt(random.Pick(count));
      break;
    case 2:
      if (item != nullptr) item->MoveBy(random.Coordinate(1000), random.Coordinate(1000));
      break;
    case 3:
      if (item != nullptr) item->SetColour(random.Colour());
      break;
    case 4: {
      static const char* const names[] = {"", "Wall", "Roof 2", "door", "Garden shed"};
      doc.SetObjectName(1 + random.Pick(5), QString::fromLatin1(names[random.Pick(5)]));
      break;
    }
    case 5:
      if (item != nullptr) item->SetGroupNumber(random.Pick(4));
      break;
    case 6:
      if (item != nullptr) item->SetObjectNumber(static_cast<std::int16_t>(1 + random.Pick(6)));
      break;
    case 7:
      if (item != nullptr) item->SetPenWidth(1 + random.Pick(9));
      break;
    case 8:
      if (item != nullptr && item->GetType() == kItemText) {
        item->SetText(random.Text());
        item->SetFont(random.Font());
        item->SetTextAngle(random.Real(3));
      } else if (item != nullptr && item->GetType() == kItemFill) {
        item->SetFillStyle(random.Pick(3));
        item->SetHatch(random.Pick(kHatchDefinitionCount), random.Real(3), 1.5);
      } else if (item != nullptr && item->GetHandleCount() > 0) {
        item->MoveHandle(0, random.Coordinate(500), random.Coordinate(500));
      }
      break;
    default:
      if (item != nullptr && item->GetType() == kItemFill) {
        if (random.Pick(2) == 0) {
          doc.BringToFront(item);
        } else {
          doc.SendToBack(item);
        }
      }
      break;
  }
}

TEST_F(UndoFilePropertyTest, UndoingEverythingWritesTheBytesThatWereRead) {
  StartSpellChecker();
  const QString original = PathOf("original.zpd");
  const QString after = PathOf("after.zpd");
  for (unsigned seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE(seed);
    CRandomDrawing random(seed);
    {
      CZephDoc source;
      random.Fill(source, 3 + random.Pick(25));
      source.GetDocDict()->AddWord(QStringLiteral("FENCE"));
      source.WriteDrawingFile(original);
      ASSERT_EQ(g_fileStatus, kFileOk);
    }
    CZephDoc doc;
    ASSERT_EQ(doc.ReadDrawingFile(original, kReadOpen), 1);
    ASSERT_EQ(g_fileStatus, kFileOk);
    const QByteArray read = FileBytes(original);

    const int actions = 5 + random.Pick(40);
    for (int a = 0; a < actions; ++a) {
      const int choice = random.Pick(10);
      if (choice < 7) {
        doc.SetUndoGroup(1);
        const int changes = 1 + random.Pick(3);
        for (int c = 0; c < changes; ++c) RandomChange(doc, random);
        doc.SetUndoGroup(0);
      } else if (choice < 9) {
        doc.Undo(nullptr, nullptr, 1);
      } else {
        doc.Redo(nullptr, nullptr);
      }
    }
    while (doc.CanUndo() != 0) doc.Undo(nullptr, nullptr, 1);
    doc.WriteDrawingFile(after);
    ASSERT_EQ(g_fileStatus, kFileOk);
    ASSERT_EQ(FileBytes(after), read);
  }
}

}  // namespace
