#include "support/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <new>
#include <vector>

#include "support/log.h"
#include "support/textutil.h"

namespace {

QByteArray NativePath(const QString& path) { return QFile::encodeName(path); }

bool StatPath(const QString& path, struct stat& st) {
  if (path.isEmpty()) return false;
  return ::stat(NativePath(path).constData(), &st) == 0;
}

int AttributesOfMode(mode_t mode) {
  int attributes = 0;
  if (S_ISDIR(mode)) attributes |= kAttrDirectory;
  if ((mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
  return attributes;
}

// Owns a file descriptor and closes it on every way out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : m_fd(fd) {}
  ~FileDescriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return m_fd; }
  bool IsOpen() const { return m_fd >= 0; }
  // Closes now; 0, or the errno of a failed close (a late write error of the file system).
  int Close() {
    const int fd = m_fd;
    m_fd = -1;
    if (fd < 0) return 0;
    if (::close(fd) == 0 || errno == EINTR) return 0;  // on Linux the descriptor is gone anyway
    return errno;
  }

 private:
  int m_fd;
};

int CreateFailureCode(int error, const QString& target) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return kCopyDiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
      return IsReadOnlyFile(target) ? kCopyTargetReadOnly : kCopyAccessDenied;
    case EIO:
      return kCopyHardwareFault;
    default:
      return kCopyCannotCreate;
  }
}

int WriteFailureCode(int error) {
  return (error == ENOSPC || error == EDQUOT) ? kCopyDiskFull : kCopyWriteFailed;
}

// Writes the whole block; 0, or the errno of the failed write.
int WriteAll(int fd, const char* data, ssize_t size) {
  ssize_t done = 0;
  while (done < size) {
    const ssize_t written = ::write(fd, data + done, size_t(size - done));
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return EIO;
    done += written;
  }
  return 0;
}

// The path with links resolved as far as it exists, so that the mount holding it is found.
QString ResolvedAbsolutePath(const QString& path) {
  const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
  QString existing = absolute;
  QString rest;
  while (existing.size() > 1 && !QFileInfo::exists(existing)) {
    const int slash = existing.lastIndexOf(kPathSeparator);
    if (slash < 0) break;
    rest.prepend(existing.mid(slash));
    existing = slash > 0 ? existing.left(slash) : QStringLiteral("/");
  }
  QString resolved = QFileInfo(existing).canonicalFilePath();
  if (resolved.isEmpty()) resolved = existing;
  if (resolved == QStringLiteral("/") && rest.startsWith(kPathSeparator)) return rest;
  return resolved + rest;
}

