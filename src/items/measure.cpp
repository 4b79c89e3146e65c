#include "items/measure.h"

#include <algorithm>
#include <cmath>

#include "items/viewmapping.h"
#include "platform/presenter.h"
#include "support/constants.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/screen.h"
#include "support/strings.h"
#include "support/textfile.h"
#include "support/textutil.h"

namespace {

// Micrometres per display unit, by units code 1..4.
constexpr double kMicrometresPerUnit[] = {0.0, 1000.0, 10000.0, 1000000.0, 1000000000.0};

bool IsUnitsCode(int units) { return units >= kUnitsAutomatic && units <= kUnitsKm; }

// The option DisplayUnits; a value that no unit has (the store takes any 16-bit value) is
// taken as centimetres rather than indexing past the unit names.
std::int16_t PreferredUnits() {
  const std::int16_t units = GetOptionShort(kOptionDisplayUnits);
  return IsUnitsCode(units) ? units : kUnitsCm;
}

std::int16_t PreferredDecimals() {
  return std::max<std::int16_t>(GetOptionShort(kOptionDecimalPlaces), 0);
}

QString UnitSuffix(std::int16_t units) {
  return QString::fromUtf16(g_programConstants.units[static_cast<std::size_t>(units - 1)]);
}

// The number text of value with at most max characters, rounded for display: a magnitude
// below 1 to significant digits (at least 1), others to decimal places. The rounding works on
// the digits, so a negative value rounds as its magnitude does.
QString RoundedNumber(double value, int max, std::int16_t digits) {
  QString text;
  FormatDouble(value, text, max);
  if (std::fabs(value) < 1.0) {
    RoundTextToSignificantDigits(text, std::max<std::int16_t>(digits, 1), kRoundNearest);
  } else {
    RoundNumberText(text, digits, kRoundNearest);
  }
  // A negative value that rounds to nothing is shown as 0, like its positive mirror.
  if (text == u"-0") text = QStringLiteral("0");
  return text;
}

QString BadLengthMessage() {
  const QString text = LoadProgramString(kIdsBadLengthValue);
  if (!text.isEmpty()) return text;
  return QStringLiteral("Please type a proper value for the scale factor.");
}

}  // namespace

void FormatMeasurement(double centimetres, QString& out, int capacity, std::int16_t decimals,
                       std::int16_t units) {
  if (!IsUnitsCode(units)) units = PreferredUnits();
  if (decimals < 0) decimals = PreferredDecimals();
  if (units == kUnitsAutomatic) {
    const double magnitude = std::fabs(centimetres);
    if (magnitude > 0.0 && magnitude < 1.0) {
      units = kUnitsMm;
    } else if (magnitude >= 100000.0) {
      units = kUnitsKm;
    } else if (magnitude >= 100.0) {
      units = kUnitsM;
    } else {
      units = kUnitsCm;
    }
  }
  double value = centimetres;
  switch (units) {
    case kUnitsMm:
      value = centimetres * 10.0;
      break;
    case kUnitsM:
      value = centimetres / 100.0;
      break;
    case kUnitsKm:
      value = centimetres / 100000.0;
      break;
    default:
      break;
  }
  out = RoundedNumber(value, capacity - 2, decimals);
  out += UnitSuffix(units);
}

void FormatLength(double value, QString& out, int capacity) {
  std::int16_t units = GetOptionShort(kOptionDisplayUnits);
  if (units != kUnitsMm && units != kUnitsM && units != kUnitsKm) units = kUnitsCm;
  const int digits = std::min<int>(GetOptionShort(kOptionDecimalPlaces) + 1, kShortRangeMax);
  out = RoundedNumber(value, capacity - 2, static_cast<std::int16_t>(digits));
  out += UnitSuffix(units);
}

int ParseLength(QStringView text, double& out, int allowZero) {
  double factor = g_unitFactor;  // centimetres per typed unit
  if (text.isEmpty()) return 0;
  QStringView number = text;
  if (ToUpperChar(text.back()) == u'M') {
    const QChar before = text.size() >= 2 ? ToUpperChar(text[text.size() - 2]) : QChar();
    if (before == u'M') {
      factor = 0.1;
      number.chop(2);
    } else if (before == u'C') {
      factor = 1.0;
      number.chop(2);
    } else if (before == u'K') {
      factor = 100000.0;
      number.chop(2);
    } else {
      factor = 100.0;
      number.chop(1);
    }
  }
  if (!IsNumberText(number, kCommaRefuse)) return 0;
  double value = 0.0;
  if (!TextToDouble(number, value)) return 0;
  if (value < 0.0 || (value == 0.0 && allowZero == 0)) return 0;
  const double drawingUnits = value * factor / (1e-4 * g_realWorldScale);
  // A scale of 0 or a value beyond the range of doubles gives no usable length.
  if (!std::isfinite(drawingUnits)) return 0;
  out = drawingUnits;
  return 1;
}

int ExchangeLength(ILengthExchange& exchange, int controlId, double& value) {
  std::int16_t units = GetOptionShort(kOptionDisplayUnits);
  if (units < kUnitsMm || units > kUnitsKm) units = kUnitsCm;
  exchange.PrepareEditControl(controlId);
  if (exchange.IsSaving()) {
    const QString text = exchange.GetControlText(controlId, 20);
    double drawingUnits = 0.0;
    if (!ParseLength(text, drawingUnits, 0)) {
      zeph::GetPresenter().ShowMessageBox(BadLengthMessage(), QString::fromUtf16(kProductName),
                                          zeph::kMbOk | zeph::kMbIconExclamation);
      exchange.Fail();
      return 0;
    }
    value = drawingUnits * g_realWorldScale / kMicrometresPerUnit[units];
    return 1;
  }
  QString text;
  FormatLength(value, text, 24);
  exchange.SetControlText(controlId, text);
  return 1;
}

int IsValidAngleStep(double radians) {
  return (radians >= 10.0 * g_radiansPerDegree && radians <= kPi) ? 1 : 0;
}

void DrawAngleValue(zeph::CDrawContext& dc, int left, int top, double degrees, int right,
                    std::int16_t multiples) {
  // Into (0, 360] as repeated subtraction of 360 would give, without stepping through a huge
  // (or infinite) angle one turn at a time.
  if (std::isfinite(degrees) && degrees > 360.0) {
    degrees = std::fmod(degrees, 360.0);
    if (degrees == 0.0) degrees = 360.0;
  }
  QString text;
  FormatDouble(degrees, text, 21);
  RoundNumberText(text, 1, kRoundNearest);
  text += u'\u00B0';
  if (multiples == 1) text += QStringLiteral(" multiples");
  DrawTextLine(dc, left, top, text.left(31), right);
}

void DrawPercentValue(zeph::CDrawContext& dc, int left, int top, double value, int right) {
  QString text;
  FormatDouble(value, text, 21);
  RoundNumberText(text, 1, kRoundNearest);
  text += u'%';
  DrawTextLine(dc, left, top, text, right);
}

void DrawLengthValue(zeph::CDrawContext& dc, int left, int top, double drawingUnits, int right) {
  QString text;
  FormatMeasurement(drawingUnits * 1e-4 * g_realWorldScale, text, 21, -1, -1);
  DrawTextLine(dc, left, top, text, right);
}

void DrawYesNoValue(zeph::CDrawContext& dc, int left, int top, int flag, int right) {
  DrawTextLine(dc, left, top, flag != 0 ? QStringLiteral("Yes") : QStringLiteral("No"), right);
}
