#include "support/registry.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <ios>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <vector>

#include "support/files.h"
#include "support/log.h"

std::int16_t g_mathError = 0;

// Lets this file make keys with a path and an access level.
struct RegistryAccess {
  static RegistryKey Make(RegistryRoot root, QStringList path, int access) {
    return RegistryKey(root, std::move(path), access);
  }
};

namespace {

// Trace codes.
constexpr int kCodeCanWriteClassesRoot = 20202;
constexpr int kCodeDeleteKey = 20203;
constexpr int kCodePrivilege = 20219;
constexpr int kCodeOpenPath = 20224;
constexpr int kCodeReadString = 20225;
constexpr int kCodeReadDword = 20226;
constexpr int kCodeOpenForRead = 20227;

// The error numbers the log records, as the system numbers them.
constexpr int kErrorNotFound = 2;
constexpr int kErrorAccessDenied = 5;
constexpr int kErrorInvalidHandle = 6;
constexpr int kErrorInvalidParameter = 87;
constexpr int kErrorCantRead = 1012;
constexpr int kErrorCantWrite = 1013;

constexpr int kMaxStringChars = 2047;  // a 4096-byte buffer with its terminating null
constexpr int kMaxExpandedChars = 2047;
constexpr int kMaxKeyNameChars = 2048;
constexpr int kMaxValueNameChars = 512;
constexpr qint64 kMaxStoreBytes = 16 * 1024 * 1024;

const QString kMakerFolder = QStringLiteral("Corvelle Software");
const QString kStoreFileName = QStringLiteral("Registry.ini");
const QString kTypeString = QStringLiteral("sz");
const QString kTypeExpandString = QStringLiteral("expand_sz");
const QString kTypeDword = QStringLiteral("dword");

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// ---- Store files ----

struct StoreLine {
  bool isValue = false;
  QString name;
  QString type;
  QString data;
  QString raw;  // the line as read, for lines that are not values
};

struct StoreSection {
  QStringList levels;
  QString header;  // as read; empty for a section made here
  std::vector<StoreLine> lines;
};

struct Store {
  std::vector<QString> preamble;  // lines before the first section, kept as they stand
  std::vector<StoreSection> sections;
};

enum class LoadResult { kOk, kMissing, kUnreadable };

QStringList SplitLevels(const QString& path) { return path.split(u'\\', Qt::SkipEmptyParts); }

bool SameLevels(const QStringList& a, const QStringList& b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i)
    if (!SameName(a[i], b[i])) return false;
  return true;
}

// a lies at or below b.
bool IsAtOrBelow(const QStringList& a, const QStringList& b) {
  if (a.size() < b.size()) return false;
  for (qsizetype i = 0; i < b.size(); ++i)
    if (!SameName(a[i], b[i])) return false;
  return true;
}

QString EscapeText(const QString& text, bool isName) {
  QString out;
  out.reserve(text.size() + 8);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\\') {
      out += QStringLiteral("\\\\");
    } else if (c == u'\r') {
      out += QStringLiteral("\\r");
    } else if (c == u'\n') {
      out += QStringLiteral("\\n");
    } else if (isName && (c == u'=' || (i == 0 && (c == u'[' || c == u';' || c == u'#')))) {
      // A name must not end early or pass for a section header or a comment.
      out += u'\\';
      out += c;
    } else {
      out += c;
    }
  }
  return out;
}

QString UnescapeText(QStringView text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    QChar c = text[i];
    // Only the store's own escapes are undone; any other backslash (a path typed by hand,
    // "C:\Drawings") is taken as it stands, so that rewriting the store keeps the value.
    if (c == u'\\' && i + 1 < text.size()) {
      const QChar next = text[i + 1];
      if (next == u'\\' || next == u'=' || next == u'r' || next == u'n' ||
          (i == 0 && (next == u'[' || next == u';' || next == u'#'))) {
        ++i;
        c = next == u'r' ? QChar(u'\r') : next == u'n' ? QChar(u'\n') : next;
      }
    }
    out += c;
  }
  return out;
}

