#include "support/numbers.h"

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "support/constants.h"
#include "support/log.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

QString Q(const char16_t* text) { return QString::fromUtf16(text); }

// ---- Double to integer ----

struct DoubleToIntCase {
  const char* name;
  double x;
  int truncInt;
  int truncShort;
  int roundInt;
  int roundShort;
  int ceilInt;
  int ceilShort;
};

const DoubleToIntCase kDoubleToIntCases[] = {
    {"zero", 0.0, 0, 0, 0, 0, 0, 0},
    {"negative zero", -0.0, 0, 0, 0, 0, 0, 0},
    {"just below 3", 2.9999999999999, 2, 2, 3, 3, 3, 3},
    {"within 1e-14 of 3", 2.999999999999995, 3, 3, 3, 3, 3, 3},
    {"within 1e-14 of -3", -2.999999999999995, -3, -3, -3, -3, -3, -3},
    {"half", 2.5, 2, 2, 3, 3, 3, 3},
    {"negative half", -2.5, -2, -2, -3, -3, -3, -3},
    {"-2.4", -2.4, -2, -2, -2, -2, -3, -3},
    {"2.0000005: tiny fraction is none", 2.0000005, 2, 2, 2, 2, 2, 2},
    {"2.000002", 2.000002, 2, 2, 2, 2, 3, 3},
    {"2.1", 2.1, 2, 2, 2, 2, 3, 3},
    {"-2.1", -2.1, -2, -2, -2, -2, -3, -3},
    {"0.4999999", 0.4999999, 0, 0, 0, 0, 1, 1},
    {"3e9", 3e9, 2147483647, 32767, 2147483647, 32767, 2147483647, 32767},
    {"-3e9", -3e9, -2147483647, -32767, -2147483647, -32767, -2147483647, -32767},
    {"int max", 2147483647.0, 2147483647, 32767, 2147483647, 32767, 2147483647, 32767},
    {"int min", -2147483648.0, -2147483647, -32767, -2147483647, -32767, -2147483647, -32767},
    {"32767.6", 32767.6, 32767, 32767, 32768, 32767, 32768, 32767},
    {"-32768", -32768.0, -32768, -32767, -32768, -32767, -32768, -32767},
    {"-32767.5", -32767.5, -32767, -32767, -32768, -32767, -32768, -32767},
    {"+infinity", kInf, 2147483647, 32767, 2147483647, 32767, 2147483647, 32767},
    {"-infinity", -kInf, -2147483647, -32767, -2147483647, -32767, -2147483647, -32767},
    {"NaN gives 0", kNaN, 0, 0, 0, 0, 0, 0},
};

TEST(NumbersDoubleToInt, Table) {
  for (const auto& c : kDoubleToIntCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TruncateToInt(c.x), c.truncInt);
    EXPECT_EQ(TruncateToShort(c.x), c.truncShort);
    EXPECT_EQ(RoundToInt(c.x), c.roundInt);
    EXPECT_EQ(RoundToShort(c.x), c.roundShort);
    EXPECT_EQ(CeilToInt(c.x), c.ceilInt);
    EXPECT_EQ(CeilToShort(c.x), c.ceilShort);
  }
}

struct WholeCase {
  const char* name;
  double x;
  double round;
  double ceil;
};

const WholeCase kWholeCases[] = {
    {"2.5", 2.5, 3, 3},           {"-2.0", -2.0, -2, -2},     {"-2.5", -2.5, -3, -3},
    {"-2.7", -2.7, -3, -3},       {"-2.4", -2.4, -2, -3},     {"2.0000005", 2.0000005, 2, 2},
    {"2.000002", 2.000002, 2, 3}, {"1e20", 1e20, 1e20, 1e20}, {"0.49", 0.49, 0, 1},
};

TEST(NumbersDoubleToInt, WholeTable) {
  for (const auto& c : kWholeCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RoundToWhole(c.x), c.round);
    EXPECT_EQ(CeilToWhole(c.x), c.ceil);
  }
  EXPECT_TRUE(std::isnan(RoundToWhole(kNaN)));
  EXPECT_EQ(RoundToWhole(kInf), kInf);
  EXPECT_EQ(CeilToWhole(-kInf), -kInf);
}

// ---- Integer clamps ----

