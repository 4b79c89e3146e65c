// Typed dates, compact dates, durations and times of day, and a time from date and time text:
// every parser over the bytes as UTF-8 text, held in a buffer of exactly its length. Each
// result must be a valid value or one of the defined error states, and a valid value must
// survive being set again from its parts.
#include <QString>
#include <QStringView>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzzcommon.h"
#include "support/datetime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 4096) return 0;
  const auto reference = static_cast<std::int16_t>(data[0] | (data[1] << 8));
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
  auto exact = std::make_unique<char16_t[]>(std::size_t(text.size()) + 1);
  std::memcpy(exact.get(), text.utf16(), std::size_t(text.size()) * 2);
  const QStringView view(exact.get(), text.size());

  CDate date;
  const int ok = date.Parse(view, reference);
  const std::int32_t day = date.GetDayNumber();
  fuzz::Check(ok == (day >= 1 ? 1 : 0));
  fuzz::Check(day >= 1 || day == kDateBadYear || day == kDateBadMonth || day == kDateBadDay ||
              day == kDateBadSyntax || day == kDateDropped || day == kDateUnset);
  if (ok == 1) {
    std::int16_t d = 0, m = 0, y = 0;
    date.GetDayMonthYear(d, m, y);
    CDate again;
    fuzz::Check(again.SetDayMonthYear(d, m, y) == 1 && again.GetDayNumber() == day);
  }

  CSalesDate sales;
  sales.Parse(view);
  fuzz::Check(sales.IsUnset() || sales.GetValue() <= 44639);

  CDuration duration;
  duration.Parse(view);
  const std::int32_t state = duration.GetState();
  fuzz::Check(state <= kDurationValid && state >= kDurationBadSyntax);
  fuzz::Check(std::isfinite(duration.GetSeconds()));
  if (state != kDurationValid) fuzz::Check(duration.GetSeconds() == 0);

  CClock clock;
  const int clockOk = clock.Parse(view);
  const std::int32_t seconds = clock.GetValue();
  fuzz::Check(clockOk == (seconds >= 0 ? 1 : 0));
  fuzz::Check(seconds <= 86400 && seconds >= kClockBadSyntax);
  if (seconds >= 0) {
    std::int16_t h = 0, m = 0, s = 0;
    clock.GetHMS(h, m, s);
    CClock again;
    fuzz::Check(again.SetHMS(h, m, s) == 1 && again.GetValue() == seconds);
  }

  // The text split at its first comma into a date and a time.
  const qsizetype comma = view.indexOf(u',');
  const QStringView first = comma < 0 ? view : view.first(comma);
  const QStringView second = comma < 0 ? QStringView() : view.sliced(comma + 1);
  MakeTime(first, second);
  MakeTime(second, first);
  return 0;
}
