#pragma once
// The program's registry: keys and typed values kept in INI-style store files, the user's
// privilege level, the kind of an exception for the log, and the check of maths results.
//
// Stores (one file per root, parsed once and again only when the file's size, time or inode
// changed, so another program's writes are seen; replaced whole when written):
// - the current user:  <user config folder>/Corvelle Software/Registry.ini
// - the machine:       <all-users folder>/Corvelle Software/Registry.ini, where the all-users
//                      folder is the first folder of $XDG_DATA_DIRS (/usr/local/share)
// - the classes root:  the machine store's key SOFTWARE\Classes
// A key is a section "[SOFTWARE\Corvelle Software]" (key names compared without case, levels
// joined by '\'); each value is one line "Name=type:data" with the type "sz", "expand_sz"
// (its data may name environment variables as %NAME%) or "dword" (decimal). In names and data
// '\' is written "\\", CR "\r", LF "\n", and '=' in a name "\=". Lines the store does not
// understand are kept as they stand when it is rewritten.
//
// A store whose file is read-only (its owner may not write it) is opened for reading only, by
// every user; otherwise a key may be written when the file (or, before it exists, its folder) may
// be written. There is only one view of the registry: the 64-bit view flags change nothing.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <exception>
#include <utility>

#include "support/timevalue.h"

enum class RegistryRoot : std::int8_t { kClassesRoot, kCurrentUser, kLocalMachine };

// A predefined root key or a key opened below one. A key handed back by an operation is open
// and its holder closes it (Close, or simply letting it go: it holds no system resource).
class RegistryKey {
 public:
  RegistryKey() = default;
  static RegistryKey ClassesRoot() { return RegistryKey(RegistryRoot::kClassesRoot); }
  static RegistryKey CurrentUser() { return RegistryKey(RegistryRoot::kCurrentUser); }
  static RegistryKey LocalMachine() { return RegistryKey(RegistryRoot::kLocalMachine); }

  bool IsOpen() const { return m_access > 0; }
  bool IsWritable() const { return m_access >= 2; }
  RegistryRoot root() const { return m_root; }
  // The key's levels below its root; empty for a predefined root.
  const QStringList& path() const { return m_path; }
  void Close() {
    m_access = 0;
    m_path.clear();
  }

 private:
  explicit RegistryKey(RegistryRoot root) : m_root(root), m_access(2) {}
  RegistryKey(RegistryRoot root, QStringList path, int access)
      : m_root(root), m_path(std::move(path)), m_access(access) {}
  friend struct RegistryAccess;

  RegistryRoot m_root = RegistryRoot::kCurrentUser;
  QStringList m_path;
  int m_access = 0;  // 0 closed, 1 read, 2 read and write
};

// The store file that holds a root's keys (the classes root shares the machine's).
QString GetRegistryStorePath(RegistryRoot root);

// Opens root\names[0]\names[1]... level by level; each name is one level (a name holding '\'
// counts as the levels it names). 2: the last key is open for reading and writing (found or,
// with create, made); 1: it could only be opened for reading; 0: failure.
int OpenRegistryPath(const RegistryKey& root, const QStringList& names, RegistryKey& out,
                     bool create, bool view64);
// Opens every level for reading; 1 or 0.
int OpenRegistryPathForRead(const RegistryKey& root, const QStringList& names, RegistryKey& out,
                            bool alsoView64);
// A string value (at most 2047 characters) into out; with expand an expandable string too,
// expanded with the environment (at most 2047 characters afterwards). 1 or 0.
int ReadRegistryString(const RegistryKey& key, const QString& valueName, QString& out, bool expand);
// A DWORD value into *out; 1 or 0.
int ReadRegistryDword(const RegistryKey& key, const QString& valueName, std::uint32_t* out);
// Writes a string value (up to its first null character); the key must be open for writing.
int WriteRegistryString(const RegistryKey& key, const QString& valueName, const QString& text);
int DeleteRegistryValue(const RegistryKey& key, const QString& valueName);
// Deletes parent\name with all its sub-keys.
int DeleteRegistryKey(const RegistryKey& parent, const QString& name);
// Sub-key number index (in order of their names, without case): its name (at most 2048
// characters) and, when lastWrite is given, the time the store was last written.
int EnumRegistryKey(const RegistryKey& key, int index, QString& name, CTime* lastWrite);
// Value number index (in stored order): its name (at most 512 characters) and, for a string
// value of at most 2047 characters, its text; empty text for other types.
int EnumRegistryValue(const RegistryKey& key, int index, QString& name, QString& text);
// Whether the user may write to the classes root: a test key is made, written and deleted.
int CanWriteClassesRoot();

// ---- Privilege ----
inline constexpr int kPrivilegeUnknown = 0;
inline constexpr int kPrivilegeStandardUser = 1;
inline constexpr int kPrivilegeAdministrator = 2;  // may become root (sudo), is not now
inline constexpr int kPrivilegeElevated = 3;       // root
// root is an elevated administrator; a member of the group "sudo", "wheel" or "admin" an
// administrator; anyone else a standard user. 0 when an exception stopped the test.
int GetUserPrivilegeLevel();
// The level for an effective user that is root or not, with the names of its groups.
int PrivilegeLevelOf(bool isRoot, const QStringList& groupNames);

// ---- Exceptions ----
inline constexpr int kExceptionOther = 0;
inline constexpr int kExceptionFile = 1;
inline constexpr int kExceptionResource = 2;
inline constexpr int kExceptionMemory = 3;
inline constexpr int kExceptionInternet = 4;
inline constexpr int kExceptionUser = 5;
inline constexpr int kExceptionNotSupported = 6;
inline constexpr int kExceptionInvalidArgument = 7;
// The kind every catch block logs: file errors (std::ios_base::failure,
// std::filesystem::filesystem_error) 1, std::bad_alloc 3, std::invalid_argument 7, any other 0.
int GetExceptionKind(const std::exception& e);

// ---- Maths faults ----
// Floating-point faults raise no signal here: code that may meet one checks the result and
// reports it the way the runtime's maths-error hook did.
inline constexpr int kMathDomain = 1;
inline constexpr int kMathSingularity = 2;
inline constexpr int kMathOverflow = 3;
inline constexpr int kMathUnderflow = 4;
inline constexpr int kMathTotalLoss = 5;
inline constexpr int kMathPartialLoss = 6;
// Set to 1 by a reported maths fault; a computation that cares clears it before and tests it
// after.
extern std::int16_t g_mathError;
// Glitch 20221 (n 1) with the fault's type; an underflow gives 0.0, every type but a partial
// loss of precision sets g_mathError. Returns the result to go on with.
double ReportMathError(int type, double result);
// The result of a maths function, checked: NaN is reported as a domain error, an infinity as
// an overflow; anything else passes unchanged.
double CheckMathResult(double result);

// Puts g_mathError back to 0. For tests.
void ResetRegistryState();
// How many times a store file has been parsed since the program started. For tests.
int GetRegistryStoreParseCountForTest();
// A parsed store is kept once its file has been unchanged this long (2 s; below 0 puts that
// back), as a write within one step of the file's clock could keep its time. For tests.
void SetRegistryStoreSettleTimeForTest(int seconds);
