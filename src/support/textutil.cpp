// Text and character utilities.
#include "support/textutil.h"

#include <algorithm>
#include <new>

#include "support/log.h"
#include "support/numbers.h"

namespace {

constexpr char16_t kTimes = 215;   // ×: not a letter, no case partner
constexpr char16_t kDivide = 247;  // ÷: likewise

// The accent table: one row per accent, one column per vowel (a, e, i, o, u).
constexpr int kVowelCount = 5;
enum AccentColumn { kPlain = 0, kAcute = 1, kHat = 2, kGrave = 3, kDiaeresis = 4 };
constexpr char16_t kAccentTable[5][kVowelCount] = {
    {u'a', u'e', u'i', u'o', u'u'},  // plain
    {225, 233, 237, 243, 250},       // acute: á é í ó ú
    {226, 234, 238, 244, 251},       // hat: â ê î ô û
    {224, 232, 236, 242, 249},       // grave: à è ì ò ù
    {228, 235, 239, 246, 252},       // diaeresis: ä ë ï ö ü
};
// The cycle of CycleAccent: plain, acute, grave, diaeresis, hat, plain.
constexpr int kNextInCycle[5] = {kAcute, kGrave, kPlain, kDiaeresis, kHat};

// The special-letter pairs, searched from the first pair to the last.
constexpr int kSpecialPairCount = 13;
constexpr char16_t kSpecialFirst[kSpecialPairCount] = {u'?', u'!', u'A', u'C', u'c', u'E', u'N',
                                                       u'n', u'O', u's', u'S', u'U', u'Z'};
constexpr char16_t kSpecialSecond[kSpecialPairCount] = {
    191,   // ¿
    161,   // ¡
    196,   // Ä
    199,   // Ç
    231,   // ç
    201,   // É
    209,   // Ñ
    241,   // ñ
    214,   // Ö
    223,   // ß
    223,   // ß
    220,   // Ü
    0x17D  // Ž
};

// Finds c in the accent table: true with its accent row and vowel column.
bool FindAccentedVowel(char16_t c, int& accent, int& vowel) {
  for (int a = 0; a < 5; ++a) {
    for (int v = 0; v < kVowelCount; ++v) {
      if (kAccentTable[a][v] == c) {
        accent = a;
        vowel = v;
        return true;
      }
    }
  }
  return false;
}

int ToggleAccent(char16_t* c, int wanted) {
  int accent = 0;
  int vowel = 0;
  if (c == nullptr || !FindAccentedVowel(*c, accent, vowel)) return 0;
  *c = kAccentTable[accent == wanted ? kPlain : wanted][vowel];
  return 1;
}

// Characters of a text compared through ToUpperChar from position at.
bool MatchesAt(const QString& text, const QString& word, int at, bool noCase) {
  for (int k = 0; k < word.size(); ++k) {
    const char16_t t = text.at(at + k).unicode();
    const char16_t w = word.at(k).unicode();
    if (noCase ? ToUpperChar(t) != ToUpperChar(w) : t != w) return false;
  }
  return true;
}

bool IsWholeWordAt(const QString& text, int at, int length) {
  if (at > 0 && !IsBlankChar(text.at(at - 1))) return false;
  const int end = at + length;
  return end >= text.size() || IsBlankChar(text.at(end));
}

int FindWordForward(const QString& text, const QString& word, bool wholeWords, int start,
                    bool noCase) {
  if (word.isEmpty()) return 0;
  if (text.size() < start) return -1;
  const int last = int(text.size() - word.size());
  for (int at = std::max(start, 0); at <= last; ++at) {
    if (MatchesAt(text, word, at, noCase) &&
        (!wholeWords || IsWholeWordAt(text, at, int(word.size()))))
      return at;
  }
  return -1;
}

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

}  // namespace

// ---- Character classes and case ----

bool IsDigitChar(char16_t c) { return c >= u'0' && c <= u'9'; }

bool IsLowerChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= 224 && c <= 253 && c != kDivide);
}

bool IsUpperChar(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= 192 && c <= 221 && c != kTimes);
}

bool IsLetterChar(char16_t c) { return IsLowerChar(c) || IsUpperChar(c); }

bool IsBlankChar(char16_t c) { return c == u' '; }

char16_t ToUpperChar(char16_t c) { return IsLowerChar(c) ? char16_t(c - 32) : c; }

char16_t ToLowerChar(char16_t c) { return IsUpperChar(c) ? char16_t(c + 32) : c; }

QString ToUpperText(const QString& text) {
  QString out = text;
  for (QChar& c : out) c = ToUpperChar(c);
  return out;
}

