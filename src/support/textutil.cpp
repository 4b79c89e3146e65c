#include "support/textutil.h"

// Stubs: the full implementation follows in the next commit.

bool IsDigitChar(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsLowerChar(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= 224 && c <= 253 && c != 247); }
bool IsUpperChar(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= 192 && c <= 221 && c != 215); }
bool IsLetterChar(char16_t c) { return IsLowerChar(c) || IsUpperChar(c); }
bool IsBlankChar(char16_t c) { return c == u' ' || c == u'\t'; }
char16_t ToUpperChar(char16_t c) { return IsLowerChar(c) ? char16_t(c - 32) : c; }
char16_t ToLowerChar(char16_t c) { return IsUpperChar(c) ? char16_t(c + 32) : c; }
QString ToUpperText(const QString& text) { return text; }
QString ToLowerText(const QString& text) { return text; }

int CycleAccent(char16_t*) { return 0; }
int ToggleAcute(char16_t*) { return 0; }
int ToggleHatAccent(char16_t*) { return 0; }
int ToggleGrave(char16_t*) { return 0; }
int ToggleDiaeresis(char16_t*) { return 0; }
int RemoveAccent(char16_t*) { return 0; }
int CycleCase(QString&, int) { return 0; }
int CycleCase(char16_t*, int) { return 0; }

int FindChar(const QString& text, char16_t c) { return c == 0 ? int(text.size()) : int(text.indexOf(QChar(c))); }
int FindEitherChar(const QString&, char16_t, char16_t) { return -1; }
std::int16_t FindLastChar(const QString& text, char16_t c) { return std::int16_t(text.lastIndexOf(QChar(c))); }
int CountChar(const QString& text, char16_t c) { return int(text.count(QChar(c))); }
int StartsWithNoCase(const QString&, const QString&) { return 0; }
int CompareNoCase(const QString&, const QString&) { return 0; }
int CompareNoCaseN(const QString&, const QString&, int) { return 0; }
int CompareNoCaseTrimmed(const QString&, const QString&) { return 0; }
int CompareNatural(const QString&, const QString&) { return 0; }
int FindWordNoCase(const QString&, const QString&, bool, int) { return -1; }
int FindWord(const QString&, const QString&, bool, int) { return -1; }
int FindLastWordNoCase(const QString&, const QString&, bool, int) { return -1; }
int IsWebAddress(const QString&) { return 0; }

int CopyLeft(QString& out, const QString& text, int count) { out = text.left(count); return 1; }
int CopyTextN(char16_t* out, int outSize, const QString&, int) { if (outSize > 0) out[0] = 0; return 0; }
void AppendChars(QString&, const QString&, int) {}
void SkipBlanks(const char16_t*&) {}
void SkipBlanks(char16_t*&) {}
int SkipBlanks(const QString&, int pos) { return pos; }
int TrimTrailingBlanks(QString&) { return -1; }
int TrimText(QString&) { return 0; }
int TrimString(QString&) { return 0; }
void ShiftText(QString&, int, int) {}
void RemoveMnemonic(const QString& text, QString& out) { out = text; }
void QuoteCsvField(QString&) {}
QString DecodeLineBreaks(const QString& text) { return text; }
QString EncodeLineBreaks(const QString& text) { return text; }

QString GetCommaItem(const QString&, int) { return QString(); }
QString TakeField(QString& s, char16_t) { QString f = s; s.clear(); return f; }
QString TakeCsvField(QString& s) { QString f = s; s.clear(); return f; }
int SplitTrailingNumber(QString&) { return -1; }

int g_productKind = kZephorinProductKind;
void ResetProductKind() { g_productKind = kZephorinProductKind; }
QString GetProductName(int kind) { return kind == 3 ? QStringLiteral("Zephorin") : QString(); }
int GetProductVersionDigit(int kind) { return kind == 3 ? 3 : 0; }
QString GetToolName(int) { return QString(); }
