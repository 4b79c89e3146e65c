#include "support/filestatus.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include "platform/presenter.h"

namespace {

class FileStatusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFileStatus();
    zeph::SetPresenter(&m_presenter);
  }
  void TearDown() override {
    zeph::SetPresenter(nullptr);
    ResetFileStatus();
  }
  zeph::ScriptedPresenter m_presenter;
};

struct MessageCase {
  int status;
  int id;
  const char16_t* text;  // with the path "P"
};

const MessageCase kMessages[] = {
    {1, 424, u"P\nThe file has ended too soon."},
    {2, 400, u"P\nThere is a hardware fault with the disk"},
    {3, 403, u"P\nThis file was not found."},
    {4, 401, u"P\nThe disk is full - file not saved."},
    {5, 411, u"P\n\nThe file is being used by another program."},
    {6, 407, u"P\nThe file is read only - it cannot be replaced."},
    {7, 408, u"P\nThis file has a backup file which\nis read only - it cannot be replaced."},
    {8, 402, u"P\nThe disk is write protected - file not saved."},
    {9, 419, u"P\n\nError - unable to create the file."},
    {10, 420, u"P\n\nError - unable to save the file."},
    {11, 404, u"P\nThere is not enough memory for this file."},
    {12, 421, u"P\n\nThis file cannot be opened since\nit contains an illegal value in line 3."},
    {13, 425, u"P\nThis is not a proper Zephorin drawing file."},
    {14, 426,
     u"P\n\nThe format of the above Zephorin drawing file\nis not compatible with this version of "
     u"the program."},
    {15, 428,
     u"P\nError when trying to move this file\ninto the backup folder - it cannot be copied."},
    {16, 412, u"P\n\nUnexpected file error 16."},
    {-1, 412, u"P\n\nUnexpected file error -1."},
};

TEST_F(FileStatusTest, EveryStatusHasItsMessage) {
  g_fileLineNumber = 3;
  for (const MessageCase& c : kMessages) {
    SCOPED_TRACE(c.status);
    g_fileStatus = c.status;
    EXPECT_EQ(FileErrorMessageId(c.status), c.id);
    EXPECT_EQ(FileErrorMessage(QStringLiteral("P")), QString::fromUtf16(c.text));
  }
  EXPECT_EQ(FileErrorMessageId(0), 0);
}

TEST_F(FileStatusTest, IllegalValueNamesPathAndLine) {
  g_fileStatus = kFileIllegalValue;
  g_fileLineNumber = 7;
  ShowFileError(QStringLiteral("C:\\x.zpd"));
  ASSERT_EQ(m_presenter.shown().size(), 1u);
  const auto& box = m_presenter.shown()[0];
  EXPECT_EQ(box.text.split(u'\n'),
            (QStringList{QStringLiteral("C:\\x.zpd"), QString(),
                         QStringLiteral("This file cannot be opened since"),
                         QStringLiteral("it contains an illegal value in line 7.")}));
  EXPECT_EQ(box.style, unsigned(zeph::kMbOk | zeph::kMbIconExclamation));
  // The status stays for the caller; only the next successful Open clears it.
  EXPECT_EQ(g_fileStatus, kFileIllegalValue);
}

TEST_F(FileStatusTest, PlaceholdersInThePathAreNotFilled) {
  g_fileStatus = 16;
  EXPECT_EQ(FileErrorMessage(QStringLiteral("/tmp/%2%1.zpd")),
            QStringLiteral("/tmp/%2%1.zpd\n\nUnexpected file error 16."));
}

TEST_F(FileStatusTest, NoStatusShowsNothing) {
  g_fileLineNumber = 4;
  ShowFileError(QStringLiteral("/a.zpd"));
  EXPECT_TRUE(m_presenter.shown().empty());
  EXPECT_EQ(g_fileStatus, 0);
  EXPECT_EQ(g_fileLineNumber, 4);
  EXPECT_TRUE(FileErrorMessage(QStringLiteral("/a.zpd")).isEmpty());
}

QString TestTable(int id) { return id == 57 ? QStringLiteral("Ready") : QString(); }

TEST_F(FileStatusTest, StatusBarTextComesFromTheStringTable) {
  ShowStatusMessage(57, 1);
  EXPECT_TRUE(LastStatusText().isEmpty());  // no table registered: no text for 57
  SetStringTable(&TestTable);
  ShowStatusMessage(57, 1);
  EXPECT_EQ(LastStatusText(), QStringLiteral("Ready"));
  ShowStatusMessage(58, 0);  // an id without a text changes nothing
  EXPECT_EQ(LastStatusText(), QStringLiteral("Ready"));
  ShowStatusText(QStringLiteral("Saving"), 0);
  EXPECT_EQ(LastStatusText(), QStringLiteral("Saving"));
}

}  // namespace
