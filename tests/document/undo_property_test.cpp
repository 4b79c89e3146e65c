// Random editing sessions against the undo journal: after every action, undo and redo the
// document must look exactly as it did at that point of the session, and undoing everything
// must give back the starting document.
#include <QString>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "doc_fixture.h"

namespace {

// Everything a user could tell apart: every item with its place, kind, attributes and
// handles, and the object names.
std::string Dump(const CZephDoc& doc) {
  std::string s;
  for (int i = 0; i < doc.GetItemCount(); ++i) {
    const CDrawItem* item = doc.GetItem(i);
    s += "item " + std::to_string(item->GetType()) + " c" + std::to_string(item->GetColour()) +
         " g" + std::to_string(item->GetGroupNumber()) + " o" +
         std::to_string(item->GetObjectNumber()) + " s" +
         std::to_string(item->GetState() & ~kStateUndoMark);
    for (int h = 0; h < item->GetHandleCount(); ++h) {
      s += " " + std::to_string(item->GetHandleX(h)) + "," + std::to_string(item->GetHandleY(h));
    }
    s += "\n";
  }
  // Objects of one name may stand in either order among themselves.
  std::vector<std::string> names;
  for (int i = 0; i < doc.GetNameCount(); ++i) {
    names.push_back("name " + doc.GetNameAt(i).toStdString() + " " +
                    std::to_string(doc.GetNameNumberAt(i)) + "\n");
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) s += name;
  return s;
}

class Session {
 public:
  explicit Session(unsigned seed) : m_random(seed) {}

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

  DrawItemPtr NewItem() {
    const int x = Pick(2000) * 100;
    const int y = Pick(2000) * 100;
    switch (Pick(3)) {
      case 0:
        return MakeLine(x, y, x + 1000 + Pick(5000), y + Pick(5000), Pick(8));
      case 1:
        return MakeCircle(x, y, 100 + Pick(5000), Pick(8));
      default:
        return MakeFill(x, y, 500 + Pick(5000), Pick(8));
    }
  }

  // One change of the kinds a user makes.
  void Change(CZephDoc& doc) {
    const int count = doc.GetItemCount();
    CDrawItem* item = count > 0 ? doc.GetItem(Pick(count)) : nullptr;
    switch (Pick(8)) {
      case 0: {
        DrawItemPtr added = NewItem();
        doc.AddItem(added);
        break;
      }
      case 1:
        if (count > 0) doc.RemoveItemAt(Pick(count));
        break;
      case 2:
        if (item != nullptr) item->MoveBy(Pick(2001) - 1000, Pick(2001) - 1000);
        break;
      case 3:
        if (item != nullptr) item->SetColour(Pick(8));
        break;
      case 4: {
        static const char* const names[] = {"", "Wall", "Roof 2", "door", "Garden shed"};
        doc.SetObjectName(1 + Pick(5), QString::fromLatin1(names[Pick(5)]));
        break;
      }
      case 5:
        if (item != nullptr) item->SetGroupNumber(Pick(4));
        break;
      case 6:
        if (item != nullptr) item->SetObjectNumber(static_cast<std::int16_t>(Pick(6)));
        break;
      default:
        if (item != nullptr && item->GetType() == kItemFill) {
          if (Pick(2) == 0) {
            doc.BringToFront(item);
          } else {
            doc.SendToBack(item);
          }
        }
        break;
    }
  }

 private:
  std::mt19937 m_random;
};

class UndoPropertyTest : public DocumentTest {};

TEST_F(UndoPropertyTest, UndoAndRedoRetraceEveryRandomSession) {
  constexpr unsigned kSessions = 2000;
  for (unsigned seed = 1; seed <= kSessions; ++seed) {
    Session session(seed);
    CZephDoc doc;
    // A starting drawing, not part of the session's history.
    doc.EnableUndo(0);
    for (int i = 0; i < 4; ++i) {
      DrawItemPtr item = session.NewItem();
      doc.AddItem(item);
    }
    doc.SetObjectName(1, QStringLiteral("Start"));
    doc.EnableUndo(1);

    std::vector<std::string> history{Dump(doc)};
    std::size_t position = 0;
    const int actions = 10 + session.Pick(30);
    for (int a = 0; a < actions; ++a) {
      const int choice = session.Pick(10);
      if (choice < 6) {
        const int before = doc.GetJournal().undoCount;
        doc.SetUndoGroup(1);
        const int changes = 1 + session.Pick(3);
        for (int c = 0; c < changes; ++c) session.Change(doc);
        doc.SetUndoGroup(0);
        const std::string now = Dump(doc);
        if (doc.GetJournal().undoCount > before) {
          history.resize(position + 1);
          history.push_back(now);
          ++position;
        } else {
          ASSERT_EQ(now, history[position]) << "seed " << seed << " action " << a;
        }
      } else if (choice < 8) {
        doc.Undo(nullptr, nullptr, 1);
        if (position > 0) --position;
        ASSERT_EQ(Dump(doc), history[position]) << "seed " << seed << " undo at " << a;
      } else {
        doc.Redo(nullptr, nullptr);
        if (position + 1 < history.size()) ++position;
        ASSERT_EQ(Dump(doc), history[position]) << "seed " << seed << " redo at " << a;
      }
      ASSERT_EQ(doc.CanUndo() != 0, position > 0) << "seed " << seed;
      ASSERT_EQ(doc.CanRedo() != 0, position + 1 < history.size()) << "seed " << seed;
    }
    while (doc.CanUndo() != 0) doc.Undo(nullptr, nullptr, 1);
    ASSERT_EQ(Dump(doc), history.front()) << "seed " << seed;
    while (doc.CanRedo() != 0) doc.Redo(nullptr, nullptr);
    ASSERT_EQ(Dump(doc), history.back()) << "seed " << seed;
  }
}

}  // namespace