TEST(NumbersClamps, Table) {
  EXPECT_EQ(ClampAwayFromIntMin(std::numeric_limits<int>::min()), -2147483647);
  EXPECT_EQ(ClampAwayFromIntMin(-2147483647), -2147483647);
  EXPECT_EQ(ClampAwayFromIntMin(5), 5);
  EXPECT_EQ(ClampInt64ToInt(5000000000LL), 2147483647);
  EXPECT_EQ(ClampInt64ToInt(-5000000000LL), -2147483647);
  EXPECT_EQ(ClampInt64ToInt(-2147483648LL), -2147483647);
  EXPECT_EQ(ClampInt64ToInt(-12), -12);
  EXPECT_EQ(ClampToShort(40000), 32767);
  EXPECT_EQ(ClampToShort(-32768), -32767);
  EXPECT_EQ(ClampToShort(-100), -100);
  EXPECT_EQ(ClampUShortToShort(32766), 32766);
  EXPECT_EQ(ClampUShortToShort(32767), 32767);
  EXPECT_EQ(ClampUShortToShort(65535), 32767);
  EXPECT_EQ(ClampUShortToShort(4294967295u), 32767);
  EXPECT_EQ(ClampX(60000000), 50000000);
  EXPECT_EQ(ClampX(-60000000), -50000000);
  EXPECT_EQ(ClampX(123), 123);
  EXPECT_EQ(ClampY(40000000), 30000000);
  EXPECT_EQ(ClampY(-40000000), -30000000);
  EXPECT_EQ(SignOf(-3), -1);
  EXPECT_EQ(SignOf(0), 1);
  EXPECT_EQ(SignOf(7), 1);
}

TEST(NumbersClamps, Swaps) {
  std::int16_t s1 = 1, s2 = 2;
  SwapShorts(s1, s2);
  EXPECT_EQ(s1, 2);
  EXPECT_EQ(s2, 1);
  int i1 = 3, i2 = 4;
  SwapInts(i1, i2);
  EXPECT_EQ(i1, 4);
  EXPECT_EQ(i2, 3);
  double d1 = 0.5, d2 = 1.5;
  SwapDoubles(d1, d2);
  EXPECT_EQ(d1, 1.5);
  EXPECT_EQ(d2, 0.5);
}

// ---- Integer division ----

struct DivideCase {
  const char* name;
  int a;
  int b;
  int rounded;
  int awayFromZero;
};

const DivideCase kDivideCases[] = {
    {"7/2", 7, 2, 3, 4},
    {"9/2: half toward zero", 9, 2, 4, 5},
    {"11/4", 11, 4, 3, 3},
    {"-7/2", -7, 2, -3, -4},
    {"7/-2", 7, -2, -3, -4},
    {"-7/-2", -7, -2, 3, 4},
    {"0/-5", 0, -5, 0, 0},
    {"6/2", 6, 2, 3, 3},
    {"5/3", 5, 3, 2, 2},
    {"int min / -1 clamps", std::numeric_limits<int>::min(), -1, 2147483647, 2147483647},
    {"int min / 1", std::numeric_limits<int>::min(), 1, -2147483647, -2147483647},
};

TEST(NumbersDivision, Table) {
  for (const auto& c : kDivideCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DivideRounded(c.a, c.b), c.rounded);
    EXPECT_EQ(DivideAwayFromZero(c.a, c.b), c.awayFromZero);
  }
  EXPECT_EQ(DivideRoundedShort(100000, 2), 32767);
  EXPECT_EQ(DivideRoundedShort(-100000, 2), -32767);
  EXPECT_EQ(DivideRoundedShort(65535, 2), 32767);          // 32767.5: 32767 is never rounded up
  EXPECT_EQ(DivideRoundedShort(65533, 2), 32766);          // 32766.5: the half goes toward zero
  EXPECT_EQ(DivideRoundedShort(65534 * 2 + 3, 4), 32767);  // 32767.75 -> 32767
  EXPECT_EQ(DivideRoundedShort(-7, 2), -3);
  EXPECT_EQ(MulDivRounded(3, 5, 2), 8);
  EXPECT_EQ(MulDivRounded(-3, 5, 2), -8);
  EXPECT_EQ(MulDivRounded(100000, 100000, 3), 2147483647);
  EXPECT_EQ(MulDivRounded(2000000000, 2000000000, 2000000000), 2000000000);
}

class NumbersGlitch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_folder.isValid());
    ResetLogState();
    const QString path = m_folder.path();
    GetLogHooks().roamingDataFolder = [path] { return path; };
  }
  void TearDown() override { ResetLogState(); }

 private:
  QTemporaryDir m_folder;
};

TEST_F(NumbersGlitch, DivideRoundedByZero) {
  EXPECT_EQ(DivideRounded(5, 0), 1);
  EXPECT_EQ(g_glitchCount, 1);
  EXPECT_EQ(g_firstGlitchCode, 20210);
  EXPECT_EQ(g_firstGlitchNumber, 1);
}

TEST_F(NumbersGlitch, DivideRoundedShortByZero) {
  EXPECT_EQ(DivideRoundedShort(5, 0), 1);
  EXPECT_EQ(g_firstGlitchCode, 20211);
  EXPECT_EQ(g_firstGlitchNumber, 1);
}

