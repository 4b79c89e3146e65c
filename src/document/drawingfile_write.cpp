// Writing drawing files in the newest format, with the backup of the file replaced, and File >
// Save and Save as.
//
// The drawing is first written whole to a temporary file in its own folder and made to reach
// the disk; then the new backup is made from the drawing file under a temporary name of its
// own folder (a second name for it, or a copy into the backup folder that reaches the disk),
// the temporary file is renamed over the drawing, and only then does the new backup take its
// name, replacing the old one in one step. A failure before the drawing is replaced removes
// the temporary files, so the drawing file and its old backup stay byte for byte as they were
// and the document stays changed; a program killed at any moment leaves a whole drawing and a
// whole backup under their names, and temporary files that the next save or open removes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <QStringList>
#include <array>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <functional>
#include <new>
#include <typeinfo>

#include "document/dochost.h"
#include "document/document.h"
#include "document/drawingfile.h"
#include "document/drawingfile_detail.h"
#include "items/boundaryloop.h"
#include "items/drawitem.h"
#include "items/fillitem.h"
#include "items/floodedge.h"
#include "items/hatch.h"
#include "platform/filedialogs.h"
#include "platform/presenter.h"
#include "spell/docdict.h"
#include "spell/spell.h"
#include "support/constants.h"
#include "support/datafolders.h"
#include "support/files.h"
#include "support/filestatus.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/options.h"
#include "support/safesave.h"
#include "support/textfile.h"
#include "support/uiutil.h"

