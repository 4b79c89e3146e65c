// Fuzz target for the number parsers and text rounding: the bytes are read as
// UTF-8 and as raw UTF-16 text, held in a buffer of exactly their length (so a read past the
// text is seen by AddressSanitizer), and given to every parser, syntax test and text-rounding
// operation. Besides never crashing, the results must keep their promises (ranges, untouched outputs).
#include <QString>
#include <QStringView>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "fuzzcommon.h"
#include "support/numbers.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool OnlyNumberCharacters(const QString& text) {
  for (QChar c : text) {
    if (!(c.isDigit() || c == u'.' || c == u'-' || c == u'e' || c == u'E' || c == u'+' ||
          c == u',')) {
      return false;
    }
  }
  return true;
}

void ExerciseView(QStringView text, std::int16_t places, std::int16_t mode) {
  for (int commaMode = 0; commaMode <= 3; ++commaMode) {
    const int isNumber = IsNumberText(text, commaMode);
    Check(isNumber == 0 || isNumber == 1);
    for (std::int16_t maxDigits : {std::int16_t(-4), std::int16_t(2), std::int16_t(9)}) {
      const int whole = IsWholeNumberText(text, maxDigits, commaMode);
      Check(whole == 0 || whole == 1);
    }
  }

  double d = 12345.0;
  if (TextToDouble(text, d)) {
    Check(std::isfinite(d));
    Check(IsNumberText(text, kCommaGroups) == 1);
    // Where the standard library reads the same text whole, both give the same double.
    std::string ascii;
    for (QChar c : text) ascii.push_back(static_cast<char>(c.unicode() & 0x7f));
    double reference = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), reference);
    if (error == std::errc() && end == ascii.data() + ascii.size() && !ascii.empty() &&
        ascii.front() != ' ') {
      Check(reference == d);
    }
  } else {
    Check(d == 12345.0);  // a refused text leaves the output unchanged
  }

  std::uint8_t b = 77;
  if (!TextToByte(text, b)) Check(b == 77);
  std::int16_t s = 77;
  if (TextToShort(text, s)) {
    Check(s >= -32767);
  } else {
    Check(s == 77);
  }
  std::uint16_t us = 77;
  if (!TextToUShort(text, us)) Check(us == 77);
  int i = 77;
  if (TextToInt(text, i)) {
    Check(i != std::numeric_limits<int>::min());
  } else {
    Check(i == 77);
  }
  std::uint32_t u = 77;
  if (!TextToUnsigned(text, u)) Check(u == 77);
  int lead = 77;
  if (LeadingWholeNumber(text, lead)) Check(lead != std::numeric_limits<int>::min());

  QString rounded = text.toString();
  RoundNumberText(rounded, places, mode);
  QString normalised = text.toString();
  NormaliseNumberText(normalised);
  Check(rounded.size() <= normalised.size() + 1);

  QString significant = text.toString();
  RoundTextToSignificantDigits(significant, places, mode);
  // A plain number stays a number after rounding.
  if (IsNumberText(normalised, kCommaRefuse) && OnlyNumberCharacters(normalised)) {
    Check(IsNumberText(rounded, kCommaRefuse) == 1 || rounded.isEmpty());
  }

  double v = 0;
  if (TextToDouble(text, v)) {
    RoundToSignificantDigits(v, places);
    Check(std::isfinite(v));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 4096) return 0;
  const std::int16_t places = static_cast<std::int16_t>(static_cast<std::int8_t>(data[0]) % 24);
  const std::int16_t mode = static_cast<std::int16_t>(data[1] % 4);
  data += 2;
  size -= 2;

  // As UTF-8 text, copied into a buffer of exactly its length.
  const QString utf8 =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  {
    auto exact = std::make_unique<char16_t[]>(std::max<std::size_t>(utf8.size(), 1));
    std::memcpy(exact.get(), utf8.utf16(), static_cast<std::size_t>(utf8.size()) * 2);
    ExerciseView(QStringView(exact.get(), utf8.size()), places, mode);
  }

  // As raw UTF-16 code units, again without a terminator after them.
  const std::size_t units = size / 2;
  auto raw = std::make_unique<char16_t[]>(units == 0 ? 1 : units);
  std::memcpy(raw.get(), data, units * 2);
  ExerciseView(QStringView(raw.get(), static_cast<qsizetype>(units)), places, mode);
  return 0;
}
