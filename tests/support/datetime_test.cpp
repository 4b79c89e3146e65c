#include "support/datetime.h"

#include <gtest/gtest.h>

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "support/textoutput.h"

namespace {

using s16 = std::int16_t;

struct Dmy {
  int day;
  int month;
  int year;
};

// Julian day number of a date, from the usual closed formulas; day numbers here are that
// minus 1721058 from year 1 on, in both calendars.
long JulianDayNumber(int y, int m, int d, bool gregorian) {
  const long a = (14 - m) / 12;
  const long yy = y + 4800 - a;
  const long mm = m + 12 * a - 3;
  long jdn = d + (153 * mm + 2) / 5 + 365 * yy + yy / 4;
  jdn += gregorian ? -yy / 100 + yy / 400 - 32045 : -32083;
  return jdn;
}
constexpr long kJulianDayOfDayZero = 1721058;

Dmy DateOf(const CDate& date) {
  s16 d = 0, m = 0, y = 0;
  date.GetDayMonthYear(d, m, y);
  return {d, m, y};
}

// Sets TZ for the scope and restores it (tests run with TZ=UTC).
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) m_old = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (m_old) {
      setenv("TZ", m_old->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> m_old;
};

CTime Utc(int year, int month, int day, int h, int m, int s) {
  ScopedTimeZone utc("UTC");
  return CTime::FromLocal(year, month, day, h, m, s);
}

// ---------------------------------------------------------------- CDate

TEST(CDate, StartsUnset) {
  CDate date;
  EXPECT_EQ(date.GetDayNumber(), kDateUnset);
  EXPECT_FALSE(date.IsValid());
}

TEST(CDate, MonthLengthsFollowBothCalendars) {
  struct Case {
    int year;
    int february;
  } const cases[] = {{1700, 29}, {1800, 28}, {1900, 28}, {2000, 29}, {1600, 29}, {1752, 29},
                     {2024, 29}, {2023, 28}, {4, 29},    {1, 28},    {0, 28}};
  for (const auto& c : cases) {
    const auto lengths = GetMonthLengths(c.year);
    EXPECT_EQ(lengths[1], c.february) << c.year;
    int total = 0;
    for (auto l : lengths) total += l;
    EXPECT_EQ(total, 337 + c.february) << c.year;
  }
}

TEST(CDate, SetDayMonthYearGivesDayNumbersAndStates) {
  struct Case {
    int day, month, year;
    std::int32_t expected;  // day number, or the error state
  } const cases[] = {
      {1, 1, 0, 1},
      {31, 12, 0, 365},  // year 0 has no leap day, so years 0 and 1 do not overlap
      {1, 1, 1, 366},
      {29, 2, 0, kDateBadDay},
      {2, 9, 1752, 640163},
      {14, 9, 1752, 640164},
      {3, 9, 1752, kDateDropped},
      {8, 9, 1752, kDateDropped},
      {13, 9, 1752, kDateDropped},
      {29, 2, 1700, 620984},
      {29, 2, 1800, kDateBadDay},
      {29, 2, 1900, kDateBadDay},
      {29, 2, 2000, 730546},
      {31, 12, 1799, 657438},
      {1, 1, 1800, 657439},
      {1, 1, 1970, 719530},
      {1, 1, 2000, 730487},
      {31, 12, 32767, 11968267},
      {0, 1, 2000, kDateBadDay},
      {32, 1, 2000, kDateBadDay},
      {31, 4, 2000, kDateBadDay},
      {1, 0, 2000, kDateBadMonth},
      {1, 13, 2000, kDateBadMonth},
      {1, 1, -1, kDateBadYear},
      {0, 13, -1, kDateBadYear},  // the year is checked first, then the month
      {0, 13, 2000, kDateBadMonth},
  };
  for (const auto& c : cases) {
    CDate date;
    const int ok = date.SetDayMonthYear(c.day, c.month, c.year);
    EXPECT_EQ(date.GetDayNumber(), c.expected) << c.day << "/" << c.month << "/" << c.year;
    EXPECT_EQ(ok, c.expected >= 1 ? 1 : 0) << c.day << "/" << c.month << "/" << c.year;
  }
}

// Every date of years 1..3000 gets the same number as the Julian day number (Julian calendar
// up to 2 September 1752, Gregorian from 14 September 1752).
TEST(CDate, DayNumbersAgreeWithJulianDayNumbers) {
  int mismatches = 0;
  for (int y = 1; y <= 3000 && mismatches < 5; ++y) {
    const auto lengths = GetMonthLengths(y);
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= lengths[m - 1]; ++d) {
        const bool dropped = y == 1752 && m == 9 && d >= 3 && d <= 13;
        if (dropped) continue;
        const bool gregorian = y > 1752 || (y == 1752 && (m > 9 || (m == 9 && d >= 14)));
        CDate date;
        date.SetDayMonthYear(d, m, y);
        const long expected = JulianDayNumber(y, m, d, gregorian) - kJulianDayOfDayZero;
        if (date.GetDayNumber() != expected) {
          ADD_FAILURE() << d << "/" << m << "/" << y << " gives " << date.GetDayNumber()
                        << ", expected " << expected;
          ++mismatches;
        }
      }
    }
  }
}

