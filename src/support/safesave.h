#pragma once
// What a save that must never lose a file needs of the file system: temporary files of our
// own beside the file being replaced (found again and removed once their writer is gone), the
// file a symbolic link names, names whose bytes are not text, and making data and names last.
//
// A temporary is named ".~zeph<process number>.<random part>", short enough for any folder
// that can hold a name at all. Its writer holds an advisory lock on it while it works, so the
// next save or open in that folder can tell a live writer's file from one a killed or crashed
// program left behind.
#include <QString>
#include <cstdint>
#include <memory>

#include "platform/fileoutput.h"

inline constexpr char16_t kOwnTemporaryPrefix[] = u".~zeph";

// One temporary name of our own, locked while the object lives. The destructor releases the
// lock and leaves the file: a name that is to go is removed with Remove, one that has been
// renamed away is let go with Forget.
class COwnTemporary {
 public:
  COwnTemporary() = default;
  ~COwnTemporary();
  COwnTemporary(const COwnTemporary&) = delete;
  COwnTemporary& operator=(const COwnTemporary&) = delete;

  // A new empty file in folder. false with errno set when none can be made.
  bool Create(const QString& folder);
  // A new name in folder for the file source (a hard link to it). false with errno set;
  // EPERM, EXDEV or EOPNOTSUPP when the file system cannot link.
  bool Link(const QString& source, const QString& folder);

  const QString& Path() const { return m_path; }
  bool IsMade() const { return !m_path.isEmpty(); }
  // Removes the name while it is still the file this object made.
  void Remove();
  // The name has been renamed away: nothing of it is left to remove.
  void Forget() { m_path.clear(); }

 private:
  // Takes the name made at path for the file of the locked descriptor; false when another
  // program removed it in the meantime.
  bool Claim(const QString& path, int lockFd);
  void Unlock();

  QString m_path;
  int m_lock = -1;
  std::uint64_t m_device = 0;
  std::uint64_t m_inode = 0;
};

// Removes from folder the temporaries of writers that are gone: the lock of the file can be
// taken or, on a file system without locks, the process its name carries no longer runs. A
// live writer's file stays. The number removed.
int RemoveStaleTemporaries(const QString& folder);

// The file a path names: a symbolic link (or a chain of them) is followed to its target, a
// relative target counting from the link's folder; any other path comes back as it stands.
QString ResolveFileLinks(const QString& path);

// True when a part of path names an existing file or folder whose name in the file system is
// not UTF-8: the program only knows it with U+FFFD in place of the bytes it cannot read, and
// any path built from that text names another file. A name that really holds U+FFFD is text.
bool HasNameThatIsNotText(const QString& path);

// Makes a file's data, or a folder's names, reach the disk. True when done, or when the file
// system cannot sync at all.
bool SyncToDisk(const QString& path, bool folder);
// Fuzz targets save for every input and need no file to last, and a kill (unlike a power cut)
// loses nothing the system holds: the fuzz targets and the save-kill tests switch syncing off.
void SetSyncToDisk(bool on);

// A finished file (a printed PDF, say) written the safe way: under a temporary of our own
// beside path, which replaces the name itself once complete. A symbolic link at the name is
// replaced, never followed; a file there is replaced whole, never written into, and keeps its
// permissions. Null when no temporary can be made there.
std::unique_ptr<zeph::CFileOutput> OpenSafeFileOutput(const QString& path);
