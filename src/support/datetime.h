#pragma once
// Typed dates and times: a calendar date (CDate), a compact date of the years 1980..2099
// (CSalesDate), a signed duration (CDuration) and a time of day (CClock). Each parses free
// text typed by the user, keeps a valid value or an error state and compares with others of
// its kind, so the typed columns of the table control can check and sort entries. Beside
// them: a CTime from typed date and time text, and the program's fixed text forms of times,
// dates and time spans (the usage log's rows and the activity log's time lines).
//
// Decisions for Linux:
// - The text forms are returned as QString by value in place of a static buffer, and
//   MakeTime returns its CTime by value without keeping a static copy.
// - No parse reads past the end of its text, and a duration is computed in doubles so no
//   count of hours overflows.
// - Year 0 is not a leap year: the day numbering counts no leap day in it, and with one
//   31 December of year 0 and 1 January of year 1 would share a day number.
// - A "blank" is a space or a tab, as everywhere in the program (IsBlankChar).
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>

#include "support/timevalue.h"

class ITextOutput;

// ---- Calendar dates ----
// Day numbers: 1 January of year 0 is day 1; Julian up to 2 September 1752 (day 640163),
// Gregorian from 14 September 1752 (day 640164).
inline constexpr std::int32_t kDateUnset = -1;
inline constexpr std::int32_t kDateBadYear = -2;
inline constexpr std::int32_t kDateBadMonth = -3;
inline constexpr std::int32_t kDateBadDay = -4;
inline constexpr std::int32_t kDateBadSyntax = -5;
inline constexpr std::int32_t kDateDropped = -7;  // 3..13 September 1752 do not exist
inline constexpr std::int32_t kLastJulianDay = 640163;
inline constexpr std::int32_t kFirstGregorianDay = 640164;

// The 12 month lengths of the year: February has 29 days in a leap year (every fourth year,
// from 1752 on not the centuries that 400 does not divide; year 0 is not one).
std::array<std::int16_t, 12> GetMonthLengths(int year);

class CDate {
 public:
  CDate() = default;
  virtual ~CDate();

  // 1 and the day number stored, or 0 and an error state stored (-2 year below 0, -3 month
  // outside 1..12, -4 day outside the month, -7 a day the calendar change dropped).
  int SetDayMonthYear(std::int16_t day, std::int16_t month, std::int16_t year);
  // The date of the stored day number; only meaningful for a valid date (an error state
  // gives 0, 0, 0).
  void GetDayMonthYear(std::int16_t& day, std::int16_t& month, std::int16_t& year) const;
  // Day, month (number or name) and year from typed text; a year below 100 is placed near
  // referenceYear, and a missing year is referenceYear when that is 1 or more.
  int Parse(QStringView text, std::int16_t referenceYear);

  // An invalid date counts as later than every valid one.
  int IsEarlierThan(const CDate& other) const;
  int IsLaterThan(const CDate& other) const;

  // The day number (1 and above) or the state (negative).
  std::int32_t GetDayNumber() const { return m_dayNumber; }
  bool IsValid() const { return m_dayNumber >= 1; }

 private:
  std::int32_t m_dayNumber = kDateUnset;
};

// ---- Compact dates, 1 January 1980 = 0 .. 31 December 2099 = 44639 ----
inline constexpr std::uint16_t kSalesDateUnset = 0xFFFF;

class CSalesDate {
 public:
  CSalesDate() = default;
  virtual ~CSalesDate();

  // Day 1..31 (whatever the month), month 1..12, year 1980..2099: stores and gives 1;
  // otherwise changes nothing and gives 0.
  int SetDayMonthYear(std::int16_t day, std::int16_t month, std::int16_t year);
  // Clears the value first; a text that is no date in 1980..2099 leaves it unset.
  void Parse(QStringView text);
  int IsUnset() const { return m_value == kSalesDateUnset; }
  void Clear() { m_value = kSalesDateUnset; }

  // An unset date counts as earlier than every set one.
  int IsEarlierThan(const CSalesDate& other) const;
  int IsLaterThan(const CSalesDate& other) const;

