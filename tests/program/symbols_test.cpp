// The Symbol menu as a person meets it: the library that comes with the program is listed,
// its symbols are shown and one is chosen and inserted; the preview of every transformation
// shows the whole symbol as it stands, centred when it fits and scrollable from its top-left
// corner when it does not.
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <memory>
#include <set>

#include "app/symboldialogs.h"
#include "document/drawingfile.h"
#include "document/wholedrawing.h"
#include "editor/showdrawing.h"
#include "items/viewmapping.h"
#include "program/program_fixture.h"

namespace zeph::testing {
namespace {

const QString kLibraryName = QStringLiteral("School symbols");
// Places of symbols in the library: a lamp (a circle, a cross in it and two wires) and a
// protractor (an arc on its base line, with ticks), wide and flat.
constexpr int kLamp = 1;
constexpr int kProtractor = 7;

class SymbolsTest : public ProgramTest {
 protected:
  // Chooses the entry of a menu of the main window's menu bar with the mouse.
  void ChooseMenu(const QString& menuText, const QString& entryText) {
    QMenuBar* bar = Frame().menuBar();
    QAction* title = nullptr;
    for (QAction* a : bar->actions()) {
      if (a->text() == menuText) title = a;
    }
    ASSERT_NE(title, nullptr) << menuText.toStdString();
    QMenu* menu = title->menu();
    ASSERT_NE(menu, nullptr);
    ClickAt(bar, bar->actionGeometry(title).center());
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000))
        << "the menu " << menuText.toStdString() << " did not open";
    QAction* entry = nullptr;
    for (QAction* a : menu->actions()) {
      if (a->text() == entryText) entry = a;
    }
    ASSERT_NE(entry, nullptr) << entryText.toStdString();
    ASSERT_TRUE(entry->isEnabled()) << entryText.toStdString();
    ClickAt(menu, menu->actionGeometry(entry).center());
    Settle(20);
  }

  // Symbol > Library, the library that comes with the program chosen in its list.
  void ChooseShippedLibrary() {
    auto listed = std::make_shared<QStringList>();
    m_person.Expect(QStringLiteral("the library"), [listed](QWidget& window) {
      auto* list = window.findChild<QListWidget*>();
      if (list == nullptr) {
        ADD_FAILURE() << "no list in " << window.windowTitle().toStdString();
        return;
      }
      QListWidgetItem* wanted = nullptr;
      for (int i = 0; i < list->count(); ++i) {
        listed->append(list->item(i)->text());
        if (list->item(i)->text() == kLibraryName) wanted = list->item(i);
      }
      if (wanted == nullptr) return CPerson::Press(window, QStringLiteral("Cancel"));
      list->scrollToItem(wanted);
      ClickAt(list->viewport(), list->visualItemRect(wanted).center());
      CPerson::Press(window, QStringLiteral("OK"));
    });
    ChooseMenu(QStringLiteral("&Symbol"), QStringLiteral("&Library..."));
    ASSERT_EQ(m_person.Waiting(), 0) << "the library dialog did not open";
    ASSERT_TRUE(listed->contains(kLibraryName)) << listed->join(u',').toStdString();
    ASSERT_NE(g_symbolLibraryDoc, nullptr);
    ASSERT_GT(g_symbolLibraryDoc->GetItemCount(), 0) << "the library was not loaded";
    // Nine symbols, numbered as a library numbers them.
    std::set<int> objects;
    for (int i = 0; i < g_symbolLibraryDoc->GetItemCount(); ++i) {
      objects.insert(g_symbolLibraryDoc->GetItem(i)->GetObjectNumber());
    }
    EXPECT_EQ(objects.size(), 9U);
    EXPECT_EQ(*objects.begin(), kFirstLibraryObjectNumber);
  }

  // Symbol > Select: the library's symbol of this place (a library numbers its objects from
  // 30001 in the order of the file) clicked in the preview, then OK. Answers the number of
  // items of that symbol (texts and dimensions are not copied; it has none).
  int SelectSymbol(int place) {
    const int object = kFirstLibraryObjectNumber + place;
    int items = 0;
    DrawingPoint point{};
    for (int i = 0; i < g_symbolLibraryDoc->GetItemCount(); ++i) {
      const CDrawItem* item = g_symbolLibraryDoc->GetItem(i);
      if (item->GetObjectNumber() != object) continue;
      if (items++ == 0) point = StartOf(item);
    }
    m_person.Expect(QStringLiteral("the symbol"), [point](QWidget& window) {
      auto* dialog = qobject_cast<CChooseSymbolDialog*>(&window);
      if (dialog == nullptr || dialog->GetPreview() == nullptr) {
        ADD_FAILURE() << "not the symbol chooser: " << window.windowTitle().toStdString();
        return CPerson::Press(window, QStringLiteral("Cancel"));
      }
      CShowDrawing* preview = dialog->GetPreview();
      Settle(20);
      {
        SCOPED_TRACE("the library's preview");
        CheckPreview(*preview, *g_symbolLibraryDoc);
      }
      SaveShot(window, QStringLiteral("symbols_library.png"));
      const CViewMapping& m = preview->GetMapping();
      ClickAt(preview, {m.DrawingToDeviceX(point.x), m.DrawingToDeviceY(point.y)});
      CPerson::Press(window, QStringLiteral("OK"));
    });
    ChooseMenu(QStringLiteral("&Symbol"), QStringLiteral("&Select..."));
    EXPECT_EQ(m_person.Waiting(), 0) << "the symbol dialog did not open";
    return items;
  }

