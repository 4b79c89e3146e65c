// The document's menu commands and the save question.
#include <QDir>
#include <QFile>
#include <QStringList>
#include <functional>

#include "drawingfile_fixture.h"
#include "platform/filedialogs.h"
#include "support/datafolders.h"
#include "support/files.h"
#include "support/uiutil.h"

namespace {

class CRecentFiles final : public IRecentFileList {
 public:
  void Add(const QString& path) override { paths.append(path); }
  QStringList paths;
};

class CommandHost final : public IDocumentHost {
 public:
  int cancelled = 0;
  int shown = 0;
  int reset = 0;
  int refreshed = 0;
  int viewCode = 1;
  int dictionaryAnswer = 1;
  CDocDict* dictionaryShown = nullptr;
  void CancelEditing() override { ++cancelled; }
  // What the screen was given, in order, with the messages shown by then.
  std::function<int()> messagesShown = [] { return 0; };
  QStringList events;
  void RefreshDrawing() override {
    ++refreshed;
    events << QStringLiteral("refresh after %1 messages").arg(messagesShown());
  }
  int GetActiveViewCode() const override { return viewCode; }
  void ShowEditingView() override { ++shown; }
  void ResetEditingView() override {
    ++reset;
    events << QStringLiteral("reset after %1 messages").arg(messagesShown());
  }
  int ShowDictionaryDialog(CDocDict* list) override {
    dictionaryShown = list;
    return dictionaryAnswer;
  }
};

class CommandsTest : public DrawingFileTest {
 protected:
  void SetUp() override {
    DrawingFileTest::SetUp();
    SetDocumentHost(&commandHost);
    zeph::SetFileDialogs(&dialogs);
    SetRecentFileList(&recent);
  }
  void TearDown() override {
    SetRecentFileList(nullptr);
    zeph::SetFileDialogs(nullptr);
    g_samplesFolder.clear();
    DrawingFileTest::TearDown();
  }

  // A saved drawing with one line, at path.
  void MakeSaved(CZephDoc& doc, const QString& path) {
    Add(doc, MakeLine(0, 0, 1000, 0));
    doc.WriteDrawingFile(path);
    ASSERT_EQ(g_fileStatus, kFileOk);
    doc.SetFilePath(path);
    doc.ClearChanged();
  }

  static zeph::FileDialogResult Chosen(const QString& path) {
    zeph::FileDialogResult result;
    result.answer = zeph::kIdOk;
    result.path = path;
    return result;
  }

