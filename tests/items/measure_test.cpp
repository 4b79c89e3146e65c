#include "items/measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "items/viewmapping.h"
#include "platform/presenter.h"
#include "platform/recordingcontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/options.h"

namespace {

using zeph::CRecordingContext;
using zeph::DcOp;

class MeasureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAll();
    zeph::SetPresenter(&m_presenter);
  }
  void TearDown() override {
    zeph::SetPresenter(nullptr);
    ResetAll();
  }
  static void ResetAll() {
    ResetLogState();
    ResetOptionsState();
    ResetViewGlobals();
  }

  // The text the last values-bar call drew, after checking where it went.
  QString DrawnText(int left, int top) const {
    for (const auto& call : m_dc.calls()) {
      if (call.op != DcOp::kTextOutClipped) continue;
      EXPECT_EQ(call.points[0].x, left);
      EXPECT_EQ(call.points[0].y, top);
      EXPECT_EQ(call.rect.left, left);
      EXPECT_EQ(call.rect.right, 201);  // clipped at right, inclusive
      return call.text;
    }
    ADD_FAILURE() << "no text drawn";
    return QString();
  }

  zeph::ScriptedPresenter m_presenter;
  CRecordingContext m_dc;
};

QString Measure(double cm, int decimals, int units, int capacity = 20) {
  QString out = QStringLiteral("stale");
  FormatMeasurement(cm, out, capacity, static_cast<std::int16_t>(decimals),
                    static_cast<std::int16_t>(units));
  return out;
}

TEST_F(MeasureTest, FormatMeasurementUnitsAndRounding) {
  struct Case {
    double cm;
    int decimals;
    int units;
    const char* text;
  };
  const Case cases[] = {
      {2.5, 2, kUnitsCm, "2.5cm"},
      {2.5, 2, kUnitsMm, "25mm"},
      {2.5, 2, kUnitsM, "0.025m"},  // below 1: two significant digits
      {2.5, 2, kUnitsKm, "0.000025km"},
      {0.05, 2, kUnitsAutomatic, "0.5mm"},
      {250.0, 2, kUnitsAutomatic, "2.5m"},
      {99.999, 2, kUnitsAutomatic, "100cm"},
      {150000.0, 2, kUnitsAutomatic, "1.5km"},
      {0.0, 2, kUnitsAutomatic, "0cm"},
      {1234.5, 0, kUnitsCm, "1235cm"},
      {1234.44, 1, kUnitsCm, "1234.4cm"},
      {1.0 / 3.0, 2, kUnitsMm, "3.33mm"},
      {0.001234, 2, kUnitsCm, "0.0012cm"},
      {0.123, 0, kUnitsCm, "0.1cm"},  // 0 decimals keeps one significant digit
      {2.0, 3, kUnitsCm, "2cm"},      // trailing zeros and point dropped
      // Negative lengths round as their magnitude, mirrored; automatic units go by magnitude.
      {-1234.5, 0, kUnitsCm, "-1235cm"},
      {-2.5, 2, kUnitsM, "-0.025m"},
      {-0.05, 2, kUnitsAutomatic, "-0.5mm"},
      {-250.0, 2, kUnitsAutomatic, "-2.5m"},
      {-150000.0, 2, kUnitsAutomatic, "-1.5km"},
      {-1.0 / 3.0, 2, kUnitsMm, "-3.33mm"},
      {-0.001234, 2, kUnitsCm, "-0.0012cm"},
      {-0.0, 2, kUnitsCm, "0cm"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Measure(c.cm, c.decimals, c.units), QString::fromUtf8(c.text))
        << c.cm << ' ' << c.decimals << ' ' << c.units;
  }
}