// Walking day by day over the first four thousand years, across the calendar change, and over
// the last years a short holds: each date gets the next number, and GetDayMonthYear gives the
// date back from it.
TEST(CDate, GetDayMonthYearRoundTripsEveryDayNumber) {
  for (const auto& [firstYear, lastYear] : {std::pair{0, 4000}, std::pair{32000, 32767}}) {
    int d = 1, m = 1, y = firstYear;
    CDate first;
    ASSERT_TRUE(first.SetDayMonthYear(d, m, y));
    int failures = 0;
    for (std::int32_t n = first.GetDayNumber(); y <= lastYear && failures < 5; ++n) {
      CDate date;
      date.SetDayMonthYear(d, m, y);
      const Dmy back = DateOf(date);
      if (date.GetDayNumber() != n || back.day != d || back.month != m || back.year != y) {
        ADD_FAILURE() << d << "/" << m << "/" << y << " is day " << date.GetDayNumber()
                      << " (expected " << n << ") and reads back as " << back.day << "/"
                      << back.month << "/" << back.year;
        ++failures;
      }
      if (y == 1752 && m == 9 && d == 2) {
        d = 14;  // the calendar change
      } else if (++d > GetMonthLengths(y)[m - 1]) {
        d = 1;
        if (++m > 12) {
          m = 1;
          ++y;
        }
      }
    }
  }
}

TEST(CDate, GetDayMonthYearAtTheEdges) {
  struct Case {
    Dmy date;
  } const cases[] = {{{1, 1, 0}},      {{31, 12, 0}},    {{1, 1, 1}},      {{2, 9, 1752}},
                     {{14, 9, 1752}},  {{31, 12, 1752}}, {{29, 2, 1700}},  {{28, 2, 1800}},
                     {{1, 3, 1800}},   {{31, 12, 1799}}, {{30, 12, 2000}}, {{31, 12, 2000}},
                     {{31, 12, 2004}}, {{30, 12, 2400}}, {{31, 12, 2400}}, {{31, 12, 32767}}};
  for (const auto& c : cases) {
    CDate date;
    ASSERT_TRUE(date.SetDayMonthYear(c.date.day, c.date.month, c.date.year));
    const Dmy back = DateOf(date);
    EXPECT_EQ(back.day, c.date.day) << date.GetDayNumber();
    EXPECT_EQ(back.month, c.date.month) << date.GetDayNumber();
    EXPECT_EQ(back.year, c.date.year) << date.GetDayNumber();
  }
}

