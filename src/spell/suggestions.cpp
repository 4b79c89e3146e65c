// Suggestions for an unknown word: common misspellings, dictionary words that differ from it
// near its beginning, the words with apostrophes or hyphens and the words of the lists, each
// scored by a distance that treats doubled letters, swaps and similar sounds as cheap.
#include <iterator>

#include "spell/spell.h"
#include "support/log.h"
#include "support/textutil.h"

namespace {

constexpr int kCodeFindSuggestions = 3930;
constexpr int kCodeScoreCandidate = 3931;

struct Misspelling {
  const char16_t* key;
  const char16_t* correction;
};

// Misspellings pupils often make, in the order they are offered; a key may have several rows.
constexpr Misspelling kMisspellings[] = {
    {u"AFTERWOODS", u"AFTERWARDS"},
    {u"AGEN", u"AGAIN"},
    {u"ALOT", u"A LOT"},
    {u"ALRIGHT", u"ALL RIGHT"},
    {u"ALTHO", u"ALTHOUGH"},
    {u"ALTHOU", u"ALTHOUGH"},
    {u"APPUL", u"APPLE"},
    {u"APUL", u"APPLE"},
    {u"BAF", u"BATH"},
    {u"BAFS", u"BATHS"},
    {u"BECAS", u"BECAUSE"},
    {u"BECOS", u"BECAUSE"},
    {u"BELEAVE", u"BELIEVE"},
    {u"BELEAVED", u"BELIEVED"},
    {u"BELEAVES", u"BELIEVES"},
    {u"BORT", u"BOUGHT"},
    {u"BREF", u"BREATH"},
    {u"BRIT", u"BRIGHT"},
    {u"BRITE", u"BRIGHT"},
    {u"BRORT", u"BROUGHT"},
    {u"CORT", u"CAUGHT"},
    {u"CEPT", u"EXCEPT"},
    {u"COF", u"COUGH"},
    {u"COFF", u"COUGH"},
    {u"COFS", u"COUGHS"},
    {u"COFFS", u"COUGHS"},
    {u"COOD", u"COULD"},
    {u"COMED", u"CAME"},
    {u"CORT", u"CAUGHT"},
    {u"DELIT", u"DELIGHT"},
    {u"DELITE", u"DELIGHT"},
    {u"DORTER", u"DAUGHTER"},
    {u"DROWT", u"DROUGHT"},
    {u"DUS", u"DOES"},
    {u"ELEFANT", u"ELEPHANT"},
    {u"ELEFANTS", u"ELEPHANTS"},
    {u"ELLEFANT", u"ELEPHANT"},
    {u"ELLEFANTS", u"ELEPHANTS"},
    {u"ENUF", u"ENOUGH"},
    {u"ENUFF", u"ENOUGH"},
    {u"ENY", u"ANY"},
    {u"EXACTLEA", u"EXACTLY"},
    {u"FAIRO", u"PHAROAH"},
    {u"FAMLEY", u"FAMILY"},
    {u"FASE", u"PHASE"},
    {u"FENIX", u"PHOENIX"},
    {u"FIRELITE", u"FIRELIGHT"},
    {u"FITE", u"FIGHT"},
    {u"FOBIC", u"PHOBIC"},
    {u"FONE", u"PHONE"},
    {u"FORTNIT", u"FORTNIGHT"},
    {u"FORTNITE", u"FORTNIGHT"},
    {u"FOTOGRAF", u"PHOTOGRAPH"},
    {u"FRASE", u"PHRASE"},
    {u"FREND", u"FRIEND"},
    {u"FRITEN", u"FRIGHTEN"},
    {u"FRITEND", u"FRIGHTENED"},
    {u"GRAF", u"GRAPH"},
    {u"GUD", u"GOOD"},
    {u"HAST", u"HASN'T"},
    {u"HAV", u"HAVE"},
    {u"HITE", u"HEIGHT"},
    {u"HOAP", u"HOPE"},
    {u"HOAPS", u"HOPES"},
    {u"HORER", u"HORROR"},
    {u"HORNTED", u"HAUNTED"},
    {u"HURD", u"HEARD"},
    {u"LITE", u"LIGHT"},
    {u"LORN", u"LAWN"},
    {u"LORNS", u"LAWNS"},
    {u"MAJIK", u"MAGIC"},
    {u"MOONLITE", u"MOONLIGHT"},
    {u"NIS", u"NICE"},
    {u"NITE", u"NIGHT"},
    {u"NORT", u"NOUGHT"},
    {u"NORTY", u"NAUGHTY"},
    {u"NORTEY", u"NAUGHTY"},
    {u"NUTHIN", u"NOTHING"},
    {u"ORTUM", u"AUTUMN"},
    {u"OTTUM", u"AUTUMN"},
    {u"PALY", u"PLAY"},
    {u"PLITE", u"POLITE"},
    {u"PROMERSING", u"PROMISING"},
    {u"QICKLEY", u"QUICKLY"},
    {u"QIUT", u"QUIT"},
    {u"QWIK", u"QUICK"},
    {u"QWIKLY", u"QUICKLY"},
    {u"RIT", u"RIGHT"},
    {u"RIT", u"WRITE"},
    {u"ROAP", u"ROPE"},
    {u"RORT", u"WROUGHT"},
    {u"RUF", u"ROUGH"},
    {u"SED", u"SAID"},
    {u"SHUD", u"SHOULD"},
    {u"SIMPUL", u"SIMPLE"},
    {u"SKULE", u"SCHOOL"},
    {u"SLITE", u"SLIGHT"},
    {u"SOPE", u"SOAP"},
    {u"SPRIS", u"SURPRISE"},
    {u"SPRISE", u"SURPRISE"},
    {u"SUMTHIN", u"SOMETHING"},
    {u"SUMTHING", u"SOMETHING"},
    {u"SUNLITE", u"SUNLIGHT"},
    {u"TELEFONE", u"TELEPHONE"},
    {u"THORT", u"THOUGHT"},
    {u"THRU", u"THROUGH"},
    {u"THURA", u"THOROUGH"},
    {u"THURER", u"THOROUGH"},
    {u"THURRA", u"THOROUGH"},
    {u"THURRER", u"THOROUGH"},
    {u"TITE", u"TIGHT"},
    {u"TONIT", u"TONIGHT"},
    {u"TONITE", u"TONIGHT"},
    {u"TROF", u"TROUGH"},
    {u"TUF", u"TOUGH"},
    {u"TUFF", u"TOUGH"},
    {u"URLE", u"EARLY"},
    {u"URLY", u"EARLY"},
    {u"URLIER", u"EARLIER"},
    {u"URLIU", u"EARLIER"},
    {u"WAT", u"WHAT"},
    {u"WATE", u"WAIT"},
    {u"WATE", u"WEIGHT"},
    {u"WELCUM", u"WELCOME"},
    {u"WEN", u"WHEN"},
    {u"WENDSDAY", u"WEDNESDAY"},
    {u"WENSDAY", u"WEDNESDAY"},
    {u"WITE", u"RIGHT"},
    {u"WIV", u"WITH"},
    {u"WHOT", u"WHAT"},
    {u"WOT", u"WHAT"},
    {u"WUD", u"WOULD"},
    {u"WUD", u"WOOD"},
    {u"WUK", u"WORK"},
    {u"WRORT", u"WROUGHT"},
    {u"YOT", u"YACHT"},
    {u"YOTS", u"YACHTS"},
    {u"YU", u"YOU"},
};
static_assert(std::size(kMisspellings) == 138);

// Candidate patterns: a digit is the typed word's letter at that place, X runs from A to Z.
constexpr const char* kTwoLetterPatterns[] = {"10", "01X", "0X", "X01", "X1", "0X1"};
constexpr const char* kThreeLetterPatterns[] = {"021", "102", "012X", "01X",  "01",  "02",
                                                "0X2", "12",  "01X2", "0X12", "X12", "X012"};
constexpr const char* kFourLetterPatterns[] = {"012",  "013",  "023",  "0213", "012X",
                                               "01X3", "01X2", "0X12", "0X23", "1023",
                                               "123",  "X012", "X123"};
constexpr const char* kLongWordPatterns[] = {"0123", "0134", "0234", "0213", "012X", "01X3", "01X2",
                                             "0X12", "0X23", "1023", "1234", "X012", "X123"};

int TextLength(const char16_t* text) {
  int n = 0;
  while (text[n] != 0) ++n;
  return n;
}

// The cost of typing the word's letter w where the candidate has c.
int SubstitutionCost(char16_t w, char16_t c) {
  struct Pair {
    char16_t from;
    char16_t to;
  };
  static constexpr Pair kCheap[] = {{u'I', u'Y'}, {u'S', u'Z'}, {u'Y', u'I'}, {u'Z', u'S'}};
  static constexpr Pair kSimilar[] = {{u'A', u'E'}, {u'A', u'U'}, {u'C', u'K'}, {u'C', u'S'},
                                      {u'E', u'A'}, {u'E', u'I'}, {u'E', u'U'}, {u'F', u'V'},
                                      {u'G', u'J'}, {u'I', u'E'}, {u'J', u'G'}, {u'K', u'C'},
                                      {u'M', u'N'}, {u'N', u'M'}, {u'S', u'C'}, {u'U', u'A'},
                                      {u'U', u'E'}, {u'V', u'F'}, {u'Y', u'E'}};
  for (const Pair& p : kCheap) {
    if (p.from == w && p.to == c) return 1;
  }
  for (const Pair& p : kSimilar) {
    if (p.from == w && p.to == c) return 2;
  }
  return 4;
}

// The cost of letters left over at the end of one of the two; repeats of the letter before
// cost repeatCost each.
int RemainderCost(const char16_t* letters, int at, int length, int repeatCost) {
  int cost = 0;
  while (at < length && at > 0 && letters[at] == letters[at - 1]) {
    cost += repeatCost;
    ++at;
  }
  const int left = length - at;
  if (left == 1 && letters[at] == u'E') return cost + 1;
  return cost + 4 * left;
}

bool EqualNoCase(const QString& a, const char16_t* b, int length) {
  if (a.size() != length) return false;
  for (int i = 0; i < length; ++i) {
    if (ToUpperChar(a.at(i).unicode()) != ToUpperChar(b[i])) return false;
  }
  return true;
}

}  // namespace