  CommandHost commandHost;
  zeph::CScriptedFileDialogs dialogs;
  CRecentFiles recent;
};

TEST_F(CommandsTest, SaveQuestionMatrix) {
  enum State { kUnchanged, kChanged, kWordAdded };
  const struct {
    State state;
    int answer;  // 0: no question expected
    int result;
    bool saved;
  } cases[] = {
      {kUnchanged, 0, 1, false},
      {kChanged, zeph::kIdYes, 1, true},
      {kChanged, zeph::kIdNo, 1, false},
      {kChanged, zeph::kIdCancel, 0, false},
      {kWordAdded, zeph::kIdYes, 1, true},
      {kWordAdded, zeph::kIdNo, 1, false},
      {kWordAdded, zeph::kIdCancel, 0, false},
  };
  StartSpellChecker();
  int n = 0;
  for (const auto& c : cases) {
    presenter.Clear();
    CZephDoc doc;
    const QString path = PathOf(QStringLiteral("plan%1.zpd").arg(++n));
    MakeSaved(doc, path);
    const QByteArray before = FileBytes(path);
    if (c.state == kChanged) Add(doc, MakeLine(0, 0, 0, 500));
    if (c.state == kWordAdded) doc.GetDocDict()->AddWord(QStringLiteral("GAZEBO"));
    EXPECT_EQ(doc.OnUpdateFileSave(), c.state == kUnchanged ? 0 : 1) << n;
    if (c.answer != 0) presenter.QueueAnswer(c.answer);
    const int cancelledBefore = commandHost.cancelled;
    EXPECT_EQ(doc.QuerySaveModified(), c.result) << n;
    EXPECT_EQ(presenter.shown().size(), c.answer != 0 ? 1u : 0u) << n;
    if (c.answer != 0) {
      EXPECT_EQ(presenter.shown()[0].text, QStringLiteral("Do you want to save the drawing?"));
    }
    EXPECT_EQ(FileBytes(path) != before, c.saved) << n;
    EXPECT_EQ(commandHost.cancelled - cancelledBefore, c.result) << n;
  }
}

TEST_F(CommandsTest, NewOnAChangedDrawingCancelledKeepsEverything) {
  CZephDoc doc;
  Add(doc, MakeLine(0, 0, 1000, 0));
  presenter.QueueAnswer(zeph::kIdCancel);
  doc.OnFileNew();
  EXPECT_EQ(doc.GetItemCount(), 1);
  EXPECT_EQ(commandHost.shown, 0);
  presenter.QueueAnswer(zeph::kIdNo);
  doc.SetRealWorldScale(20.0);
  doc.OnFileNew();
  EXPECT_EQ(doc.GetItemCount(), 0);
  EXPECT_EQ(doc.GetRealWorldScale(), 1.0);  // a new drawing's defaults
  EXPECT_EQ(commandHost.shown, 1);
}

TEST_F(CommandsTest, WipeEmptiesTheDrawingButKeepsItsScales) {
  CZephDoc doc;
  MakeSaved(doc, PathOf(QStringLiteral("wipe.zpd")));
  doc.SetRealWorldScale(50.0);
  doc.SetPrintingScale(20.0);
  doc.ClearChanged();
  doc.OnEditWipe();
  EXPECT_EQ(doc.GetItemCount(), 0);
  EXPECT_TRUE(doc.GetFilePath().isEmpty());
  EXPECT_EQ(doc.GetRealWorldScale(), 50.0);
  EXPECT_EQ(doc.GetPrintingScale(), 20.0);
  EXPECT_EQ(commandHost.refreshed, 1);
}

TEST_F(CommandsTest, OpenCancelledInTheFirstDialogChangesNothing) {
  CZephDoc doc;
  Add(doc, MakeLine(0, 0, 1000, 0));
  doc.ClearChanged();
  doc.OnFileOpen();
  ASSERT_EQ(dialogs.requests().size(), 1u);
  EXPECT_EQ(dialogs.requests()[0].title, QStringLiteral("Loading a drawing file"));
  EXPECT_EQ(dialogs.requests()[0].defaultExtension, QStringLiteral("zpd"));
  EXPECT_FALSE(dialogs.requests()[0].samplesButton);
  EXPECT_EQ(doc.GetItemCount(), 1);
  EXPECT_EQ(commandHost.shown + commandHost.reset, 0);
}

TEST_F(CommandsTest, SamplesButtonOpensTheSecondDialogAndKeepsTheCurrentFolder) {
  ASSERT_TRUE(QDir().mkpath(PathOf(QStringLiteral("samples"))));
  g_samplesFolder = PathOf(QStringLiteral("samples"));
  const QString sample = PathOf(QStringLiteral("samples/house.zpd"));
  {
    CZephDoc source;
    MakeSaved(source, sample);
  }
  QString before;
  GetCurrentFolderOfDrive(0, before);
  zeph::FileDialogResult samples;
  samples.answer = zeph::kIdCancel;
  samples.samplesChosen = true;
  dialogs.QueueResult(samples);
  dialogs.QueueResult(Chosen(sample));
  // The chooser of the second dialog may change the process's folder; it is put back.
  CZephDoc doc;
  commandHost.viewCode = 0;
  doc.OnFileOpen();
  ASSERT_EQ(dialogs.requests().size(), 2u);
  EXPECT_TRUE(dialogs.requests()[0].samplesButton);
  EXPECT_EQ(dialogs.requests()[1].title, QStringLiteral("Loading a sample drawing file"));
  EXPECT_EQ(dialogs.requests()[1].initialFolder, g_samplesFolder);
  EXPECT_FALSE(dialogs.requests()[1].samplesButton);
  EXPECT_EQ(doc.GetItemCount(), 1);
  EXPECT_EQ(commandHost.reset, 1);  // the editing view was already shown
  QString after;
  GetCurrentFolderOfDrive(0, after);
  EXPECT_EQ(after, before);
  EXPECT_EQ(recent.paths, QStringList{sample});
  EXPECT_EQ(LastStatusText(), QStringLiteral("The drawing has been loaded."));
}

TEST_F(CommandsTest, AFailedOpenIsNeverAnnouncedAsLoaded) {
  const QString foreign = Put(QStringLiteral("letter.zpd"), QByteArray("Dear pupils,\r\n"));
  CZephDoc doc;
  dialogs.QueueResult(Chosen(foreign));
  EXPECT_EQ(doc.ChooseAndOpenFile(), 0);
  EXPECT_NE(g_fileStatus, kFileOk);
  ASSERT_EQ(presenter.shown().size(), 1u);  // the file-error message naming the file
  EXPECT_TRUE(presenter.shown()[0].text.contains(QStringLiteral("letter.zpd")));
  EXPECT_TRUE(recent.paths.isEmpty());
  EXPECT_NE(LastStatusText(), QStringLiteral("The drawing has been loaded."));

  ResetFileStatus();
  EXPECT_EQ(doc.OpenFile(PathOf(QStringLiteral("missing.zpd"))), 0);
  EXPECT_TRUE(recent.paths.isEmpty());
}

TEST_F(CommandsTest, AddInsertsIntoTheOpenDrawingAndRefreshes) {
  const QString other = PathOf(QStringLiteral("other.zpd"));
  {
    CZephDoc source;
    MakeSaved(source, other);
  }
  CZephDoc doc;
  Add(doc, MakeCircle(0, 0, 500));
  dialogs.QueueResult(Chosen(other));
  doc.OnFileAdd();
  ASSERT_EQ(dialogs.requests().size(), 1u);
  EXPECT_EQ(dialogs.requests()[0].title, QStringLiteral("Adding a drawing file"));
  EXPECT_EQ(doc.GetItemCount(), 2);
  EXPECT_EQ(commandHost.refreshed, 1);
  doc.Undo(nullptr, nullptr, 1);  // one step
  EXPECT_EQ(doc.GetItemCount(), 1);
}

TEST_F(CommandsTest, WhatAFailedReadLeftIsShownBeforeItsMessage) {
  const QString source = PathOf(QStringLiteral("two.zpd"));
  {
    CZephDoc saved;
    Add(saved, MakeLine(0, 0, 1000, 0));
    Add(saved, MakeLine(0, 500, 1000, 500));
    saved.WriteDrawingFile(source);
    ASSERT_EQ(g_fileStatus, kFileOk);
  }
  // Cut off after the first line's record.
  QFile file(source);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = file.readAll().split('\n');
  file.close();
  const QString cut = Put(QStringLiteral("cut.zpd"), lines.mid(0, 30).join('\n') + '\n');
  commandHost.messagesShown = [this] { return static_cast<int>(presenter.shown().size()); };

  // Opened from the editing view: the view shows the drawing read so far, then the message.
  commandHost.viewCode = 0;
  CZephDoc doc;
  Add(doc, MakeCircle(0, 0, 500));
  doc.ClearChanged();
  dialogs.QueueResult(Chosen(cut));
  doc.OnFileOpen();
  EXPECT_EQ(g_fileStatus, kFileEndedTooSoon);
  EXPECT_EQ(doc.GetItemCount(), 1);
  ASSERT_EQ(presenter.shown().size(), 1u);
  ASSERT_FALSE(commandHost.events.isEmpty());
  EXPECT_EQ(commandHost.events.front(), QStringLiteral("reset after 0 messages"));

  // Added: the items taken are drawn before the message.
  ResetFileStatus();
  commandHost.events.clear();
  dialogs.QueueResult(Chosen(cut));
  doc.OnFileAdd();
  EXPECT_EQ(doc.GetItemCount(), 2);
  ASSERT_EQ(presenter.shown().size(), 2u);
  EXPECT_EQ(commandHost.events, QStringList{QStringLiteral("refresh after 1 messages")});

  // From the start screen nothing of the drawing shows: the view is shown after the message.
  ResetFileStatus();
  commandHost.events.clear();
  commandHost.viewCode = 1;
  doc.ClearChanged();
  dialogs.QueueResult(Chosen(cut));
  doc.OnFileOpen();
  EXPECT_TRUE(commandHost.events.isEmpty()) << commandHost.events.join(u'|').toStdString();
  EXPECT_EQ(commandHost.shown, 1);
}

TEST_F(CommandsTest, DictionaryCommandNeedsAWordList) {
  CZephDoc withoutChecker;
  EXPECT_EQ(withoutChecker.OnUpdateEditDictionary(), 0);
  withoutChecker.OnEditDictionary();
  ASSERT_EQ(presenter.shown().size(), 1u);
  EXPECT_TRUE(presenter.shown()[0].text.startsWith(QStringLiteral("There is not enough memory")));

  StartSpellChecker();
  CZephDoc doc;
  EXPECT_EQ(doc.OnUpdateEditDictionary(), 1);
  doc.OnEditDictionary();
  EXPECT_EQ(commandHost.dictionaryShown, doc.GetDocDict());
  EXPECT_EQ(presenter.shown().size(), 1u);
}

TEST_F(CommandsTest, PastedPicturesAreNeitherSavedNorTakenFromAFile) {
  const QString path = PathOf(QStringLiteral("pasted.zpd"));
  CZephDoc doc;
  Add(doc, MakeLine(0, 0, 1000, 0));
  doc.SetFilePath(path);
  doc.SetPicturePath(QStringLiteral(">3"));
  EXPECT_EQ(doc.SaveDrawing(0), 1);  // the save goes on, with a warning
  ASSERT_EQ(presenter.shown().size(), 1u);
  EXPECT_EQ(g_fileStatus, kFileOk);

  CZephDoc reopened;
  EXPECT_EQ(reopened.OpenFile(path), 1);
  EXPECT_TRUE(reopened.GetPicturePath().isEmpty());
  EXPECT_EQ(reopened.GetItemCount(), 1);
}

}  // namespace