TEST_F(NumbersGlitch, DivideAwayFromZeroByZero) {
  EXPECT_EQ(DivideAwayFromZero(1, 0), 2147483647);
  EXPECT_EQ(g_firstGlitchCode, 20213);
  EXPECT_EQ(g_firstGlitchNumber, 1);
}

TEST_F(NumbersGlitch, MulDivRoundedByZeroGivesTheFactors) {
  EXPECT_EQ(MulDivRounded(6, 7, 0), 0);
  EXPECT_EQ(g_firstGlitchCode, 20222);
  EXPECT_EQ(g_firstGlitchNumber, 1);
  ASSERT_EQ(g_firstGlitchValueCount, 2);
  EXPECT_EQ(g_firstGlitchValues[0], 6);
  EXPECT_EQ(g_firstGlitchValues[1], 7);
}

TEST_F(NumbersGlitch, PureFunctionsRecordNothing) {
  const std::int64_t before = g_logActionCount;
  EXPECT_EQ(DivideRounded(7, 2), 3);
  EXPECT_EQ(RoundToInt(2.5), 3);
  int value = 0;
  EXPECT_EQ(TextToInt(u"12", value), 1);
  EXPECT_EQ(TextToInt(u"x", value), 0);
  QString text = QStringLiteral("1.25");
  RoundNumberText(text, 1, 0);
  EXPECT_EQ(g_glitchCount, 0);
  EXPECT_EQ(g_logActionCount, before);
}

// ---- Comparison and angles ----

TEST(NumbersCompare, NearlyEqual) {
  EXPECT_EQ(NearlyEqual(1.0, 1.0 + 1e-15), 1);
  EXPECT_EQ(NearlyEqual(0.0, 1e-300), 0);
  EXPECT_EQ(NearlyEqual(1e-300, 0.0), 0);
  EXPECT_EQ(NearlyEqual(0.0, 0.0), 1);
  EXPECT_EQ(NearlyEqual(0.0, -0.0), 1);
  EXPECT_EQ(NearlyEqual(1e10, 1e10 + 1e-5), 1);
  EXPECT_EQ(NearlyEqual(1.0, 1.0 + 1e-13), 0);
  EXPECT_EQ(NearlyEqual(-5.0, -5.0 - 2e-14), 1);
  EXPECT_EQ(NearlyEqual(kNaN, kNaN), 0);
  EXPECT_EQ(NearlyEqual(kInf, kInf), 1);
}

TEST(NumbersCompare, AngleOf) {
  EXPECT_DOUBLE_EQ(AngleOf(-1, 0), 3 * kPi / 2);
  EXPECT_DOUBLE_EQ(AngleOf(0, -1), kPi);
  EXPECT_EQ(AngleOf(0, 0), 0);
  EXPECT_EQ(AngleOf(0, 1), 0);
  EXPECT_DOUBLE_EQ(AngleOf(1, 0), kPi / 2);
  EXPECT_DOUBLE_EQ(AngleOf(-1, 1), 7 * kPi / 4);
  const double a = AngleOf(-1e-3, 1);
  EXPECT_GE(a, 0);
  EXPECT_LT(a, g_twoPi);
}

// ---- Decimal scale ----

struct MagnitudeCase {
  const char* name;
  double v;
  double magnitude;
};

const MagnitudeCase kMagnitudeCases[] = {
    {"50", 50, 10},
    {"10", 10, 1},
    {"100", 100, 10},
    {"1", 1, 1},
    {"0.5", 0.5, 0.1},
    {"0.1", 0.1, 0.1},
    {"0.01", 0.01, 0.01},
    {"0.011", 0.011, 0.01},
    {"1.5", 1.5, 1},
    {"12345", 12345, 10000},
    {"0", 0, 0},
    {"-5 unchanged", -5, -5},
    {"1e300", 1e300, 1e299},
    {"max double", std::numeric_limits<double>::max(), 1e308},
};

TEST(NumbersScale, DecimalMagnitude) {
  for (const auto& c : kMagnitudeCases) {
    SCOPED_TRACE(c.name);
    double v = c.v;
    DecimalMagnitude(v);
    EXPECT_EQ(v, c.magnitude);
  }
}

TEST(NumbersScale, DecimalMagnitudeLeavesNonFiniteValues) {
  double v = kInf;
  DecimalMagnitude(v);
  EXPECT_EQ(v, kInf);
  v = -kInf;
  DecimalMagnitude(v);
  EXPECT_EQ(v, -kInf);
  v = kNaN;
  DecimalMagnitude(v);
  EXPECT_TRUE(std::isnan(v));
  v = std::numeric_limits<double>::denorm_min();
  DecimalMagnitude(v);  // ends; the far denormals keep their order of magnitude
  EXPECT_GT(v, 0);
  EXPECT_LT(v, 1e-320);
}

struct NiceStepCase {
  const char* name;
  double v;
  double step;
  std::int16_t code;
};

