#include "support/datetime.h"

#include <limits>

#include "support/numbers.h"
#include "support/textoutput.h"
#include "support/textutil.h"

namespace {

constexpr const char16_t* kMonthNames[12] = {u"January",   u"February", u"March",    u"April",
                                             u"May",       u"June",     u"July",     u"August",
                                             u"September", u"October",  u"November", u"December"};
constexpr const char16_t* kShortMonthNames[12] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                                  u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};

// The longest digit runs the parsers look at; longer runs are refused before conversion.
constexpr qsizetype kDateFieldLimit = 20;
constexpr qsizetype kDurationFieldLimit = 50;
constexpr qsizetype kClockFieldLimit = 21;
constexpr qsizetype kClockHourDigits = 5;

// 13 September 1752 counted without the Gregorian correction: a larger count is a Gregorian
// date, and the counts 640164..640174 are the eleven days the calendar change dropped.
constexpr int kLastPlainCountOfChange = 640174;

constexpr int kSecondsPerDay = 86400;

bool IsLeapYear(int year) {
  if (year <= 0 || year % 4 != 0) return false;
  return year < 1752 || year % 100 != 0 || year % 400 == 0;
}

int YearLength(int year) { return IsLeapYear(year) ? 366 : 365; }

// Gregorian correction for years after the change: (y - 1) / 400 - (y - 1) / 100 + 2.
int GregorianCorrection(int year) { return (year - 1) / 400 - (year - 1) / 100 + 2; }

qsizetype SkipBlanksFrom(QStringView text, qsizetype i) {
  while (i < text.size() && IsBlankChar(text[i])) ++i;
  return i;
}

// End of the run of digits that starts at i.
qsizetype DigitRunEnd(QStringView text, qsizetype i) {
  while (i < text.size() && IsDigitChar(text[i])) ++i;
  return i;
}

bool OnlyBlanksFrom(QStringView text, qsizetype i) {
  return SkipBlanksFrom(text, i) == text.size();
}

// Month k (1..12) of a name: exactly three letters that begin the full name, or the full name,
// both regardless of case; 0 when no month has that name.
int MonthOfName(QStringView name) {
  for (int k = 0; k < 12; ++k) {
    const QStringView full(kMonthNames[k]);
    if (name.size() == 3 || name.size() == full.size()) {
      bool same = true;
      for (qsizetype j = 0; j < name.size() && same; ++j) {
        same = ToUpperChar(name[j].unicode()) == ToUpperChar(full[j].unicode());
      }
      if (same) return k + 1;
    }
  }
  return 0;
}

// Reads the month at pos, a run of digits or of letters, and moves pos past it. Gives 0, or
// the state: -3 for a run too long or an unknown name, -5 for a number that does not read.
int ReadMonth(QStringView text, qsizetype& pos, std::int16_t& month) {
  const qsizetype start = pos;
  if (IsDigitChar(text[pos])) {
    pos = DigitRunEnd(text, pos);
    if (pos - start > kDateFieldLimit) return kDateBadMonth;
    return TextToShort(text.sliced(start, pos - start), month) ? 0 : kDateBadSyntax;
  }
  while (pos < text.size() && IsLetterChar(text[pos])) ++pos;
  if (pos - start > kDateFieldLimit) return kDateBadMonth;
  const int k = MonthOfName(text.sliced(start, pos - start));
  if (k == 0) return kDateBadMonth;
  month = static_cast<std::int16_t>(k);
  return 0;
}

// Passes over everything up to the next digit or letter.
qsizetype SkipToDigitOrLetter(QStringView text, qsizetype i) {
  while (i < text.size() && !IsDigitChar(text[i]) && !IsLetterChar(text[i])) ++i;
  return i;
}

QString TwoDigits(int value) { return QString::number(value).rightJustified(2, u'0'); }

QString TimeText(const LocalTimeFields& f) {
  return QString::number(f.hour) + u':' + TwoDigits(f.minute) + u'.' + TwoDigits(f.second);
}

QString YearText(int year) {
  return year >= 0 ? QString::number(year).rightJustified(4, u'0') : QString::number(year);
}

QString MonthText(int month, std::int16_t flags) {
  if (month < 1 || month > 12) return QString();
  return QString::fromUtf16((flags & kTimeDateShortMonth) ? kShortMonthNames[month - 1]
                                                          : kMonthNames[month - 1]);
}

LocalTimeFields FieldsOf(CTime t) {
  LocalTimeFields fields;
  if (!t.GetLocalFields(fields)) fields = LocalTimeFields();
  return fields;
}

}  // namespace

