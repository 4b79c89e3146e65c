// Writing drawing files: the newest format byte for byte, random drawings read back item by
// item, the backups in both ways, a save that fails at any step, and File > Save and Save as.
#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <limits>
#include <sys/stat.h>

#include "drawingfile_fixture.h"
#include "platform/filedialogs.h"
#include "support/datafolders.h"
#include "support/files.h"
#include "support/uiutil.h"

namespace {

class DrawingFileWriteTest : public DrawingFileTest {
 protected:
  void SetUp() override {
    DrawingFileTest::SetUp();
    zeph::SetFileDialogs(&dialogs);
  }
  void TearDown() override {
    zeph::SetFileDialogs(nullptr);
    g_samplesFolder.clear();
    DrawingFileTest::TearDown();
  }

  // Writes doc to path and answers the bytes (empty on failure).
  QByteArray Write(CZephDoc& doc, const QString& path) {
    doc.WriteDrawingFile(path);
    EXPECT_EQ(g_fileStatus, kFileOk);
    return FileBytes(path);
  }

  zeph::CScriptedFileDialogs dialogs;
};

TEST_F(DrawingFileWriteTest, NewestFileWritesBackByteForByte) {
  StartSpellChecker();
  const QByteArray original = FileBytes(FixturePath("zephorin7.zpd"));
  ASSERT_FALSE(original.isEmpty());
  CZephDoc doc;
  ASSERT_EQ(doc.ReadDrawingFile(FixturePath("zephorin7.zpd"), kReadOpen), 1);
  ASSERT_EQ(g_fileStatus, kFileOk);
  EXPECT_EQ(Write(doc, PathOf("again.zpd")), original);
  CZephDoc again;
  ASSERT_EQ(again.ReadDrawingFile(PathOf("again.zpd"), kReadOpen), 1);
  EXPECT_EQ(DumpDrawing(again), DumpDrawing(doc));
  EXPECT_EQ(Write(again, PathOf("third.zpd")), original);
}

TEST_F(DrawingFileWriteTest, EveryVersionReadsBackAsItWasRead) {
  for (const char* file : {"zavil4.zpd", "zephorin1.zpd", "zephorin2.zpd", "zephorin2m.zpd",
                           "zephorin3.zpd", "zephorin4.zpd", "zephorin5.zpd", "zephorin6.zpd",
                           "zephorin7a.zpd"}) {
    SCOPED_TRACE(file);
    CZephDoc doc;
    ASSERT_EQ(doc.ReadDrawingFile(FixturePath(file), kReadOpen), 1);
    const QByteArray written = Write(doc, PathOf("copy.zpd"));
    // The newest tag, no point table, no legacy section.
    EXPECT_TRUE(written.startsWith("Zephorin7\r\n"));
    CZephDoc back;
    ASSERT_EQ(back.ReadDrawingFile(PathOf("copy.zpd"), kReadOpen), 1);
    ASSERT_EQ(g_fileStatus, kFileOk);
    for (int type = 0; type < kItemTypeCount; ++type) {
      EXPECT_EQ(CountOfType(back, type), CountOfType(doc, type));
    }
    EXPECT_TRUE(back.GetLegacySegments().empty());
    // From then on nothing changes.
    EXPECT_EQ(Write(back, PathOf("copy2.zpd")), written);
    EXPECT_EQ(back.GetRealWorldScale(), doc.GetRealWorldScale());
    EXPECT_EQ(back.GetPrintingScale(), doc.GetPrintingScale());
  }
}

TEST_F(DrawingFileWriteTest, RandomDrawingsReadBackItemByItem) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE(seed);
    CRandomDrawing random(seed);
    CZephDoc doc;
    random.Fill(doc, 5 + random.Pick(60));
    doc.SetPrintingScale(random.Pick(2) == 0 ? -1.0 : random.Real(1000));
    doc.SetRealWorldScale(CRandomDrawing::Exact(std::fabs(random.Real(100)) + 0.01));
    doc.SetPicturePath(random.Pick(2) == 0 ? QString() : random.Text());
    doc.SetPicturePlace(random.Coordinate(1000000), random.Coordinate(1000000), 0.5);
    const QByteArray first = Write(doc, PathOf("random.zpd"));
    CZephDoc back;
    ASSERT_EQ(back.ReadDrawingFile(PathOf("random.zpd"), kReadOpen), 1);
    ASSERT_EQ(g_fileStatus, kFileOk);
    ASSERT_EQ(back.GetItemCount(), doc.GetItemCount());
    EXPECT_EQ(DumpInFileOrder(back), DumpInFileOrder(doc));
    EXPECT_EQ(back.GetPicturePath(), doc.GetPicturePath());
    EXPECT_EQ(back.GetPictureX(), doc.GetPictureX());
    EXPECT_EQ(back.GetPrintingScale(), doc.GetPrintingScale());
    EXPECT_EQ(back.GetRealWorldScale(), doc.GetRealWorldScale());
    EXPECT_EQ(Write(back, PathOf("random2.zpd")), first);
  }
}