// "name=type:data"; false for a line that is not a value.
bool ParseValueLine(const QString& line, StoreLine& out) {
  qsizetype equals = -1;
  for (qsizetype i = 0; i < line.size(); ++i) {
    if (line[i] == u'\\') {
      ++i;
    } else if (line[i] == u'=') {
      equals = i;
      break;
    }
  }
  if (equals < 0) return false;
  const qsizetype colon = line.indexOf(u':', equals + 1);
  if (colon <= equals + 1) return false;
  const QStringView type = QStringView(line).mid(equals + 1, colon - equals - 1);
  for (QChar c : type)
    if (!(c.isLetterOrNumber() || c == u'_' || c == u'(' || c == u')')) return false;
  out.isValue = true;
  out.name = UnescapeText(QStringView(line).left(equals));
  out.type = type.toString().toLower();
  out.data = UnescapeText(QStringView(line).mid(colon + 1));
  return true;
}

QString FirstDataFolder() {
  const QStringList folders = qEnvironmentVariable("XDG_DATA_DIRS").split(u':', Qt::SkipEmptyParts);
  for (const QString& folder : folders)
    if (QDir::isAbsolutePath(folder)) return QDir::cleanPath(folder);
  return QStringLiteral("/usr/local/share");
}

// The classes root lives in the machine store under this key.
QStringList StoreLevels(RegistryRoot root, const QStringList& path) {
  if (root != RegistryRoot::kClassesRoot) return path;
  QStringList levels{QStringLiteral("SOFTWARE"), QStringLiteral("Classes")};
  levels += path;
  return levels;
}

// The stores as last parsed, so that an unchanged store file is not parsed again: each is
// read afresh only when its size, time or file changed (another program's write replaces or
// changes it).
struct CachedStore {
  QString path;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  struct timespec modified {};
  struct timespec changed {};
  std::shared_ptr<const Store> store;
};

constexpr int kSettledSeconds = 2;
int g_settledSeconds = kSettledSeconds;