std::array<std::int16_t, 12> GetMonthLengths(int year) {
  return {
      31, static_cast<std::int16_t>(IsLeapYear(year) ? 29 : 28), 31, 30, 31, 30, 31, 31, 30, 31, 30,
      31};
}

// ---- CDate ----

CDate::~CDate() = default;

int CDate::SetDayMonthYear(std::int16_t day, std::int16_t month, std::int16_t year) {
  if (year < 0) {
    m_dayNumber = kDateBadYear;
    return 0;
  }
  if (month < 1 || month > 12) {
    m_dayNumber = kDateBadMonth;
    return 0;
  }
  const auto lengths = GetMonthLengths(year);
  if (day < 1 || day > lengths[month - 1]) {
    m_dayNumber = kDateBadDay;
    return 0;
  }
  // At most 32767 * 366 + 31: well inside 32 bits.
  int number = day + 365 * year + (year - 1) / 4;
  for (int k = 0; k < month - 1; ++k) number += lengths[k];
  if (number > kLastPlainCountOfChange) {
    number += GregorianCorrection(year);
  } else if (number >= kFirstGregorianDay) {
    m_dayNumber = kDateDropped;
    return 0;
  }
  m_dayNumber = number;
  return 1;
}

void CDate::GetDayMonthYear(std::int16_t& day, std::int16_t& month, std::int16_t& year) const {
  const int n = m_dayNumber;
  if (n < 1) {
    day = month = year = 0;
    return;
  }
  const bool gregorian = n >= kFirstGregorianDay;
  auto remainder = [n, gregorian](int y) {
    int r = n - 365 * y - (y - 1) / 4;
    if (gregorian) r -= GregorianCorrection(y);
    return r;
  };
  int y = gregorian ? TruncateToShort((n - 1) / 365.2425) : TruncateToShort(n / 365.25);
  int r = remainder(y);
  // The estimate is right or one year too high; the loops only make sure of it.
  while (r <= 0 && y > 0) r = remainder(--y);
  while (r > YearLength(y) && y < std::numeric_limits<std::int16_t>::max()) r = remainder(++y);
  const auto lengths = GetMonthLengths(y);
  int m = 1;
  while (m < 12 && r > lengths[m - 1]) r -= lengths[m++ - 1];
  day = static_cast<std::int16_t>(r);
  month = static_cast<std::int16_t>(m);
  year = static_cast<std::int16_t>(y);
}

int CDate::Parse(QStringView text, std::int16_t referenceYear) {
  auto fail = [this](std::int32_t state) {
    m_dayNumber = state;
    return 0;
  };
  qsizetype i = SkipBlanksFrom(text, 0);
  if (i >= text.size() || !IsDigitChar(text[i])) return fail(kDateBadSyntax);

  qsizetype start = i;
  i = DigitRunEnd(text, i);
  std::int16_t day = 0;
  if (i - start > kDateFieldLimit) return fail(kDateBadDay);
  if (!TextToShort(text.sliced(start, i - start), day)) return fail(kDateBadDay);

  i = SkipToDigitOrLetter(text, i);
  if (i >= text.size()) return fail(kDateBadSyntax);
  std::int16_t month = 0;
  if (const int state = ReadMonth(text, i, month); state != 0) return fail(state);

  bool allBlank = true;
  while (i < text.size() && !IsDigitChar(text[i])) {
    if (!IsBlankChar(text[i])) allBlank = false;
    ++i;
  }
  int year = 0;
  if (i < text.size()) {
    start = i;
    i = DigitRunEnd(text, i);
    std::int16_t typed = 0;
    if (i - start > kDateFieldLimit) return fail(kDateBadYear);
    if (!TextToShort(text.sliced(start, i - start), typed)) return fail(kDateBadYear);
    if (!OnlyBlanksFrom(text, i)) return fail(kDateBadSyntax);
    year = typed;
  } else if (allBlank && referenceYear >= 1) {
    year = referenceYear;
  } else {
    return fail(kDateBadSyntax);
  }

  // A two-digit year lands within 50 years of the reference year, or, for a reference of 0
  // or below, at or after its magnitude.
  if (year < 100) {
    const int reference = referenceYear < 0 ? -referenceYear : referenceYear;
    const int g = reference % 100;
    const int c = reference / 100 * 100;
    if (referenceYear > 0) {
      if (year < g - 50)
        year += 100;
      else if (year > g + 50)
        year -= 100;
    } else if (year < g) {
      year += 100;
    }
    year += c;
  }
  // Placed near the last years a short holds, a year can pass them.
  if (year > std::numeric_limits<std::int16_t>::max()) return fail(kDateBadYear);
  return SetDayMonthYear(day, month, static_cast<std::int16_t>(year));
}