TEST_F(DrawingFileWriteTest, TextsKeepTheirLineBreaksOnOneLine) {
  CZephDoc doc;
  DrawItemPtr text = CreateItem(kItemText);
  text->SetPosition(0, 0);
  text->SetText(QStringLiteral("one\r\ntwo\nthree\rfour"));
  Add(doc, std::move(text));
  doc.SetObjectName(1, QStringLiteral("a\nb"));
  const QByteArray bytes = Write(doc, PathOf("breaks.zpd"));
  EXPECT_TRUE(bytes.contains("one\x7ftwo\x7fthree\x7f" "four\r\n"));
  CZephDoc back;
  ASSERT_EQ(back.ReadDrawingFile(PathOf("breaks.zpd"), kReadOpen), 1);
  ASSERT_EQ(g_fileStatus, kFileOk);
  ASSERT_EQ(back.GetItemCount(), 1);
  EXPECT_EQ(back.GetItem(0)->GetText(), QStringLiteral("one\x7ftwo\x7fthree\x7f" "four"));
  EXPECT_EQ(back.GetNameCount(), 1);
}

TEST_F(DrawingFileWriteTest, TextTagAndEmptyPatternLines) {
  CZephDoc doc;
  DrawItemPtr text = CreateItem(kItemText);
  text->SetPosition(0, 0);
  text->SetText(QStringLiteral("tag"));
  Add(doc, std::move(text));
  Add(doc, MakeFill(0, 0, 1000));
  const QByteArray bytes = Write(doc, PathOf("tag.zpd"));
  EXPECT_TRUE(bytes.contains("\r\n4294967295\r\n"));
  // The solid fill without a pattern: style 0, no families, number -1.
  EXPECT_TRUE(bytes.contains("\r\n0\r\n0\r\n-1\r\n4\r\n"));
  // Without a spell checker the word list is empty.
  EXPECT_TRUE(bytes.contains("\r\n4294967295\r\n0\r\n"));
}

TEST_F(DrawingFileWriteTest, SavingClearsChangedAndTheWordListsModifiedFlag) {
  StartSpellChecker();
  CZephDoc doc;
  Add(doc, MakeLine(0, 0, 10, 10));
  doc.GetDocDict()->AddWord(QStringLiteral("BARN"));
  ASSERT_EQ(doc.GetDocDict()->IsModified(), 1);
  doc.WriteDrawingFile(PathOf("words.zpd"));
  ASSERT_EQ(g_fileStatus, kFileOk);
  EXPECT_EQ(doc.IsChanged(), 0);
  EXPECT_EQ(doc.GetDocDict()->IsModified(), 0);
  EXPECT_TRUE(FileBytes(PathOf("words.zpd")).contains("\r\n1\r\nBARN\r\n"));
}

TEST_F(DrawingFileWriteTest, ValueThatIsNotFiniteLeavesTheFileUntouched) {
  CZephDoc doc;
  Add(doc, MakeLine(0, 0, 10, 10));
  const QString path = Put("plan.zpd", "old bytes");
  doc.SetPicturePlace(0, 0, std::numeric_limits<double>::quiet_NaN());
  doc.WriteDrawingFile(path);
  EXPECT_EQ(g_fileStatus, kFileCannotSave);
  EXPECT_EQ(FileBytes(path), QByteArray("old bytes"));
  EXPECT_EQ(FolderEntries(Folder()), QStringList{QStringLiteral("plan.zpd")});
  EXPECT_EQ(doc.IsChanged(), 1);
}

