// The checker's life: its construction, destruction and the program-wide checker.
#include "spell/spell.h"

#include <algorithm>
#include <new>

#include "support/log.h"
#include "support/textutil.h"

std::unique_ptr<CSpell> g_spellChecker;
std::int32_t g_mainDictionaryStatus = kDictionaryNotLoadedYet;

namespace {
constexpr int kCodeConstruct = 3901;
constexpr int kCodeDestroy = 3902;
}  // namespace

CSpell::CSpell() {
  LogScope trace(kCodeConstruct);
  // Without memory for a list the checker still works; that list simply holds nothing.
  try {
    m_userList = std::make_unique<CDocDict>(nullptr);
    m_secondList = std::make_unique<CDocDict>(nullptr);
  } catch (const std::bad_alloc&) {
    trace.Step(1, kLogMemory);
  }
  trace.Exit();
}

CSpell::~CSpell() {
  LogScope trace(kCodeDestroy);
  // A drawing's list belongs to its document. Normally every document is gone before the
  // checker; a list that outlives it must not call back into it.
  for (int i = 0; i < m_docDictCount; ++i) {
    if (m_docDicts[i] != nullptr) m_docDicts[i]->DetachOwner();
    m_docDicts[i] = nullptr;
  }
  m_docDictCount = 0;
  m_currentDocDict = nullptr;
  trace.Exit();
}

void CSpell::SetWorkingText(const QString& text) {
  m_workingText = text;
  m_workingCopy = 1;
  m_wordEnd = 0;
}

void CSpell::BeginTextCheck(const QString& text) {
  m_givenText = text;
  m_workingCopy = 0;
  m_wordEnd = 0;
  m_wordStart = 0;
  m_hyphenMode = kHyphenNone;
  m_partOffset = 0;
  if (text.contains(QChar(u'\r')) || text.contains(QChar(u'\n'))) {
    m_workingText = EncodeLineBreaks(text);
    m_workingCopy = 1;
  }
}

void CSpell::ReplaceCurrentWord(const QString& replacement) {
  const QString text = GetCorrectedText();
  const int start = std::clamp(m_wordStart, 0, static_cast<int>(text.size()));
  int from = start;
  int to = std::clamp(m_wordEnd, start, static_cast<int>(text.size()));
  if (m_hyphenMode == kHyphenPart) {
    // Only the unknown part of the hyphenated word is replaced.
    from = std::clamp(start + m_partOffset, start, to);
    to = std::min(from + m_wordLength, to);
  }
  m_workingText = text.left(from) + replacement + text.mid(to);
  m_workingCopy = 1;
  m_wordEnd = from + static_cast<int>(replacement.size());
}

QString CSpell::GetWord() const { return QString::fromUtf16(m_word.data(), m_wordLength); }

int CSpell::GetCaseFlag(int position) const {
  if (position < 0 || position >= kMaxWordLength) return 0;
  return m_caseFlags[position];
}

QString CSpell::GetSuggestion(int index) const {
  if (index < 0 || index >= m_suggestionCount) return QString();
  return m_suggestions[index];
}

int CSpell::GetSuggestionScore(int index) const {
  if (index < 0 || index >= m_suggestionCount) return 0;
  return m_scores[index];
}

void ResetSpellState() {
  g_spellChecker.reset();
  g_mainDictionaryStatus = kDictionaryNotLoadedYet;
  SetSpellAllocationFailureForTests(false);
}