int CDate::IsEarlierThan(const CDate& other) const {
  if (!IsValid()) return other.IsValid() ? 0 : 1;
  return !other.IsValid() || m_dayNumber < other.m_dayNumber;
}

int CDate::IsLaterThan(const CDate& other) const {
  if (!IsValid()) return 1;
  return other.IsValid() && m_dayNumber > other.m_dayNumber;
}

// ---- CSalesDate ----

CSalesDate::~CSalesDate() = default;

int CSalesDate::SetDayMonthYear(std::int16_t day, std::int16_t month, std::int16_t year) {
  if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1980 || year > 2099) return 0;
  m_value = static_cast<std::uint16_t>(year * 372 + month * 31 + day - 736592);
  return 1;
}

void CSalesDate::Parse(QStringView text) {
  Clear();
  qsizetype i = SkipBlanksFrom(text, 0);
  qsizetype start = i;
  i = DigitRunEnd(text, i);
  if (i == start || i - start > kDateFieldLimit || i >= text.size()) return;
  std::int16_t day = 0;
  if (!TextToShort(text.sliced(start, i - start), day)) return;

  i = SkipToDigitOrLetter(text, i);
  if (i >= text.size()) return;
  std::int16_t month = 0;
  if (ReadMonth(text, i, month) != 0) return;

  while (i < text.size() && !IsDigitChar(text[i])) ++i;
  start = i;
  i = DigitRunEnd(text, i);
  if (i == start || i - start > kDateFieldLimit || !OnlyBlanksFrom(text, i)) return;
  std::int16_t year = 0;
  if (!TextToShort(text.sliced(start, i - start), year)) return;
  if (year < 80)
    year += 2000;
  else if (year < 100)
    year += 1900;
  SetDayMonthYear(day, month, year);
}

int CSalesDate::IsEarlierThan(const CSalesDate& other) const {
  return IsUnset() || (!other.IsUnset() && m_value < other.m_value);
}

int CSalesDate::IsLaterThan(const CSalesDate& other) const {
  if (IsUnset()) return 0;
  return other.IsUnset() || m_value > other.m_value;
}

// ---- CDuration ----

CDuration::~CDuration() = default;

int CDuration::SetHMS(int hours, std::int16_t minutes, double seconds, bool negative) {
  if (minutes < 0 || minutes > 59) {
    m_state = kDurationBadMinutes;
    m_seconds = 0;
    return 0;
  }
  if (!(seconds >= 0 && seconds < 60)) {
    m_state = kDurationBadSeconds;
    m_seconds = 0;
    return 0;
  }
  // In doubles: any int count of hours times 3600 is exact there and cannot overflow.
  const double length = static_cast<double>(hours) * 3600.0 + minutes * 60.0 + seconds;
  m_seconds = negative ? -length : length;
  m_state = kDurationValid;
  return 1;
}

