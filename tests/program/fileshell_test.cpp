// The shell's file commands and the update check as a person meets them: a drawing that cannot
// be read whole leaves on the screen exactly what the drawing holds once its message is
// answered; Save as gives the name typed the extension of the filter chosen in the dialog; and
// Help > Check for updates tells of an error when the maker's server cannot be reached.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "app/appdialogs.h"
#include "program/program_fixture.h"
#include "support/datafolders.h"
#include "support/internet.h"
#include "support/settings.h"

namespace zeph::testing {
namespace {

class FileShellTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(m_folder.isValid());
  }

  QString PathOf(const QString& name) const { return m_folder.filePath(name); }

  // The lines of the drawing every version test reads: a curve, two fills, lines, an arc, a
  // circle, a text, an ellipse, an elliptic arc and dimensions.
  static QStringList SampleLines() {
    QFile file(QStringLiteral(ZEPH_SOURCE_DIR "/../tests/data/drawings/zephorin7.zpd"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
  }
  QString Put(const QString& name, const QStringList& lines) {
    QFile file(PathOf(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write((lines.join(u'\n') + u'\n').toUtf8());
    return file.fileName();
  }

  // The main window as the X server shows it.
  QImage ScreenOfWindow() {
    QScreen* screen = Frame().screen();
    return screen->grabWindow(Frame().winId()).toImage().convertToFormat(QImage::Format_RGB32);
  }

  // Clicks a menu of the menu bar, then its entry.
  void ChooseMenu(const QString& menuTitle, const QString& entry) {
    QMenuBar* bar = Frame().menuBar();
    QAction* menuAction = nullptr;
    for (QAction* action : bar->actions()) {
      if (QString(action->text()).remove(u'&') == menuTitle) menuAction = action;
    }
    ASSERT_NE(menuAction, nullptr) << menuTitle.toStdString();
    ClickAt(bar, bar->actionGeometry(menuAction).center());
    QMenu* menu = menuAction->menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu)) << menuTitle.toStdString() << " never opened";
    QAction* item = nullptr;
    for (QAction* action : menu->actions()) {
      if (QString(action->text()).remove(u'&') == entry) item = action;
    }
    ASSERT_NE(item, nullptr) << entry.toStdString();
    ClickAt(menu, menu->actionGeometry(item).center());
  }

  // Opens path with File > Open (Ctrl+O) and answers the file-error message ending in
  // messageEnd; what is checks the screen while the message is up, and again once it has gone.
  void OpenBadFile(const QString& path, const QString& messageEnd, const QString& what) {
    m_person.Expect(QStringLiteral("the file to open"),
                    [path](QWidget& window) { ChooseFile(window, path); });
    m_person.Expect(QStringLiteral("the file's error"), [this, messageEnd, what](QWidget& window) {
      auto* box = qobject_cast<QMessageBox*>(&window);
      ASSERT_NE(box, nullptr) << "not a message box: " << window.windowTitle().toStdString();
      EXPECT_TRUE(box->text().endsWith(messageEnd)) << box->text().toStdString();
      ExpectScreenIsTheDrawing(what + QStringLiteral("-behind-the-message"));
      CPerson::Press(window, QStringLiteral("OK"));
    });
    KeyOnFocus(Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return m_person.Waiting() == 0; }, 5000));
    Settle(100);
    ExpectScreenIsTheDrawing(what + QStringLiteral("-after-the-message"));
  }

  // What the screen shows of the main window now, against the same window once the drawing
  // has been drawn afresh from what it holds.
  void ExpectScreenIsTheDrawing(const QString& what) {
    Settle(50);
    const QImage shown = ScreenOfWindow();
    App().RefreshDrawing();
    Settle(100);
    const QImage fresh = ScreenOfWindow();
    ASSERT_EQ(shown.size(), fresh.size());
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x) {
        if (shown.pixel(x, y) != fresh.pixel(x, y)) ++differing;
      }
    }
    if (differing != 0) {
      const QDir render(QStringLiteral(ZEPH_RENDER_DIR));
      render.mkpath(QStringLiteral("."));
      shown.save(render.filePath(QStringLiteral("fileshell-%1-shown.png").arg(what)));
      fresh.save(render.filePath(QStringLiteral("fileshell-%1-fresh.png").arg(what)));
    }
    EXPECT_EQ(differing, 0) << what.toStdString()
                            << ": pixels on the screen that the drawing does not hold";
  }

  QTemporaryDir m_folder;
};

