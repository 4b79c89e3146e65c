#include "support/numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "support/constants.h"
#include "support/log.h"

namespace {

constexpr double kTruncateAllowance = 1e-14;
constexpr double kCeilAllowance = 0.999999;
constexpr double kNearlyEqualFactor = 1e-14;

bool IsDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }
bool IsBlank(QChar c) { return c.unicode() == u' '; }
bool IsExponentMark(QChar c) { return c.unicode() == u'E' || c.unicode() == u'e'; }

// trunc(t) limited to -limit..limit; NaN gives 0.
template <typename T>
T TruncateClamped(double t, double limit) {
  if (std::isnan(t)) return 0;
  if (t >= limit + 1.0) return static_cast<T>(limit);
  if (t <= -(limit + 1.0)) return static_cast<T>(-limit);
  return static_cast<T>(t);  // conversion truncates toward zero
}

// ---- Powers of ten ----

constexpr int kMaxPower = 308;
constexpr int kMinPower = -323;

// 10^n as the double nearest to it, for kMinPower <= n <= kMaxPower.
double PowerOfTen(int n) {
  static const std::array<double, kMaxPower - kMinPower + 1> table = [] {
    std::array<double, kMaxPower - kMinPower + 1> t{};
    for (int k = kMinPower; k <= kMaxPower; ++k) {
      char text[8] = {'1', 'e'};
      char* end = std::to_chars(text + 2, text + sizeof text, k).ptr;
      double value = 0;
      std::from_chars(text, end, value);
      t[k - kMinPower] = value;
    }
    return t;
  }();
  return table[std::clamp(n, kMinPower, kMaxPower) - kMinPower];
}

// v / 10^n with one rounding where the power is representable (two for the far denormals).
double DivideByPowerOfTen(double v, int n) {
  if (n >= 0) return v / PowerOfTen(n);
  if (-n <= kMaxPower) return v * PowerOfTen(-n);
  return v * PowerOfTen(kMaxPower) * PowerOfTen(-n - kMaxPower);
}

// step x 10^n, one rounding: a division for negative n keeps 5 x 10^-2 equal to 0.05.
double TimesPowerOfTen(double step, int n) {
  if (n >= 0) return step * PowerOfTen(n);
  if (-n <= kMaxPower) return step / PowerOfTen(-n);
  return step / PowerOfTen(kMaxPower) / PowerOfTen(-n - kMaxPower);
}

// ---- Integer text ----

// Writes the digits of magnitude backwards ending before end; returns the first character.
char16_t* WriteDigitsBackwards(std::uint64_t magnitude, char16_t* end) {
  do {
    *--end = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  return end;
}

std::uint64_t Magnitude(std::int64_t value) {
  return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

int SignedToText(std::int64_t value, char16_t* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  char16_t scratch[24];
  char16_t* end = scratch + 24;
  char16_t* first = WriteDigitsBackwards(Magnitude(value), end);
  if (value < 0) *--first = u'-';
  const int length = static_cast<int>(end - first);
  if (length + 1 > size) {
    buffer[0] = 0;
    return 0;
  }
  std::copy(first, end, buffer);
  buffer[length] = 0;
  return length;
}

void AppendSigned(QString& text, std::int64_t value) {
  char16_t scratch[24];
  const int length = SignedToText(value, scratch, 24);
  text.append(QStringView(scratch, length));
}

// ---- Number syntax ----

// Group rules of a comma in mode 1 (step 2 of the syntax): false when the comma is refused.
bool AcceptGroupComma(bool& commaSeen, int& group) {
  if (!commaSeen) {
    if (group < 1 || group > 3) return false;
  } else if (group != 3) {
    return false;
  }
  commaSeen = true;
  group = 0;
  return true;
}

// Converts a text whose syntax IsNumberText (comma mode 1 or 2) has accepted: commas are
// skipped, '.' is the point. False when the value is not finite. Reads only inside text.
bool ConvertNumberText(QStringView text, double& value) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  // The mantissa's digits without the point; intDigits of them stand before it.
  std::string digits;
  std::int64_t intDigits = 0;
  bool pointSeen = false;
  for (; i < n; ++i) {
    const QChar c = text[i];
    if (IsDigit(c)) {
      digits.push_back(static_cast<char>(c.unicode()));
      if (!pointSeen) ++intDigits;
    } else if (c == u'.') {
      pointSeen = true;
    } else if (c == u',') {
      continue;
    } else {
      break;
    }
  }
  std::int64_t exponent = 0;
  if (i < n && IsExponentMark(text[i])) {
    ++i;
    bool negativeExponent = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
      negativeExponent = text[i] == u'-';
      ++i;
    }
    constexpr std::int64_t kExponentCap = 1000000000000;  // far beyond any finite value
    for (; i < n && IsDigit(text[i]); ++i) {
      exponent = std::min(kExponentCap, exponent * 10 + (text[i].unicode() - u'0'));
    }
    if (negativeExponent) exponent = -exponent;
  }
  const bool anyDigit = !digits.empty();
  // value = 0.D x 10^scale with D free of leading and trailing zeros.
  const auto firstNonZero = digits.find_first_not_of('0');
  if (firstNonZero == std::string::npos) {
    value = anyDigit && negative ? -0.0 : 0.0;
    return true;
  }
  const std::int64_t scale = intDigits - static_cast<std::int64_t>(firstNonZero) + exponent;
  digits.erase(0, firstNonZero);
  digits.erase(digits.find_last_not_of('0') + 1);
  if (scale > kMaxPower + 2) return false;  // at least 10^(scale-1): beyond the double range
  if (scale < kMinPower - 3) {              // below the smallest denormal
    value = negative ? -0.0 : 0.0;
    return true;
  }
  std::string canonical;
  canonical.reserve(digits.size() + 12);
  canonical += "0.";
  canonical += digits;
  canonical += 'e';
  char exponentText[24];
  canonical.append(exponentText,
                   std::to_chars(exponentText, exponentText + sizeof exponentText, scale).ptr);
  double magnitude = 0;
  const auto [end, error] =
      std::from_chars(canonical.data(), canonical.data() + canonical.size(), magnitude);
  if (error == std::errc::result_out_of_range) {
    if (scale > 0) return false;
    magnitude = 0;  // underflow
  } else if (error != std::errc() || end != canonical.data() + canonical.size()) {
    return false;
  }
  if (!std::isfinite(magnitude)) return false;
  value = negative ? -magnitude : magnitude;
  return true;
}