const NiceStepCase kNiceStepCases[] = {
    {"7", 7, 10, 0},
    {"5", 5, 5, 2},
    {"2.5", 2.5, 5, 2},
    {"1.5", 1.5, 2, 1},
    {"0.03", 0.03, 0.05, 2},
    {"1", 1, 1, 0},
    {"10", 10, 10, 0},
    {"2", 2, 2, 1},
    {"0.02", 0.02, 0.02, 1},
    {"51", 51, 100, 0},
    {"3000", 3000, 5000, 2},
    {"0.7", 0.7, 1, 0},
    {"0.002", 0.002, 0.002, 1},
};

TEST(NumbersScale, RoundToNiceStep) {
  for (const auto& c : kNiceStepCases) {
    SCOPED_TRACE(c.name);
    double v = c.v;
    std::int16_t code = -1;
    RoundToNiceStep(v, &code);
    EXPECT_EQ(v, c.step);
    EXPECT_EQ(code, c.code);
    v = c.v;
    RoundToNiceStep(v, nullptr);
    EXPECT_EQ(v, c.step);
  }
}

TEST(NumbersScale, RoundToNiceStepLeavesZeroNegativeAndNonFinite) {
  for (double start : {0.0, -3.0, kInf, -kInf}) {
    double v = start;
    std::int16_t code = -1;
    RoundToNiceStep(v, &code);
    EXPECT_EQ(v, start);
    EXPECT_EQ(code, 0);
  }
  double v = kNaN;
  std::int16_t code = -1;
  RoundToNiceStep(v, &code);
  EXPECT_TRUE(std::isnan(v));
  EXPECT_EQ(code, 0);
  v = std::numeric_limits<double>::max();  // 2 x 10^308 does not exist
  RoundToNiceStep(v, &code);
  EXPECT_EQ(v, std::numeric_limits<double>::max());
  EXPECT_EQ(code, 0);
}

// ---- Number to text ----

TEST(NumbersToText, Buffers) {
  std::array<char16_t, kIntTextSize> buffer;
  EXPECT_EQ(IntToText(0, buffer.data(), kIntTextSize), 1);
  EXPECT_EQ(Q(buffer.data()), QStringLiteral("0"));
  EXPECT_EQ(IntToText(-2147483647 - 1, buffer.data(), kIntTextSize), 11);
  EXPECT_EQ(Q(buffer.data()), QStringLiteral("-2147483648"));
  EXPECT_EQ(LongToText(2147483647, buffer.data(), kIntTextSize), 10);
  EXPECT_EQ(Q(buffer.data()), QStringLiteral("2147483647"));
  EXPECT_EQ(IntToText(-42, buffer.data(), 4), 3);
  EXPECT_EQ(Q(buffer.data()), QStringLiteral("-42"));
  EXPECT_EQ(IntToText(-42, buffer.data(), 3), 0);  // no room: empty text
  EXPECT_EQ(buffer[0], 0);
  buffer[0] = u'#';
  EXPECT_EQ(IntToText(1, buffer.data(), 0), 0);
  EXPECT_EQ(buffer[0], u'#');
  std::array<char16_t, kInt64TextSize> wide;
  EXPECT_EQ(Int64ToText(std::numeric_limits<std::int64_t>::min(), wide.data(), kInt64TextSize), 20);
  EXPECT_EQ(Q(wide.data()), QStringLiteral("-9223372036854775808"));
  EXPECT_EQ(Int64ToText(1234567890123LL, wide.data(), kInt64TextSize), 13);
  EXPECT_EQ(Q(wide.data()), QStringLiteral("1234567890123"));
}

TEST(NumbersToText, Strings) {
  QString out = QStringLiteral("old");
  IntToString(-123, out);
  EXPECT_EQ(out, QStringLiteral("-123"));
  ShortToString(-32768, out);
  EXPECT_EQ(out, QStringLiteral("-32768"));
  ShortToString(7, out);
  EXPECT_EQ(out, QStringLiteral("7"));
  QString text = QStringLiteral("x=");
  AppendShort(text, -5);
  AppendUShort(text, 65535);
  AppendLong(text, -2147483647);
  AppendInt(text, 0);
  EXPECT_EQ(text, QStringLiteral("x=-565535-21474836470"));
}

struct ZeroPadCase {
  const char* name;
  int value;
  int width;
  const char16_t* text;
};

const ZeroPadCase kZeroPadCases[] = {
    {"cut to last digits", 2026, 2, u"26"},
    {"padded", 7, 2, u"07"},
    {"negative padded", -5, 3, u"-05"},
    {"exact", 123, 3, u"123"},
    {"negative cut", -1234, 3, u"-34"},
    {"negative width 1", -5, 1, u"-"},
    {"zero", 0, 4, u"0000"},
    {"int min", -2147483647 - 1, 12, u"-02147483648"},
};