TEST(CDate, ParseReadsTypedDates) {
  struct Case {
    const char16_t* text;
    int reference;
    std::int32_t state;  // 1 for a valid date, else the error state
    Dmy date;
  } const cases[] = {
      {u"5 Jan 26", 2026, 1, {5, 1, 2026}},
      {u"  5 Jan 26  ", 2026, 1, {5, 1, 2026}},
      {u"5/1/76", 2026, 1, {5, 1, 2076}},
      {u"5/1/77", 2026, 1, {5, 1, 1977}},
      {u"5 jan", 2026, 1, {5, 1, 2026}},
      {u"5 jan   ", 2026, 1, {5, 1, 2026}},
      {u"5-MAY-2026", 2026, 1, {5, 5, 2026}},
      {u"5 september 2026", 0, 1, {5, 9, 2026}},
      {u"5 SEP 2026", 0, 1, {5, 9, 2026}},
      {u"5.12.2026", 0, 1, {5, 12, 2026}},
      {u"05/01/2026", 0, 1, {5, 1, 2026}},
      {u"5/1x/2026", 0, 1, {5, 1, 2026}},
      {u"2 Sep 1752", 0, 1, {2, 9, 1752}},
      {u"29 Feb 1700", 0, 1, {29, 2, 1700}},
      {u"5/1/26", 0, 1, {5, 1, 26}},        // reference 0 keeps 0..99
      {u"5/1/26", -1950, 1, {5, 1, 2026}},  // at or after 1950
      {u"5/1/76", -1950, 1, {5, 1, 1976}},
      {u"5/1/29", 2080, 1, {5, 1, 2129}},  // within 50 years of 2080
      {u"5/1/30", 2080, 1, {5, 1, 2030}},
      {u"5/1/10", 32767, kDateBadYear, {}},  // 32810 is past the years a date holds
      {u"5 jan", 0, kDateBadSyntax, {}},
      {u"5 jan,", 2026, kDateBadSyntax, {}},
      {u"5 Sept 2026", 2026, kDateBadMonth, {}},
      {u"5 Sept 2026", 0, kDateBadMonth, {}},
      {u"5 Ja 2026", 0, kDateBadMonth, {}},
      {u"5 J\u00e4n 2026", 0, kDateBadMonth, {}},
      {u"5 abcdefghijklmnopqrstu 2026", 0, kDateBadMonth, {}},
      {u"5/13/2026", 0, kDateBadMonth, {}},
      {u"5/99999/2026", 0, kDateBadSyntax, {}},
      {u"5/000000000000000000001/2026", 0, kDateBadMonth, {}},
      {u"31/2/2026", 2026, kDateBadDay, {}},
      {u"31/2/2026", 0, kDateBadDay, {}},
      {u"0/1/2026", 0, kDateBadDay, {}},
      {u"99999/1/2026", 0, kDateBadDay, {}},
      {u"000000000000000000005/1/2026", 0, kDateBadDay, {}},
      {u"5/1/99999", 0, kDateBadYear, {}},
      {u"5/1/000000000000000002026", 0, kDateBadYear, {}},
      {u"5 March 2026 x", 2026, kDateBadSyntax, {}},
      {u"5 March 2026 x", 0, kDateBadSyntax, {}},
      {u"5 March 2026 7", 0, kDateBadSyntax, {}},
      {u"10 Sep 1752", 0, kDateDropped, {}},
      {u"", 2026, kDateBadSyntax, {}},
      {u"   ", 2026, kDateBadSyntax, {}},
      {u"Jan 5 2026", 2026, kDateBadSyntax, {}},
      {u"5", 2026, kDateBadSyntax, {}},
      {u"5 //", 2026, kDateBadSyntax, {}},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    CDate date;
    const int ok = date.Parse(text, c.reference);
    EXPECT_EQ(ok, c.state == 1 ? 1 : 0) << text.toStdString() << " / " << c.reference;
    if (c.state == 1) {
      const Dmy got = DateOf(date);
      EXPECT_EQ(got.day, c.date.day) << text.toStdString();
      EXPECT_EQ(got.month, c.date.month) << text.toStdString();
      EXPECT_EQ(got.year, c.date.year) << text.toStdString();
    } else {
      EXPECT_EQ(date.GetDayNumber(), c.state) << text.toStdString() << " / " << c.reference;
    }
  }
}

// A view ends where it ends: the parsers must not read what follows it in memory.
TEST(CDate, ParseStopsAtTheEndOfTheText) {
  const QString whole = QStringLiteral("5 jan 2026x");
  CDate date;
  ASSERT_TRUE(date.Parse(QStringView(whole).first(5), 2026));
  EXPECT_EQ(DateOf(date).year, 2026);
  ASSERT_TRUE(date.Parse(QStringView(whole).first(10), 0));
  EXPECT_EQ(date.Parse(QStringView(whole).first(1), 2026), 0);
  EXPECT_EQ(date.GetDayNumber(), kDateBadSyntax);
}

