#include "support/timevalue.h"

#include <ctime>

CTime CTime::FromLocal(int year, int month, int day, int hour, int minute, int second) {
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  fields.tm_isdst = -1;
  const std::time_t t = std::mktime(&fields);
  return CTime(static_cast<std::int64_t>(t));
}

CTime CTime::GetCurrentTime() { return CTime(static_cast<std::int64_t>(std::time(nullptr))); }

bool CTime::GetLocalFields(LocalTimeFields& out) const {
  const std::time_t t = static_cast<std::time_t>(m_time);
  std::tm fields{};
  if (localtime_r(&t, &fields) == nullptr) return false;
  out.year = fields.tm_year + 1900;
  out.month = fields.tm_mon + 1;
  out.day = fields.tm_mday;
  out.hour = fields.tm_hour;
  out.minute = fields.tm_min;
  out.second = fields.tm_sec;
  out.dayOfWeek = fields.tm_wday;
  return true;
}

long GetTimeZoneDifference() {
  tzset();
  return timezone;
}