// The whole-number path: the text has passed IsWholeNumberText (at most 9 digits).
std::int64_t ConvertWholeNumberText(QStringView text) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  std::int64_t value = 0;
  for (; i < n && !IsBlank(text[i]); ++i) {
    if (IsDigit(text[i])) value = value * 10 + (text[i].unicode() - u'0');
  }
  return negative ? -value : value;
}

// The double path of the integer parsers: a whole value within low..high.
bool WholeValueInRange(QStringView text, double low, double high, double& whole) {
  double d = 0;
  if (!TextToDouble(text, d)) return false;
  if (d != std::floor(d) || d < low || d > high) return false;
  whole = d;
  return true;
}

// ---- Rounding number text ----

// The round-up of RoundNumberText step 6, starting at index k and walking left; pointIndex is
// the index of the decimal point or -1 when the text (up to k) has none.
void RoundUpFrom(QString& text, qsizetype k, qsizetype pointIndex) {
  for (; k >= 0; --k) {
    const QChar c = text[k];
    if (pointIndex >= 0 && k > pointIndex) {  // a decimal digit
      if (c == u'9') {
        text.truncate(k);
        continue;
      }
      text[k] = QChar(c.unicode() + 1);
      return;
    }
    if (k == pointIndex) {
      text.truncate(k);
      continue;
    }
    if (!IsDigit(c)) break;  // the '-' of a negative number
    if (c == u'9') {
      text[k] = u'0';
      continue;
    }
    text[k] = QChar(c.unicode() + 1);
    return;
  }
  text.insert(!text.isEmpty() && text[0] == u'-' ? 1 : 0, u'1');
}

// Mode 2's zero test (RoundNumberText step 5): true when only '0' and '.' stand from k on.
bool OnlyZerosFrom(const QString& text, qsizetype k) {
  for (; k < text.size(); ++k) {
    if (text[k] != u'0' && text[k] != u'.') return false;
  }
  return true;
}

// Whether a dropped digit makes the text round up in the given mode (after the zero test).
bool RoundsUp(QChar dropped, std::int16_t mode) {
  if (mode == kRoundNearest) return dropped.unicode() >= u'5';
  return mode == kRoundUp;  // mode 1 and unknown modes cut
}

}  // namespace

// ---- Double to integer ----

int TruncateToInt(double x) {
  const double t = x >= 0 ? x + kTruncateAllowance : x - kTruncateAllowance;
  return TruncateClamped<int>(t, kIntRangeMax);
}

