#include "support/help.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSet>
#include <QTemporaryDir>

#include "platform/helpviewer.h"
#include "platform/presenter.h"
#include "support/log.h"

namespace {

using zeph::GetBuiltInHelpViewer;

const QString kNotAvailable = QStringLiteral(
    "Sorry - the help system is not available.\n\nPlease contact Corvelle Software.");

TEST(HelpTopics, TableHoldsEveryTopicAtItsIndex) {
  ResetHelpState();
  ASSERT_EQ(g_helpTopics.size(), static_cast<std::size_t>(kHelpTopicCount));
  QSet<QString> names;
  for (int i = 0; i < kHelpTopicCount; ++i) {
    const CHelpTopic& topic = g_helpTopics[static_cast<std::size_t>(i)];
    EXPECT_EQ(topic.GetNumber(), i);
    const bool unnamed = i == 15 || (i >= 92 && i <= 105);
    EXPECT_EQ(topic.GetName().isEmpty(), unnamed) << i;
    if (!unnamed) {
      EXPECT_FALSE(names.contains(topic.GetName())) << i;
      names.insert(topic.GetName());
    }
  }
  struct Case {
    int index;
    const char* name;
  };
  for (const Case& c : {Case{0, "command_edit_copy"}, Case{14, "command_file_printer_setup"},
                        Case{16, "command_file_save"}, Case{45, "command_view_zoom_out"},
                        Case{46, "dialog_check_file_types"}, Case{66, "dialog_backup_options"},
                        Case{88, "dialog_symbol_stretch"}, Case{89, "corvelle_software"},
                        Case{91, "sample_files_button"}, Case{106, "support"},
                        Case{107, "tool_arc"}, Case{120, "tool_line"}, Case{131, "tool_values"},
                        Case{132, "topic_Zephorin_functions"}, Case{133, "welcome"}}) {
    EXPECT_EQ(g_helpTopics[static_cast<std::size_t>(c.index)].GetName(),
              QString::fromLatin1(c.name));
  }
}

TEST(HelpFiles, NamesFollowTheTextSize) {
  EXPECT_EQ(MakeHelpFileName(QStringLiteral("/usr/share/zephorin"), 0),
            QStringLiteral("/usr/share/zephorin/Zeph.chm"));
  EXPECT_EQ(MakeHelpFileName(QStringLiteral("/opt/z/"), 1), QStringLiteral("/opt/z/Zeph_s.chm"));
  EXPECT_EQ(MakeHelpFileName(QStringLiteral("/opt/z"), 2), QStringLiteral("/opt/z/Zeph_l.chm"));
  EXPECT_EQ(MakeHelpFileName(QStringLiteral("/opt/z"), 3), QStringLiteral("/opt/z/Zeph_x.chm"));
  EXPECT_TRUE(MakeHelpFileName(QStringLiteral("/opt/z"), 4).isEmpty());
  EXPECT_TRUE(MakeHelpFileName(QStringLiteral("/opt/z"), -1).isEmpty());
  EXPECT_EQ(HelpFolderOf(QStringLiteral("/opt/z/Zeph_l.chm")), QStringLiteral("/opt/z/Zeph_l"));
}

// A program folder with the help pages of the medium and small text sizes only.
class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_folder.isValid());
    for (const char* name : {"Zeph/html", "Zeph_s/html"})
      ASSERT_TRUE(QDir(m_folder.path()).mkpath(QString::fromLatin1(name)));
    ResetHelpState();
    ResetLogState();
    SetHelpFileNames(m_folder.path());
    GetBuiltInHelpViewer().Clear();
    zeph::SetPresenter(&m_presenter);
  }
  void TearDown() override {
    zeph::SetPresenter(nullptr);
    GetBuiltInHelpViewer().Clear();
    ResetHelpState();
    ResetLogState();
  }

  QTemporaryDir m_folder;
  zeph::ScriptedPresenter m_presenter;
};

TEST_F(HelpTest, SelectingMissingHelpKeepsTheCurrentOne) {
  EXPECT_TRUE(SelectHelpFile(1));
  EXPECT_EQ(g_currentHelpFile, 1);
  EXPECT_EQ(g_helpFileFound[1], 1);

  EXPECT_FALSE(SelectHelpFile(2));
  EXPECT_EQ(g_currentHelpFile, 1);
  EXPECT_EQ(g_helpFileFound[2], -1);

  EXPECT_FALSE(SelectHelpFile(4));
  EXPECT_FALSE(SelectHelpFile(-1));
  EXPECT_EQ(g_currentHelpFile, 1);

  // Selecting the current help asks nothing more.
  QDir(HelpFolderOf(g_helpFileNames[1])).removeRecursively();
  EXPECT_TRUE(SelectHelpFile(1));
  EXPECT_TRUE(SelectHelpFile(0));
  EXPECT_EQ(g_currentHelpFile, 0);
}