TEST(CDate, InvalidDatesSortAfterValidOnes) {
  CDate early, late, unset, bad;
  early.SetDayMonthYear(1, 1, 2000);
  late.SetDayMonthYear(2, 1, 2000);
  bad.SetDayMonthYear(31, 2, 2000);
  struct Case {
    const CDate* a;
    const CDate* b;
    int earlier;
    int later;
  } const cases[] = {
      {&early, &late, 1, 0},  {&late, &early, 0, 1}, {&early, &early, 0, 0}, {&early, &unset, 1, 0},
      {&unset, &early, 0, 1}, {&unset, &bad, 1, 1},  {&bad, &bad, 1, 1},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].a->IsEarlierThan(*cases[i].b), cases[i].earlier) << i;
    EXPECT_EQ(cases[i].a->IsLaterThan(*cases[i].b), cases[i].later) << i;
  }
}

// ---------------------------------------------------------------- CSalesDate

TEST(CSalesDate, SetDayMonthYearKeepsTheRange) {
  struct Case {
    int day, month, year;
    int value;  // -1: refused
  } const cases[] = {
      {1, 1, 1980, 0},    {31, 12, 2099, 44639}, {31, 2, 2000, 7501}, {1, 3, 2000, 7502},
      {31, 1, 1980, 30},  {1, 2, 1980, 31},      {31, 12, 1980, 371}, {1, 1, 1981, 372},
      {0, 1, 2000, -1},   {32, 1, 2000, -1},     {1, 0, 2000, -1},    {1, 13, 2000, -1},
      {31, 12, 1979, -1}, {1, 1, 2100, -1},
  };
  for (const auto& c : cases) {
    CSalesDate date;
    ASSERT_TRUE(date.SetDayMonthYear(10, 10, 2010));
    const std::uint16_t before = date.GetValue();
    const int ok = date.SetDayMonthYear(c.day, c.month, c.year);
    EXPECT_EQ(ok, c.value >= 0 ? 1 : 0) << c.day << "/" << c.month << "/" << c.year;
    EXPECT_EQ(date.GetValue(), c.value >= 0 ? c.value : before)
        << c.day << "/" << c.month << "/" << c.year;
  }
}

TEST(CSalesDate, ParseAcceptsOnlyDatesOfItsYears) {
  struct Case {
    const char16_t* text;
    int value;  // -1: left unset
  } const cases[] = {
      {u"31 Feb 2000", 7501},
      {u"1/1/79", 36828},  // 2079
      {u"1/1/80", 0},      // 1980
      {u"1/1/00", 7440},   // 2000
      {u"  1 jan 1980  ", 0},
      {u"31-Dec-2099", 44639},
      {u"1 March 2000", 7502},
      {u"1/1/1979", -1},
      {u"1/1/2100", -1},
      {u"1/1/500", -1},
      {u"1 Sept 2000", -1},
      {u"1/13/2000", -1},
      {u"32/1/2000", -1},
      {u"1/1/2000 x", -1},
      {u"1/1", -1},
      {u"1/", -1},
      {u"1", -1},
      {u"x1/1/2000", -1},
      {u"", -1},
      {u"000000000000000000001/1/2000", -1},
      {u"1/1/000000000000000002000", -1},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    CSalesDate date;
    ASSERT_TRUE(date.SetDayMonthYear(5, 5, 2005));
    date.Parse(text);  // clears the earlier value first
    if (c.value < 0) {
      EXPECT_TRUE(date.IsUnset()) << text.toStdString();
    } else {
      EXPECT_EQ(date.GetValue(), c.value) << text.toStdString();
    }
  }
  CSalesDate date;
  date.Parse(QStringView(u"1/1/2000").first(4));  // "1/1/" has no year
  EXPECT_TRUE(date.IsUnset());
}

TEST(CSalesDate, UnsetDatesSortBeforeSetOnes) {
  CSalesDate early, late, unset, unset2;
  early.SetDayMonthYear(31, 1, 2000);
  late.SetDayMonthYear(1, 2, 2000);
  EXPECT_EQ(unset.GetValue(), kSalesDateUnset);
  struct Case {
    const CSalesDate* a;
    const CSalesDate* b;
    int earlier;
    int later;
  } const cases[] = {
      {&early, &late, 1, 0},  {&late, &early, 0, 1},  {&early, &early, 0, 0},
      {&unset, &early, 1, 0}, {&early, &unset, 0, 1}, {&unset, &unset2, 1, 0},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].a->IsEarlierThan(*cases[i].b), cases[i].earlier) << i;
    EXPECT_EQ(cases[i].a->IsLaterThan(*cases[i].b), cases[i].later) << i;
  }
  late.Clear();
  EXPECT_TRUE(late.IsUnset());
}

