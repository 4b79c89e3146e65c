#pragma once
// The values bar's field table: one row per field id with its labels and box width, and per
// line what the line shows, which editor a click on it opens, the value and set flag both of
// them use, how a typed value is read, the message that refuses it and where an accepted value
// goes. The bar's drawing, its editors and its appliers all read the one row, so they cannot
// disagree about a field.
#include <cstdint>

#include "editor/valuesbarparams.h"

class CDrawItem;
class CFontSpec;

// What a line shows.
enum class FieldShow : std::uint8_t {
  kNothing,
  kLength,
  kSetLength,  // only while the set flag is 1
  kAngle,
  kSetAngle,
  kLineAngle,  // a set angle, with " multiples" when it is an angle step
  kNumber,
  kSetNumber,
  kPercent,
  kList,  // names[value - listBase]
  kYesNo,
  kFont,
  kHatch,
  kPointX,  // from the read-out origin
  kPointY,
  kObjectName,
  kChosenObjectName,  // the box is cleared first; empty until an object is chosen
  kChosenObjectNumber,
  kChosenObjectLongName,
  kColour,
  kSampleLine,
  kRecolourBoxes,
  kArcPoints,
  kRadii,
  kPlottingOrder,
};

// What a click on a line opens.
enum class FieldEditor : std::uint8_t {
  kNone,
  kEdit,    // the edit box, in the line's unit
  kList,    // the first choiceCount names
  kToggle,  // no editor: the value flips between 0 and 1
  kColour,
  kRecolour,  // the colour dialog, once colours are collected
  kFont,
  kHatch,
  kObjectChooser,  // starting at the object numbered value
  kObjectName,     // the chosen object's name, once one is chosen
};

// How a typed value is read.
enum class FieldParse : std::uint8_t {
  kNone,
  kLength,        // no longer than the drawing is wide
  kLengthOrZero,  // the same, 0 allowed
  kAngle,         // degrees, reduced to [0, 360)
  kHalfTurn,      // degrees, reduced to [0, 180)
  kDegrees,       // degrees, not reduced
  kPositive,
  kWhole,  // low..high
  kByte,
};

// What follows an accepted value.
enum class FieldAfter : std::uint8_t {
  kNothing,
  kRedrawBar,      // the fields shown depend on it
  kFocusDrawing,   // a text being edited takes the keys again
  kArcAngleCheck,  // an arc refusing the angle has the change taken back
  // A list that applies only a change, after which the bar shows the new fill type's fields;
  // an item's fill turning to hatch has a pattern chosen first.
  kFillTypeChange,
};

// Refusal messages.
inline constexpr int kMsgLength = 20;
inline constexpr int kMsgAngle = 21;
inline constexpr int kMsgScale = 22;
inline constexpr int kMsgActions = 25;
inline constexpr int kMsgDecimals = 28;
inline constexpr int kMsgNameTooLong = 30;
inline constexpr int kMsgImpossibleArc = 31;
inline constexpr int kMsgRadius = 32;
inline constexpr int kMsgNameUsed = 33;
inline constexpr int kMsgSides = 34;
inline constexpr int kMsgFontWidth = 36;
// The messages a field's edit box may refuse a value with.
inline constexpr int kRefusalMessages[] = {kMsgLength,   kMsgAngle,  kMsgScale, kMsgActions,
                                           kMsgDecimals, kMsgRadius, kMsgSides, kMsgFontWidth};

struct ValueFieldLine {
  FieldShow show = FieldShow::kNothing;
  FieldEditor editor = FieldEditor::kNone;
  double (*value)() = nullptr;  // what the line shows and its editor starts from
  std::int32_t* set = nullptr;  // the value counts only while this is 1; null: always counts
  CFontSpec* font = nullptr;  // a font line's font, which its dialog changes
  const char16_t* const* names = nullptr;  // of a list
  int nameCount = 0;
  int choiceCount = 0;  // the names a list editor offers
  int listBase = 0;     // the value of the first name
  int unit = kValueUnitLength;
  FieldParse parse = FieldParse::kNone;
  int low = 0;  // of a whole number
  int high = 0;
  int message = 0;  // refuses what parse rejects
  // Keeps an accepted value or list choice (a tool's parameter, or the shown value of the selected
  // item).
  void (*store)(double) = nullptr;
  // Hands an accepted value to the selected item; null for a tool's parameter.
  void (*setItem)(CDrawItem&, double) = nullptr;
  FieldAfter after = FieldAfter::kNothing;
};

struct ValueFieldRow {
  int id;
  ValueFieldInfo info;
  ValueFieldLine lines[2];
};

// The row of a field id 0..kValueFieldIdCount-1; null for another id.
const ValueFieldRow* GetValueFieldRow(int id);
// The line a click addresses: the field id, plus kSecondLine for its second line. Null for an
// id without a row.
const ValueFieldLine* GetValueFieldLine(int id);
// Whether applying the line's edit box or list changes the selected item.
bool ChangesSelectedItem(const ValueFieldLine& line);