TEST(NumbersToText, FormatZeroPadded) {
  for (const auto& c : kZeroPadCases) {
    SCOPED_TRACE(c.name);
    std::array<char16_t, 16> out;
    out.fill(u'#');
    FormatZeroPadded(c.value, out.data(), c.width);
    EXPECT_EQ(Q(out.data()), Q(c.text));
    EXPECT_EQ(out[c.width], 0);
    EXPECT_EQ(out[c.width + 1], u'#');
  }
  std::array<char16_t, 2> untouched = {u'#', u'#'};
  FormatZeroPadded(5, untouched.data(), 0);
  FormatZeroPadded(5, untouched.data(), -3);
  EXPECT_EQ(untouched[0], u'#');
}

// ---- Number syntax ----

struct SyntaxCase {
  const char16_t* text;
  int mode0;
  int mode1;
  int mode2;
};

const SyntaxCase kSyntaxCases[] = {
    {u"1,234,567.5", 0, 1, 1}, {u"1234,567", 0, 0, 1},
    {u"1,2345", 0, 0, 1},      {u"1,,2", 0, 0, 1},
    {u"1,2", 0, 0, 1},         {u"1.2.3", 0, 0, 0},
    {u"1e+", 1, 1, 1},         {u"1e5 ", 0, 0, 0},
    {u"1E-7", 1, 1, 1},        {u"1e5x", 0, 0, 0},
    {u"1e 5", 0, 0, 0},        {u".", 1, 1, 1},
    {u"e5", 1, 1, 1},          {u"-", 0, 0, 0},
    {u"+", 0, 0, 0},           {u"", 0, 0, 0},
    {u"   ", 0, 0, 0},         {u"  -12.5  ", 1, 1, 1},
    {u"12 3", 0, 0, 0},        {u"- 1", 0, 0, 0},
    {u"1,234", 0, 1, 1},       {u"1234,567.5", 0, 0, 1},
    {u"1,23.5", 0, 0, 1},      {u"1,234.5678", 0, 1, 1},
    {u"1.5,0", 0, 0, 0},       {u",123", 0, 0, 1},
    {u"1234,", 0, 0, 1},       {u"1,234,", 0, 0, 1},
    {u"12,345e2", 0, 1, 1},    {u"1,23e2", 0, 1, 1},  // no group test after an exponent
    {u"1,234 ", 0, 1, 1},      {u"1,23 ", 0, 0, 1},
    {u"12a", 0, 0, 0},         {u"0x10", 0, 0, 0},
    {u"inf", 0, 0, 0},         {u"nan", 0, 0, 0},
    {u"1\u00a0", 0, 0, 0},  // only the space character is a blank
    {u"\t1", 0, 0, 0},
};

TEST(NumbersSyntax, IsNumberText) {
  for (const auto& c : kSyntaxCases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    EXPECT_EQ(IsNumberText(c.text, 0), c.mode0);
    EXPECT_EQ(IsNumberText(c.text, 1), c.mode1);
    EXPECT_EQ(IsNumberText(c.text, 2), c.mode2);
    EXPECT_EQ(IsNumberText(c.text, 7), c.mode0);  // any other mode refuses commas
  }
}

struct WholeSyntaxCase {
  const char16_t* text;
  std::int16_t maxDigits;
  int commaMode;
  int valid;
};

const WholeSyntaxCase kWholeSyntaxCases[] = {
    {u"1234", 4, 1, 1},       {u"12345", 4, 1, 0},
    {u"1,234", 4, 1, 1},      {u"-1,234", 4, 1, 1},
    {u"-12", -4, 1, 0},       {u"+12", -4, 1, 1},
    {u"12.0", 4, 1, 0},       {u"1e3", 4, 1, 0},
    {u"1,23", 4, 1, 0},       {u"1,23", 4, 2, 1},
    {u"1,234", 4, 0, 0},      {u"  42  ", 4, 1, 1},
    {u"4 2", 4, 1, 0},        {u"+", 4, 1, 0},
    {u"", 4, 1, 0},           {u"99", -2, 0, 1},
    {u"100", -2, 0, 0},       {u"123456789", 9, 1, 1},
    {u"1234567890", 9, 1, 0}, {u"1,234,567,890", 9, 1, 0},
    {u"1,234,567", 9, 1, 1},  {u"1234,567", 9, 1, 0},
    {u"12,", 4, 1, 0},        {u"-", 4, 1, 0},
};

TEST(NumbersSyntax, IsWholeNumberText) {
  for (const auto& c : kWholeSyntaxCases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    EXPECT_EQ(IsWholeNumberText(c.text, c.maxDigits, c.commaMode), c.valid);
  }
}

// ---- Text to number ----

