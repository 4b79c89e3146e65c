// The program's windows as a person meets them: every dialog and sheet the menus open, grabbed
// under render/dialogs/ for a person to look at and checked for what a person would see amiss
// (an empty strip under the controls, tabs out of sight, a sheet changing size from tab to
// tab); the values bar's edit box and lists; the Real world scale list; the main window's
// place on the screen.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "app/mainframe.h"
#include "controls/edits.h"
#include "editor/editorstate.h"
#include "editor/toolparams.h"
#include "program/program_fixture.h"
#include "support/options.h"

namespace zeph::testing {
namespace {

QString DialogsDir() {
  QDir dir(QStringLiteral(ZEPH_RENDER_DIR));
  dir.cdUp();
  const QString path = dir.filePath(QStringLiteral("dialogs"));
  QDir().mkpath(path);
  return path;
}

void SaveDialogShot(QWidget& window, const QString& name) {
  EXPECT_TRUE(window.grab().save(QDir(DialogsDir()).filePath(name + QStringLiteral(".png"))))
      << name.toStdString();
}

// The lowest bottom edge of the window's visible controls, in the window's coordinates.
int LowestControl(const QWidget& window) {
  int lowest = 0;
  for (const QWidget* child : window.findChildren<QWidget*>()) {
    if (child->isWindow() || !child->isVisible()) continue;
    const QRect r(child->mapTo(&window, QPoint(0, 0)), child->size());
    lowest = std::max(lowest, r.bottom() + 1);
  }
  return lowest;
}

// No empty strip along the bottom: the window is no taller than its layout asks and keeps
// that size, and its lowest control (the buttons, where they run along the bottom) ends
// within the layout's margin of the window's bottom edge.
void ExpectNoEmptyStrip(const QWidget& window, const QString& name) {
  const QLayout* layout = window.layout();
  if (layout == nullptr) {
    ADD_FAILURE() << name.toStdString() << " has no layout";
    return;
  }
  const int margin = layout->contentsMargins().bottom();
  const int wanted = std::max(window.sizeHint().height(), window.minimumHeight());
  EXPECT_LE(window.height(), wanted + 2) << name.toStdString() << ": taller than its layout";
  // A dialog keeps its size, so the window manager draws no resize handle along its bottom.
  EXPECT_EQ(window.minimumSize(), window.maximumSize()) << name.toStdString() << ": resizable";
  EXPECT_LE(window.height() - LowestControl(window), margin + 2)
      << name.toStdString() << ": an empty strip under its controls";
  // A row of buttons along the bottom has nothing below it.
  for (const QDialogButtonBox* box : window.findChildren<QDialogButtonBox*>()) {
    if (!box->isVisible() || box->orientation() != Qt::Horizontal) continue;
    const int boxBottom = box->mapTo(&window, QPoint(0, box->height())).y();
    EXPECT_GE(boxBottom, LowestControl(window)) << name.toStdString() << ": a control below its buttons";
  }
}

// Closes a dialog as a person does: Cancel or Close, or OK where there is neither.
void Close(QWidget& window) {
  // A list left open (the Real world scale's) closes first, as Escape closes it.
  for (int i = 0; i < 3 && QApplication::activePopupWidget() != nullptr; ++i) {
    QApplication::activePopupWidget()->close();
    Settle(20);
  }
  for (const char* text : {"Cancel", "Close"}) {
    if (CPerson::FindButton(window, QString::fromLatin1(text)) != nullptr) {
      return CPerson::Press(window, QString::fromLatin1(text));
    }
  }
  CPerson::Press(window, QStringLiteral("OK"));
}

class DialogsTest : public ProgramTest {
 protected:
  // The next dialog is grabbed and checked, then closed.
  void ExpectDialog(const QString& name) {
    m_person.Expect(name, [name](QWidget& window) {
      Settle(30);
      SaveDialogShot(window, name);
      ExpectNoEmptyStrip(window, name);
      Close(window);
    });
  }