TEST_F(FileShellTest, AFailedOpenLeavesOnTheScreenWhatTheDrawingHolds) {
  StartProgram();
  CreateDrawing();
  const QStringList good = SampleLines();
  ASSERT_GT(good.size(), 60);
  QStringList junk = good;
  // Line 41 lies inside the first fill: the curve before it is kept.
  junk[40] = QStringLiteral("junk");
  junk.insert(41, QStringLiteral("more junk"));
  struct Case {
    const char* name;
    QStringList lines;
    QString messageEnd;
    int itemsKept;  // -1: the drawing is left as it was
  };
  const Case cases[] = {
      {"bad-line", junk, QStringLiteral("illegal value in line 41."), 1},
      {"truncated", good.mid(0, 50), QStringLiteral("The file has ended too soon."), 1},
      {"not-a-drawing",
       {QStringLiteral("Dear diary,"), QStringLiteral("today I drew.")},
       QString(),
       -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A drawing on the screen first, so that what stays and what goes can both be seen.
    KeyOnFocus(Qt::Key_N, Qt::ControlModifier);
    Settle();
    DrawLine({100, 500}, {500, 500});
    m_person.Expect(QStringLiteral("the save question"),
                    [](QWidget& window) { CPerson::Press(window, QStringLiteral("No")); });
    const int before = Count();
    const QString path = Put(QStringLiteral("%1.zpd").arg(QLatin1String(c.name)), c.lines);
    OpenBadFile(path, c.messageEnd, QLatin1String(c.name));
    if (c.itemsKept >= 0) {
      EXPECT_EQ(Count(), c.itemsKept) << "the items read before the fault";
    } else {
      EXPECT_EQ(Count(), before);
    }
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Untitled - Zephorin"));
  }
}

TEST_F(FileShellTest, SaveAsGivesTheExtensionOfTheFilterChosen) {
  StartProgram();
  CreateDrawing();
  DrawLine({100, 100}, {300, 100});
  struct Case {
    const char* name;
    int filter;  // counted from 0 in the dialog's list
    const char* saved;
    const char* notSaved;
  };
  const Case cases[] = {
      {"drawing files", 0, "tree1.zpd", "tree1.zsy"},
      {"symbol library files", 1, "tree2.zsy", "tree2.zpd"},
      {"all files", 2, "tree3.zpd", "tree3.zsy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString bare = PathOf(QString::fromLatin1(c.saved).chopped(4));
    const int filter = c.filter;
    m_person.Expect(QStringLiteral("the file's name"), [bare, filter](QWidget& window) {
      auto* types = window.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      ASSERT_NE(types, nullptr) << "the save dialog has no list of file types";
      ASSERT_EQ(types->count(), 3);
      EXPECT_EQ(types->itemText(1), QStringLiteral("Symbol library file (*.zsy)"));
      // The list opened with a click, the type chosen with the arrow keys and Enter.
      ClickAt(types, types->rect().center());
      ASSERT_TRUE(QTest::qWaitFor([types] { return types->view()->isVisible(); }, 2000));
      for (int i = types->currentIndex(); i < filter; ++i) KeyOnFocus(Qt::Key_Down);
      for (int i = types->currentIndex(); i > filter; --i) KeyOnFocus(Qt::Key_Up);
      KeyOnFocus(Qt::Key_Return);
      ASSERT_TRUE(QTest::qWaitFor([types] { return !types->view()->isVisible(); }, 2000));
      EXPECT_EQ(types->currentIndex(), filter);
      ChooseFile(window, bare);
    });
    ChooseMenu(QStringLiteral("File"), QStringLiteral("Save as..."));
    EXPECT_TRUE(QTest::qWaitFor([this] { return m_person.Waiting() == 0; }, 5000));
    Settle(50);
    EXPECT_TRUE(QFile::exists(PathOf(QLatin1String(c.saved)))) << c.saved;
    EXPECT_FALSE(QFile::exists(PathOf(QLatin1String(c.notSaved)))) << c.notSaved;
    EXPECT_EQ(Doc().GetFilePath(), PathOf(QLatin1String(c.saved)));
  }
}

class UpdateCheckTest : public FileShellTest {
 protected:
  void SetUp() override {
    FileShellTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(m_shared.isValid());
    m_oldDataDirs = qgetenv("XDG_DATA_DIRS");
    // The machine settings the program reads live under the first of these.
    qputenv("XDG_DATA_DIRS", m_shared.path().toUtf8());
    ResetDataFolders();
    ResetSettingsState();
    ResetInternetState();
  }
  void TearDown() override {
    FileShellTest::TearDown();
    qputenv("XDG_DATA_DIRS", m_oldDataDirs);
    ResetDataFolders();
    ResetSettingsState();
    ResetInternetState();
  }

  QTemporaryDir m_shared;
  QByteArray m_oldDataDirs;
};

TEST_F(UpdateCheckTest, AServerThatCannotBeReachedEndsTheCheckWithAnError) {
  // A port of the loopback address that nothing listens on refuses at once.
  quint16 port = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    port = probe.serverPort();
  }
  ASSERT_EQ(GetSharedDataFolder(1), 1);
  const QString server = QStringLiteral("http://127.0.0.1:%1").arg(port);
  ASSERT_EQ(WriteMachineSetting(QStringLiteral("WebServer"), server), 1);
  StartProgram();
  EXPECT_EQ(GetWebServerAddress(), server);
  // The check ends by itself, well within the request's time-outs.
  EXPECT_TRUE(QTest::qWaitFor([] { return g_latestVersion != 0; }, 15000))
      << "the check was still waiting";
  EXPECT_EQ(g_latestVersion, -2);

  m_person.Expect(QStringLiteral("the update check"), [](QWidget& window) {
    auto* text = qobject_cast<QLabel*>(FindControl(window, kIdcUpdateText));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(),
              QStringLiteral("Sorry - there was an error when checking for updates.\nCode: 2 "));
    QWidget* contact = FindControl(window, kIdcContactDetails);
    ASSERT_NE(contact, nullptr);
    EXPECT_FALSE(contact->isVisible()) << "the contact button shows";
    CPerson::Press(window, QStringLiteral("OK"));
  });
  ChooseMenu(QStringLiteral("Help"), QStringLiteral("Check for updates..."));
  EXPECT_TRUE(QTest::qWaitFor([this] { return m_person.Waiting() == 0; }, 5000));
  Settle(50);
}

}  // namespace
}  // namespace zeph::testing