TEST_F(DrawingFileWriteTest, TooManyItemsOfOneKindAreRefusedBeforeAnyFileIsTouched) {
  CZephDoc doc;
  doc.EnableUndo(0);
  for (int i = 0; i <= kDrawingFileSectionLimit; ++i) {
    DrawItemPtr circle = MakeCircle(i % 1000 * 100, i / 1000 * 100, 50);
    ASSERT_EQ(doc.AddItem(circle), 1);
  }
  const QString path = Put("big.zpd", "old bytes");
  SetOptionFlag(kOptionUseBackupFolder, 0);
  doc.WriteDrawingFile(path);
  EXPECT_EQ(g_fileStatus, kFileTooManyItems);
  EXPECT_EQ(FileBytes(path), QByteArray("old bytes"));
  EXPECT_EQ(FolderEntries(Folder()), QStringList{QStringLiteral("big.zpd")});
  const QString message = DrawingFileErrorMessage(path);
  EXPECT_TRUE(message.contains(QStringLiteral("65536 circles"))) << message.toStdString();
  EXPECT_TRUE(message.contains(QStringLiteral("65535"))) << message.toStdString();
  // One item fewer is written.
  doc.RemoveItemAt(0);
  doc.WriteDrawingFile(path);
  EXPECT_EQ(g_fileStatus, kFileOk);
}

// ---- Backups ----

TEST_F(DrawingFileWriteTest, BackupsInTheFolderOrBesideTheDrawing) {
  CZephDoc doc;
  Add(doc, MakeLine(0, 0, 10, 10));
  struct Case {
    int useFolder;
    int series;
    const char* backup;
  };
  for (const Case c : {Case{1, 0, "Backup/Backup of plan.zpd"}, Case{0, 0, "Backup of plan.zpk"},
                       Case{1, 1, "Backup/Backup of plan(2).zpd"},
                       Case{0, 1, "Backup of plan(2).zpk"}}) {
    SCOPED_TRACE(c.backup);
    QDir(Folder()).removeRecursively();
    QDir().mkpath(Folder());
    SetOptionFlag(kOptionUseBackupFolder, c.useFolder);
    SetOptionFlag(kOptionCreateBackupSeries, c.series);
    const QString path = Put("plan.zpd", "first");
    // With a series, the existing backup stays and the new one takes the next free name.
    if (c.series != 0) {
      QDir().mkpath(PathOf("Backup"));
      Put(c.useFolder ? "Backup/Backup of plan.zpd" : "Backup of plan.zpk", "older");
    }
    doc.WriteDrawingFile(path);
    ASSERT_EQ(g_fileStatus, kFileOk);
    EXPECT_TRUE(FileBytes(path).startsWith("Zephorin7\r\n"));
    EXPECT_EQ(FileBytes(PathOf(c.backup)), QByteArray("first"));
    if (c.series != 0) {
      EXPECT_EQ(FileBytes(PathOf(c.useFolder ? "Backup/Backup of plan.zpd"
                                             : "Backup of plan.zpk")),
                QByteArray("older"));
    }
  }
}

TEST_F(DrawingFileWriteTest, NewDrawingNeedsNoBackup) {
  CZephDoc doc;
  Add(doc, MakeLine(0, 0, 10, 10));
  for (int useFolder : {0, 1}) {
    SetOptionFlag(kOptionUseBackupFolder, useFolder);
    QFile::remove(PathOf("new.zpd"));
    doc.WriteDrawingFile(PathOf("new.zpd"));
    EXPECT_EQ(g_fileStatus, kFileOk);
    EXPECT_EQ(FolderEntries(Folder()), QStringList{QStringLiteral("new.zpd")});
  }
}