void CDuration::Parse(QStringView text) {
  auto fail = [this](std::int32_t state) {
    m_state = state;
    m_seconds = 0;
  };
  const qsizetype colons = text.count(u':');
  if (colons > 2) return fail(kDurationBadSyntax);

  // Before the first field: blanks and one '-'.
  bool negative = false;
  qsizetype i = 0;
  for (; i < text.size(); ++i) {
    if (IsBlankChar(text[i])) continue;
    if (text[i] != u'-') break;
    if (negative) return fail(kDurationBadSyntax);
    negative = true;
  }
  // After a field: blanks, ':' and blanks (a '-' there is refused with the other characters).
  auto passColon = [&text, &i]() {
    i = SkipBlanksFrom(text, i);
    if (i >= text.size() || text[i] != u':') return false;
    i = SkipBlanksFrom(text, i + 1);
    return true;
  };

  int hours = 0;
  std::int16_t minutes = 0;
  if (colons == 2) {
    if (i >= text.size() || !IsDigitChar(text[i])) return fail(kDurationBadSyntax);
    const qsizetype start = i;
    i = DigitRunEnd(text, i);
    if (i - start > kDurationFieldLimit) return fail(kDurationBadHours);
    if (!TextToInt(text.sliced(start, i - start), hours)) return fail(kDurationBadHours);
    if (!passColon()) return fail(kDurationBadSyntax);
  }
  if (colons >= 1) {
    if (i >= text.size() || !IsDigitChar(text[i])) return fail(kDurationBadSyntax);
    const qsizetype start = i;
    i = DigitRunEnd(text, i);
    if (i - start > kDurationFieldLimit) return fail(kDurationBadMinutes);
    if (!TextToShort(text.sliced(start, i - start), minutes) || minutes > 59) {
      return fail(kDurationBadMinutes);
    }
    if (!passColon()) return fail(kDurationBadSyntax);
  }

  if (i >= text.size() || !(IsDigitChar(text[i]) || text[i] == u'.')) {
    return fail(kDurationBadSyntax);
  }
  const qsizetype start = i;
  while (i < text.size() && (IsDigitChar(text[i]) || text[i] == u'.')) ++i;
  if (i - start > kDurationFieldLimit) return fail(kDurationBadSeconds);
  double seconds = 0;
  if (!TextToDouble(text.sliced(start, i - start), seconds)) return fail(kDurationBadSyntax);
  if (!OnlyBlanksFrom(text, i)) return fail(kDurationBadSyntax);

  if (seconds < 60) {
    SetHMS(hours, minutes, seconds, negative);
  } else if (colons == 0) {
    m_seconds = negative ? -seconds : seconds;
    m_state = kDurationValid;
  } else {
    fail(kDurationBadSeconds);
  }
}

int CDuration::IsShorterThan(const CDuration& other) const {
  const bool otherValid = other.m_state == kDurationValid;
  if (m_state != kDurationValid) return otherValid ? 0 : 1;
  return !otherValid || other.m_seconds > m_seconds;
}

int CDuration::IsLongerThan(const CDuration& other) const {
  if (m_state != kDurationValid) return 1;
  return other.m_state == kDurationValid && m_seconds > other.m_seconds;
}

// ---- CClock ----

CClock::~CClock() = default;

int CClock::SetHMS(std::int16_t h, std::int16_t m, std::int16_t s) {
  if (!(h == 24 && m == 0 && s == 0)) {
    if (h < 0 || h > 23) {
      m_value = kClockBadHour;
      return 0;
    }
    if (m < 0 || m > 59) {
      m_value = kClockBadMinute;
      return 0;
    }
    if (s < 0 || s > 59) {
      m_value = kClockBadSecond;
      return 0;
    }
  }
  m_value = h * 3600 + m * 60 + s;
  return 1;
}

void CClock::GetHMS(std::int16_t& h, std::int16_t& m, std::int16_t& s) const {
  h = static_cast<std::int16_t>(m_value / 3600);
  m = static_cast<std::int16_t>(m_value % 3600 / 60);
  s = static_cast<std::int16_t>(m_value % 60);
}

int CClock::Parse(QStringView text) {
  auto fail = [this]() {
    m_value = kClockBadSyntax;
    return 0;
  };
  qsizetype i = SkipBlanksFrom(text, 0);
  if (i >= text.size() || !IsDigitChar(text[i])) return fail();

  // Three or four digits in a row are the hour and two digits of minutes: 930, 1430.
  const qsizetype start = i;
  while (i < text.size() && i - start < kClockHourDigits && IsDigitChar(text[i])) ++i;
  qsizetype hourDigits = i - start;
  if (hourDigits == 3 || hourDigits == 4) hourDigits -= 2;
  std::int16_t hour = 0;
  if (!TextToShort(text.sliced(start, hourDigits), hour)) return fail();
  i = start + hourDigits;

  std::int16_t minutes = 0;
  std::int16_t seconds = 0;
  bool haveMinutes = false;
  bool separator = false;
  while (true) {
    i = SkipBlanksFrom(text, i);
    if (i >= text.size()) break;
    const char16_t c = text[i].unicode();
    if (IsClockSeparator(c)) {
      if (separator) return fail();
      separator = true;
      ++i;
      continue;
    }
    if (!IsDigitChar(c)) break;
    const qsizetype runStart = i;
    while (i < text.size() && i - runStart < kClockFieldLimit && IsDigitChar(text[i])) ++i;
    std::int16_t value = 0;
    if (!TextToShort(text.sliced(runStart, i - runStart), value)) return fail();
    separator = false;
    if (haveMinutes) {
      seconds = value;
      break;
    }
    minutes = value;
    haveMinutes = true;
  }

  // What remains, blanks left out, may only say am or pm.
  QString rest;
  for (; i < text.size(); ++i) {
    if (IsBlankChar(text[i])) continue;
    if (rest.size() == 4) return fail();
    rest += QChar(ToLowerChar(text[i].unicode()));
  }
  if (rest == u"am" || rest == u"a.m.") {
    if (hour > 12) return fail();
    if (hour == 12) hour = 0;
  } else if (rest == u"pm" || rest == u"p.m.") {
    if (hour < 12) hour = static_cast<std::int16_t>(hour + 12);
  } else if (!rest.isEmpty()) {
    return fail();
  }
  return SetHMS(hour, minutes, seconds);
}