TEST_F(MeasureTest, FormatMeasurementTakesThePreferencesAndFitsItsBuffer) {
  // Defaults: DisplayUnits 1 (mm), DecimalPlaces 2.
  EXPECT_EQ(Measure(1.23456, -1, kUnitsPreference), QStringLiteral("12.35mm"));
  EXPECT_EQ(Measure(1.23456, -1, -1), QStringLiteral("12.35mm"));
  SetOptionShort(kOptionDisplayUnits, kUnitsAutomatic);
  SetOptionShort(kOptionDecimalPlaces, 1);
  EXPECT_EQ(Measure(1234.56, -1, kUnitsPreference), QStringLiteral("12.3m"));
  EXPECT_EQ(Measure(1234.56, 3, kUnitsCm), QStringLiteral("1234.56cm"));
  // A DisplayUnits value that names no unit is taken as centimetres.
  for (std::int16_t bad : {5, 9, -1, 32767}) {
    SetOptionShort(kOptionDisplayUnits, bad);
    EXPECT_EQ(Measure(1234.56, 1, kUnitsPreference), QStringLiteral("1234.6cm")) << bad;
  }
  SetOptionShort(kOptionDecimalPlaces, -3);
  EXPECT_EQ(Measure(1234.56, -1, kUnitsCm), QStringLiteral("1235cm"));

  // The number has capacity - 2 characters, the suffix the rest.
  for (int capacity : {10, 12, 20}) {
    const QString text = Measure(123456.789012, 15, kUnitsMm, capacity);
    EXPECT_LE(text.size(), capacity) << capacity;
    EXPECT_TRUE(text.endsWith(QStringLiteral("mm"))) << text.toStdString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("1234567"))) << text.toStdString();
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(MeasureTest, FormatLengthUsesTheDisplayUnit) {
  struct Case {
    std::int16_t units;
    std::int16_t decimals;
    double value;
    const char* text;
  };
  const Case cases[] = {
      {kUnitsMm, 2, 12.3456, "12.346mm"},  // DecimalPlaces + 1 decimals
      {kUnitsMm, 2, 0.123456, "0.123mm"},  // below 1: as many significant digits
      {kUnitsCm, 0, 2.5, "2.5cm"},
      {kUnitsAutomatic, 2, 2.5, "2.5cm"},
      {kUnitsM, 1, 1234.56, "1234.56m"},
      {kUnitsKm, 1, 0.004567, "0.0046km"},
      {7, 1, 3.0, "3cm"},
      // A negative value rounds like its magnitude: to decimals, not to significant digits.
      {kUnitsMm, 2, -12.3456, "-12.346mm"},
      {kUnitsMm, 2, -0.123456, "-0.123mm"},
  };
  for (const Case& c : cases) {
    SetOptionShort(kOptionDisplayUnits, c.units);
    SetOptionShort(kOptionDecimalPlaces, c.decimals);
    QString out;
    FormatLength(c.value, out, 24);
    EXPECT_EQ(out, QString::fromUtf8(c.text)) << c.value;
  }
}

TEST_F(MeasureTest, ParseLength) {
  struct Case {
    const char* text;
    double scale;
    double unitFactor;
    int allowZero;
    int result;
    double drawingUnits;
  };
  const Case cases[] = {
      {"25mm", 1.0, 1.0, 0, 1, 25000.0},
      {"2.5cm", 1.0, 1.0, 0, 1, 25000.0},
      {"3m", 1.0, 1.0, 0, 1, 3000000.0},
      {"1km", 1.0, 1.0, 0, 1, 1e9},
      {"25MM", 1.0, 1.0, 0, 1, 25000.0},
      {"2.5Cm", 1.0, 1.0, 0, 1, 25000.0},
      {"12 cm", 1.0, 1.0, 0, 1, 120000.0},
      {"  12.5  mm", 1.0, 1.0, 0, 1, 12500.0},
      {"1e3mm", 1.0, 1.0, 0, 1, 1e6},
      {".5m", 1.0, 1.0, 0, 1, 500000.0},
      // Without a suffix the drawing's display unit applies.
      {"7", 1.0, 100.0, 0, 1, 7000000.0},
      {"7", 1.0, 0.1, 0, 1, 7000.0},
      {" 7 ", 1.0, 1.0, 0, 1, 70000.0},
      // The real-world scale divides.
      {"25mm", 100.0, 1.0, 0, 1, 250.0},
      {"5km", 1000.0, 1.0, 0, 1, 5000000.0},
      {"0", 1.0, 1.0, 1, 1, 0.0},
      // Refused.
      {"0", 1.0, 1.0, 0, 0, 0.0},
      {"0mm", 1.0, 1.0, 0, 0, 0.0},
      {"-1", 1.0, 1.0, 1, 0, 0.0},
      {"-2cm", 1.0, 1.0, 1, 0, 0.0},
      {"12c", 1.0, 1.0, 0, 0, 0.0},
      {"12 c m", 1.0, 1.0, 0, 0, 0.0},
      {"m", 1.0, 1.0, 0, 0, 0.0},
      {"mm", 1.0, 1.0, 0, 0, 0.0},
      {"", 1.0, 1.0, 1, 0, 0.0},
      {"1,000", 1.0, 1.0, 0, 0, 0.0},
      {"abc", 1.0, 1.0, 0, 0, 0.0},
      {"1e999", 1.0, 1.0, 0, 0, 0.0},
      {"12mmm", 1.0, 1.0, 0, 0, 0.0},
      // A scale of 0 gives no length rather than an infinite one.
      {"25mm", 0.0, 1.0, 0, 0, 0.0},
  };
  for (const Case& c : cases) {
    g_realWorldScale = c.scale;
    g_unitFactor = c.unitFactor;
    double out = -99.0;
    EXPECT_EQ(ParseLength(QString::fromUtf8(c.text), out, c.allowZero), c.result) << c.text;
    if (c.result == 1) {
      EXPECT_NEAR(out, c.drawingUnits, 1e-9 * c.drawingUnits) << c.text;
    } else {
      EXPECT_EQ(out, -99.0) << c.text;
    }
  }
}

