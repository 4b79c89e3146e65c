// The word lists: the user's list, the second list and the lists of the drawings.
#include <new>

#include "spell/spell.h"
#include "support/files.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/textfile.h"

namespace {

constexpr int kCodeAddWord = 3920;
constexpr int kCodeLoadUserDictionary = 3921;
constexpr int kCodeCreateDocDict = 3922;
constexpr int kCodeUnregisterDocDict = 3923;
constexpr int kCodeAddCurrentWord = 3924;

// Length of a NUL-ended text.
int TextLength(const char16_t* text) {
  int n = 0;
  while (text[n] != 0) ++n;
  return n;
}

}  // namespace

// ---- CDocDict ----

CDocDict::CDocDict(CSpell* owner) : m_owner(owner) {}

CDocDict::~CDocDict() {
  if (m_owner != nullptr) m_owner->UnregisterDocDict(this);
}

int CDocDict::AddWord(const QString& text, int length) {
  QString part = length < 1 || length > text.size() ? text : text.left(length);
  const int nul = int(part.indexOf(QChar(0)));
  if (nul >= 0) part.truncate(nul);
  return AddWord(reinterpret_cast<const char16_t*>(part.utf16()), int(part.size()));
}

int CDocDict::AddWord(const char16_t* text, int length) {
  LogScope trace(kCodeAddWord);
  if (text == nullptr) return trace.Return(1, kLogHandled, 1);
  const int used = m_words ? m_used : 0;
  if (length < 1) length = TextLength(text);

  std::array<char16_t, kMaxWordLength> word{};
  int kept = 0;
  for (int i = 0; i < length && kept < kMaxWordLength; ++i) {
    char16_t c = text[i];
    if (c == 0) break;
    if (c == u' ') continue;
    if (IsWordLetter(c)) {
      word[kept++] = c;
    } else if ((c == u'\'' || c == u'-') && kept > 0) {
      word[kept++] = c;
    }
  }
  if (kept == 0) return trace.Return(1, kLogHandled, 2);
  if (ContainsWord(word.data(), kept)) return trace.Return(1, kLogHandled, 3);

  const int base = used == 0 ? 1 : used;  // an empty list is a single NUL
  const int needed = base + kept + 1;
  // The count of characters in use must stay a valid signed 16-bit value.
  if (needed > kDocDictUsedLimit) return trace.Return(0, kLogMemory, 4);
  if (m_capacity < needed) {
    if (m_capacity >= kDocDictCapacityLimit) return trace.Return(0, kLogMemory, 5);
    const int capacity = m_capacity + kDocDictGrowth;
    std::unique_ptr<char16_t[]> grown;
    try {
      grown = std::make_unique<char16_t[]>(std::size_t(capacity));
    } catch (const std::bad_alloc&) {
      return trace.Return(0, kLogMemory, 6);
    }
    if (used == 0) {
      grown[0] = 0;
    } else {
      for (int i = 0; i < used; ++i) grown[i] = m_words[i];
    }
    m_words = std::move(grown);
    m_capacity = std::uint16_t(capacity);
  }
  if (used == 0) m_words[0] = 0;
  char16_t* at = m_words.get() + base - 1;
  for (int i = 0; i < kept; ++i) at[i] = word[i];
  at[kept] = 0;
  at[kept + 1] = 0;
  m_used = std::int16_t(needed);
  m_modified = 1;
  return trace.Return(1);
}

int CDocDict::ContainsWord(const char16_t* letters, int length) const {
  if (!m_words || letters == nullptr) return 0;
  if (length < 0) length = TextLength(letters);
  int pos = 0;
  while (pos < m_used && m_words[pos] != 0) {
    int n = 0;
    while (m_words[pos + n] != 0) ++n;
    if (n == length) {
      bool same = true;
      for (int i = 0; i < n && same; ++i) same = m_words[pos + i] == letters[i];
      if (same) return 1;
    }
    pos += n + 1;
  }
  return 0;
}

