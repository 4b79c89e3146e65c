#pragma once
// The file-system operations the rest of the program uses instead of calling the platform:
// path text helpers, existence and attribute tests, a copy that keeps the source's time
// stamps, creating a whole folder path, deleting a file that may be read-only, copying every
// file of a folder, recognising network paths, the current folder and a one-folder scanner.
//
// Paths use '/' as the separator. The helpers that take paths apart or join them keep their
// names (AddBackslash adds a '/'). Path equality is case-sensitive; names of extensions and
// wild-card patterns are compared without case, as the program's own names are upper-case.
// None of these operations throws or sets the file status: failures are result codes or a
// plain "no"; the backup operations turn copy results into a file status.
//
// Attributes on Linux: a file is "read-only" when its owner may not write it (the owner's
// write permission is clear); the hidden, system and volume-label attributes do not exist.
#include <QString>
#include <memory>

class QDirIterator;

inline constexpr char16_t kPathSeparator = u'/';

// Windows-style attribute bits, as GetFileAttributesOf reports them.
inline constexpr int kAttrReadOnly = 1;
inline constexpr int kAttrHidden = 2;
inline constexpr int kAttrSystem = 4;
inline constexpr int kAttrVolumeLabel = 8;
inline constexpr int kAttrDirectory = 16;

// Results of CopyFileKeepTime.
inline constexpr int kCopyDone = 0;
inline constexpr int kCopySamePath = 1;        // the target is the source itself: nothing done
inline constexpr int kCopyTargetReadOnly = 2;  // the target exists and is read-only
inline constexpr int kCopyNoMemory = 3;
inline constexpr int kCopyCannotOpenSource = 4;
inline constexpr int kCopyCannotCreate = 5;  // any cause not listed here
inline constexpr int kCopyAccessDenied = 6;  // access denied, and the target is not read-only
inline constexpr int kCopyWriteFailed = 7;
inline constexpr int kCopyDiskFull = 8;
inline constexpr int kCopyHardwareFault = 9;
inline constexpr int kCopyReadFailed = 10;  // reading the source failed part-way

// ---- Path text (no file-system access) ----
// Appends '/' when the path is not empty and does not end in '/'.
void AddBackslash(QString& path);
// Removes one '/' at the end, when present.
void RemoveBackslash(QString& path);
// Index of the '.' that starts the extension (the last '.' after the last '/'), or the
// length of the path when it has none.
int FindExtension(const QString& path);
// 1 when the path has an extension equal to extension (given without '.'), without case.
int HasExtension(const QString& path, const QString& extension);
// Removes the extension with its '.'.
void StripExtension(QString& path);
// Replaces the extension (a leading '.' of extension is skipped); an extension of 4 or more
// characters is cut to its first 3 unless keepWhole is non-zero.
void SetExtension(QString& path, const QString& extension, int keepWhole);
// The text after the last '/', or the whole path when it has none.
void GetNameFromPath(const QString& path, QString& name);
// The text before the last '/' when that '/' is at index 2 or later; otherwise empty.
void GetFolderOfPath(const QString& path, QString& folder);
// 1 for '/' followed by at least one character ("/" alone is not full); "//server" is full.
int IsFullPath(const QString& path);

// ---- File-system tests ----
// The attribute bits of the path (links followed), or -1 when its status cannot be read.
int GetFileAttributesOf(const QString& path);
// 1 when the path's status can be read and it is not a folder.
int FileExists(const QString& path);
// 1 when the path is a folder.
int FolderExists(const QString& path);
// 1 when the path's status can be read and it is read-only.
int IsReadOnlyFile(const QString& path);
// Makes the path the process's current folder; non-zero on success.
int SetCurrentFolder(const QString& path);
// The process's current folder (there are no drives: every drive number gives it); "/" when
// it cannot be read.
void GetCurrentFolderOfDrive(int drive, QString& folder);
// 1 for a "//server/share" path and for a path on a mounted network file system (cifs, smb3,
// nfs, nfs4, fuse.sshfs) according to the mount table.
int IsNetworkPath(const QString& path);
// The file-system type of the mount that holds the absolute path, from mount-table text in
// the form of /proc/self/mounts; empty when no mount holds it.
QString FindMountType(const QString& absolutePath, const QString& mountTable);
// 1 for the file-system types that are network drives.
int IsNetworkFileSystemType(const QString& type);

// ---- Larger operations ----
// Copies source into targetFolder as targetName (the source's extension is added when that
// name has none) or, when targetName is empty, under the source's own name. The copy gets the
// source's permissions and its access and modification times. Returns one of kCopy...; after
// a failed read or write the partial target is removed.
int CopyFileKeepTime(const QString& source, const QString& targetFolder,
                     const QString& targetName = QString());
// Creates every missing folder of the path. Existing folders are left as they are. Gives no
// result: callers test FolderExists afterwards.
void CreateFolderPath(const QString& path);
// Deletes a file. A read-only file is deleted only with force; a folder is a glitch; device
// nodes, pipes and sockets are never deleted. Failures are logged, never reported.
void DeleteFileClearingAttributes(const QString& path, int force);
// Copies every file (not sub-folders) of sourceFolder into targetFolder, replacing files of
// the same name unless they are read-only; with move, each copied source is deleted. Returns
// the number of files copied.
int CopyAllFiles(const QString& sourceFolder, const QString& targetFolder, int move);

// ---- Folder listing ----
// 1 when name matches the wild-card pattern ('*' any run, '?' one character), without case;
// a pattern ending in ".*" also matches the name without that part, so "*.*" matches all.
bool MatchesWildcard(const QString& name, const QString& pattern);

// One directory search in progress, the stand-in for the platform's find handle: the entries
// of one folder whose names match a wild-card name, in the order the file system lists them.
// Kind 1 takes folders (never "." or ".."), kind 0 takes files; links are classed by what
// they point to, and a folder search can be told to leave links to folders out.
class CFolderSearch {
 public:
  CFolderSearch();
  ~CFolderSearch();
  CFolderSearch(const CFolderSearch&) = delete;
  CFolderSearch& operator=(const CFolderSearch&) = delete;

  // Starts the search for path ("folder/*.zpd"; a path without '/' searches the current
  // folder) and gives the first match; false when there is none (the search is closed).
  bool First(const QString& path, int kind, QString& name, bool folderLinks = true);
  // The next match; false when the search has run out (it is then closed).
  bool Next(int kind, QString& name, bool folderLinks = true);
  void Close();
  bool IsOpen() const { return m_iterator != nullptr; }

 private:
  std::unique_ptr<QDirIterator> m_iterator;
  QString m_namePattern;
};

// Lists one folder, one name at a time.
class CDirectoryScan {
 public:
  CDirectoryScan() = default;
  // pattern: a folder followed by a wild-card name ("/home/a/*.zpd"). mode 1 lists
  // sub-folders only, 0 files only.
  void Start(const QString& pattern, int mode);
  // The next matching name (without its folder); false at the end.
  bool Next(QString& name);

  int GetState() const { return m_state; }

 private:
  int m_mode = 0;
  QString m_pattern;
  int m_state = -2;  // -2 not started, 0 ready, 1 running, -1 finished
  CFolderSearch m_search;
};
