// Finding the words of the text being checked and deciding whether each is known.
#include "spell/spell.h"
#include "support/log.h"
#include "support/textutil.h"

namespace {

constexpr int kCodeNextWord = 3910;
constexpr int kCodeKnownHyphenated = 3912;

bool IsAsciiUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }
bool IsAsciiLower(char16_t c) { return c >= u'a' && c <= u'z'; }

}  // namespace

int IsWordLetter(char16_t& c) {
  char16_t plain = c;
  RemoveAccent(&plain);
  if (IsAsciiUpper(plain)) {
    c = plain;
    return 1;
  }
  if (IsAsciiLower(plain)) {
    c = char16_t(plain - 32);
    return 1;
  }
  return 0;
}

int CSpell::NextWord() {
  const QString text = GetCorrectedText();
  const int n = int(text.size());
  int pos = m_wordEnd;
  if (pos < 0 || pos > n) pos = n;  // the text changed under the search
  m_wordStart = pos;
  m_word.fill(0);
  m_wordLength = 0;
  m_caseFlags.fill(0);
  m_apostropheOrHyphen = 0;
  m_hyphenMode = kHyphenNone;
  m_partOffset = 0;

  while (pos < n) {
    char16_t c = text.at(pos).unicode();
    if (IsWordLetter(c)) break;
    ++pos;
  }
  m_wordStart = pos;
  if (pos >= n) {
    m_wordEnd = m_wordStart;
    return 0;
  }

  m_wordEnd = pos;
  int caseFlag = 1;  // lower until a plain capital is seen
  int stored = 0;
  for (int i = pos; i < n; ++i) {
    const char16_t raw = text.at(i).unicode();
    if (IsAsciiUpper(raw)) caseFlag = 0;
    if (IsAsciiLower(raw)) caseFlag = 1;
    char16_t c = raw;
    bool take = false;
    if (IsWordLetter(c)) {
      take = true;
    } else if (raw == u'\'') {
      // A closing "'s" stays outside the word, so "Tom's" is looked up as TOM.
      if (i + 1 < n) {
        char16_t next = text.at(i + 1).unicode();
        if (IsWordLetter(next)) {
          if (next != u'S') {
            take = true;
          } else if (i + 2 < n) {
            char16_t after = text.at(i + 2).unicode();
            take = IsWordLetter(after) != 0;
          }
        }
      }
      if (take) m_apostropheOrHyphen = 1;
    } else if (raw == u'-') {
      take = true;
      m_apostropheOrHyphen = 1;
      m_hyphenMode = kHyphenWhole;
    }
    if (!take) break;
    if (stored < kMaxWordLength) {
      m_word[stored] = c;
      m_caseFlags[stored] = caseFlag;
      ++stored;
    }
    m_wordEnd = i + 1;
  }
  m_wordLength = stored;
  m_word[stored] = 0;
  if (stored == 0) {
    ReportGlitch(kCodeNextWord, 1);
    return 0;
  }
  for (int k = stored; k < kMaxWordLength; ++k) m_caseFlags[k] = m_caseFlags[stored - 1];
  return 1;
}

int CSpell::IsKnownPlainLetters(const char16_t* letters, int length) {
  if (length <= 1) return 1;
  if (length <= 3) return IsInMaskTable(letters, length);
  return IsInMainDictionary(letters, length);
}

int CSpell::IsKnownPlainWord() { return IsKnownPlainLetters(m_word.data(), m_wordLength); }

int CSpell::InWordLists(const char16_t* letters, int length) const {
  if (m_userList && m_userList->ContainsWord(letters, length)) return 1;
  if (m_secondList && m_secondList->ContainsWord(letters, length)) return 2;
  for (int i = 0; i < m_docDictCount; ++i) {
    if (m_docDicts[i] != nullptr && m_docDicts[i]->ContainsWord(letters, length)) return 1;
  }
  return 0;
}

int CSpell::IsInWordLists() { return InWordLists(m_word.data(), m_wordLength); }

int CSpell::IsKnownWord() {
  if (m_wordLength <= 1) return 1;
  if (m_apostropheOrHyphen) {
    if (IsInApostropheBlock()) return 1;
    if (IsInWordLists()) return 1;
    for (int i = 0; i < m_wordLength; ++i) {
      if (m_word[i] == u'-') return IsKnownHyphenated();
    }
    return 0;
  }
  if (IsKnownPlainWord()) return 1;
  return IsInWordLists() != 0 ? 1 : 0;
}

int CSpell::IsKnownHyphenated() {
  LogScope trace(kCodeKnownHyphenated);
  m_savedWord = m_word;
  m_savedLength = m_wordLength;

  std::array<char16_t, kMaxWordLength + 2> joined{};
  int joinedLength = 0;
  for (int i = 0; i < m_savedLength; ++i) {
    if (m_savedWord[i] != u'-') joined[joinedLength++] = m_savedWord[i];
  }
  if (IsKnownPlainLetters(joined.data(), joinedLength) || InWordLists(joined.data(), joinedLength))
    return trace.Return(1);

  // Part by part, each with its hyphen.
  int unknownCount = 0;
  int firstUnknown = 0;
  int firstUnknownLength = 0;
  bool knownLongPart = false;
  int start = 0;
  while (start < m_savedLength) {
    int end = start;
    while (end < m_savedLength && m_savedWord[end] != u'-') ++end;
    const int partLength = end < m_savedLength ? end - start + 1 : end - start;
    if (partLength <= 1) break;  // a final single letter, or a hyphen after a hyphen
    const char16_t* part = m_savedWord.data() + start;
    int letters = partLength;
    bool known = false;
    if (part[partLength - 1] == u'-') {
      known = IsInApostropheBlock(part, partLength) || InWordLists(part, partLength);
      if (!known) --letters;
    }
    if (!known) known = IsKnownPlainLetters(part, letters) || InWordLists(part, letters);
    if (known) {
      if (letters > 1) knownLongPart = true;
    } else if (unknownCount++ == 0) {
      firstUnknown = start;
      firstUnknownLength = letters;
    }
    start += partLength;
  }

  if (unknownCount == 0) return trace.Return(1);
  if (!knownLongPart) {
    m_word = m_savedWord;
    m_wordLength = m_savedLength;
    m_partOffset = 0;
    return trace.Return(0, kLogHandled, 1);
  }
  // The first unknown part is what the user is asked about; its letters keep their own case.
  m_word.fill(0);
  for (int i = 0; i < firstUnknownLength; ++i) m_word[i] = m_savedWord[firstUnknown + i];
  m_wordLength = firstUnknownLength;
  const std::array<int, kMaxWordLength> flags = m_caseFlags;
  for (int i = 0; i < kMaxWordLength; ++i) {
    const int from = firstUnknown + (i < firstUnknownLength ? i : firstUnknownLength - 1);
    m_caseFlags[i] = flags[from < kMaxWordLength ? from : kMaxWordLength - 1];
  }
  m_partOffset = firstUnknown;
  m_hyphenMode = kHyphenPart;
  return trace.Return(0, kLogHandled, 2);
}