int ScoreSpelling(const char16_t* q, int n, const char16_t* p, int m) {
  int i = 0;
  int j = 0;
  int score = 0;
  while (i < n && j < m) {
    if (q[i] == p[j]) {
      ++i;
      ++j;
    } else if (i > 0 && q[i] == q[i - 1]) {
      ++i;
      score += 1;
    } else if (j > 0 && p[j] == p[j - 1]) {
      ++j;
      score += 1;
    } else if (n - i >= 2 && m - j >= 2 && q[i] == p[j + 1] && q[i + 1] == p[j]) {
      i += 2;
      j += 2;
      score += 1;
    } else if (n - i >= 2 && q[i + 1] == p[j]) {
      i += 2;
      j += 1;
      score += 4;
    } else if (m - j >= 2 && q[i] == p[j + 1]) {
      i += 1;
      j += 2;
      score += 4;
    } else {
      score += SubstitutionCost(q[i], p[j]);
      ++i;
      ++j;
    }
  }
  if (i >= n) {
    if (j < m) score += RemainderCost(p, j, m, 1);
  } else {
    score += RemainderCost(q, i, n, 0);
  }
  return score;
}

void CSpell::SetCandidate(const char16_t* letters, int length) {
  if (length > kMaxWordLength) length = kMaxWordLength;
  for (int i = 0; i < length; ++i) m_candidate[i] = letters[i];
  m_candidateLength = length;
}