  // The preview shows the whole document: centred without scroll bars when it fits with the
  // 10-pixel margin all round; otherwise with scroll bars whose ranges reach every edge of it
  // plus the margin, standing at their start (the top-left corner in view).
  static void CheckPreview(CShowDrawing& preview, CZephDoc& doc) {
    ASSERT_EQ(preview.IsFitted(), 1);
    const CViewMapping& m = preview.GetMapping();
    // The fixed scale of zoom level 8, never a scale that fits the symbol in.
    ASSERT_EQ(m.scaleX, ZoomScaleOfLevel(8));
    ASSERT_EQ(m.scaleY, ZoomScaleOfLevel(8));
    int minX = 0;
    int minY = 0;
    int maxX = 0;
    int maxY = 0;
    ASSERT_EQ(doc.GetExtents(&m, minX, minY, maxX, maxY, 1), 1);
    const int margin = CShowDrawing::kMargin;
    QScrollBar* hBar = preview.GetHorizontalBar();
    QScrollBar* vBar = preview.GetVerticalBar();
    const int width = preview.width() - (vBar->isVisible() ? vBar->width() : 0);
    const int height = preview.height() - (hBar->isVisible() ? hBar->height() : 0);
    const int needX = (maxX - minX) / m.scaleX + 2 * margin;
    const int needY = (maxY - minY) / m.scaleY + 2 * margin;
    const auto check = [&](QScrollBar* bar, int need, int room, int lowEdge, int highEdge,
                           const char* axis) {
      SCOPED_TRACE(axis);
      if (need <= room) {
        EXPECT_FALSE(bar->isVisible()) << "a scroll bar for a symbol that fits";
        EXPECT_NEAR((lowEdge + highEdge) / 2, room / 2, 2) << "not centred";
        return;
      }
      ASSERT_TRUE(bar->isVisible()) << "no scroll bar for a symbol that does not fit";
      EXPECT_EQ(bar->value(), 0) << "the view is not at the start";
      EXPECT_NEAR(lowEdge, margin, 1) << "the start is not the edge plus the margin";
      bar->setValue(bar->maximum());
      Settle();
      // The far edge in view, with the margin beyond it and less than a step more.
      const int gap = room - (std::string(axis) == "x" ? m.DrawingToDeviceX(maxX)
                                                       : m.DrawingToDeviceY(minY));
      EXPECT_GE(gap, margin - 1) << "the range does not reach the far edge";
      EXPECT_LT(gap, margin + 10) << "the range goes past the far edge";
      bar->setValue(0);
      Settle();
    };
    check(hBar, needX, width, m.DrawingToDeviceX(minX), m.DrawingToDeviceX(maxX), "x");
    check(vBar, needY, height, m.DrawingToDeviceY(maxY), m.DrawingToDeviceY(minY), "y");
    // A symbol in view as a whole is painted (at the start of a larger one, a turned symbol
    // may show nothing but the empty corner of its extents).
    preview.Invalidate();
    preview.UpdateWindow();
    const QImage shown = preview.BackBuffer();
    const int left = std::max(0, m.DrawingToDeviceX(minX));
    const int right = std::min({shown.width(), width, m.DrawingToDeviceX(maxX) + 1});
    const int top = std::max(0, m.DrawingToDeviceY(maxY));
    const int bottom = std::min({shown.height(), height, m.DrawingToDeviceY(minY) + 1});
    int drawn = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        if ((shown.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++drawn;
      }
    }
    if (!hBar->isVisible() && !vBar->isVisible()) {
      EXPECT_GT(drawn, 20) << "nothing of the symbol is shown";
    }
    // Every line and arc (of a circle or an ellipse) whose end is in view is drawn there.
    const auto inked = [&](int x, int y) {
      for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
          const QPoint p(x + dx, y + dy);
          if (shown.rect().contains(p) && (shown.pixel(p) & 0xFFFFFF) != 0xFFFFFF) return true;
        }
      }
      return false;
    };
    for (int i = 0; i < doc.GetItemCount(); ++i) {
      const CDrawItem* item = doc.GetItem(i);
      const int kind = item->GetType();
      if (kind != kItemLine && kind != kItemArc && kind != kItemEllipseArc) continue;
      for (const DrawingPoint end : {StartOf(item), EndOf(item)}) {
        const int x = m.DrawingToDeviceX(end.x);
        const int y = m.DrawingToDeviceY(end.y);
        if (x < 2 || y < 2 || x >= width - 2 || y >= height - 2) continue;
        EXPECT_TRUE(inked(x, y)) << "item " << i << " is not drawn at its end " << x << ", " << y;
      }
    }
  }

  static int ItemsOfKindIn(CZephDoc& doc, int type) {
    int count = 0;
    for (int i = 0; i < doc.GetItemCount(); ++i) count += doc.GetItem(i)->GetType() == type ? 1 : 0;
    return count;
  }

  // One of the four transformations: its preview checked, then answered with answer.
  void Transform(const QString& entry, const QString& title, const QString& shot,
                 const std::function<void(QWidget&)>& answer) {
    SCOPED_TRACE(title.toStdString());
    m_person.Expect(title, [title, shot, answer](QWidget& window) {
      EXPECT_EQ(window.windowTitle(), title);
      auto* dialog = qobject_cast<CSymbolTransformDialog*>(&window);
      if (dialog == nullptr || dialog->GetPreview() == nullptr) {
        ADD_FAILURE() << "no preview in " << window.windowTitle().toStdString();
        return CPerson::Press(window, QStringLiteral("Cancel"));
      }
      Settle(20);
      CheckPreview(*dialog->GetPreview(), *g_symbolDoc);
      SaveShot(window, shot);
      answer(window);
    });
    ChooseMenu(QStringLiteral("&Symbol"), entry);
    if (m_person.Waiting() != 0) {
      m_person.ForgetAnswers();
      ADD_FAILURE() << "the dialog did not open";
    }
  }

  static void ClickRadio(QWidget& window, const QString& text) {
    for (QRadioButton* radio : window.findChildren<QRadioButton*>()) {
      if (radio->text() == text) return ClickAt(radio, {8, radio->height() / 2});
    }
    ADD_FAILURE() << "no radio button " << text.toStdString();
  }
};

