// The command table: actions enabled and checked by their update handlers, commands run only
// when enabled, keys that act on release, the look before shortcuts, and the Qt message box.
#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

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
