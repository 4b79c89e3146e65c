// The name, About and update-check dialogs, played through the scripted dialog runner: what
// they show, what OK and Cancel leave behind, and pictures of each for a person to look at.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/appdialogs.h"
#include "app/sysinfosheet.h"
#include "platform/helpviewer.h"
#include "platform/presenter.h"
#include "support/appservices.h"
#include "support/help.h"
#include "support/internet.h"
#include "support/log.h"
#include "support/sharedconfig.h"

namespace zeph::testing {
namespace {

QString RenderPath(const QString& name) {
  QDir().mkpath(QStringLiteral(ZEPH_RENDER_DIR));
  return QStringLiteral(ZEPH_RENDER_DIR "/") + name;
}

QString ControlText(const QDialog& dialog, int id) {
  QWidget* control = FindControl(dialog, id);
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
  return QStringLiteral("<no text control %1>").arg(id);
}

void Click(const QDialog& dialog, int id) {
  auto* button = qobject_cast<QAbstractButton*>(FindControl(dialog, id));
  ASSERT_NE(button, nullptr) << id;
  button->click();
}

class AppDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetHelpState();
    ResetSharedConfigState();
    ResetInternetState();
    ASSERT_TRUE(m_helpFolder.isValid());
    ASSERT_TRUE(QDir(m_helpFolder.path()).mkpath(QStringLiteral("Zeph/html")));
    SetHelpFileNames(m_helpFolder.path());
    GetBuiltInHelpViewer().Clear();
    SetPresenter(&m_presenter);
    g_userName.clear();
  }
  void TearDown() override {
    SetDialogRunner(nullptr);
    SetPresenter(nullptr);
    GetBuiltInHelpViewer().Clear();
    ResetHelpState();
    ResetSharedConfigState();
    ResetInternetState();
    g_userName.clear();
    EXPECT_EQ(g_glitchCount, 0) << "glitch " << g_firstGlitchCode;
    ResetLogState();
  }

  // Runs the command with a script that plays the user.
  template <typename Run>
  int Play(Run run, CScriptedDialogRunner::Script script) {
    CScriptedDialogRunner runner(std::move(script));
    SetDialogRunner(&runner);
    const int answer = run(nullptr);
    SetDialogRunner(nullptr);
    EXPECT_EQ(runner.runs(), 1);
    return answer;
  }

  ScriptedPresenter m_presenter;
  QTemporaryDir m_helpFolder;
};

// ---- The name ----

TEST_F(AppDialogsTest, NameIsStoredTrimmedAndKeptWhereTheInstallationKeepsNames) {
  g_saveNameMode = kSaveNameRegistry;
  g_userName = QStringLiteral("Old name");
  g_userNameKept = 0;
  const int answer = Play(RunEditNameDialog, [](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Type in your name"));
    EXPECT_EQ(ControlText(dialog, kIdcNameEdit), QStringLiteral("Old name"));
    auto* keep = qobject_cast<QCheckBox*>(FindControl(dialog, kIdcKeepName));
    ASSERT_NE(keep, nullptr);
    EXPECT_TRUE(keep->isEnabled());
    EXPECT_FALSE(keep->isChecked());
    qobject_cast<QLineEdit*>(FindControl(dialog, kIdcNameEdit))
        ->setText(QStringLiteral("  Jo Bloggs  "));
    keep->setChecked(true);
    dialog.grab().save(RenderPath(QStringLiteral("name_dialog.png")));
    Click(dialog, kIdOk);
  });
  EXPECT_EQ(answer, kIdOk);
  EXPECT_EQ(g_userName, QStringLiteral("Jo Bloggs"));
  EXPECT_EQ(g_userNameKept, 1);
  // Kept on disk: read back as the next run would.
  g_userName.clear();
  ReadUserName();
  EXPECT_EQ(g_userName, QStringLiteral("Jo Bloggs"));
  EXPECT_EQ(g_userNameKept, 1);
}