void CSpell::ScoreCandidate() {
  if (m_wordLength <= 0 || m_candidateLength <= 0) {
    ReportGlitch(kCodeScoreCandidate, 1);
    return;
  }
  const int score =
      ScoreSpelling(m_word.data(), m_wordLength, m_candidate.data(), m_candidateLength);
  const int limit = m_wordLength > 6 ? 8 : 5;
  if (score <= limit) AddSuggestion(score);
}

void CSpell::AddSuggestion(int score) {
  const int m = m_candidateLength;
  if (m <= 0) return;
  for (int k = 0; k < m_suggestionCount; ++k) {
    const QString& listed = m_suggestions[k];
    const int length = int(listed.size());
    if (EqualNoCase(listed, m_candidate.data(), m)) return;
    if (m == length + 1 && m_candidate[m - 1] == u'S' &&
        EqualNoCase(listed, m_candidate.data(), length)) {
      if (m_wordLength == 0 || m_word[m_wordLength - 1] != u'S') return;
      // The plural of a listed word replaces it when the typed word ends in S.
      const bool lower = GetCaseFlag(m - 1) != 0;
      QString plural = listed + QChar(lower ? u's' : u'S');
      int at = k;
      while (at > 0 && m_scores[at - 1] > score) {
        m_suggestions[at] = m_suggestions[at - 1];
        m_scores[at] = m_scores[at - 1];
        --at;
      }
      // A worse score moves it back, so the list stays in score order.
      while (at + 1 < m_suggestionCount && m_scores[at + 1] < score) {
        m_suggestions[at] = m_suggestions[at + 1];
        m_scores[at] = m_scores[at + 1];
        ++at;
      }
      m_suggestions[at] = plural;
      m_scores[at] = std::int16_t(score);
      return;
    }
    if (length == m + 1 && ToUpperChar(listed.at(m).unicode()) == u'S' &&
        EqualNoCase(listed.left(m), m_candidate.data(), m))
      return;
  }
  if (m_suggestionCount == kMaxSuggestions) {
    if (score >= m_scores[kMaxSuggestions - 1]) return;
    --m_suggestionCount;
  }
  QString stored;
  stored.resize(m);
  for (int i = 0; i < m; ++i) {
    const char16_t c = m_candidate[i];
    stored[i] = QChar(GetCaseFlag(i) != 0 ? ToLowerChar(c) : c);
  }
  int at = 0;
  while (at < m_suggestionCount && m_scores[at] <= score) ++at;
  for (int k = m_suggestionCount; k > at; --k) {
    m_suggestions[k] = m_suggestions[k - 1];
    m_scores[k] = m_scores[k - 1];
  }
  m_suggestions[at] = stored;
  m_scores[at] = std::int16_t(score);
  ++m_suggestionCount;
}