class FakeExchange final : public ILengthExchange {
 public:
  bool IsSaving() const override { return saving; }
  void PrepareEditControl(int controlId) override { prepared = controlId; }
  QString GetControlText(int controlId, int maxCharacters) override {
    EXPECT_EQ(controlId, prepared);
    return text.left(maxCharacters);
  }
  void SetControlText(int controlId, const QString& value) override {
    EXPECT_EQ(controlId, prepared);
    text = value;
  }
  void Fail() override { ++failures; }

  bool saving = true;
  int prepared = -1;
  QString text;
  int failures = 0;
};

TEST_F(MeasureTest, ExchangeLengthSavesAndLoads) {
  struct Case {
    std::int16_t units;
    const char* typed;
    double value;  // in the option's unit
  };
  const Case cases[] = {
      {kUnitsMm, "25mm", 25.0},       {kUnitsCm, "25mm", 2.5},
      {kUnitsAutomatic, "25mm", 2.5},  // automatic exchanges centimetres
      {kUnitsM, "2.5 cm", 0.025},     {kUnitsKm, "3m", 0.003},
  };
  g_realWorldScale = 50.0;
  for (const Case& c : cases) {
    SetOptionShort(kOptionDisplayUnits, c.units);
    FakeExchange exchange;
    exchange.text = QString::fromUtf8(c.typed);
    double value = 0.0;
    EXPECT_EQ(ExchangeLength(exchange, 1042, value), 1) << c.typed;
    EXPECT_EQ(exchange.prepared, 1042);
    EXPECT_NEAR(value, c.value, 1e-12) << c.typed;
    EXPECT_EQ(exchange.failures, 0);
  }
  EXPECT_TRUE(m_presenter.shown().empty());

  // Loading puts the value with the option's suffix into the box.
  SetOptionShort(kOptionDisplayUnits, kUnitsCm);
  FakeExchange load;
  load.saving = false;
  double value = 2.5;
  EXPECT_EQ(ExchangeLength(load, 7, value), 1);
  EXPECT_EQ(load.text, QStringLiteral("2.5cm"));
  // ... which saving takes back unchanged.
  load.saving = true;
  value = 0.0;
  g_realWorldScale = 1.0;
  EXPECT_EQ(ExchangeLength(load, 7, value), 1);
  EXPECT_DOUBLE_EQ(value, 2.5);
}

TEST_F(MeasureTest, ExchangeLengthRefusesABadValue) {
  for (const char* typed : {"abc", "0", "-3cm", "", "1,5cm"}) {
    m_presenter.Clear();
    FakeExchange exchange;
    exchange.text = QString::fromUtf8(typed);
    double value = 4.0;
    EXPECT_EQ(ExchangeLength(exchange, 9, value), 0) << typed;
    EXPECT_EQ(value, 4.0) << typed;
    EXPECT_EQ(exchange.failures, 1) << typed;
    ASSERT_EQ(m_presenter.shown().size(), 1u) << typed;
    EXPECT_EQ(m_presenter.shown()[0].text,
              QStringLiteral("Please type a proper value for the scale factor."));
    EXPECT_EQ(m_presenter.shown()[0].style, unsigned(zeph::kMbOk | zeph::kMbIconExclamation));
  }
}