TEST_F(SymbolsTest, TheLibraryThatComesWithTheProgramIsListedShownAndInserted) {
  StartProgram();
  CreateDrawing();
  ChooseShippedLibrary();
  const int items = SelectSymbol(kLamp);
  ASSERT_GT(items, 0);
  ASSERT_EQ(g_symbolDoc->GetItemCount(), items) << "the chosen symbol is not the lamp";
  ASSERT_EQ(items, 5) << "the library's second symbol is not the lamp";
  PickTool(kToolInsert);
  Click({400, 300});
  EXPECT_EQ(Count(), items) << "Insert did not place the lamp";
  EXPECT_EQ(ItemsOfKind(kItemCircle).size(), 1U);
  Settle(20);
  SaveShot(Frame(), QStringLiteral("symbols_inserted.png"));
}

TEST_F(SymbolsTest, EveryTransformationsPreviewShowsTheWholeSymbol) {
  StartProgram();
  CreateDrawing();
  ChooseShippedLibrary();
  ASSERT_GT(SelectSymbol(kProtractor), 0);
  ASSERT_EQ(ItemsOfKindIn(*g_symbolDoc, kItemArc), 1) << "the library's eighth symbol is not the protractor";
  const auto type = [](const QString& text) {
    return [text](QWidget& window) {
      CPerson::TypeInto(window, 0, text);
      CPerson::Press(window, QStringLiteral("OK"));
    };
  };
  // Wide and flat, fits.
  Transform(QStringLiteral("&Rotate..."), QStringLiteral("Rotating a symbol"),
            QStringLiteral("symbols_rotate.png"), type(QStringLiteral("90")));
  // Upright now, fits.
  Transform(QStringLiteral("&Enlarge..."), QStringLiteral("Scaling a symbol"),
            QStringLiteral("symbols_enlarge.png"), type(QStringLiteral("8")));
  // Taller than the preview (its arc becomes part of an ellipse when stretched).
  Transform(QStringLiteral("&Reflect..."), QStringLiteral("Reflecting a symbol"),
            QStringLiteral("symbols_reflect.png"), [](QWidget& window) {
              ClickRadio(window, QStringLiteral("Vertical mirror line"));
              CPerson::Press(window, QStringLiteral("OK"));
            });
  Transform(QStringLiteral("S&tretch..."), QStringLiteral("Stretching a symbol"),
            QStringLiteral("symbols_stretch.png"), [](QWidget& window) {
              CPerson::TypeInto(window, 0, QStringLiteral("8"));
              ClickRadio(window, QStringLiteral("Stretch horizontally"));
              CPerson::Press(window, QStringLiteral("OK"));
            });
  // Wider and taller than the preview; turned by 45 degrees, part of a turned ellipse.
  Transform(QStringLiteral("&Rotate..."), QStringLiteral("Rotating a symbol"),
            QStringLiteral("symbols_rotate_large.png"), type(QStringLiteral("45")));
  Transform(QStringLiteral("&Enlarge..."), QStringLiteral("Scaling a symbol"),
            QStringLiteral("symbols_enlarge_turned.png"),
            [](QWidget& window) { CPerson::Press(window, QStringLiteral("Cancel")); });
  PickTool(kToolInsert);
  Click({400, 300});
  EXPECT_EQ(Count(), g_symbolDoc->GetItemCount());
}

}  // namespace
}  // namespace zeph::testing
