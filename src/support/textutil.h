#pragma once
// The program's own character classes, case mapping and text helpers. A letter is
// an ASCII letter or a Latin-1 letter and case changes by a fixed offset of 32; the platform's
// locale is never used. Characters are 16-bit codes (char16_t); texts are QString.
//
// - × (215) and ÷ (247) are neither letters nor a case pair: changing case never turns "3×4"
//   into "3÷4". 223 ß, 254 þ, 255 ÿ and 222 Þ have no case partner and are not letters.
// - Results are QStrings by value, valid as long as the caller keeps them.
#include <QChar>
#include <QString>
#include <cstdint>

// ---- Character classes and case ----
bool IsDigitChar(char16_t c);   // '0'..'9'
bool IsLowerChar(char16_t c);   // 'a'..'z' and 224..253 except 247
bool IsUpperChar(char16_t c);   // 'A'..'Z' and 192..221 except 215
bool IsLetterChar(char16_t c);  // IsLowerChar or IsUpperChar
bool IsBlankChar(char16_t c);   // ' ' only (a blank is the space character, as for numbers)
// 'a'..'z' and 224..253 (not 247) lose 32; everything else is returned unchanged.
char16_t ToUpperChar(char16_t c);
// 'A'..'Z' and 192..221 (not 215) gain 32; everything else is returned unchanged.
char16_t ToLowerChar(char16_t c);

inline bool IsDigitChar(QChar c) { return IsDigitChar(c.unicode()); }
inline bool IsLowerChar(QChar c) { return IsLowerChar(c.unicode()); }
inline bool IsUpperChar(QChar c) { return IsUpperChar(c.unicode()); }
inline bool IsLetterChar(QChar c) { return IsLetterChar(c.unicode()); }
inline bool IsBlankChar(QChar c) { return IsBlankChar(c.unicode()); }
inline QChar ToUpperChar(QChar c) { return QChar(ToUpperChar(c.unicode())); }
inline QChar ToLowerChar(QChar c) { return QChar(ToLowerChar(c.unicode())); }

// Upper-cases / lower-cases a whole text with ToUpperChar / ToLowerChar.
QString ToUpperText(const QString& text);
QString ToLowerText(const QString& text);

// ---- Accent keys (change the character in place; 1 when changed, else 0) ----
int CycleAccent(char16_t* c);
int ToggleAcute(char16_t* c);
int ToggleHatAccent(char16_t* c);
int ToggleGrave(char16_t* c);
int ToggleDiaeresis(char16_t* c);
int RemoveAccent(char16_t* c);

// ---- Case cycling of the first count characters (1 when changed, 0 when no letter) ----
int CycleCase(QString& text, int count);
int CycleCase(char16_t* text, int count);  // the text must hold count characters

// ---- Search and comparison (indices from 0) ----
int FindChar(const QString& text, char16_t c);  // c = 0 finds the end: the length
int FindEitherChar(const QString& text, char16_t c1, char16_t c2);
std::int16_t FindLastChar(const QString& text, char16_t c);
int CountChar(const QString& text, char16_t c);
int StartsWithNoCase(const QString& text, const QString& prefix);
int CompareNoCase(const QString& a, const QString& b);
int CompareNoCaseN(const QString& a, const QString& b, int n);
int CompareNoCaseTrimmed(const QString& a, const QString& b);
int CompareNatural(const QString& a, const QString& b);
int FindWordNoCase(const QString& text, const QString& word, bool wholeWords, int start);
int FindWord(const QString& text, const QString& word, bool wholeWords, int start);
int FindLastWordNoCase(const QString& text, const QString& word, bool wholeWords, int before);
int IsWebAddress(const QString& text);

// ---- Copy, trim and edit ----
// out = the first count characters; allocation failure: glitch 20248 (n 1), out empty, 0.
int CopyLeft(QString& out, const QString& text, int count);
// For tests: while positive, each CopyLeft counts it down and fails as if out of memory.
extern int g_copyLeftFailuresForTest;
// At most count and at most outSize - 1 characters, always terminated; nothing when
// outSize <= 0. Returns the number of characters copied.
int CopyTextN(char16_t* out, int outSize, const QString& text, int count);
void AppendChars(QString& s, const QString& text, int count);
// Advances past blanks. The text must be terminated by 0.
void SkipBlanks(const char16_t*& cursor);
void SkipBlanks(char16_t*& cursor);
// The position of the first non-blank at or after pos (the length when none).
int SkipBlanks(const QString& text, int pos);
// Cuts trailing blanks; the new length, or -1 when there were none.
int TrimTrailingBlanks(QString& text);
// Removes trailing and leading blanks; 1 when anything was removed.
int TrimText(QString& text);
// TrimText on the text up to its first 0 character (the rest is cut off first).
int TrimString(QString& text);
// shift > 0: the characters from pos move right by shift; the gap keeps the old characters
// (positions beyond the old end become blanks). shift < 0 and pos + shift >= 0: the -shift
// characters before pos are deleted. Nothing when shift is 0 or pos > length.
void ShiftText(QString& text, int pos, int shift);
void RemoveMnemonic(const QString& text, QString& out);
void QuoteCsvField(QString& s);
QString DecodeLineBreaks(const QString& text);  // 127 -> CR LF
QString EncodeLineBreaks(const QString& text);  // CR -> 127, LF dropped
inline constexpr char16_t kStoredLineBreak = 127;

// ---- Fields ----
QString GetCommaItem(const QString& text, int index);
QString TakeField(QString& s, char16_t separator);
QString TakeCsvField(QString& s);
// "Box 12" -> s = "Box", 12; otherwise s unchanged and -1.
int SplitTrailingNumber(QString& s);

// ---- Product and tool names ----
// Only this program's own kind 3 ("Zephorin", digit 3) is known; the table's other rows name
// the maker's other products and tools, are not used by this program and give empty text / 0.
inline constexpr int kZephorinProductKind = 3;
QString GetProductName(int kind);
int GetProductVersionDigit(int kind);
QString GetToolName(int number);  // number 1..10; empty for every number here
// The product kind the application runs as; set to 3 at start-up.
extern int g_productKind;
void ResetProductKind();  // back to 3, for tests
