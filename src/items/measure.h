#pragma once
// Lengths in real-world units. A drawing stores micrometres; with its real-world scale s a
// length of n drawing units is n x 1e-4 x s centimetres in the real world, shown in mm, cm,
// m or km with the unit's suffix after the number ("2.5cm"). Here lengths become text,
// typed lengths are read back, a dialog's length box is exchanged, and the values bar's
// small texts (angles, percentages, lengths, yes/no) are drawn.
//
// The real-world scale and the display-unit factor are the editor's globals g_realWorldScale
// and g_unitFactor (items/viewmapping.h); the options DisplayUnits and DecimalPlaces give
// the unit and the decimals wherever a caller asks for "the preference".
#include <QString>
#include <QStringView>
#include <cstdint>

namespace zeph {
class CDrawContext;
}

// Units codes.
inline constexpr std::int16_t kUnitsAutomatic = 0;
inline constexpr std::int16_t kUnitsMm = 1;
inline constexpr std::int16_t kUnitsCm = 2;
inline constexpr std::int16_t kUnitsM = 3;
inline constexpr std::int16_t kUnitsKm = 4;
// Any code outside 0..4 stands for the option DisplayUnits; 5 is the one the dimension uses.
inline constexpr std::int16_t kUnitsPreference = 5;

// String-table id of "Please type a proper value for the scale factor.", shown when a typed
// length is refused.
inline constexpr int kIdsBadLengthValue = 22;

// The length in centimetres as text with its unit's suffix, at most capacity characters.
// units outside 0..4 means the option DisplayUnits (taken as cm when the option itself is
// outside 0..4); decimals below 0 means the option DecimalPlaces. Automatic units choose mm
// below 1 cm, m from 100 cm and km from 100000 cm (by magnitude), else cm. A converted value
// below 1 in magnitude keeps decimals significant digits (at least 1); others keep decimals
// decimal places. Trailing zeros and a bare point are dropped; negative values round as
// their magnitude does.
void FormatMeasurement(double centimetres, QString& out, int capacity, std::int16_t decimals,
                       std::int16_t units);
// A value already in the unit of the option DisplayUnits, with that unit's suffix ("cm" for
// automatic or any other value), rounded with DecimalPlaces + 1 digits as above.
void FormatLength(double value, QString& out, int capacity);

// A typed length: a number (blanks around it allowed, no thousands commas) with an optional
// suffix mm, cm, m or km (any case) straight after the text; without one the drawing's
// display unit (g_unitFactor) applies. 1 and out in drawing units, or 0 and out unchanged
// for anything else, a negative value, 0 unless allowZero, or a result that is not finite.
int ParseLength(QStringView text, double& out, int allowZero);

// What ExchangeLength needs of a dialog's data exchange; the dialog framework implements it.
class ILengthExchange {
 public:
  virtual ~ILengthExchange() = default;
  // True while values go from the controls into the dialog's members.
  virtual bool IsSaving() const = 0;
  // Marks the edit box as the one the exchange is working on.
  virtual void PrepareEditControl(int controlId) = 0;
  // At most maxCharacters characters of the box's text.
  virtual QString GetControlText(int controlId, int maxCharacters) = 0;
  virtual void SetControlText(int controlId, const QString& text) = 0;
  // Fails the exchange; the framework puts the focus back on the prepared box.
  virtual void Fail() = 0;
};

// Exchanges a length box; value is in the unit of the option DisplayUnits (cm when that is
// automatic). Saving a text that ParseLength (zero refused) does not take shows message 22,
// fails the exchange and answers 0 with value unchanged; otherwise 1.
int ExchangeLength(ILengthExchange& exchange, int controlId, double& value);

// 1 when 10 degrees <= radians <= pi.
int IsValidAngleStep(double radians);

// The values bar's texts, each drawn with DrawTextLine from left, clipped at right.
// Angles above 360 are brought into (0, 360]; one decimal, "°", and " multiples" when
// multiples is 1.
void DrawAngleValue(zeph::CDrawContext& dc, int left, int top, double degrees, int right,
                    std::int16_t multiples);
// One decimal and "%".
void DrawPercentValue(zeph::CDrawContext& dc, int left, int top, double value, int right);
// FormatMeasurement of the length with the options' units and decimals.
void DrawLengthValue(zeph::CDrawContext& dc, int left, int top, double drawingUnits, int right);
// "Yes" for a non-zero flag, else "No".
void DrawYesNoValue(zeph::CDrawContext& dc, int left, int top, int flag, int right);