std::int16_t TruncateToShort(double x) {
  const double t = x >= 0 ? x + kTruncateAllowance : x - kTruncateAllowance;
  return TruncateClamped<std::int16_t>(t, kShortRangeMax);
}

int RoundToInt(double x) { return x >= 0 ? TruncateToInt(x + 0.5) : TruncateToInt(x - 0.5); }

std::int16_t RoundToShort(double x) {
  return x >= 0 ? TruncateToShort(x + 0.5) : TruncateToShort(x - 0.5);
}

double RoundToWhole(double x) { return x >= 0 ? std::floor(x + 0.5) : -std::floor(-x + 0.5); }

int CeilToInt(double x) {
  const double t = x >= 0 ? x + kCeilAllowance : x - kCeilAllowance;
  return TruncateClamped<int>(t, kIntRangeMax);
}

std::int16_t CeilToShort(double x) {
  const double t = x >= 0 ? x + kCeilAllowance : x - kCeilAllowance;
  return TruncateClamped<std::int16_t>(t, kShortRangeMax);
}

double CeilToWhole(double x) {
  return x >= 0 ? std::floor(x + kCeilAllowance) : -std::floor(-x + kCeilAllowance);
}

// ---- Integer clamps ----

int ClampAwayFromIntMin(int v) { return v == std::numeric_limits<int>::min() ? -kIntRangeMax : v; }

int ClampInt64ToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, -kIntRangeMax, kIntRangeMax));
}

std::int16_t ClampToShort(int v) {
  return static_cast<std::int16_t>(std::clamp(v, -kShortRangeMax, kShortRangeMax));
}

std::int16_t ClampUShortToShort(std::uint32_t v) {
  return static_cast<std::int16_t>(std::min<std::uint32_t>(v, kShortRangeMax));
}

int ClampX(int v) { return std::clamp(v, -kCoordinateLimitX, kCoordinateLimitX); }
int ClampY(int v) { return std::clamp(v, -kCoordinateLimitY, kCoordinateLimitY); }

std::int16_t SignOf(int v) { return v < 0 ? -1 : 1; }

void SwapShorts(std::int16_t& a, std::int16_t& b) { std::swap(a, b); }
void SwapInts(int& a, int& b) { std::swap(a, b); }
void SwapDoubles(double& a, double& b) { std::swap(a, b); }

// ---- Integer division ----
// Computed in 64 bits, so -2147483648 has a magnitude; a quotient beyond the 32-bit range
// (-2147483648 / -1) is clamped to it.

int DivideRounded(int a, int b) {
  if (b == 0) {
    ReportGlitch(20210, 1);
    return 1;
  }
  const std::int64_t absA = std::abs(static_cast<std::int64_t>(a));
  const std::int64_t absB = std::abs(static_cast<std::int64_t>(b));
  std::int64_t q = absA / absB;
  if (2 * (absA % absB) > absB) ++q;
  if (SignOf(a) != SignOf(b)) q = -q;
  return ClampInt64ToInt(q);
}

std::int16_t DivideRoundedShort(int a, int b) {
  if (b == 0) {
    ReportGlitch(20211, 1);
    return 1;
  }
  const std::int64_t absA = std::abs(static_cast<std::int64_t>(a));
  const std::int64_t absB = std::abs(static_cast<std::int64_t>(b));
  std::int64_t q = absA / absB;
  if (q >= kShortRangeMax) {
    q = kShortRangeMax;
  } else if (2 * (absA % absB) > absB) {
    ++q;
  }
  if (SignOf(a) != SignOf(b)) q = -q;
  return static_cast<std::int16_t>(q);
}

int DivideAwayFromZero(int a, int b) {
  if (b == 0) {
    ReportGlitch(20213, 1);
    return kIntRangeMax;
  }
  const std::int64_t wideA = a;
  const std::int64_t wideB = b;
  std::int64_t q = wideA / wideB;
  if (wideA % wideB != 0) q += (a < 0) != (b < 0) ? -1 : 1;
  return ClampInt64ToInt(q);
}

int MulDivRounded(int a, int b, int c) {
  if (c == 0) {
    SetGlitchValue(a);
    SetGlitchValue(b);
    ReportGlitch(20222, 1);
    return 0;
  }
  return RoundToInt(static_cast<double>(a) * static_cast<double>(b) / static_cast<double>(c));
}

// ---- Comparison and angles ----

