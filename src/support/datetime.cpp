#include "support/datetime.h"

#include "support/textoutput.h"

// First commit: declarations with placeholder bodies; the rules follow.
std::array<std::int16_t, 12> GetMonthLengths(int) {
  return {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}

CDate::~CDate() = default;
int CDate::SetDayMonthYear(std::int16_t, std::int16_t, std::int16_t) { return 0; }
void CDate::GetDayMonthYear(std::int16_t& day, std::int16_t& month, std::int16_t& year) const {
  day = month = year = 0;
}
int CDate::Parse(QStringView, std::int16_t) { return 0; }
int CDate::IsEarlierThan(const CDate&) const { return 0; }
int CDate::IsLaterThan(const CDate&) const { return 0; }

CSalesDate::~CSalesDate() = default;
int CSalesDate::SetDayMonthYear(std::int16_t, std::int16_t, std::int16_t) { return 0; }
void CSalesDate::Parse(QStringView) { Clear(); }
int CSalesDate::IsEarlierThan(const CSalesDate&) const { return 0; }
int CSalesDate::IsLaterThan(const CSalesDate&) const { return 0; }

CDuration::~CDuration() = default;
int CDuration::SetHMS(int, std::int16_t, double, bool) { return 0; }
void CDuration::Parse(QStringView) {}
int CDuration::IsShorterThan(const CDuration&) const { return 0; }
int CDuration::IsLongerThan(const CDuration&) const { return 0; }

CClock::~CClock() = default;
int CClock::SetHMS(std::int16_t, std::int16_t, std::int16_t) { return 0; }
void CClock::GetHMS(std::int16_t& h, std::int16_t& m, std::int16_t& s) const { h = m = s = 0; }
int CClock::Parse(QStringView) { return 0; }

int IsClockSeparator(char16_t) { return 0; }

CTime MakeTime(QStringView, QStringView) { return CTime(); }
QString FormatTimeSpan(CTime, CTime) { return QString(); }
QString FormatTimeAndDate(CTime, std::int16_t) { return QString(); }
void WriteTimeAndDate(ITextOutput& file, CTime, std::int16_t) { file.WriteString(QString()); }
void ToLocalStandardTime(CTime&) {}