  // The next sheet: every tab clicked in turn, each grabbed; the tabs are all in sight and
  // the sheet keeps its opening size.
  void ExpectSheet(const QString& name) {
    m_person.Expect(name, [name](QWidget& window) {
      Settle(30);
      auto* tabs = window.findChild<QTabWidget*>();
      if (tabs == nullptr) {
        ADD_FAILURE() << name.toStdString() << " has no tabs";
        return Close(window);
      }
      ExpectNoEmptyStrip(window, name);
      const QSize opening = window.size();
      QTabBar* bar = tabs->tabBar();
      for (const QToolButton* arrow : bar->findChildren<QToolButton*>()) {
        EXPECT_FALSE(arrow->isVisible()) << name.toStdString() << ": the tabs scroll";
      }
      for (int i = 0; i < tabs->count(); ++i) {
        EXPECT_TRUE(bar->rect().contains(bar->tabRect(i)))
            << name.toStdString() << ": tab " << i << " is out of sight";
        ClickAt(bar, bar->tabRect(i).center());
        Settle(30);
        EXPECT_EQ(tabs->currentIndex(), i) << name.toStdString();
        EXPECT_EQ(window.size(), opening)
            << name.toStdString() << ": the sheet changed size on tab " << i;
        SaveDialogShot(window, QStringLiteral("%1_%2").arg(name).arg(i));
      }
      Close(window);
    });
  }

  void Run(int command) {
    EXPECT_TRUE(Frame().RunCommand(command)) << command;
    Settle(30);
    if (m_person.Waiting() != 0) {
      ADD_FAILURE() << "command " << command << " opened no window";
      m_person.ForgetAnswers();
    }
  }
};

TEST_F(DialogsTest, EveryDialogFitsItsLayoutAndEverySheetItsTabs) {
  StartProgram();
  CreateDrawing();
  const struct {
    int command;
    const char* name;
    bool sheet;
  } windows[] = {
      {cmd::kOptionsName, "name", false},
      {cmd::kEditPrintingScale, "printing_scale", false},
      {cmd::kEditRealWorldScale, "real_world_scale", false},
      {cmd::kViewGrid, "grid", false},
      {cmd::kHelpAbout, "about", false},
      {cmd::kHelpCheckUpdates, "check_for_updates", false},
      {cmd::kViewObjectList, "object_list", false},
      {cmd::kSymbolLibrary, "symbol_library", false},
      {cmd::kOptionsPreferences, "preferences", true},
      {cmd::kOptionsManager, "manager", true},
      {cmd::kFilePageSetup, "page_setup", true},
  };
  for (const auto& w : windows) {
    SCOPED_TRACE(w.name);
    if (!Frame().IsCommandEnabled(w.command)) {
      ADD_FAILURE() << w.name << " is disabled";
      continue;
    }
    if (w.sheet) {
      ExpectSheet(QString::fromLatin1(w.name));
    } else {
      ExpectDialog(QString::fromLatin1(w.name));
    }
    Run(w.command);
  }
  // The file dialog's detail view shows its sizes and types whole.
  m_person.Expect(QStringLiteral("open"), [](QWidget& window) {
    Settle(30);
    auto* dialog = qobject_cast<QFileDialog*>(&window);
    auto* details = window.findChild<QTreeView*>(QStringLiteral("treeView"));
    EXPECT_NE(dialog, nullptr);
    EXPECT_NE(details, nullptr);
    if (dialog != nullptr && details != nullptr) {
      dialog->setViewMode(QFileDialog::Detail);
      // The samples beside the program: drawings of a few kilobytes.
      dialog->setDirectory(QStringLiteral(ZEPH_RENDER_DIR "/../../resources/Samples"));
      // The folder is read in the background.
      EXPECT_TRUE(QTest::qWaitFor(
          [details] { return details->model()->rowCount(details->rootIndex()) > 0; }, 3000));
      Settle(100);
      SaveDialogShot(window, QStringLiteral("open_details"));
      const QAbstractItemModel* model = details->model();
      const QModelIndex root = details->rootIndex();
      for (int row = 0; row < model->rowCount(root); ++row) {
        for (int column = 1; column <= 2; ++column) {
          const QString text = model->index(row, column, root).data().toString();
          EXPECT_GE(details->header()->sectionSize(column),
                    details->fontMetrics().horizontalAdvance(text))
              << "column " << column << " cuts \"" << text.toStdString() << "\"";
        }
      }
    }
    Close(window);
  });
  Run(cmd::kFileOpen);
}

// The list opens as the box gets the focus, marking the scale the box shows, or none.
TEST_F(DialogsTest, RealWorldScaleListMarksTheScaleInTheBox) {
  StartProgram();
  CreateDrawing();
  m_person.Expect(QStringLiteral("real world scale"), [](QWidget& window) {
    Settle(50);
    // The checks stop at the first that fails; the dialog is closed in any case.
    [&window] {
      auto* box = window.findChild<QComboBox*>();
      ASSERT_NE(box, nullptr);
      const auto marked = [box] {
        const QModelIndexList rows = box->view()->selectionModel()->selectedIndexes();
        return rows.isEmpty() ? QString() : rows.front().data().toString();
      };
      ASSERT_TRUE(box->view()->isVisible()) << "the list did not drop open";
      EXPECT_EQ(box->currentText(), QStringLiteral("1"));
      EXPECT_EQ(marked(), QStringLiteral("1"));
      KeyOnFocus(Qt::Key_Escape);
      Settle(30);
      // A scale the list does not hold: no entry is marked.
      box->lineEdit()->selectAll();
      TypeOnFocus(QStringLiteral("7"));
      KeyOnFocus(Qt::Key_Tab);
      Settle(30);
      KeyOnFocus(Qt::Key_Tab, Qt::ShiftModifier);
      Settle(50);
      ASSERT_TRUE(box->view()->isVisible()) << "the list did not drop open again";
      EXPECT_EQ(box->currentText(), QStringLiteral("7"));
      EXPECT_EQ(marked(), QString());
    }();
    Close(window);
  });
  Frame().RunCommand(cmd::kEditRealWorldScale);
  Settle(30);
  EXPECT_EQ(m_person.Waiting(), 0);
}

// The edit box shows whole lines of its font; a list of up to six entries shows them all
// without a scroll bar.
TEST_F(DialogsTest, ValuesBarEditAndListsShowWhole) {
  StartProgram();
  CreateDrawing();
  PickTool(kToolNewLine);
  ClickField(2);
  CZephoEdit* edit = View().GetValueEdit();
  ASSERT_TRUE(edit->isVisible());
  TypeOnFocus(QStringLiteral("12"));
  Settle(30);
  SaveShot(View(), QStringLiteral("values_bar_edit.png"));
  EXPECT_GE(edit->viewport()->height(), edit->fontMetrics().lineSpacing())
      << "the edit box is shorter than its font";
  KeyOnFocus(Qt::Key_Escape);
  Settle();

  const struct {
    int tool;
    int field;
    int entries;
  } lists[] = {{kToolFill, 10, 2}, {kToolDimension, 14, 3}, {kToolNewLine, 1, 6}};
  for (const auto& l : lists) {
    PickTool(l.tool);
    ClickField(l.field);
    CViewList* list = View().GetValueList();
    ASSERT_TRUE(list->isVisible()) << "field " << l.field;
    EXPECT_EQ(list->count(), l.entries);
    SaveShot(View(), QStringLiteral("values_bar_list_%1.png").arg(l.field));
    EXPECT_FALSE(list->verticalScrollBar()->isVisible()) << "field " << l.field;
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible()) << "field " << l.field;
    for (int i = 0; i < list->count(); ++i) {
      EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(i))))
          << "field " << l.field << " entry " << i << " is cut";
    }
    KeyOnFocus(Qt::Key_Escape);
    Settle();
  }
}