  std::uint16_t GetValue() const { return m_value; }

 private:
  std::uint16_t m_value = kSalesDateUnset;
};

// ---- Durations ----
inline constexpr std::int32_t kDurationValid = 0;
inline constexpr std::int32_t kDurationUnset = -1;
inline constexpr std::int32_t kDurationBadHours = -2;
inline constexpr std::int32_t kDurationBadMinutes = -3;
inline constexpr std::int32_t kDurationBadSeconds = -4;
inline constexpr std::int32_t kDurationBadSyntax = -5;

class CDuration {
 public:
  CDuration() = default;
  virtual ~CDuration();

  // Minutes 0..59 and seconds 0 <= s < 60 give the signed length and 1; otherwise state
  // -3 or -4 and 0. Hours have no limit.
  int SetHMS(int hours, std::int16_t minutes, double seconds, bool negative);
  // "[-]h:mm:ss.s", "[-]m:ss.s" or "[-]s.s"; sets the length and state 0, or an error state.
  void Parse(QStringView text);

  // An invalid duration counts as longer than every valid one.
  int IsShorterThan(const CDuration& other) const;
  int IsLongerThan(const CDuration& other) const;

  std::int32_t GetState() const { return m_state; }
  double GetSeconds() const { return m_seconds; }  // 0 unless the state is 0

 private:
  std::int32_t m_state = kDurationUnset;
  double m_seconds = 0;
};

// ---- Times of day, seconds since midnight 0..86400 ----
inline constexpr std::int32_t kClockUnset = -1;
inline constexpr std::int32_t kClockBadHour = -2;
inline constexpr std::int32_t kClockBadMinute = -3;
inline constexpr std::int32_t kClockBadSecond = -4;
inline constexpr std::int32_t kClockBadSyntax = -5;

class CClock {
 public:
  CClock() = default;
  virtual ~CClock();

  // 0:00:00..23:59:59 or exactly 24:00:00 gives 1; otherwise state -2, -3 or -4 and 0.
  int SetHMS(std::int16_t h, std::int16_t m, std::int16_t s);
  void GetHMS(std::int16_t& h, std::int16_t& m, std::int16_t& s) const;
  // "9:30", "930", "1.05.30 p.m.", "12 am"...: 1 for a valid time, else 0 and an error state.
  int Parse(QStringView text);

  std::int32_t GetValue() const { return m_value; }  // seconds, or the state (negative)

 private:
  std::int32_t m_value = kClockUnset;
};

// The characters that may separate the numbers of a typed time: " ' , - . / : \ ^ _ |
int IsClockSeparator(char16_t c);

// ---- Times and text ----
// The local time of typed date text (read with reference year 0, the year raised to at least
// 1970; 1 January 1970 when it is no date) and typed time text (midnight when it is none).
CTime MakeTime(QStringView dateText, QStringView timeText);

// The absolute difference of two times: "1d 2h 5s", "1hrs 5mins 3secs", "45seconds".
QString FormatTimeSpan(CTime a, CTime b);

// Flags of the time-and-date text forms.
inline constexpr std::int16_t kTimeDateComma = 1;       // ',' between time and date
inline constexpr std::int16_t kTimeDateNoLineEnd = 2;   // WriteTimeAndDate: no line end
inline constexpr std::int16_t kTimeDateShortMonth = 4;  // "Dec" in place of "December"
inline constexpr std::int16_t kTimeDateDateFirst = 8;   // FormatTimeAndDate: date before time

// Local time and date: "9:05.07 8-December-2026" (flags 0), "8-Dec-2026,9:05.07" (flags 13).
QString FormatTimeAndDate(CTime t, std::int16_t flags);
// Writes "9:05.07   8 December 2026" and a line end (flags 0); "9:05.07,8 December 2026"
// with flags 3, as the usage log's rows have it.
void WriteTimeAndDate(ITextOutput& file, CTime t, std::int16_t flags);

// Moves the time by the time-zone difference (UTC minus local standard time): the result
// reads the local standard clock as if it were UTC.
void ToLocalStandardTime(CTime& t);