namespace {

constexpr unsigned kOfnNoNetworkButton = 0x20000;
constexpr int kGlitchFillStyle = 1287;

// ---- Lines of the records ----

// A write of the sequence may fail here: true while the file is still being written.
bool Written() {
  if (SaveStepFails(SaveStep::kWrite) && g_fileStatus == kFileOk) g_fileStatus = kFileDiskFull;
  return g_fileStatus == kFileOk;
}

void WritePoint(CTextFileWriter& w, int x, int y) {
  w.WriteInt(x);
  w.WriteInt(y);
}

void WriteStart(CTextFileWriter& w, const CDrawItem& item) {
  int x = 0;
  int y = 0;
  item.GetStart(x, y);
  WritePoint(w, x, y);
}

void WriteEnd(CTextFileWriter& w, const CDrawItem& item) {
  int x = 0;
  int y = 0;
  item.GetEnd(x, y);
  WritePoint(w, x, y);
}

void WriteColour(CTextFileWriter& w, const CDrawItem& item) {
  w.WriteColour(static_cast<std::uint32_t>(item.GetColour()));
}

void WriteGroup(CTextFileWriter& w, const CDrawItem& item) {
  w.WriteUnsigned(static_cast<std::uint32_t>(item.GetGroupNumber()));
}

// Object number, colour, group, pen width.
void WriteTail(CTextFileWriter& w, const CDrawItem& item) {
  w.WriteShort(item.GetObjectNumber());
  WriteColour(w, item);
  WriteGroup(w, item);
  w.WriteByte(item.GetPenWidth());
}

void WriteFontWithWidth(CTextFileWriter& w, const CDrawItem& item) {
  const CFontSpec* font = item.GetFont();
  w.WriteFont(*font);
  w.WriteUShort(font->GetWidthPercent());
}

void WriteFillStyle(CTextFileWriter& w, int style) {
  if (style < 0 || style >= kFillStyleCount) {
    SetGlitchValue(style);
    ReportGlitch(kGlitchFillStyle, 1);
    style = 0;
  }
  w.WriteShort(style);
}

void WriteRecord(CTextFileWriter& w, const CDrawItem& item) {
  switch (item.GetType()) {
    case kItemLine:
      WriteStart(w, item);
      WriteEnd(w, item);
      w.WriteByte(item.GetLineStyle());
      WriteTail(w, item);
      break;
    case kItemArc:
      WriteStart(w, item);
      WriteEnd(w, item);
      w.WriteDouble(item.GetAngle());
      WriteTail(w, item);
      break;
    case kItemCircle: {
      int x = 0;
      int y = 0;
      item.GetCentre(x, y);
      WritePoint(w, x, y);
      w.WriteInt(item.GetRadius());
      WriteTail(w, item);
      break;
    }
    case kItemText: {
      int x = 0;
      int y = 0;
      item.GetPosition(x, y);
      WritePoint(w, x, y);
      w.WriteLine(ToFileLine(item.GetText()));
      WriteFontWithWidth(w, item);
      w.WriteShort(item.GetObjectNumber());
      WriteColour(w, item);
      WriteGroup(w, item);
      w.WriteDouble(item.GetTextAngle());
      w.WriteDouble(item.GetTextParameter());
      w.WriteUnsigned(static_cast<std::uint32_t>(item.GetTextTag()));
      break;
    }
    case kItemEllipse: {
      int x = 0;
      int y = 0;
      int a = 0;
      int b = 0;
      item.GetCentre(x, y);
      item.GetSemiAxes(a, b);
      WritePoint(w, x, y);
      WritePoint(w, a, b);
      w.WriteDouble(item.GetRotation());
      WriteTail(w, item);
      break;
    }
    case kItemEllipseArc: {
      double cx = 0.0;
      double cy = 0.0;
      double r1 = 0.0;
      double r2 = 0.0;
      item.GetCentreExact(cx, cy);
      item.GetRadii(r1, r2);
      WriteStart(w, item);
      WriteEnd(w, item);
      w.WriteDouble(cx);
      w.WriteDouble(cy);
      w.WriteDouble(r1);
      w.WriteDouble(r2);
      w.WriteDouble(item.GetRotation());
      WriteTail(w, item);
      break;
    }
    case kItemBezier:
      WriteStart(w, item);
      WriteEnd(w, item);
      for (int i = 0; i < 2; ++i) {
        double x = 0.0;
        double y = 0.0;
        item.GetControlPoint(i, x, y);
        w.WriteDouble(x);
        w.WriteDouble(y);
      }
      WriteTail(w, item);
      break;
    case kItemDimension:
      WriteStart(w, item);
      WriteEnd(w, item);
      w.WriteShort(item.GetObjectNumber());
      w.WriteInt(item.GetOffset());
      w.WriteInt(item.GetArrowSize());
      w.WriteInt(item.GetExtensionGap());
      w.WriteInt(item.GetExtension());
      WriteFontWithWidth(w, item);
      w.WriteByte(item.GetDimensionType());
      WriteColour(w, item);
      WriteGroup(w, item);
      w.WriteByte(item.GetLineEnds());
      w.WriteByte(item.GetTextAngleMode());
      w.WriteByte(item.GetTextPosition());
      w.WriteByte(item.GetUnits());
      w.WriteByte(item.GetDecimals());
      break;
    case kItemFill: {
      const int holes = item.GetHoleCount();
      w.WriteInt(holes);
      w.WriteShort(item.GetObjectNumber());
      WriteColour(w, item);
      WriteGroup(w, item);
      WriteFillStyle(w, item.GetFillStyle());
      if (const CHatchPattern* pattern = item.GetHatchPattern()) {
        pattern->Write(w);
      } else {
        w.WriteShort(0);
        w.WriteShort(-1);
      }
      if (const CBoundaryLoop* outer = item.GetBoundary()) {
        outer->Write(w);
      } else {
        w.WriteInt(0);
      }
      for (int i = 0; i < holes; ++i) {
        if (const CBoundaryLoop* hole = item.GetHole(i)) hole->Write(w);
      }
      break;
    }
    default:
      break;
  }
}

// The item sections in the order of the file.
constexpr std::array<int, kItemTypeCount> kSectionOrder = {
    kItemBezier, kItemFill,    kItemLine,       kItemArc,       kItemCircle,
    kItemText,   kItemEllipse, kItemEllipseArc, kItemDimension,
};

// The whole drawing; stops at the first failed write.
void WriteContent(const CZephDoc& doc, CTextFileWriter& w, const std::array<int, 9>& counts) {
  w.SetUtf8Encoding();
  w.WriteLine(QString::fromUtf16(kDrawingFileTag));
  if (!Written()) return;
  for (int type : {kItemBezier, kItemFill, kItemLine, kItemArc, kItemCircle, kItemText,
                   kItemEllipse, kItemDimension}) {
    w.WriteUShort(counts[static_cast<std::size_t>(type)]);
  }
  w.WriteUShort(0);
  w.WriteInt(doc.GetNameCount());
  w.WriteDouble(doc.GetRealWorldScale());
  w.WriteDouble(doc.GetPrintingScale());
  w.WriteUShort(counts[kItemEllipseArc]);
  if (!Written()) return;

  for (int type : kSectionOrder) {
    if (counts[static_cast<std::size_t>(type)] == 0) continue;
    for (int i = 0; i < doc.GetItemCount(); ++i) {
      const CDrawItem* item = doc.GetItem(i);
      if (item == nullptr || item->GetType() != type) continue;
      WriteRecord(w, *item);
      if (!Written()) return;
    }
  }

  for (int i = 0; i < doc.GetNameCount(); ++i) {
    w.WriteUShort(doc.GetNameNumberAt(i));
    w.WriteLine(ToFileLine(doc.GetNameAt(i)));
  }
  if (!Written()) return;

  // The words as a list, so that the count written is the count of words that follow.
  QStringList words;
  CDocDict* dict = doc.GetDocDict();
  if (g_spellChecker && dict != nullptr) {
    dict->RewindWords();
    for (QString word = dict->GetNextWord(); !word.isEmpty(); word = dict->GetNextWord()) {
      words.append(word);
    }
  }
  w.WriteInt(static_cast<int>(words.size()));
  for (const QString& word : words) w.WriteLine(ToFileLine(word));
  if (!Written()) return;

  doc.GetPrintSettings().Write(w);
  w.WriteLine(ToFileLine(doc.GetPicturePath()));
  w.WriteInt(doc.GetPictureX());
  w.WriteInt(doc.GetPictureY());
  w.WriteDouble(doc.GetPictureScale());
  Written();
}

// ---- The file system ----

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

// The folder part of a path: "/a/b.zpd" -> "/a", "/b.zpd" -> "/", "b.zpd" -> "".
QString FolderOf(const QString& path) {
  const qsizetype slash = path.lastIndexOf(u'/');
  if (slash < 0) return {};
  return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString NameOf(const QString& path) {
  QString name;
  GetNameFromPath(path, name);
  return name;
}

bool Exists(const QString& path) {
  struct stat info;
  return ::lstat(Native(path).constData(), &info) == 0;
}

bool IsPlainFile(const QString& path) {
  struct stat info;
  return ::lstat(Native(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool Rename(const QString& from, const QString& to) {
  return std::rename(Native(from).constData(), Native(to).constData()) == 0;
}

// Gives from the name to without replacing a file that has it: false with errno EEXIST when
// one does.
bool RenameNoReplace(const QString& from, const QString& to) {
  const QByteArray source = Native(from);
  const QByteArray target = Native(to);
  if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
      0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system that cannot refuse to replace: a second name, which never replaces.
  if (::link(source.constData(), target.constData()) == 0) {
    ::unlink(source.constData());
    return true;
  }
  if (errno == EEXIST || Exists(to)) {
    errno = EEXIST;
    return false;
  }
  return Rename(from, to);
}

// Where the backup of path goes, as the options choose. folder is made when missing (created
// tells that it was).
struct BackupPlan {
  bool inFolder = false;  // a copy into the sub-folder "Backup"
  bool numbered = false;  // a new name of the series, never replacing an older backup
  QString folder;
  QString name;
  QString path;
  bool folderCreated = false;
};

BackupPlan PlanBackup(const QString& path) {
  BackupPlan plan;
  plan.inFolder = GetOptionFlag(kOptionUseBackupFolder) != 0;
  plan.numbered = GetOptionFlag(kOptionCreateBackupSeries) != 0;
  plan.folder = FolderOf(path);
  if (plan.inFolder) plan.folder = JoinPath(plan.folder, QStringLiteral("Backup"));
  plan.name =
      BackupNameOf(NameOf(path), plan.inFolder ? QStringLiteral("zpd") : QStringLiteral("zpk"));
  if (plan.numbered) MakeUniqueFittedName(plan.folder, plan.name);
  plan.path = JoinPath(plan.folder, plan.name);
  return plan;
}

// The status of a backup that could not be made for the system's error number.
int BackupErrorStatus(int error) {
  return error == ENOSPC || error == EDQUOT ? kFileDiskFull : kFileCannotMoveToBackup;
}

// The new backup under a temporary name in its own folder: another name for the drawing file
// beside it, or a copy into the backup folder that has reached the disk. 1, or 0 with the
// status set.
int MakeNewBackup(const QString& path, const BackupPlan& plan, COwnTemporary& made) {
  if (SaveStepFails(SaveStep::kBackup)) {
    g_fileStatus = kFileCannotMoveToBackup;
    return 0;
  }
  if (!plan.inFolder && made.Link(path, plan.folder)) return 1;
  // A file system without links, or the backup folder: a copy with the file's times.
  if (!made.Create(plan.folder)) {
    g_fileStatus = BackupErrorStatus(errno);
    return 0;
  }
  const int copied = CopyFileKeepTime(path, plan.folder, NameOf(made.Path()));
  if (copied != kCopyDone) {
    LogNumber(copied);
    g_fileStatus = BackupCopyStatus(copied);
    return 0;
  }
  if (!SyncToDisk(made.Path(), false)) {
    g_fileStatus = BackupErrorStatus(errno);
    return 0;
  }
  return 1;
}

// Gives the new backup its name once the drawing has been replaced: over the old backup, or
// as the next free name of the series. A failure leaves the old backup and is only recorded.
void PlaceNewBackup(BackupPlan& plan, COwnTemporary& made) {
  bool placed = false;
  if (!plan.numbered) {
    placed = Rename(made.Path(), plan.path);
  } else {
    // Another program may take a name of the series meanwhile: the next one is tried.
    for (int tries = 0; tries < 10 && !placed; ++tries) {
      placed = RenameNoReplace(made.Path(), plan.path);
      if (placed || errno != EEXIST) break;
      MakeUniqueFittedName(plan.folder, plan.name);
      plan.path = JoinPath(plan.folder, plan.name);
    }
  }
  if (placed) {
    made.Forget();
    return;
  }
  LogString(plan.path);
  made.Remove();
}

// Steps 2 to 6 of a save: the content (written by write into a temporary file) replaces the
// drawing file target (never a link), its old contents becoming the backup. 1, or 0 with the
// status set and every file as it was.
//
// At every moment the drawing's name holds a whole drawing, old or new, and the backup's name
// a whole backup, old or new (or nothing before the first): the new content and the new
// backup are made under temporary names and on the disk before the drawing is replaced, and
// the new backup takes its name only then.
int ReplaceDrawingFile(const QString& target, const std::function<void(CTextFileWriter&)>& write) {
  LogScope trace(kLogReplaceDrawingFile);
  const bool exists = FileExists(target) != 0;
  const QString folder = FolderOf(target);
  RemoveStaleTemporaries(folder);

  // Write and check the new content.
  COwnTemporary temporary;
  if (!temporary.Create(folder)) {
    g_fileStatus = WriterOpenStatus(errno);
    return trace.Return(0, kLogFailed, 1);
  }
  {
    CTextFileWriter writer;
    if (writer.Open(temporary.Path(), true) == 0) {
      temporary.Remove();
      return trace.Return(0, kLogFailed, 2);
    }
    write(writer);
    if (g_fileStatus == kFileOk) {
      writer.Flush();
      if (SaveStepFails(SaveStep::kFlush) && g_fileStatus == kFileOk) g_fileStatus = kFileDiskFull;
    }
    writer.Close();
    if (SaveStepFails(SaveStep::kClose) && g_fileStatus == kFileOk) {
      g_fileStatus = kFileCannotSave;
    }
  }
  if (g_fileStatus == kFileOk &&
      (SaveStepFails(SaveStep::kFlush) || !SyncToDisk(temporary.Path(), false))) {
    g_fileStatus = kFileCannotSave;
  }
  if (g_fileStatus != kFileOk) {
    temporary.Remove();
    return trace.Return(0, kLogFailed, 3);
  }

  // The new drawing keeps the old one's permissions.
  struct stat old;
  if (exists && ::stat(Native(target).constData(), &old) == 0) {
    ::chmod(Native(temporary.Path()).constData(), old.st_mode & 07777);
  }

  BackupPlan plan;
  COwnTemporary newBackup;
  const auto undo = [&](int status, int phase) {
    newBackup.Remove();
    if (plan.folderCreated) ::rmdir(Native(plan.folder).constData());
    temporary.Remove();
    if (g_fileStatus == kFileOk) g_fileStatus = status;
    return trace.Return(0, kLogFailed, phase);
  };

  if (exists) {
    plan = PlanBackup(target);
    if (plan.inFolder) {
      if (FolderExists(plan.folder) == 0) {
        CreateFolderPath(plan.folder);
        plan.folderCreated = true;
        if (FolderExists(plan.folder) == 0) return undo(kFileCannotMoveToBackup, 4);
      }
      RemoveStaleTemporaries(plan.folder);
    }
    // The old backup the new one replaces must be replaceable before the drawing changes.
    if (!plan.numbered && Exists(plan.path)) {
      if (SaveStepFails(SaveStep::kKeepBackup) || IsReadOnlyFile(plan.path) != 0) {
        return undo(kFileBackupReadOnly, 5);
      }
      if (!IsPlainFile(plan.path)) return undo(kFileCannotMoveToBackup, 5);
    }
    if (MakeNewBackup(target, plan, newBackup) == 0) return undo(kFileCannotMoveToBackup, 6);
    SyncToDisk(plan.folder, true);
    PassSavePoint();
  }
  if (SaveStepFails(SaveStep::kRename) || !Rename(temporary.Path(), target)) {
    return undo(kFileCannotSave, 7);
  }
  temporary.Forget();
  PassSavePoint();
  if (exists) {
    PlaceNewBackup(plan, newBackup);
    PassSavePoint();
  }
  // The new names must last too; a folder that cannot be synced changes nothing.
  SyncToDisk(folder, true);
  if (exists && plan.inFolder) SyncToDisk(plan.folder, true);
  PassSavePoint();
  return trace.Return(1);
}

bool SamePathNoCase(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool IsSamplesFolder(QString folder) {
  QString samples = g_samplesFolder;
  RemoveBackslash(folder);
  RemoveBackslash(samples);
  return !samples.isEmpty() && SamePathNoCase(folder, samples);
}

QString CurrentFolder() {
  QString folder;
  GetCurrentFolderOfDrive(0, folder);
  return folder;
}

int AskToReplace(const QString& path) {
  QString text = DrawingFileMessage(kIdsReplaceFile);
  text.replace(QStringLiteral("%1"), NameOf(path));
  return zeph::GetPresenter().ShowMessageBox(text, QString::fromUtf16(kProductName),
                                             zeph::kMbYesNo | zeph::kMbIconExclamation);
}

}  // namespace

void CZephDoc::WriteDrawingFile(const QString& path) {
  LogScope trace(kLogWriteDrawingFile);
  g_fileStatus = kFileOk;
  std::array<int, kItemTypeCount> counts{};
  for (const DrawItemPtr& item : m_items) {
    const int type = item ? item->GetType() : -1;
    if (type >= 0 && type < kItemTypeCount) ++counts[static_cast<std::size_t>(type)];
  }
  // A count the file cannot hold would wrap, and the file could not be read back.
  for (int type = 0; type < kItemTypeCount; ++type) {
    if (counts[static_cast<std::size_t>(type)] > kDrawingFileSectionLimit) {
      SetTooManyItems(type, counts[static_cast<std::size_t>(type)]);
      g_fileStatus = kFileTooManyItems;
      return trace.Exit(kLogFailed, 1);
    }
  }
  if (HasNameThatIsNotText(path)) {
    g_fileStatus = kFileNameNotText;
    return trace.Exit(kLogFailed, 6);
  }
  // A link is saved through: the file it names is replaced, and the link stays.
  const QString target = ResolveFileLinks(path);
  // Protected files are refused before anything is written.
  if (FileExists(target) != 0 && IsReadOnlyFile(target) != 0) {
    g_fileStatus = kFileReadOnly;
    return trace.Exit(kLogFailed, 2);
  }
  if (FileExists(target) != 0) {
    const BackupPlan plan = PlanBackup(target);
    if (FileExists(plan.path) != 0 && IsReadOnlyFile(plan.path) != 0) {
      g_fileStatus = kFileBackupReadOnly;
      return trace.Exit(kLogFailed, 3);
    }
  }
  try {
    if (ReplaceDrawingFile(target, [&](CTextFileWriter& w) { WriteContent(*this, w, counts); }) ==
        0) {
      return trace.Exit(kLogFailed, 4);
    }
  } catch (const std::bad_alloc&) {
    if (g_fileStatus == kFileOk) g_fileStatus = kFileNoMemory;
    return trace.Exit(kLogMemory, 5);
  }
  ClearChanged();
  if (m_docDict) m_docDict->ClearModified();
  trace.Exit();
}

int CZephDoc::SaveDrawing(int ask) {
  LogScope trace(kLogSaveDrawing);
  QString path = m_path;
  try {
    if (HasExtension(path, QStringLiteral("zpk")) != 0)
      SetExtension(path, QStringLiteral("zpd"), 0);
    const bool library = HasExtension(path, QStringLiteral("zsy")) != 0;
    bool showDialog = ask != 0 || path.isEmpty();
    // What the dialog first shows.
    QString dialogFolder = FolderOf(path);
    QString dialogName = NameOf(path);
    if (!showDialog && IsSamplesFolder(FolderOf(path))) {
      // A sample is saved as the user's own, in the current folder, never over a sample.
      path = JoinPath(CurrentFolder(), NameOf(path));
      if (!SamePathNoCase(path, m_path) && FileExists(path) != 0 &&
          AskToReplace(path) != zeph::kIdYes) {
        showDialog = true;
        dialogFolder = FolderOf(path);
        dialogName.clear();
      }
    }
    for (;;) {
      if (showDialog) {
        QString folder = dialogFolder;
        if (folder.isEmpty() || IsSamplesFolder(folder)) folder = CurrentFolder();
        zeph::FileDialogRequest request;
        request.open = false;
        request.defaultExtension = library ? QStringLiteral("zsy") : QStringLiteral("zpd");
        request.fileName = dialogName;
        request.flags = zeph::kOfnHideReadOnly | kOfnNoNetworkButton;
        request.filter = QStringLiteral(
            " Drawing file (*.zpd) |*.zpd| Symbol library file (*.zsy) |*.zsy| All Files (*.*) "
            "|*.*||");
        request.title = QStringLiteral("Saving the drawing");
        request.initialFolder = folder;
        request.filterIndex = library ? 2 : 1;
        const zeph::FileDialogResult result = zeph::GetFileDialogs().ShowFileDialog(request);
        if (result.answer != zeph::kIdOk || result.path.isEmpty()) {
          return trace.Return(0, kLogHandled, 1);
        }
        // The filter chosen decides the kind of file: a symbol library with the second, a
        // drawing with any other.
        QString chosen = result.path;
        SetExtension(chosen,
                     result.filterIndex == 2 ? QStringLiteral("zsy") : QStringLiteral("zpd"), 0);
        if (!SamePathNoCase(chosen, m_path) && FileExists(chosen) != 0 &&
            AskToReplace(chosen) != zeph::kIdYes) {
          dialogFolder = FolderOf(chosen);
          dialogName.clear();
          continue;
        }
        path = chosen;
      }
      WriteDrawingFile(path);
      if (g_fileStatus == kFileOk) {
        // The file cannot hold a pasted background picture; the user is told once it is saved.
        WarnPastedPictureNotSaved();
        break;
      }
      ShowDrawingFileError(path);
      // After a failure the user chooses again.
      showDialog = true;
      dialogFolder = FolderOf(path);
      dialogName = NameOf(path);
    }
    if (!SamePathNoCase(path, m_path)) {
      m_path = path;
      AddToRecentFiles(path);
      GetDocumentHost().UpdateTitle();
    }
    ShowStatusText(DrawingFileMessage(kIdsDrawingSaved), 1);
    return trace.Return(1);
  } catch (const std::exception& e) {
    LogString(QString::fromLatin1(typeid(e).name()));
    ReportGlitch(kGlitchSaveException, 1);
    QString text = DrawingFileMessage(kIdsSaveFailed);
    text.replace(QStringLiteral("%1"), path);
    zeph::GetPresenter().ShowMessageBox(text, QString::fromUtf16(kProductName),
                                        zeph::kMbOk | zeph::kMbIconExclamation);
    return trace.Return(0, kLogFailed, 2);
  }
}