TEST_F(MeasureTest, AngleSteps) {
  EXPECT_EQ(IsValidAngleStep(kPi), 1);
  EXPECT_EQ(IsValidAngleStep(10.0 * g_radiansPerDegree), 1);
  EXPECT_EQ(IsValidAngleStep(9.99 * g_radiansPerDegree), 0);
  EXPECT_EQ(IsValidAngleStep(std::nextafter(kPi, 4.0)), 0);
  EXPECT_EQ(IsValidAngleStep(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST_F(MeasureTest, ValuesBarTexts) {
  struct AngleCase {
    double degrees;
    std::int16_t multiples;
    const char* text;
  };
  const AngleCase angles[] = {
      {725.0, 0, "5°"},
      {360.0, 0, "360°"},
      {720.0, 0, "360°"},
      {-30.0, 0, "-30°"},
      {-400.0, 0, "-400°"},  // negative angles stay
      {45.26, 0, "45.3°"},
      {45.0, 1, "45° multiples"},
      {45.0, 2, "45°"},
      {1e300, 0, nullptr},  // far beyond one turn: ends, somewhere in (0, 360]
      {std::numeric_limits<double>::infinity(), 0, nullptr},
  };
  for (const AngleCase& c : angles) {
    m_dc.Clear();
    DrawAngleValue(m_dc, 10, 20, c.degrees, 200, c.multiples);
    const QString text = DrawnText(10, 20);
    if (c.text != nullptr) {
      EXPECT_EQ(text, QString::fromUtf8(c.text)) << c.degrees;
    } else {
      EXPECT_TRUE(text.endsWith(u'\u00B0')) << c.degrees;
    }
  }

  m_dc.Clear();
  DrawPercentValue(m_dc, 10, 20, 12.345, 200);
  EXPECT_EQ(DrawnText(10, 20), QStringLiteral("12.3%"));

  const struct {
    int flag;
    const char* text;
  } flags[] = {{1, "Yes"}, {0, "No"}, {-5, "Yes"}};
  for (const auto& f : flags) {
    m_dc.Clear();
    DrawYesNoValue(m_dc, 10, 20, f.flag, 200);
    EXPECT_EQ(DrawnText(10, 20), QString::fromUtf8(f.text));
  }

  // The line is filled in the background colour before the text when the background is opaque.
  m_dc.Clear();
  DrawYesNoValue(m_dc, 10, 20, 1, 200);
  ASSERT_FALSE(m_dc.calls().empty());
  EXPECT_EQ(m_dc.calls().front().op, DcOp::kFillRect);
  EXPECT_EQ(m_dc.calls().front().rect.left, 10);
  EXPECT_EQ(m_dc.calls().front().rect.right, 201);
}

TEST_F(MeasureTest, LengthValuesAtRealWorldScales) {
  struct Case {
    double drawingUnits;
    double scale;
    std::int16_t units;
    const char* text;
  };
  const Case cases[] = {
      {25000, 1.0, kUnitsMm, "25mm"},
      {25000, 1.0, kUnitsCm, "2.5cm"},
      {25000, 1.0, kUnitsAutomatic, "2.5cm"},
      {25000, 100.0, kUnitsMm, "2500mm"},
      {25000, 100.0, kUnitsM, "2.5m"},
      {25000, 100.0, kUnitsAutomatic, "2.5m"},
      {25000, 100000.0, kUnitsAutomatic, "2.5km"},
      {25000, 100000.0, kUnitsKm, "2.5km"},
      {25000, 100000.0, kUnitsCm, "250000cm"},
      {1234, 0.5, kUnitsAutomatic, "0.62mm"},
      {12345678, 2.5, kUnitsM, "30.86m"},
      {-25000, 100.0, kUnitsAutomatic, "-2.5m"},
      {-12345678, 2.5, kUnitsM, "-30.86m"},
  };
  for (const Case& c : cases) {
    g_realWorldScale = c.scale;
    SetOptionShort(kOptionDisplayUnits, c.units);
    m_dc.Clear();
    DrawLengthValue(m_dc, 10, 20, c.drawingUnits, 200);
    EXPECT_EQ(DrawnText(10, 20), QString::fromUtf8(c.text))
        << c.drawingUnits << " at " << c.scale << " units " << c.units;
  }
}

}  // namespace