struct ShortParseCase {
  const char16_t* text;
  int ok;
  std::int16_t value;
};

const ShortParseCase kShortParseCases[] = {
    {u"1,234", 1, 1234},     {u"1,23", 0, 0},   {u"12,345", 1, 12345}, {u"-32767", 1, -32767},
    {u"32767", 1, 32767},    {u"32768", 0, 0},  {u"-32768", 0, 0},     {u"  42  ", 1, 42},
    {u"4 2", 0, 0},          {u"1e3", 1, 1000}, {u"12.0", 1, 12},      {u"1.2e1", 1, 12},
    {u"12.5", 0, 0},         {u"-0", 1, 0},     {u"+7", 1, 7},         {u"", 0, 0},
    {u"abc", 0, 0},          {u"1e999", 0, 0},  {u".", 1, 0},          {u"-9,999", 1, -9999},
    {u"3.2767e4", 1, 32767},
};

TEST(NumbersParse, TextToShort) {
  for (const auto& c : kShortParseCases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    std::int16_t value = -99;
    EXPECT_EQ(TextToShort(c.text, value), c.ok);
    EXPECT_EQ(value, c.ok ? c.value : -99);
  }
}

TEST(NumbersParse, TextToByteAndUShort) {
  std::uint8_t b = 9;
  EXPECT_EQ(TextToByte(u"-5", b), 0);
  EXPECT_EQ(b, 9);
  EXPECT_EQ(TextToByte(u"255", b), 1);
  EXPECT_EQ(b, 255);
  EXPECT_EQ(TextToByte(u"256", b), 0);
  EXPECT_EQ(b, 255);
  EXPECT_EQ(TextToByte(u"+12", b), 1);
  EXPECT_EQ(b, 12);
  EXPECT_EQ(TextToByte(u"1,0", b), 0);
  EXPECT_EQ(TextToByte(u"2e2", b), 1);
  EXPECT_EQ(b, 200);

  std::uint16_t u = 9;
  EXPECT_EQ(TextToUShort(u"-1", u), 0);
  EXPECT_EQ(u, 9);
  EXPECT_EQ(TextToUShort(u"+7", u), 1);
  EXPECT_EQ(u, 7);
  EXPECT_EQ(TextToUShort(u"65,535", u), 1);
  EXPECT_EQ(u, 65535);
  EXPECT_EQ(TextToUShort(u"65536", u), 0);
  EXPECT_EQ(u, 65535);
}

struct IntParseCase {
  const char16_t* text;
  int ok;
  int value;
};

const IntParseCase kIntParseCases[] = {
    {u"123456789", 1, 123456789},
    {u"-123,456,789", 1, -123456789},
    {u"2147483647", 1, 2147483647},
    {u"2,147,483,647", 1, 2147483647},
    {u"-2147483647", 1, -2147483647},
    {u"-2147483648", 0, 0},
    {u"2147483648", 0, 0},
    {u"1e9", 1, 1000000000},
    {u"1e10", 0, 0},
    {u"  -5 ", 1, -5},
    {u"5.5", 0, 0},
    {u"1e999", 0, 0},
    {u"-1e999", 0, 0},
    {u"1e-999", 1, 0},
};

TEST(NumbersParse, TextToInt) {
  for (const auto& c : kIntParseCases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    int value = -99;
    EXPECT_EQ(TextToInt(c.text, value), c.ok);
    EXPECT_EQ(value, c.ok ? c.value : -99);
  }
}

TEST(NumbersParse, TextToUnsigned) {
  std::uint32_t value = 9;
  EXPECT_EQ(TextToUnsigned(u"4294967295", value), 1);
  EXPECT_EQ(value, 4294967295u);
  EXPECT_EQ(TextToUnsigned(u"4,294,967,296", value), 0);
  EXPECT_EQ(TextToUnsigned(u"-1", value), 0);
  EXPECT_EQ(TextToUnsigned(u"1.5", value), 0);
  EXPECT_EQ(value, 4294967295u);
  EXPECT_EQ(TextToUnsigned(u"12", value), 1);
  EXPECT_EQ(value, 12u);
}

struct DoubleParseCase {
  const char16_t* text;
  int ok;
  double value;
};

