// The command table: actions enabled and checked by their update handlers, commands run only
// when enabled, keys that act on release, the look before shortcuts, and the Qt message box.
#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QToolBar>

#include "controls/commands.h"
#include "controls/resources.h"
#include "controls_fixture.h"
#include "platform/qt/qtpresenter.h"

namespace zeph::testing {
namespace {

constexpr int kIdRedraw = 32800;
constexpr int kIdGrid = 32801;
constexpr int kIdSave = 57603;

class CommandsTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    CommandEntry redraw;
    redraw.id = kIdRedraw;
    redraw.text = QStringLiteral("&Redraw\tF3");
    redraw.run = [this]() { ++m_redraws; };
    redraw.releaseKey = Qt::Key_F3;
    m_table.Add(redraw);
    CommandEntry grid;
    grid.id = kIdGrid;
    grid.text = QStringLiteral("&Grid");
    grid.run = [this]() { m_gridOn = !m_gridOn; };
    grid.update = [this](CCmdUI& ui) { ui.SetCheck(m_gridOn ? 1 : 0); };
    m_table.Add(grid);
    CommandEntry save;
    save.id = kIdSave;
    save.text = QStringLiteral("&Save");
    save.shortcut = QKeySequence(QStringLiteral("Ctrl+S"));
    save.run = [this]() { ++m_saves; };
    save.update = [this](CCmdUI& ui) { ui.Enable(m_changed); };
    save.iconName = QStringLiteral("drawing");
    m_table.Add(save);
  }

  CCommandTable m_table;
  int m_redraws = 0;
  int m_saves = 0;
  bool m_gridOn = false;
  bool m_changed = false;
};

TEST_F(CommandsTest, ActionsFollowTheirUpdateHandlers) {
  QMenu menu;
  const int ids[] = {kIdSave, 0, kIdGrid, kIdRedraw};
  m_table.FillMenu(menu, ids);
  ASSERT_EQ(menu.actions().size(), 4);
  QAction* save = m_table.Action(kIdSave);
  EXPECT_EQ(save->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
  EXPECT_FALSE(save->icon().isNull());
  // F3 is shown in the text, never a shortcut of its own.
  EXPECT_TRUE(m_table.Action(kIdRedraw)->shortcut().isEmpty());
  EXPECT_EQ(m_table.Action(kIdRedraw)->text(), QStringLiteral("&Redraw\tF3"));

  m_table.UpdateActions();
  EXPECT_FALSE(save->isEnabled());
  EXPECT_FALSE(m_table.Action(kIdGrid)->isChecked());
  save->trigger();  // a disabled command does not run, however it is reached
  EXPECT_FALSE(m_table.Run(kIdSave));
  EXPECT_EQ(m_saves, 0);

  m_changed = true;
  EXPECT_TRUE(m_table.Run(kIdGrid));
  m_table.UpdateActions();
  EXPECT_TRUE(save->isEnabled());
  EXPECT_TRUE(m_table.Action(kIdGrid)->isChecked());
  EXPECT_TRUE(m_table.Run(kIdSave));
  EXPECT_EQ(m_saves, 1);
  EXPECT_EQ(m_table.Action(4711), nullptr);
}

TEST_F(CommandsTest, ReleaseKeysRunOnTheRealReleaseOnly) {
  QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_F3, Qt::NoModifier, QString(), true);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_F3, Qt::NoModifier);
  QKeyEvent withCtrl(QEvent::KeyRelease, Qt::Key_F3, Qt::ControlModifier);
  QKeyEvent other(QEvent::KeyRelease, Qt::Key_F4, Qt::NoModifier);
  EXPECT_FALSE(m_table.HandleKeyRelease(repeat));
  EXPECT_FALSE(m_table.HandleKeyRelease(withCtrl));
  EXPECT_FALSE(m_table.HandleKeyRelease(other));
  EXPECT_TRUE(m_table.HandleKeyRelease(release));
  EXPECT_EQ(m_redraws, 1);
}

// The program sees a key before Qt's shortcuts run (a window can let the capture go).
TEST_F(CommandsTest, TheWatcherSeesKeysBeforeTheShortcuts) {
  std::vector<int> seen;
  CShortcutWatcher watcher([&](const QKeyEvent& key) { seen.push_back(key.key()); });
  m_table.AddShortcutsTo(*m_host);
  m_changed = true;
  ShowHost();
  QTest::keyClick(m_host.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(m_saves, 1);
  // The Ctrl key itself comes first, then the S that runs the command.
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), Qt::Key_S);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), Qt::Key_S), 1);
}

