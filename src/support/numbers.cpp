#include "support/numbers.h"

#include <utility>

// First commit: declarations only; the rules follow.
int TruncateToInt(double) { return 0; }
std::int16_t TruncateToShort(double) { return 0; }
int RoundToInt(double) { return 0; }
std::int16_t RoundToShort(double) { return 0; }
double RoundToWhole(double x) { return x; }
int CeilToInt(double) { return 0; }
std::int16_t CeilToShort(double) { return 0; }
double CeilToWhole(double x) { return x; }
int ClampAwayFromIntMin(int v) { return v; }
int ClampInt64ToInt(std::int64_t v) { return static_cast<int>(v); }
std::int16_t ClampToShort(int v) { return static_cast<std::int16_t>(v); }
std::int16_t ClampUShortToShort(std::uint32_t v) { return static_cast<std::int16_t>(v); }
int ClampX(int v) { return v; }
int ClampY(int v) { return v; }
std::int16_t SignOf(int v) { return v < 0 ? -1 : 1; }
void SwapShorts(std::int16_t& a, std::int16_t& b) { std::swap(a, b); }
void SwapInts(int& a, int& b) { std::swap(a, b); }
void SwapDoubles(double& a, double& b) { std::swap(a, b); }
int DivideRounded(int, int) { return 1; }
std::int16_t DivideRoundedShort(int, int) { return 1; }
int DivideAwayFromZero(int, int) { return 0; }
int MulDivRounded(int, int, int) { return 0; }
int NearlyEqual(double a, double b) { return a == b; }
double AngleOf(double, double) { return 0; }
void DecimalMagnitude(double&) {}
void RoundToNiceStep(double&, std::int16_t* code) { if (code) *code = 0; }
int IntToText(int, char16_t* buffer, int size) { if (size > 0) buffer[0] = 0; return 0; }
int LongToText(std::int32_t, char16_t* buffer, int size) { if (size > 0) buffer[0] = 0; return 0; }
int Int64ToText(std::int64_t, char16_t* buffer, int size) { if (size > 0) buffer[0] = 0; return 0; }
void IntToString(int value, QString& out) { out = QString::number(value); }
void ShortToString(std::int16_t value, QString& out) { out = QString::number(value); }
void AppendShort(QString& text, std::int16_t value) { text += QString::number(value); }
void AppendUShort(QString& text, std::uint16_t value) { text += QString::number(value); }
void AppendLong(QString& text, std::int32_t value) { text += QString::number(value); }
void AppendInt(QString& text, int value) { text += QString::number(value); }
void FormatZeroPadded(int, char16_t* out, int width) { if (width > 0) out[0] = 0; }
int TextToByte(QStringView, std::uint8_t&) { return 0; }
int TextToShort(QStringView, std::int16_t&) { return 0; }
int TextToUShort(QStringView, std::uint16_t&) { return 0; }
int TextToInt(QStringView, int&) { return 0; }
int TextToUnsigned(QStringView, std::uint32_t&) { return 0; }
int TextToDouble(QStringView, double&) { return 0; }
int StringToDouble(const QString& text, double& value) { return TextToDouble(text, value); }
int LeadingWholeNumber(QStringView, int&) { return 0; }
int IsNumberText(QStringView, int) { return 0; }
int IsWholeNumberText(QStringView, std::int16_t, int) { return 0; }
void NormaliseNumberText(QString&) {}
void RoundNumberText(QString&, std::int16_t, std::int16_t) {}
void RoundNumberString(QString&, std::int16_t, std::int16_t) {}
void RoundTextToSignificantDigits(QString&, std::int16_t, std::int16_t) {}
void RoundToSignificantDigits(double&, int) {}