const DoubleParseCase kDoubleParseCases[] = {
    {u"1,234,567.5", 1, 1234567.5},
    {u"  -12.25  ", 1, -12.25},
    {u"0.1", 1, 0.1},
    {u".5", 1, 0.5},
    {u"-.5", 1, -0.5},
    {u"5.", 1, 5.0},
    {u".", 1, 0.0},
    {u"e5", 1, 0.0},
    {u"1e+", 1, 1.0},
    {u"1e", 1, 1.0},
    {u"2.5E-3", 1, 0.0025},
    {u"1.7976931348623157e308", 1, 1.7976931348623157e308},
    {u"1.8e308", 0, 0},
    {u"1e999", 0, 0},
    {u"-1e999", 0, 0},
    {u"1e99999999999999999999999", 0, 0},
    {u"0e99999999999999999999999", 1, 0.0},
    {u"1e-999", 1, 0.0},
    {u"4.9406564584124654e-324", 1, 4.9406564584124654e-324},
    {u"1234,567", 0, 0},
    {u"1,2", 0, 0},
    {u"inf", 0, 0},
    {u"nan", 0, 0},
    {u"", 0, 0},
    {u"0.000000000000000000000000000000000000001e39", 1, 1.0},
    {u"123456789012345678901234567890", 1, 1.2345678901234568e29},
    {u"9007199254740993", 1, 9007199254740992.0},  // ties to even
};

TEST(NumbersParse, TextToDouble) {
  for (const auto& c : kDoubleParseCases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    double value = -99;
    EXPECT_EQ(TextToDouble(c.text, value), c.ok);
    EXPECT_EQ(value, c.ok ? c.value : -99);
    double viaString = -99;
    EXPECT_EQ(StringToDouble(QString::fromUtf16(c.text), viaString), c.ok);
    EXPECT_EQ(viaString, value);
  }
}

TEST(NumbersParse, TextToDoubleKeepsTheSignOfZero) {
  double value = 1;
  EXPECT_EQ(TextToDouble(u"-0", value), 1);
  EXPECT_EQ(value, 0.0);
  EXPECT_TRUE(std::signbit(value));
  EXPECT_EQ(TextToDouble(u"-1e-999", value), 1);
  EXPECT_TRUE(std::signbit(value));
  EXPECT_EQ(TextToDouble(u"0", value), 1);
  EXPECT_FALSE(std::signbit(value));
}

TEST(NumbersParse, TextToDoubleReadsOnlyTheView) {
  const QString text = QStringLiteral("12.5e3xyz");
  double value = 0;
  EXPECT_EQ(TextToDouble(QStringView(text).left(4), value), 1);
  EXPECT_EQ(value, 12.5);
  EXPECT_EQ(TextToDouble(QStringView(text).left(5), value), 1);
  EXPECT_EQ(value, 12.5);  // "12.5e": no exponent digits
  EXPECT_EQ(TextToDouble(QStringView(text).left(6), value), 1);
  EXPECT_EQ(value, 12500.0);
  value = 0;
  EXPECT_EQ(TextToDouble(QStringView(text).left(7), value), 0);
  EXPECT_EQ(TextToDouble(QStringView(text), value), 0);
  EXPECT_EQ(value, 0);
}

TEST(NumbersParse, LeadingWholeNumber) {
  int value = -99;
  EXPECT_EQ(LeadingWholeNumber(u"  12abc", value), 1);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(LeadingWholeNumber(u"-1,234 mm", value), 1);
  EXPECT_EQ(value, -1234);
  EXPECT_EQ(LeadingWholeNumber(u"+7.5", value), 1);
  EXPECT_EQ(value, 7);
  value = -99;
  EXPECT_EQ(LeadingWholeNumber(u"abc", value), 0);
  EXPECT_EQ(LeadingWholeNumber(u"-x", value), 0);
  EXPECT_EQ(LeadingWholeNumber(u"", value), 0);
  EXPECT_EQ(LeadingWholeNumber(u"1,23x", value), 0);
  EXPECT_EQ(value, -99);
  EXPECT_EQ(LeadingWholeNumber(u"12,345,678,901", value), 0);
}

// ---- Rounding number text ----

struct NormaliseCase {
  const char16_t* text;
  const char16_t* normalised;
};

const NormaliseCase kNormaliseCases[] = {
    {u".5", u"0.5"},    {u"-.5", u"-0.5"}, {u"+.5", u"0.5"}, {u" + 1 2.5", u"12.5"},
    {u"  -3 ", u"-3"},  {u"", u""},        {u"   ", u""},    {u"+", u""},
    {u"- .5", u"-0.5"}, {u"1e5", u"1e5"},  {u"abc", u"abc"}, {u"-", u"-"},
};

TEST(NumbersTextRounding, Normalise) {
  for (const auto& c : kNormaliseCases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    QString text = Q(c.text);
    NormaliseNumberText(text);
    EXPECT_EQ(text, Q(c.normalised));
  }
}

struct RoundTextCase {
  const char16_t* text;
  std::int16_t places;
  std::int16_t mode;
  const char16_t* result;
};