void CSpell::TryShortCandidate(const char16_t* letters, int length) {
  if (!IsInMaskTable(letters, length)) return;
  SetCandidate(letters, length);
  ScoreCandidate();
}

void CSpell::TryLongCandidate(const char16_t* letters) {
  if (!IsInMainDictionary(letters, 4)) return;
  SetCandidate(letters, 4);
  ScoreCandidate();
}

void CSpell::TryPrefixCandidates(const char16_t* letters) {
  if (!FindPrefixBlock(letters)) return;
  const char16_t fourth = letters[3];
  std::array<char16_t, kMaxWordLength> word{};
  while (NextEntry()) {
    if (m_stem[0] != fourth) {
      // Stems are in order: once they pass the fourth letter no later entry can begin with it.
      if (m_entryKind == kEntryPlain && m_stem[0] > fourth) break;
      continue;
    }
    const char* suffix = "";
    int keep = m_stemLength;
    if (m_entryKind == kEntryAppended) suffix = kAppendedSuffixes[m_suffixIndex];
    if (m_entryKind == kEntryReplacing) {
      suffix = kReplacingSuffixes[m_suffixIndex];
      --keep;
    }
    int length = 3 + keep;
    for (const char* s = suffix; *s != 0; ++s) ++length;
    if (length > kMaxWordLength) continue;
    int at = 0;
    for (int i = 0; i < 3; ++i) word[at++] = letters[i];
    for (int i = 0; i < keep; ++i) word[at++] = m_stem[i];
    for (const char* s = suffix; *s != 0; ++s) word[at++] = char16_t(*s);
    SetCandidate(word.data(), length);
    ScoreCandidate();
  }
}