std::mutex g_storeCacheMutex;
std::vector<CachedStore> g_storeCache;
int g_storeParses = 0;

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool StatStore(const QString& path, struct stat& info) {
  return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

// Keeps the store as the file now holds it (info: the file's status when it held it).
void RememberStore(const QString& path, const struct stat& info,
                   std::shared_ptr<const Store> store) {
  std::lock_guard lock(g_storeCacheMutex);
  CachedStore* entry = nullptr;
  for (CachedStore& cached : g_storeCache)
    if (cached.path == path) entry = &cached;
  if (entry == nullptr) entry = &g_storeCache.emplace_back();
  entry->path = path;
  entry->device = info.st_dev;
  entry->inode = info.st_ino;
  entry->size = info.st_size;
  entry->modified = info.st_mtim;
  entry->changed = info.st_ctim;
  entry->store = std::move(store);
}

std::shared_ptr<const Store> RememberedStore(const QString& path, const struct stat& info) {
  std::lock_guard lock(g_storeCacheMutex);
  for (const CachedStore& cached : g_storeCache) {
    if (cached.path == path && cached.device == info.st_dev && cached.inode == info.st_ino &&
        cached.size == info.st_size && SameTime(cached.modified, info.st_mtim) &&
        SameTime(cached.changed, info.st_ctim)) {
      return cached.store;
    }
  }
  return nullptr;
}

LoadResult ParseStore(const QString& path, Store& store);

// The store of path, shared with every reader until the file changes.
LoadResult LoadStore(const QString& path, std::shared_ptr<const Store>& store) {
  store.reset();
  if (path.isEmpty()) return LoadResult::kUnreadable;
  struct stat info;
  if (!StatStore(path, info)) {
    return LoadResult::kMissing;
  }
  if (!S_ISREG(info.st_mode) || info.st_size > kMaxStoreBytes) return LoadResult::kUnreadable;
  store = RememberedStore(path, info);
  if (store) return LoadResult::kOk;
  auto parsed = std::make_shared<Store>();
  const LoadResult result = ParseStore(path, *parsed);
  if (result != LoadResult::kOk) return result;
  // Kept only when the file did not change while it was read, and when its time is old
  // enough that a later write in place could not keep the same time (file times advance in
  // steps of up to two seconds, so a write within the step would go unseen).
  struct stat after;
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const std::int64_t age = (std::int64_t(now.tv_sec) - info.st_ctim.tv_sec) * 1000000000 +
                           (now.tv_nsec - info.st_ctim.tv_nsec);
  if (StatStore(path, after) && after.st_ino == info.st_ino && after.st_size == info.st_size &&
      SameTime(after.st_mtim, info.st_mtim) && SameTime(after.st_ctim, info.st_ctim) &&
      age >= std::int64_t(g_settledSeconds) * 1000000000) {
    RememberStore(path, info, parsed);
  }
  store = std::move(parsed);
  return LoadResult::kOk;
}

// A copy of the store of path, for a change.
LoadResult LoadStore(const QString& path, Store& store) {
  std::shared_ptr<const Store> shared;
  const LoadResult result = LoadStore(path, shared);
  store = shared ? *shared : Store();
  return result;
}

LoadResult ParseStore(const QString& path, Store& store) {
  ++g_storeParses;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return LoadResult::kUnreadable;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return LoadResult::kUnreadable;
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder(bytes);
  // A store we cannot read faithfully is never rewritten.
  if (decoder.hasError()) return LoadResult::kUnreadable;

  QStringList lines = text.split(u'\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  StoreSection* section = nullptr;
  for (QString& line : lines) {
    if (line.endsWith(u'\r')) line.chop(1);
    const qsizetype close = line.lastIndexOf(u']');
    if (line.startsWith(u'[') && close > 0 && line.mid(close + 1).trimmed().isEmpty()) {
      store.sections.push_back({SplitLevels(line.mid(1, close - 1)), line, {}});
      section = &store.sections.back();
      continue;
    }
    if (section == nullptr) {
      store.preamble.push_back(line);
      continue;
    }
    StoreLine entry;
    if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#') ||
        !ParseValueLine(line, entry)) {
      entry = StoreLine();
      entry.raw = line;
    }
    section->lines.push_back(std::move(entry));
  }
  return LoadResult::kOk;
}

// Whether the store may be replaced: a read-only store file stays read-only for everyone;
// otherwise the system decides for the file and its folder (or, before they exist, the nearest
// folder that does).
bool StoreIsWritable(const QString& path) {
  if (path.isEmpty()) return false;
  const QFileInfo info(path);
  if (info.exists()) {
    if (!info.isFile() || IsReadOnlyFile(path) != 0 || !info.isWritable()) return false;
    return QFileInfo(info.absolutePath()).isWritable();
  }
  QString folder = info.absolutePath();
  while (!QFileInfo::exists(folder)) {
    const QString parent = QFileInfo(folder).absolutePath();
    if (parent == folder) return false;
    folder = parent;
  }
  const QFileInfo nearest(folder);
  return nearest.isDir() && nearest.isWritable();
}

bool SaveStore(const QString& path, const Store& store) {
  const QFileInfo info(path);
  if (!QDir().mkpath(info.absolutePath())) return false;
  QString text;
  for (const QString& line : store.preamble) text += line + u'\n';
  for (const StoreSection& section : store.sections) {
    text += section.header.isEmpty() ? u'[' + section.levels.join(u'\\') + u']' : section.header;
    text += u'\n';
    for (const StoreLine& line : section.lines) {
      if (line.isValue) {
        text +=
            EscapeText(line.name, true) + u'=' + line.type + u':' + EscapeText(line.data, false);
      } else {
        text += line.raw;
      }
      text += u'\n';
    }
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = text.toUtf8();
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

bool KeyExists(const Store& store, const QStringList& levels) {
  if (levels.isEmpty()) return true;
  for (const StoreSection& section : store.sections)
    if (IsAtOrBelow(section.levels, levels)) return true;
  return false;
}

const StoreLine* FindValue(const Store& store, const QStringList& levels, const QString& name) {
  for (const StoreSection& section : store.sections) {
    if (!SameLevels(section.levels, levels)) continue;
    for (const StoreLine& line : section.lines)
      if (line.isValue && SameName(line.name, name)) return &line;
  }
  return nullptr;
}

std::vector<const StoreLine*> ValuesOf(const Store& store, const QStringList& levels) {
  std::vector<const StoreLine*> values;
  for (const StoreSection& section : store.sections) {
    if (!SameLevels(section.levels, levels)) continue;
    for (const StoreLine& line : section.lines)
      if (line.isValue) values.push_back(&line);
  }
  return values;
}

StoreSection& SectionFor(Store& store, const QStringList& levels) {
  for (StoreSection& section : store.sections)
    if (SameLevels(section.levels, levels)) return section;
  store.sections.push_back({levels, {}, {}});
  return store.sections.back();
}

QString CutAtNull(const QString& text) {
  const qsizetype null = text.indexOf(QChar(u'\0'));
  return null < 0 ? text : text.left(null);
}

bool IsUsableKeyName(const QString& name) {
  for (QChar c : name)
    if (c.unicode() < 32) return false;
  return true;
}

// Loads the store of an open key for a change; 0 when it may be changed, else the error.
int LoadForChange(const RegistryKey& key, Store& store, QString& path) {
  if (!key.IsOpen()) return kErrorInvalidHandle;
  if (!key.IsWritable()) return kErrorAccessDenied;
  path = GetRegistryStorePath(key.root());
  const LoadResult loaded = LoadStore(path, store);
  if (loaded == LoadResult::kUnreadable) return kErrorCantRead;
  if (!StoreIsWritable(path)) return kErrorAccessDenied;
  if (!KeyExists(store, StoreLevels(key.root(), key.path()))) return kErrorNotFound;
  return 0;
}

// %NAME% is replaced by the environment variable NAME; a name that is not set stays as it is.
QString ExpandEnvironment(const QString& text) {
  QString out;
  qsizetype i = 0;
  while (i < text.size()) {
    const qsizetype close = text[i] == u'%' ? text.indexOf(u'%', i + 1) : -1;
    if (close > i + 1) {
      const QString name = text.mid(i + 1, close - i - 1);
      if (qEnvironmentVariableIsSet(name.toLocal8Bit().constData())) {
        out += qEnvironmentVariable(name.toLocal8Bit().constData());
        i = close + 1;
        continue;
      }
    }
    out += text[i++];
  }
  return out;
}

bool ParseDword(const QString& text, std::uint32_t& value) {
  const QByteArray digits = text.toLatin1();
  const char* end = digits.constData() + digits.size();
  const auto [ptr, ec] = std::from_chars(digits.constData(), end, value);
  return !digits.isEmpty() && ec == std::errc() && ptr == end;
}

}  // namespace

// ---- Keys ----

QString GetRegistryStorePath(RegistryRoot root) {
  QString folder;
  if (root == RegistryRoot::kCurrentUser) {
    folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty()) return {};
  } else {
    folder = FirstDataFolder();
  }
  return folder + u'/' + kMakerFolder + u'/' + kStoreFileName;
}

int OpenRegistryPath(const RegistryKey& root, const QStringList& names, RegistryKey& out,
                     bool create, bool /*view64*/) {
  LogScope trace(kCodeOpenPath);
  QStringList levels;
  for (const QString& name : names) levels += SplitLevels(name);
  int result = 2;
  int failedLevel = 0;
  int errorReadWrite = 0;
  int errorRead = 0;
  int errorCreate = 0;
  try {
    const QString storePath = GetRegistryStorePath(root.root());
    std::shared_ptr<const Store> shared;
    const LoadResult loaded = LoadStore(storePath, shared);
    // The shared store is copied only when a key is to be made.
    Store changed;
    const Store* store = shared ? shared.get() : &changed;
    const bool writable = loaded != LoadResult::kUnreadable && StoreIsWritable(storePath);
    bool haveStore = loaded == LoadResult::kOk;
    QStringList path = root.path();
    if (!root.IsOpen()) {
      errorReadWrite = errorRead = errorCreate = kErrorInvalidHandle;
      failedLevel = 1;
    }
    for (qsizetype i = 0; failedLevel == 0 && i < levels.size(); ++i) {
      path += levels[i];
      const QStringList storeLevels = StoreLevels(root.root(), path);
      const bool exists = haveStore && KeyExists(*store, storeLevels);
      if (exists && writable) continue;
      errorReadWrite = loaded == LoadResult::kUnreadable ? kErrorCantRead
                       : exists                          ? kErrorAccessDenied
                                                         : kErrorNotFound;
      trace.Step(10);
      if (exists) {
        trace.Step(11);
        LogNumber(static_cast<int>(i) + 1);
        if (i + 1 == levels.size()) result = 1;
        continue;
      }
      errorRead = errorReadWrite;
      if (create && IsUsableKeyName(levels[i])) {
        if (writable) {
          if (store != &changed) {
            changed = *store;
            store = &changed;
          }
          SectionFor(changed, storeLevels);
          if (SaveStore(storePath, changed)) {
            haveStore = true;
            trace.Step(21);
            LogNumber(static_cast<int>(i) + 1);
            continue;
          }
          errorCreate = kErrorCantWrite;
        } else {
          errorCreate = kErrorAccessDenied;
        }
      } else if (create) {
        errorCreate = kErrorInvalidParameter;
      }
      failedLevel = static_cast<int>(i) + 1;
    }
    if (failedLevel == 0) {
      out = RegistryAccess::Make(root.root(), path, result);
      trace.Exit(kLogOk);
      LogNumber(result);
      return result;
    }
  } catch (const std::bad_alloc&) {
    failedLevel = failedLevel == 0 ? 1 : failedLevel;
  }
  out.Close();
  trace.Exit(kLogInvalid, 1);
  LogNumber(failedLevel);
  LogNumber(errorReadWrite);
  LogNumber(errorRead);
  LogNumber(errorCreate);
  return 0;
}

int OpenRegistryPathForRead(const RegistryKey& root, const QStringList& names, RegistryKey& out,
                            bool /*alsoView64*/) {
  LogScope trace(kCodeOpenForRead);
  try {
    QStringList levels;
    for (const QString& name : names) levels += SplitLevels(name);
    std::shared_ptr<const Store> store;
    const LoadResult loaded = LoadStore(GetRegistryStorePath(root.root()), store);
    QStringList path = root.path();
    int error = root.IsOpen() ? 0 : kErrorInvalidHandle;
    qsizetype i = 0;
    for (; error == 0 && i < levels.size(); ++i) {
      path += levels[i];
      if (loaded != LoadResult::kOk) {
        error = loaded == LoadResult::kMissing ? kErrorNotFound : kErrorCantRead;
      } else if (!KeyExists(*store, StoreLevels(root.root(), path))) {
        error = kErrorNotFound;
      }
    }
    if (error == 0) {
      out = RegistryAccess::Make(root.root(), path, 1);
      trace.Exit(kLogOk);
      return 1;
    }
    out.Close();
    trace.Exit(kLogInvalid, 1);
    LogNumber(static_cast<int>(std::max<qsizetype>(i, 1)));
    LogNumber(error);
    return 0;
  } catch (const std::bad_alloc&) {
    out.Close();
    trace.Exit(kLogMemory, 1);
    return 0;
  }
}

int ReadRegistryString(const RegistryKey& key, const QString& valueName, QString& out,
                       bool expand) {
  LogScope trace(kCodeReadString);
  try {
    std::shared_ptr<const Store> store;
    if (!key.IsOpen() || LoadStore(GetRegistryStorePath(key.root()), store) != LoadResult::kOk) {
      return trace.Return(0, kLogMinorFailure);
    }
    const StoreLine* value = FindValue(*store, StoreLevels(key.root(), key.path()), valueName);
    if (value == nullptr) return trace.Return(0, kLogMinorFailure);
    if (value->type == kTypeString) {
      if (value->data.size() > kMaxStringChars) {
        trace.Step(1, kLogMinorFailure);
        LogNumber(static_cast<int>(value->data.size()));
        return 0;
      }
      out = value->data;
      return trace.Return(1, kLogOk, 1);
    }
    if (value->type == kTypeExpandString && expand) {
      const QString expanded =
          value->data.size() > kMaxStringChars ? value->data : ExpandEnvironment(value->data);
      if (value->data.size() > kMaxStringChars || expanded.size() > kMaxExpandedChars) {
        trace.Step(1, kLogFailed);
        LogNumber(static_cast<int>(expanded.size()));
        return 0;
      }
      out = expanded;
      return trace.Return(1, kLogOk, 2);
    }
    return trace.Return(0, kLogMinorFailure, 3);
  } catch (const std::bad_alloc&) {
    return trace.Return(0, kLogMemory);
  }
}

int ReadRegistryDword(const RegistryKey& key, const QString& valueName, std::uint32_t* out) {
  LogScope trace(kCodeReadDword);
  try {
    std::shared_ptr<const Store> store;
    if (out == nullptr || !key.IsOpen() ||
        LoadStore(GetRegistryStorePath(key.root()), store) != LoadResult::kOk) {
      return trace.Return(0, kLogMinorFailure);
    }
    const StoreLine* value = FindValue(*store, StoreLevels(key.root(), key.path()), valueName);
    if (value == nullptr) return trace.Return(0, kLogMinorFailure);
    std::uint32_t number = 0;
    if (value->type != kTypeDword || !ParseDword(value->data, number)) {
      return trace.Return(0, kLogMinorFailure, 3);
    }
    *out = number;
    return trace.Return(1);
  } catch (const std::bad_alloc&) {
    return trace.Return(0, kLogMemory);
  }
}

int WriteRegistryString(const RegistryKey& key, const QString& valueName, const QString& text) {
  try {
    Store store;
    QString path;
    if (LoadForChange(key, store, path) != 0) return 0;
    const QString name = CutAtNull(valueName);
    const QStringList levels = StoreLevels(key.root(), key.path());
    // The value readers find is the first of its name under the key (a store edited by hand
    // may hold the key or the value twice): that one takes the text and any later ones go,
    // so what was written is what is read.
    StoreLine* target = nullptr;
    for (StoreSection& section : store.sections) {
      if (!SameLevels(section.levels, levels)) continue;
      for (std::size_t i = 0; i < section.lines.size();) {
        const StoreLine& line = section.lines[i];
        if (!line.isValue || !SameName(line.name, name)) {
          ++i;
        } else if (target == nullptr) {
          target = &section.lines[i++];
        } else {
          section.lines.erase(section.lines.begin() + static_cast<std::ptrdiff_t>(i));
        }
      }
    }
    if (target == nullptr) {
      StoreSection& section = SectionFor(store, levels);
      section.lines.push_back(StoreLine());
      target = &section.lines.back();
      target->isValue = true;
      target->name = name;
    }
    target->type = kTypeString;
    target->data = CutAtNull(text);
    return SaveStore(path, store) ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int DeleteRegistryValue(const RegistryKey& key, const QString& valueName) {
  try {
    Store store;
    QString path;
    if (LoadForChange(key, store, path) != 0) return 0;
    const QStringList levels = StoreLevels(key.root(), key.path());
    bool found = false;
    for (StoreSection& section : store.sections) {
      if (!SameLevels(section.levels, levels)) continue;
      std::erase_if(section.lines, [&](const StoreLine& line) {
        const bool match = line.isValue && SameName(line.name, valueName);
        found = found || match;
        return match;
      });
    }
    return found && SaveStore(path, store) ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int DeleteRegistryKey(const RegistryKey& parent, const QString& name) {
  LogScope trace(kCodeDeleteKey);
  try {
    Store store;
    QString path;
    int error = 0;
    const QStringList below = SplitLevels(name);
    if (!parent.IsOpen()) {
      error = kErrorInvalidHandle;
    } else if (below.isEmpty()) {
      error = kErrorInvalidParameter;
    } else {
      path = GetRegistryStorePath(parent.root());
      const LoadResult loaded = LoadStore(path, store);
      const QStringList levels = StoreLevels(parent.root(), parent.path() + below);
      if (loaded == LoadResult::kUnreadable) {
        error = kErrorCantRead;
      } else if (!KeyExists(store, levels)) {
        error = kErrorNotFound;
      } else if (!StoreIsWritable(path)) {
        error = kErrorAccessDenied;
      } else {
        std::erase_if(store.sections, [&](const StoreSection& section) {
          return IsAtOrBelow(section.levels, levels);
        });
        if (!SaveStore(path, store)) error = kErrorCantWrite;
      }
    }
    if (error != 0) {
      trace.Exit(kLogFailed, 2);
      LogNumber(error);
      return 0;
    }
    return trace.Return(1);
  } catch (const std::exception& e) {
    trace.Step(99);
    LogString(QString::fromLocal8Bit(e.what()));
    LogNumber(GetExceptionKind(e));
    trace.Exit(kLogInvalid, 1);
    return 0;
  }
}

int EnumRegistryKey(const RegistryKey& key, int index, QString& name, CTime* lastWrite) {
  try {
    std::shared_ptr<const Store> store;
    const QString path = GetRegistryStorePath(key.root());
    if (!key.IsOpen() || index < 0 || LoadStore(path, store) != LoadResult::kOk) return 0;
    const QStringList levels = StoreLevels(key.root(), key.path());
    if (!KeyExists(*store, levels)) return 0;
    QStringList children;
    for (const StoreSection& section : store->sections) {
      if (section.levels.size() <= levels.size() || !IsAtOrBelow(section.levels, levels)) {
        continue;
      }
      const QString& child = section.levels[levels.size()];
      bool known = false;
      for (const QString& seen : children) known = known || SameName(seen, child);
      if (!known) children += child;
    }
    std::sort(children.begin(), children.end(), [](const QString& a, const QString& b) {
      return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    if (index >= children.size() || children[index].size() > kMaxKeyNameChars) return 0;
    name = children[index];
    if (lastWrite != nullptr) {
      *lastWrite = CTime(QFileInfo(path).lastModified().toSecsSinceEpoch());
    }
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int EnumRegistryValue(const RegistryKey& key, int index, QString& name, QString& text) {
  try {
    std::shared_ptr<const Store> store;
    if (!key.IsOpen() || index < 0 ||
        LoadStore(GetRegistryStorePath(key.root()), store) != LoadResult::kOk) {
      return 0;
    }
    const std::vector<const StoreLine*> values =
        ValuesOf(*store, StoreLevels(key.root(), key.path()));
    if (static_cast<std::size_t>(index) >= values.size()) return 0;
    const StoreLine& value = *values[static_cast<std::size_t>(index)];
    if (value.name.size() > kMaxValueNameChars) return 0;
    const bool isString = value.type == kTypeString;
    if (isString && value.data.size() > kMaxStringChars) return 0;
    name = value.name;
    text = isString ? value.data : QString();
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int CanWriteClassesRoot() {
  LogScope trace(kCodeCanWriteClassesRoot);
  try {
    const QString testKey = QStringLiteral("._*_ZYX");
    RegistryKey key;
    const int opened =
        OpenRegistryPath(RegistryKey::ClassesRoot(), QStringList{testKey}, key, true, false);
    bool written = false;
    if (opened == 2) {
      written = WriteRegistryString(key, QStringLiteral("Test"), QStringLiteral("OK")) != 0;
      if (!written) trace.Step(10);
    }
    key.Close();
    bool deleted = false;
    if (opened > 0) {
      trace.Step(12);
      deleted = DeleteRegistryKey(RegistryKey::ClassesRoot(), testKey) != 0;
      trace.Step(deleted ? 15 : 20);
    }
    return trace.Return(written && deleted ? 1 : 0);
  } catch (const std::exception& e) {
    trace.Step(1, kLogHandled);
    LogString(QString::fromLocal8Bit(e.what()));
    LogNumber(GetExceptionKind(e));
    trace.Step(991);
    return 0;
  }
}

// ---- Privilege ----

int PrivilegeLevelOf(bool isRoot, const QStringList& groupNames) {
  if (isRoot) return kPrivilegeElevated;
  for (const QString& group : groupNames) {
    if (group == u"sudo" || group == u"wheel" || group == u"admin") return kPrivilegeAdministrator;
  }
  return kPrivilegeStandardUser;
}

namespace {

// The names of the groups the account of the effective user belongs to; 0 when they are
// known, else the step that failed (1 the account, 2 its groups).
int AccountGroupNames(QStringList& names) {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 4096));
  passwd account{};
  passwd* found = nullptr;
  int error = 0;
  while ((error = getpwuid_r(geteuid(), &account, buffer.data(), buffer.size(), &found)) ==
             ERANGE &&
         buffer.size() < (1u << 20)) {
    buffer.resize(buffer.size() * 2);
  }
  if (error != 0 || found == nullptr) return 1;

  int count = 32;
  std::vector<gid_t> groups;
  for (int attempt = 0; attempt < 8; ++attempt) {
    groups.resize(static_cast<std::size_t>(count));
    int wanted = count;
    if (getgrouplist(account.pw_name, account.pw_gid, groups.data(), &wanted) >= 0) {
      groups.resize(static_cast<std::size_t>(wanted));
      count = -1;
      break;
    }
    count = wanted > count ? wanted : count * 2;
  }
  if (count != -1) return 2;

  size = sysconf(_SC_GETGR_R_SIZE_MAX);
  std::vector<char> groupBuffer(static_cast<std::size_t>(size > 0 ? size : 4096));
  for (gid_t gid : groups) {
    group entry{};
    group* result = nullptr;
    while ((error = getgrgid_r(gid, &entry, groupBuffer.data(), groupBuffer.size(), &result)) ==
               ERANGE &&
           groupBuffer.size() < (1u << 20)) {
      groupBuffer.resize(groupBuffer.size() * 2);
    }
    // A group without a name cannot be one of the administrators' groups.
    if (error == 0 && result != nullptr) names += QString::fromLocal8Bit(entry.gr_name);
  }
  return 0;
}

}  // namespace

int GetUserPrivilegeLevel() {
  LogScope trace(kCodePrivilege);
  try {
    if (geteuid() == 0) return trace.Return(kPrivilegeElevated);
    QStringList groups;
    const int failedStep = AccountGroupNames(groups);
    if (failedStep == 0) return trace.Return(PrivilegeLevelOf(false, groups));
    trace.Step(failedStep, kLogHandled);
    const int level = CanWriteClassesRoot() != 0 ? kPrivilegeElevated : kPrivilegeStandardUser;
    return trace.Return(level);
  } catch (const std::exception& e) {
    SetGlitchMessage(QString::fromLocal8Bit(e.what()));
    SetGlitchValue(GetExceptionKind(e));
    ReportGlitch(kCodePrivilege, 1);
    return kPrivilegeUnknown;
  }
}

// ---- Exceptions ----

int GetExceptionKind(const std::exception& e) {
  if (dynamic_cast<const std::ios_base::failure*>(&e) != nullptr ||
      dynamic_cast<const std::filesystem::filesystem_error*>(&e) != nullptr) {
    return kExceptionFile;
  }
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) return kExceptionMemory;
  if (dynamic_cast<const std::invalid_argument*>(&e) != nullptr) return kExceptionInvalidArgument;
  return kExceptionOther;
}

// ---- Maths faults ----

double ReportMathError(int type, double result) {
  SetGlitchValue(type);
  ReportGlitch(20221, 1);
  if (type == kMathUnderflow) return 0.0;
  if (type != kMathPartialLoss) g_mathError = 1;
  return result;
}

double CheckMathResult(double result) {
  if (std::isnan(result)) return ReportMathError(kMathDomain, result);
  if (std::isinf(result)) return ReportMathError(kMathOverflow, result);
  return result;
}

void ResetRegistryState() { g_mathError = 0; }

int GetRegistryStoreParseCountForTest() { return g_storeParses; }

void SetRegistryStoreSettleTimeForTest(int seconds) {
  g_settledSeconds = seconds < 0 ? kSettledSeconds : seconds;
}