// Undo and Redo as a drawing has them: their states change as they run, and a drawing gesture
// changes them without any command.
class UndoCommandsTest : public CommandsTest {
 protected:
  static constexpr int kIdUndo = 57643;
  static constexpr int kIdRedo = 57644;
  void SetUp() override {
    CommandsTest::SetUp();
    CommandEntry undo;
    undo.id = kIdUndo;
    undo.text = QStringLiteral("&Undo\tCtrl+Z");
    undo.shortcut = QKeySequence(QStringLiteral("Ctrl+Z"));
    undo.run = [this] {
      --m_undoable;
      ++m_redoable;
    };
    undo.update = [this](CCmdUI& ui) { ui.Enable(m_undoable > 0); };
    m_table.Add(undo);
    CommandEntry redo;
    redo.id = kIdRedo;
    redo.text = QStringLiteral("&Redo\tCtrl+Y");
    redo.shortcut = QKeySequence(QStringLiteral("Ctrl+Y"));
    redo.run = [this] {
      ++m_undoable;
      --m_redoable;
    };
    redo.update = [this](CCmdUI& ui) { ui.Enable(m_redoable > 0); };
    m_table.Add(redo);
    m_table.AddShortcutsTo(*m_host);
    m_bar = new QToolBar(m_host.get());
    m_table.FillToolBar(*m_bar, std::vector<int>{kIdUndo, kIdRedo, kIdSave});
    m_table.KeepActionsCurrent();
    m_table.UpdateActions();  // as the menus are built
    ShowHost();
  }
  void Press(Qt::Key key) {
    QTest::keyClick(
        QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : m_host.get(), key,
        Qt::ControlModifier);
  }
  bool Shown(int id) { return m_table.Action(id)->isEnabled(); }

  QToolBar* m_bar = nullptr;
  int m_undoable = 3;
  int m_redoable = 0;
};

TEST_F(UndoCommandsTest, ShortcutsAndToolbarFollowTheStatesWithNoMenuOpened) {
  for (int i = 0; i < 3; ++i) Press(Qt::Key_Z);
  EXPECT_EQ(m_undoable, 0);
  EXPECT_EQ(m_redoable, 3);
  // The toolbar shows it at once.
  EXPECT_FALSE(Shown(kIdUndo));
  EXPECT_TRUE(Shown(kIdRedo));
  for (int i = 0; i < 3; ++i) Press(Qt::Key_Y);
  EXPECT_EQ(m_undoable, 3);
  EXPECT_EQ(m_redoable, 0);
  Press(Qt::Key_Y);  // nothing left to redo
  EXPECT_EQ(m_redoable, 0);
  EXPECT_TRUE(Shown(kIdUndo));
  EXPECT_FALSE(Shown(kIdRedo));
}

TEST_F(UndoCommandsTest, AChangeMadeWithoutACommandReachesShortcutsAndToolbar) {
  // A drawing gesture makes the drawing changed and undoable without running a command.
  m_undoable = 0;
  m_table.UpdateActions();
  ASSERT_FALSE(Shown(kIdUndo));
  m_undoable = 1;
  m_changed = true;
  // The next shortcut finds its command enabled, though no event was handled in between.
  Press(Qt::Key_S);
  EXPECT_EQ(m_saves, 1);
  // The toolbar follows once the events waiting are handled: a click, or a notice.
  m_undoable = 2;
  m_table.Action(kIdUndo)->setEnabled(false);
  QTest::mouseClick(m_host.get(), Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_TRUE(Shown(kIdUndo));
  m_undoable = 0;
  m_table.RequestUpdate();
  EXPECT_TRUE(Shown(kIdUndo)) << "not before the events waiting are handled";
  QApplication::processEvents();
  EXPECT_FALSE(Shown(kIdUndo));
}

TEST_F(CommandsTest, OwnIconsAndCursorsLoad) {
  EXPECT_FALSE(LoadOwnIcon(QStringLiteral("zephorin")).isNull());
  EXPECT_TRUE(LoadOwnIcon(QStringLiteral("nothing")).isNull());
  const QCursor pick = LoadOwnCursor(QStringLiteral("pick"), 0, 0);
  EXPECT_EQ(pick.shape(), Qt::BitmapCursor);
  EXPECT_EQ(LoadOwnCursor(QStringLiteral("nothing"), 0, 0).shape(), Qt::ArrowCursor);
}

// The real message box: the buttons of its style, the answer of the button clicked.
TEST_F(CommandsTest, TheQtPresenterAnswersWithTheButtonClicked) {
  struct Case {
    unsigned style;
    QMessageBox::StandardButton click;
    int answer;
  };
  const Case cases[] = {
      {kMbYesNoCancel | kMbIconQuestion, QMessageBox::No, kIdNo},
      {kMbYesNo, QMessageBox::Yes, kIdYes},
      {kMbOkCancel, QMessageBox::Cancel, kIdCancel},
      {kMbOk | kMbIconExclamation, QMessageBox::Ok, kIdOk},
  };
  CQtPresenter presenter;
  for (const Case& c : cases) {
    QString shownText;
    QTimer::singleShot(0, [&]() {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      shownText = box->text();
      box->button(c.click)->click();
    });
    EXPECT_EQ(presenter.ShowMessageBox(QStringLiteral("Save the drawing?\r\nNow."),
                                       QStringLiteral("Zephorin"), c.style),
              c.answer);
    EXPECT_EQ(shownText, QStringLiteral("Save the drawing?\nNow."));
  }
}

}  // namespace
}  // namespace zeph::testing