TEST_F(AppDialogsTest, WhereNamesAreNotKeptTheBoxIsLockedAndOnlyTheNameInMemoryChanges) {
  g_saveNameMode = kSaveNameNo;
  g_userNameKept = 1;  // stale: a name kept before the manager switched keeping off
  Play(RunEditNameDialog, [](QDialog& dialog) {
    auto* keep = qobject_cast<QCheckBox*>(FindControl(dialog, kIdcKeepName));
    ASSERT_NE(keep, nullptr);
    EXPECT_FALSE(keep->isEnabled());
    EXPECT_FALSE(keep->isChecked());
    qobject_cast<QLineEdit*>(FindControl(dialog, kIdcNameEdit))->setText(QStringLiteral("Sam"));
    Click(dialog, kIdOk);
  });
  EXPECT_EQ(g_userName, QStringLiteral("Sam"));
  EXPECT_EQ(g_userNameKept, 1);  // untouched, and nothing stored
  g_saveNameMode = kSaveNameMyDocuments;
  ReadUserName();
  EXPECT_TRUE(g_userName.isEmpty());
}

TEST_F(AppDialogsTest, CancelChangesNothingAndANameTooLongIsRefusedBeforeOk) {
  g_saveNameMode = kSaveNameMyDocuments;
  g_userName = QStringLiteral("Kept");
  EXPECT_EQ(Play(RunEditNameDialog,
                 [](QDialog& dialog) {
                   qobject_cast<QLineEdit*>(FindControl(dialog, kIdcNameEdit))
                       ->setText(QStringLiteral("Other"));
                   Click(dialog, kIdCancel);
                 }),
            kIdCancel);
  EXPECT_EQ(g_userName, QStringLiteral("Kept"));

  // The edit takes at most 36 characters; a longer text put in by other means is refused by
  // the check when OK is pressed, and the dialog stays open.
  const int answer = Play(RunEditNameDialog, [this](QDialog& dialog) {
    auto* edit = qobject_cast<QLineEdit*>(FindControl(dialog, kIdcNameEdit));
    edit->setText(QString(40, u'x'));
    EXPECT_EQ(edit->text().size(), kNameDialogLimit);
    edit->setMaxLength(100);
    edit->setText(QString(40, u'y'));
    Click(dialog, kIdOk);
    EXPECT_EQ(dialog.result(), 0);
    ASSERT_EQ(m_presenter.shown().size(), 1U);
    EXPECT_EQ(m_presenter.shown()[0].text,
              QStringLiteral("Please enter no more than 36 characters."));
    edit->setText(QString(36, u'z'));
    Click(dialog, kIdOk);
  });
  EXPECT_EQ(answer, kIdOk);
  EXPECT_EQ(g_userName, QString(36, u'z'));
}

TEST_F(AppDialogsTest, TheHelpButtonShowsTheDialogsOwnTopic) {
  struct Case {
    int (*run)(QWidget*);
    int helpId;  // the button that asks for help; 0: the F1 key
    QString page;
  };
  const Case cases[] = {
      {RunEditNameDialog, kIdHelp, QStringLiteral("dialog_name")},
      {RunAboutDialog, 0, QStringLiteral("dialog_help_about")},
      {RunCheckUpdatesDialog, 0, QStringLiteral("dialog_check_for_updates")},
  };
  for (const Case& c : cases) {
    GetBuiltInHelpViewer().Clear();
    Play(c.run, [&c](QDialog& dialog) {
      if (c.helpId != 0) {
        Click(dialog, c.helpId);
      } else {
        static_cast<CDialogPlus&>(dialog).OnHelpInfo();
      }
      Click(dialog, kIdOk);
    });
    ASSERT_EQ(GetBuiltInHelpViewer().requests().size(), 1U) << c.page.toStdString();
    EXPECT_EQ(GetBuiltInHelpViewer().requests()[0].page, QStringLiteral("html/%1.htm").arg(c.page));
  }
}

