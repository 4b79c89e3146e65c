#pragma once
// The program's one set of number rules: doubles to integers (truncation with a
// 1e-14 allowance, rounding half away from zero, ceilings ignoring fractions below 0.000001),
// clamps to -2147483647..2147483647 and -32767..32767 (the most negative value is never
// produced), rounded integer division, comparison of doubles, angles, decimal scales, number
// text in both directions and rounding of number text for display.
//
// Everything here is a free function without state. Only the division functions record
// anything (a glitch when the divisor is 0). The text functions never use the C locale: the
// decimal point is always '.', ',' is the thousands separator.
//
// Non-finite values (decisions for Linux):
// - The double-to-integer conversions give 0 for NaN; +infinity and -infinity clamp like any
//   value beyond the range (TruncateToInt(inf) = 2147483647). RoundToWhole and CeilToWhole
//   pass NaN and infinities through.
// - DecimalMagnitude and RoundToNiceStep leave a non-finite value unchanged (as a value of 0
//   or below), and RoundToNiceStep then stores code 0.
// - The text-to-number functions refuse any text whose value is not finite ("1e999"): they
//   return 0 and leave the output unchanged.
// Texts end where the QString or QStringView ends: nothing past it is read, and a NUL inside
// is an ordinary (stray) character.
#include <QString>
#include <QStringView>
#include <cstdint>

// ---- Ranges ----
inline constexpr int kIntRangeMax = 2147483647;  // the clamps never produce -2147483648
inline constexpr int kShortRangeMax = 32767;     // the clamps never produce -32768
inline constexpr int kCoordinateLimitX = 50000000;
inline constexpr int kCoordinateLimitY = 30000000;

// Rounding modes of the text-rounding functions.
inline constexpr std::int16_t kRoundNearest = 0;  // first dropped digit '5' or more rounds up
inline constexpr std::int16_t kRoundCut = 1;      // toward zero
inline constexpr std::int16_t kRoundUp = 2;  // away from zero unless every dropped digit is '0'

// Comma modes of the number syntax tests.
inline constexpr int kCommaGroups = 1;  // commas only as thousands separators in correct groups
inline constexpr int kCommaIgnore = 2;  // commas ignored wherever they stand before the point
inline constexpr int kCommaRefuse = 0;  // (any other value) a comma makes the text invalid

// Buffer sizes (characters, terminator included) that hold the longest text of each type.
inline constexpr int kIntTextSize = 13;    // "-2147483648" + terminator, with room to spare
inline constexpr int kInt64TextSize = 21;  // "-9223372036854775808" + terminator
inline constexpr int kShortTextSize = 7;   // "-32768" + terminator

// ---- Double to integer ----
// Truncation toward zero after adding 1e-14 away from zero; clamped. NaN gives 0.
int TruncateToInt(double x);
std::int16_t TruncateToShort(double x);
// Half away from zero: TruncateToInt(x + 0.5) for x >= 0, TruncateToInt(x - 0.5) otherwise.
int RoundToInt(double x);
std::int16_t RoundToShort(double x);
// floor(x + 0.5) for x >= 0, -floor(-x + 0.5) otherwise.
double RoundToWhole(double x);
// Away from zero, a fraction below 0.000001 counting as none; clamped. NaN gives 0.
int CeilToInt(double x);
std::int16_t CeilToShort(double x);
double CeilToWhole(double x);

// ---- Integer clamps ----
int ClampAwayFromIntMin(int v);
int ClampInt64ToInt(std::int64_t v);
std::int16_t ClampToShort(int v);
std::int16_t ClampUShortToShort(std::uint32_t v);
int ClampX(int v);
int ClampY(int v);
std::int16_t SignOf(int v);  // -1 for a negative value, else 1
void SwapShorts(std::int16_t& a, std::int16_t& b);
void SwapInts(int& a, int& b);
void SwapDoubles(double& a, double& b);