// Mount points in the mount table escape blanks, tabs, line ends and backslashes as "\ooo".
QString UnescapeMountField(const QString& field) {
  QString out;
  out.reserve(field.size());
  for (int i = 0; i < field.size(); ++i) {
    if (field[i] == u'\\' && i + 3 < field.size()) {
      int value = 0;
      bool octal = true;
      for (int k = 1; k <= 3; ++k) {
        const char16_t c = field[i + k].unicode();
        if (c < u'0' || c > u'7') {
          octal = false;
          break;
        }
        value = value * 8 + (c - u'0');
      }
      if (octal) {
        out += QChar(char16_t(value));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

// Case-insensitive wild-card match with '*' and '?', backtracking to the last '*'.
bool Glob(const QString& name, const QString& pattern) {
  int n = 0;
  int p = 0;
  int starP = -1;
  int starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == u'?' || ToLowerChar(pattern[p]) == ToLowerChar(name[n]))) {
      ++p;
      ++n;
    } else if (starP >= 0) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

bool SameFolder(const QString& a, const QString& b) {
  QString first = a;
  QString second = b;
  RemoveBackslash(first);
  RemoveBackslash(second);
  if (first == second) return true;
  const QString canonicalFirst = QFileInfo(first).canonicalFilePath();
  return !canonicalFirst.isEmpty() && canonicalFirst == QFileInfo(second).canonicalFilePath();
}

// A handled outcome that ends the function: the point is recorded, then a normal exit closes
// the function's entry in the log's call stack (a handled value alone would leave it open).
template <typename T>
T ReturnHandled(const LogScope& trace, T result, int phase) {
  trace.Step(phase, kLogHandled);
  return trace.Return(result);
}

void ExitHandled(const LogScope& trace, int phase) {
  trace.Step(phase, kLogHandled);
  trace.Exit();
}

}  // namespace

// ---- Path text ----

void AddBackslash(QString& path) {
  if (!path.isEmpty() && !path.endsWith(kPathSeparator)) path += kPathSeparator;
}

void RemoveBackslash(QString& path) {
  if (path.endsWith(kPathSeparator)) path.chop(1);
}

int FindExtension(const QString& path) {
  const int slash = int(path.lastIndexOf(kPathSeparator));
  const int dot = int(path.lastIndexOf(u'.'));
  return dot > slash ? dot : int(path.size());
}

int HasExtension(const QString& path, const QString& extension) {
  const int dot = FindExtension(path);
  if (dot >= path.size()) return 0;
  return CompareNoCase(path.mid(dot + 1), extension) == 0 ? 1 : 0;
}

void StripExtension(QString& path) { path.truncate(FindExtension(path)); }

void SetExtension(QString& path, const QString& extension, int keepWhole) {
  StripExtension(path);
  QString text = extension.startsWith(u'.') ? extension.mid(1) : extension;
  if (keepWhole == 0 && text.size() >= 4) text.truncate(3);
  path += u'.';
  path += text;
}

void GetNameFromPath(const QString& path, QString& name) {
  name = path.mid(path.lastIndexOf(kPathSeparator) + 1);
}

void GetFolderOfPath(const QString& path, QString& folder) {
  const int slash = int(path.lastIndexOf(kPathSeparator));
  folder = slash >= 2 ? path.left(slash) : QString();
}

int IsFullPath(const QString& path) {
  return (path.size() >= 2 && path[0] == kPathSeparator) ? 1 : 0;
}

// ---- File-system tests ----

int GetFileAttributesOf(const QString& path) {
  struct stat st;
  if (!StatPath(path, st)) return -1;
  return AttributesOfMode(st.st_mode);
}

int FileExists(const QString& path) {
  const int attributes = GetFileAttributesOf(path);
  return (attributes != -1 && (attributes & (kAttrDirectory | kAttrVolumeLabel)) == 0) ? 1 : 0;
}

int FolderExists(const QString& path) {
  const int attributes = GetFileAttributesOf(path);
  return (attributes != -1 && (attributes & kAttrDirectory) != 0) ? 1 : 0;
}

int IsReadOnlyFile(const QString& path) {
  const int attributes = GetFileAttributesOf(path);
  return (attributes != -1 && (attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem)) != 0) ? 1
                                                                                               : 0;
}

int SetCurrentFolder(const QString& path) {
  if (path.isEmpty()) return 0;
  return QDir::setCurrent(path) ? 1 : 0;
}

void GetCurrentFolderOfDrive(int /*drive*/, QString& folder) {
  folder = QDir::currentPath();
  if (folder.isEmpty()) folder = QStringLiteral("/");
}

int IsNetworkFileSystemType(const QString& type) {
  static const char16_t* const kNetworkTypes[] = {u"cifs", u"smb3", u"nfs", u"nfs4", u"fuse.sshfs"};
  for (const char16_t* known : kNetworkTypes) {
    if (type == QStringView(known)) return 1;
  }
  return 0;
}

QString FindMountType(const QString& absolutePath, const QString& mountTable) {
  QString type;
  qsizetype longest = -1;
  const QStringList lines = mountTable.split(u'\n', Qt::SkipEmptyParts);
  for (const QString& line : lines) {
    const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
    if (fields.size() < 3) continue;
    QString mountPoint = UnescapeMountField(fields[1]);
    if (mountPoint.size() > 1) RemoveBackslash(mountPoint);
    const bool holds =
        mountPoint == QStringLiteral("/") || absolutePath == mountPoint ||
        (absolutePath.startsWith(mountPoint) && absolutePath[mountPoint.size()] == kPathSeparator);
    // A later mount on the same point hides the earlier one.
    if (holds && mountPoint.size() >= longest) {
      longest = mountPoint.size();
      type = fields[2];
    }
  }
  return type;
}

int IsNetworkPath(const QString& path) {
  try {
    if (path.size() >= 3 && path.startsWith(QStringLiteral("//"))) return 1;
    if (path.isEmpty()) return 0;
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly)) return 0;
    const QString table = QString::fromUtf8(mounts.readAll());
    return IsNetworkFileSystemType(FindMountType(ResolvedAbsolutePath(path), table));
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

// ---- Larger operations ----

int CopyFileKeepTime(const QString& source, const QString& targetFolder,
                     const QString& targetName) {
  LogScope trace(20432);
  try {
    // 1. The target path.
    QString target = targetFolder;
    AddBackslash(target);
    if (!targetName.isEmpty()) {
      QString name = targetName;
      if (FindExtension(name) >= name.size()) {
        const int dot = FindExtension(source);
        if (dot < source.size()) SetExtension(name, source.mid(dot + 1), 1);
      }
      target += name;
    } else {
      QString name;
      GetNameFromPath(source, name);
      target += name;
    }

    // 2. Copying a file onto itself would truncate it: the same text, or another spelling of
    // the same file (a link, "..", a doubled separator).
    if (target == source) return ReturnHandled(trace, kCopySamePath, 2);
    struct stat sourceStat;
    struct stat targetStat;
    if (StatPath(source, sourceStat) && StatPath(target, targetStat) &&
        sourceStat.st_dev == targetStat.st_dev && sourceStat.st_ino == targetStat.st_ino) {
      return ReturnHandled(trace, kCopySamePath, 2);
    }

    // 3. The copy buffer.
    constexpr ssize_t kBufferSize = 65536;
    std::vector<char> buffer(kBufferSize);

    // 4. The source. Only a plain file is copied: a folder, pipe or device is refused (a
    // pipe would wait for a writer and a device might never end).
    FileDescriptor input(::open(NativePath(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!input.IsOpen()) return trace.Return(kCopyCannotOpenSource, kLogFailed, 4);
    if (::fstat(input.get(), &sourceStat) != 0 || !S_ISREG(sourceStat.st_mode)) {
      return trace.Return(kCopyCannotOpenSource, kLogFailed, 4);
    }

    // 5. The target. A read-only target is never replaced, even for a user whom the
    // permissions would let write it.
    if (IsReadOnlyFile(target)) return trace.Return(kCopyTargetReadOnly, kLogFailed, 5);
    const QByteArray nativeTarget = NativePath(target);
    FileDescriptor output(
        ::open(nativeTarget.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!output.IsOpen()) {
      return trace.Return(CreateFailureCode(errno, target), kLogFailed, 5);
    }
    struct stat outputStat;
    const bool outputIsFile =
        ::fstat(output.get(), &outputStat) == 0 && S_ISREG(outputStat.st_mode);
    // Removes what was written so far; never a device such as /dev/full.
    auto dropPartialTarget = [&]() {
      output.Close();
      if (outputIsFile) DeleteFileClearingAttributes(target, 1);
    };

    // 6 and 7. Copy block by block. A failed read is a failure, never a short copy.
    for (;;) {
      const ssize_t got = ::read(input.get(), buffer.data(), size_t(kBufferSize));
      if (got < 0) {
        if (errno == EINTR) continue;
        dropPartialTarget();
        return trace.Return(kCopyReadFailed, kLogFailed, 6);
      }
      if (got == 0) break;
      const int error = WriteAll(output.get(), buffer.data(), got);
      if (error != 0) {
        dropPartialTarget();
        return trace.Return(WriteFailureCode(error), kLogFailed, 7);
      }
    }
    const int closeError = output.Close();
    if (closeError != 0) {
      if (outputIsFile) DeleteFileClearingAttributes(target, 1);
      return trace.Return(WriteFailureCode(closeError), kLogFailed, 7);
    }

    // The copy keeps the source's times and permissions (and so its read-only state). The
    // copy itself is made, so a failure here is only recorded.
    if (outputIsFile) {
      const struct timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
      const bool timesSet = ::utimensat(AT_FDCWD, nativeTarget.constData(), times, 0) == 0;
      const bool modeSet = ::chmod(nativeTarget.constData(), sourceStat.st_mode & 0777) == 0;
      if (!timesSet || !modeSet) trace.Step(6, kLogHandled);
    }
    return trace.Return(kCopyDone);
  } catch (const std::bad_alloc&) {
    return trace.Return(kCopyNoMemory, kLogMemory, 3);
  }
}

void CreateFolderPath(const QString& path) {
  LogScope trace(20433);
  try {
    const int length = int(path.size());
    int start = 0;
    while (start < length && path[start] == kPathSeparator) ++start;
    // "//server/share": the server and share are not folders to be made here.
    int notFolders = start >= 2 ? 2 : 0;
    for (int i = start + 1; i <= length; ++i) {
      if (i < length && path[i] != kPathSeparator) continue;
      if (path[i - 1] == kPathSeparator) continue;  // a doubled or trailing separator
      if (notFolders > 0) {
        --notFolders;
        continue;
      }
      // Existing folders are left exactly as they are: only missing ones are made.
      const QByteArray prefix = NativePath(path.left(i));
      struct stat st;
      if (::stat(prefix.constData(), &st) != 0) ::mkdir(prefix.constData(), 0777);
    }
  } catch (const std::bad_alloc&) {
    trace.Exit(kLogMemory, 1);
    return;
  }
  trace.Exit();
}

void DeleteFileClearingAttributes(const QString& path, int force) {
  LogScope trace(20436);
  try {
    struct stat st;
    if (!StatPath(path, st)) {
      ExitHandled(trace, 1);
      return;
    }
    const int attributes = AttributesOfMode(st.st_mode);
    if ((attributes & (kAttrDirectory | kAttrVolumeLabel)) != 0) {
      SetGlitchValue(attributes);
      ReportGlitch(20436, 1);
      trace.Exit(kLogInvalid, 3);
      return;
    }
    // Device nodes, pipes and sockets are never the program's files.
    if (!S_ISREG(st.st_mode)) {
      ExitHandled(trace, 3);
      return;
    }
    // Removing a name needs no write permission on the file itself, so a protected file
    // is simply left alone without force and removed with it.
    if ((attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem)) != 0 && force == 0) {
      ExitHandled(trace, 4);
      return;
    }
    QFile file(path);
    if (!file.remove()) {
      LogString(file.errorString());
      LogNumber(1);  // a file error
      trace.Exit(kLogFailed, 5);
      return;
    }
  } catch (const std::bad_alloc&) {
    trace.Exit(kLogMemory, 5);
    return;
  }
  trace.Exit();
}

int CopyAllFiles(const QString& sourceFolder, const QString& targetFolder, int move) {
  LogScope trace(20446);
  try {
    if (!FolderExists(sourceFolder) || !FolderExists(targetFolder) ||
        SameFolder(sourceFolder, targetFolder)) {
      return ReturnHandled(trace, 0, 1);
    }
    // Plain files (and links to them), in listing order; sub-folders are not copied.
    const QStringList names =
        QDir(sourceFolder).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    if (names.isEmpty()) return ReturnHandled(trace, 0, 2);
    QString folder = sourceFolder;
    AddBackslash(folder);
    int copied = 0;
    for (const QString& name : names) {
      const QString file = folder + name;
      if (CopyFileKeepTime(file, targetFolder) != kCopyDone) continue;
      ++copied;
      if (move != 0) DeleteFileClearingAttributes(file, 1);
    }
    return trace.Return(copied);
  } catch (const std::bad_alloc&) {
    return trace.Return(0, kLogMemory, 3);
  }
}

// ---- Folder listing ----

bool MatchesWildcard(const QString& name, const QString& pattern) {
  if (Glob(name, pattern)) return true;
  return pattern.endsWith(QStringLiteral(".*")) && Glob(name, pattern.left(pattern.size() - 2));
}

CFolderSearch::CFolderSearch() = default;
CFolderSearch::~CFolderSearch() = default;

bool CFolderSearch::First(const QString& path, int kind, QString& name, bool folderLinks) {
  Close();
  const int slash = int(path.lastIndexOf(kPathSeparator));
  QString folder;
  if (slash < 0) {
    folder = QStringLiteral(".");
  } else if (slash == 0) {
    folder = QStringLiteral("/");
  } else {
    folder = path.left(slash);
  }
  m_namePattern = path.mid(slash + 1);
  m_iterator = std::make_unique<QDirIterator>(
      folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  return Next(kind, name, folderLinks);
}

bool CFolderSearch::Next(int kind, QString& name, bool folderLinks) {
  if (!m_iterator) return false;
  while (m_iterator->hasNext()) {
    m_iterator->next();
    const QFileInfo info = m_iterator->fileInfo();
    const QString found = info.fileName();
    if (!MatchesWildcard(found, m_namePattern)) continue;
    const bool take =
        kind == 1 ? (info.isDir() && (folderLinks || !info.isSymLink())) : info.isFile();
    if (take) {
      name = found;
      return true;
    }
  }
  Close();
  return false;
}

void CFolderSearch::Close() {
  m_iterator.reset();
  m_namePattern.clear();
}

void CDirectoryScan::Start(const QString& pattern, int mode) {
  m_search.Close();
  m_pattern = pattern;
  m_mode = mode;
  m_state = 0;
}

bool CDirectoryScan::Next(QString& name) {
  LogScope trace(26001);
  const int kind = m_mode == 1 ? 1 : 0;
  try {
    bool found = false;
    if (m_state == 0) {
      found = m_search.First(m_pattern, kind, name);
    } else if (m_state == 1) {
      found = m_search.Next(kind, name);
    } else {
      return ReturnHandled(trace, false, 1);
    }
    m_state = found ? 1 : -1;
    return trace.Return(found);
  } catch (const std::bad_alloc&) {
    m_search.Close();
    m_state = -1;
    return trace.Return(false, kLogMemory, 2);
  }
}