// ---------------------------------------------------------------- CDuration

TEST(CDuration, SetHMS) {
  struct Case {
    int hours, minutes;
    double seconds;
    bool negative;
    std::int32_t state;
    double value;
  } const cases[] = {
      {1, 2, 3.5, false, kDurationValid, 3723.5},
      {1, 2, 3.5, true, kDurationValid, -3723.5},
      {0, 0, 0, false, kDurationValid, 0},
      {0, 59, 59.999, false, kDurationValid, 3599.999},
      {2147483647, 59, 59, false, kDurationValid, 2147483647.0 * 3600 + 3599},
      {0, 60, 0, false, kDurationBadMinutes, 0},
      {0, -1, 0, false, kDurationBadMinutes, 0},
      {0, 0, 60, false, kDurationBadSeconds, 0},
      {0, 0, -0.5, false, kDurationBadSeconds, 0},
      {0, 0, std::numeric_limits<double>::quiet_NaN(), false, kDurationBadSeconds, 0},
  };
  for (const auto& c : cases) {
    CDuration duration;
    const int ok = duration.SetHMS(c.hours, c.minutes, c.seconds, c.negative);
    EXPECT_EQ(ok, c.state == kDurationValid ? 1 : 0) << c.hours << ":" << c.minutes;
    EXPECT_EQ(duration.GetState(), c.state) << c.hours << ":" << c.minutes;
    EXPECT_DOUBLE_EQ(duration.GetSeconds(), c.value) << c.hours << ":" << c.minutes;
  }
}

TEST(CDuration, ParseReadsTypedDurations) {
  const QString fiftyNines(50, u'9');
  const QString fiftyOneZeros(51, u'0');
  struct Case {
    QString text;
    std::int32_t state;
    double value;
  } const cases[] = {
      {QStringLiteral("1:30"), kDurationValid, 90},
      {QStringLiteral("-1:02:03.5"), kDurationValid, -3723.5},
      {QStringLiteral(" - 1 : 02 : 03.5 "), kDurationValid, -3723.5},
      {QStringLiteral("90"), kDurationValid, 90},
      {QStringLiteral("-90"), kDurationValid, -90},
      {QStringLiteral("120.25"), kDurationValid, 120.25},
      {QStringLiteral(".5"), kDurationValid, 0.5},
      {QStringLiteral("1:.5"), kDurationValid, 60.5},
      {QStringLiteral("0:0:0"), kDurationValid, 0},
      {QStringLiteral("100:00:00"), kDurationValid, 360000},
      {QStringLiteral("2147483647:00:00"), kDurationValid, 2147483647.0 * 3600},
      {QStringLiteral("90:30"), kDurationBadMinutes, 0},
      {QStringLiteral("1:90:00"), kDurationBadMinutes, 0},
      {QStringLiteral("1:90"), kDurationBadSeconds, 0},
      {QStringLiteral("1:30:60"), kDurationBadSeconds, 0},
      {QStringLiteral("1:2:3:4"), kDurationBadSyntax, 0},
      {QStringLiteral("1-30"), kDurationBadSyntax, 0},
      {QStringLiteral("--5"), kDurationBadSyntax, 0},
      {QStringLiteral("- -5"), kDurationBadSyntax, 0},
      {QStringLiteral("1:-30"), kDurationBadSyntax, 0},
      {QStringLiteral("+5"), kDurationBadSyntax, 0},
      {QStringLiteral(":30"), kDurationBadSyntax, 0},
      {QStringLiteral("1:30:"), kDurationBadSyntax, 0},
      {QStringLiteral("1 30"), kDurationBadSyntax, 0},
      {QStringLiteral("1.2.3"), kDurationBadSyntax, 0},
      {QStringLiteral("5s"), kDurationBadSyntax, 0},
      {QStringLiteral(""), kDurationBadSyntax, 0},
      {QStringLiteral("-"), kDurationBadSyntax, 0},
      // Hours beyond what an int holds are refused, never multiplied out.
      {QStringLiteral("2147483648:00:00"), kDurationBadHours, 0},
      {fiftyNines + QStringLiteral(":00:00"), kDurationBadHours, 0},
      {fiftyNines + QStringLiteral("9:00:00"), kDurationBadHours, 0},
      {QStringLiteral("1:") + fiftyOneZeros + QStringLiteral(":00"), kDurationBadMinutes, 0},
      {QStringLiteral("1:1:") + fiftyOneZeros, kDurationBadSeconds, 0},
      {fiftyNines, kDurationValid, 1e50},
  };
  for (const auto& c : cases) {
    CDuration duration;
    duration.Parse(c.text);
    EXPECT_EQ(duration.GetState(), c.state) << c.text.toStdString();
    EXPECT_DOUBLE_EQ(duration.GetSeconds(), c.value) << c.text.toStdString();
  }
  CDuration duration;
  duration.Parse(QStringView(u"1:30:00").first(4));  // "1:30"
  EXPECT_EQ(duration.GetState(), kDurationValid);
  EXPECT_DOUBLE_EQ(duration.GetSeconds(), 90);
}