// ---- Integer division (a divisor of 0 reports a glitch and gives the fixed value) ----
// Rounded to nearest, an exact half toward zero. b == 0: glitch 20210 (n 1), result 1.
int DivideRounded(int a, int b);
// As DivideRounded, magnitude limited to 32767. b == 0: glitch 20211 (n 1), result 1.
std::int16_t DivideRoundedShort(int a, int b);
// Truncated quotient, one further from zero when there is a remainder.
// b == 0: glitch 20213 (n 1), result 2147483647.
int DivideAwayFromZero(int a, int b);
// RoundToInt(a * b / c) in doubles. c == 0: a and b to SetGlitchValue, glitch 20222 (n 1),
// result 0.
int MulDivRounded(int a, int b, int c);

// ---- Comparison and angles ----
int NearlyEqual(double a, double b);
// atan2(dy, dx), plus 2 pi when negative; 0 when both are 0. (Computed this way, a
// negative angle smaller than half a unit in the last place of 2 pi gives 2 pi itself.)
double AngleOf(double dy, double dx);

// ---- Decimal scale ----
// v > 0 (finite) becomes the power of ten 10^n with v / 10^n in (1, 10] (v > 1) or [1, 10)
// (v <= 1); otherwise unchanged.
void DecimalMagnitude(double& v);
// v > 0 (finite) becomes 1, 2 or 5 times a power of ten; *code (when not null) gets 0 for a
// step of 1 or 10, 1 for 2, 2 for 5. A value of 0 or below, or not finite, is left unchanged
// and the code is 0.
void RoundToNiceStep(double& v, std::int16_t* code);

// ---- Number to text ----
// Decimal text into buffer (size characters, terminator included); returns the number of
// characters written without the terminator. A buffer too small for the text gets an empty
// text (when size >= 1) and the result is 0.
int IntToText(int value, char16_t* buffer, int size);
int LongToText(std::int32_t value, char16_t* buffer, int size);  // a Windows long: 32-bit
int Int64ToText(std::int64_t value, char16_t* buffer, int size);
void IntToString(int value, QString& out);
void ShortToString(std::int16_t value, QString& out);
void AppendShort(QString& text, std::int16_t value);
void AppendUShort(QString& text, std::uint16_t value);
void AppendLong(QString& text, std::int32_t value);
void AppendInt(QString& text, int value);
// width <= 0: nothing written. Otherwise exactly width characters plus a terminator in out
// (which must hold width + 1): '-' first for a negative value, then the magnitude's digits
// padded in front with '0' or cut to their last digits.
void FormatZeroPadded(int value, char16_t* out, int width);

// ---- Text to number (1 and the value stored, or 0 and the output unchanged) ----
int TextToByte(QStringView text, std::uint8_t& value);
int TextToShort(QStringView text, std::int16_t& value);
int TextToUShort(QStringView text, std::uint16_t& value);
int TextToInt(QStringView text, int& value);
int TextToUnsigned(QStringView text, std::uint32_t& value);
int TextToDouble(QStringView text, double& value);
int StringToDouble(const QString& text, double& value);
int LeadingWholeNumber(QStringView text, int& value);

// Number syntax. commaMode: kCommaGroups, kCommaIgnore, other: refuse.
int IsNumberText(QStringView text, int commaMode);
// maxDigits >= 0: '+' or '-' allowed, limit maxDigits; maxDigits < 0: only '+', limit -maxDigits.
int IsWholeNumberText(QStringView text, std::int16_t maxDigits, int commaMode);

// ---- Rounding number text (in place) ----
void NormaliseNumberText(QString& text);
// Decimals below 0 count as 0; modes other than 0 and 2 cut.
void RoundNumberText(QString& text, std::int16_t decimals, std::int16_t mode);
void RoundNumberString(QString& text, std::int16_t decimals, std::int16_t mode);
// Digits below 1 count as 1. A text holding an exponent or any character other than digits,
// points and a leading '-' is left as normalised, wherever that character stands.
void RoundTextToSignificantDigits(QString& text, std::int16_t digits, std::int16_t mode);
// Formats v like the file writer, rounds the text to that many significant digits (mode 0) and
// converts it back. A value that is not finite is left unchanged.
void RoundToSignificantDigits(double& v, int digits);