// The main window fills the screen's available area, wherever a window manager maximises it
// or not; restored, it takes the saved rectangle, or 80% of the area, centred.
TEST_F(DialogsTest, MainWindowFillsTheScreenAndRestoresToItsPlace) {
  StartProgram();
  CMainFrame& frame = Frame();
  const QRect available = frame.screen()->availableGeometry();
  EXPECT_EQ(frame.frameGeometry().size(), available.size());
  EXPECT_EQ(frame.GetWindowState(), kWindowMaximised);
  frame.showNormal();
  (void)QTest::qWaitFor([&] { return frame.geometry() == CMainFrame::DefaultRestoreRect(available); },
                  2000);
  EXPECT_EQ(frame.geometry(), CMainFrame::DefaultRestoreRect(available));
  EXPECT_NEAR(frame.width(), available.width() * 0.8, 1);
  EXPECT_NEAR(frame.height(), available.height() * 0.8, 1);
  EXPECT_EQ(frame.geometry().center(), available.center());
  SaveDialogShot(frame, QStringLiteral("main_window_restored"));
}

TEST_F(DialogsTest, MainWindowRestoresTheSavedRectangle) {
  StartProgram();
  CMainFrame& frame = Frame();
  // As read at start-up from the settings.
  g_windowPosition = {120, 90, 700, 500};
  g_windowPositionValid = 1;
  frame.showNormal();
  const QRect saved(120, 90, 700, 500);
  (void)QTest::qWaitFor([&] { return frame.geometry() == saved; }, 2000);
  EXPECT_EQ(frame.geometry(), saved);
}

}  // namespace
}  // namespace zeph::testing