TEST(CDuration, InvalidDurationsSortAsLongest) {
  CDuration shortOne, longOne, unset, bad;
  shortOne.SetHMS(0, 1, 0, true);
  longOne.SetHMS(0, 1, 0, false);
  bad.Parse(u"x");
  struct Case {
    const CDuration* a;
    const CDuration* b;
    int shorter;
    int longer;
  } const cases[] = {
      {&shortOne, &longOne, 1, 0}, {&longOne, &shortOne, 0, 1}, {&longOne, &longOne, 0, 0},
      {&longOne, &unset, 1, 0},    {&unset, &longOne, 0, 1},    {&unset, &bad, 1, 1},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].a->IsShorterThan(*cases[i].b), cases[i].shorter) << i;
    EXPECT_EQ(cases[i].a->IsLongerThan(*cases[i].b), cases[i].longer) << i;
  }
}

// ---------------------------------------------------------------- CClock

TEST(CClock, SetAndGetHMS) {
  struct Case {
    int h, m, s;
    std::int32_t value;
  } const cases[] = {
      {0, 0, 0, 0},
      {23, 59, 59, 86399},
      {24, 0, 0, 86400},
      {9, 5, 7, 32707},
      {24, 0, 1, kClockBadHour},
      {24, 1, 0, kClockBadHour},
      {-1, 0, 0, kClockBadHour},
      {0, 60, 0, kClockBadMinute},
      {0, -1, 0, kClockBadMinute},
      {0, 0, 60, kClockBadSecond},
  };
  for (const auto& c : cases) {
    CClock clock;
    const int ok = clock.SetHMS(c.h, c.m, c.s);
    EXPECT_EQ(clock.GetValue(), c.value) << c.h << ":" << c.m << ":" << c.s;
    EXPECT_EQ(ok, c.value >= 0 ? 1 : 0);
    if (c.value >= 0) {
      s16 h = -1, m = -1, s = -1;
      clock.GetHMS(h, m, s);
      EXPECT_EQ(h, c.h);
      EXPECT_EQ(m, c.m);
      EXPECT_EQ(s, c.s);
    }
  }
  EXPECT_EQ(CClock().GetValue(), kClockUnset);
}

TEST(CClock, ParseReadsTypedTimes) {
  struct Case {
    const char16_t* text;
    std::int32_t value;  // seconds since midnight, or the state
  } const cases[] = {
      {u"930", 9 * 3600 + 30 * 60},
      {u"1430", 14 * 3600 + 30 * 60},
      {u"0930", 9 * 3600 + 30 * 60},
      {u"930:15", 9 * 3600 + 30 * 60 + 15},
      {u"9:30", 9 * 3600 + 30 * 60},
      {u"  9 30 15  ", 9 * 3600 + 30 * 60 + 15},
      {u"9:05.07", 9 * 3600 + 5 * 60 + 7},
      {u"9:", 9 * 3600},
      {u"9", 9 * 3600},
      {u"12 am", 0},
      {u"12:30 am", 30 * 60},
      {u"12 pm", 12 * 3600},
      {u"12:30 P.M.", 12 * 3600 + 30 * 60},
      {u"1.05.30 p.m.", 13 * 3600 + 5 * 60 + 30},
      {u"9 p. m.", 21 * 3600},
      {u"9pm", 21 * 3600},
      {u"9 AM", 9 * 3600},
      {u"13 pm", 13 * 3600},
      {u"24", 86400},
      {u"24:00:00", 86400},
      {u"13 am", kClockBadSyntax},
      {u"24:01", kClockBadHour},
      {u"25", kClockBadHour},
      {u"12345", kClockBadHour},
      {u"9:61", kClockBadMinute},
      {u"9:30:61", kClockBadSecond},
      {u"9::30", kClockBadSyntax},
      {u"9: :30", kClockBadSyntax},
      {u"9:30:15:20", kClockBadSyntax},
      {u"99999", kClockBadSyntax},
      {u"9 xm", kClockBadSyntax},
      {u"9 a.m.x", kClockBadSyntax},
      {u"9 o'clock", kClockBadSyntax},
      {u"", kClockBadSyntax},
      {u"  ", kClockBadSyntax},
      {u":30", kClockBadSyntax},
      {u"am", kClockBadSyntax},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    CClock clock;
    const int ok = clock.Parse(text);
    EXPECT_EQ(clock.GetValue(), c.value) << text.toStdString();
    EXPECT_EQ(ok, c.value >= 0 ? 1 : 0) << text.toStdString();
  }
  CClock clock;
  ASSERT_TRUE(clock.Parse(QStringView(u"9:30pm").first(4)));  // "9:30"
  EXPECT_EQ(clock.GetValue(), 9 * 3600 + 30 * 60);
}

