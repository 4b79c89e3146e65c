#include "support/safesave.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <cerrno>
#include <cstring>

#include "support/datafolders.h"

namespace {

constexpr int kNameTries = 100;
constexpr int kLinkDepth = 40;
constexpr int kRandomChars = 6;

bool g_syncToDisk = true;

// The prefix as the file system holds it.
constexpr char kPrefixBytes[] = ".~zeph";
constexpr bool SamePrefix() {
  for (std::size_t i = 0; i < sizeof kPrefixBytes; ++i)
    if (char16_t(kPrefixBytes[i]) != kOwnTemporaryPrefix[i]) return false;
  return true;
}
static_assert(SamePrefix());

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

QString FolderOf(const QString& path) {
  const qsizetype slash = path.lastIndexOf(u'/');
  if (slash < 0) return QStringLiteral(".");
  return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString NewTemporaryName() {
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  QString name = QString::fromUtf16(kOwnTemporaryPrefix);
  name += QString::number(::getpid());
  name += u'.';
  quint32 random = QRandomGenerator::global()->generate();
  for (int i = 0; i < kRandomChars; ++i) {
    name += QLatin1Char(kDigits[random % 36]);
    random /= 36;
  }
  return name;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A lock that says "in use" to RemoveStaleTemporaries. False only when the file is already
// locked by another (a sweeper testing it); a file system without locks counts as locked,
// as the process number in the name then speaks for the writer.
bool LockShared(int fd) {
  if (::flock(fd, LOCK_SH | LOCK_NB) == 0) return true;
  return errno != EWOULDBLOCK;
}

// The process number a temporary's name carries; 0 when it carries none.
pid_t ProcessOfName(const char* name) {
  const char* digits = name + sizeof kPrefixBytes - 1;
  pid_t pid = 0;
  for (; *digits >= '0' && *digits <= '9'; ++digits) {
    if (pid > 100000000) return 0;
    pid = pid * 10 + (*digits - '0');
  }
  return *digits == '.' ? pid : 0;
}

// Whether the temporary open as fd was left by a writer that is gone.
bool WriterIsGone(int fd, const char* name) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  if (errno == EWOULDBLOCK) return false;
  // No locks on this file system: the process number decides.
  const pid_t pid = ProcessOfName(name);
  return pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Removes the temporary name of folder dirFd when it is a plain file that still has this name
// and whose writer is gone.
bool RemoveIfStale(int dirFd, const char* name) {
  const int fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat opened;
  struct stat named;
  const bool removed = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
                       WriterIsGone(fd, name) &&
                       ::fstatat(dirFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
                       SameFile(opened, named) && ::unlinkat(dirFd, name, 0) == 0;
  ::close(fd);
  return removed;
}

}  // namespace

// ---- COwnTemporary ----

COwnTemporary::~COwnTemporary() { Unlock(); }

void COwnTemporary::Unlock() {
  if (m_lock >= 0) ::close(m_lock);
  m_lock = -1;
}

bool COwnTemporary::Claim(const QString& path, int lockFd) {
  struct stat locked;
  struct stat named;
  if (::fstat(lockFd, &locked) != 0 || ::lstat(Native(path).constData(), &named) != 0 ||
      !SameFile(locked, named)) {
    return false;
  }
  Unlock();
  m_path = path;
  m_lock = lockFd;
  m_device = std::uint64_t(locked.st_dev);
  m_inode = std::uint64_t(locked.st_ino);
  return true;
}

bool COwnTemporary::Create(const QString& folder) {
  for (int tries = 0; tries < kNameTries; ++tries) {
    const QString path = JoinPath(folder, NewTemporaryName());
    const int fd = ::open(Native(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST || errno == EINTR) continue;
      return false;
    }
    // A sweeper took the new file for a stale one between its making and its lock.
    if (!LockShared(fd) || !Claim(path, fd)) {
      ::close(fd);
      continue;
    }
    return true;
  }
  errno = EEXIST;
  return false;
}

bool COwnTemporary::Link(const QString& source, const QString& folder) {
  // The file is locked before its new name exists, so no sweeper ever sees the name unlocked.
  const int fd = ::open(Native(source).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  for (int tries = 0; tries < kNameTries; ++tries) {
    if (!LockShared(fd)) continue;
    const QString path = JoinPath(folder, NewTemporaryName());
    if (::link(Native(source).constData(), Native(path).constData()) != 0) {
      if (errno == EEXIST || errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      errno = error;
      return false;
    }
    if (Claim(path, fd)) return true;
  }
  ::close(fd);
  errno = EEXIST;
  return false;
}

void COwnTemporary::Remove() {
  if (!m_path.isEmpty()) {
    struct stat named;
    const QByteArray native = Native(m_path);
    if (::lstat(native.constData(), &named) == 0 && std::uint64_t(named.st_dev) == m_device &&
        std::uint64_t(named.st_ino) == m_inode) {
      ::unlink(native.constData());
    }
    m_path.clear();
  }
  Unlock();
}

// ---- Temporaries left behind ----

int RemoveStaleTemporaries(const QString& folder) {
  const QByteArray nativeFolder = Native(folder.isEmpty() ? QStringLiteral(".") : folder);
  const int dirFd = ::open(nativeFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return 0;
  int removed = 0;
  // The entries are read straight into a buffer of this frame: a sweep at every save and
  // open costs no allocation.
  alignas(8) char entries[8192];
  for (;;) {
    const ssize_t size = ::getdents64(dirFd, entries, sizeof entries);
    if (size <= 0) break;
    for (ssize_t at = 0; at < size;) {
      const auto* entry = reinterpret_cast<const struct dirent64*>(entries + at);
      at += entry->d_reclen;
      if (std::strncmp(entry->d_name, kPrefixBytes, sizeof kPrefixBytes - 1) != 0) continue;
      if (RemoveIfStale(dirFd, entry->d_name)) ++removed;
    }
  }
  ::close(dirFd);
  return removed;
}

// ---- Links and names ----

QString ResolveFileLinks(const QString& path) {
  QString current = path;
  for (int depth = 0; depth < kLinkDepth; ++depth) {
    const QByteArray native = Native(current);
    struct stat info;
    if (::lstat(native.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    QByteArray target(qsizetype(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
    const ssize_t length =
        ::readlink(native.constData(), target.data(), std::size_t(target.size()));
    // A target that grew while it was read is read again.
    if (length < 0) return current;
    if (length >= target.size()) continue;
    target.truncate(length);
    const QString text = QFile::decodeName(target);
    current = text.startsWith(u'/') ? text : JoinPath(FolderOf(current), text);
  }
  return path;
}

bool HasNameThatIsNotText(const QString& path) {
  if (!path.contains(QChar(0xFFFD))) return false;
  const QStringList parts = path.split(u'/');
  QString reached = path.startsWith(u'/') ? QStringLiteral("/") : QString();
  for (const QString& part : parts) {
    if (part.isEmpty()) continue;
    const QString next = JoinPath(reached, part);
    if (part.contains(QChar(0xFFFD))) {
      struct stat info;
      if (::lstat(Native(next).constData(), &info) != 0) {
        // Not found as text: a name in the folder whose bytes are not UTF-8 may read as it.
        DIR* dir = ::opendir(reached.isEmpty() ? "." : Native(reached).constData());
        if (dir == nullptr) return false;
        bool found = false;
        while (const dirent* entry = ::readdir(dir)) {
          const QByteArray bytes(entry->d_name);
          const QString decoded = QFile::decodeName(bytes);
          if (decoded == part && decoded.toUtf8() != bytes) {
            found = true;
            break;
          }
        }
        ::closedir(dir);
        // Otherwise nothing of that name exists yet: a new name that holds U+FFFD.
        return found;
      }
    }
    reached = next;
  }
  return false;
}

// ---- Lasting ----

bool SyncToDisk(const QString& path, bool folder) {
  if (!g_syncToDisk) return true;
  const int fd = ::open(Native(path.isEmpty() ? QStringLiteral(".") : path).constData(),
                        O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
  ::close(fd);
  return synced;
}

void SetSyncToDisk(bool on) { g_syncToDisk = on; }

// ---- Finished files ----

namespace {

// A temporary of our own beside the name, renamed over it when complete: the name itself is
// replaced, so a symbolic link there is never followed and a file there is never written into.
class CSafeFileOutput final : public zeph::CFileOutput {
 public:
  bool Open(const QString& path) {
    m_path = path;
    const QString folder = FolderOf(path);
    RemoveStaleTemporaries(folder);
    if (!m_temporary.Create(folder)) return false;
    m_file.setFileName(m_temporary.Path());
    if (!m_file.open(QIODevice::WriteOnly)) {
      m_temporary.Remove();
      return false;
    }
    return true;
  }
  ~CSafeFileOutput() override { Discard(); }

  bool Write(const char* data, std::size_t size) override {
    if (!m_file.isOpen()) return false;
    return m_file.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
  }
  bool Commit() override {
    if (!m_file.isOpen() || !m_temporary.IsMade()) return false;
    const bool flushed = m_file.flush();
    m_file.close();
    if (!flushed || m_file.error() != QFileDevice::NoError ||
        !SyncToDisk(m_temporary.Path(), false)) {
      return false;
    }
    // A file replaced keeps its permissions; what a link pointed at is left alone.
    struct stat old;
    if (::lstat(Native(m_path).constData(), &old) == 0 && S_ISREG(old.st_mode)) {
      ::chmod(Native(m_temporary.Path()).constData(), old.st_mode & 07777);
    }
    if (::rename(Native(m_temporary.Path()).constData(), Native(m_path).constData()) != 0) {
      return false;
    }
    m_temporary.Forget();
    SyncToDisk(FolderOf(m_path), true);
    return true;
  }
  void Discard() override {
    if (m_file.isOpen()) m_file.close();
    m_temporary.Remove();
  }

 private:
  QString m_path;
  COwnTemporary m_temporary;
  QFile m_file;
};

}  // namespace

std::unique_ptr<zeph::CFileOutput> OpenSafeFileOutput(const QString& path) {
  if (path.isEmpty() || HasNameThatIsNotText(path)) return nullptr;
  auto file = std::make_unique<CSafeFileOutput>();
  if (!file->Open(path)) return nullptr;
  return file;
}