TEST_F(HelpTest, ATopicOpensItsPageInTheCurrentHelp) {
  ShowHelpTopic(120, zeph::kHelpDisplayTopic);
  ASSERT_TRUE(SelectHelpFile(1));
  ShowHelpTopic(133, zeph::kHelpDisplayContents);
  ShowHelpTopic(0, zeph::kHelpDisplayIndex);

  const auto& requests = GetBuiltInHelpViewer().requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].helpFolder, m_folder.filePath(QStringLiteral("Zeph")));
  EXPECT_EQ(requests[0].page, QStringLiteral("html/tool_line.htm"));
  EXPECT_EQ(requests[0].command, zeph::kHelpDisplayTopic);
  EXPECT_EQ(requests[1].helpFolder, m_folder.filePath(QStringLiteral("Zeph_s")));
  EXPECT_EQ(requests[1].page, QStringLiteral("html/welcome.htm"));
  EXPECT_EQ(requests[1].command, zeph::kHelpDisplayContents);
  EXPECT_EQ(requests[2].page, QStringLiteral("html/command_edit_copy.htm"));
  EXPECT_EQ(requests[2].command, zeph::kHelpDisplayIndex);
  EXPECT_TRUE(m_presenter.shown().empty());
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(HelpTest, ATopicOutsideTheTableIsAGlitchAndShowsNothing) {
  for (int topic : {134, -1}) {
    ResetLogState();
    ShowHelpTopic(topic, zeph::kHelpDisplayTopic);
    EXPECT_EQ(g_firstGlitchCode, 25002) << topic;
    EXPECT_EQ(g_firstGlitchNumber, 1) << topic;
    ASSERT_EQ(g_firstGlitchValueCount, 1) << topic;
    EXPECT_EQ(g_firstGlitchValues[0], topic);
  }
  EXPECT_TRUE(GetBuiltInHelpViewer().requests().empty());
  EXPECT_TRUE(m_presenter.shown().empty());
}

TEST_F(HelpTest, MissingHelpSaysSoEachTimeATopicIsAsked) {
  ASSERT_TRUE(QDir(m_folder.filePath(QStringLiteral("Zeph"))).removeRecursively());
  ShowHelpTopic(120, zeph::kHelpDisplayTopic);
  ShowHelpTopic(106, zeph::kHelpDisplayTopic);
  EXPECT_EQ(g_helpFileFound[0], -1);
  EXPECT_TRUE(GetBuiltInHelpViewer().requests().empty());
  ASSERT_EQ(m_presenter.shown().size(), 2u);
  EXPECT_EQ(m_presenter.shown()[0].text, kNotAvailable);
  EXPECT_EQ(m_presenter.shown()[0].style, zeph::kMbOk | zeph::kMbIconExclamation);

  // Help names never set (no program folder known) count as missing help too.
  ResetHelpState();
  ShowHelpTopic(120, zeph::kHelpDisplayTopic);
  EXPECT_EQ(m_presenter.shown().size(), 3u);
}

}  // namespace

namespace {

TEST_F(HelpTest, HelpOnTheNetworkIsCopiedOnceAndShownFromTheCopy) {
  g_helpFileNames[0] = QStringLiteral("//server/share/zephorin/Zeph.chm");
  int copies = 0;
  SetHelpCopier([&] {
    ++copies;
    g_helpFileNames[static_cast<std::size_t>(g_currentHelpFile)] =
        MakeHelpFileName(m_folder.path(), 0);
    g_helpFileCopied[static_cast<std::size_t>(g_currentHelpFile)] = 1;
  });
  ShowHelpTopic(120, zeph::kHelpDisplayTopic);
  ShowHelpTopic(107, zeph::kHelpDisplayTopic);
  EXPECT_EQ(copies, 1);
  const auto& requests = GetBuiltInHelpViewer().requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].helpFolder, m_folder.filePath(QStringLiteral("Zeph")));
  EXPECT_EQ(requests[1].page, QStringLiteral("html/tool_arc.htm"));

  // A copy that fails leaves the network help in use, and the next topic tries again.
  g_helpFileNames[1] = QStringLiteral("//server/share/zephorin/Zeph_s.chm");
  g_currentHelpFile = 1;
  SetHelpCopier([&] { ++copies; });
  ShowHelpTopic(120, zeph::kHelpDisplayTopic);
  ShowHelpTopic(120, zeph::kHelpDisplayTopic);
  EXPECT_EQ(copies, 3);
  EXPECT_EQ(m_presenter.shown().size(), 2u);
  EXPECT_EQ(g_helpFileFound[1], -1);
}

}  // namespace