TEST(CClock, Separators) {
  for (char16_t c : std::u16string_view(u"\"',-./:\\^_|")) {
    EXPECT_EQ(IsClockSeparator(c), 1) << char(c);
  }
  for (char16_t c : {u' ', u'a', u'0', u';', u'+', u'\t', char16_t(0)}) {
    EXPECT_EQ(IsClockSeparator(c), 0) << int(c);
  }
}

// ---------------------------------------------------------------- Times and text

TEST(MakeTime, BuildsLocalTimesFromTypedText) {
  struct Case {
    const char16_t* date;
    const char16_t* time;
    int year, month, day, h, m, s;
  } const cases[] = {
      {u"8 December 2026", u"9:05.07", 2026, 12, 8, 9, 5, 7},
      {u"8/12/2026", u"2:30 pm", 2026, 12, 8, 14, 30, 0},
      {u"8 December 2026", u"", 2026, 12, 8, 0, 0, 0},
      {u"8 December 2026", u"25:00", 2026, 12, 8, 0, 0, 0},
      {u"8/12/26", u"9:05", 1970, 12, 8, 9, 5, 0},  // year 26 is raised to 1970
      {u"29 Feb 2000", u"23:59:59", 2000, 2, 29, 23, 59, 59},
      {u"not a date", u"10:00", 1970, 1, 1, 10, 0, 0},
      {u"", u"", 1970, 1, 1, 0, 0, 0},
  };
  for (const char* zone : {"UTC", "CET-1CEST,M3.5.0,M10.5.0/3"}) {
    ScopedTimeZone tz(zone);
    for (const auto& c : cases) {
      const CTime t = MakeTime(c.date, c.time);
      LocalTimeFields f;
      ASSERT_TRUE(t.GetLocalFields(f));
      const std::string what = QString::fromUtf16(c.date).toStdString() + " " + zone;
      EXPECT_EQ(f.year, c.year) << what;
      EXPECT_EQ(f.month, c.month) << what;
      EXPECT_EQ(f.day, c.day) << what;
      EXPECT_EQ(f.hour, c.h) << what;
      EXPECT_EQ(f.minute, c.m) << what;
      EXPECT_EQ(f.second, c.s) << what;
    }
  }
  EXPECT_EQ(MakeTime(u"", u"").GetTime(), 0);  // TZ=UTC
}