TEST_F(DrawingFileWriteTest, ProtectedFilesAreRefusedInBothWays) {
  CZephDoc doc;
  Add(doc, MakeLine(0, 0, 10, 10));
  for (int useFolder : {0, 1}) {
    SCOPED_TRACE(useFolder);
    SetOptionFlag(kOptionUseBackupFolder, useFolder);
    const QString path = Put("locked.zpd", "locked");
    ::chmod(QFile::encodeName(path).constData(), 0444);
    doc.WriteDrawingFile(path);
    EXPECT_EQ(g_fileStatus, kFileReadOnly);
    EXPECT_EQ(FileBytes(path), QByteArray("locked"));
    ::chmod(QFile::encodeName(path).constData(), 0644);
    // A protected old backup.
    QDir().mkpath(PathOf("Backup"));
    const QString backup =
        Put(useFolder ? "Backup/Backup of locked.zpd" : "Backup of locked.zpk", "backup");
    ::chmod(QFile::encodeName(backup).constData(), 0444);
    doc.WriteDrawingFile(path);
    EXPECT_EQ(g_fileStatus, kFileBackupReadOnly);
    EXPECT_EQ(FileBytes(path), QByteArray("locked"));
    EXPECT_EQ(FileBytes(backup), QByteArray("backup"));
    ::chmod(QFile::encodeName(backup).constData(), 0644);
    EXPECT_EQ(doc.IsChanged(), 1);
    QFile::remove(backup);
  }
}

TEST_F(DrawingFileWriteTest, NewDrawingKeepsTheOldFilesPermissions) {
  CZephDoc doc;
  Add(doc, MakeLine(0, 0, 10, 10));
  const QString path = Put("shared.zpd", "old");
  ::chmod(QFile::encodeName(path).constData(), 0664);
  doc.WriteDrawingFile(path);
  ASSERT_EQ(g_fileStatus, kFileOk);
  struct stat info;
  ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0664u);
}

// ---- A save that fails at any step ----

struct FaultCase {
  int useFolder;
  int series;
  bool oldBackup;
};