int NearlyEqual(double a, double b) {
  if (a == b) return 1;
  double tolerance = std::fabs(a * kNearlyEqualFactor);
  if (tolerance == 0) tolerance = std::fabs(b * kNearlyEqualFactor);
  return std::fabs(a - b) <= tolerance ? 1 : 0;
}

double AngleOf(double dy, double dx) {
  if (dy == 0 && dx == 0) return 0;
  const double angle = std::atan2(dy, dx);
  return angle < 0 ? angle + g_twoPi : angle;
}

// ---- Decimal scale ----

void DecimalMagnitude(double& v) {
  if (!(v > 0) || !std::isfinite(v)) return;
  int n = 0;
  if (v > 1) {
    while (n < kMaxPower && DivideByPowerOfTen(v, n) > 10) ++n;  // v / 10^n in (1, 10]
  } else {
    while (n > kMinPower && DivideByPowerOfTen(v, n) < 1) --n;  // v / 10^n in [1, 10)
  }
  v = PowerOfTen(n);
}

void RoundToNiceStep(double& v, std::int16_t* code) {
  std::int16_t stepCode = 0;
  if (v > 0 && std::isfinite(v)) {
    int n = 0;
    while (n < kMaxPower && DivideByPowerOfTen(v, n) >= 10) ++n;
    while (n > kMinPower && DivideByPowerOfTen(v, n) < 1) --n;
    const double m = DivideByPowerOfTen(v, n);
    double step = 1;
    if (m > 5) {
      step = 10;
    } else if (m > 2) {
      step = 5;
      stepCode = 2;
    } else if (m > 1) {
      step = 2;
      stepCode = 1;
    }
    const double result = TimesPowerOfTen(step, n);
    if (std::isfinite(result)) {
      v = result;
    } else {
      stepCode = 0;  // 10 x 10^308 does not exist: the value stays
    }
  }
  if (code != nullptr) *code = stepCode;
}

// ---- Number to text ----

int IntToText(int value, char16_t* buffer, int size) { return SignedToText(value, buffer, size); }
int LongToText(std::int32_t value, char16_t* buffer, int size) {
  return SignedToText(value, buffer, size);
}
int Int64ToText(std::int64_t value, char16_t* buffer, int size) {
  return SignedToText(value, buffer, size);
}

void IntToString(int value, QString& out) {
  out.clear();
  AppendSigned(out, value);
}

void ShortToString(std::int16_t value, QString& out) {
  char16_t buffer[kShortTextSize];
  const int length = IntToText(value, buffer, kShortTextSize);
  out = QString(reinterpret_cast<const QChar*>(buffer), length);
}

void AppendShort(QString& text, std::int16_t value) { AppendSigned(text, value); }
void AppendUShort(QString& text, std::uint16_t value) { AppendSigned(text, value); }
void AppendLong(QString& text, std::int32_t value) { AppendSigned(text, value); }
void AppendInt(QString& text, int value) { AppendSigned(text, value); }

void FormatZeroPadded(int value, char16_t* out, int width) {
  if (width <= 0 || out == nullptr) return;
  int pos = 0;
  if (value < 0) out[pos++] = u'-';
  const int room = width - pos;
  char16_t scratch[24];
  char16_t* end = scratch + 24;
  const char16_t* first = WriteDigitsBackwards(Magnitude(value), end);
  const int length = static_cast<int>(end - first);
  if (length > room) {
    first = end - room;  // the last digits
  } else {
    for (int k = length; k < room; ++k) out[pos++] = u'0';
  }
  while (first != end) out[pos++] = *first++;
  out[width] = 0;
}

// ---- Number syntax ----

int IsNumberText(QStringView text, int commaMode) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n && IsBlank(text[i])) ++i;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
  if (i >= n) return 0;
  bool pointSeen = false;
  bool commaSeen = false;
  int group = 0;
  for (; i < n; ++i) {
    const QChar c = text[i];
    if (IsDigit(c)) {
      ++group;
    } else if (c == u'.') {
      if (pointSeen) return 0;
      if (commaMode == kCommaGroups && commaSeen && group != 3) return 0;
      pointSeen = true;
    } else if (c == u',') {
      if (pointSeen) return 0;
      if (commaMode == kCommaIgnore) continue;
      if (commaMode != kCommaGroups) return 0;
      if (!AcceptGroupComma(commaSeen, group)) return 0;
    } else if (IsExponentMark(c)) {
      ++i;
      if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
      for (; i < n; ++i) {
        if (!IsDigit(text[i])) return 0;
      }
      return 1;  // no group test after an exponent
    } else if (IsBlank(c)) {
      for (; i < n; ++i) {
        if (!IsBlank(text[i])) return 0;
      }
      break;
    } else {
      return 0;
    }
  }
  if (commaMode == kCommaGroups && commaSeen && !pointSeen && group != 3) return 0;
  return 1;
}