TEST(FormatTimeSpan, UnitsFollowTheLengthOfTheSpan) {
  const std::int64_t day = 86400;
  struct Case {
    std::int64_t seconds;
    const char* text;
  } const cases[] = {
      {0, "0seconds"},
      {45, "45seconds"},
      {90, "1mins 30secs"},
      {3600, "1hrs 0secs"},
      {3661, "1hrs 1mins 1secs"},
      {day - 1, "23hrs 59mins 59secs"},
      {day, "1d 0s"},
      {day + 2 * 3600 + 5, "1d 2h 5s"},
      {day + 60, "1d 1m 0s"},
      {400 * day + 3 * 3600 + 4 * 60 + 5, "400d 3h 4m 5s"},
  };
  const std::int64_t base = 1'800'000'000;
  for (const auto& c : cases) {
    EXPECT_EQ(FormatTimeSpan(CTime(base), CTime(base + c.seconds)).toStdString(), c.text);
    EXPECT_EQ(FormatTimeSpan(CTime(base + c.seconds), CTime(base)).toStdString(), c.text);
  }
  // The widest span of all is still exact.
  const CTime lowest(std::numeric_limits<std::int64_t>::min());
  const CTime highest(std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(FormatTimeSpan(lowest, highest).toStdString(), "213503982334601d 7h 15s");
}

TEST(FormatTimeAndDate, FlagsChooseTheForm) {
  const CTime morning = Utc(2026, 12, 8, 9, 5, 7);
  const CTime newYear = Utc(2000, 1, 1, 0, 0, 0);
  const CTime late = Utc(1999, 5, 31, 23, 59, 59);
  struct Case {
    CTime t;
    std::int16_t flags;
    const char* text;
  } const cases[] = {
      {morning, 0, "9:05.07 8-December-2026"}, {morning, 1, "9:05.07,8-December-2026"},
      {morning, 4, "9:05.07 8-Dec-2026"},      {morning, 8, "8-December-2026 9:05.07"},
      {morning, 13, "8-Dec-2026,9:05.07"},     {morning, 2, "9:05.07 8-December-2026"},
      {newYear, 0, "0:00.00 1-January-2000"},  {late, 5, "23:59.59,31-May-1999"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatTimeAndDate(c.t, c.flags).toStdString(), c.text) << c.flags;
  }
}

TEST(FormatTimeAndDate, ShowsTheLocalTime) {
  const CTime morning = Utc(2026, 12, 8, 9, 5, 7);
  const CTime summer = Utc(2026, 7, 1, 23, 30, 0);
  ScopedTimeZone tz("CET-1CEST,M3.5.0,M10.5.0/3");
  EXPECT_EQ(FormatTimeAndDate(morning, 0).toStdString(), "10:05.07 8-December-2026");
  EXPECT_EQ(FormatTimeAndDate(summer, 0).toStdString(), "1:30.00 2-July-2026");
}

TEST(WriteTimeAndDate, WritesTheTimeLine) {
  const CTime morning = Utc(2026, 12, 8, 9, 5, 7);
  const CTime evening = Utc(2026, 1, 18, 21, 0, 0);
  struct Case {
    CTime t;
    std::int16_t flags;
    const char* text;
  } const cases[] = {
      {morning, 0, "9:05.07   8 December 2026\n"}, {morning, 1, "9:05.07,8 December 2026\n"},
      {morning, 2, "9:05.07   8 December 2026"},   {morning, 3, "9:05.07,8 December 2026"},
      {morning, 4, "9:05.07   8 Dec 2026\n"},      {evening, 7, "21:00.00,18 Jan 2026"},
  };
  for (const auto& c : cases) {
    StringTextOutput out;
    out.WriteString(QStringLiteral("before|"));
    WriteTimeAndDate(out, c.t, c.flags);
    EXPECT_EQ(out.text().toStdString(), std::string("before|") + c.text) << c.flags;
  }
}

TEST(ToLocalStandardTime, MovesByTheStandardDifference) {
  const std::int64_t summer = Utc(2026, 7, 1, 12, 0, 0).GetTime();
  struct Case {
    const char* zone;
    std::int64_t before;
    std::int64_t after;
  } const cases[] = {
      {"UTC", summer, summer},
      {"EST5EDT,M3.2.0,M11.1.0", summer, summer - 5 * 3600},  // standard time, even in summer
      {"CET-1CEST,M3.5.0,M10.5.0/3", summer, summer + 3600},
      // The ends of the range hold instead of wrapping round.
      {"EST5EDT,M3.2.0,M11.1.0", std::numeric_limits<std::int64_t>::min() + 10,
       std::numeric_limits<std::int64_t>::min()},
      {"CET-1CEST,M3.5.0,M10.5.0/3", std::numeric_limits<std::int64_t>::max() - 10,
       std::numeric_limits<std::int64_t>::max()},
  };
  for (const auto& c : cases) {
    ScopedTimeZone tz(c.zone);
    CTime t(c.before);
    ToLocalStandardTime(t);
    EXPECT_EQ(t.GetTime(), c.after) << c.zone;
  }
}

}  // namespace