QString ToLowerText(const QString& text) {
  QString out = text;
  for (QChar& c : out) c = ToLowerChar(c);
  return out;
}

// ---- Accent keys ----

int CycleAccent(char16_t* c) {
  if (c == nullptr) return 0;
  for (int i = 0; i < kSpecialPairCount; ++i) {
    if (*c == kSpecialFirst[i]) {
      *c = kSpecialSecond[i];
      return 1;
    }
    if (*c == kSpecialSecond[i]) {
      *c = kSpecialFirst[i];
      return 1;
    }
  }
  int accent = 0;
  int vowel = 0;
  if (!FindAccentedVowel(*c, accent, vowel)) return 0;
  *c = kAccentTable[kNextInCycle[accent]][vowel];
  return 1;
}

int ToggleAcute(char16_t* c) { return ToggleAccent(c, kAcute); }
int ToggleHatAccent(char16_t* c) { return ToggleAccent(c, kHat); }
int ToggleGrave(char16_t* c) { return ToggleAccent(c, kGrave); }
int ToggleDiaeresis(char16_t* c) { return ToggleAccent(c, kDiaeresis); }

int RemoveAccent(char16_t* c) {
  if (c == nullptr) return 0;
  for (int i = 0; i < kSpecialPairCount; ++i) {
    if (*c == kSpecialSecond[i]) {
      *c = kSpecialFirst[i];
      return 1;
    }
  }
  int accent = 0;
  int vowel = 0;
  if (!FindAccentedVowel(*c, accent, vowel) || accent == kPlain) return 0;
  *c = kAccentTable[kPlain][vowel];
  return 1;
}

// ---- Case cycling ----

int CycleCase(char16_t* text, int count) {
  if (text == nullptr || count <= 0) return 0;
  int first = 0;
  while (first < count && !IsLetterChar(text[first])) ++first;
  if (first >= count) return 0;

  if (IsLowerChar(text[first])) {  // 1. all lower -> Capitalised
    text[first] = ToUpperChar(text[first]);
    for (int i = first + 1; i < count; ++i) text[i] = ToLowerChar(text[i]);
    return 1;
  }
  if (first == count - 1) {  // 2. a lone capital at the end
    text[first] = ToLowerChar(text[first]);
    return 1;
  }
  bool anyLower = false;
  bool wordStartsLower = false;
  for (int i = first + 1; i < count; ++i) {
    if (!IsLowerChar(text[i])) continue;
    anyLower = true;
    if (!IsLetterChar(text[i - 1])) wordStartsLower = true;
  }
  if (wordStartsLower) {  // 3. Each Word Capitalised
    for (int i = first + 1; i < count; ++i) {
      text[i] = IsLetterChar(text[i - 1]) ? ToLowerChar(text[i]) : ToUpperChar(text[i]);
    }
  } else if (anyLower) {  // 4. ALL CAPITALS
    for (int i = first + 1; i < count; ++i) text[i] = ToUpperChar(text[i]);
  } else {  // 5. all lower
    for (int i = first; i < count; ++i) text[i] = ToLowerChar(text[i]);
  }
  return 1;
}

int CycleCase(QString& text, int count) {
  count = std::min(count, int(text.size()));
  if (count <= 0) return 0;
  return CycleCase(reinterpret_cast<char16_t*>(text.data()), count);
}

// ---- Search and comparison ----

int FindChar(const QString& text, char16_t c) {
  const int at = int(text.indexOf(QChar(c)));
  if (c == 0 && at < 0) return int(text.size());  // the terminator
  return at;
}

int FindEitherChar(const QString& text, char16_t c1, char16_t c2) {
  for (int i = 0; i < text.size(); ++i) {
    const char16_t c = text.at(i).unicode();
    if (c == c1 || c == c2) return i;
  }
  return -1;
}

std::int16_t FindLastChar(const QString& text, char16_t c) {
  return static_cast<std::int16_t>(text.lastIndexOf(QChar(c)));
}

int CountChar(const QString& text, char16_t c) { return int(text.count(QChar(c))); }

int StartsWithNoCase(const QString& text, const QString& prefix) {
  if (prefix.size() > text.size()) return 0;
  return MatchesAt(text, prefix, 0, true) ? 1 : 0;
}

int CompareNoCase(const QString& a, const QString& b) {
  const int n = int(std::min(a.size(), b.size()));
  for (int i = 0; i < n; ++i) {
    const int d = int(ToUpperChar(a.at(i).unicode())) - int(ToUpperChar(b.at(i).unicode()));
    if (d != 0) return Sign(d);
  }
  return Sign(int(a.size() - b.size()));
}