// ---- About ----

TEST_F(AppDialogsTest, AboutShowsVersionAndReleaseAndTheBuildOnRequest) {
  // The program icon opens the system information over the box, then closes the box.
  int sheets = 0;
  CScriptedDialogRunner runner([&sheets](QDialog& dialog) {
    if (dynamic_cast<CSystemInfoSheet*>(&dialog) != nullptr) {
      ++sheets;
      return;  // closed with Cancel
    }
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About Zephorin 3"));
    EXPECT_EQ(ControlText(dialog, kIdcVersion), QStringLiteral("Zephorin version 3.36"));
    EXPECT_EQ(ControlText(dialog, kIdcRelease), QStringLiteral("Release %1").arg(g_releaseNumber));
    EXPECT_TRUE(ControlText(dialog, kIdcBuild).isEmpty());
    Click(dialog, kIdcBuildButton);
    EXPECT_EQ(ControlText(dialog, kIdcBuild), QStringLiteral("Build 1278"));
    EXPECT_EQ(dialog.result(), 0);  // still open
    dialog.grab().save(RenderPath(QStringLiteral("about_dialog.png")));
    Click(dialog, kIdcProgramIcon);
  });
  SetDialogRunner(&runner);
  const int answer = RunAboutDialog(nullptr);
  SetDialogRunner(nullptr);
  EXPECT_EQ(sheets, 1);
  EXPECT_EQ(runner.runs(), 2);
  EXPECT_EQ(answer, kIdOk);
}

// ---- Update check ----

TEST_F(AppDialogsTest, UpdateTextFollowsTheLatestVersionFound) {
  const QString download = QStringLiteral("\nYou can download it from our website.");
  const QString contact = QStringLiteral(
      "\nPlease contact Corvelle Software Ltd if you would\nlike to purchase an upgrade to this "
      "new version.");
  const QString newest = QStringLiteral("The most recent version of this program is ");
  struct Case {
    std::int32_t latest;
    QString text;
  };
  const Case cases[] = {
      {0, QStringLiteral("\nWaiting to check for updates ...")},
      {-12, QStringLiteral("Sorry - there was an error when checking for updates.\nCode: 12 ")},
      {INT32_MIN, QStringLiteral("Sorry - there was an error when checking for updates.\nCode: "
                                 "2147483648 ")},
      {1, QStringLiteral("\nThis version is up-to-date.")},
      {336, QStringLiteral("\nThis version is up-to-date.")},
      {337, newest + QStringLiteral("3.37") + download},
      {340, newest + QStringLiteral("3.40") + download},
      {399, newest + QStringLiteral("3.99") + download},
      {400, newest + QStringLiteral("4.00") + contact},
      {1205, newest + QStringLiteral("12.05") + contact},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UpdateCheckText(c.latest), c.text) << c.latest;
  }
}

TEST_F(AppDialogsTest, UpdateDialogShowsTheResultAndHidesTheContactButton) {
  g_latestVersion = 340;
  const int answer = Play(RunCheckUpdatesDialog, [](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Checking for updates"));
    EXPECT_EQ(ControlText(dialog, kIdcVersion), QStringLiteral("Zephorin version 3.36"));
    EXPECT_EQ(ControlText(dialog, kIdcRelease), QStringLiteral("Release %1").arg(g_releaseNumber));
    EXPECT_EQ(ControlText(dialog, kIdcUpdateText), UpdateCheckText(340));
    QWidget* contact = FindControl(dialog, kIdcContactDetails);
    ASSERT_NE(contact, nullptr);
    EXPECT_TRUE(contact->isHidden());
    dialog.grab().save(RenderPath(QStringLiteral("check_updates_dialog.png")));
    Click(dialog, kIdOk);
  });
  EXPECT_EQ(answer, kIdOk);
}

}  // namespace
}  // namespace zeph::testing