const RoundTextCase kRoundNumberCases[] = {
    {u"3.14159", 2, 0, u"3.14"}, {u"2.675", 2, 0, u"2.68"},     {u"9.995", 2, 0, u"10"},
    {u"-9.96", 1, 0, u"-10"},    {u"1.50", 3, 0, u"1.5"},       {u"2.500", 2, 0, u"2.5"},
    {u"0.0010", 2, 2, u"0.01"},  {u"0.0000", 2, 2, u"0"},       {u"2.99", 1, 1, u"2.9"},
    {u"-0.04", 1, 0, u"-0"},     {u"12", 2, 0, u"12"},          {u"1.2e5", 2, 0, u"1.2e5"},
    {u"12.", 2, 0, u"12"},       {u".5", 0, 0, u"1"},           {u"2.5", 0, 0, u"3"},
    {u"2.4", 0, 0, u"2"},        {u"99.95", 1, 0, u"100"},      {u"1.095", 2, 0, u"1.1"},
    {u"1.0001", 2, 2, u"1.01"},  {u"1.0000", 2, 2, u"1"},       {u"1.001", 2, 1, u"1"},
    {u"1.23a", 1, 0, u"1.23a"},  {u" + 1 2.55", 1, 0, u"12.6"}, {u"-0.5", 0, 0, u"-1"},
    {u"0.994", 2, 0, u"0.99"},   {u"5.55", -1, 0, u"6"},        {u"", 2, 0, u""},
    {u"-", 2, 0, u"-"},          {u"-.", 2, 0, u"-0"},
};

TEST(NumbersTextRounding, RoundNumberText) {
  for (const auto& c : kRoundNumberCases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    QString text = Q(c.text);
    RoundNumberText(text, c.places, c.mode);
    EXPECT_EQ(text, Q(c.result));
    QString string = Q(c.text);
    RoundNumberString(string, c.places, c.mode);
    EXPECT_EQ(string, Q(c.result));
  }
}

const RoundTextCase kSignificantCases[] = {
    {u"123456.78", 2, 0, u"120000"},
    {u"126", 2, 0, u"130"},
    {u"9960", 2, 0, u"10000"},
    {u"0.012345", 3, 0, u"0.0123"},
    {u"0.996", 2, 0, u"1"},
    {u"-99.7", 2, 0, u"-100"},
    {u"-0.000", 3, 0, u"0"},
    {u"-0.000", 1, 2, u"0"},
    {u"0.0996", 2, 0, u"0.1"},
    {u"9.96", 2, 0, u"10"},
    {u"1.2003", 3, 0, u"1.2"},
    {u"1.50", 5, 0, u"1.5"},
    {u"12.", 5, 0, u"12"},
    {u"1.234e5", 2, 0, u"1.234e5"},  // an exponent anywhere: left as normalised
    {u"1234e5", 2, 0, u"1234e5"},
    {u"123abc", 2, 0, u"123abc"},
    {u" +1 234.5x", 2, 0, u"1234.5x"},
    {u"123.45", 4, 1, u"123.4"},
    {u"12001", 2, 2, u"13000"},
    {u"12000", 2, 2, u"12000"},
    {u"1.2000", 2, 2, u"1.2"},
    {u"0.95", 1, 0, u"1"},
    {u"123", 0, 0, u"100"},
    {u"", 3, 0, u""},
};

TEST(NumbersTextRounding, RoundTextToSignificantDigits) {
  for (const auto& c : kSignificantCases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    QString text = Q(c.text);
    RoundTextToSignificantDigits(text, c.places, c.mode);
    EXPECT_EQ(text, Q(c.result));
  }
}

struct SignificantValueCase {
  const char* name;
  double v;
  int digits;
  double result;
};

const SignificantValueCase kSignificantValueCases[] = {
    {"pi to 3", 3.14159265358979, 3, 3.14},
    {"123456.78 to 2", 123456.78, 2, 120000},
    {"0.012345 to 3", 0.012345, 3, 0.0123},
    {"-99.7 to 2", -99.7, 2, -100},
    {"0.1 + 0.2 to 15", 0.1 + 0.2, 15, 0.3},
    {"zero", 0.0, 3, 0.0},
    {"1e25 to 2", 1.234e25, 2, 1.2e25},
    {"1.23456e-7 to 3", 1.23456e-7, 3, 1.23e-7},
    {"max double to 2: 1.8e308 would overflow, v stays", std::numeric_limits<double>::max(), 2,
     std::numeric_limits<double>::max()},
    {"1.234567e300 to 3", 1.234567e300, 3, 1.23e300},
};

TEST(NumbersTextRounding, RoundToSignificantDigits) {
  for (const auto& c : kSignificantValueCases) {
    SCOPED_TRACE(c.name);
    double v = c.v;
    RoundToSignificantDigits(v, c.digits);
    EXPECT_EQ(v, c.result);
  }
  double v = kInf;
  RoundToSignificantDigits(v, 3);
  EXPECT_EQ(v, kInf);
  v = kNaN;
  RoundToSignificantDigits(v, 3);
  EXPECT_TRUE(std::isnan(v));
}

}  // namespace