void CSpell::TryCandidate(const char16_t* letters, int length) {
  if (length <= 3) {
    TryShortCandidate(letters, length);
  } else if (m_wordLength <= 3) {
    TryLongCandidate(letters);
  } else {
    TryPrefixCandidates(letters);
  }
}

void CSpell::ScoreListWords(CDocDict* list) {
  if (list == nullptr) return;
  list->RewindWords();
  for (QString w = list->GetNextWord(); !w.isEmpty(); w = list->GetNextWord()) {
    SetCandidate(reinterpret_cast<const char16_t*>(w.utf16()), int(w.size()));
    ScoreCandidate();
  }
}

void CSpell::FindSuggestions() {
  LogScope trace(kCodeFindSuggestions);
  for (QString& s : m_suggestions) s.clear();
  m_suggestionCount = 0;
  if (m_wordLength <= 0) return trace.Exit(kLogInvalid, 1);

  for (const Misspelling& row : kMisspellings) {
    const int keyLength = TextLength(row.key);
    if (keyLength != m_wordLength) continue;
    bool same = true;
    for (int i = 0; i < keyLength && same; ++i) same = row.key[i] == m_word[i];
    if (!same) continue;
    SetCandidate(row.correction, TextLength(row.correction));
    AddSuggestion(0);
  }

  const char* const* patterns = kLongWordPatterns;
  int patternCount = int(std::size(kLongWordPatterns));
  if (m_wordLength == 2) {
    patterns = kTwoLetterPatterns;
    patternCount = int(std::size(kTwoLetterPatterns));
  } else if (m_wordLength == 3) {
    patterns = kThreeLetterPatterns;
    patternCount = int(std::size(kThreeLetterPatterns));
  } else if (m_wordLength == 4) {
    patterns = kFourLetterPatterns;
    patternCount = int(std::size(kFourLetterPatterns));
  }
  if (m_wordLength >= 2) {
    for (int k = 0; k < patternCount; ++k) {
      const char* pattern = patterns[k];
      int length = 0;
      int xAt = -1;
      std::array<char16_t, 4> candidate{};
      for (; pattern[length] != 0; ++length) {
        if (pattern[length] == 'X') {
          xAt = length;
        } else {
          candidate[length] = m_word[pattern[length] - '0'];
        }
      }
      if (xAt < 0) {
        TryCandidate(candidate.data(), length);
        continue;
      }
      for (char16_t x = u'A'; x <= u'Z'; ++x) {
        candidate[xAt] = x;
        TryCandidate(candidate.data(), length);
      }
    }
  }
  trace.Step(1);

  std::array<char16_t, kMaxWordLength> word{};
  int length = 0;
  int pos = 0;
  while (NextApostropheWord(pos, word, length)) {
    if (length > kMaxWordLength) continue;  // never a word the user can have typed
    SetCandidate(word.data(), length);
    ScoreCandidate();
  }
  trace.Step(2);

  ScoreListWords(m_userList.get());
  for (int i = 0; i < m_docDictCount; ++i) ScoreListWords(m_docDicts[i]);
  trace.Exit();
}