int IsClockSeparator(char16_t c) {
  switch (c) {
    case u'"':
    case u'\'':
    case u',':
    case u'-':
    case u'.':
    case u'/':
    case u':':
    case u'\\':
    case u'^':
    case u'_':
    case u'|':
      return 1;
    default:
      return 0;
  }
}

// ---- Times and text ----

CTime MakeTime(QStringView dateText, QStringView timeText) {
  std::int16_t day = 1;
  std::int16_t month = 1;
  std::int16_t year = 1970;
  CDate date;
  if (date.Parse(dateText, 0)) {
    date.GetDayMonthYear(day, month, year);
    if (year < 1970) year = 1970;
  }
  std::int16_t h = 0;
  std::int16_t m = 0;
  std::int16_t s = 0;
  CClock clock;
  if (clock.Parse(timeText)) clock.GetHMS(h, m, s);
  return CTime::FromLocal(year, month, day, h, m, s);
}

QString FormatTimeSpan(CTime a, CTime b) {
  // Unsigned, so the difference of any two times is exact.
  const std::int64_t ta = a.GetTime();
  const std::int64_t tb = b.GetTime();
  const std::uint64_t span = ta >= tb
                                 ? static_cast<std::uint64_t>(ta) - static_cast<std::uint64_t>(tb)
                                 : static_cast<std::uint64_t>(tb) - static_cast<std::uint64_t>(ta);
  const std::uint64_t days = span / kSecondsPerDay;
  const int inDay = static_cast<int>(span % kSecondsPerDay);
  const int hours = inDay / 3600;
  const int minutes = inDay % 3600 / 60;
  const int seconds = inDay % 60;

  QString text;
  if (days > 0) {
    text += QString::number(days) + QStringLiteral("d ");
    if (hours > 0) text += QString::number(hours) + QStringLiteral("h ");
    if (minutes > 0) text += QString::number(minutes) + QStringLiteral("m ");
    text += QString::number(seconds) + u's';
    return text;
  }
  if (hours > 0) text += QString::number(hours) + QStringLiteral("hrs ");
  if (minutes > 0) text += QString::number(minutes) + QStringLiteral("mins ");
  text += QString::number(seconds);
  text += (hours > 0 || minutes > 0) ? QStringLiteral("secs") : QStringLiteral("seconds");
  return text;
}

QString FormatTimeAndDate(CTime t, std::int16_t flags) {
  const LocalTimeFields f = FieldsOf(t);
  const QString time = TimeText(f);
  const QString date =
      QString::number(f.day) + u'-' + MonthText(f.month, flags) + u'-' + YearText(f.year);
  const QChar joint = (flags & kTimeDateComma) ? u',' : u' ';
  return (flags & kTimeDateDateFirst) ? date + joint + time : time + joint + date;
}

void WriteTimeAndDate(ITextOutput& file, CTime t, std::int16_t flags) {
  const LocalTimeFields f = FieldsOf(t);
  QString line = TimeText(f);
  line += (flags & kTimeDateComma) ? QStringLiteral(",") : QStringLiteral("   ");
  line += QString::number(f.day) + u' ' + MonthText(f.month, flags) + u' ' + YearText(f.year);
  if (!(flags & kTimeDateNoLineEnd)) line += u'\n';
  file.WriteString(line);
}

void ToLocalStandardTime(CTime& t) {
  const std::int64_t difference = GetTimeZoneDifference();
  std::int64_t value = t.GetTime();
  // Saturates rather than wrapping at the ends of the range.
  if (difference > 0 && value < std::numeric_limits<std::int64_t>::min() + difference) {
    value = std::numeric_limits<std::int64_t>::min();
  } else if (difference < 0 && value > std::numeric_limits<std::int64_t>::max() + difference) {
    value = std::numeric_limits<std::int64_t>::max();
  } else {
    value -= difference;
  }
  t = CTime(value);
}