class SaveFaultTest : public DrawingFileWriteTest,
                      public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SaveFaultTest, EveryStepThatFailsLeavesEverythingAsItWas) {
  const FaultCase c = GetParam();
  SetOptionFlag(kOptionUseBackupFolder, c.useFolder);
  SetOptionFlag(kOptionCreateBackupSeries, c.series);
  const QString backupName = c.useFolder ? "Backup/Backup of plan.zpd" : "Backup of plan.zpk";
  CZephDoc doc;
  CRandomDrawing random(7);
  random.Fill(doc, 12);
  doc.SetFilePath(PathOf("plan.zpd"));
  doc.MarkChanged();

  // Sets the folder up: the drawing, perhaps an old backup.
  const auto prepare = [&] {
    QDir(Folder()).removeRecursively();
    QDir().mkpath(Folder());
    Put("plan.zpd", "the drawing as it was");
    // Without an old backup the save makes the backup folder itself.
    if (c.useFolder && c.oldBackup) QDir().mkpath(PathOf("Backup"));
    if (c.oldBackup) Put(backupName, "the old backup");
  };
  const auto expectUntouched = [&](const std::string& where) {
    SCOPED_TRACE(where);
    EXPECT_NE(g_fileStatus, kFileOk);
    EXPECT_EQ(FileBytes(PathOf("plan.zpd")), QByteArray("the drawing as it was"));
    if (c.oldBackup) {
      EXPECT_EQ(FileBytes(PathOf(backupName)), QByteArray("the old backup"));
    } else {
      EXPECT_FALSE(QFileInfo::exists(PathOf(backupName)));
    }
    QStringList expected{QStringLiteral("plan.zpd")};
    if (c.oldBackup) {
      expected.prepend(c.useFolder ? QStringLiteral("Backup") : QStringLiteral("Backup of plan.zpk"));
    }
    EXPECT_EQ(FolderEntries(Folder()), expected);
    if (c.useFolder && c.oldBackup) {
      EXPECT_EQ(FolderEntries(PathOf("Backup")), QStringList{QStringLiteral("Backup of plan.zpd")});
    }
    EXPECT_EQ(doc.IsChanged(), 1);
    EXPECT_EQ(doc.GetFilePath(), PathOf("plan.zpd"));
  };

  // A save without faults tells how many steps there are.
  prepare();
  SetSaveFaultForTest(0);
  doc.WriteDrawingFile(PathOf("plan.zpd"));
  ASSERT_EQ(g_fileStatus, kFileOk);
  const QByteArray good = FileBytes(PathOf("plan.zpd"));
  const int steps = GetSaveStepCountForTest();
  const unsigned kinds = GetSaveStepKindsForTest();
  unsigned expectedKinds = (1u << static_cast<unsigned>(SaveStep::kWrite)) |
                           (1u << static_cast<unsigned>(SaveStep::kFlush)) |
                           (1u << static_cast<unsigned>(SaveStep::kClose)) |
                           (1u << static_cast<unsigned>(SaveStep::kBackup)) |
                           (1u << static_cast<unsigned>(SaveStep::kRename));
  if (c.oldBackup && c.series == 0) {
    expectedKinds |= 1u << static_cast<unsigned>(SaveStep::kKeepBackup);
  }
  EXPECT_EQ(kinds, expectedKinds);
  ASSERT_GT(steps, 10);

  for (int k = 1; k <= steps; ++k) {
    SCOPED_TRACE(k);
    prepare();
    doc.MarkChanged();
    SetSaveFaultForTest(k);
    doc.WriteDrawingFile(PathOf("plan.zpd"));
    expectUntouched("first attempt");
    // A second attempt that fails at any step of its own.
    for (int k2 : {1, k, steps}) {
      SetSaveFaultForTest(k2);
      doc.WriteDrawingFile(PathOf("plan.zpd"));
      expectUntouched("second attempt");
    }
    // The attempt that succeeds makes the backup from the drawing as it was.
    SetSaveFaultForTest(0);
    doc.WriteDrawingFile(PathOf("plan.zpd"));
    ASSERT_EQ(g_fileStatus, kFileOk);
    EXPECT_EQ(FileBytes(PathOf("plan.zpd")), good);
    const QString madeBackup =
        c.series != 0 && c.oldBackup
            ? (c.useFolder ? "Backup/Backup of plan(2).zpd" : "Backup of plan(2).zpk")
            : backupName;
    EXPECT_EQ(FileBytes(PathOf(madeBackup)), QByteArray("the drawing as it was"));
    EXPECT_EQ(doc.IsChanged(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(BackupWays, SaveFaultTest,
                         ::testing::Values(FaultCase{0, 0, false}, FaultCase{0, 0, true},
                                           FaultCase{1, 0, false}, FaultCase{1, 0, true},
                                           FaultCase{0, 1, true}, FaultCase{1, 1, true}),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                           const FaultCase& c = info.param;
                           return std::string(c.useFolder ? "Folder" : "Beside") +
                                  (c.series ? "Series" : "") +
                                  (c.oldBackup ? "WithOldBackup" : "WithoutBackup");
                         });

// ---- File > Save and Save as ----

class RecordingTitleHost final : public IDocumentHost {
 public:
  void UpdateTitle() override { ++titles; }
  int titles = 0;
};

class SaveDrawingTest : public DrawingFileWriteTest {
 protected:
  void SetUp() override {
    DrawingFileWriteTest::SetUp();
    SetDocumentHost(&titleHost);
    ResetUiUtilState();
    QDir().mkpath(PathOf("work"));
    QDir().mkpath(PathOf("samples"));
    GetCurrentFolderOfDrive(0, m_previousFolder);
    SetCurrentFolder(PathOf("work"));
    g_samplesFolder = PathOf("samples");
    doc.EnableUndo(0);
    Add(doc, MakeLine(0, 0, 10, 10));
    doc.EnableUndo(1);
  }
  void TearDown() override {
    SetCurrentFolder(m_previousFolder);
    ResetUiUtilState();
    DrawingFileWriteTest::TearDown();
  }

  void Choose(const QString& path) {
    zeph::FileDialogResult result;
    result.answer = zeph::kIdOk;
    result.path = path;
    dialogs.QueueResult(result);
  }

  RecordingTitleHost titleHost;
  CZephDoc doc;
  QString m_previousFolder;
};

TEST_F(SaveDrawingTest, NewDrawingAsksForAName) {
  Choose(PathOf("work/tree"));
  EXPECT_EQ(doc.SaveDrawing(0), 1);
  ASSERT_EQ(dialogs.requests().size(), 1u);
  const zeph::FileDialogRequest& request = dialogs.requests()[0];
  EXPECT_FALSE(request.open);
  EXPECT_EQ(request.title, QStringLiteral("Saving the drawing"));
  EXPECT_EQ(request.initialFolder, PathOf("work"));
  EXPECT_EQ(request.filter, QStringLiteral(" Drawing file (*.zpd) |*.zpd| Symbol library file "
                                           "(*.zsy) |*.zsy| All Files (*.*) |*.*||"));
  EXPECT_EQ(doc.GetFilePath(), PathOf("work/tree.zpd"));
  EXPECT_TRUE(QFileInfo::exists(PathOf("work/tree.zpd")));
  EXPECT_EQ(titleHost.titles, 1);
  EXPECT_EQ(StandInRecentFiles(), QStringList{PathOf("work/tree.zpd")});
  EXPECT_EQ(LastStatusText(), QStringLiteral("The drawing has been saved."));
  EXPECT_EQ(doc.IsChanged(), 0);
}

TEST_F(SaveDrawingTest, SymbolLibraryKeepsItsExtension) {
  doc.SetFilePath(PathOf("work/shapes.zsy"));
  Choose(PathOf("work/tree.zsy"));
  EXPECT_EQ(doc.SaveDrawing(1), 1);
  EXPECT_EQ(dialogs.requests()[0].defaultExtension, QStringLiteral("zsy"));
  EXPECT_EQ(dialogs.requests()[0].filterIndex, 2);
  EXPECT_EQ(dialogs.requests()[0].fileName, QStringLiteral("shapes.zsy"));
  EXPECT_EQ(doc.GetFilePath(), PathOf("work/tree.zsy"));
}

TEST_F(SaveDrawingTest, TheFilterChosenGivesTheExtension) {
  struct Case {
    const char* name;
    const char* typed;
    int filter;
    const char* saved;
  };
  const Case cases[] = {
      {"drawing files, a bare name", "tree", 1, "tree.zpd"},
      {"symbol library files, a bare name", "tree", 2, "tree.zsy"},
      {"all files, a bare name", "tree", 3, "tree.zpd"},
      // What the dialog added for the filter first shown gives way to the filter chosen.
      {"symbol library files after the drawing suffix", "plan.zpd", 2, "plan.zsy"},
      {"drawing files, a library's name", "shapes.zsy", 1, "shapes.zpd"},
      {"all files, another extension", "notes.txt", 3, "notes.zpd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CZephDoc drawing;
    drawing.EnableUndo(0);
    Add(drawing, MakeLine(0, 0, 10, 10));
    dialogs.Clear();
    zeph::FileDialogResult result;
    result.answer = zeph::kIdOk;
    result.path = PathOf(QStringLiteral("work/") + QLatin1String(c.typed));
    result.filterIndex = c.filter;
    dialogs.QueueResult(result);
    EXPECT_EQ(drawing.SaveDrawing(1), 1);
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.requests()[0].filterIndex, 1) << "a new drawing offers drawing files";
    EXPECT_EQ(drawing.GetFilePath(), PathOf(QStringLiteral("work/") + QLatin1String(c.saved)));
    EXPECT_TRUE(QFileInfo::exists(drawing.GetFilePath()));
  }
}

TEST_F(SaveDrawingTest, BackupFileIsSavedAsADrawing) {
  doc.SetFilePath(PathOf("work/plan.zpk"));
  EXPECT_EQ(doc.SaveDrawing(0), 1);
  EXPECT_TRUE(dialogs.requests().empty());
  EXPECT_EQ(doc.GetFilePath(), PathOf("work/plan.zpd"));
  EXPECT_TRUE(QFileInfo::exists(PathOf("work/plan.zpd")));
  EXPECT_FALSE(QFileInfo::exists(PathOf("work/plan.zpk")));
}

TEST_F(SaveDrawingTest, SameNameSavesWithoutTitleChange) {
  doc.SetFilePath(PathOf("work/plan.zpd"));
  EXPECT_EQ(doc.SaveDrawing(0), 1);
  EXPECT_EQ(titleHost.titles, 0);
  EXPECT_TRUE(StandInRecentFiles().isEmpty());
  EXPECT_EQ(LastStatusText(), QStringLiteral("The drawing has been saved."));
}

TEST_F(SaveDrawingTest, SampleIsSavedIntoTheCurrentFolder) {
  Put("samples/house.zpd", "sample");
  doc.SetFilePath(PathOf("samples/house.zpd"));
  EXPECT_EQ(doc.SaveDrawing(0), 1);
  EXPECT_TRUE(dialogs.requests().empty());
  EXPECT_EQ(doc.GetFilePath(), PathOf("work/house.zpd"));
  EXPECT_EQ(FileBytes(PathOf("samples/house.zpd")), QByteArray("sample"));
}

TEST_F(SaveDrawingTest, SampleAsksBeforeReplacingAFileOfTheCurrentFolder) {
  Put("samples/house.zpd", "sample");
  Put("work/house.zpd", "mine");
  doc.SetFilePath(PathOf("samples/house.zpd"));
  presenter.QueueAnswer(zeph::kIdNo);
  // The dialog then opens without a name; cancelled.
  EXPECT_EQ(doc.SaveDrawing(0), 0);
  ASSERT_EQ(presenter.shown().size(), 1u);
  EXPECT_TRUE(presenter.shown()[0].text.contains(QStringLiteral("house.zpd already exists")));
  ASSERT_EQ(dialogs.requests().size(), 1u);
  EXPECT_TRUE(dialogs.requests()[0].fileName.isEmpty());
  EXPECT_EQ(dialogs.requests()[0].initialFolder, PathOf("work"));
  EXPECT_EQ(FileBytes(PathOf("work/house.zpd")), QByteArray("mine"));
  EXPECT_EQ(doc.GetFilePath(), PathOf("samples/house.zpd"));
  EXPECT_EQ(doc.IsChanged(), 1);
}

TEST_F(SaveDrawingTest, ReplacingAnotherFileIsAskedFirst) {
  Put("work/other.zpd", "other");
  doc.SetFilePath(PathOf("work/plan.zpd"));
  Choose(PathOf("work/other.zpd"));
  presenter.QueueAnswer(zeph::kIdNo);
  Choose(PathOf("work/other.zpd"));
  presenter.QueueAnswer(zeph::kIdYes);
  EXPECT_EQ(doc.SaveDrawing(1), 1);
  ASSERT_EQ(dialogs.requests().size(), 2u);
  EXPECT_TRUE(dialogs.requests()[1].fileName.isEmpty());
  EXPECT_EQ(presenter.shown().size(), 2u);
  EXPECT_EQ(doc.GetFilePath(), PathOf("work/other.zpd"));
  EXPECT_TRUE(FileBytes(PathOf("work/other.zpd")).startsWith("Zephorin7"));
}

TEST_F(SaveDrawingTest, FailureShowsTheErrorAndTheDialogAgain) {
  const QString locked = Put("work/locked.zpd", "locked");
  ::chmod(QFile::encodeName(locked).constData(), 0444);
  doc.SetFilePath(locked);
  doc.MarkChanged();
  // The first save fails; the dialog that follows is cancelled.
  EXPECT_EQ(doc.SaveDrawing(0), 0);
  ASSERT_EQ(presenter.shown().size(), 1u);
  EXPECT_TRUE(presenter.shown()[0].text.contains(QStringLiteral("read only")));
  ASSERT_EQ(dialogs.requests().size(), 1u);
  EXPECT_EQ(dialogs.requests()[0].fileName, QStringLiteral("locked.zpd"));
  EXPECT_EQ(doc.GetFilePath(), locked);
  EXPECT_EQ(doc.IsChanged(), 1);
  EXPECT_EQ(FileBytes(locked), QByteArray("locked"));
  ::chmod(QFile::encodeName(locked).constData(), 0644);
}

TEST_F(SaveDrawingTest, TooManyItemsIsShownLikeAnyFileError) {
  doc.EnableUndo(0);
  for (int i = 0; i <= kDrawingFileSectionLimit; ++i) {
    DrawItemPtr line = MakeLine(i % 1000 * 10, i / 1000 * 10, i % 1000 * 10 + 5, i / 1000 * 10);
    doc.AddItem(line);
  }
  doc.SetFilePath(PathOf("work/big.zpd"));
  EXPECT_EQ(doc.SaveDrawing(0), 0);
  ASSERT_EQ(presenter.shown().size(), 1u);
  EXPECT_TRUE(presenter.shown()[0].text.contains(QStringLiteral("65537 lines")))
      << presenter.shown()[0].text.toStdString();
  EXPECT_FALSE(QFileInfo::exists(PathOf("work/big.zpd")));
}

}  // namespace
