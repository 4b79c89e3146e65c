#include "support/filescanner.h"

#include <new>

#include "platform/presenter.h"
#include "support/constants.h"
#include "support/filestatus.h"

namespace {

QString ScanOutOfMemoryText() {
  const QString text = LoadStringText(kIdsScanOutOfMemory);
  if (!text.isEmpty()) return text;
  return QStringLiteral(
      "Warning:\nThere is not enough memory to scan\n the complete directory system.\n"
      "Some files may not be found.");
}

}  // namespace

// ---- CScanEntry ----

CScanEntry::CScanEntry(const QString& folder, const QString& pattern, int kind)
    : m_kind(kind), m_folder(folder), m_pattern(pattern) {
  RemoveBackslash(m_folder);
}

CScanEntry::~CScanEntry() = default;

int CScanEntry::Next() {
  if (m_finished != 0) return 0;
  int found;
  if (m_started == 0) {
    m_started = 1;
    found = FindFirst(m_folder + kPathSeparator + m_pattern, m_kind, m_search, m_name);
  } else {
    found = FindNext(m_kind, m_search, m_name);
  }
  if (found == 0) m_finished = 1;
  return found;
}

int CScanEntry::FindFirst(const QString& path, int kind, CFolderSearch& search, QString& name) {
  // A link to a folder is not followed: it could lead back up the tree.
  return search.First(path, kind, name, false) ? 1 : 0;
}

int CScanEntry::FindNext(int kind, CFolderSearch& search, QString& name) {
  return search.Next(kind, name, false) ? 1 : 0;
}

void CScanEntry::Restart() {
  m_search.Close();
  m_started = 0;
  m_finished = 0;
}

CScanFileEntry::CScanFileEntry(const QString& folder, const QString& pattern)
    : CScanEntry(folder, pattern, 0) {}

CScanDirEntry::CScanDirEntry(const CScanEntry& entry)
    : CScanEntry(entry.GetFolder(), QStringLiteral("*.*"), 1) {}

// ---- CFileScanner ----

CFileScanner::CFileScanner(const QString& folder, const QString& pattern, bool recurse)
    : m_recurse(recurse), m_folder(folder), m_pattern(pattern) {
  try {
    m_fileEntry = std::make_unique<CScanFileEntry>(folder, pattern);
  } catch (const std::bad_alloc&) {
    // Without its first entry the scanner finds nothing.
  }
}

CFileScanner::~CFileScanner() = default;

CScanEntry* CFileScanner::NextFile() {
  if (!m_fileEntry) return nullptr;  // the scan has ended
  if (m_fileEntry->Next() != 0) return m_fileEntry.get();
  if (!m_recurse) return nullptr;

  // The folder whose files have all been given now has its sub-folders searched.
  try {
    m_folderEntry = std::make_unique<CScanDirEntry>(*m_fileEntry);
  } catch (const std::bad_alloc&) {
    WarnOutOfMemory();
  }
  m_fileEntry.reset();

  for (;;) {
    try {
      // The current folder entry lies m_pending.size() levels below the top folder.
      while (m_folderEntry && int(m_pending.size()) < kScanDepthLimit &&
             m_folderEntry->Next() != 0) {
        auto files = std::make_unique<CScanFileEntry>(m_folderEntry->GetFullPath(), m_pattern);
        if (files->Next() != 0) {
          m_pending.push_back(std::move(m_folderEntry));
          m_fileEntry = std::move(files);
          return m_fileEntry.get();
        }
        auto subFolders = std::make_unique<CScanDirEntry>(*files);
        if (subFolders->Next() != 0) {
          subFolders->Restart();
          m_pending.push_back(std::move(m_folderEntry));
          m_folderEntry = std::move(subFolders);
        }
      }
    } catch (const std::bad_alloc&) {
      // This branch is given up; the pending folders are still searched.
      WarnOutOfMemory();
    }
    m_folderEntry.reset();
    if (m_pending.empty()) return nullptr;
    m_folderEntry = std::move(m_pending.back());
    m_pending.pop_back();
  }
}

void CFileScanner::WarnOutOfMemory() {
  if (m_memoryWarningShown) return;
  m_memoryWarningShown = true;
  try {
    zeph::GetPresenter().ShowMessageBox(ScanOutOfMemoryText(), QString::fromUtf16(kProductName),
                                        zeph::kMbOk | zeph::kMbIconExclamation);
  } catch (const std::bad_alloc&) {
    // Nothing more can be said without memory.
  }
}
