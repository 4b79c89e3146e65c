#pragma once
// The values bar's parameters beyond the drawing tools' own (editor/toolparams.h) and the
// editor's (editor/editorstate.h): the corner, move and transform settings, and the field list
// the view shows. A value with a set flag counts only while its flag is 1; an empty edit box
// clears it and the tool takes the value from the mouse.
#include <array>
#include <cstdint>
#include "items/valuefields.h"

class IValuesBarPart;

// ---- Corner ----
extern double g_filletRadius;  // drawing units
extern std::int32_t g_filletRadiusSet;
extern double g_chamferLength;
extern std::int32_t g_chamferLengthSet;

// ---- Move and the transforms ----
extern double g_moveAngle;  // radians, a fixed direction in [0, pi)
extern std::int32_t g_moveAngleSet;
extern double g_rotateAngle;  // radians, not reduced (several turns are allowed)
extern std::int32_t g_rotateAngleSet;
extern std::uint8_t g_reflectDirection;  // 0 vertical, 1 horizontal
extern double g_enlargeFactor;           // greater than 0
extern std::int32_t g_enlargeFactorSet;
extern std::uint8_t g_stretchDirection;  // 0 vertical, 1 horizontal
extern double g_stretchFactor;           // greater than 0
extern std::int32_t g_stretchFactorSet;

// ---- The fields shown (ids and counts are in items/valuefields.h) ----
// 1 where a click on the slot's field opens an editor (the I-beam cursor shows over it).
extern std::array<std::int32_t, 5> g_valueFieldEditable;

// Every values-bar parameter takes its default for a newly opened drawing (the drawing tools'
// own included); the ellipse slope, the polygon's sides and the entries marked as kept in the
// editor's state stay.
void ResetValuesBarParametersForNewDrawing();
// Back to the start values. For tests.
void ResetValuesBarParameters();

// Units of the values bar's edit box.
inline constexpr int kValueUnitLength = 0;
inline constexpr int kValueUnitAngle = 1;
inline constexpr int kValueUnitTenths = 2;
inline constexpr int kValueUnitNumber = 3;
inline constexpr int kValueUnitPercent = 4;

// ---- The field table ----
// The coordinates read-out ("x:" "y:").

struct ValueFieldInfo {
  const char16_t* label1;
  const char16_t* label2;  // null for a one-line field
  int width;               // of the box, pixels
};
// The labels and box width of a field id 0..82; null for another id.
const ValueFieldInfo* GetValueFieldInfo(int id);

// The fields the values bar shows for the current tool and its click step.
struct ValueFieldChoice {
  int count = 0;
  std::array<std::int32_t, 5> ids{};
  std::array<std::int32_t, 5> editable{1, 1, 1, 1, 1};
  int drawValues = 0;  // the parameters' values are drawn into the boxes
};
// The choice for tool at click step clickStep, from the tools' sub-modes and flags (editor
// state). pickCount is the number of items Modify or Values has selected (their fields are
// the ones the item published); breakOffered whether Break offers its question.
ValueFieldChoice ChooseValueFieldsFor(int tool, int clickStep, int pickCount, int breakOffered);

// The values bar part the editing view uses unless another is installed: it resets the
// parameters above and applies the view's own editors.
IValuesBarPart& GetViewValuesBar();
