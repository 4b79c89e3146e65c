#pragma once
// Where the program keeps its own files, and how it names the files it makes beside the
// user's: the three data folders (made on demand under the user's and the machine's special
// folders), the symbolic form of stored paths ("Documents/Plans/a.zpd", "Sample files/x.zpd")
// that stays valid for another user or machine, the backups made before a drawing is saved
// over, and numbered names "name(2).ext", "name(3).ext" ...
//
// Special folders on this platform (each asked afresh at every use; none is created by asking):
//   common documents     the first folder of $XDG_DATA_DIRS (/usr/local/share)
//   local app data       $XDG_DATA_HOME (~/.local/share)
//   roaming app data     $XDG_CONFIG_HOME (~/.config)
//   documents, music, pictures   the XDG user folders (~/Documents, ~/Music, ~/Pictures); a
//                        music or pictures folder set to the home folder itself counts as
//                        unknown, as freedesktop uses the home folder for "no such folder".
// The data folders are those folders + "/Corvelle Software" + "/Zephorin3".
//
// Stored paths may use '\' (files written on another system) or '/': both are read as
// separators; what the program builds uses '/'. Symbolic names are compared without case;
// real folders are compared exactly, as paths on this platform are case-sensitive.
#include <QString>
#include <cstdint>

inline constexpr const char16_t* kMakerFolderName = u"Corvelle Software";

// ---- Program-wide state (empty until first built) ----
extern QString g_sharedDataFolder;    // <common documents>/Corvelle Software/Zephorin3
extern QString g_sharedMakerFolder;   // <common documents>/Corvelle Software
extern QString g_localDataFolder;     // <local app data>/Corvelle Software/Zephorin3
extern QString g_roamingMakerFolder;  // <roaming app data>/Corvelle Software
extern QString g_roamingDataFolder;   // <roaming app data>/Corvelle Software/Zephorin3
// The outcome of the last special-folder query, or why the shared data folder is missing.
extern std::int32_t g_dataFolderError;
// The folder of the sample drawings; set by the manager file's reader.
extern QString g_samplesFolder;

// Values of g_dataFolderError.
inline constexpr std::int32_t kDataFolderOk = 0;
inline constexpr std::int32_t kDataFolderNotMade = 2;  // the shared data folder could not be made
inline constexpr std::int32_t kSpecialFolderFailed = 10;
inline constexpr std::int32_t kSpecialFolderInvalidArgument = 11;
inline constexpr std::int32_t kSpecialFolderAccessDenied = 12;
inline constexpr std::int32_t kSpecialFolderUnknown = 13;  // any other failure

// ---- Paths ----
// The one way to put a name into a folder: folder + '/' + name, without doubling a separator
// the folder already ends with; the name alone when the folder is empty.
QString JoinPath(const QString& folder, const QString& name);
// "Zephorin3": the product's folder name.
QString GetProductFolderName();

// ---- Special folders: 1 and the folder; 0, an empty text and g_dataFolderError when the
// platform does not know it. A successful query sets g_dataFolderError to 0. ----
int GetCommonDocumentsFolder(QString& folder);
int GetLocalAppDataFolder(QString& folder);
int GetAppDataFolder(QString& folder);
int GetMyDocumentsFolder(QString& folder);
int GetMyMusicFolder(QString& folder);
int GetMyPicturesFolder(QString& folder);

// ---- Data folders: 1 when the folder exists afterwards; else 0 with the cached text emptied
// so that the next call tries again. Once built, the cached text is reused and only its
// existence is checked. ----
// With create, a missing folder is made. Failure: g_dataFolderError 2 (or the special
// folder's error).
int GetSharedDataFolder(int create);
// Made when missing.
int GetLocalDataFolder();
// Both roaming folders, made when missing; failures are reported as glitches 20444.
int GetRoamingDataFolder();

// Copies the current help (g_helpFileNames[g_currentHelpFile]: its file and its folder of
// pages) into the local data folder, unless that is on the network, or else into the
// temporary folder, and points the help name at the copy with g_helpFileCopied set; when
// both fail g_helpFileCopied is 0 and the name stays. Registered with the help at start-up.
void CopyHelpFileToLocal();

// ---- Symbolic paths ----
// 1 when the path began with a symbolic name ("Documents", "Pictures", "Music", "CAD Files",
// "Drawing Files", each optionally after "My ") and now holds the real path; 0 when it is
// left unchanged (a plain path, or a special folder the platform does not know).
int ExpandFolderName(QString& path);
// The symbolic form of a path inside one of those folders; empty when it has none.
QString ContractFolderName(const QString& path);
// Which special folder a symbolic path names: 1 documents (and its product sub-folders),
// 2 music, 3 pictures, 0 none; rest = the path relative to that folder.
int ClassifyFolderName(const QString& path, QString& rest);
// "Sample files..." becomes a path in g_samplesFolder (while that is set); any other path
// goes through ExpandFolderName.
void ExpandSamplePath(QString& path);
// ContractFolderName, or "Sample files/..." for a path inside g_samplesFolder; empty when
// neither applies.
QString ContractSamplePath(const QString& path);

// ---- Backups: 1 when there is nothing to back up or the backup was made; 0 with
// g_fileStatus set (6 the file is read-only, 7 the old backup is read-only, 4 the disk is full,
// 15 the backup could not be made) when it failed. The original is never changed by a
// failure. Backup names are fitted to the longest name a folder holds (FitFileName). ----
// Copies the file into the sub-folder "Backup" of its folder (made when missing) as
// "Backup of <name>.<extension>"; with numbered, the first free name of the series.
int MakeBackupCopy(const QString& path, const QString& extension, int numbered);
// Renames the file in its folder to "Backup of <name>.<extension>", replacing an older backup
// of that name (never a read-only one) only by the rename itself; with numbered, the first
// free name of the series.
int RenameToBackup(const QString& path, const QString& extension, int numbered);

// ---- Backup names ----
// The longest name a folder holds, in bytes of UTF-8.
inline constexpr int kMaxFileNameBytes = 255;
// "Backup of " + the file's name with its extension replaced by extension (not kept whole),
// fitted with FitFileName.
QString BackupNameOf(const QString& fileName, const QString& extension);
// A name whose UTF-8 passes kMaxFileNameBytes keeps its extension and a closing "(n)" of the
// numbered series; the rest is cut at a character so that "~" and eight hexadecimal digits of
// a hash of the whole uncut rest follow it, with room left for the series up to "(10001)":
// "Backup of <start of the name>~1a2b3c4d.zpk". Any other name comes back as it is.
QString FitFileName(const QString& name);
// MakeUniqueNameInFolder for a name that may be too long: each name of the series is fitted.
void MakeUniqueFittedName(const QString& folder, QString& name);
// The file status of a backup copy that failed with the CopyFileKeepTime result: 7 when an old
// backup is read-only, 4 when the disk is full, else 15.
int BackupCopyStatus(int copyResult);

// ---- Numbered names ----
// "plan.zpd" -> "plan(2).zpd", "plan(2).zpd" -> "plan(3).zpd", "plan().zpd" -> "plan(2).zpd".
QString NextNumberedName(const QString& path);
// The first name of the series that no existing file has (at most 10000 steps; after that
// the last name is kept whether free or not).
void MakeUniqueName(QString& path);
// The same for a name within a folder; only the name changes.
void MakeUniqueNameInFolder(const QString& folder, QString& name);

// Empties the folders above and g_dataFolderError, as at program start. For tests.
void ResetDataFolders();