int IsWholeNumberText(QStringView text, std::int16_t maxDigits, int commaMode) {
  const qsizetype n = text.size();
  const int limit = maxDigits >= 0 ? maxDigits : -static_cast<int>(maxDigits);
  qsizetype i = 0;
  while (i < n && IsBlank(text[i])) ++i;
  if (i < n && (text[i] == u'+' || (text[i] == u'-' && maxDigits >= 0))) ++i;
  if (i >= n) return 0;
  bool commaSeen = false;
  int group = 0;
  int digitCount = 0;
  for (; i < n; ++i) {
    const QChar c = text[i];
    if (IsDigit(c)) {
      if (++digitCount > limit) return 0;
      ++group;
    } else if (c == u',') {
      if (commaMode == kCommaIgnore) continue;
      if (commaMode != kCommaGroups) return 0;
      if (!AcceptGroupComma(commaSeen, group)) return 0;
    } else if (IsBlank(c)) {
      for (; i < n; ++i) {
        if (!IsBlank(text[i])) return 0;
      }
      break;
    } else {
      return 0;  // a point, an exponent or any other character
    }
  }
  if (commaMode == kCommaGroups && commaSeen && group != 3) return 0;
  return 1;
}

// ---- Text to number ----

int TextToDouble(QStringView text, double& value) {
  if (!IsNumberText(text, kCommaGroups)) return 0;
  double converted = 0;
  if (!ConvertNumberText(text, converted)) return 0;
  value = converted;
  return 1;
}

int StringToDouble(const QString& text, double& value) { return TextToDouble(text, value); }

int TextToByte(QStringView text, std::uint8_t& value) {
  if (IsWholeNumberText(text, -2, kCommaRefuse)) {
    value = static_cast<std::uint8_t>(ConvertWholeNumberText(text));
    return 1;
  }
  double whole = 0;
  if (!WholeValueInRange(text, 0, 255, whole)) return 0;
  value = static_cast<std::uint8_t>(whole);
  return 1;
}

int TextToShort(QStringView text, std::int16_t& value) {
  if (IsWholeNumberText(text, 4, kCommaGroups)) {
    value = static_cast<std::int16_t>(ConvertWholeNumberText(text));
    return 1;
  }
  double whole = 0;
  if (!WholeValueInRange(text, -kShortRangeMax, kShortRangeMax, whole)) return 0;
  value = static_cast<std::int16_t>(whole);
  return 1;
}

int TextToUShort(QStringView text, std::uint16_t& value) {
  if (IsWholeNumberText(text, -4, kCommaGroups)) {
    value = static_cast<std::uint16_t>(ConvertWholeNumberText(text));
    return 1;
  }
  double whole = 0;
  if (!WholeValueInRange(text, 0, 65535, whole)) return 0;
  value = static_cast<std::uint16_t>(whole);
  return 1;
}

int TextToInt(QStringView text, int& value) {
  if (IsWholeNumberText(text, 9, kCommaGroups)) {
    value = static_cast<int>(ConvertWholeNumberText(text));
    return 1;
  }
  double whole = 0;
  if (!WholeValueInRange(text, -kIntRangeMax, kIntRangeMax, whole)) return 0;
  value = static_cast<int>(whole);
  return 1;
}

int TextToUnsigned(QStringView text, std::uint32_t& value) {
  double whole = 0;
  if (!WholeValueInRange(text, 0, 4294967295.0, whole)) return 0;
  value = static_cast<std::uint32_t>(whole);
  return 1;
}

int LeadingWholeNumber(QStringView text, int& value) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n && IsBlank(text[i])) ++i;
  const qsizetype start = i;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
  while (i < n && (IsDigit(text[i]) || text[i] == u',')) ++i;
  return TextToInt(text.sliced(start, i - start), value);
}

// ---- Rounding number text ----

void NormaliseNumberText(QString& text) {
  qsizetype start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  if (start < text.size() && text[start] == u'+') ++start;
  text.remove(0, start);
  text.remove(u' ');
  if (!text.isEmpty() && text[0] == u'.') {
    text.insert(0, u'0');
  } else if (text.size() >= 2 && text[0] == u'-' && text[1] == u'.') {
    text.insert(1, u'0');
  }
}