int CompareNoCaseN(const QString& a, const QString& b, int n) {
  for (int i = 0;; ++i) {
    const bool aEnds = i >= a.size();
    if (i >= n) return aEnds ? 0 : 1;
    if (aEnds) return -1;
    const char16_t cb = i < b.size() ? ToUpperChar(b.at(i).unicode()) : char16_t(0);
    const int d = int(ToUpperChar(a.at(i).unicode())) - int(cb);
    if (d != 0) return Sign(d);
  }
}

int CompareNoCaseTrimmed(const QString& a, const QString& b) {
  const int n = int(std::min(a.size(), b.size()));
  for (int i = 0; i < n; ++i) {
    const int d = int(ToUpperChar(a.at(i).unicode())) - int(ToUpperChar(b.at(i).unicode()));
    if (d != 0) return Sign(d);
  }
  if (a.size() == b.size()) return 0;
  const QString& longer = a.size() > b.size() ? a : b;
  if (SkipBlanks(longer, n) >= longer.size()) return 0;
  return a.size() < b.size() ? 1 : -1;  // the text that ended is the larger
}

int CompareNatural(const QString& a, const QString& b) {
  const int n = int(std::min(a.size(), b.size()));
  for (int i = 0; i < n; ++i) {
    const char16_t ca = a.at(i).unicode();
    const char16_t cb = b.at(i).unicode();
    if (IsDigitChar(ca) && IsDigitChar(cb)) {
      double va = 0;
      double vb = 0;
      if (TextToDouble(QStringView(a).mid(i), va) && TextToDouble(QStringView(b).mid(i), vb)) {
        return va < vb ? -1 : (va > vb ? 1 : 0);
      }
    }
    const int d = int(ToUpperChar(ca)) - int(ToUpperChar(cb));
    if (d != 0) return Sign(d);
  }
  return Sign(int(a.size() - b.size()));
}

int FindWordNoCase(const QString& text, const QString& word, bool wholeWords, int start) {
  return FindWordForward(text, word, wholeWords, start, true);
}

int FindWord(const QString& text, const QString& word, bool wholeWords, int start) {
  return FindWordForward(text, word, wholeWords, start, false);
}

int FindLastWordNoCase(const QString& text, const QString& word, bool wholeWords, int before) {
  if (word.isEmpty()) return 0;
  int at = int(text.size() - word.size());
  if (before >= 0 && before < at) at = before;
  for (; at >= 0; --at) {
    if (MatchesAt(text, word, at, true) &&
        (!wholeWords || IsWholeWordAt(text, at, int(word.size()))))
      return at;
  }
  return -1;
}

int IsWebAddress(const QString& text) {
  const int at = SkipBlanks(text, 0);
  for (const QString& scheme : {QStringLiteral("http://"), QStringLiteral("https://")}) {
    if (text.size() - at >= scheme.size() && MatchesAt(text, scheme, at, true)) return 1;
  }
  return 0;
}

// ---- Copy, trim and edit ----

int g_copyLeftFailuresForTest = 0;

int CopyLeft(QString& out, const QString& text, int count) {
  try {
    if (g_copyLeftFailuresForTest > 0) {
      --g_copyLeftFailuresForTest;
      throw std::bad_alloc();
    }
    out = text.left(std::max(count, 0));
    return 1;
  } catch (const std::bad_alloc& e) {
    constexpr int kExceptionKindMemory = 3;  // GetExceptionKind: memory
    SetGlitchMessage(QString::fromLatin1(e.what()));
    SetGlitchValue(kExceptionKindMemory);
    ReportGlitch(20248, 1);
    out.clear();
    return 0;
  }
}

int CopyTextN(char16_t* out, int outSize, const QString& text, int count) {
  if (out == nullptr || outSize <= 0) return 0;
  const int n = std::max(0, std::min({count, outSize - 1, int(text.size())}));
  std::copy_n(reinterpret_cast<const char16_t*>(text.constData()), n, out);
  out[n] = 0;
  return n;
}

void AppendChars(QString& s, const QString& text, int count) {
  if (count > 0) s += QStringView(text).left(std::min(count, int(text.size())));
}

void SkipBlanks(const char16_t*& cursor) {
  while (cursor != nullptr && IsBlankChar(*cursor)) ++cursor;
}

void SkipBlanks(char16_t*& cursor) {
  while (cursor != nullptr && IsBlankChar(*cursor)) ++cursor;
}

int SkipBlanks(const QString& text, int pos) {
  pos = std::max(pos, 0);
  while (pos < text.size() && IsBlankChar(text.at(pos))) ++pos;
  return int(std::min(qsizetype(pos), text.size()));
}

