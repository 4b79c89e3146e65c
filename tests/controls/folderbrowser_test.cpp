// The folder browser: where it opens for a plain or symbolic folder, the status text that
// follows the highlight, and what it answers for a choice, a cancel and nothing usable.
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>

#include "controls/dialogplus.h"
#include "controls/folderbrowser.h"
#include "controls_fixture.h"
#include "support/datafolders.h"

namespace zeph::testing {
namespace {

class FolderBrowserTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    ResetFolderBrowserState();
    ASSERT_NE(GetMyDocumentsFolder(m_documents), 0);
    ASSERT_TRUE(QDir().mkpath(m_documents + QStringLiteral("/Class 5")));
    ASSERT_TRUE(m_plain.isValid());
    ASSERT_TRUE(QDir(m_plain.path()).mkpath(QStringLiteral("shared/drawings")));
  }
  void TearDown() override {
    SetDialogRunner(nullptr);
    ResetFolderBrowserState();
    ControlsTest::TearDown();
  }

  // Runs the browser with a script that looks at it as it opens, then plays the user.
  QString Browse(const QString& initial, const std::function<void(QFileDialog&)>& play,
                 int startAtNetwork = 0) {
    CScriptedDialogRunner runner([&](QDialog& dialog) {
      auto& browser = static_cast<QFileDialog&>(dialog);
      m_openedIn = QDir::cleanPath(browser.directory().absolutePath());
      m_highlighted = browser.selectedFiles().value(0);
      m_status = GetBrowserStatusText(browser);
      play(browser);
    });
    SetDialogRunner(&runner);
    return BrowseForFolder(m_host.get(), QStringLiteral("Choose the shared folder"),
                           kBifReturnOnlyFsDirs, initial, startAtNetwork);
  }
  static void Cancel(QFileDialog& browser) { browser.reject(); }

  QString m_documents;
  QTemporaryDir m_plain;
  QString m_openedIn;
  QString m_highlighted;
  QString m_status;
};

TEST_F(FolderBrowserTest, OpensWithTheFolderSetAlreadyHighlighted) {
  const QString drawings = m_plain.path() + QStringLiteral("/shared/drawings");
  struct Case {
    QString initial;
    QString highlighted;  // empty: nothing highlighted
    QString openedIn;
  };
  const Case cases[] = {
      {drawings, drawings, m_plain.path() + QStringLiteral("/shared")},
      {QStringLiteral("Documents/Class 5"), m_documents + QStringLiteral("/Class 5"), m_documents},
      {QStringLiteral("My Documents\\Class 5"), m_documents + QStringLiteral("/Class 5"),
       m_documents},
      // A sub-folder that is not there: the documents folder itself.
      {QStringLiteral("Documents/Class 9"), m_documents, QFileInfo(m_documents).absolutePath()},
      {QString(), QString(), QDir::homePath()},
  };
  for (const Case& c : cases) {
    const QString answer = Browse(c.initial, Cancel);
    EXPECT_TRUE(answer.isEmpty()) << "cancelled";
    EXPECT_EQ(m_openedIn, QDir::cleanPath(c.openedIn)) << c.initial.toStdString();
    if (!c.highlighted.isEmpty()) {
      EXPECT_EQ(m_highlighted, c.highlighted) << c.initial.toStdString();
      EXPECT_EQ(m_status, c.highlighted) << "the status shows the highlighted folder";
    }
  }
  EXPECT_TRUE(g_browsedFolder.isEmpty());
}

TEST_F(FolderBrowserTest, AnswersTheChosenFolderAndShowsTheHighlightAsStatus) {
  const QString target = m_plain.path() + QStringLiteral("/shared");
  QString statusAfterMove;
  const QString answer = Browse(QStringLiteral("Documents"), [&](QFileDialog& browser) {
    browser.setDirectory(m_plain.path());
    browser.selectFile(target);
    emit browser.currentChanged(target);
    statusAfterMove = GetBrowserStatusText(browser);
    static_cast<QDialog&>(browser).accept();
  });
  EXPECT_EQ(statusAfterMove, target);
  EXPECT_EQ(answer, target);
  EXPECT_EQ(g_browsedFolder, target);
  // The next browse starts afresh: a cancel leaves no answer behind.
  EXPECT_TRUE(Browse(target, Cancel).isEmpty());
  EXPECT_TRUE(g_browsedFolder.isEmpty());
}

TEST_F(FolderBrowserTest, AChoiceThatIsNoFolderAnswersNothing) {
  const QString answer = Browse(QString(), [&](QFileDialog& browser) {
    browser.selectFile(m_plain.path() + QStringLiteral("/not there"));
    static_cast<QDialog&>(browser).done(QDialog::Accepted);
  });
  EXPECT_TRUE(answer.isEmpty());
}

TEST_F(FolderBrowserTest, WithoutNetworkPlacesTheNetworkStartIsTheHomeFolder) {
  if (!GetNetworkFolder().isEmpty()) GTEST_SKIP() << "this system has network places";
  Browse(QString(), Cancel, 1);
  EXPECT_EQ(m_openedIn, QDir::cleanPath(QDir::homePath()));
}

TEST_F(FolderBrowserTest, SpecialFolderKinds) {
  EXPECT_EQ(MakeSpecialFolderPath(1, QString()), m_documents);
  EXPECT_EQ(MakeSpecialFolderPath(1, QStringLiteral("Class 5")),
            m_documents + QStringLiteral("/Class 5"));
  EXPECT_TRUE(MakeSpecialFolderPath(4, QString()).isEmpty());
  EXPECT_TRUE(MakeSpecialFolderPath(0, QStringLiteral("x")).isEmpty());
}

}  // namespace
}  // namespace zeph::testing