int CDocDict::ContainsWord(const QString& word) const {
  return ContainsWord(reinterpret_cast<const char16_t*>(word.utf16()), int(word.size()));
}

bool CDocDict::HasRoomForAWord() const {
  const int used = m_words ? m_used : 0;
  const int needed = (used == 0 ? 1 : used) + 2;  // one letter and its NUL
  if (needed > kDocDictUsedLimit) return false;
  return m_capacity >= needed || m_capacity < kDocDictCapacityLimit;
}

void CDocDict::Clear() {
  if (m_words) m_words[0] = 0;
  m_used = 1;
  m_cursor = 0;
  m_modified = 1;
}

QString CDocDict::GetNextWord() {
  if (!m_words || m_cursor < 0 || m_cursor >= m_used || m_words[m_cursor] == 0) return QString();
  int n = 0;
  while (m_words[m_cursor + n] != 0) ++n;
  QString word = QString::fromUtf16(m_words.get() + m_cursor, n);
  m_cursor += n + 1;
  return word;
}

int CDocDict::GetWordCount() const {
  if (!m_words) return 0;
  int count = 0;
  int pos = 0;
  while (pos < m_used && m_words[pos] != 0) {
    while (m_words[pos] != 0) ++pos;
    ++pos;
    ++count;
  }
  return count;
}

// ---- The checker's lists ----

void CSpell::LoadUserDictionary(const QString& programFolder) {
  LogScope trace(kCodeLoadUserDictionary);
  if (!m_userList) return trace.Exit(kLogHandled, 1);
  QString path = programFolder;
  AddBackslash(path);
  path += QString::fromUtf16(kUserDictionaryFileName);
  CTextFileReader reader;  // the user's list is a Windows-1252 file
  if (reader.Open(path)) {
    QString line;
    // Once the list is full nothing further can change it: the rest of a long file (or a
    // file that is no word list at all) is not read.
    while (m_userList->HasRoomForAWord() && reader.ReadLine(line) && g_fileStatus == kFileOk) {
      m_userList->AddWord(line, -1);
    }
    reader.Close();
  }
  // A missing or unreadable list is no failure: the checker works without it.
  m_userList->ClearModified();
  g_fileStatus = kFileOk;
  trace.Exit();
}

std::unique_ptr<CDocDict> CSpell::CreateDocDict() {
  LogScope trace(kCodeCreateDocDict);
  const bool registering = m_docDictCount < kMaxRegisteredDocDicts;
  std::unique_ptr<CDocDict> list;
  try {
    list = std::make_unique<CDocDict>(registering ? this : nullptr);
  } catch (const std::bad_alloc&) {
    return trace.Return(std::unique_ptr<CDocDict>(), kLogMemory, 1);
  }
  if (!registering) {
    // The caller owns it alone and no lookup sees it.
    return trace.Return(std::move(list), kLogHandled, 2);
  }
  m_docDicts[m_docDictCount++] = list.get();
  return trace.Return(std::move(list));
}

void CSpell::UnregisterDocDict(CDocDict* list) {
  LogScope trace(kCodeUnregisterDocDict);
  for (int i = 0; i < m_docDictCount; ++i) {
    if (m_docDicts[i] != list) continue;
    for (int k = i + 1; k < m_docDictCount; ++k) m_docDicts[k - 1] = m_docDicts[k];
    m_docDicts[--m_docDictCount] = nullptr;
    break;
  }
  if (m_currentDocDict == list) m_currentDocDict = nullptr;
  trace.Exit();
}

int CSpell::AddCurrentWord(int which) {
  LogScope trace(kCodeAddCurrentWord);
  CDocDict* list = nullptr;
  if (which == 1) list = m_secondList.get();
  if (which == 2) list = m_currentDocDict;
  if (which == 3) list = m_userList.get();
  if (list == nullptr) return trace.Return(1, kLogHandled, 1);
  return trace.Return(list->AddWord(m_word.data(), m_wordLength));
}
