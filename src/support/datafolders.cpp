#include "support/datafolders.h"

#include <cstdio>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "support/files.h"
#include "support/filestatus.h"
#include "support/help.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/sysinfo.h"
#include "support/textutil.h"

QString g_sharedDataFolder;
QString g_sharedMakerFolder;
QString g_localDataFolder;
QString g_roamingMakerFolder;
QString g_roamingDataFolder;
std::int32_t g_dataFolderError = kDataFolderOk;
QString g_samplesFolder;

namespace {

constexpr int kCodeMakeBackupCopy = 20430;
constexpr int kCodeSharedDataFolder = 20440;
constexpr int kCodeLocalDataFolder = 20442;
constexpr int kCodeRoamingDataFolder = 20444;
constexpr int kCodeRenameToBackup = 20459;

constexpr int kNumberedNameTries = 10000;

const QString kBackupPrefix = QStringLiteral("Backup of ");
const QString kSampleFiles = QStringLiteral("Sample files");
const QString kMyPrefix = QStringLiteral("My ");

bool IsSeparator(QChar c) { return c == u'/' || c == u'\\'; }

// Stored paths written on another system separate their folders with '\'.
QString WithSlashes(QString text) {
  text.replace(u'\\', u'/');
  return text;
}

// The folder without a trailing separator (the root stays "/").
QString WithoutTrailingSeparator(QString folder) {
  while (folder.size() > 1 && IsSeparator(folder.back())) folder.chop(1);
  return folder;
}

// The folder part of a full path: "/a/b.zpd" -> "/a", "/b.zpd" -> "/", "b.zpd" -> "".
QString FolderOf(const QString& path) {
  const qsizetype slash = path.lastIndexOf(kPathSeparator);
  if (slash < 0) return {};
  return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

// The answer of a special-folder query: the folder, or an unknown folder.
int SpecialFolderAnswer(const QString& found, QString& folder) {
  if (found.isEmpty()) {
    folder.clear();
    g_dataFolderError = kSpecialFolderUnknown;
    return 0;
  }
  folder = WithoutTrailingSeparator(found);
  g_dataFolderError = kDataFolderOk;
  return 1;
}

// The XDG user folders use the home folder itself to say "no such folder".
int UserFolder(QStandardPaths::StandardLocation location, bool homeMeansNone, QString& folder) {
  QString found = QStandardPaths::writableLocation(location);
  if (homeMeansNone && !found.isEmpty() &&
      QDir::cleanPath(found) == QDir::cleanPath(QDir::homePath())) {
    found.clear();
  }
  return SpecialFolderAnswer(found, folder);
}

// ---- Symbolic names ----

struct SymbolicName {
  const char16_t* name;
  int code;          // of ClassifyFolderName
  bool inDocuments;  // a product folder inside the documents folder
};

// The order in which a stored path's beginning is compared.
constexpr SymbolicName kSymbolicNames[] = {
    {u"Documents", 1, false}, {u"Pictures", 3, false},     {u"Music", 2, false},
    {u"CAD Files", 1, true},  {u"Drawing Files", 1, true},
};

// Before Vista the product folders and the symbolic names carry "My ".
QString VersionPrefix() { return g_isVistaOrLater != 0 ? QString() : kMyPrefix; }

// The first symbolic name the text begins with (letters without case), or null.
const SymbolicName* MatchSymbolicName(const QString& text, qsizetype from) {
  const QString start = text.mid(from);
  for (const SymbolicName& symbolic : kSymbolicNames) {
    if (StartsWithNoCase(start, QString::fromUtf16(symbolic.name)) != 0) return &symbolic;
  }
  return nullptr;
}

// The real folder a symbolic name stands for, asked of the platform now.
int RealFolderOf(const SymbolicName& symbolic, QString& folder) {
  if (symbolic.code == 2) return GetMyMusicFolder(folder);
  if (symbolic.code == 3) return GetMyPicturesFolder(folder);
  if (GetMyDocumentsFolder(folder) == 0) return 0;
  if (symbolic.inDocuments) {
    folder = JoinPath(folder, VersionPrefix() + QString::fromUtf16(symbolic.name));
  }
  return 1;
}

// 1 when path lies in folder (or is it): the folder's text is followed by '/' or the end.
bool LiesIn(const QString& path, const QString& folder) {
  if (folder.isEmpty() || !path.startsWith(folder)) return false;
  return path.size() == folder.size() || path.at(folder.size()) == kPathSeparator ||
         folder == QStringLiteral("/");
}

// ---- Data folders ----

// Builds maker + product folder names under a special folder.
void BuildDataFolder(const QString& special, QString& makerFolder, QString& dataFolder) {
  makerFolder = JoinPath(special, QString::fromUtf16(kMakerFolderName));
  dataFolder = JoinPath(makerFolder, GetProductFolderName());
}

// ---- The help copy ----

// Copies the help of that name into the folder as this platform keeps help: the file of that
// name when there is one, and the folder of pages beside it with all it holds. True when
// there was something to copy and every copy was made.
bool CopyHelpInto(const QString& helpFileName, const QString& folder) {
  if (!FolderExists(folder)) CreateFolderPath(folder);
  if (!FolderExists(folder)) return false;
  bool copied = false;
  if (FileExists(helpFileName)) {
    if (CopyFileKeepTime(helpFileName, folder) != kCopyDone) return false;
    copied = true;
  }
  const QString pages = HelpFolderOf(helpFileName);
  if (pages != helpFileName && FolderExists(pages)) {
    QString pagesName;
    GetNameFromPath(pages, pagesName);
    const QString target = JoinPath(folder, pagesName);
    CreateFolderPath(target);
    if (!FolderExists(target)) return false;
    QDirIterator it(
        pages, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString source = it.next();
      const QString relative = source.mid(pages.size() + 1);
      const QFileInfo info = it.fileInfo();
      if (info.isDir()) {
        CreateFolderPath(JoinPath(target, relative));
        if (!FolderExists(JoinPath(target, relative))) return false;
      } else if (CopyFileKeepTime(source, FolderOf(JoinPath(target, relative))) != kCopyDone) {
        return false;
      }
    }
    copied = true;
  }
  return copied;
}

}  // namespace

// ---- Paths ----

QString JoinPath(const QString& folder, const QString& name) {
  if (folder.isEmpty()) return name;
  QString path = folder;
  AddBackslash(path);
  path += name;
  return path;
}

QString GetProductFolderName() {
  QString name = GetProductName(kZephorinProductKind);
  AppendInt(name, GetProductVersionDigit(kZephorinProductKind));
  return name;
}

// ---- Special folders ----

int GetCommonDocumentsFolder(QString& folder) {
  const QStringList folders = qEnvironmentVariable("XDG_DATA_DIRS").split(u':', Qt::SkipEmptyParts);
  for (const QString& candidate : folders) {
    if (QDir::isAbsolutePath(candidate))
      return SpecialFolderAnswer(QDir::cleanPath(candidate), folder);
  }
  return SpecialFolderAnswer(QStringLiteral("/usr/local/share"), folder);
}

int GetLocalAppDataFolder(QString& folder) {
  return UserFolder(QStandardPaths::GenericDataLocation, false, folder);
}

int GetAppDataFolder(QString& folder) {
  return UserFolder(QStandardPaths::GenericConfigLocation, false, folder);
}

int GetMyDocumentsFolder(QString& folder) {
  return UserFolder(QStandardPaths::DocumentsLocation, false, folder);
}

int GetMyMusicFolder(QString& folder) {
  return UserFolder(QStandardPaths::MusicLocation, true, folder);
}

int GetMyPicturesFolder(QString& folder) {
  return UserFolder(QStandardPaths::PicturesLocation, true, folder);
}

// ---- Data folders ----

int GetSharedDataFolder(int create) {
  LogScope trace(kCodeSharedDataFolder);
  try {
    g_dataFolderError = kDataFolderOk;
    if (g_sharedDataFolder.isEmpty()) {
      QString common;
      if (GetCommonDocumentsFolder(common) == 0) return trace.Return(0, kLogFailed, 1);
      BuildDataFolder(common, g_sharedMakerFolder, g_sharedDataFolder);
      if (create != 0 && !FolderExists(g_sharedDataFolder)) {
        trace.Step(2);
        CreateFolderPath(g_sharedDataFolder);
      }
    }
    // The maker folder keeps the permissions it has: the hidden and system attributes it
    // would be given elsewhere do not exist here.
    if (FolderExists(g_sharedDataFolder)) return trace.Return(1);
    g_sharedDataFolder.clear();
    g_dataFolderError = kDataFolderNotMade;
    return trace.Return(0, kLogFailed, 3);
  } catch (const std::bad_alloc&) {
    g_sharedDataFolder.clear();
    return trace.Return(0, kLogMemory, 4);
  }
}

int GetLocalDataFolder() {
  LogScope trace(kCodeLocalDataFolder);
  try {
    g_dataFolderError = kDataFolderOk;
    if (g_localDataFolder.isEmpty()) {
      QString local;
      if (GetLocalAppDataFolder(local) == 0) return trace.Return(0, kLogFailed, 1);
      QString maker;
      BuildDataFolder(local, maker, g_localDataFolder);
      if (!FolderExists(g_localDataFolder)) {
        trace.Step(2);
        CreateFolderPath(g_localDataFolder);
      }
    }
    if (FolderExists(g_localDataFolder)) return trace.Return(1);
    g_localDataFolder.clear();
    return trace.Return(0, kLogFailed, 3);
  } catch (const std::bad_alloc&) {
    g_localDataFolder.clear();
    return trace.Return(0, kLogMemory, 4);
  }
}

int GetRoamingDataFolder() {
  LogScope trace(kCodeRoamingDataFolder);
  try {
    if (g_roamingMakerFolder.isEmpty() || g_roamingDataFolder.isEmpty()) {
      QString roaming;
      if (GetAppDataFolder(roaming) == 0) {
        SetGlitchValue(g_dataFolderError);
        ReportGlitch(kCodeRoamingDataFolder, 1);
        g_roamingMakerFolder.clear();
        g_roamingDataFolder.clear();
        return trace.Return(0, kLogFailed, 1);
      }
      BuildDataFolder(roaming, g_roamingMakerFolder, g_roamingDataFolder);
      if (!FolderExists(g_roamingMakerFolder)) {
        trace.Step(2);
        CreateFolderPath(g_roamingMakerFolder);
        if (!FolderExists(g_roamingMakerFolder)) {
          SetGlitchMessage(g_roamingMakerFolder);
          ReportGlitch(kCodeRoamingDataFolder, 3);
        }
      }
      if (!FolderExists(g_roamingDataFolder)) {
        trace.Step(3);
        CreateFolderPath(g_roamingDataFolder);
      }
    }
    int missing = 0;
    if (!FolderExists(g_roamingMakerFolder)) {
      SetGlitchMessage(g_roamingMakerFolder);
      missing = 4;
    } else if (!FolderExists(g_roamingDataFolder)) {
      SetGlitchMessage(g_roamingDataFolder);
      missing = 5;
    }
    if (missing == 0) return trace.Return(1);
    ReportGlitch(kCodeRoamingDataFolder, missing);
    g_roamingMakerFolder.clear();
    g_roamingDataFolder.clear();
    return trace.Return(0, kLogFailed, missing);
  } catch (const std::bad_alloc&) {
    g_roamingMakerFolder.clear();
    g_roamingDataFolder.clear();
    return trace.Return(0, kLogMemory, 6);
  }
}

void CopyHelpFileToLocal() {
  if (g_currentHelpFile < 0 || g_currentHelpFile >= kHelpFileCount) return;
  const auto current = static_cast<std::size_t>(g_currentHelpFile);
  try {
    const QString source = g_helpFileNames[current];
    QString target;
    if (GetLocalDataFolder() != 0 && IsNetworkPath(g_localDataFolder) == 0 &&
        CopyHelpInto(source, g_localDataFolder)) {
      target = g_localDataFolder;
    } else if (CopyHelpInto(source, QDir::tempPath())) {
      target = QDir::tempPath();
    }
    if (target.isEmpty()) {
      g_helpFileCopied[current] = 0;
      return;
    }
    QString name;
    GetNameFromPath(source, name);
    g_helpFileNames[current] = JoinPath(target, name);
    g_helpFileCopied[current] = 1;
  } catch (const std::bad_alloc&) {
    g_helpFileCopied[current] = 0;
  }
}

// ---- Symbolic paths ----

int ExpandFolderName(QString& path) {
  QString text = path;
  TrimText(text);
  if (StartsWithNoCase(text, kMyPrefix) != 0) text.remove(0, kMyPrefix.size());
  const SymbolicName* symbolic = MatchSymbolicName(text, 0);
  if (symbolic == nullptr) return 0;
  QString rest = text.mid(QStringView(symbolic->name).size());
  TrimText(rest);
  // "Documents2/a" is a plain name that merely begins like a symbolic one.
  if (!rest.isEmpty() && !IsSeparator(rest.front())) return 0;
  QString folder;
  if (RealFolderOf(*symbolic, folder) == 0) return 0;
  path = folder + WithSlashes(rest);
  return 1;
}

QString ContractFolderName(const QString& path) {
  struct Candidate {
    QString folder;
    QString name;
  };
  std::vector<Candidate> candidates;
  QString folder;
  if (GetMyMusicFolder(folder) != 0) candidates.push_back({folder, QStringLiteral("Music")});
  if (GetMyPicturesFolder(folder) != 0) candidates.push_back({folder, QStringLiteral("Pictures")});
  QString documents;
  if (GetMyDocumentsFolder(documents) != 0) {
    for (const SymbolicName& symbolic : kSymbolicNames) {
      if (!symbolic.inDocuments) continue;
      // Only the sub-folder the name expands to again: a "My CAD Files" folder on a system
      // that names it "CAD Files" stays under "Documents".
      const QString name = QString::fromUtf16(symbolic.name);
      candidates.push_back({JoinPath(documents, VersionPrefix() + name), name});
    }
    candidates.push_back({documents, QStringLiteral("Documents")});
  }
  // A folder that is only a prefix of the path's folder ("Documents2" beside "Documents")
  // does not hold the path: the next, wider folder may.
  for (const Candidate& candidate : candidates) {
    if (candidate.folder != QStringLiteral("/") && LiesIn(path, candidate.folder)) {
      return VersionPrefix() + candidate.name + path.mid(candidate.folder.size());
    }
  }
  return {};
}

int ClassifyFolderName(const QString& path, QString& rest) {
  rest.clear();
  qsizetype pos = SkipBlanks(path, 0);
  if (StartsWithNoCase(path.mid(pos), kMyPrefix) != 0) pos += kMyPrefix.size();
  const SymbolicName* symbolic = MatchSymbolicName(path, pos);
  if (symbolic == nullptr) return 0;
  if (symbolic->inDocuments) rest = VersionPrefix() + QString::fromUtf16(symbolic->name);
  pos = SkipBlanks(path, int(pos + QStringView(symbolic->name).size()));
  if (pos >= path.size()) return symbolic->code;
  if (!IsSeparator(path.at(pos))) {
    rest.clear();
    return 0;
  }
  const QString after = WithSlashes(path.mid(pos + 1));
  if (!rest.isEmpty() && !after.isEmpty()) rest += kPathSeparator;
  rest += after;
  return symbolic->code;
}

void ExpandSamplePath(QString& path) {
  if (!g_samplesFolder.isEmpty()) {
    const int pos = SkipBlanks(path, 0);
    if (StartsWithNoCase(path.mid(pos), kSampleFiles) != 0) {
      const QString rest = WithSlashes(path.mid(SkipBlanks(path, pos + int(kSampleFiles.size()))));
      const QString folder = WithoutTrailingSeparator(g_samplesFolder);
      if (rest.isEmpty()) {
        path = folder;
      } else if (rest.front() == kPathSeparator) {
        path = folder + rest;
      } else {
        path = JoinPath(folder, rest);
      }
      return;
    }
  }
  ExpandFolderName(path);
}

QString ContractSamplePath(const QString& path) {
  QString symbolic = ContractFolderName(path);
  if (!symbolic.isEmpty()) return symbolic;
  const QString folder = WithoutTrailingSeparator(g_samplesFolder);
  if (folder.isEmpty() || folder == QStringLiteral("/") || !LiesIn(path, folder)) return {};
  return kSampleFiles + path.mid(folder.size());
}

// ---- Numbered names ----

QString NextNumberedName(const QString& path) {
  const int dot = FindExtension(path);
  const QString part = path.left(dot);
  const QString extension = path.mid(dot);
  if (part.endsWith(u')')) {
    qsizetype open = part.size() - 2;
    while (open >= 0 && IsDigitChar(part.at(open))) --open;
    if (open >= 0 && part.at(open) == u'(') {
      // "()" counts as 1; a number too large to count on is a name like any other.
      std::int64_t n = 1;
      const qsizetype digits = part.size() - 2 - open;
      if (digits > 0) {
        n = 0;
        for (qsizetype i = open + 1; i < part.size() - 1 && n < 1000000000; ++i)
          n = n * 10 + (part.at(i).unicode() - u'0');
      }
      if (n < 1000000000) {
        QString next = part.left(open + 1);
        AppendInt(next, int(n + 1));
        next += u')';
        return next + extension;
      }
    }
  }
  return part + QStringLiteral("(2)") + extension;
}

void MakeUniqueName(QString& path) {
  for (int tries = 0; tries < kNumberedNameTries && FileExists(path) != 0; ++tries)
    path = NextNumberedName(path);
}

void MakeUniqueNameInFolder(const QString& folder, QString& name) {
  for (int tries = 0; tries < kNumberedNameTries && FileExists(JoinPath(folder, name)) != 0;
       ++tries) {
    name = NextNumberedName(name);
  }
}

// ---- Backup names ----

namespace {

// Room kept in a shortened name for the longest number of the series, "(10001)".
constexpr int kSeriesRoom = 7;

int Utf8Length(QStringView text) { return int(text.toUtf8().size()); }

// FNV-1a over the UTF-8 bytes: the same on every run and machine.
QString NameHash(const QString& text) {
  std::uint32_t hash = 2166136261u;
  for (const char byte : text.toUtf8()) {
    hash ^= std::uint8_t(byte);
    hash *= 16777619u;
  }
  return QStringLiteral("%1").arg(hash, 8, 16, QLatin1Char('0'));
}

// The text cut to at most bytes bytes of UTF-8, never inside a character.
QString CutToBytes(const QString& text, int bytes) {
  int used = 0;
  qsizetype end = 0;
  while (end < text.size()) {
    const qsizetype next = end + (text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1);
    const int size = Utf8Length(QStringView(text).mid(end, next - end));
    if (used + size > bytes) break;
    used += size;
    end = next;
  }
  return text.left(end);
}

}  // namespace

QString BackupNameOf(const QString& fileName, const QString& extension) {
  QString name = kBackupPrefix + fileName;
  SetExtension(name, extension, 0);
  return FitFileName(name);
}

QString FitFileName(const QString& name) {
  if (Utf8Length(name) <= kMaxFileNameBytes) return name;
  const int dot = FindExtension(name);
  const QString extension = name.mid(dot);
  QString part = name.left(dot);
  QString series;
  if (part.endsWith(u')')) {
    qsizetype open = part.size() - 2;
    while (open >= 0 && IsDigitChar(part.at(open))) --open;
    if (open >= 0 && part.at(open) == u'(') {
      series = part.mid(open);
      part.truncate(open);
    }
  }
  const QString hash = QLatin1Char('~') + NameHash(part);
  const int room = kMaxFileNameBytes - Utf8Length(extension) - Utf8Length(hash) -
                   std::max(kSeriesRoom, Utf8Length(series));
  return CutToBytes(part, std::max(room, 0)) + hash + series + extension;
}

void MakeUniqueFittedName(const QString& folder, QString& name) {
  QString candidate = name;
  QString fitted = FitFileName(candidate);
  for (int tries = 0; tries < kNumberedNameTries && FileExists(JoinPath(folder, fitted)) != 0;
       ++tries) {
    candidate = NextNumberedName(candidate);
    fitted = FitFileName(candidate);
  }
  name = fitted;
}

int BackupCopyStatus(int copyResult) {
  if (copyResult == kCopyTargetReadOnly) return kFileBackupReadOnly;
  if (copyResult == kCopyDiskFull) return kFileDiskFull;
  return kFileCannotMoveToBackup;
}

// ---- Backups ----

int MakeBackupCopy(const QString& path, const QString& extension, int numbered) {
  LogScope trace(kCodeMakeBackupCopy);
  try {
    if (FileExists(path) == 0) return trace.Return(1, kLogOk, 1);
    const QString folder = JoinPath(FolderOf(path), QStringLiteral("Backup"));
    if (FolderExists(folder) == 0) {
      trace.Step(2);
      CreateFolderPath(folder);
    }
    QString name;
    GetNameFromPath(path, name);
    name = BackupNameOf(name, extension);
    if (numbered != 0) MakeUniqueFittedName(folder, name);
    const int copied = CopyFileKeepTime(path, folder, name);
    if (copied == kCopyDone) return trace.Return(1);
    LogNumber(copied);
    g_fileStatus = BackupCopyStatus(copied);
    return trace.Return(0, kLogFailed, 4);
  } catch (const std::bad_alloc&) {
    g_fileStatus = kFileNoMemory;
    return trace.Return(0, kLogMemory, 5);
  }
}

int RenameToBackup(const QString& path, const QString& extension, int numbered) {
  LogScope trace(kCodeRenameToBackup);
  try {
    if (FileExists(path) == 0) return trace.Return(1, kLogOk, 1);
    QString name;
    GetNameFromPath(path, name);
    name = BackupNameOf(name, extension);
    if (numbered != 0) MakeUniqueFittedName(FolderOf(path), name);
    const QString backup = JoinPath(FolderOf(path), name);
    // A protected backup is never replaced (a numbered series may have run out of names).
    if (FileExists(backup) != 0 && IsReadOnlyFile(backup) != 0) {
      g_fileStatus = kFileBackupReadOnly;
      return trace.Return(0, kLogFailed, 3);
    }
    if (IsReadOnlyFile(path) != 0) {
      g_fileStatus = kFileReadOnly;
      return trace.Return(0, kLogFailed, 4);
    }
    // The rename replaces an older backup in one step, so that backup is kept whenever the
    // rename is refused; a refused rename leaves the file where it is and must stop the save.
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(backup).constData()) !=
        0) {
      LogString(backup);
      g_fileStatus = kFileCannotMoveToBackup;
      return trace.Return(0, kLogFailed, 1);
    }
    return trace.Return(1);
  } catch (const std::bad_alloc&) {
    g_fileStatus = kFileNoMemory;
    return trace.Return(0, kLogMemory, 6);
  }
}

void ResetDataFolders() {
  g_sharedDataFolder.clear();
  g_sharedMakerFolder.clear();
  g_localDataFolder.clear();
  g_roamingMakerFolder.clear();
  g_roamingDataFolder.clear();
  g_dataFolderError = kDataFolderOk;
  g_samplesFolder.clear();
}
