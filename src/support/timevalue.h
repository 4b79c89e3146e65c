#pragma once
// A point in time as whole seconds since 1970-01-01 UTC, with its fields read in local time.
// 64-bit throughout so no date the program meets overflows.
#include <cstdint>

struct LocalTimeFields {
  int year = 1970;    // four digits
  int month = 1;      // 1..12
  int day = 1;        // 1..31
  int hour = 0;       // 0..23
  int minute = 0;     // 0..59
  int second = 0;     // 0..59
  int dayOfWeek = 4;  // 0 Sunday .. 6 Saturday
};

class CTime {
 public:
  CTime() = default;
  explicit CTime(std::int64_t secondsSinceEpoch) : m_time(secondsSinceEpoch) {}
  // Builds a time from local fields; daylight saving is decided by the system.
  static CTime FromLocal(int year, int month, int day, int hour, int minute, int second);
  static CTime GetCurrentTime();

  std::int64_t GetTime() const { return m_time; }
  bool IsZero() const { return m_time == 0; }
  // Local fields; false when the system cannot convert the time.
  bool GetLocalFields(LocalTimeFields& out) const;

  friend bool operator==(CTime a, CTime b) { return a.m_time == b.m_time; }

 private:
  std::int64_t m_time = 0;
};

// Seconds of UTC minus local standard time (positive west of Greenwich).
long GetTimeZoneDifference();