int TrimTrailingBlanks(QString& text) {
  qsizetype end = text.size();
  while (end > 0 && IsBlankChar(text.at(end - 1))) --end;
  if (end == text.size()) return -1;
  text.truncate(end);
  return int(end);
}

int TrimText(QString& text) {
  const bool trailing = TrimTrailingBlanks(text) >= 0;
  const int lead = SkipBlanks(text, 0);
  if (lead > 0) text.remove(0, lead);
  return trailing || lead > 0 ? 1 : 0;
}

int TrimString(QString& text) {
  const qsizetype end = text.indexOf(QChar(0));
  if (end >= 0) text.truncate(end);
  return TrimText(text);
}

void ShiftText(QString& text, int pos, int shift) {
  const int length = int(text.size());
  if (shift == 0 || pos < 0 || pos > length) return;
  if (shift > 0) {
    // The gap keeps the old characters; beyond the old end (a buffer's unused room) blanks.
    QString gap = text.mid(pos, shift);
    gap += QString(shift - gap.size(), QChar(u' '));
    text.insert(pos, gap);
  } else if (pos + shift >= 0) {
    text.remove(pos + shift, -shift);
  }
}

void RemoveMnemonic(const QString& text, QString& out) {
  out = text;
  const qsizetype at = out.indexOf(QChar(u'&'));
  if (at >= 0) out.remove(at, 1);
}

void QuoteCsvField(QString& s) {
  QString quoted;
  quoted.reserve(s.size() + 2);
  quoted += u'"';
  for (QChar c : s) {
    if (c == u'"') quoted += u'"';
    quoted += c;
  }
  quoted += u'"';
  s = quoted;
}

QString DecodeLineBreaks(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (QChar c : text) {
    if (c.unicode() == kStoredLineBreak)
      out += QStringLiteral("\r\n");
    else
      out += c;
  }
  return out;
}

QString EncodeLineBreaks(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (QChar c : text) {
    if (c == u'\r')
      out += QChar(kStoredLineBreak);
    else if (c != u'\n')
      out += c;
  }
  return out;
}

// ---- Fields ----

QString GetCommaItem(const QString& text, int index) {
  if (index < 0) return QString();
  qsizetype start = 0;
  for (int i = 0; i < index; ++i) {
    const qsizetype comma = text.indexOf(QChar(u','), start);
    if (comma < 0) return QString();
    start = comma + 1;
  }
  const qsizetype end = text.indexOf(QChar(u','), start);
  QString item = text.mid(start, end < 0 ? -1 : end - start);
  TrimText(item);
  return item;
}

QString TakeField(QString& s, char16_t separator) {
  QString field;
  const qsizetype at = s.indexOf(QChar(separator));
  if (at < 0) {
    field = s;
    s.clear();
  } else {
    field = s.left(at);
    s.remove(0, at + 1);
  }
  TrimText(field);
  return field;
}

// What follows the closing quote (up to and including the next separator) stays in s; the
// next call takes it as a field of its own. The usage log's only quoted field is its last.
QString TakeCsvField(QString& s) {
  TrimText(s);
  if (!s.startsWith(u'"')) return TakeField(s, u',');
  QString field;
  for (qsizetype i = 1; i < s.size(); ++i) {
    if (s.at(i) != u'"') {
      field += s.at(i);
    } else if (i + 1 < s.size() && s.at(i + 1) == u'"') {
      field += u'"';  // a doubled quote stands for one
      ++i;
    } else {
      s.remove(0, i + 1);
      TrimText(field);
      return field;
    }
  }
  s.clear();  // no end quote: the rest is the field, untrimmed
  return field;
}

int SplitTrailingNumber(QString& s) {
  const int length = int(s.size());
  if (length <= 2) return -1;
  int digits = 0;
  while (digits < length && IsDigitChar(s.at(length - 1 - digits))) ++digits;
  if (digits < 1 || digits > 4) return -1;
  const int blank = length - 1 - digits;
  if (blank < 1 || !IsBlankChar(s.at(blank))) return -1;
  std::int16_t number = 0;
  if (!TextToShort(QStringView(s).mid(blank + 1), number)) return -1;
  s.truncate(blank);
  return number;
}

// ---- Product and tool names ----

int g_productKind = kZephorinProductKind;

void ResetProductKind() { g_productKind = kZephorinProductKind; }

QString GetProductName(int kind) {
  return kind == kZephorinProductKind ? QStringLiteral("Zephorin") : QString();
}

int GetProductVersionDigit(int kind) { return kind == kZephorinProductKind ? 3 : 0; }

QString GetToolName(int /*number*/) {
  // The maker's tool names are not given for this program; none is used by it.
  return QString();
}