// Decimals below 0 count as 0.
void RoundNumberText(QString& text, std::int16_t decimals, std::int16_t mode) {
  NormaliseNumberText(text);
  if (text.isEmpty()) return;
  const qsizetype n = text.size();
  qsizetype i = text[0] == u'-' ? 1 : 0;
  while (i < n && IsDigit(text[i])) ++i;
  if (i >= n || text[i] != u'.') return;  // no point, an exponent or a stray character
  const qsizetype point = i;
  if (point + 1 == n) {
    text.truncate(point);
    return;
  }
  for (qsizetype k = point + 1; k < n; ++k) {
    if (!IsDigit(text[k])) return;
  }
  const qsizetype keep = std::max<std::int16_t>(decimals, 0);
  if (n - point - 1 > keep) {
    const qsizetype cut = point + 1 + keep;
    const QChar dropped = text[cut];
    if (mode == kRoundUp && dropped == u'0' && OnlyZerosFrom(text, cut)) mode = kRoundCut;
    const bool up = RoundsUp(dropped, mode);
    text.truncate(cut);
    if (up) {
      RoundUpFrom(text, cut - 1, point);
      return;
    }
  }
  // Step 7: trailing decimal zeros, then a bare point; the first character always stays.
  qsizetype length = text.size();
  while (length - 1 > point && length - 1 > 0 && text[length - 1] == u'0') --length;
  if (length - 1 == point && point > 0) --length;
  text.truncate(length);
}

void RoundNumberString(QString& text, std::int16_t decimals, std::int16_t mode) {
  RoundNumberText(text, decimals, mode);
}

// Digits below 1 count as 1.
void RoundTextToSignificantDigits(QString& text, std::int16_t digits, std::int16_t mode) {
  NormaliseNumberText(text);
  if (text.isEmpty()) return;
  const int wanted = std::max<int>(digits, 1);
  const qsizetype n = text.size();
  // A text with an exponent or any stray character is left as normalised, wherever that
  // character stands; counting digits alone would stop at the digit limit and cut "1.234e5"
  // to "1.2".
  for (qsizetype k = text[0] == u'-' ? 1 : 0; k < n; ++k) {
    if (!IsDigit(text[k]) && text[k] != u'.') return;
  }
  qsizetype i = text[0] == u'-' ? 1 : 0;
  if (i < n && text[i] == u'0') ++i;
  bool fraction = false;
  qsizetype point = -1;
  if (i < n && text[i] == u'.') {
    point = i;
    fraction = true;
    ++i;
    while (i < n && text[i] == u'0') ++i;
  }
  if (i >= n) {
    text = QStringLiteral("0");
    return;
  }
  int counted = 0;
  for (; i < n; ++i) {
    const QChar c = text[i];
    if (c == u'.') {
      point = i;
      fraction = true;
      continue;
    }
    if (!IsDigit(c)) return;  // as normalised
    if (counted < wanted) {
      ++counted;
      continue;
    }
    // The first digit beyond the significant ones.
    if (mode == kRoundUp && c == u'0' && OnlyZerosFrom(text, i)) mode = kRoundCut;
    const bool up = RoundsUp(c, mode);
    if (fraction) {
      text.truncate(i);
    } else {
      qsizetype end = i;
      while (end < n && IsDigit(text[end])) text[end++] = u'0';
      text.truncate(end);  // the point and any fraction go
    }
    if (up) {
      RoundUpFrom(text, i - 1, fraction ? point : -1);
      return;
    }
    break;
  }
  // Step 5.
  if (!text.isEmpty() && text.back() == u'.') {
    text.chop(1);
  } else if (fraction) {
    qsizetype length = text.size();
    while (length > 1 && length - 1 > point && text[length - 1] == u'0') --length;
    if (length - 1 == point && length > 1) --length;
    text.truncate(length);
  }
}

void RoundToSignificantDigits(double& v, int digits) {
  if (!std::isfinite(v)) return;
  // Formats like the file writer (FormatDouble): shortest round-trip digits, here
  // in plain decimal form so that every finite value can be rounded.
  char buffer[400];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
  if (error != std::errc()) return;
  QString text = QString::fromLatin1(buffer, end - buffer);
  RoundTextToSignificantDigits(text, static_cast<std::int16_t>(std::clamp(digits, 0, 32767)),
                               kRoundNearest);
  double rounded = 0;
  if (IsNumberText(text, kCommaGroups) && ConvertNumberText(text, rounded)) v = rounded;
}
