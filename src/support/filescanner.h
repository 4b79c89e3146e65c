#pragma once
// Lists, one at a time, each file that matches a wild-card pattern in a folder and, on
// request, in its sub-folders, so that a caller can fill a list as files are found (the
// symbol libraries "*.ZSY" below a folder). The search state between calls is a stack of
// open folder searches, not a recursion.
//
// Files come in depth-first pre-order: a folder's own matches first (in the order the file
// system lists them), then for each sub-folder in turn its matches and its own sub-folders.
// Links to folders are never entered, so a link loop cannot make the scan endless, and folders
// more than kScanDepthLimit levels below the top folder are not searched.
#include <QString>
#include <memory>
#include <vector>

#include "support/files.h"

inline constexpr int kScanDepthLimit = 64;
// The warning shown, once per scanner, when memory runs out part-way.
inline constexpr int kIdsScanOutOfMemory = 40;

// One open directory search.
class CScanEntry {
 public:
  // kind 1 looks for sub-folders, 0 for files. One trailing '/' of folder is removed.
  CScanEntry(const QString& folder, const QString& pattern, int kind);
  virtual ~CScanEntry();
  CScanEntry(const CScanEntry&) = delete;
  CScanEntry& operator=(const CScanEntry&) = delete;

  // 1 and the name set when there is another match, else 0; after 0 it stays 0.
  int Next();
  // The directory search itself: entries of the wrong kind are skipped, a folder search
  // takes neither "." nor ".." nor links to folders. 0 when the search has run out (it is
  // then closed).
  static int FindFirst(const QString& path, int kind, CFolderSearch& search, QString& name);
  static int FindNext(int kind, CFolderSearch& search, QString& name);

  const QString& GetFolder() const { return m_folder; }
  const QString& GetName() const { return m_name; }  // the current match
  QString GetFullPath() const { return m_folder + kPathSeparator + m_name; }
  int GetKind() const { return m_kind; }
  // The next Next begins the search again.
  void Restart();

 private:
  int m_kind;
  QString m_folder;
  QString m_pattern;
  CFolderSearch m_search;
  QString m_name;
  int m_started = 0;
  int m_finished = 0;
};

// A search for the files of one folder.
class CScanFileEntry : public CScanEntry {
 public:
  CScanFileEntry(const QString& folder, const QString& pattern);
};

// A search for the sub-folders of the folder of a given entry.
class CScanDirEntry : public CScanEntry {
 public:
  explicit CScanDirEntry(const CScanEntry& entry);
};

class CFileScanner {
 public:
  CFileScanner(const QString& folder, const QString& pattern, bool recurse);
  ~CFileScanner();
  CFileScanner(const CFileScanner&) = delete;
  CFileScanner& operator=(const CFileScanner&) = delete;

  // The file entry positioned on the next matching file (take its GetName or GetFullPath),
  // or null when there are no more; once null, always null. The entry belongs to the scanner
  // and stays valid until the next call.
  CScanEntry* NextFile();

 private:
  // Once per scanner: some files may not be found.
  void WarnOutOfMemory();

  bool m_recurse;
  QString m_folder;
  QString m_pattern;
  std::unique_ptr<CScanFileEntry> m_fileEntry;
  std::unique_ptr<CScanDirEntry> m_folderEntry;
  // The folders whose sub-folders are still to be searched; its size is the depth of the
  // current folder entry below the top folder.
  std::vector<std::unique_ptr<CScanDirEntry>> m_pending;
  bool m_memoryWarningShown = false;
};
